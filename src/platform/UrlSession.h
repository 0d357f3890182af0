#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/Url.h"

namespace pelko {

struct UrlResponse {
    int statusCode = 0;  // the HTTP status; 0 when there was none
};

struct UrlError {
    enum class Kind {
        platform,        // the platform's own error, in its words
        invalidAddress,  // the session cannot request this URL
        tooLarge,        // the body passed kMaxDataTaskBytes
    };
    Kind kind = Kind::platform;
    std::string localizedDescription;  // for Kind::platform
};

// The error in words: the platform's for its own errors, the application's
// for those it detects itself, so that both platforms say the same.
std::string describeUrlError(const UrlError& error);

// The outcome of one request: the body, the response and the error, each
// when there is one. Called once, on the session's own queue (not the main
// thread).
using DataTaskCompletion = std::function<void(
    const std::optional<std::string>& data, const std::optional<UrlResponse>& response,
    const std::optional<UrlError>& error)>;

// Plain GET requests with the platform's defaults. Every request ends, with
// data or with an error: one that gets no answer times out, and a body
// larger than `kMaxDataTaskBytes` ends as an error.
class UrlSession {
public:
    virtual ~UrlSession() = default;
    // Starts the request and returns at once.
    virtual void dataTaskWithURL(const Url& url, DataTaskCompletion completion) = 0;
};

// More than any small document the application asks for.
inline constexpr std::size_t kMaxDataTaskBytes = 1 << 20;

}  // namespace pelko

#pragma once

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "platform/Url.h"

namespace pelko {

class NavigationDelegate;
class UIDelegate;

// Platform values of the request cache policy.
enum class CachePolicy { useProtocolCachePolicy = 0 };

struct UrlRequest {
    Url url;
    CachePolicy cachePolicy = CachePolicy::useProtocolCachePolicy;
    std::chrono::seconds timeout{60};
    bool operator==(const UrlRequest&) const = default;
};

struct ScriptError {
    std::string message;
};

// The error of a script whose value has no JSON form (a function, a date).
inline constexpr const char* kUnsupportedResultType = "Unsupported result type";

// A script's outcome: the platform's conversion of the script's value to
// JSON, or an error. Both may be absent (a script returning undefined).
using ScriptCompletion =
    std::function<void(const std::optional<nlohmann::json>& result, const std::optional<ScriptError>& error)>;

class WebView {
public:
    virtual ~WebView() = default;
    virtual void setNavigationDelegate(NavigationDelegate* delegate) = 0;
    virtual void setUIDelegate(UIDelegate* delegate) = 0;
    virtual void setAllowsBackForwardNavigationGestures(bool allow) = 0;
    virtual void setCustomUserAgent(const std::string& userAgent) = 0;

    virtual void loadRequest(const UrlRequest& request) = 0;
    virtual void reload() = 0;
    virtual bool canGoBack() const = 0;
    virtual void goBack() = 0;
    virtual bool canGoForward() const = 0;
    virtual void goForward() = 0;
    virtual std::optional<Url> url() const = 0;
    // Whether a load of the main frame is under way.
    virtual bool isLoading() const = 0;
    // Shows `html` in place of the page that could not be loaded from
    // `unreachableURL`. The page has no origin of its own (about:blank), and
    // its load is no navigation the navigation delegate hears of. Where the
    // platform can, the history keeps `unreachableURL` for it. Called while
    // the delegate handles the failure, as some platforms require.
    virtual void loadAlternateHTML(const std::string& html, const Url& unreachableURL) = 0;

    // Runs `script` in the main frame. The completion, when given, is called
    // once on the main thread.
    virtual void evaluateJavaScript(const std::string& script, ScriptCompletion completion = nullptr) = 0;
};

}  // namespace pelko

#pragma once

#include "platform/UrlSession.h"

namespace pelko::mac {

// GET requests through the shared NSURLSession.
class UrlSessionPort : public UrlSession {
public:
    void dataTaskWithURL(const Url& url, DataTaskCompletion completion) override;
};

}  // namespace pelko::mac

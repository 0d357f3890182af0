#pragma once

#include <string>
#include <vector>

#include "platform/UrlSession.h"

namespace pelko::test {

// Keeps each request until the test answers it.
class FakeUrlSession : public UrlSession {
public:
    void dataTaskWithURL(const Url& url, DataTaskCompletion completion) override {
        requests.push_back({url, std::move(completion)});
    }

    struct Request {
        Url url;
        DataTaskCompletion completion;
    };
    std::vector<Request> requests;
};

}  // namespace pelko::test

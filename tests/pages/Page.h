#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "Harness.h"

namespace pelko::e2e {

// fixtures/page.html in the app's own web view: scripts run through the
// backend's port and JSON conversion, messages come through its bridge. One
// app for the tests of a process; each test loads the page afresh, which
// resets every page global and timer.
class Page {
public:
    static Page& shared();

    [[nodiscard]] bool load();
    nlohmann::json eval(const std::string& script) { return app_.eval(script); }
    // Every bridge message body the page has posted since it loaded, oldest first.
    std::vector<nlohmann::json> messages();

private:
    TestApp app_;
    std::size_t firstMessage_ = 0;
    int markers_ = 0;
};

}  // namespace pelko::e2e

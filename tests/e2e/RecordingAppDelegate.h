#pragma once

#include <vector>

#include "app/AppDelegate.h"

namespace pelko::test {

// The controller, keeping every bridge message the page posts for the test
// before it acts on it.
class RecordingAppDelegate : public AppDelegate {
public:
    using AppDelegate::AppDelegate;

    std::vector<ScriptMessage> scriptMessages;

    void didReceiveScriptMessage(const ScriptMessage& message) override {
        scriptMessages.push_back(message);
        AppDelegate::didReceiveScriptMessage(message);
    }
};

}  // namespace pelko::test

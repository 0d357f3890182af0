#pragma once

#include <memory>

#include "app/AppDelegate.h"
#include "fakes/FakePlatform.h"

namespace pelko::test {

inline constexpr const char* kTestOrigin = "https://pelko.test";

// The controller with its not-yet-platform steps observable.
class RecordingAppDelegate : public AppDelegate {
public:
    RecordingAppDelegate(Ports ports, AppConfig config, ProcessValues values, CallLog& log)
        : AppDelegate(ports, std::move(config), std::move(values)), log_(log) {}

    bool relocates = false;

protected:
    bool relocateToApplicationsIfNeeded() override {
        log_.add("relocateToApplicationsIfNeeded");
        return relocates;
    }
    void setupIMessageAgent(const std::string& pairingCode, const std::string& apiBase) override {
        log_.add("setupIMessageAgent " + pairingCode + " " + apiBase);
    }
    void disconnectIMessageAgent() override { log_.add("disconnectIMessageAgent"); }
    void checkForUpdate() override { log_.add("checkForUpdate"); }

private:
    CallLog& log_;
};

// A controller over fake ports, not yet launched.
struct TestApp {
    FakePlatform platform;
    std::shared_ptr<RecordingAppDelegate> app;

    explicit TestApp(DesktopInfo info = kMacDesktopInfo) {
        AppConfig config{kTestOrigin, {"google.com", "github.com", "githubusercontent.com", "apple.com"}, kUserAgent,
                         info};
        auto values = makeProcessValues(platform.urls, kTestOrigin);
        app = std::make_shared<RecordingAppDelegate>(platform.ports(), config, *values, platform.log);
    }

    void launch(bool relocates = false) {
        app->relocates = relocates;
        app->applicationDidFinishLaunching();
    }
    FakeWindow& window() { return *platform.toolkit.window; }
    FakeWebView& webView() { return *platform.toolkit.webView; }
};

}  // namespace pelko::test

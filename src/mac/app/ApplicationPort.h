#pragma once

#import <AppKit/AppKit.h>

#include <memory>

#include "platform/Application.h"

@class PelkoMenuItemSender;

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

// The shared NSApplication behind the application port: activation, Quit,
// the main menu and local key-down monitors.
class ApplicationPort : public Application {
public:
    ApplicationPort();
    void activateIgnoringOtherApps() override;
    void terminate() override;
    void setMainMenu(std::shared_ptr<Menu> menu) override;
    std::unique_ptr<MonitorToken> addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) override;
    std::unique_ptr<MonitorToken> addLocalMonitorForOtherMouseDownEvents(OtherMouseDownMonitor handler) override;

private:
    std::shared_ptr<Menu> menu_;  // the model the main menu shows
    PelkoMenuItemSender* menuSender_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END

#pragma once

#include "platform/NetworkMonitor.h"

namespace pelko {
class MainQueue;
}

namespace pelko::gtk {

// GIO's default network monitor (GNetworkMonitor): the desktop's network
// manager where it answers, the kernel's routes otherwise. The network is
// available when the system has a default route.
class NetworkMonitorPort : public NetworkMonitor {
public:
    explicit NetworkMonitorPort(MainQueue& mainQueue) : mainQueue_(mainQueue) {}
    std::unique_ptr<MonitorToken> start(std::function<void(bool available)> handler) override;

private:
    MainQueue& mainQueue_;
};

}  // namespace pelko::gtk

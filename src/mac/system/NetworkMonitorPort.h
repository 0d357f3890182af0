#pragma once

#include "platform/NetworkMonitor.h"

namespace pelko::mac {

// The Network framework's path monitor (nw_path_monitor, NWPathMonitor's C
// face): the network is available while the path over all interfaces is
// satisfied. Updates arrive on the main queue.
class NetworkMonitorPort : public NetworkMonitor {
public:
    std::unique_ptr<MonitorToken> start(std::function<void(bool available)> handler) override;
};

}  // namespace pelko::mac

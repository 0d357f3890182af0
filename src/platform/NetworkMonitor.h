#pragma once

#include <functional>
#include <memory>

#include "platform/Application.h"

namespace pelko {

// Whether the system has a network that connections can go out over.
class NetworkMonitor {
public:
    virtual ~NetworkMonitor() = default;
    // Calls `handler` on the main thread with whether the network is
    // available: soon after with the state it is in, then after every change
    // the platform reports (the same state may come more than once). Stops
    // when the token goes.
    virtual std::unique_ptr<MonitorToken> start(std::function<void(bool available)> handler) = 0;
};

}  // namespace pelko

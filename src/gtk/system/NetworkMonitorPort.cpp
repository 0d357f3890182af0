#include "gtk/system/NetworkMonitorPort.h"

#include <gio/gio.h>

#include "platform/MainQueue.h"

namespace pelko::gtk {

namespace {

using Handler = std::function<void(bool)>;

void onNetworkChanged(GNetworkMonitor* /*monitor*/, gboolean available, gpointer data) {
    (*static_cast<Handler*>(data))(available != FALSE);
}

class Subscription : public MonitorToken {
public:
    Subscription(GNetworkMonitor* monitor, std::shared_ptr<Handler> handler)
        : monitor_(G_NETWORK_MONITOR(g_object_ref(monitor))), handler_(std::move(handler)) {
        signal_ = g_signal_connect(monitor_, "network-changed", G_CALLBACK(onNetworkChanged), handler_.get());
    }
    ~Subscription() override {
        g_signal_handler_disconnect(monitor_, signal_);
        g_object_unref(monitor_);
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

private:
    GNetworkMonitor* monitor_;
    std::shared_ptr<Handler> handler_;
    gulong signal_ = 0;
};

}  // namespace

std::unique_ptr<MonitorToken> NetworkMonitorPort::start(std::function<void(bool available)> handler) {
    GNetworkMonitor* monitor = g_network_monitor_get_default();
    auto shared = std::make_shared<Handler>(std::move(handler));
    // The state it is in, once the caller has its token; not after the token is gone.
    mainQueue_.async([weak = std::weak_ptr<Handler>(shared), available = g_network_monitor_get_network_available(monitor)] {
        if (auto current = weak.lock()) (*current)(available != FALSE);
    });
    return std::make_unique<Subscription>(monitor, std::move(shared));
}

}  // namespace pelko::gtk

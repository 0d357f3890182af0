#import "mac/system/NetworkMonitorPort.h"

#import <Network/Network.h>

namespace pelko::mac {

namespace {

class PathSubscription : public MonitorToken {
public:
    PathSubscription(nw_path_monitor_t monitor, std::shared_ptr<bool> alive)
        : monitor_(monitor), alive_(std::move(alive)) {}
    ~PathSubscription() override {
        // An update already queued on the main queue finds it gone.
        *alive_ = false;
        nw_path_monitor_cancel(monitor_);
    }
    PathSubscription(const PathSubscription&) = delete;
    PathSubscription& operator=(const PathSubscription&) = delete;

private:
    nw_path_monitor_t monitor_;
    std::shared_ptr<bool> alive_;
};

}  // namespace

std::unique_ptr<MonitorToken> NetworkMonitorPort::start(std::function<void(bool available)> handler) {
    nw_path_monitor_t monitor = nw_path_monitor_create();
    auto alive = std::make_shared<bool>(true);
    auto shared = std::make_shared<std::function<void(bool)>>(std::move(handler));
    nw_path_monitor_set_queue(monitor, dispatch_get_main_queue());
    // The monitor delivers the path it starts with, then every change.
    nw_path_monitor_set_update_handler(monitor, ^(nw_path_t path) {
      if (*alive && *shared) (*shared)(nw_path_get_status(path) == nw_path_status_satisfied);
    });
    nw_path_monitor_start(monitor);
    return std::make_unique<PathSubscription>(monitor, std::move(alive));
}

}  // namespace pelko::mac

#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

#include "platform/MainQueue.h"

namespace pelko::gtk {

// The main queue on the GLib default main context, which the GTK main loop
// (and every nested loop of a modal dialog) runs. Immediate blocks run in
// the order they were submitted; delayed blocks and timers run in the
// order they fall due, even when several are overdue at once (GLib alone
// would run overdue sources in the order they were made).
class MainQueuePort : public MainQueue {
public:
    MainQueuePort();
    ~MainQueuePort() override;
    MainQueuePort(const MainQueuePort&) = delete;
    MainQueuePort& operator=(const MainQueuePort&) = delete;

    void async(std::function<void()> block) override;
    void asyncAfter(Duration delay, std::function<void()> block) override;
    std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) override;

    // Shared with the GLib sources, which may outlive this object at exit.
    struct Pending {
        std::mutex mutex;
        std::deque<std::function<void()>> blocks;
        bool drainScheduled = false;
        bool closed = false;
    };
    struct Delayed {
        using Key = std::pair<std::int64_t, std::uint64_t>;  // due (monotonic µs), submission number
        std::mutex mutex;
        std::map<Key, std::function<void()>> entries;
        std::uint64_t nextNumber = 0;
        bool closed = false;
    };

private:
    Delayed::Key schedule(Duration delay, std::function<void()> block);

    std::shared_ptr<Pending> pending_;
    std::shared_ptr<Delayed> delayed_;
};

}  // namespace pelko::gtk

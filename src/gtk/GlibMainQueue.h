#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/MainQueue.h"

namespace pelko::gtk {

// The main queue on the GLib default main context, which the GTK main loop
// (and every nested loop of a modal dialog) runs.
class GlibMainQueue : public MainQueue {
public:
    GlibMainQueue();
    ~GlibMainQueue() override;
    GlibMainQueue(const GlibMainQueue&) = delete;
    GlibMainQueue& operator=(const GlibMainQueue&) = delete;

    void async(std::function<void()> block) override;
    void asyncAfter(Duration delay, std::function<void()> block) override;
    std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) override;

private:
    // Shared with the idle source, which may outlive this object at exit.
    struct Pending {
        std::mutex mutex;
        std::deque<std::function<void()>> blocks;
        bool drainScheduled = false;
        bool closed = false;
    };
    static int drain(void* data);

    std::shared_ptr<Pending> pending_;
};

}  // namespace pelko::gtk

#include "gtk/system/MainQueuePort.h"

#include <glib.h>

#include <utility>

namespace pelko::gtk {

namespace {

// GLib may wake a timeout a little before the microsecond it was asked for.
constexpr std::int64_t kEarlyWakeToleranceUs = 1000;

guint milliseconds(Duration delay) { return delay.count() <= 0 ? 0u : static_cast<guint>(delay.count()); }

gboolean drainPending(gpointer data) {
    auto pending = *static_cast<std::shared_ptr<MainQueuePort::Pending>*>(data);
    // Blocks submitted while these run wait for the next round, so a block
    // that resubmits itself cannot starve the rest of the loop.
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(pending->mutex);
        batch.swap(pending->blocks);
        pending->drainScheduled = false;
    }
    for (auto& block : batch) {
        if (block) block();
    }
    return G_SOURCE_REMOVE;
}

// Runs every delayed block that is due, earliest first.
gboolean runDue(gpointer data) {
    auto delayed = *static_cast<std::shared_ptr<MainQueuePort::Delayed>*>(data);
    for (;;) {
        std::function<void()> block;
        {
            std::lock_guard lock(delayed->mutex);
            if (delayed->closed || delayed->entries.empty()) break;
            auto first = delayed->entries.begin();
            if (first->first.first > g_get_monotonic_time() + kEarlyWakeToleranceUs) break;
            block = std::move(first->second);
            delayed->entries.erase(first);
        }
        if (block) block();
    }
    return G_SOURCE_REMOVE;
}

void freeDelayedHolder(gpointer data) { delete static_cast<std::shared_ptr<MainQueuePort::Delayed>*>(data); }

// A one-shot timer: once it has fired or been invalidated, it is gone.
class GlibTimer : public Timer {
public:
    GlibTimer(std::weak_ptr<MainQueuePort::Delayed> delayed, MainQueuePort::Delayed::Key key)
        : delayed_(std::move(delayed)), key_(key) {}
    // Like a run-loop timer, the scheduled block does not depend on this
    // handle: only invalidate() stops it.
    ~GlibTimer() override = default;

    void invalidate() override {
        auto delayed = delayed_.lock();
        if (!delayed) return;
        std::function<void()> dropped;
        {
            std::lock_guard lock(delayed->mutex);
            auto it = delayed->entries.find(key_);
            if (it == delayed->entries.end()) return;
            dropped = std::move(it->second);
            delayed->entries.erase(it);
        }
        // `dropped` is destroyed outside the lock: whatever it holds may schedule again.
    }

private:
    std::weak_ptr<MainQueuePort::Delayed> delayed_;
    MainQueuePort::Delayed::Key key_;
};

}  // namespace

MainQueuePort::MainQueuePort() : pending_(std::make_shared<Pending>()), delayed_(std::make_shared<Delayed>()) {}

MainQueuePort::~MainQueuePort() {
    std::deque<std::function<void()>> blocks;
    std::map<Delayed::Key, std::function<void()>> entries;
    {
        std::lock_guard lock(pending_->mutex);
        pending_->closed = true;
        blocks.swap(pending_->blocks);
    }
    {
        std::lock_guard lock(delayed_->mutex);
        delayed_->closed = true;
        entries.swap(delayed_->entries);
    }
}

void MainQueuePort::async(std::function<void()> block) {
    bool schedule = false;
    {
        std::lock_guard lock(pending_->mutex);
        if (pending_->closed) return;
        pending_->blocks.push_back(std::move(block));
        schedule = !std::exchange(pending_->drainScheduled, true);
    }
    if (schedule) {
        // g_idle_add_full attaches to the default context and is safe from any thread.
        g_idle_add_full(G_PRIORITY_DEFAULT, drainPending, new std::shared_ptr<Pending>(pending_),
                        [](gpointer data) { delete static_cast<std::shared_ptr<Pending>*>(data); });
    }
}

MainQueuePort::Delayed::Key MainQueuePort::schedule(Duration delay, std::function<void()> block) {
    Delayed::Key key;
    {
        std::lock_guard lock(delayed_->mutex);
        if (delayed_->closed) return {};
        key = {g_get_monotonic_time() + static_cast<std::int64_t>(milliseconds(delay)) * 1000,
               delayed_->nextNumber++};
        delayed_->entries.emplace(key, std::move(block));
    }
    // Each entry wakes the loop when it falls due; the wake-up then runs whatever is due, in order.
    g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds(delay), runDue, new std::shared_ptr<Delayed>(delayed_),
                       freeDelayedHolder);
    return key;
}

void MainQueuePort::asyncAfter(Duration delay, std::function<void()> block) { schedule(delay, std::move(block)); }

std::unique_ptr<Timer> MainQueuePort::scheduledTimer(Duration interval, std::function<void()> block) {
    return std::make_unique<GlibTimer>(delayed_, schedule(interval, std::move(block)));
}

}  // namespace pelko::gtk

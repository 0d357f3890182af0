#include "gtk/GlibMainQueue.h"

#include <glib.h>

#include <utility>

namespace pelko::gtk {

namespace {

guint milliseconds(Duration delay) {
    return delay.count() <= 0 ? 0u : static_cast<guint>(delay.count());
}

struct DelayedBlock {
    std::function<void()> block;
};

gboolean runDelayed(gpointer data) {
    auto* delayed = static_cast<DelayedBlock*>(data);
    auto block = std::move(delayed->block);
    if (block) block();
    return G_SOURCE_REMOVE;
}

void freeDelayed(gpointer data) { delete static_cast<DelayedBlock*>(data); }

// A one-shot source: once it has fired or been invalidated, it is gone.
class GlibTimer : public Timer {
public:
    GlibTimer(Duration interval, std::function<void()> block) : state_(std::make_shared<State>()) {
        state_->block = std::move(block);
        auto* holder = new std::shared_ptr<State>(state_);
        state_->sourceId = g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds(interval), &GlibTimer::fire, holder,
                                              [](gpointer data) { delete static_cast<std::shared_ptr<State>*>(data); });
    }
    // Like a run-loop timer, the scheduled source does not depend on this
    // handle: only invalidate() stops it.
    ~GlibTimer() override = default;

    void invalidate() override {
        if (state_->fired || state_->invalidated) return;
        state_->invalidated = true;
        state_->block = nullptr;
        g_source_remove(state_->sourceId);
    }

private:
    struct State {
        std::function<void()> block;
        guint sourceId = 0;
        bool fired = false;
        bool invalidated = false;
    };

    static gboolean fire(gpointer data) {
        auto state = *static_cast<std::shared_ptr<State>*>(data);
        state->fired = true;
        auto block = std::move(state->block);
        if (block) block();
        return G_SOURCE_REMOVE;
    }

    std::shared_ptr<State> state_;
};

}  // namespace

GlibMainQueue::GlibMainQueue() : pending_(std::make_shared<Pending>()) {}

GlibMainQueue::~GlibMainQueue() {
    std::lock_guard lock(pending_->mutex);
    pending_->closed = true;
    pending_->blocks.clear();
}

void GlibMainQueue::async(std::function<void()> block) {
    bool schedule = false;
    {
        std::lock_guard lock(pending_->mutex);
        if (pending_->closed) return;
        pending_->blocks.push_back(std::move(block));
        schedule = !std::exchange(pending_->drainScheduled, true);
    }
    if (schedule) {
        // g_idle_add_full attaches to the default context and is safe from any thread.
        g_idle_add_full(G_PRIORITY_DEFAULT, &GlibMainQueue::drain, new std::shared_ptr<Pending>(pending_),
                        [](gpointer data) { delete static_cast<std::shared_ptr<Pending>*>(data); });
    }
}

int GlibMainQueue::drain(void* data) {
    auto pending = *static_cast<std::shared_ptr<Pending>*>(data);
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

void GlibMainQueue::asyncAfter(Duration delay, std::function<void()> block) {
    g_timeout_add_full(G_PRIORITY_DEFAULT, milliseconds(delay), runDelayed, new DelayedBlock{std::move(block)},
                       freeDelayed);
}

std::unique_ptr<Timer> GlibMainQueue::scheduledTimer(Duration interval, std::function<void()> block) {
    return std::make_unique<GlibTimer>(interval, std::move(block));
}

}  // namespace pelko::gtk

#pragma once

#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/MainQueue.h"

namespace pelko::test {

// A main queue on a virtual clock. Nothing runs until the test says so.
class FakeMainQueue : public MainQueue {
public:
    void async(std::function<void()> block) override { schedule(Duration{0}, std::move(block)); }
    void asyncAfter(Duration delay, std::function<void()> block) override { schedule(delay, std::move(block)); }
    std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) override {
        struct FakeTimer : Timer {
            std::shared_ptr<bool> cancelled = std::make_shared<bool>(false);
            void invalidate() override { *cancelled = true; }
        };
        auto timer = std::make_unique<FakeTimer>();
        schedule(interval, std::move(block), timer->cancelled);
        return timer;
    }

    // Runs every block that is due now, including those they submit.
    void runUntilIdle() { advance(Duration{0}); }
    // Moves the clock forward, running blocks in the order they fall due.
    void advance(Duration by) {
        const Duration until = now_ + by;
        while (!entries_.empty() && entries_.begin()->first.first <= until) {
            auto node = entries_.extract(entries_.begin());
            now_ = node.key().first;
            if (!node.mapped().cancelled || !*node.mapped().cancelled) node.mapped().block();
        }
        now_ = until;
    }
    // Blocks and timers still to run.
    std::size_t pending() const {
        std::size_t count = 0;
        for (const auto& [key, entry] : entries_) count += !entry.cancelled || !*entry.cancelled;
        return count;
    }

private:
    struct Entry {
        std::function<void()> block;
        std::shared_ptr<bool> cancelled;
    };
    void schedule(Duration delay, std::function<void()> block, std::shared_ptr<bool> cancelled = nullptr) {
        entries_.emplace(std::make_pair(now_ + delay, sequence_++), Entry{std::move(block), std::move(cancelled)});
    }

    Duration now_{0};
    unsigned long long sequence_ = 0;
    std::map<std::pair<Duration, unsigned long long>, Entry> entries_;
};

}  // namespace pelko::test

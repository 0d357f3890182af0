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
    void async(std::function<void()> block) override { schedule(Duration{0}, std::move(block), nullptr); }
    void asyncAfter(Duration delay, std::function<void()> block) override {
        schedule(delay, std::move(block), nullptr);
    }
    std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) override;

    // Runs every block that is due now, including those they submit.
    void runUntilIdle() { advance(Duration{0}); }
    // Moves the clock forward, running blocks in the order they fall due.
    void advance(Duration by);
    Duration now() const { return now_; }
    std::size_t pending() const;

private:
    struct Entry {
        std::function<void()> block;
        std::shared_ptr<bool> cancelled;
    };
    void schedule(Duration delay, std::function<void()> block, std::shared_ptr<bool> cancelled);

    Duration now_{0};
    unsigned long long sequence_ = 0;
    std::map<std::pair<Duration, unsigned long long>, Entry> entries_;
};

}  // namespace pelko::test

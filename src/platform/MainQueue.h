#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace pelko {

using Duration = std::chrono::milliseconds;

// A one-shot timer on the main run loop.
class Timer {
public:
    virtual ~Timer() = default;
    // After this the block never runs. Safe to call more than once.
    virtual void invalidate() = 0;
};

// The main thread's queue. Every block runs on the main thread, in the
// order it was submitted (delayed blocks in the order they fall due).
class MainQueue {
public:
    virtual ~MainQueue() = default;
    // May be called from any thread.
    virtual void async(std::function<void()> block) = 0;
    virtual void asyncAfter(Duration delay, std::function<void()> block) = 0;
    // Main thread only.
    virtual std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) = 0;
};

}  // namespace pelko

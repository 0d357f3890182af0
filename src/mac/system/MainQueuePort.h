#pragma once

#include "platform/MainQueue.h"

namespace pelko::mac {

// The main dispatch queue, and one-shot NSTimers on the main run loop.
class MainQueuePort : public MainQueue {
public:
    void async(std::function<void()> block) override;
    void asyncAfter(Duration delay, std::function<void()> block) override;
    std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) override;
};

}  // namespace pelko::mac

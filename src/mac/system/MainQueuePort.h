#pragma once

#include "platform/MainQueue.h"

namespace pelko::mac {

// Blocks and one-shot NSTimers on the main run loop, in its common modes, so
// that deferred work also runs while a menu is open or an alert is up.
class MainQueuePort : public MainQueue {
public:
    void async(std::function<void()> block) override;
    void asyncAfter(Duration delay, std::function<void()> block) override;
    std::unique_ptr<Timer> scheduledTimer(Duration interval, std::function<void()> block) override;
};

}  // namespace pelko::mac

#import <Foundation/Foundation.h>

#include "mac/system/MainQueuePort.h"

namespace pelko::mac {

namespace {

// A timer on the main run loop. Like the platform's, it fires once unless
// invalidated; letting go of this handle does not stop it.
class FoundationTimer : public Timer {
public:
    explicit FoundationTimer(NSTimer* timer) : timer_(timer) {}
    void invalidate() override { [timer_ invalidate]; }

private:
    NSTimer* timer_;
};

// Runs on the main thread in the run loop's common modes: also while a menu
// is open or a modal alert runs, where the default mode (NSTimer's scheduled
// timers) and the main dispatch queue (serial, so held up by a block that
// runs an alert) would wait. Any thread.
void onMainRunLoop(void (^block)(void)) {
    CFRunLoopRef main = CFRunLoopGetMain();
    CFRunLoopPerformBlock(main, kCFRunLoopCommonModes, block);
    CFRunLoopWakeUp(main);
}

// A one-shot timer on the main run loop in the common modes. Main thread.
NSTimer* commonModesTimer(std::chrono::milliseconds interval, std::function<void()> block) {
    const NSTimeInterval seconds = static_cast<double>(interval.count()) / 1000.0;
    NSTimer* timer = [NSTimer timerWithTimeInterval:seconds
                                            repeats:NO
                                              block:^(NSTimer* /*timer*/) {
                                                block();
                                              }];
    [[NSRunLoop mainRunLoop] addTimer:timer forMode:NSRunLoopCommonModes];
    return timer;
}

}  // namespace

void MainQueuePort::async(std::function<void()> block) {
    onMainRunLoop(^{
      block();
    });
}

void MainQueuePort::asyncAfter(Duration delay, std::function<void()> block) {
    onMainRunLoop(^{
      commonModesTimer(delay, block);
    });
}

std::unique_ptr<Timer> MainQueuePort::scheduledTimer(Duration interval, std::function<void()> block) {
    return std::make_unique<FoundationTimer>(commonModesTimer(interval, std::move(block)));
}

}  // namespace pelko::mac

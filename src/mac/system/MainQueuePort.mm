#import <Foundation/Foundation.h>

#include "mac/system/MainQueuePort.h"

namespace pelko::mac {

namespace {

// A scheduled NSTimer. Like the platform's, it fires once unless
// invalidated; letting go of this handle does not stop it.
class FoundationTimer : public Timer {
public:
    explicit FoundationTimer(NSTimer* timer) : timer_(timer) {}
    void invalidate() override { [timer_ invalidate]; }

private:
    NSTimer* timer_;
};

}  // namespace

void MainQueuePort::async(std::function<void()> block) {
    dispatch_async(dispatch_get_main_queue(), ^{
      block();
    });
}

void MainQueuePort::asyncAfter(Duration delay, std::function<void()> block) {
    const auto nanoseconds = static_cast<int64_t>(delay.count()) * static_cast<int64_t>(NSEC_PER_MSEC);
    dispatch_after(dispatch_time(DISPATCH_TIME_NOW, nanoseconds), dispatch_get_main_queue(), ^{
      block();
    });
}

std::unique_ptr<Timer> MainQueuePort::scheduledTimer(Duration interval, std::function<void()> block) {
    const NSTimeInterval seconds = static_cast<double>(interval.count()) / 1000.0;
    NSTimer* timer = [NSTimer scheduledTimerWithTimeInterval:seconds
                                                     repeats:NO
                                                       block:^(NSTimer* /*timer*/) {
                                                         block();
                                                       }];
    return std::make_unique<FoundationTimer>(timer);
}

}  // namespace pelko::mac

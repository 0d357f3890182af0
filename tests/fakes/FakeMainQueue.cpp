#include "fakes/FakeMainQueue.h"

namespace pelko::test {

namespace {
class FakeTimer : public Timer {
public:
    explicit FakeTimer(std::shared_ptr<bool> cancelled) : cancelled_(std::move(cancelled)) {}
    void invalidate() override { *cancelled_ = true; }

private:
    std::shared_ptr<bool> cancelled_;
};
}  // namespace

std::unique_ptr<Timer> FakeMainQueue::scheduledTimer(Duration interval, std::function<void()> block) {
    auto cancelled = std::make_shared<bool>(false);
    schedule(interval, std::move(block), cancelled);
    return std::make_unique<FakeTimer>(cancelled);
}

void FakeMainQueue::schedule(Duration delay, std::function<void()> block, std::shared_ptr<bool> cancelled) {
    entries_.emplace(std::make_pair(now_ + delay, sequence_++), Entry{std::move(block), std::move(cancelled)});
}

void FakeMainQueue::advance(Duration by) {
    const Duration until = now_ + by;
    while (!entries_.empty() && entries_.begin()->first.first <= until) {
        auto node = entries_.extract(entries_.begin());
        now_ = node.key().first;
        Entry entry = std::move(node.mapped());
        if (!entry.cancelled || !*entry.cancelled) entry.block();
    }
    now_ = until;
}

std::size_t FakeMainQueue::pending() const {
    std::size_t count = 0;
    for (const auto& [key, entry] : entries_)
        if (!entry.cancelled || !*entry.cancelled) ++count;
    return count;
}

}  // namespace pelko::test

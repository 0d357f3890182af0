#include "BenchChannel.h"

namespace pelko::demo {

bool BenchChannel::post(const std::string& command) {
    {
        std::lock_guard lock(mutex_);
        if (!listening_ || closed_) return false;
        commands_.push_back(command);
    }
    changed_.notify_all();
    return true;
}

void BenchChannel::listen(const std::function<bool(const std::string& event)>& write) {
    std::unique_lock lock(mutex_);
    const std::uint64_t me = ++listener_;
    listening_ = true;
    std::size_t sent = commands_.size();
    changed_.notify_all();
    while (!closed_ && listener_ == me) {
        if (sent < commands_.size()) {
            const std::string event = "data: " + commands_[sent++] + "\n\n";
            lock.unlock();
            const bool written = write(event);
            lock.lock();
            if (!written) break;
            continue;
        }
        // A page that went away is only found by writing to it: looking now
        // and then would wake the page too. The next listener ends this one.
        changed_.wait(lock);
    }
    if (listener_ == me) listening_ = false;
}

void BenchChannel::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

}  // namespace pelko::demo

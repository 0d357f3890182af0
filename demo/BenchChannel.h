#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace pelko::demo {

// How a benchmark steers the chat page (pelko-demo --bench only): it posts
// commands, and the page that listens (an event stream) receives each one
// posted while it listens. One page listens at a time, as one app runs at a
// time: a page that starts listening ends the stream of the one before, so
// a stream whose page has gone never holds a server thread for long.
class BenchChannel {
public:
    // Hands `command` (one line of JSON) to the listening page. False when
    // no page listens.
    bool post(const std::string& command);

    // Runs for as long as the page listens: writes each command posted from
    // now on as an event through `write`, and returns when `write` fails,
    // another page starts listening, or the channel closes.
    void listen(const std::function<bool(const std::string& event)>& write);

    // Ends every stream, for good.
    void close();

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> commands_;
    std::uint64_t listener_ = 0;  // which listener is current
    bool listening_ = false;
    bool closed_ = false;
};

}  // namespace pelko::demo

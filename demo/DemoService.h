#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BenchChannel.h"

namespace httplib {
class Server;
}

namespace pelko::demo {

// A local stand-in for the hosted Pelko service: the chat page and the
// endpoints the desktop app relies on, plus a few fixtures for tests.
// Listens on 127.0.0.1 only, on a thread of its own.
class DemoService {
public:
    // `version` is what /desktop-latest.json announces until the page
    // publishes a newer one: the running app's, so that nothing is offered.
    explicit DemoService(std::string version);
    ~DemoService();
    DemoService(const DemoService&) = delete;
    DemoService& operator=(const DemoService&) = delete;

    // Binds 127.0.0.1:`port` (0: any free port) and starts serving. False
    // when the port cannot be bound.
    bool start(int port);
    void stop();
    int port() const { return port_; }

    // What /desktop-latest.json announces from now on; safe from any thread.
    void setManifestVersion(std::string version);
    // While off, /desktop-latest.json answers 503 with a plain-text page, as
    // a service that is down does.
    void setManifestAvailable(bool available);

    struct Request {
        std::string method;
        std::string path;
        std::string userAgent;
    };
    // Bench mode, for bench/compare-apps (set before start()): /api says
    // "bench": true, and the page then takes the bench's commands, posted to
    // /bench/command, from the event stream /bench/commands. Off, neither
    // exists.
    void setBenchMode(bool on) { benchMode_ = on; }

    // Every request served so far, in order.
    std::vector<Request> requests() const;
    // What a helper announced to /api/imessage/announce.
    struct Announcement {
        std::string pairingCode;
        std::string host;
        std::string helper;
        std::string version;
    };
    // Every announcement the service took, in order.
    std::vector<Announcement> announcements() const;
    // Called on the server's thread after each response; set before start().
    void setLogger(std::function<void(const Request& request, int status)> logger) { logger_ = std::move(logger); }

private:
    void addRoutes();
    std::string version() const;

    std::string version_;
    bool manifestAvailable_ = true;
    bool benchMode_ = false;
    BenchChannel bench_;
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;  // the version, the switch, the requests and the announcements
    std::vector<Request> requests_;
    std::vector<Announcement> announcements_;
    std::function<void(const Request&, int)> logger_;
};

}  // namespace pelko::demo

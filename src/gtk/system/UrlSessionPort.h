#pragma once

#include <string>
#include <thread>

#include "platform/UrlSession.h"

typedef struct _GMainContext GMainContext;
typedef struct _GMainLoop GMainLoop;

namespace pelko::gtk {

// GET requests over libsoup 3, on a thread of their own: a SoupSession
// belongs to the main context it is used in, so the session lives on this
// thread's context and every completion is called there, never on the main
// thread. Redirects are followed and TLS errors fail, libsoup's defaults;
// proxies are the desktop's.
class UrlSessionPort : public UrlSession {
public:
    // `userAgent` ending in a space gets libsoup's own name appended.
    explicit UrlSessionPort(const std::string& userAgent);
    // Requests still running end with a "cancelled" error, then the thread stops.
    ~UrlSessionPort() override;
    UrlSessionPort(const UrlSessionPort&) = delete;
    UrlSessionPort& operator=(const UrlSessionPort&) = delete;

    void dataTaskWithURL(const Url& url, DataTaskCompletion completion) override;

    // Worker-thread state, shared with the GLib callbacks.
    struct Worker;

private:
    Worker* worker_;
    GMainContext* context_;
    GMainLoop* loop_;
    std::thread thread_;
};

}  // namespace pelko::gtk

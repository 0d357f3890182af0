#pragma once

#include "platform/Application.h"

typedef struct _GtkApplication GtkApplication;

namespace pelko::gtk {

class ApplicationPort;

// Turns GApplication's activations into the controller's lifecycle. The
// first activation is the launch. Every later one is a second launch of the
// program, which GApplication forwards to this, the running instance: it
// brings the visible windows forward, as activating an application does,
// and asks the delegate to reopen. The application stays alive with no
// window shown until it is told to quit.
class ApplicationLifecycle {
public:
    ApplicationLifecycle(GtkApplication* application, ApplicationPort& port, ApplicationDelegate& delegate);
    ~ApplicationLifecycle();
    ApplicationLifecycle(const ApplicationLifecycle&) = delete;
    ApplicationLifecycle& operator=(const ApplicationLifecycle&) = delete;

    bool launched() const { return launched_; }

private:
    static void onActivate(void* application, void* self);
    static void onWindowRemoved(void* application, void* window, void* self);
    bool hasVisibleWindows() const;

    GtkApplication* application_;
    ApplicationPort& port_;
    ApplicationDelegate& delegate_;
    bool launched_ = false;
};

}  // namespace pelko::gtk

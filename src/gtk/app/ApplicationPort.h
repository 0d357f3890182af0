#pragma once

#include <memory>
#include <string>

#include "platform/Application.h"
#include "platform/Menu.h"

typedef struct _GdkEvent GdkEvent;
typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

namespace pelko::gtk {

class WindowPort;
class MenuBar;

// The application object: GtkApplication with its menu bar, the local key
// monitors, and the standard commands the menus send to the first
// responder (the focused view, the key window or the application).
class ApplicationPort : public Application {
public:
    ApplicationPort(GtkApplication* application, std::string applicationName, std::string version);
    ~ApplicationPort() override;
    ApplicationPort(const ApplicationPort&) = delete;
    ApplicationPort& operator=(const ApplicationPort&) = delete;

    // Brings the application's visible windows forward; hidden ones stay hidden.
    void activateIgnoringOtherApps() override;
    void terminate() override;
    void setMainMenu(std::shared_ptr<Menu> menu) override;
    std::unique_ptr<MonitorToken> addLocalMonitorForKeyDownEvents(KeyEventMonitor handler) override;
    std::unique_ptr<MonitorToken> addLocalMonitorForOtherMouseDownEvents(OtherMouseDownMonitor handler) override;

    // Key-downs in this window go to the monitors, then to the menus' key
    // equivalents, before any view sees them; so do presses of the other
    // mouse buttons, to their monitors.
    void attachWindow(WindowPort& window);
    // Does what a first-responder menu command does on this platform.
    void performStandardCommand(MenuAction action);
    // Performs the menu item whose key equivalent the key event matches.
    bool performKeyEquivalent(GdkEvent* event, bool isARepeat);

    GtkApplication* gtkApplication() const { return application_; }
    struct KeyDispatch;

private:
    void showAboutPanel(GtkWindow* parent);

    GtkApplication* application_;
    std::string applicationName_;
    std::string version_;
    std::shared_ptr<KeyDispatch> dispatch_;
    std::unique_ptr<MenuBar> menuBar_;
    GtkWidget* aboutPanel_ = nullptr;  // while it exists
};

}  // namespace pelko::gtk

#pragma once

#include <functional>
#include <string>

#include "platform/Window.h"

typedef struct _GtkApplication GtkApplication;
typedef struct _GtkWidget GtkWidget;
typedef struct _GtkWindow GtkWindow;

namespace pelko::gtk {

class SettingsFile;

// A top-level window whose content area holds one view, below the
// application's menu bar. Sizes are content sizes: the menu bar comes on
// top, as the content of a window elsewhere never shares its rectangle
// with the menus. The content size is remembered in the settings file
// under the autosave name.
class WindowPort : public Window {
public:
    WindowPort(GtkApplication* application, SettingsFile& settings, Rect contentRect, unsigned styleMask);
    ~WindowPort() override;
    WindowPort(const WindowPort&) = delete;
    WindowPort& operator=(const WindowPort&) = delete;

    void setTitle(const std::string& title) override;
    std::string title() const override;
    void setFrameAutosaveName(const std::string& name) override;
    void setContentView(WebView& view) override;
    void setMinSize(Size size) override;
    void setDelegate(WindowDelegate* delegate) override;
    // GTK 4 leaves placement to the window manager, which centres or
    // otherwise places new windows by its own policy.
    void center() override {}
    void makeKeyAndOrderFront() override;
    void orderOut() override;
    bool isVisible() const override;

    // Brings the window forward with the keyboard in its content, as after
    // an alert or a file chooser of its own closes. A hidden window stays hidden.
    void returnFocusToContent();

    GtkWindow* gtkWindow() const { return window_; }
    GtkWidget* contentWidget() const { return content_; }
    Size contentSize() const { return contentSize_; }
    // The port object of a window made here, or null.
    static WindowPort* fromGtkWindow(GtkWindow* window);

private:
    static int onCloseRequest(GtkWindow* window, void* self);
    static void onDefaultSizeChanged(void* object, void* pspec, void* self);
    static void onMenubarChanged(void* object, void* pspec, void* self);
    static int saveSoon(void* self);
    static void onFocusWidgetChanged(void* object, void* pspec, void* self);
    static int focusContentAfterMenu(void* self);

    void updateMenuBar();
    int menuBarHeight() const;
    void applyContentSize();
    void scheduleSave();
    void saveFrame();

    GtkApplication* application_;
    SettingsFile& settings_;
    GtkWindow* window_ = nullptr;
    GtkWidget* box_ = nullptr;
    GtkWidget* menuBar_ = nullptr;
    GtkWidget* content_ = nullptr;
    WindowDelegate* delegate_ = nullptr;
    Size contentSize_;
    std::string autosaveName_;
    bool applyingSize_ = false;
    unsigned saveSource_ = 0;
    unsigned menuFocusSource_ = 0;
    unsigned long menubarHandler_ = 0;
};

}  // namespace pelko::gtk

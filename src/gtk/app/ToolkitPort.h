#pragma once

#include "platform/Toolkit.h"
#include "platform/Url.h"

typedef struct _GtkApplication GtkApplication;

namespace pelko::gtk {

class ApplicationPort;
class SettingsFile;
class WebsiteDataStore;

// Makes the native objects: WebKitGTK configurations and web views, and
// GTK windows that belong to the application.
class ToolkitPort : public Toolkit {
public:
    ToolkitPort(ApplicationPort& application, SettingsFile& settings, WebsiteDataStore& dataStore,
               const Urls& urls);
    std::unique_ptr<WebViewConfiguration> makeWebViewConfiguration() override;
    // The frame is the window's business: the view fills the content area.
    std::unique_ptr<WebView> makeWebView(Rect frame, WebViewConfiguration& configuration) override;
    std::unique_ptr<Window> makeWindow(Rect contentRect, unsigned styleMask) override;

private:
    ApplicationPort& application_;
    SettingsFile& settings_;
    WebsiteDataStore& dataStore_;
    const Urls& urls_;
};

}  // namespace pelko::gtk

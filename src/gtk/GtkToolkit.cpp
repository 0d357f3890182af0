#include "gtk/GtkToolkit.h"

#include "gtk/GtkApplicationPort.h"
#include "gtk/GtkWindowPort.h"
#include "gtk/WebKitConfigurationPort.h"
#include "gtk/WebKitViewPort.h"

namespace pelko::gtk {

GtkToolkit::GtkToolkit(GtkApplicationPort& application, SettingsFile& settings, WebsiteDataStore& dataStore,
                       const Urls& urls)
    : application_(application), settings_(settings), dataStore_(dataStore), urls_(urls) {}

std::unique_ptr<WebViewConfiguration> GtkToolkit::makeWebViewConfiguration() {
    return std::make_unique<WebKitConfigurationPort>(dataStore_);
}

std::unique_ptr<WebView> GtkToolkit::makeWebView(Rect /*frame*/, WebViewConfiguration& configuration) {
    auto* webKitConfiguration = dynamic_cast<WebKitConfigurationPort*>(&configuration);
    if (!webKitConfiguration) return nullptr;
    return std::make_unique<WebKitViewPort>(*webKitConfiguration, urls_);
}

std::unique_ptr<Window> GtkToolkit::makeWindow(Rect contentRect, unsigned styleMask) {
    auto window = std::make_unique<GtkWindowPort>(application_.gtkApplication(), settings_, contentRect, styleMask);
    application_.attachWindow(*window);
    return window;
}

}  // namespace pelko::gtk

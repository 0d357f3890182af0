#include "gtk/app/ToolkitPort.h"

#include "gtk/app/ApplicationPort.h"
#include "gtk/app/WindowPort.h"
#include "gtk/web/WebViewConfigurationPort.h"
#include "gtk/web/WebViewPort.h"

namespace pelko::gtk {

ToolkitPort::ToolkitPort(ApplicationPort& application, SettingsFile& settings, WebsiteDataStore& dataStore,
                       const Urls& urls)
    : application_(application), settings_(settings), dataStore_(dataStore), urls_(urls) {}

std::unique_ptr<WebViewConfiguration> ToolkitPort::makeWebViewConfiguration() {
    return std::make_unique<WebViewConfigurationPort>(dataStore_);
}

std::unique_ptr<WebView> ToolkitPort::makeWebView(Rect /*frame*/, WebViewConfiguration& configuration) {
    auto* webKitConfiguration = dynamic_cast<WebViewConfigurationPort*>(&configuration);
    if (!webKitConfiguration) return nullptr;
    return std::make_unique<WebViewPort>(*webKitConfiguration, urls_);
}

std::unique_ptr<Window> ToolkitPort::makeWindow(Rect contentRect, unsigned styleMask) {
    auto window = std::make_unique<WindowPort>(application_.gtkApplication(), settings_, contentRect, styleMask);
    application_.attachWindow(*window);
    return window;
}

}  // namespace pelko::gtk

#import "mac/app/ToolkitPort.h"

#import "mac/app/WindowPort.h"
#import "mac/web/WebViewConfigurationPort.h"
#import "mac/web/WebViewPort.h"

namespace pelko::mac {

std::unique_ptr<WebViewConfiguration> ToolkitPort::makeWebViewConfiguration() {
    return std::make_unique<WebViewConfigurationPort>(proxy_);
}

std::unique_ptr<WebView> ToolkitPort::makeWebView(Rect frame, WebViewConfiguration& configuration) {
    auto* wkConfiguration = dynamic_cast<WebViewConfigurationPort*>(&configuration);
    if (!wkConfiguration) return nullptr;
    return std::make_unique<WebViewPort>(frame, *wkConfiguration, proxy_);
}

std::unique_ptr<Window> ToolkitPort::makeWindow(Rect contentRect, unsigned styleMask) {
    return std::make_unique<WindowPort>(contentRect, styleMask, proxy_);
}

}  // namespace pelko::mac

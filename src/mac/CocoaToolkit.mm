#import "mac/CocoaToolkit.h"

#import "mac/CocoaWindowPort.h"
#import "mac/WKConfigurationPort.h"
#import "mac/WKWebViewPort.h"

namespace pelko::mac {

std::unique_ptr<WebViewConfiguration> CocoaToolkit::makeWebViewConfiguration() {
    return std::make_unique<WKConfigurationPort>(proxy_);
}

std::unique_ptr<WebView> CocoaToolkit::makeWebView(Rect frame, WebViewConfiguration& configuration) {
    auto* wkConfiguration = dynamic_cast<WKConfigurationPort*>(&configuration);
    if (!wkConfiguration) return nullptr;
    return std::make_unique<WKWebViewPort>(frame, *wkConfiguration, proxy_);
}

std::unique_ptr<Window> CocoaToolkit::makeWindow(Rect contentRect, unsigned styleMask) {
    return std::make_unique<CocoaWindowPort>(contentRect, styleMask, proxy_);
}

}  // namespace pelko::mac

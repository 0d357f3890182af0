#pragma once

#import <Foundation/Foundation.h>

#include "platform/Toolkit.h"

@class PelkoDelegateProxy;

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

// Makes WebKit configurations and web views, and AppKit windows, all
// calling back through the one delegate proxy.
class ToolkitPort : public Toolkit {
public:
    explicit ToolkitPort(PelkoDelegateProxy* proxy) : proxy_(proxy) {}
    std::unique_ptr<WebViewConfiguration> makeWebViewConfiguration() override;
    std::unique_ptr<WebView> makeWebView(Rect frame, WebViewConfiguration& configuration) override;
    std::unique_ptr<Window> makeWindow(Rect contentRect, unsigned styleMask) override;

private:
    PelkoDelegateProxy* proxy_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END

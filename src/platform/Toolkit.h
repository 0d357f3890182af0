#pragma once

#include <memory>

#include "platform/Window.h"

namespace pelko {

class WebView;
class WebViewConfiguration;

// Creates the native objects the launch sequence needs.
class Toolkit {
public:
    virtual ~Toolkit() = default;
    virtual std::unique_ptr<WebViewConfiguration> makeWebViewConfiguration() = 0;
    virtual std::unique_ptr<WebView> makeWebView(Rect frame, WebViewConfiguration& configuration) = 0;
    // `styleMask` is a combination of WindowStyle flags.
    virtual std::unique_ptr<Window> makeWindow(Rect contentRect, unsigned styleMask) = 0;
};

}  // namespace pelko

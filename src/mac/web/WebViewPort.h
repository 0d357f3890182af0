#pragma once

#import <WebKit/WebKit.h>

#include "platform/WebView.h"
#include "platform/Window.h"

@class PelkoDelegateProxy;

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

class WebViewConfigurationPort;

// A WKWebView behind the web view port. Its navigation and UI callbacks
// reach the port's delegates through the delegate proxy.
class WebViewPort : public WebView {
public:
    WebViewPort(Rect frame, WebViewConfigurationPort& configuration, PelkoDelegateProxy* proxy);
    WebViewPort(const WebViewPort&) = delete;
    WebViewPort& operator=(const WebViewPort&) = delete;

    void setNavigationDelegate(NavigationDelegate* _Nullable delegate) override;
    void setUIDelegate(UIDelegate* _Nullable delegate) override;
    void setAllowsBackForwardNavigationGestures(bool allow) override;
    void setCustomUserAgent(const std::string& userAgent) override;
    void loadRequest(const UrlRequest& request) override;
    void reload() override;
    bool canGoBack() const override;
    void goBack() override;
    bool canGoForward() const override;
    void goForward() override;
    std::optional<Url> url() const override;
    bool isLoading() const override;
    // loadHTMLString:baseURL: with no base URL, so the page has no origin.
    // WKWebView has no public way to tie it to `unreachableURL` in the
    // history; the delegate reloads that URL itself.
    void loadAlternateHTML(const std::string& html, const Url& unreachableURL) override;
    void evaluateJavaScript(const std::string& script, ScriptCompletion completion = nullptr) override;

    WKWebView* nsView() const { return view_; }

private:
    WKWebView* view_;
    PelkoDelegateProxy* proxy_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END

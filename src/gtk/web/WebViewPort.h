#pragma once

#include "gtk/system/GObjectRef.h"
#include "platform/WebView.h"
#include "platform/WebViewDelegates.h"

typedef struct _GtkWidget GtkWidget;
typedef struct _WebKitWebView WebKitWebView;

namespace pelko::gtk {

class WebViewConfigurationPort;

// A WebKitWebView behind the web view port. It forwards the view's
// signals to its navigation and UI delegates as plain values and turns
// their answers back into WebKit decisions (see DecisionAnswers.h).
class WebViewPort : public WebView {
public:
    WebViewPort(WebViewConfigurationPort& configuration, const Urls& urls);
    ~WebViewPort() override;
    WebViewPort(const WebViewPort&) = delete;
    WebViewPort& operator=(const WebViewPort&) = delete;

    void setNavigationDelegate(NavigationDelegate* delegate) override { navigationDelegate_ = delegate; }
    void setUIDelegate(UIDelegate* delegate) override { uiDelegate_ = delegate; }
    void setAllowsBackForwardNavigationGestures(bool allow) override;
    void setCustomUserAgent(const std::string& userAgent) override;
    // WebKitGTK has no per-request time-out: a load that has received no
    // response when the request's time-out passes is stopped.
    void loadRequest(const UrlRequest& request) override;
    void reload() override;
    bool canGoBack() const override;
    void goBack() override;
    bool canGoForward() const override;
    void goForward() override;
    std::optional<Url> url() const override;
    bool isLoading() const override;
    // webkit_web_view_load_alternate_html: the history keeps `unreachableURL`
    // for the page, so Back leaves it and Reload loads that URL again.
    void loadAlternateHTML(const std::string& html, const Url& unreachableURL) override;
    void evaluateJavaScript(const std::string& script, ScriptCompletion completion = nullptr) override;

    GtkWidget* widget() const;
    WebKitWebView* webKitView() const { return view_.get(); }
    NavigationDelegate* navigationDelegate() const { return navigationDelegate_; }
    UIDelegate* uiDelegate() const { return uiDelegate_; }
    static WebViewPort* fromWebView(WebKitWebView* view);

private:
    static int onDecidePolicy(WebKitWebView* view, void* decision, int type, void* self);
    static GtkWidget* onCreate(WebKitWebView* view, void* navigationAction, void* self);
    static int onRunFileChooser(WebKitWebView* view, void* request, void* self);
    static void onLoadChanged(WebKitWebView* view, int loadEvent, void* self);
    static int onLoadFailed(WebKitWebView* view, int loadEvent, const char* uri, void* error, void* self);
    static int onLoadTimeout(void* self);

    NavigationAction navigationActionFrom(void* webkitNavigationAction, bool hasTargetFrame) const;
    void cancelLoadTimeout();

    const Urls& urls_;
    GObjectRef<WebKitWebView> view_;
    NavigationDelegate* navigationDelegate_ = nullptr;
    UIDelegate* uiDelegate_ = nullptr;
    bool loadFailed_ = false;
    bool loadTimedOut_ = false;
    // Alternate content asked for and not yet started, and whether the load
    // under way is alternate content: no delegate hears of its load.
    bool alternatePending_ = false;
    bool loadIsAlternate_ = false;
    unsigned loadTimeout_ = 0;
};

}  // namespace pelko::gtk

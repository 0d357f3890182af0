#import "mac/web/WebViewPort.h"

#import "mac/app/DelegateProxy.h"
#include "mac/system/CocoaValues.h"
#import "mac/web/WebViewConfigurationPort.h"

namespace pelko::mac {

namespace {
NSURLRequestCachePolicy cachePolicyFrom(CachePolicy policy) {
    switch (policy) {
    case CachePolicy::useProtocolCachePolicy: return NSURLRequestUseProtocolCachePolicy;
    }
    return NSURLRequestUseProtocolCachePolicy;
}
}  // namespace

WebViewPort::WebViewPort(Rect frame, WebViewConfigurationPort& configuration, PelkoDelegateProxy* proxy)
    : view_([[WKWebView alloc] initWithFrame:NSMakeRect(frame.x, frame.y, frame.width, frame.height)
                               configuration:configuration.configuration()]),
      proxy_(proxy) {}

void WebViewPort::setNavigationDelegate(NavigationDelegate* _Nullable delegate) {
    proxy_.navigationDelegate = delegate;
    view_.navigationDelegate = delegate ? proxy_ : nil;
}

void WebViewPort::setUIDelegate(UIDelegate* _Nullable delegate) {
    proxy_.uiDelegate = delegate;
    view_.UIDelegate = delegate ? proxy_ : nil;
}

void WebViewPort::setAllowsBackForwardNavigationGestures(bool allow) {
    view_.allowsBackForwardNavigationGestures = allow;
}

void WebViewPort::setCustomUserAgent(const std::string& userAgent) { view_.customUserAgent = toNSString(userAgent); }

void WebViewPort::loadRequest(const UrlRequest& request) {
    NSURL* url = nsURLFromUrl(request.url);
    if (!url) return;
    [view_ loadRequest:[NSURLRequest requestWithURL:url
                                        cachePolicy:cachePolicyFrom(request.cachePolicy)
                                    timeoutInterval:static_cast<NSTimeInterval>(request.timeout.count())]];
}

void WebViewPort::reload() { [view_ reload]; }

bool WebViewPort::canGoBack() const { return view_.canGoBack; }

void WebViewPort::goBack() { [view_ goBack]; }

bool WebViewPort::canGoForward() const { return view_.canGoForward; }

void WebViewPort::goForward() { [view_ goForward]; }

std::optional<Url> WebViewPort::url() const { return urlFromNSURL(view_.URL); }

bool WebViewPort::isLoading() const { return view_.loading; }

void WebViewPort::loadAlternateHTML(const std::string& html, const Url& /*unreachableURL*/) {
    NSString* text = stringFromUTF8(html);
    if (!text) return;
    proxy_.alternateNavigation = [view_ loadHTMLString:text baseURL:nil];
}

void WebViewPort::evaluateJavaScript(const std::string& script, ScriptCompletion completion) {
    if (!completion) {
        [view_ evaluateJavaScript:toNSString(script) completionHandler:nil];
        return;
    }
    [view_ evaluateJavaScript:toNSString(script)
            completionHandler:^(id _Nullable result, NSError* _Nullable error) {
                if (error) {
                    completion(std::nullopt, ScriptError{fromNSString(error.localizedDescription)});
                    return;
                }
                auto value = jsonFromObject(result);
                if (result && !value) {
                    completion(std::nullopt, ScriptError{kUnsupportedResultType});
                    return;
                }
                completion(value, std::nullopt);
            }];
}

}  // namespace pelko::mac

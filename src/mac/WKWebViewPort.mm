#import "mac/WKWebViewPort.h"

#import "mac/DelegateProxy.h"
#import "mac/WKConfigurationPort.h"
#include "mac/CocoaValues.h"

namespace pelko::mac {

namespace {
NSURLRequestCachePolicy cachePolicyFrom(CachePolicy policy) {
    switch (policy) {
    case CachePolicy::useProtocolCachePolicy: return NSURLRequestUseProtocolCachePolicy;
    }
    return NSURLRequestUseProtocolCachePolicy;
}
}  // namespace

WKWebViewPort::WKWebViewPort(Rect frame, WKConfigurationPort& configuration, PelkoDelegateProxy* proxy)
    : view_([[WKWebView alloc] initWithFrame:NSMakeRect(frame.x, frame.y, frame.width, frame.height)
                               configuration:configuration.configuration()]),
      proxy_(proxy) {}

void WKWebViewPort::setNavigationDelegate(NavigationDelegate* _Nullable delegate) {
    proxy_.navigationDelegate = delegate;
    view_.navigationDelegate = delegate ? proxy_ : nil;
}

void WKWebViewPort::setUIDelegate(UIDelegate* _Nullable delegate) {
    proxy_.uiDelegate = delegate;
    view_.UIDelegate = delegate ? proxy_ : nil;
}

void WKWebViewPort::setAllowsBackForwardNavigationGestures(bool allow) {
    view_.allowsBackForwardNavigationGestures = allow;
}

void WKWebViewPort::setCustomUserAgent(const std::string& userAgent) { view_.customUserAgent = toNSString(userAgent); }

void WKWebViewPort::loadRequest(const UrlRequest& request) {
    NSURL* url = nsURLFromUrl(request.url);
    if (!url) return;
    [view_ loadRequest:[NSURLRequest requestWithURL:url
                                        cachePolicy:cachePolicyFrom(request.cachePolicy)
                                    timeoutInterval:static_cast<NSTimeInterval>(request.timeout.count())]];
}

void WKWebViewPort::reload() { [view_ reload]; }

bool WKWebViewPort::canGoBack() const { return view_.canGoBack; }

void WKWebViewPort::goBack() { [view_ goBack]; }

bool WKWebViewPort::canGoForward() const { return view_.canGoForward; }

void WKWebViewPort::goForward() { [view_ goForward]; }

std::optional<Url> WKWebViewPort::url() const { return urlFromNSURL(view_.URL); }

void WKWebViewPort::evaluateJavaScript(const std::string& script, ScriptCompletion completion) {
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

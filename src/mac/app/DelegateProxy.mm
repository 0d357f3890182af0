#import "mac/app/DelegateProxy.h"

#include <string>
#include <vector>

#include "mac/system/CocoaValues.h"

using namespace pelko;
using mac::fromNSString;
using mac::toNSString;

namespace {

NavigationType navigationTypeFrom(WKNavigationType type) {
    switch (type) {
    case WKNavigationTypeLinkActivated: return NavigationType::linkActivated;
    case WKNavigationTypeFormSubmitted: return NavigationType::formSubmitted;
    case WKNavigationTypeBackForward: return NavigationType::backForward;
    case WKNavigationTypeReload: return NavigationType::reload;
    case WKNavigationTypeFormResubmitted: return NavigationType::formResubmitted;
    case WKNavigationTypeOther: return NavigationType::other;
    }
    return NavigationType::other;
}

WKNavigationActionPolicy wkActionPolicy(NavigationActionPolicy policy) {
    switch (policy) {
    case NavigationActionPolicy::allow: return WKNavigationActionPolicyAllow;
    case NavigationActionPolicy::download: return WKNavigationActionPolicyDownload;
    case NavigationActionPolicy::cancel: return WKNavigationActionPolicyCancel;
    }
    return WKNavigationActionPolicyCancel;
}

WKNavigationResponsePolicy wkResponsePolicy(NavigationResponsePolicy policy) {
    switch (policy) {
    case NavigationResponsePolicy::allow: return WKNavigationResponsePolicyAllow;
    case NavigationResponsePolicy::download: return WKNavigationResponsePolicyDownload;
    case NavigationResponsePolicy::cancel: return WKNavigationResponsePolicyCancel;
    }
    return WKNavigationResponsePolicyCancel;
}

NavigationAction navigationActionFrom(WKNavigationAction* action) {
    NavigationAction out;
    out.requestURL = mac::urlFromNSURL(action.request.URL);
    out.navigationType = navigationTypeFrom(action.navigationType);
    out.shouldPerformDownload = action.shouldPerformDownload;
    out.hasTargetFrame = action.targetFrame != nil;
    return out;
}

NavigationError navigationErrorFrom(NSError* error) {
    NavigationError out;
    out.domain = fromNSString(error.domain);
    out.code = static_cast<long>(error.code);
    id failingURL = [error.userInfo objectForKey:NSURLErrorFailingURLErrorKey];
    if ([failingURL isKindOfClass:[NSURL class]]) out.failingURL = mac::urlFromNSURL(static_cast<NSURL*>(failingURL));
    return out;
}

SecurityOrigin originFrom(WKSecurityOrigin* origin) {
    return SecurityOrigin{fromNSString(origin.protocol), fromNSString(origin.host), static_cast<int>(origin.port)};
}

}  // namespace

@interface PelkoDelegateProxy ()
- (DownloadRef)refForDownload:(WKDownload*)download;
- (void)adoptDownload:(WKDownload*)download;
- (BOOL)isAlternateNavigation:(nullable WKNavigation*)navigation;
- (void)navigationFailedWithError:(NSError*)error;
@end

@implementation PelkoDelegateProxy {
    // Each download's number, for as long as WebKit keeps the download.
    NSMapTable<WKDownload*, NSNumber*>* _downloadNumbers;
    unsigned long long _lastDownloadNumber;
}

- (instancetype)init {
    self = [super init];
    if (self) _downloadNumbers = [NSMapTable weakToStrongObjectsMapTable];
    return self;
}

// MARK: NSApplicationDelegate

- (void)applicationDidFinishLaunching:(NSNotification*)notification {
    if (_applicationDelegate) _applicationDelegate->applicationDidFinishLaunching();
}

- (BOOL)applicationShouldTerminateAfterLastWindowClosed:(NSApplication*)sender {
    return _applicationDelegate && _applicationDelegate->applicationShouldTerminateAfterLastWindowClosed();
}

- (BOOL)applicationShouldHandleReopen:(NSApplication*)sender hasVisibleWindows:(BOOL)flag {
    return _applicationDelegate ? _applicationDelegate->applicationShouldHandleReopen(flag) : YES;
}

// MARK: NSWindowDelegate

- (BOOL)windowShouldClose:(NSWindow*)sender {
    return _windowDelegate ? _windowDelegate->windowShouldClose() : YES;
}

// MARK: WKNavigationDelegate

- (void)webView:(WKWebView*)webView
    decidePolicyForNavigationAction:(WKNavigationAction*)navigationAction
                    decisionHandler:(void (^)(WKNavigationActionPolicy))decisionHandler {
    NavigationActionDecision decision(
        [decisionHandler](NavigationActionPolicy policy) { decisionHandler(wkActionPolicy(policy)); });
    if (!_navigationDelegate) return;  // dropped: the handler's safe answer
    _navigationDelegate->decidePolicyForNavigationAction(navigationActionFrom(navigationAction), std::move(decision));
}

- (void)webView:(WKWebView*)webView
    decidePolicyForNavigationResponse:(WKNavigationResponse*)navigationResponse
                      decisionHandler:(void (^)(WKNavigationResponsePolicy))decisionHandler {
    NavigationResponseDecision decision(
        [decisionHandler](NavigationResponsePolicy policy) { decisionHandler(wkResponsePolicy(policy)); });
    if (!_navigationDelegate) return;
    _navigationDelegate->decidePolicyForNavigationResponse(NavigationResponse{static_cast<bool>(navigationResponse.canShowMIMEType)},
                                                           std::move(decision));
}

- (void)webView:(WKWebView*)webView didFinishNavigation:(WKNavigation*)navigation {
    if ([self isAlternateNavigation:navigation]) return;
    if (_navigationDelegate) _navigationDelegate->didFinishNavigation();
}

- (void)webView:(WKWebView*)webView
    didFailProvisionalNavigation:(WKNavigation*)navigation
                       withError:(NSError*)error {
    if (![self isAlternateNavigation:navigation]) [self navigationFailedWithError:error];
}

- (void)webView:(WKWebView*)webView didFailNavigation:(WKNavigation*)navigation withError:(NSError*)error {
    if (![self isAlternateNavigation:navigation]) [self navigationFailedWithError:error];
}

// WKWebView shows nothing of its own for a failed load, so whether the
// delegate shows content in its place needs no answer here.
- (void)navigationFailedWithError:(NSError*)error {
    if (_navigationDelegate) _navigationDelegate->didFailNavigation(navigationErrorFrom(error));
}

- (BOOL)isAlternateNavigation:(nullable WKNavigation*)navigation {
    WKNavigation* alternate = self.alternateNavigation;
    return alternate != nil && navigation == alternate;
}

- (void)webView:(WKWebView*)webView
    navigationAction:(WKNavigationAction*)navigationAction
   didBecomeDownload:(WKDownload*)download {
    [self adoptDownload:download];
}

- (void)webView:(WKWebView*)webView
    navigationResponse:(WKNavigationResponse*)navigationResponse
     didBecomeDownload:(WKDownload*)download {
    [self adoptDownload:download];
}

- (void)adoptDownload:(WKDownload*)download {
    download.delegate = self;
    [_downloadNumbers setObject:[NSNumber numberWithUnsignedLongLong:++_lastDownloadNumber] forKey:download];
    if (_navigationDelegate) _navigationDelegate->navigationDidBecomeDownload([self refForDownload:download]);
}

- (DownloadRef)refForDownload:(WKDownload*)download {
    DownloadRef ref;
    NSNumber* number = [_downloadNumbers objectForKey:download];
    ref.id = number ? number.unsignedLongLongValue : 0;
    NSURLRequest* request = download.originalRequest;
    ref.originalRequestURL = mac::urlFromNSURL(request.URL);
    if (NSString* referrer = [request valueForHTTPHeaderField:@"Referer"])
        ref.referrerURL = mac::urlFromNSURL([NSURL URLWithString:referrer]);
    return ref;
}

// MARK: WKDownloadDelegate

- (void)download:(WKDownload*)download
    decideDestinationUsingResponse:(NSURLResponse*)response
                 suggestedFilename:(NSString*)suggestedFilename
                 completionHandler:(void (^)(NSURL* _Nullable destination))completionHandler {
    DownloadDestinationCompletion completion([completionHandler](const std::optional<std::string>& path) {
        NSString* text = path ? mac::stringFromUTF8(*path) : nil;
        completionHandler(text ? [NSURL fileURLWithPath:text] : nil);
    });
    if (!_downloadDelegate) return;
    _downloadDelegate->decideDestination([self refForDownload:download], fromNSString(suggestedFilename),
                                         std::move(completion));
}

- (void)downloadDidFinish:(WKDownload*)download {
    if (_downloadDelegate) _downloadDelegate->downloadDidFinish([self refForDownload:download]);
    [_downloadNumbers removeObjectForKey:download];
}

- (void)download:(WKDownload*)download didFailWithError:(NSError*)error resumeData:(NSData*)resumeData {
    if (_downloadDelegate) {
        const bool cancelled = [error.domain isEqualToString:NSURLErrorDomain] && error.code == NSURLErrorCancelled;
        _downloadDelegate->downloadDidFail([self refForDownload:download],
                                           DownloadFailure{cancelled, fromNSString(error.localizedDescription)});
    }
    [_downloadNumbers removeObjectForKey:download];
}

// MARK: WKUIDelegate

- (WKWebView*)webView:(WKWebView*)webView
    createWebViewWithConfiguration:(WKWebViewConfiguration*)configuration
               forNavigationAction:(WKNavigationAction*)navigationAction
                    windowFeatures:(WKWindowFeatures*)windowFeatures {
    if (_uiDelegate) _uiDelegate->createWebViewForNavigationAction(navigationActionFrom(navigationAction));
    return nil;  // the application never opens a second web view
}

- (void)webView:(WKWebView*)webView
    runOpenPanelWithParameters:(WKOpenPanelParameters*)parameters
              initiatedByFrame:(WKFrameInfo*)frame
             completionHandler:(void (^)(NSArray<NSURL*>* _Nullable URLs))completionHandler {
    OpenPanelCompletion completion([completionHandler](const std::optional<std::vector<std::string>>& paths) {
        if (!paths) {
            completionHandler(nil);
            return;
        }
        NSMutableArray<NSURL*>* urls = [NSMutableArray arrayWithCapacity:paths->size()];
        for (const std::string& path : *paths) {
            if (NSString* text = mac::stringFromUTF8(path)) [urls addObject:[NSURL fileURLWithPath:text]];
        }
        completionHandler(urls);
    });
    if (!_uiDelegate) return;
    _uiDelegate->runOpenPanel(OpenPanelParameters{static_cast<bool>(parameters.allowsMultipleSelection)},
                              std::move(completion));
}

// MARK: WKScriptMessageHandler

- (void)userContentController:(WKUserContentController*)userContentController
      didReceiveScriptMessage:(WKScriptMessage*)message {
    if (!_scriptMessageHandler) return;
    ScriptMessage out;
    out.name = fromNSString(message.name);
    // A body JSON cannot hold arrives as null, which no message type accepts.
    out.body = mac::jsonFromObject(message.body).value_or(nullptr);
    WKFrameInfo* frame = message.frameInfo;
    out.frameOrigin = originFrom(frame.securityOrigin);
    out.isMainFrame = frame.isMainFrame;
    _scriptMessageHandler->didReceiveScriptMessage(out);
}

@end

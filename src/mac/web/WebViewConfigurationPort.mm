#import "mac/web/WebViewConfigurationPort.h"

#import "mac/app/DelegateProxy.h"
#include "mac/system/CocoaValues.h"

namespace pelko::mac {

namespace {
WKAudiovisualMediaTypes wkMediaTypes(unsigned mediaTypes) {
    WKAudiovisualMediaTypes types = WKAudiovisualMediaTypeNone;
    if (mediaTypes & kMediaTypeAudio) types |= WKAudiovisualMediaTypeAudio;
    if (mediaTypes & kMediaTypeVideo) types |= WKAudiovisualMediaTypeVideo;
    return types;
}

WKUserScriptInjectionTime wkInjectionTime(UserScriptInjectionTime time) {
    switch (time) {
    case UserScriptInjectionTime::atDocumentStart: return WKUserScriptInjectionTimeAtDocumentStart;
    case UserScriptInjectionTime::atDocumentEnd: return WKUserScriptInjectionTimeAtDocumentEnd;
    }
    return WKUserScriptInjectionTimeAtDocumentEnd;
}
}  // namespace

WebViewConfigurationPort::WebViewConfigurationPort(PelkoDelegateProxy* proxy)
    : configuration_([[WKWebViewConfiguration alloc] init]), proxy_(proxy) {}

void WebViewConfigurationPort::setWebsiteDataStorePersistent() {
    configuration_.websiteDataStore = [WKWebsiteDataStore defaultDataStore];
}

void WebViewConfigurationPort::setJavaScriptCanOpenWindowsAutomatically(bool allow) {
    configuration_.preferences.javaScriptCanOpenWindowsAutomatically = allow;
}

void WebViewConfigurationPort::setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) {
    configuration_.mediaTypesRequiringUserActionForPlayback = wkMediaTypes(mediaTypes);
}

void WebViewConfigurationPort::addUserScript(const UserScript& script) {
    WKUserScript* userScript = [[WKUserScript alloc] initWithSource:toNSString(script.source)
                                                      injectionTime:wkInjectionTime(script.injectionTime)
                                                   forMainFrameOnly:script.forMainFrameOnly];
    [configuration_.userContentController addUserScript:userScript];
}

void WebViewConfigurationPort::addScriptMessageHandler(ScriptMessageHandler* _Nullable handler, const std::string& name) {
    proxy_.scriptMessageHandler = handler;
    [configuration_.userContentController addScriptMessageHandler:proxy_ name:toNSString(name)];
}

}  // namespace pelko::mac

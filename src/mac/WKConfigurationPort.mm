#import "mac/WKConfigurationPort.h"

#import "mac/DelegateProxy.h"
#include "mac/CocoaValues.h"

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

WKConfigurationPort::WKConfigurationPort(PelkoDelegateProxy* proxy)
    : configuration_([[WKWebViewConfiguration alloc] init]), proxy_(proxy) {}

void WKConfigurationPort::setWebsiteDataStorePersistent() {
    configuration_.websiteDataStore = [WKWebsiteDataStore defaultDataStore];
}

void WKConfigurationPort::setJavaScriptCanOpenWindowsAutomatically(bool allow) {
    configuration_.preferences.javaScriptCanOpenWindowsAutomatically = allow;
}

void WKConfigurationPort::setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) {
    configuration_.mediaTypesRequiringUserActionForPlayback = wkMediaTypes(mediaTypes);
}

void WKConfigurationPort::addUserScript(const UserScript& script) {
    WKUserScript* userScript = [[WKUserScript alloc] initWithSource:toNSString(script.source)
                                                      injectionTime:wkInjectionTime(script.injectionTime)
                                                   forMainFrameOnly:script.forMainFrameOnly];
    [configuration_.userContentController addUserScript:userScript];
}

void WKConfigurationPort::addScriptMessageHandler(ScriptMessageHandler* _Nullable handler, const std::string& name) {
    proxy_.scriptMessageHandler = handler;
    [configuration_.userContentController addScriptMessageHandler:proxy_ name:toNSString(name)];
}

}  // namespace pelko::mac

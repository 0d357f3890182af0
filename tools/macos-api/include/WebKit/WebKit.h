// The part of WebKit's Cocoa API that the macOS backend uses. <WebKit/WebKit.h>
#pragma once

#import <Foundation/Foundation.h>
#import <AppKit/AppKit.h>

NS_ASSUME_NONNULL_BEGIN

@class WKDownload;
@class WKFrameInfo;
@class WKNavigation;
@class WKNavigationAction;
@class WKNavigationResponse;
@class WKOpenPanelParameters;
@class WKPreferences;
@class WKScriptMessage;
@class WKUserContentController;
@class WKUserScript;
@class WKWebView;
@class WKWebViewConfiguration;
@class WKWebsiteDataStore;
@class WKWindowFeatures;

@protocol WKDownloadDelegate;
@protocol WKNavigationDelegate;
@protocol WKScriptMessageHandler;
@protocol WKUIDelegate;

// WKSecurityOrigin.h
API_AVAILABLE(macos(10.11))
@interface WKSecurityOrigin : NSObject
@property (nonatomic, readonly, copy) NSString *protocol;
@property (nonatomic, readonly, copy) NSString *host;
@property (nonatomic, readonly) NSInteger port;
@end

// WKFrameInfo.h
API_AVAILABLE(macos(10.10))
@interface WKFrameInfo : NSObject
@property (nonatomic, readonly, getter=isMainFrame) BOOL mainFrame;
@property (nonatomic, readonly, copy) NSURLRequest *request;
@property (nonatomic, readonly) WKSecurityOrigin *securityOrigin API_AVAILABLE(macos(10.11));
@end

// WKNavigation.h
API_AVAILABLE(macos(10.10))
@interface WKNavigation : NSObject
@end

// WKNavigationAction.h
typedef NS_ENUM(NSInteger, WKNavigationType) {
    WKNavigationTypeLinkActivated,
    WKNavigationTypeFormSubmitted,
    WKNavigationTypeBackForward,
    WKNavigationTypeReload,
    WKNavigationTypeFormResubmitted,
    WKNavigationTypeOther = -1,
} API_AVAILABLE(macos(10.10));

API_AVAILABLE(macos(10.10))
@interface WKNavigationAction : NSObject
@property (nullable, nonatomic, readonly, copy) WKFrameInfo *targetFrame;
@property (nonatomic, readonly) WKNavigationType navigationType;
@property (nonatomic, readonly, copy) NSURLRequest *request;
@property (nonatomic, readonly) BOOL shouldPerformDownload API_AVAILABLE(macos(11.3));
@end

// WKNavigationResponse.h
API_AVAILABLE(macos(10.10))
@interface WKNavigationResponse : NSObject
@property (nonatomic, readonly, copy) NSURLResponse *response;
@property (nonatomic, readonly) BOOL canShowMIMEType;
@end

// WKDownload.h
// The framework header leaves `delegate` unannotated and relies on clang
// inferring weak properties as nullable; it is spelled out here.
API_AVAILABLE(macos(11.3))
@interface WKDownload : NSObject
@property (nonatomic, readonly, nullable) NSURLRequest *originalRequest;
@property (nullable, nonatomic, weak) id <WKDownloadDelegate> delegate;
@end

// WKDownloadDelegate.h
API_AVAILABLE(macos(11.3))
@protocol WKDownloadDelegate <NSObject>
@required
- (void)download:(WKDownload *)download decideDestinationUsingResponse:(NSURLResponse *)response suggestedFilename:(NSString *)suggestedFilename completionHandler:(void (^)(NSURL * _Nullable destination))completionHandler;
PELKO_IMPLEMENTED_OPTIONAL  // @optional in the SDK
- (void)downloadDidFinish:(WKDownload *)download;
- (void)download:(WKDownload *)download didFailWithError:(NSError *)error resumeData:(nullable NSData *)resumeData;
@end

// WKNavigationDelegate.h
typedef NS_ENUM(NSInteger, WKNavigationActionPolicy) {
    WKNavigationActionPolicyCancel,
    WKNavigationActionPolicyAllow,
    WKNavigationActionPolicyDownload API_AVAILABLE(macos(11.3)),
} API_AVAILABLE(macos(10.10));

typedef NS_ENUM(NSInteger, WKNavigationResponsePolicy) {
    WKNavigationResponsePolicyCancel,
    WKNavigationResponsePolicyAllow,
    WKNavigationResponsePolicyDownload API_AVAILABLE(macos(11.3)),
} API_AVAILABLE(macos(10.10));

API_AVAILABLE(macos(10.10))
@protocol WKNavigationDelegate <NSObject>
PELKO_IMPLEMENTED_OPTIONAL  // @optional in the SDK
- (void)webView:(WKWebView *)webView decidePolicyForNavigationAction:(WKNavigationAction *)navigationAction decisionHandler:(void (^)(WKNavigationActionPolicy))decisionHandler;
- (void)webView:(WKWebView *)webView decidePolicyForNavigationResponse:(WKNavigationResponse *)navigationResponse decisionHandler:(void (^)(WKNavigationResponsePolicy))decisionHandler;
- (void)webView:(WKWebView *)webView didFinishNavigation:(null_unspecified WKNavigation *)navigation;
- (void)webView:(WKWebView *)webView didFailProvisionalNavigation:(null_unspecified WKNavigation *)navigation withError:(NSError *)error;
- (void)webView:(WKWebView *)webView didFailNavigation:(null_unspecified WKNavigation *)navigation withError:(NSError *)error;
- (void)webView:(WKWebView *)webView navigationAction:(WKNavigationAction *)navigationAction didBecomeDownload:(WKDownload *)download API_AVAILABLE(macos(11.3));
- (void)webView:(WKWebView *)webView navigationResponse:(WKNavigationResponse *)navigationResponse didBecomeDownload:(WKDownload *)download API_AVAILABLE(macos(11.3));
@end

// WKPreferences.h
API_AVAILABLE(macos(10.10))
@interface WKPreferences : NSObject
@property (nonatomic) BOOL javaScriptCanOpenWindowsAutomatically;
@end

// WKWebsiteDataStore.h
API_AVAILABLE(macos(10.11))
@interface WKWebsiteDataStore : NSObject
+ (WKWebsiteDataStore *)defaultDataStore;
@end

// WKUserScript.h
typedef NS_ENUM(NSInteger, WKUserScriptInjectionTime) {
    WKUserScriptInjectionTimeAtDocumentStart,
    WKUserScriptInjectionTimeAtDocumentEnd
} API_AVAILABLE(macos(10.10));

API_AVAILABLE(macos(10.10))
@interface WKUserScript : NSObject
- (instancetype)initWithSource:(NSString *)source injectionTime:(WKUserScriptInjectionTime)injectionTime forMainFrameOnly:(BOOL)forMainFrameOnly;
@end

// WKScriptMessage.h
API_AVAILABLE(macos(10.10))
@interface WKScriptMessage : NSObject
@property (nonatomic, readonly, copy) id body;
@property (nullable, nonatomic, readonly, weak) WKWebView *webView;
@property (nonatomic, readonly, copy) WKFrameInfo *frameInfo;
@property (nonatomic, readonly, copy) NSString *name;
@end

// WKScriptMessageHandler.h
API_AVAILABLE(macos(10.10))
@protocol WKScriptMessageHandler <NSObject>
@required
- (void)userContentController:(WKUserContentController *)userContentController didReceiveScriptMessage:(WKScriptMessage *)message;
@end

// WKUserContentController.h
API_AVAILABLE(macos(10.10))
@interface WKUserContentController : NSObject
- (void)addUserScript:(WKUserScript *)userScript;
- (void)addScriptMessageHandler:(id <WKScriptMessageHandler>)scriptMessageHandler name:(NSString *)name;
@end

// WKWebViewConfiguration.h
typedef NS_OPTIONS(NSUInteger, WKAudiovisualMediaTypes) {
    WKAudiovisualMediaTypeNone = 0,
    WKAudiovisualMediaTypeAudio = 1 << 0,
    WKAudiovisualMediaTypeVideo = 1 << 1,
    WKAudiovisualMediaTypeAll = NSUIntegerMax
} API_AVAILABLE(macos(10.12));

API_AVAILABLE(macos(10.10))
@interface WKWebViewConfiguration : NSObject
@property (nonatomic, strong) WKPreferences *preferences;
@property (nonatomic, strong) WKUserContentController *userContentController;
@property (nonatomic, strong) WKWebsiteDataStore *websiteDataStore API_AVAILABLE(macos(10.11));
@property (nonatomic) WKAudiovisualMediaTypes mediaTypesRequiringUserActionForPlayback API_AVAILABLE(macos(10.12));
@end

// WKWindowFeatures.h
API_AVAILABLE(macos(10.10))
@interface WKWindowFeatures : NSObject
@end

// WKOpenPanelParameters.h
API_AVAILABLE(macos(10.12))
@interface WKOpenPanelParameters : NSObject
@property (nonatomic, readonly) BOOL allowsMultipleSelection;
@end

// WKUIDelegate.h
API_AVAILABLE(macos(10.10))
@protocol WKUIDelegate <NSObject>
PELKO_IMPLEMENTED_OPTIONAL  // @optional in the SDK
- (nullable WKWebView *)webView:(WKWebView *)webView createWebViewWithConfiguration:(WKWebViewConfiguration *)configuration forNavigationAction:(WKNavigationAction *)navigationAction windowFeatures:(WKWindowFeatures *)windowFeatures;
- (void)webView:(WKWebView *)webView runOpenPanelWithParameters:(WKOpenPanelParameters *)parameters initiatedByFrame:(WKFrameInfo *)frame completionHandler:(void (^)(NSArray<NSURL *> * _Nullable URLs))completionHandler API_AVAILABLE(macos(10.12));
@end

// WKWebView.h
API_AVAILABLE(macos(10.10))
@interface WKWebView : NSView
@property (nullable, nonatomic, weak) id <WKNavigationDelegate> navigationDelegate;
@property (nullable, nonatomic, weak) id <WKUIDelegate> UIDelegate;
- (instancetype)initWithFrame:(CGRect)frame configuration:(WKWebViewConfiguration *)configuration NS_DESIGNATED_INITIALIZER;
- (nullable WKNavigation *)loadRequest:(NSURLRequest *)request;
- (nullable WKNavigation *)loadHTMLString:(NSString *)string baseURL:(nullable NSURL *)baseURL;
@property (nonatomic, readonly, getter=isLoading) BOOL loading;
@property (nullable, nonatomic, readonly, copy) NSURL *URL;
@property (nonatomic, readonly) BOOL canGoBack;
@property (nonatomic, readonly) BOOL canGoForward;
- (nullable WKNavigation *)goBack;
- (nullable WKNavigation *)goForward;
- (nullable WKNavigation *)reload;
- (void)evaluateJavaScript:(NSString *)javaScriptString completionHandler:(void (^ _Nullable)(_Nullable id result, NSError * _Nullable error))completionHandler;
@property (nonatomic) BOOL allowsBackForwardNavigationGestures;
@property (nullable, nonatomic, copy) NSString *customUserAgent API_AVAILABLE(macos(10.11));
@end

NS_ASSUME_NONNULL_END

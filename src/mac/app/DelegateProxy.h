#pragma once

#import <AppKit/AppKit.h>
#import <WebKit/WebKit.h>

#include "platform/Application.h"
#include "platform/WebViewConfiguration.h"
#include "platform/WebViewDelegates.h"
#include "platform/Window.h"

NS_ASSUME_NONNULL_BEGIN

// The one object the platform calls back. It takes every delegate role and
// forwards each callback, as plain values, to the C++ delegate the matching
// port was given, and hands the core's once-only handlers to WebKit. It
// decides nothing. The delegates live for the whole process.
@interface PelkoDelegateProxy : NSObject <NSApplicationDelegate,
                                          NSWindowDelegate,
                                          WKNavigationDelegate,
                                          WKUIDelegate,
                                          WKDownloadDelegate,
                                          WKScriptMessageHandler>
@property(nonatomic, assign, nullable) pelko::ApplicationDelegate* applicationDelegate;
@property(nonatomic, assign, nullable) pelko::WindowDelegate* windowDelegate;
@property(nonatomic, assign, nullable) pelko::NavigationDelegate* navigationDelegate;
@property(nonatomic, assign, nullable) pelko::UIDelegate* uiDelegate;
@property(nonatomic, assign, nullable) pelko::DownloadDelegate* downloadDelegate;
@property(nonatomic, assign, nullable) pelko::ScriptMessageHandler* scriptMessageHandler;
// The load of alternate content in progress: no delegate hears of it.
@property(nonatomic, weak, nullable) WKNavigation* alternateNavigation;
@end

NS_ASSUME_NONNULL_END

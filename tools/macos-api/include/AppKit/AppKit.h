// The AppKit classes the backend uses, one group per SDK header.
// <AppKit/AppKit.h>
#pragma once

#include <Foundation/Foundation.h>

// AppKitDefines.h
#ifdef __cplusplus
#define APPKIT_EXTERN extern "C"
#else
#define APPKIT_EXTERN extern
#endif

NS_ASSUME_NONNULL_BEGIN

@class NSApplication, NSButton, NSEvent, NSMenu, NSMenuItem, NSView, NSWindow;

// NSResponder.h
@interface NSResponder : NSObject
@end

// NSView.h
@interface NSView : NSResponder
@end

// NSControl.h
@interface NSControl : NSView
@end

// NSButton.h
@interface NSButton : NSControl
@property (copy) NSString *keyEquivalent;
@end

// NSText.h
// The standard edit actions the Edit menu sends down the responder chain.
@interface NSText : NSView
- (void)cut:(nullable id)sender;
- (void)copy:(nullable id)sender;
- (void)paste:(nullable id)sender;
- (void)selectAll:(nullable id)sender;
@end

// NSCell.h
typedef NSInteger NSControlStateValue NS_TYPED_EXTENSIBLE_ENUM;
static const NSControlStateValue NSControlStateValueOff API_AVAILABLE(macos(10.13)) = 0;
static const NSControlStateValue NSControlStateValueOn API_AVAILABLE(macos(10.13)) = 1;

// NSGraphics.h
typedef NS_ENUM(NSUInteger, NSBackingStoreType) {
    NSBackingStoreBuffered = 2,
};

// NSEvent.h
typedef NS_ENUM(NSUInteger, NSEventType) {
    NSEventTypeKeyDown = 10,
    NSEventTypeOtherMouseDown = 25,
};

typedef NS_OPTIONS(unsigned long long, NSEventMask) {
    NSEventMaskKeyDown = 1ULL << NSEventTypeKeyDown,
    NSEventMaskOtherMouseDown = 1ULL << NSEventTypeOtherMouseDown,
};

typedef NS_OPTIONS(NSUInteger, NSEventModifierFlags) {
    NSEventModifierFlagCapsLock = 1 << 16,
    NSEventModifierFlagShift = 1 << 17,
    NSEventModifierFlagControl = 1 << 18,
    NSEventModifierFlagOption = 1 << 19,
    NSEventModifierFlagCommand = 1 << 20,
    NSEventModifierFlagNumericPad = 1 << 21,
    NSEventModifierFlagFunction = 1 << 23,
};

@interface NSEvent : NSObject
@property (readonly) NSEventType type;
@property (readonly) NSEventModifierFlags modifierFlags;
@property (nullable, readonly, weak) NSWindow *window;
@property (readonly) unsigned short keyCode;
@property (readonly) NSInteger buttonNumber;
@property (readonly, getter=isARepeat) BOOL ARepeat;
// The monitor is returned as an opaque object to hand back to removeMonitor:.
+ (nullable id)addLocalMonitorForEventsMatchingMask:(NSEventMask)mask
                                            handler:(NSEvent *_Nullable (^)(NSEvent *event))block
    API_AVAILABLE(macos(10.6));
+ (void)removeMonitor:(id)eventMonitor API_AVAILABLE(macos(10.6));
@end

// NSRunningApplication.h
typedef NS_ENUM(NSInteger, NSApplicationActivationPolicy) {
    NSApplicationActivationPolicyRegular,
    NSApplicationActivationPolicyAccessory,
    NSApplicationActivationPolicyProhibited,
} API_AVAILABLE(macos(10.6));

// NSApplication.h
typedef NSInteger NSModalResponse NS_TYPED_EXTENSIBLE_ENUM;

@protocol NSApplicationDelegate <NSObject>
PELKO_IMPLEMENTED_OPTIONAL  // @optional in the SDK
- (void)applicationDidFinishLaunching:(NSNotification *)notification;
- (BOOL)applicationShouldTerminateAfterLastWindowClosed:(NSApplication *)sender;
- (BOOL)applicationShouldHandleReopen:(NSApplication *)sender hasVisibleWindows:(BOOL)flag;
@end

@interface NSApplication : NSResponder
@property (class, readonly, strong) __kindof NSApplication *sharedApplication;
// Weak: the application does not keep its delegate alive.
@property (nullable, weak) id<NSApplicationDelegate> delegate;
@property (nullable, strong) NSMenu *mainMenu;
@property (nullable, readonly, strong) NSEvent *currentEvent;
- (BOOL)setActivationPolicy:(NSApplicationActivationPolicy)activationPolicy
    API_AVAILABLE(macos(10.6));
- (void)activateIgnoringOtherApps:(BOOL)ignoreOtherApps
    API_DEPRECATED("Use -activate instead", macos(10.0, 27.0));
- (void)run;
- (void)terminate:(nullable id)sender;
- (void)hide:(nullable id)sender;
- (void)orderFrontStandardAboutPanel:(nullable id)sender;
@end

APPKIT_EXTERN __kindof NSApplication *_Null_unspecified NSApp;

// NSWindow.h
typedef NS_OPTIONS(NSUInteger, NSWindowStyleMask) {
    NSWindowStyleMaskTitled = 1 << 0,
    NSWindowStyleMaskClosable = 1 << 1,
    NSWindowStyleMaskMiniaturizable = 1 << 2,
    NSWindowStyleMaskResizable = 1 << 3,
};

// Additional NSModalResponse values, for sheets.
static const NSModalResponse NSModalResponseOK = 1;

typedef NSString *NSWindowFrameAutosaveName;

@protocol NSWindowDelegate <NSObject>
PELKO_IMPLEMENTED_OPTIONAL  // @optional in the SDK
- (BOOL)windowShouldClose:(NSWindow *)sender;
@end

@interface NSWindow : NSResponder
- (instancetype)initWithContentRect:(NSRect)contentRect
                          styleMask:(NSWindowStyleMask)style
                            backing:(NSBackingStoreType)backingStoreType
                              defer:(BOOL)flag NS_DESIGNATED_INITIALIZER;
@property (copy) NSString *title;
- (BOOL)setFrameAutosaveName:(NSWindowFrameAutosaveName)name;
@property (nullable, strong) __kindof NSView *contentView;
@property NSSize minSize;
// Weak: the window does not keep its delegate alive.
@property (nullable, weak) id<NSWindowDelegate> delegate;
- (void)center;
- (void)makeKeyAndOrderFront:(nullable id)sender;
- (void)orderOut:(nullable id)sender;
@property (readonly, getter=isVisible) BOOL visible;
@property (getter=isReleasedWhenClosed) BOOL releasedWhenClosed;
- (void)performClose:(nullable id)sender;
- (void)performMiniaturize:(nullable id)sender;
@end

// NSPanel.h
@interface NSPanel : NSWindow
@end

// NSSavePanel.h
@interface NSSavePanel : NSPanel
- (void)beginSheetModalForWindow:(NSWindow *)window
               completionHandler:(void (^)(NSModalResponse result))handler API_AVAILABLE(macos(10.6));
@end

// NSOpenPanel.h
@interface NSOpenPanel : NSSavePanel
+ (NSOpenPanel *)openPanel;
@property (readonly, copy) NSArray<NSURL *> *URLs;
@property BOOL resolvesAliases;
@property BOOL canChooseDirectories;
@property BOOL allowsMultipleSelection;
@property BOOL canChooseFiles;
@end

// NSMenu.h
@interface NSMenu : NSObject
- (instancetype)initWithTitle:(NSString *)title NS_DESIGNATED_INITIALIZER;
- (void)addItem:(NSMenuItem *)newItem;
@end

// NSMenuItem.h
@interface NSMenuItem : NSObject
- (instancetype)initWithTitle:(NSString *)string
                       action:(nullable SEL)selector
                keyEquivalent:(NSString *)charCode NS_DESIGNATED_INITIALIZER;
+ (NSMenuItem *)separatorItem;
@property (nullable, strong) NSMenu *submenu;
@property (nullable, weak) id target;
@property (nullable) SEL action;
@property NSEventModifierFlags keyEquivalentModifierMask;
@property NSControlStateValue state;
@property (getter=isEnabled) BOOL enabled;
@property (copy) NSString *title;
@property NSInteger tag;
@end

// NSMenuItem.h: the target of an item answers whether it is enabled, when
// its menu enables its items automatically (menus do by default).
@protocol NSMenuItemValidation <NSObject>
- (BOOL)validateMenuItem:(NSMenuItem *)menuItem;
@end

// NSAlert.h
static const NSModalResponse NSAlertFirstButtonReturn = 1000;

@interface NSAlert : NSObject
@property (copy) NSString *messageText;
@property (copy) NSString *informativeText;
- (NSButton *)addButtonWithTitle:(NSString *)title;
- (NSModalResponse)runModal;
@end

// NSWorkspace.h
@interface NSWorkspace : NSObject
@property (class, readonly, strong) NSWorkspace *sharedWorkspace;
- (BOOL)openURL:(NSURL *)url;
- (void)activateFileViewerSelectingURLs:(NSArray<NSURL *> *)fileURLs API_AVAILABLE(macos(10.6));
@end

NS_ASSUME_NONNULL_END

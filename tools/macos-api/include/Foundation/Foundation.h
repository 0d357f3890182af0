// The Foundation classes the backend uses, one group per SDK header.
// <Foundation/Foundation.h>
#pragma once

#include <Foundation/NSObjCRuntime.h>
#include <CoreFoundation/CoreFoundation.h>
#include <dispatch/dispatch.h>

NS_ASSUME_NONNULL_BEGIN

@class NSData, NSError, NSNumber, NSString, NSURL;
@class NSDictionary<KeyType, ObjectType>;

// NSObject.h (Foundation)
#if __has_feature(objc_arc)
// Hands a +1 reference to CF; the CF side must CFRelease it.
NS_INLINE CF_RETURNS_RETAINED CFTypeRef _Nullable CFBridgingRetain(id _Nullable X) {
    return (__bridge_retained CFTypeRef)X;
}

// Hands a +1 CF reference to ARC, which releases it.
NS_INLINE id _Nullable CFBridgingRelease(CFTypeRef CF_CONSUMED _Nullable X) {
    return (__bridge_transfer id)X;
}
#endif

// NSEnumerator.h
typedef struct {
    unsigned long state;
    id __unsafe_unretained _Nullable *_Nullable itemsPtr;
    unsigned long *_Nullable mutationsPtr;
    unsigned long extra[5];
} NSFastEnumerationState;

@protocol NSFastEnumeration
- (NSUInteger)countByEnumeratingWithState:(NSFastEnumerationState *)state
                                  objects:(id __unsafe_unretained _Nullable[_Nonnull])buffer
                                    count:(NSUInteger)len;
@end

// NSObject.h (Foundation)
@protocol NSCopying
- (id)copyWithZone:(nullable struct _NSZone *)zone;
@end

// NSString.h
typedef NSUInteger NSStringEncoding;

enum : NSStringEncoding {
    NSUTF8StringEncoding = 4,
};

@interface NSString : NSObject <NSCopying>
@property (readonly) NSUInteger length;
- (nullable instancetype)initWithBytes:(const void *)bytes
                                length:(NSUInteger)len
                              encoding:(NSStringEncoding)encoding;
@property (nullable, readonly) const char *UTF8String NS_RETURNS_INNER_POINTER;
- (BOOL)isEqualToString:(NSString *)aString;
@end

// NSException.h
@interface NSException : NSObject
@end

// NSValue.h
@interface NSValue : NSObject
@end

@interface NSNumber : NSValue
@property (readonly) int intValue;
@property (readonly) unsigned long long unsignedLongLongValue;
+ (NSNumber *)numberWithUnsignedLongLong:(unsigned long long)value;
@end

// NSArray.h
@interface NSArray<__covariant ObjectType> : NSObject <NSFastEnumeration>
@property (readonly) NSUInteger count;
- (ObjectType)objectAtIndex:(NSUInteger)index;
@property (nullable, nonatomic, readonly) ObjectType firstObject API_AVAILABLE(macos(10.6));
+ (instancetype)arrayWithObject:(ObjectType)anObject;
@end

@interface NSMutableArray<ObjectType> : NSArray<ObjectType>
- (void)addObject:(ObjectType)anObject;
+ (instancetype)arrayWithCapacity:(NSUInteger)numItems;
@end

// NSData.h
@interface NSData : NSObject
@property (readonly) NSUInteger length;
@property (readonly) const void *bytes NS_RETURNS_INNER_POINTER;
@end

// NSError.h
typedef NSString *NSErrorDomain;
typedef NSString *NSErrorUserInfoKey;

// POSIX/BSD errors: the code is an errno value.
FOUNDATION_EXPORT NSErrorDomain const NSPOSIXErrorDomain;

@interface NSError : NSObject
+ (instancetype)errorWithDomain:(NSErrorDomain)domain
                           code:(NSInteger)code
                       userInfo:(nullable NSDictionary<NSErrorUserInfoKey, id> *)dict;
@property (readonly, copy) NSErrorDomain domain;
@property (readonly) NSInteger code;
@property (readonly, copy) NSString *localizedDescription;
@property (readonly, copy) NSDictionary<NSErrorUserInfoKey, id> *userInfo;
@end

// NSURLError.h
FOUNDATION_EXPORT NSErrorDomain const NSURLErrorDomain API_AVAILABLE(macos(10.2));
typedef NS_ENUM(NSInteger, NSURLError) {
    NSURLErrorCancelled = -999,
};
// The userInfo value under it is the NSURL whose load failed.
FOUNDATION_EXPORT NSString *const NSURLErrorFailingURLErrorKey API_AVAILABLE(macos(10.6));

// NSJSONSerialization.h
typedef NS_OPTIONS(NSUInteger, NSJSONWritingOptions) {
    NSJSONWritingPrettyPrinted = (1UL << 0),
    NSJSONWritingSortedKeys API_AVAILABLE(macos(10.13)) = (1UL << 1),
    NSJSONWritingFragmentsAllowed = (1UL << 2),
    NSJSONWritingWithoutEscapingSlashes API_AVAILABLE(macos(10.15)) = (1UL << 3),
} API_AVAILABLE(macos(10.7));

API_AVAILABLE(macos(10.7))
@interface NSJSONSerialization : NSObject
+ (BOOL)isValidJSONObject:(id)obj;
+ (nullable NSData *)dataWithJSONObject:(id)obj
                                options:(NSJSONWritingOptions)opt
                                  error:(NSError **)error;
@end

// NSURL.h
typedef NSString *NSURLResourceKey NS_TYPED_EXTENSIBLE_ENUM;
// A dictionary of LSQuarantine.h's keys; nil when the file has none.
FOUNDATION_EXPORT NSURLResourceKey const NSURLQuarantinePropertiesKey API_AVAILABLE(macos(10.10));

@interface NSURL : NSObject
+ (nullable instancetype)URLWithString:(NSString *)URLString;
+ (NSURL *)fileURLWithPath:(NSString *)path;
@property (nullable, readonly, copy) NSString *absoluteString;
@property (nullable, readonly, copy) NSString *scheme;
@property (nullable, readonly, copy) NSString *host;
@property (nullable, readonly, copy) NSNumber *port;
@property (nullable, readonly, copy) NSString *path;
- (BOOL)getResourceValue:(out id _Nullable *_Nonnull)value
                  forKey:(NSURLResourceKey)key
                   error:(out NSError *_Nullable *_Nullable)error API_AVAILABLE(macos(10.6));
- (BOOL)setResourceValue:(nullable id)value
                  forKey:(NSURLResourceKey)key
                   error:(NSError *_Nullable *_Nullable)error API_AVAILABLE(macos(10.6));
@end

// NSPathUtilities.h
typedef NS_ENUM(NSUInteger, NSSearchPathDirectory) {
    NSDownloadsDirectory API_AVAILABLE(macos(10.5)) = 15,
};

typedef NS_OPTIONS(NSUInteger, NSSearchPathDomainMask) {
    NSUserDomainMask = 1,
};

// NSDictionary.h
@interface NSDictionary<KeyType, ObjectType> : NSObject
- (nullable ObjectType)objectForKey:(KeyType)aKey;
@end

@interface NSDictionary<KeyType, ObjectType> (NSDictionaryCreation)
+ (instancetype)dictionary;
@end

@interface NSMutableDictionary<KeyType, ObjectType> : NSDictionary<KeyType, ObjectType>
- (void)setObject:(ObjectType)anObject forKey:(KeyType<NSCopying>)aKey;
@end

// NSFileManager.h
typedef NSString *NSFileAttributeKey NS_TYPED_EXTENSIBLE_ENUM;

typedef NS_OPTIONS(NSUInteger, NSFileManagerItemReplacementOptions) {
    // Only the new item's metadata; none is carried over from the replaced one.
    NSFileManagerItemReplacementUsingNewMetadataOnly = 1UL << 0,
} API_AVAILABLE(macos(10.6));

@interface NSFileManager : NSObject
@property (class, readonly, strong) NSFileManager *defaultManager;
- (nullable NSURL *)URLForDirectory:(NSSearchPathDirectory)directory
                           inDomain:(NSSearchPathDomainMask)domain
                  appropriateForURL:(nullable NSURL *)url
                             create:(BOOL)shouldCreate
                              error:(NSError **)error API_AVAILABLE(macos(10.6));
- (BOOL)fileExistsAtPath:(NSString *)path;
- (nullable NSDictionary<NSFileAttributeKey, id> *)attributesOfItemAtPath:(NSString *)path
                                                                     error:(NSError **)error API_AVAILABLE(macos(10.5));
- (BOOL)createDirectoryAtPath:(NSString *)path
    withIntermediateDirectories:(BOOL)createIntermediates
                     attributes:(nullable NSDictionary<NSFileAttributeKey, id> *)attributes
                          error:(NSError **)error API_AVAILABLE(macos(10.5));
- (BOOL)copyItemAtPath:(NSString *)srcPath toPath:(NSString *)dstPath error:(NSError **)error API_AVAILABLE(macos(10.5));
- (BOOL)moveItemAtPath:(NSString *)srcPath toPath:(NSString *)dstPath error:(NSError **)error API_AVAILABLE(macos(10.5));
- (BOOL)removeItemAtPath:(NSString *)path error:(NSError **)error API_AVAILABLE(macos(10.5));
- (BOOL)isExecutableFileAtPath:(NSString *)path;
// Safe-save for any item; with no backup name the replaced item is gone on success.
- (BOOL)replaceItemAtURL:(NSURL *)originalItemURL
           withItemAtURL:(NSURL *)newItemURL
          backupItemName:(nullable NSString *)backupItemName
                 options:(NSFileManagerItemReplacementOptions)options
        resultingItemURL:(NSURL *_Nullable *_Nullable)resultingURL
                   error:(NSError **)error API_AVAILABLE(macos(10.6));
@end

@interface NSFileManager (NSUserInformation)
@property (readonly, copy) NSURL *homeDirectoryForCurrentUser API_AVAILABLE(macos(10.12));
@end

// NSDate.h
typedef double NSTimeInterval;

// NSURLRequest.h
typedef NS_ENUM(NSUInteger, NSURLRequestCachePolicy) {
    NSURLRequestUseProtocolCachePolicy = 0,
    NSURLRequestReloadIgnoringLocalCacheData = 1,
    NSURLRequestReloadIgnoringLocalAndRemoteCacheData = 4,
    NSURLRequestReloadIgnoringCacheData = NSURLRequestReloadIgnoringLocalCacheData,
    NSURLRequestReturnCacheDataElseLoad = 2,
    NSURLRequestReturnCacheDataDontLoad = 3,
    NSURLRequestReloadRevalidatingCacheData = 5,
};

@interface NSURLRequest : NSObject
+ (instancetype)requestWithURL:(NSURL *)URL
                   cachePolicy:(NSURLRequestCachePolicy)cachePolicy
               timeoutInterval:(NSTimeInterval)timeoutInterval;
@property (nullable, readonly, copy) NSURL *URL;
// Header names are case-insensitive.
- (nullable NSString *)valueForHTTPHeaderField:(NSString *)field;
@end

// NSURLResponse.h
@interface NSURLResponse : NSObject
@end

API_AVAILABLE(macos(10.2))
@interface NSHTTPURLResponse : NSURLResponse
@property (readonly) NSInteger statusCode;
@end

// NSURLSession.h
API_AVAILABLE(macos(10.9))
@interface NSURLSessionTask : NSObject
// Tasks are created suspended.
- (void)resume;
@end

API_AVAILABLE(macos(10.9))
@interface NSURLSessionDataTask : NSURLSessionTask
@end

API_AVAILABLE(macos(10.9))
@interface NSURLSession : NSObject
@property (class, readonly, strong) NSURLSession *sharedSession;
@end

@interface NSURLSession (NSURLSessionAsynchronousConvenience)
// The handler runs on the session's delegate queue.
- (NSURLSessionDataTask *)dataTaskWithURL:(NSURL *)url
                        completionHandler:(void (^)(NSData *_Nullable data, NSURLResponse *_Nullable response,
                                                    NSError *_Nullable error))completionHandler;
@end

// NSBundle.h
@interface NSBundle : NSObject
@property (class, readonly, strong) NSBundle *mainBundle;
@property (readonly, copy) NSURL *bundleURL API_AVAILABLE(macos(10.6));
@property (readonly, copy) NSString *bundlePath;
- (nullable id)objectForInfoDictionaryKey:(NSString *)key;
@end

// NSUserDefaults.h
@interface NSUserDefaults : NSObject
@property (class, readonly, strong) NSUserDefaults *standardUserDefaults;
- (nullable id)objectForKey:(NSString *)defaultName;
- (void)setBool:(BOOL)value forKey:(NSString *)defaultName;
@end

// NSTask.h
@interface NSTask : NSObject
// Set before the launch.
@property (nullable, copy) NSURL *executableURL API_AVAILABLE(macos(10.13));
@property (nullable, copy) NSArray<NSString *> *arguments;
- (BOOL)launchAndReturnError:(out NSError **_Nullable)error API_AVAILABLE(macos(10.13));
// Runs on a queue of the system's choosing once the task has exited.
@property (nullable, copy) void (^terminationHandler)(NSTask *) API_AVAILABLE(macos(10.7));
// Raises while the task is still running.
@property (readonly) int terminationStatus;
@property (readonly) int processIdentifier;
@end

@interface NSTask (NSTaskConveniences)
// Runs the current run loop in the default mode until the task exits.
- (void)waitUntilExit;
@end

// NSTimer.h
@interface NSTimer : NSObject
// Not scheduled: it fires once added to a run loop.
+ (NSTimer *)timerWithTimeInterval:(NSTimeInterval)interval
                           repeats:(BOOL)repeats
                             block:(void (^)(NSTimer *timer))block API_AVAILABLE(macos(10.12));
- (void)invalidate;
@end

// NSRunLoop.h
typedef NSString *NSRunLoopMode NS_TYPED_EXTENSIBLE_ENUM;
FOUNDATION_EXPORT NSRunLoopMode const NSRunLoopCommonModes API_AVAILABLE(macos(10.5));

// Not thread-safe: used on the thread whose run loop it is.
@interface NSRunLoop : NSObject
@property (class, readonly, strong) NSRunLoop *mainRunLoop API_AVAILABLE(macos(10.5));
- (void)addTimer:(NSTimer *)timer forMode:(NSRunLoopMode)mode;
@end

// NSLocale.h
@interface NSLocale : NSObject
+ (instancetype)localeWithLocaleIdentifier:(NSString *)ident API_AVAILABLE(macos(10.6));
@end

// NSNotification.h
@interface NSNotification : NSObject
@end

// NSMapTable.h
API_AVAILABLE(macos(10.5))
@interface NSMapTable<KeyType, ObjectType> : NSObject <NSFastEnumeration>
+ (NSMapTable<KeyType, ObjectType> *)weakToStrongObjectsMapTable API_AVAILABLE(macos(10.8));
- (nullable ObjectType)objectForKey:(nullable KeyType)aKey;
- (void)removeObjectForKey:(nullable KeyType)aKey;
- (void)setObject:(nullable ObjectType)anObject forKey:(nullable KeyType)aKey;
@end

// CGGeometry.h (CoreGraphics), which NSGeometry.h builds on
struct CGPoint {
    CGFloat x;
    CGFloat y;
};
typedef struct CGPoint CGPoint;

struct CGSize {
    CGFloat width;
    CGFloat height;
};
typedef struct CGSize CGSize;

struct CGRect {
    CGPoint origin;
    CGSize size;
};
typedef struct CGRect CGRect;

// NSGeometry.h
typedef CGPoint NSPoint;
typedef CGSize NSSize;
typedef CGRect NSRect;

NS_INLINE NSRect NSMakeRect(CGFloat x, CGFloat y, CGFloat w, CGFloat h) {
    NSRect r;
    r.origin.x = x;
    r.origin.y = y;
    r.size.width = w;
    r.size.height = h;
    return r;
}

NS_INLINE NSSize NSMakeSize(CGFloat w, CGFloat h) {
    NSSize s;
    s.width = w;
    s.height = h;
    return s;
}

NS_ASSUME_NONNULL_END

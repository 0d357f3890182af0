#import <Foundation/Foundation.h>

#include "mac/system/CocoaValues.h"
#include "mac/system/UrlSessionPort.h"

namespace pelko::mac {

void UrlSessionPort::dataTaskWithURL(const Url& url, DataTaskCompletion completion) {
    NSURL* address = nsURLFromUrl(url);
    if (!address) {
        completion(std::nullopt, std::nullopt, UrlError{UrlError::Kind::invalidAddress, {}});
        return;
    }
    // No timeout of our own: the session's default request timeout (60 s
    // without any data) ends a request that the server never answers.
    NSURLSessionDataTask* task = [[NSURLSession sharedSession]
          dataTaskWithURL:address
        completionHandler:^(NSData* _Nullable data, NSURLResponse* _Nullable response, NSError* _Nullable error) {
          // Still on the session's delegate queue: the core moves what it
          // needs to the main queue itself.
          std::optional<UrlResponse> answer;
          if ([response isKindOfClass:[NSHTTPURLResponse class]]) {
              answer = UrlResponse{static_cast<int>(((NSHTTPURLResponse*)response).statusCode)};
          }
          // The shared session buffers the whole body before this block
          // runs, so the limit bounds what the core reads, not what is received.
          if (data && data.length > kMaxDataTaskBytes) {
              completion(std::nullopt, answer, UrlError{UrlError::Kind::tooLarge, {}});
              return;
          }
          std::optional<std::string> body;
          // `bytes` is nil for empty data.
          if (data) body = data.length ? std::string(static_cast<const char*>(data.bytes), data.length) : std::string();
          std::optional<UrlError> failure;
          if (error) failure = UrlError{UrlError::Kind::platform, fromNSString(error.localizedDescription)};
          completion(body, answer, failure);
        }];
    [task resume];
}

}  // namespace pelko::mac

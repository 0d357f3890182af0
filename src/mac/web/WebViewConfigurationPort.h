#pragma once

#import <WebKit/WebKit.h>

#include "platform/WebViewConfiguration.h"

@class PelkoDelegateProxy;

NS_ASSUME_NONNULL_BEGIN

namespace pelko::mac {

// A WKWebViewConfiguration behind the configuration port. The web view
// copies it when it is made, so everything is set before.
class WebViewConfigurationPort : public WebViewConfiguration {
public:
    explicit WebViewConfigurationPort(PelkoDelegateProxy* proxy);
    WebViewConfigurationPort(const WebViewConfigurationPort&) = delete;
    WebViewConfigurationPort& operator=(const WebViewConfigurationPort&) = delete;

    void setWebsiteDataStorePersistent() override;
    void setJavaScriptCanOpenWindowsAutomatically(bool allow) override;
    void setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) override;
    void addUserScript(const UserScript& script) override;
    // The handler's messages reach it through the delegate proxy.
    void addScriptMessageHandler(ScriptMessageHandler* _Nullable handler, const std::string& name) override;

    WKWebViewConfiguration* configuration() const { return configuration_; }

private:
    WKWebViewConfiguration* configuration_;
    PelkoDelegateProxy* proxy_;
};

}  // namespace pelko::mac

NS_ASSUME_NONNULL_END

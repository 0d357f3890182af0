#pragma once

#include <string>
#include <vector>

#include "gtk/system/GObjectRef.h"
#include "platform/WebViewConfiguration.h"

typedef struct _WebKitNetworkSession WebKitNetworkSession;
typedef struct _WebKitSettings WebKitSettings;
typedef struct _WebKitUserContentManager WebKitUserContentManager;

namespace pelko::gtk {

class WebsiteDataStore;

// What a WebKitWebView is made with: its network session, its settings and
// its user content manager (user scripts and the bridge).
class WebViewConfigurationPort : public WebViewConfiguration {
public:
    explicit WebViewConfigurationPort(WebsiteDataStore& dataStore);
    ~WebViewConfigurationPort() override;
    WebViewConfigurationPort(const WebViewConfigurationPort&) = delete;
    WebViewConfigurationPort& operator=(const WebViewConfigurationPort&) = delete;

    // Until this is called the configuration keeps nothing on disk.
    void setWebsiteDataStorePersistent() override;
    void setJavaScriptCanOpenWindowsAutomatically(bool allow) override;
    // WebKitGTK has one switch for all media: a gesture is required when
    // audio requires one, so a page may start audio playback by itself.
    void setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) override;
    void addUserScript(const UserScript& script) override;
    // Installs the bridge for `name` (see BridgeRelay.h).
    void addScriptMessageHandler(ScriptMessageHandler* handler, const std::string& name) override;

    WebKitNetworkSession* networkSession() const;
    WebKitSettings* settings() const { return settings_.get(); }
    WebKitUserContentManager* userContentManager() const { return contentManager_.get(); }

private:
    struct Registration {
        std::string name;
        ScriptMessageHandler* handler;
        unsigned long signalId;
    };
    static void onScriptMessage(WebKitUserContentManager* manager, void* value, void* registration);

    WebsiteDataStore& dataStore_;
    GObjectRef<WebKitNetworkSession> ephemeralSession_;
    WebKitNetworkSession* persistentSession_ = nullptr;
    GObjectRef<WebKitSettings> settings_;
    GObjectRef<WebKitUserContentManager> contentManager_;
    std::vector<std::unique_ptr<Registration>> registrations_;
};

}  // namespace pelko::gtk

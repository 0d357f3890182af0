#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "platform/Url.h"

namespace pelko {

enum class UserScriptInjectionTime { atDocumentStart, atDocumentEnd };

struct UserScript {
    std::string source;
    UserScriptInjectionTime injectionTime = UserScriptInjectionTime::atDocumentStart;
    bool forMainFrameOnly = true;
    bool operator==(const UserScript&) const = default;
};

// Media kinds with the platform's flag values.
enum MediaTypes : unsigned {
    kMediaTypeNone = 0,
    kMediaTypeAudio = 1u << 0,
    kMediaTypeVideo = 1u << 1,
};

// A message posted by a page to a registered handler. The backend stamps
// it with the security origin of the frame that posted it.
struct ScriptMessage {
    std::string name;
    nlohmann::json body;
    SecurityOrigin frameOrigin;
    bool isMainFrame = true;
};

class ScriptMessageHandler {
public:
    virtual ~ScriptMessageHandler() = default;
    virtual void didReceiveScriptMessage(const ScriptMessage& message) = 0;
};

// Everything the web view is created with. Used once, before the web view exists.
class WebViewConfiguration {
public:
    virtual ~WebViewConfiguration() = default;
    // Cookies and site data persist between launches.
    virtual void setWebsiteDataStorePersistent() = 0;
    virtual void setJavaScriptCanOpenWindowsAutomatically(bool allow) = 0;
    virtual void setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) = 0;
    virtual void addUserScript(const UserScript& script) = 0;
    virtual void addScriptMessageHandler(ScriptMessageHandler* handler, const std::string& name) = 0;
};

}  // namespace pelko

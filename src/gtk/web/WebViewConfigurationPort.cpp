#include "gtk/web/WebViewConfigurationPort.h"

#include <webkit/webkit.h>

#include "gtk/web/BridgeRelay.h"
#include "gtk/web/JscJson.h"
#include "gtk/web/WebsiteDataStore.h"

namespace pelko::gtk {

WebViewConfigurationPort::WebViewConfigurationPort(WebsiteDataStore& dataStore)
    : dataStore_(dataStore),
      settings_(GObjectRef<WebKitSettings>::adopt(webkit_settings_new())),
      contentManager_(GObjectRef<WebKitUserContentManager>::adopt(webkit_user_content_manager_new())) {}

WebViewConfigurationPort::~WebViewConfigurationPort() {
    for (const auto& registration : registrations_) {
        g_signal_handler_disconnect(contentManager_.get(), registration->signalId);
        webkit_user_content_manager_unregister_script_message_handler(contentManager_.get(),
                                                                      registration->name.c_str(), kBridgeWorldName);
    }
}

void WebViewConfigurationPort::setWebsiteDataStorePersistent() {
    persistentSession_ = dataStore_.persistentSession();
    ephemeralSession_.reset();
}

WebKitNetworkSession* WebViewConfigurationPort::networkSession() const {
    if (persistentSession_) return persistentSession_;
    if (!ephemeralSession_) {
        auto& self = const_cast<WebViewConfigurationPort&>(*this);
        self.ephemeralSession_ = self.dataStore_.makeEphemeralSession();
    }
    return ephemeralSession_.get();
}

void WebViewConfigurationPort::setJavaScriptCanOpenWindowsAutomatically(bool allow) {
    webkit_settings_set_javascript_can_open_windows_automatically(settings_.get(), allow);
}

void WebViewConfigurationPort::setMediaTypesRequiringUserActionForPlayback(unsigned mediaTypes) {
    webkit_settings_set_media_playback_requires_user_gesture(settings_.get(), (mediaTypes & kMediaTypeAudio) != 0);
}

void WebViewConfigurationPort::addUserScript(const UserScript& script) {
    WebKitUserScript* userScript = webkit_user_script_new(
        script.source.c_str(),
        script.forMainFrameOnly ? WEBKIT_USER_CONTENT_INJECT_TOP_FRAME : WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
        script.injectionTime == UserScriptInjectionTime::atDocumentStart ? WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START
                                                                         : WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_END,
        nullptr, nullptr);
    webkit_user_content_manager_add_script(contentManager_.get(), userScript);
    webkit_user_script_unref(userScript);
}

void WebViewConfigurationPort::addScriptMessageHandler(ScriptMessageHandler* handler, const std::string& name) {
    if (!handler || name.empty()) return;
    for (const auto& registration : registrations_) {
        if (registration->name == name) return;
    }
    auto registration = std::make_unique<Registration>(Registration{name, handler, 0});
    // Connected before registering, so no message can slip past.
    const std::string signal = "script-message-received::" + name;
    registration->signalId = g_signal_connect(contentManager_.get(), signal.c_str(),
                                              G_CALLBACK(&WebViewConfigurationPort::onScriptMessage), registration.get());
    if (!webkit_user_content_manager_register_script_message_handler(contentManager_.get(), name.c_str(),
                                                                     kBridgeWorldName)) {
        g_signal_handler_disconnect(contentManager_.get(), registration->signalId);
        return;
    }
    // The page's world gets the shim, the bridge's own world the relay.
    WebKitUserScript* shim =
        webkit_user_script_new(bridgePageShimScript(name).c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
                               WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
    WebKitUserScript* relay = webkit_user_script_new_for_world(
        bridgeRelayScript(name).c_str(), WEBKIT_USER_CONTENT_INJECT_ALL_FRAMES,
        WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, kBridgeWorldName, nullptr, nullptr);
    webkit_user_content_manager_add_script(contentManager_.get(), shim);
    webkit_user_content_manager_add_script(contentManager_.get(), relay);
    webkit_user_script_unref(shim);
    webkit_user_script_unref(relay);
    registrations_.push_back(std::move(registration));
}

void WebViewConfigurationPort::onScriptMessage(WebKitUserContentManager* /*manager*/, void* value, void* data) {
    auto* registration = static_cast<Registration*>(data);
    const JscConversion envelope = jsonFromJscValue(static_cast<JSCValue*>(value));
    if (!envelope.value) return;
    if (auto message = readRelayedMessage(registration->name, *envelope.value)) {
        registration->handler->didReceiveScriptMessage(*message);
    }
}

}  // namespace pelko::gtk

#include "web/BridgeMessage.h"

#include "web/Origin.h"

namespace pelko {
namespace {

std::string stringOr(const nlohmann::json& object, const char* key, const std::string& fallback) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : fallback;
}

}  // namespace

BridgeCommand readBridgeMessage(const ScriptMessage& message, const SecurityOrigin& serviceOrigin,
                                const std::string& defaultApiBase) {
    if (message.name != kBridgeHandlerName) return {};
    // Only the service's own frames may drive the agent or the microphone.
    if (!sameOrigin(message.frameOrigin, serviceOrigin)) return {};
    const nlohmann::json& body = message.body;
    if (!body.is_object()) return {};
    const auto type = body.find("type");
    if (type == body.end() || !type->is_string()) return {};
    const auto& name = type->get_ref<const std::string&>();
    if (name == "setupIMessage") {
        return SetupIMessageRequest{stringOr(body, "pairingCode", ""), stringOr(body, "apiBase", defaultApiBase)};
    }
    if (name == "disconnectIMessage") return DisconnectIMessageRequest{};
    if (name == "voice") return VoiceBridgeEvent{body};
    return {};
}

}  // namespace pelko

#pragma once

#include "platform/CoreGuard.h"

#include <nlohmann/json.hpp>
#include <string>
#include <variant>

#include "platform/Url.h"
#include "platform/WebViewConfiguration.h"

namespace pelko {

// The name of the page bridge's script-message handler.
inline constexpr const char* kBridgeHandlerName = "pelko";

struct SetupIMessageRequest {
    std::string pairingCode;
    std::string apiBase;
    bool operator==(const SetupIMessageRequest&) const = default;
};

struct DisconnectIMessageRequest {
    bool operator==(const DisconnectIMessageRequest&) const = default;
};

// The whole message of a "voice" message, unchanged.
struct VoiceBridgeEvent {
    nlohmann::json message;
    bool operator==(const VoiceBridgeEvent&) const = default;
};

// What a bridge message asks for; monostate for a message that is dropped.
using BridgeCommand = std::variant<std::monostate, SetupIMessageRequest, DisconnectIMessageRequest, VoiceBridgeEvent>;

// Reads one message posted to the page bridge. Only messages to the bridge
// handler, posted by a frame of the service origin, with an object body and
// a known string "type" are acted on; the rest is dropped without a trace.
BridgeCommand readBridgeMessage(const ScriptMessage& message, const SecurityOrigin& serviceOrigin,
                                const std::string& defaultApiBase);

}  // namespace pelko

#include "app/AppDelegate.h"
#include "web/BridgeMessage.h"

namespace pelko {

void AppDelegate::didReceiveScriptMessage(const ScriptMessage& message) {
    const BridgeCommand command = readBridgeMessage(message, serviceOrigin_, config_.serviceOrigin + "/api");
    if (const auto* setup = std::get_if<SetupIMessageRequest>(&command)) {
        setupIMessageAgent(setup->pairingCode, setup->apiBase);
    } else if (std::holds_alternative<DisconnectIMessageRequest>(command)) {
        disconnectIMessageAgent();
    } else if (const auto* event = std::get_if<VoiceBridgeEvent>(&command)) {
        handleVoiceBridgeEvent(event->message);
    }
}

}  // namespace pelko

#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "platform/WebViewConfiguration.h"

namespace pelko::gtk {

// WebKitGTK does not tell which frame posted a script message. So the real
// handler lives in an isolated script world that page scripts cannot
// reach, and every frame gets two scripts at document start:
//  - in the page's world, a shim that gives the page the usual
//    `window.webkit.messageHandlers.<name>.postMessage(body)` and hands the
//    body, as JSON text, to the isolated world through a DOM event of its
//    own document;
//  - in the isolated world, a relay that posts it to the real handler with
//    the frame's `location.origin` and whether it is the top frame, both
//    read in the isolated world, where page scripts cannot tamper with them.
// A frame can only dispatch events in documents it can reach, so it can
// only ever post as itself.
inline constexpr const char* kBridgeWorldName = "pelko-bridge";

std::string bridgePageShimScript(const std::string& handlerName);
std::string bridgeRelayScript(const std::string& handlerName);

// Reads what the relay posted (its envelope, as JSON) into the message the
// page posted, stamped with the frame's origin. None when the envelope or
// the body is malformed; a frame whose origin is opaque ("null") gets an
// empty origin, which matches no service.
std::optional<ScriptMessage> readRelayedMessage(const std::string& handlerName, const nlohmann::json& envelope);

}  // namespace pelko::gtk

#include "gtk/web/BridgeRelay.h"

#include "platform/BoundedJson.h"
#include "voice/JsStringLiteral.h"
#include "web/Origin.h"

namespace pelko::gtk {

namespace {

std::string eventType(const std::string& handlerName) { return "__pelkoBridge:" + handlerName; }

}  // namespace

std::string bridgePageShimScript(const std::string& handlerName) {
    return "(function () {\n"
           "  var name = " + jsStringLiteral(handlerName) + ";\n"
           "  var type = " + jsStringLiteral(eventType(handlerName)) + ";\n"
           // Taken before any page script runs, so a page that replaces them later changes nothing here.
           "  var stringify = JSON.stringify;\n"
           "  var dispatch = EventTarget.prototype.dispatchEvent;\n"
           "  var Custom = CustomEvent;\n"
           "  var doc = document;\n"
           "  function postMessage(body) {\n"
           "    var text;\n"
           "    try { text = stringify(body); } catch (e) { return; }\n"
           "    if (typeof text !== 'string') return;\n"
           "    dispatch.call(doc, new Custom(type, { detail: text }));\n"
           "  }\n"
           "  var webkit = window.webkit;\n"
           "  if (typeof webkit !== 'object' || webkit === null) {\n"
           "    webkit = {};\n"
           "    Object.defineProperty(window, 'webkit', { value: webkit, configurable: true, writable: true });\n"
           "  }\n"
           "  if (typeof webkit.messageHandlers !== 'object' || webkit.messageHandlers === null) {\n"
           "    webkit.messageHandlers = {};\n"
           "  }\n"
           "  webkit.messageHandlers[name] = Object.freeze({ postMessage: postMessage });\n"
           "})();\n";
}

std::string bridgeRelayScript(const std::string& handlerName) {
    return "(function () {\n"
           "  var name = " + jsStringLiteral(handlerName) + ";\n"
           "  var handlers = window.webkit && window.webkit.messageHandlers;\n"
           "  var handler = handlers && handlers[name];\n"
           "  if (!handler) return;\n"
           // Registered on the window in the capture phase before any page
           // script exists, so this listener runs first.
           "  window.addEventListener(" + jsStringLiteral(eventType(handlerName)) + ", function (event) {\n"
           "    var text = event.detail;\n"
           "    if (typeof text !== 'string') return;\n"
           "    var origin;\n"
           "    try { origin = String(window.location.origin); } catch (e) { return; }\n"
           "    handler.postMessage({ origin: origin, mainFrame: window === window.top, body: text });\n"
           "  }, true);\n"
           "})();\n";
}

std::optional<ScriptMessage> readRelayedMessage(const std::string& handlerName, const nlohmann::json& envelope) {
    if (!envelope.is_object()) return std::nullopt;
    const auto origin = envelope.find("origin");
    const auto mainFrame = envelope.find("mainFrame");
    const auto body = envelope.find("body");
    if (origin == envelope.end() || !origin->is_string() || mainFrame == envelope.end() ||
        !mainFrame->is_boolean() || body == envelope.end() || !body->is_string())
        return std::nullopt;
    auto parsedBody = parseBoundedJson(body->get_ref<const std::string&>());
    if (!parsedBody) return std::nullopt;

    ScriptMessage message;
    message.name = handlerName;
    message.body = std::move(*parsedBody);
    message.frameOrigin = parseOrigin(origin->get<std::string>()).value_or(SecurityOrigin{});
    message.isMainFrame = mainFrame->get<bool>();
    return message;
}

}  // namespace pelko::gtk

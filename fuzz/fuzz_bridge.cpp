// readBridgeMessage over any body, handler name and frame origin. Checked
// against the rule it states: only the bridge handler's messages from a frame
// of exactly the service origin (any frame of it) with an object body and a
// known string "type" give a command, and that command carries the body's
// values; everything else gives nothing.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <variant>

#include "FuzzCheck.h"
#include "web/BridgeMessage.h"

using namespace pelko;
using nlohmann::json;

namespace {

const std::string kDefaultApi = "https://pelko.test/api";

// A service origin as configured, and what a frame of it can look like.
struct Service {
    SecurityOrigin origin;
    const char* scheme;
    const char* host;
    int ports[2];  // the default port may be written or left 0
};
const Service kServices[] = {{{"https", "pelko.test", 0}, "https", "pelko.test", {0, 443}},
                             {{"http", "127.0.0.1", 8421}, "http", "127.0.0.1", {8421, 8421}}};

bool equalsAsciiIgnoringCase(const std::string& text, const char* lower) {
    if (text.size() != std::strlen(lower)) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != lower[i]) return false;
    }
    return true;
}

// Whether the frame is the service's, worked out apart from sameOrigin.
bool isServiceFrame(const SecurityOrigin& frame, const Service& service) {
    const bool portMatches = frame.port == service.ports[0] || frame.port == service.ports[1];
    return equalsAsciiIgnoringCase(frame.scheme, service.scheme) && equalsAsciiIgnoringCase(frame.host, service.host) &&
           portMatches;
}

// Takes the bytes up to the next line feed.
std::string line(const std::uint8_t*& data, std::size_t& size) {
    const auto* end = static_cast<const std::uint8_t*>(std::memchr(data, '\n', size));
    const std::size_t length = end ? static_cast<std::size_t>(end - data) : size;
    std::string out(reinterpret_cast<const char*>(data), length);
    const std::size_t taken = end ? length + 1 : length;
    data += taken;
    size -= taken;
    return out;
}

std::string stringOr(const json& body, const char* key, const std::string& fallback) {
    const auto it = body.find(key);
    return it != body.end() && it->is_string() ? it->get<std::string>() : fallback;
}

}  // namespace

// Input: a byte of choices (bit 0: which service; 1: main frame; 2-3: scheme,
// 3 for one from the input; 4-5: port, 3 for one from the input; 6: handler
// name from the input; 7: the body is {"type": rest}), then the host as a
// line, the scheme as a line, the port as four bytes and the name as a line
// when they come from the input, then the body as JSON text.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t choices = data[0];
    ++data, --size;
    const Service& service = kServices[choices & 1];

    ScriptMessage message;
    message.isMainFrame = (choices & 2) != 0;
    message.frameOrigin.host = line(data, size);
    static const char* const kSchemes[] = {"https", "http", "HTTPS"};
    message.frameOrigin.scheme = (choices >> 2 & 3) < 3 ? kSchemes[choices >> 2 & 3] : line(data, size);
    static const int kPorts[] = {0, 443, 8421};
    if ((choices >> 4 & 3) < 3) {
        message.frameOrigin.port = kPorts[choices >> 4 & 3];
    } else if (size >= 4) {
        std::int32_t port;
        std::memcpy(&port, data, 4);
        message.frameOrigin.port = port;
        data += 4, size -= 4;
    }
    message.name = (choices & 0x40) == 0 ? "pelko" : line(data, size);
    // Text that is not JSON stays a string body.
    const std::string text(reinterpret_cast<const char*>(data), size);
    message.body = json::parse(text, nullptr, false);
    if (message.body.is_discarded()) message.body = text;
    if (choices & 0x80) message.body = json{{"type", text}};

    const BridgeCommand command = readBridgeMessage(message, service.origin, kDefaultApi);

    // Any frame of the service's origin may post; the main frame is no different.
    ScriptMessage otherFrame = message;
    otherFrame.isMainFrame = !message.isMainFrame;
    PELKO_FUZZ_REQUIRE(readBridgeMessage(otherFrame, service.origin, kDefaultApi) == command);

    const json& body = message.body;
    const bool typed = body.is_object() && body.contains("type") && body["type"].is_string();
    if (message.name != "pelko" || !isServiceFrame(message.frameOrigin, service) || !typed) {
        PELKO_FUZZ_REQUIRE(std::holds_alternative<std::monostate>(command),
                           "from " + fuzz::quoted(message.frameOrigin.scheme) + " " +
                               fuzz::quoted(message.frameOrigin.host) + " port " +
                               std::to_string(message.frameOrigin.port) + " to " + fuzz::quoted(message.name));
        return 0;
    }
    const std::string& type = body["type"].get_ref<const std::string&>();
    if (type == "setupIMessage") {
        PELKO_FUZZ_REQUIRE((command == BridgeCommand{SetupIMessageRequest{stringOr(body, "pairingCode", ""),
                                                                          stringOr(body, "apiBase", kDefaultApi)}}));
    } else if (type == "disconnectIMessage") {
        PELKO_FUZZ_REQUIRE(std::holds_alternative<DisconnectIMessageRequest>(command));
    } else if (type == "voice") {
        PELKO_FUZZ_REQUIRE((command == BridgeCommand{VoiceBridgeEvent{body}}));
    } else {
        PELKO_FUZZ_REQUIRE(std::holds_alternative<std::monostate>(command), "type " + fuzz::quoted(type));
    }
    return 0;
}

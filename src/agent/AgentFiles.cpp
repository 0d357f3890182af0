#include "agent/AgentFiles.h"

#include <cstdint>
#include <optional>

namespace pelko {

std::string launchAgentsDirectory(const std::string& home) { return home + "/Library/LaunchAgents"; }

std::string agentPropertyListPath(const std::string& home) {
    return launchAgentsDirectory(home) + "/" + kAgentLabel + ".plist";
}

std::string agentLogDirectory(const std::string& home) { return home + "/Library/Logs/pelko-agent"; }

std::string helperDirectory(const std::string& bundlePath) { return bundlePath + "/Contents/Resources/imessage-agent"; }

std::string helperExecutablePath(const std::string& bundlePath) { return helperDirectory(bundlePath) + "/PelkoHelper"; }

std::string helperScriptPath(const std::string& bundlePath) { return helperDirectory(bundlePath) + "/dist/index.js"; }

std::string selfManagedAgentPropertyListPath(const std::string& home) {
    return home + "/Library/LaunchAgents/com.pelko.agent.plist";
}

std::string selfManagedAgentConfigurationPath(const std::string& home) {
    return home + "/.config/pelko-agent/config.json";
}

std::string xmlEscape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        // A reader turns a raw carriage return into a line feed, as it does
        // every line end; written as a reference it arrives as it was sent.
        case '\r': out += "&#13;"; break;
        default: out += c;
        }
    }
    return out;
}

namespace {

// The next code point of UTF-8 text, or none when the bytes are not UTF-8
// (overlong forms included; surrogates are no XML characters either).
std::optional<std::uint32_t> nextCodePoint(const std::string& text, std::size_t& i) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(text[at]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    std::uint32_t value = 0;
    std::uint32_t minimum = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + length > text.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF) return std::nullopt;
    i += length;
    return value;
}

bool isXmlChar(std::uint32_t c) {
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           c >= 0x10000;
}

}  // namespace

bool xmlCanHold(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto c = nextCodePoint(text, i);
        if (!c || !isXmlChar(*c)) return false;
    }
    return true;
}

std::string agentPropertyList(const std::string& helperExecutable, const std::string& helperScript,
                              const std::string& pairingCode, const std::string& apiBase,
                              const std::string& logDirectory) {
    const std::string logs = xmlEscape(logDirectory);
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">\n"
           "<dict>\n"
           "  <key>Label</key><string>" + kAgentLabel + "</string>\n"
           "  <key>ProgramArguments</key>\n"
           "  <array>\n"
           "    <string>" + xmlEscape(helperExecutable) + "</string>\n"
           "    <string>" + xmlEscape(helperScript) + "</string>\n"
           "    <string>run</string>\n"
           "  </array>\n"
           "  <key>EnvironmentVariables</key>\n"
           "  <dict>\n"
           "    <key>PELKO_PAIR_CODE</key><string>" + xmlEscape(pairingCode) + "</string>\n"
           "    <key>PELKO_API_URL</key><string>" + xmlEscape(apiBase) + "</string>\n"
           "  </dict>\n"
           "  <key>RunAtLoad</key><true/>\n"
           "  <key>KeepAlive</key><dict><key>SuccessfulExit</key><false/></dict>\n"
           "  <key>ThrottleInterval</key><integer>10</integer>\n"
           "  <key>ProcessType</key><string>Background</string>\n"
           "  <key>StandardOutPath</key><string>" + logs + "/pelko-agent.log</string>\n"
           "  <key>StandardErrorPath</key><string>" + logs + "/pelko-agent.err.log</string>\n"
           "</dict>\n"
           "</plist>";
}

}  // namespace pelko

#include "web/DesktopInfoScript.h"

#include <cstdio>

namespace pelko {

std::string escapeForDoubleQuotedScriptString(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '"') {
            out += "\\\"";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c < 0x20 || c == 0x7f) {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
            out += buffer;
        } else if (c == 0xE2 && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(text[i + 2]) == 0xA8 ||
                    static_cast<unsigned char>(text[i + 2]) == 0xA9)) {
            // U+2028 and U+2029 end a line inside older script engines' strings.
            out += static_cast<unsigned char>(text[i + 2]) == 0xA8 ? "\\u2028" : "\\u2029";
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string desktopInfoScript(const std::string& version, const DesktopInfo& info) {
    auto flag = [](bool value) { return value ? "true" : "false"; };
    return std::string("window.__pelkoDesktop = { version: \"") + escapeForDoubleQuotedScriptString(version) +
           "\", platform: \"" + escapeForDoubleQuotedScriptString(platformName(info.platform)) +
           "\", canSetupIMessage: " + flag(info.canSetupIMessage) + ", canDictate: " + flag(info.canDictate) + " };";
}

}  // namespace pelko

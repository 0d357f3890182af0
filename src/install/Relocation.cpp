#include "install/Relocation.h"

#include <vector>

namespace pelko {

bool offersRelocation(const std::string& bundlePath) {
    if (bundlePath.starts_with("/Applications/")) return false;
    return bundlePath.starts_with("/Volumes/") || bundlePath.find("/Downloads/") != std::string::npos;
}

std::string shellDoubleQuoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '$' || c == '`' || c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

std::optional<std::string> volumeMountPath(const std::string& bundlePath) {
    if (!bundlePath.starts_with("/Volumes/")) return std::nullopt;
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (start <= bundlePath.size()) {
        const auto slash = bundlePath.find('/', start);
        const std::size_t end = slash == std::string::npos ? bundlePath.size() : slash;
        if (end > start) pieces.push_back(bundlePath.substr(start, end - start));
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    if (pieces.size() < 2) return std::nullopt;
    return "/Volumes/" + pieces[1];
}

std::string relaunchCommand(const std::optional<std::string>& diskImage) {
    std::string command = std::string("sleep 1; open ") + shellDoubleQuoted(kInstallTarget);
    if (diskImage) command += "; hdiutil detach " + shellDoubleQuoted(*diskImage) + " -force";
    return command;
}

}  // namespace pelko

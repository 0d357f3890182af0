#include "web/DownloadNames.h"

#include "text/UnicodeProperties.h"
#include "voice/Utf8.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace pelko {

namespace {

std::string lastComponent(const std::string& path) {
    const auto separator = path.find_last_of("/\\");
    return separator == std::string::npos ? path : path.substr(separator + 1);
}

// The extension after the last full stop; none for a name that only starts
// with one or ends with one.
struct SplitName {
    std::string base;
    std::string extension;
};

SplitName split(const std::string& name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return {name, {}};
    return {name.substr(0, dot), name.substr(dot + 1)};
}

// File systems take names of at most 255 bytes; some room is left for the
// " (N)" of a taken name.
constexpr std::size_t kMaxNameBytes = 255 - 16;
constexpr std::size_t kMaxKeptExtension = 32;

// Backs up to the start of the character cut at `bytes` (3 bytes at most
// in UTF-8).
std::string utf8Prefix(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t end = bytes;
    while (end > 0 && bytes - end < 3 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

constexpr char32_t kReplacementCharacter = 0xFFFD;

// Controls (C0, DEL, C1) and the bidirectional controls, which reorder what
// follows them on screen: "invoice\u202Efdp.exe" shows as "invoiceexe.pdf".
bool isNeverInAName(char32_t c) {
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) return true;
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// Blank, or made only of characters that show nothing: no name to recognise.
bool showsNothing(const std::string& name) {
    for (std::size_t at = 0; at < name.size();) {
        std::size_t length = 1;
        const auto scalar = decodeUtf8At(name, at, length);
        if (!scalar || !isBlankOrIgnorable(*scalar)) return false;
        at += length;
    }
    return true;
}

std::string shortened(const std::string& name) {
    if (name.size() <= kMaxNameBytes) return name;
    const SplitName parts = split(name);
    if (parts.extension.empty() || parts.extension.size() > kMaxKeptExtension) return utf8Prefix(name, kMaxNameBytes);
    return utf8Prefix(parts.base, kMaxNameBytes - parts.extension.size() - 1) + "." + parts.extension;
}

}  // namespace

std::string safeFileName(const std::string& suggested) {
    const std::string last = lastComponent(suggested);
    std::string name;
    // Bytes that are not UTF-8 become U+FFFD rather than staying: a character
    // removed between two of them could otherwise join them into one of the
    // characters removed here.
    for (std::size_t at = 0; at < last.size();) {
        std::size_t length = 1;
        const auto scalar = decodeUtf8At(last, at, length);
        if (!scalar) {
            appendUtf8(name, kReplacementCharacter);
        } else if (!isNeverInAName(*scalar)) {
            name.append(last, at, length);
        }
        at += length;
    }
    const auto firstKept = name.find_first_not_of('.');
    if (firstKept == std::string::npos) return {};
    name = shortened(name.substr(firstKept));
    return showsNothing(name) ? std::string() : name;
}

std::string downloadFileName(const std::string& suggestedFilename, const std::optional<Url>& originalURL) {
    if (std::string name = safeFileName(suggestedFilename); !name.empty()) return name;
    if (originalURL) {
        if (std::string name = safeFileName(lastComponent(originalURL->path)); !name.empty()) return name;
    }
    return kDefaultDownloadName;
}

std::string freeDestination(const std::string& folder, const std::string& name,
                            const std::function<bool(const std::string& path)>& isTaken) {
    const std::string prefix = folder.ends_with('/') ? folder : folder + "/";
    std::string candidate = prefix + name;
    const SplitName parts = split(name);
    for (long long counter = 1; isTaken(candidate); ++counter) {
        std::string next = parts.base + " (" + std::to_string(counter) + ")";
        if (!parts.extension.empty()) next += "." + parts.extension;
        candidate = prefix + next;
    }
    return candidate;
}

bool fileMayRunCode(const std::string& path) {
    // Applications, scripts, and files the system follows to something else
    // (location files). Disk images and installer packages are opened: the
    // system asks before it installs anything.
    static constexpr std::array<const char*, 26> kRunnable{
        "app",     "command", "terminal", "tool", "sh",  "bash", "zsh", "csh", "ksh", "tcsh", "fish", "desktop", "appimage",
        "run",     "jar",     "workflow", "fileloc", "inetloc", "webloc", "exe", "msi", "bat", "cmd", "com", "scr", "ps1"};
    std::string extension = split(lastComponent(path)).extension;
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::any_of(kRunnable.begin(), kRunnable.end(), [&](const char* runnable) { return extension == runnable; });
}

}  // namespace pelko

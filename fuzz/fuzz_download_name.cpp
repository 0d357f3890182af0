// safeFileName and downloadFileName on any text and URL path: the result is
// one file name that stays inside the folder it is put in, and shows what it
// is: UTF-8 with no control character (C0, DEL, C1), no bidirectional
// control that could reorder it on screen, and something visible in it.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "web/DownloadNames.h"

using namespace pelko;
using fuzz::quoted;

namespace {

// Room is left within the usual 255-byte limit for a " (N)" suffix.
constexpr std::size_t kMaxNameBytes = 239;

bool isControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

// Marks, embeddings, overrides and isolates of the bidirectional algorithm (UAX #9).
bool isBidiControl(char32_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// White_Space and Default_Ignorable_Code_Point as Unicode 15.0 lists them,
// typed apart from the core's generated table: a name made only of these
// looks empty.
bool showsNothing(char32_t c) {
    const auto in = [c](char32_t first, char32_t last) { return c >= first && c <= last; };
    return in(0x09, 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 || in(0x2000, 0x200A) || c == 0x2028 ||
           c == 0x2029 || c == 0x202F || c == 0x205F || c == 0x3000 ||  // White_Space
           c == 0xAD || c == 0x034F || c == 0x061C || in(0x115F, 0x1160) || in(0x17B4, 0x17B5) || in(0x180B, 0x180F) ||
           in(0x200B, 0x200F) || in(0x202A, 0x202E) || in(0x2060, 0x206F) || c == 0x3164 || in(0xFE00, 0xFE0F) ||
           c == 0xFEFF || c == 0xFFA0 || in(0xFFF0, 0xFFF8) || in(0x1BCA0, 0x1BCA3) || in(0x1D173, 0x1D17A) ||
           in(0xE0000, 0xE0FFF);  // Default_Ignorable_Code_Point
}

void requireOneSafeName(const std::string& name, const std::string& from) {
    const std::string detail = quoted(name) + " from " + quoted(from);
    PELKO_FUZZ_REQUIRE(!name.empty(), detail);
    PELKO_FUZZ_REQUIRE(name.size() <= kMaxNameBytes, detail);
    PELKO_FUZZ_REQUIRE(name.front() != '.', detail);  // neither hidden nor "." or ".."
    PELKO_FUZZ_REQUIRE(fuzz::isUtf8(name), detail);
    bool visible = false;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t length = fuzz::wellFormedLength(name, i);
        const char32_t c = fuzz::scalarAt(name, i, length);
        PELKO_FUZZ_REQUIRE(c != '/' && c != '\\', detail);
        PELKO_FUZZ_REQUIRE(!isControl(c), detail);
        PELKO_FUZZ_REQUIRE(!isBidiControl(c), detail);
        visible = visible || !showsNothing(c);
        i += length;
    }
    PELKO_FUZZ_REQUIRE(visible, detail);
    // A safe name is left as it is.
    PELKO_FUZZ_REQUIRE(safeFileName(name) == name, detail);
}

}  // namespace

// Input: the whole input is one suggested name; split in two, it is a
// suggested name and the path of the download's URL.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string whole(reinterpret_cast<const char*>(data), size);
    const std::string wholeName = safeFileName(whole);
    if (!wholeName.empty()) requireOneSafeName(wholeName, whole);
    // Nothing else is lost: a short UTF-8 name without separators keeps all
    // but its controls and leading full stops, unless nothing visible is left.
    if (fuzz::isUtf8(whole) && whole.find_first_of("/\\") == std::string::npos) {
        std::string kept;
        bool visible = false;
        for (std::size_t i = 0; i < whole.size();) {
            const std::size_t length = fuzz::wellFormedLength(whole, i);
            const char32_t c = fuzz::scalarAt(whole, i, length);
            if (!isControl(c) && !isBidiControl(c) && !(c == '.' && kept.empty())) {
                kept.append(whole, i, length);
                visible = visible || !showsNothing(c);
            }
            i += length;
        }
        if (visible && kept.size() <= kMaxNameBytes)
            PELKO_FUZZ_REQUIRE(wholeName == kept, quoted(wholeName) + " from " + quoted(whole));
    }

    FuzzedDataProvider provider(data, size);
    const std::string suggested = provider.ConsumeRandomLengthString();
    const bool hasUrl = provider.ConsumeBool();
    const std::string path = provider.ConsumeRemainingBytesAsString();
    std::optional<Url> url;
    if (hasUrl) url = Url{"https://pelko.test" + path, "https", "pelko.test", {}, path};
    const std::string name = downloadFileName(suggested, url);
    requireOneSafeName(name, suggested + " or " + path);
    return 0;
}

// safeFileName and downloadFileName on any text and URL path: the result is
// one file name that stays inside the folder it is put in.
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

void requireOneSafeName(const std::string& name, const std::string& from) {
    const std::string detail = quoted(name) + " from " + quoted(from);
    PELKO_FUZZ_REQUIRE(!name.empty(), detail);
    PELKO_FUZZ_REQUIRE(name.size() <= kMaxNameBytes, detail);
    PELKO_FUZZ_REQUIRE(name.front() != '.', detail);  // neither hidden nor "." or ".."
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        PELKO_FUZZ_REQUIRE(c != '/' && c != '\\', detail);
        PELKO_FUZZ_REQUIRE(byte >= 0x20 && byte != 0x7f, detail);
    }
    if (fuzz::isUtf8(from)) PELKO_FUZZ_REQUIRE(fuzz::isUtf8(name), detail);
    // A safe name is left as it is.
    PELKO_FUZZ_REQUIRE(safeFileName(name) == name, detail);
}

}  // namespace

// Input: the whole input is one suggested name; split in two, it is a
// suggested name and the path of the download's URL.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string whole(reinterpret_cast<const char*>(data), size);
    if (const std::string name = safeFileName(whole); !name.empty()) requireOneSafeName(name, whole);

    FuzzedDataProvider provider(data, size);
    const std::string suggested = provider.ConsumeRandomLengthString();
    const bool hasUrl = provider.ConsumeBool();
    const std::string path = provider.ConsumeRemainingBytesAsString();
    std::optional<Url> url;
    if (hasUrl) url = Url{"https://pelko.test" + path, "https", "pelko.test", {}, path};
    const std::string name = downloadFileName(suggested, url);
    // Both are UTF-8 exactly when the two joined by ASCII are.
    requireOneSafeName(name, suggested + " or " + path);
    return 0;
}

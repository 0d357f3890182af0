// isNewer on any three texts: it never fails, and "newer than" is a strict
// weak order (irreflexive, asymmetric, transitive, and "neither is newer" is
// transitive too), so every list of versions has one newest. Dropped empty
// pieces and padding zeros change nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "update/VersionComparison.h"

using namespace pelko;
using fuzz::quoted;

namespace {

bool same(const std::string& a, const std::string& b) { return !isNewer(a, b) && !isNewer(b, a); }

}  // namespace

// Input: three texts separated by line feeds (missing ones are empty).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    std::string text[3];
    std::size_t start = 0;
    for (int i = 0; i < 3 && start <= input.size(); ++i) {
        const auto end = i < 2 ? input.find('\n', start) : std::string::npos;
        text[i] = input.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos) break;
        start = end + 1;
    }
    const std::string &a = text[0], &b = text[1], &c = text[2];
    const std::string detail = quoted(a) + " " + quoted(b) + " " + quoted(c);

    PELKO_FUZZ_REQUIRE(!isNewer(a, a), detail);
    PELKO_FUZZ_REQUIRE(!(isNewer(a, b) && isNewer(b, a)), detail);
    if (isNewer(a, b) && isNewer(b, c)) PELKO_FUZZ_REQUIRE(isNewer(a, c), detail);
    if (same(a, b) && same(b, c)) PELKO_FUZZ_REQUIRE(same(a, c), detail);
    // Any third text is below the newer one or above the older one.
    if (isNewer(a, b)) PELKO_FUZZ_REQUIRE(isNewer(a, c) || isNewer(c, b), detail);

    PELKO_FUZZ_REQUIRE(same(a, a + ".0"), detail);
    PELKO_FUZZ_REQUIRE(same(a, "." + a + "."), detail);
    PELKO_FUZZ_REQUIRE(isNewer(a, b) == isNewer(a + ".0.", ".." + b), detail);
    return 0;
}

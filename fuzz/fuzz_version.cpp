// isNewer on any three texts: it never fails, and "newer than" is a strict
// weak order (irreflexive, asymmetric, transitive, and "neither is newer" is
// transitive too), so every list of versions has one newest. Dropped empty
// pieces and padding zeros change nothing. A full stop with a mark or a
// joiner after it is no separator: it reads like a letter in its piece.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>

#include "FuzzCheck.h"
#include "update/VersionComparison.h"

using namespace pelko;
using fuzz::quoted;

namespace {

bool same(const std::string& a, const std::string& b) { return !isNewer(a, b) && !isNewer(b, a); }

// A combining mark, a zero-width joiner, a spacing mark, an emoji modifier
// and a variation selector: each fuses with a full stop before it.
const std::string kFusing[] = {"\u0301", "\u200D", "\u0903", "\U0001F3FB", "\uFE0F"};

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

    const std::string& mark = kFusing[c.size() % std::size(kFusing)];
    const std::string fused = a + "." + mark + b;
    const std::string lettered = a + "x" + b;
    PELKO_FUZZ_REQUIRE(isNewer(fused, c) == isNewer(lettered, c), detail + " with " + quoted(mark));
    PELKO_FUZZ_REQUIRE(isNewer(c, fused) == isNewer(c, lettered), detail + " with " + quoted(mark));
    return 0;
}

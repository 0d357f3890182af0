#include "text/UnicodeProperties.h"

#include <algorithm>
#include <iterator>

namespace pelko {

namespace {

struct CodePointRange {
    char32_t first;
    char32_t last;
};

struct GraphemeBreakRange {
    char32_t first;
    char32_t last;
    GraphemeBreak value;
};

#include "text/UnicodeTables.inc"

// The range of sorted, disjoint `ranges` that holds `c`, or null.
template <typename Range, std::size_t N>
const Range* rangeHolding(const Range (&ranges)[N], char32_t c) {
    const auto after = std::upper_bound(std::begin(ranges), std::end(ranges), c,
                                        [](char32_t value, const Range& range) { return value < range.first; });
    if (after == std::begin(ranges)) return nullptr;
    const Range* range = std::prev(after);
    return c <= range->last ? range : nullptr;
}

}  // namespace

GraphemeBreak graphemeBreak(char32_t c) {
    const GraphemeBreakRange* range = rangeHolding(kGraphemeBreakRanges, c);
    return range ? range->value : GraphemeBreak::other;
}

bool isExtendedPictographic(char32_t c) { return rangeHolding(kExtendedPictographicRanges, c) != nullptr; }

bool isBlankOrIgnorable(char32_t c) { return rangeHolding(kBlankOrIgnorableRanges, c) != nullptr; }

const char* unicodeVersion() { return kUnicodeVersion; }

}  // namespace pelko

#include "update/VersionComparison.h"

#include "text/GraphemeClusters.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace pelko {

namespace {

// The strict reading of one piece; 0 when it breaks the rule. A negative
// value is built negatively, so the most negative one fits.
std::int64_t readPiece(const std::string& piece) {
    std::size_t i = 0;
    bool negative = false;
    if (i < piece.size() && (piece[i] == '+' || piece[i] == '-')) negative = piece[i++] == '-';
    if (i == piece.size()) return 0;
    std::int64_t value = 0;
    for (; i < piece.size(); ++i) {
        const char c = piece[i];
        if (c < '0' || c > '9') return 0;
        const int digit = c - '0';
        if (negative) {
            if (value < (std::numeric_limits<std::int64_t>::min() + digit) / 10) return 0;
            value = value * 10 - digit;
        } else {
            if (value > (std::numeric_limits<std::int64_t>::max() - digit) / 10) return 0;
            value = value * 10 + digit;
        }
    }
    return value;
}

// Split at each full stop that is a character of its own: one fused with a
// mark or a joiner after it, or with a prepended character before it, is
// part of its piece (which then reads as 0).
std::vector<std::int64_t> components(const std::string& version) {
    std::vector<std::int64_t> out;
    const std::vector<std::size_t> boundaries = graphemeClusterBoundaries(version);
    std::size_t start = 0;
    for (std::size_t i = 0; i + 1 < boundaries.size(); ++i) {
        const std::size_t begin = boundaries[i];
        if (boundaries[i + 1] != begin + 1 || version[begin] != '.') continue;
        if (begin > start) out.push_back(readPiece(version.substr(start, begin - start)));
        start = begin + 1;
    }
    if (version.size() > start) out.push_back(readPiece(version.substr(start)));
    return out;
}

}  // namespace

bool isNewer(const std::string& candidate, const std::string& than) {
    const auto x = components(candidate);
    const auto y = components(than);
    const std::size_t n = std::max(x.size(), y.size());
    for (std::size_t i = 0; i < n; ++i) {
        const std::int64_t a = i < x.size() ? x[i] : 0;
        const std::int64_t b = i < y.size() ? y[i] : 0;
        if (a != b) return a > b;
    }
    return false;
}

}  // namespace pelko

#include "text/GraphemeClusters.h"

#include "text/UnicodeProperties.h"
#include "voice/Utf8.h"

namespace pelko {

namespace {

constexpr char32_t kReplacementCharacter = 0xFFFD;

// What the rules need to know of the text before a possible boundary.
struct Before {
    GraphemeBreak last = GraphemeBreak::other;
    // The text ends in an Extended_Pictographic character followed by any
    // number of Extend characters and one ZWJ.
    bool pictographicThenZwj = false;
    // How many Regional_Indicator characters the text ends in.
    int regionalIndicators = 0;
};

bool isControl(GraphemeBreak b) {
    return b == GraphemeBreak::control || b == GraphemeBreak::cr || b == GraphemeBreak::lf;
}

// The rules GB3 to GB999 of UAX #29 as of Unicode 15.0, the tables' version
// (15.1 adds GB9c, which needs Indic_Conjunct_Break), in their order: the
// first that matches decides.
bool breaksBetween(const Before& before, GraphemeBreak next, bool nextIsPictographic) {
    using B = GraphemeBreak;
    const B last = before.last;
    // GB3 to GB5: a line break is a cluster of its own.
    if (last == B::cr && next == B::lf) return false;
    if (isControl(last) || isControl(next)) return true;
    // GB6 to GB8: Hangul syllables.
    if (last == B::l && (next == B::l || next == B::v || next == B::lv || next == B::lvt)) return false;
    if ((last == B::lv || last == B::v) && (next == B::v || next == B::t)) return false;
    if ((last == B::lvt || last == B::t) && next == B::t) return false;
    // GB9 to GB9b: marks and joiners cling to what precedes them, prepended characters to what follows.
    if (next == B::extend || next == B::zwj || next == B::spacingMark) return false;
    if (last == B::prepend) return false;
    // GB11: emoji joined into one.
    if (before.pictographicThenZwj && nextIsPictographic) return false;
    // GB12, GB13: regional indicators in pairs (flags).
    if (last == B::regionalIndicator && next == B::regionalIndicator) return before.regionalIndicators % 2 == 0;
    // GB999
    return true;
}

}  // namespace

std::vector<std::size_t> graphemeClusterBoundaries(const std::string& text) {
    std::vector<std::size_t> boundaries{0};
    Before before;
    bool pictographicRun = false;  // the text so far ends in Extended_Pictographic Extend*
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = 1;
        const char32_t c = decodeUtf8At(text, at, length).value_or(kReplacementCharacter);
        const GraphemeBreak next = graphemeBreak(c);
        const bool pictographic = isExtendedPictographic(c);
        if (at > 0 && breaksBetween(before, next, pictographic)) boundaries.push_back(at);

        before.pictographicThenZwj = pictographicRun && next == GraphemeBreak::zwj;
        pictographicRun = pictographic || (pictographicRun && next == GraphemeBreak::extend);
        before.regionalIndicators = next == GraphemeBreak::regionalIndicator ? before.regionalIndicators + 1 : 0;
        before.last = next;
        at += length;
    }
    if (!text.empty()) boundaries.push_back(text.size());
    return boundaries;
}

}  // namespace pelko

#pragma once

#include "platform/CoreGuard.h"

namespace pelko {

// The Grapheme_Cluster_Break property of Unicode's text segmentation (UAX #29).
enum class GraphemeBreak {
    other,
    cr,
    lf,
    control,
    extend,
    zwj,
    regionalIndicator,
    prepend,
    spacingMark,
    l,
    v,
    t,
    lv,
    lvt,
};

// Looked up in tables generated from the Unicode Character Database
// (UnicodeTables.inc, by generate-unicode-tables.py beside it).
GraphemeBreak graphemeBreak(char32_t c);
bool isExtendedPictographic(char32_t c);
// White space or a default-ignorable character: shows nothing, or no more than a space.
bool isBlankOrIgnorable(char32_t c);
// The Unicode version the tables come from, "15.0.0" say.
const char* unicodeVersion();

}  // namespace pelko

#pragma once

#include "platform/CoreGuard.h"

#include <string>

namespace pelko {

// Whether `candidate` is a strictly newer version text than `than`. Versions
// are split at full stops that stand as whole characters (a full stop with a
// combining mark on it is none); empty pieces are dropped; each piece is a signed
// 64-bit decimal ("+" or "-" then digits only), and any other piece reads as
// 0 in its place. The shorter list is padded with zeros. Never fails.
bool isNewer(const std::string& candidate, const std::string& than);

}  // namespace pelko

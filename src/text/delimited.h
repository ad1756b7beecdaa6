// Cutting a field out of a larger Text between delimiters, and the value of a
// header line.
#pragma once

#include <optional>

#include "text/text.h"

namespace merravine {

// The text between the first `left` and the first `right` after it. Nothing is
// checked between the steps: when `left` is missing, the search for `right`
// runs from byte length(left) - 1 and the result is everything from there up
// to `right` (empty for a left delimiter of one byte or none).
Text TextBetween(const Text& t, const Text& left, const Text& right);

// Like TextBetween, but from `start` (omitted, 0 or 1: from byte 1), ignoring
// the case of A-Z unless `caseSensitive`, with "#引号" in a delimiter standing
// for a double quote; a missing delimiter gives a present empty Text.
Text TextBetweenEx(const Text& t, const Text& left, const Text& right,
                   std::optional<int> start = std::nullopt, bool caseSensitive = false);

// The bytes after the first colon of a header line, trimmed of spaces (CR and
// LF stay); empty without a colon.
Text HeaderValue(const Text& line);

}  // namespace merravine

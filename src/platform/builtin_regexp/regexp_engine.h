// Matching with ICU over UTF-16 text, bounded in time and memory, and the
// script engine's replacement templates.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/builtin_regexp/icu_binding.h"

namespace platform::builtin {

struct MatchOptions {
  bool ignoreCase = false;
  bool multiline = false;
  bool global = false;
};

// One match: its span and the span of each group (-1, -1 for a group that took
// no part), in UTF-16 units of the subject.
struct MatchSpan {
  std::int32_t start = 0;
  std::int32_t end = 0;
  std::vector<std::int32_t> groups;  // start, end of group 1, then group 2, ...

  int GroupCount() const { return static_cast<int>(groups.size() / 2); }
};

struct MatchRun {
  int groupCount = 0;
  std::vector<MatchSpan> matches;
};

// Each search may take about this many of ICU's time steps (each of the order
// of a millisecond) and this much backtracking memory. A pattern that needs
// more, such as nested quantifiers over a long run of near-matches, ends the
// run as if there were no further match, instead of hanging the caller.
inline constexpr std::int32_t kTimeLimitSteps = 3000;
inline constexpr std::int32_t kStackLimitBytes = 8 * 1024 * 1024;

// All matches (global) or the first one; nothing when the pattern is refused.
std::optional<MatchRun> FindMatches(const IcuBinding& icu, std::u16string_view pattern,
                                    std::u16string_view subject, const MatchOptions& options);

// The subject with each match replaced by the expanded template: "$$" is a
// dollar, "$&" the match, "$`" the text before it, "$'" the text after it and
// "$1" to "$99" a group; anything else is copied as it stands.
std::u16string ReplaceMatches(std::u16string_view subject, const MatchRun& run,
                              std::u16string_view replacement);

}  // namespace platform::builtin

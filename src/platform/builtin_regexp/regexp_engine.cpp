#include "platform/builtin_regexp/regexp_engine.h"

#include <memory>

#include "platform/builtin_regexp/pattern_translation.h"

namespace platform::builtin {
namespace {

struct RegexCloser {
  const IcuBinding* icu;
  void operator()(IcuRegex* regex) const { icu->close(regex); }
};
using RegexHandle = std::unique_ptr<IcuRegex, RegexCloser>;

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

}  // namespace

std::optional<MatchRun> FindMatches(const IcuBinding& icu, std::u16string_view pattern,
                                    std::u16string_view subject, const MatchOptions& options) {
  const std::optional<std::u16string> translated = TranslatePattern(pattern, options.multiline);
  if (!translated) return std::nullopt;
  IcuBinding::Status status = 0;
  RegexHandle regex(icu.open(translated->data(), static_cast<std::int32_t>(translated->size()),
                             options.ignoreCase ? kIcuCaseInsensitive : 0, nullptr, &status),
                    RegexCloser{&icu});
  if (IcuFailed(status) || !regex) return std::nullopt;

  MatchRun run;
  run.groupCount = icu.groupCount(regex.get(), &status);
  icu.setTimeLimit(regex.get(), kTimeLimitSteps, &status);
  icu.setStackLimit(regex.get(), kStackLimitBytes, &status);
  // ICU needs a non-null text even when it is empty.
  static constexpr char16_t kNothing[1] = {0};
  icu.setText(regex.get(), subject.empty() ? kNothing : subject.data(),
              static_cast<std::int32_t>(subject.size()), &status);
  if (IcuFailed(status)) return std::nullopt;

  // A search that runs out of time or memory fails with a status; the run then
  // ends with the matches found so far.
  while (icu.findNext(regex.get(), &status) && !IcuFailed(status)) {
    MatchSpan match;
    match.start = icu.start(regex.get(), 0, &status);
    match.end = icu.end(regex.get(), 0, &status);
    match.groups.reserve(static_cast<std::size_t>(run.groupCount) * 2);
    for (int g = 1; g <= run.groupCount; ++g) {
      match.groups.push_back(icu.start(regex.get(), g, &status));
      match.groups.push_back(icu.end(regex.get(), g, &status));
    }
    if (IcuFailed(status)) break;
    run.matches.push_back(std::move(match));
    if (!options.global) break;
  }
  return run;
}

std::u16string ReplaceMatches(std::u16string_view subject, const MatchRun& run,
                              std::u16string_view replacement) {
  std::u16string out;
  out.reserve(subject.size());
  std::size_t copied = 0;
  for (const MatchSpan& m : run.matches) {
    const auto start = static_cast<std::size_t>(m.start);
    const auto end = static_cast<std::size_t>(m.end);
    out.append(subject.substr(copied, start - copied));
    for (std::size_t k = 0; k < replacement.size(); ++k) {
      const char16_t c = replacement[k];
      const char16_t next = k + 1 < replacement.size() ? replacement[k + 1] : u'\0';
      if (c != u'$' || next == u'\0') {
        out += c;
        continue;
      }
      if (next == u'$') {
        out += u'$';
        ++k;
      } else if (next == u'&') {
        out.append(subject.substr(start, end - start));
        ++k;
      } else if (next == u'`') {
        out.append(subject.substr(0, start));
        ++k;
      } else if (next == u'\'') {
        out.append(subject.substr(end));
        ++k;
      } else if (IsDigit(next)) {
        // Two digits when they name a group, else one digit when it does.
        int group = next - u'0';
        std::size_t digits = 1;
        if (k + 2 < replacement.size() && IsDigit(replacement[k + 2])) {
          const int two = group * 10 + (replacement[k + 2] - u'0');
          if (two >= 1 && two <= m.GroupCount()) {
            group = two;
            digits = 2;
          }
        }
        if (group < 1 || group > m.GroupCount()) {
          out += c;
          continue;
        }
        const std::int32_t gs = m.groups[static_cast<std::size_t>(group - 1) * 2];
        const std::int32_t ge = m.groups[static_cast<std::size_t>(group - 1) * 2 + 1];
        if (gs >= 0) {
          out.append(
              subject.substr(static_cast<std::size_t>(gs), static_cast<std::size_t>(ge - gs)));
        }
        k += digits;
      } else {
        out += c;
      }
    }
    copied = end;
  }
  out.append(subject.substr(copied));
  return out;
}

}  // namespace platform::builtin

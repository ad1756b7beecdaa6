// The script engine's pattern dialect (that of JavaScript's first edition of
// regular expressions) rewritten as an ICU pattern with the same meaning.
//
// The two dialects read many things differently: ICU's \d, \w, \s and \b are
// Unicode-wide, its "." also stops at CR and other line ends, its "$" also
// matches before a final line end, it refuses "{" and "}" as literals and
// unknown letter escapes, and it accepts constructs the script engine refuses
// (look-behind, inline flags, possessive quantifiers). So the pattern is parsed
// in the script dialect and every construct is written out explicitly.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform::builtin {

// The ICU pattern, or nothing when the script dialect refuses the pattern.
// With multiline, "^" and "$" also match after and before a line end.
std::optional<std::u16string> TranslatePattern(std::u16string_view pattern, bool multiline);

}  // namespace platform::builtin

#include "platform/builtin_regexp/pattern_translation.h"

#include <cstdint>

namespace platform::builtin {
namespace {

// The script dialect's classes: ASCII digits and word characters, and the
// white space that its documentation lists.
constexpr std::u16string_view kDigits = u"0-9";
constexpr std::u16string_view kWord = u"A-Za-z0-9_";
constexpr std::u16string_view kSpace = u"\\x{20}\\f\\n\\r\\t\\x{0B}";

constexpr std::u16string_view kWordBoundary =
    u"(?:(?<=[A-Za-z0-9_])(?![A-Za-z0-9_])|(?<![A-Za-z0-9_])(?=[A-Za-z0-9_]))";
constexpr std::u16string_view kNotWordBoundary =
    u"(?:(?<=[A-Za-z0-9_])(?=[A-Za-z0-9_])|(?<![A-Za-z0-9_])(?![A-Za-z0-9_]))";

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}
bool IsOctal(char16_t c) {
  return c >= u'0' && c <= u'7';
}
bool IsAsciiLetter(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
bool IsAsciiAlnum(char16_t c) {
  return IsAsciiLetter(c) || IsDigit(c);
}

int HexValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// One literal code unit as ICU reads it everywhere, in or out of a set.
void AppendCodeUnit(std::u16string& out, char16_t c) {
  if (IsAsciiAlnum(c) || c >= 0x80) {
    out += c;
    return;
  }
  static constexpr char16_t kHex[] = u"0123456789ABCDEF";
  out += u"\\x{";
  if (c >= 0x10) out += kHex[(c >> 4) & 0xF];
  out += kHex[c & 0xF];
  out += u'}';
}

// A class escape such as \d inside a set, as an ICU set expression.
std::u16string ClassSet(char16_t letter) {
  std::u16string_view body = (letter == u'd' || letter == u'D')   ? kDigits
                             : (letter == u'w' || letter == u'W') ? kWord
                                                                  : kSpace;
  const bool negated = letter == u'D' || letter == u'W' || letter == u'S';
  std::u16string set = negated ? u"[^" : u"[";
  set += body;
  set += u']';
  return set;
}

bool IsClassEscape(char16_t c) {
  return c == u'd' || c == u'D' || c == u'w' || c == u'W' || c == u's' || c == u'S';
}

class Translator {
 public:
  Translator(std::u16string_view pattern, bool multiline)
      : p_(pattern), multiline_(multiline), groups_(CountGroups(pattern)) {}

  std::optional<std::u16string> Run() {
    int depth = 0;
    while (i_ < p_.size()) {
      const char16_t c = p_[i_];
      switch (c) {
        case u'\\':
          if (!Escape()) return std::nullopt;
          break;
        case u'[':
          if (!Class()) return std::nullopt;
          canRepeat_ = true;
          break;
        case u'(':
          if (!OpenGroup()) return std::nullopt;
          ++depth;
          canRepeat_ = false;
          break;
        case u')':
          if (depth == 0) return std::nullopt;
          --depth;
          out_ += u')';
          ++i_;
          canRepeat_ = true;
          break;
        case u'|':
          out_ += u'|';
          ++i_;
          canRepeat_ = false;
          break;
        case u'^':
          out_ += multiline_ ? u"(?<![^\\n\\r])" : u"\\A";
          ++i_;
          canRepeat_ = false;
          break;
        case u'$':
          out_ += multiline_ ? u"(?![^\\n\\r])" : u"\\z";
          ++i_;
          canRepeat_ = false;
          break;
        case u'.':
          out_ += u"[^\\n]";
          ++i_;
          canRepeat_ = true;
          break;
        case u'*':
        case u'+':
        case u'?':
          if (!canRepeat_) return std::nullopt;
          out_ += c;
          ++i_;
          Lazy();
          break;
        case u'{': {
          const std::size_t length = QuantifierLength();
          if (length == 0) {  // not a quantifier: a literal brace
            Literal(c);
            break;
          }
          if (!canRepeat_ || !BoundsInOrder(length)) return std::nullopt;
          out_.append(p_.substr(i_, length));
          i_ += length;
          Lazy();
          break;
        }
        default:
          Literal(c);
          break;
      }
    }
    if (depth != 0) return std::nullopt;
    if (out_.empty()) out_ = u"(?:)";
    return std::move(out_);
  }

 private:
  static int CountGroups(std::u16string_view p) {
    int count = 0;
    bool inClass = false;
    for (std::size_t k = 0; k < p.size(); ++k) {
      if (p[k] == u'\\') {
        ++k;
      } else if (inClass) {
        if (p[k] == u']') inClass = false;
      } else if (p[k] == u'[') {
        inClass = true;
        if (k + 1 < p.size() && p[k + 1] == u'^') ++k;
        if (k + 1 < p.size() && p[k + 1] == u']') ++k;  // "[]" and "[^]" end at once
        if (p[k] == u']') inClass = false;
      } else if (p[k] == u'(' && (k + 1 >= p.size() || p[k + 1] != u'?')) {
        ++count;
      }
    }
    return count;
  }

  void Literal(char16_t c) {
    AppendCodeUnit(out_, c);
    ++i_;
    canRepeat_ = true;
  }

  // A "?" after a quantifier makes it lazy; nothing may repeat a quantifier.
  void Lazy() {
    if (i_ < p_.size() && p_[i_] == u'?') {
      out_ += u'?';
      ++i_;
    }
    canRepeat_ = false;
  }

  // Length of "{n}", "{n,}" or "{n,m}" at i_, or 0 when the brace starts none.
  std::size_t QuantifierLength() const {
    std::size_t k = i_ + 1;
    const std::size_t firstDigits = k;
    while (k < p_.size() && IsDigit(p_[k])) ++k;
    if (k == firstDigits) return 0;
    if (k < p_.size() && p_[k] == u',') {
      ++k;
      while (k < p_.size() && IsDigit(p_[k])) ++k;
    }
    if (k < p_.size() && p_[k] == u'}') return k + 1 - i_;
    return 0;
  }

  bool BoundsInOrder(std::size_t length) const {
    const std::u16string_view q = p_.substr(i_ + 1, length - 2);
    const std::size_t comma = q.find(u',');
    if (comma == std::u16string_view::npos || comma + 1 == q.size()) return true;
    return Number(q.substr(0, comma)) <= Number(q.substr(comma + 1));
  }

  static std::uint64_t Number(std::u16string_view digits) {
    std::uint64_t n = 0;
    for (char16_t d : digits) n = n > 0xFFFFFFFFu ? n : n * 10 + (d - u'0');
    return n;
  }

  bool OpenGroup() {
    if (i_ + 1 < p_.size() && p_[i_ + 1] == u'?') {
      if (i_ + 2 >= p_.size()) return false;
      const char16_t kind = p_[i_ + 2];
      // Only non-capturing groups and look-ahead exist in the script dialect.
      if (kind != u':' && kind != u'=' && kind != u'!') return false;
      out_.append(p_.substr(i_, 3));
      i_ += 3;
      return true;
    }
    out_ += u'(';
    ++i_;
    return true;
  }

  // An escape outside a class.
  bool Escape() {
    if (i_ + 1 >= p_.size()) return false;  // a pattern cannot end in a backslash
    const char16_t c = p_[i_ + 1];
    i_ += 2;
    canRepeat_ = true;
    if (IsClassEscape(c)) {
      out_ += ClassSet(c);
    } else if (c == u'b' || c == u'B') {
      out_ += c == u'b' ? kWordBoundary : kNotWordBoundary;
      canRepeat_ = false;
    } else if (c >= u'1' && c <= u'9') {
      BackReferenceOrOctal();
    } else {
      AppendCodeUnit(out_, CharacterEscape(c));
    }
    return true;
  }

  // "\1".."\9..." names a group when there are that many groups; otherwise the
  // digits are an octal escape (or a plain "8" or "9").
  void BackReferenceOrOctal() {
    const std::size_t first = i_ - 1;
    std::size_t k = first;
    while (k < p_.size() && IsDigit(p_[k])) ++k;
    const std::uint64_t n = Number(p_.substr(first, k - first));
    if (n >= 1 && n <= static_cast<std::uint64_t>(groups_)) {
      out_ += u"(?:\\";
      out_.append(p_.substr(first, k - first));
      out_ += u')';
      i_ = k;
      return;
    }
    i_ = first;
    AppendCodeUnit(out_, Octal());
  }

  // Up to three octal digits at i_ with a value up to 0377; a digit 8 or 9
  // stands for itself.
  char16_t Octal() {
    if (!IsOctal(p_[i_])) return p_[i_++];
    int value = 0;
    for (int n = 0; n < 3 && i_ < p_.size() && IsOctal(p_[i_]); ++n) {
      const int next = value * 8 + (p_[i_] - u'0');
      if (next > 0377) break;
      value = next;
      ++i_;
    }
    return static_cast<char16_t>(value);
  }

  // The character that "\c" (the escape letter, already consumed) stands for,
  // reading \x, \u and \c operands at i_.
  char16_t CharacterEscape(char16_t c) {
    switch (c) {
      case u'f':
        return u'\f';
      case u'n':
        return u'\n';
      case u'r':
        return u'\r';
      case u't':
        return u'\t';
      case u'v':
        return u'\v';
      case u'0':
        --i_;
        return Octal();
      case u'x':
      case u'u': {
        const int digits = c == u'x' ? 2 : 4;
        int value = 0;
        for (int n = 0; n < digits; ++n) {
          const int h = i_ + n < p_.size() ? HexValue(p_[i_ + n]) : -1;
          if (h < 0) return c;  // not a hex escape: the letter itself
          value = value * 16 + h;
        }
        i_ += digits;
        return static_cast<char16_t>(value);
      }
      case u'c':
        if (i_ < p_.size() && IsAsciiLetter(p_[i_])) return static_cast<char16_t>(p_[i_++] % 32);
        --i_;  // "\c" without a letter is a backslash followed by "c"
        return u'\\';
      default:
        return c;  // any other escaped character stands for itself
    }
  }

  // A class "[...]", written out as an ICU set whose members are all explicit.
  bool Class() {
    ++i_;
    bool negated = false;
    if (i_ < p_.size() && p_[i_] == u'^') {
      negated = true;
      ++i_;
    }
    std::u16string members;
    while (true) {
      if (i_ >= p_.size()) return false;  // unterminated class
      if (p_[i_] == u']') {
        ++i_;
        break;
      }
      std::u16string set;
      char16_t low = 0;
      if (!ClassAtom(set, low)) return false;
      if (set.empty() && i_ + 1 < p_.size() && p_[i_] == u'-' && p_[i_ + 1] != u']') {
        ++i_;
        std::u16string highSet;
        char16_t high = 0;
        if (!ClassAtom(highSet, high)) return false;
        if (highSet.empty()) {
          if (low > high) return false;
          AppendCodeUnit(members, low);
          members += u'-';
          AppendCodeUnit(members, high);
          continue;
        }
        // A range with a class escape at one end is no range: both ends and the
        // hyphen are members.
        AppendCodeUnit(members, low);
        AppendCodeUnit(members, u'-');
        members += highSet;
        continue;
      }
      if (set.empty()) {
        AppendCodeUnit(members, low);
      } else {
        members += set;
      }
    }
    if (members.empty()) {
      out_ += negated ? u"[\\x{0}-\\x{10FFFF}]" : u"(?!)";
      return true;
    }
    out_ += negated ? u"[^" : u"[";
    out_ += members;
    out_ += u']';
    return true;
  }

  // One member of a class: a character into `c`, or a class escape into `set`.
  bool ClassAtom(std::u16string& set, char16_t& c) {
    if (p_[i_] != u'\\') {
      c = p_[i_++];
      return true;
    }
    if (i_ + 1 >= p_.size()) return false;
    const char16_t e = p_[i_ + 1];
    i_ += 2;
    if (IsClassEscape(e)) {
      set = ClassSet(e);
    } else if (e == u'b') {
      c = u'\b';
    } else if (IsDigit(e)) {
      --i_;
      c = Octal();
    } else {
      c = CharacterEscape(e);
    }
    return true;
  }

  std::u16string_view p_;
  bool multiline_;
  int groups_;
  std::size_t i_ = 0;
  bool canRepeat_ = false;
  std::u16string out_;
};

}  // namespace

std::optional<std::u16string> TranslatePattern(std::u16string_view pattern, bool multiline) {
  return Translator(pattern, multiline).Run();
}

}  // namespace platform::builtin

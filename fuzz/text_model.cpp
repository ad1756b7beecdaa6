#include "text_model.h"

#include <algorithm>

namespace merravine::model {

std::vector<Str> Fields(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::vector<Str> fields(count);
  std::size_t field = 0;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      if (++field == count) break;
      continue;
    }
    fields[field].push_back(static_cast<char>(data[i]));
  }
  return fields;
}

bool IsLead(unsigned char c) {
  return c >= 0x80;
}

std::size_t Step(const Str& t, std::size_t p) {
  if (!IsLead(static_cast<unsigned char>(t[p]))) return 1;
  return p + 1 < t.size() ? 2 : 0;
}

namespace {

unsigned char Fold(unsigned char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 0x20) : c;
}

bool IsBlankAt(const Str& t, std::size_t p) {
  if (t[p] == ' ') return true;
  return p + 1 < t.size() && static_cast<unsigned char>(t[p]) == 0xA1 &&
         static_cast<unsigned char>(t[p + 1]) == 0xA1;
}

}  // namespace

bool EqualAt(const Str& t, std::size_t p, const Str& needle, bool ignoreCase) {
  if (p + needle.size() > t.size()) return false;
  for (std::size_t i = 0; i < needle.size(); ++i) {
    auto a = static_cast<unsigned char>(t[p + i]);
    auto b = static_cast<unsigned char>(needle[i]);
    if (ignoreCase) {
      a = Fold(a);
      b = Fold(b);
    }
    if (a != b) return false;
  }
  return true;
}

int Find(const Str& t, const Str& needle, std::optional<int> start, bool ignoreCase) {
  std::size_t p = 0;
  if (start && *start >= 2) p = static_cast<std::size_t>(*start) - 1;
  if (p >= t.size()) return -1;
  if (needle.empty()) return 1;
  while (p < t.size()) {
    if (t.size() - p >= needle.size() && EqualAt(t, p, needle, ignoreCase)) {
      return static_cast<int>(p) + 1;
    }
    const std::size_t step = Step(t, p);
    if (step == 0) break;
    p += step;
  }
  return -1;
}

int FindLast(const Str& t, const Str& needle, bool ignoreCase) {
  if (t.empty()) return -1;
  if (needle.empty()) return 1;
  int last = -1;
  std::size_t p = 0;
  while (p < t.size()) {
    if (t.size() - p >= needle.size() && EqualAt(t, p, needle, ignoreCase)) {
      last = static_cast<int>(p) + 1;
    }
    const std::size_t step = Step(t, p);
    if (step == 0) break;
    p += step;
  }
  return last;
}

Str Trim(const Str& t) {
  std::size_t begin = 0;
  while (begin < t.size() && IsBlankAt(t, begin)) begin += t[begin] == ' ' ? 1 : 2;
  // Walk the rest, remembering where the last character that is no blank ends.
  std::size_t end = begin;
  std::size_t p = begin;
  while (p < t.size()) {
    const std::size_t step = Step(t, p);
    if (step == 0) return t.substr(begin, p - begin);  // the dangling byte alone goes
    if (!IsBlankAt(t, p)) end = p + step;
    p += step;
  }
  return t.substr(begin, end - begin);
}

Str RemoveSpaces(const Str& t) {
  Str out;
  std::size_t p = 0;
  while (p < t.size()) {
    const std::size_t step = Step(t, p);
    if (step == 0) break;
    if (!IsBlankAt(t, p)) out += t.substr(p, step);
    p += step;
  }
  return out;
}

Str ToLower(const Str& t) {
  Str out;
  std::size_t p = 0;
  while (p < t.size()) {
    std::size_t step = Step(t, p);
    if (step == 0) step = 1;  // a dangling lead byte is copied unchanged
    if (step == 1) {
      out.push_back(static_cast<char>(Fold(static_cast<unsigned char>(t[p]))));
    } else {
      out += t.substr(p, 2);
    }
    p += step;
  }
  return out;
}

Str Replace(const Str& t, const Str& find, const Str& replacement, bool caseSensitive) {
  if (t.empty() || find.empty()) return t;
  Str out;
  std::size_t p = 0;
  while (p < t.size()) {
    if (t.size() - p < find.size()) {
      out += t.substr(p);
      break;
    }
    if (EqualAt(t, p, find, !caseSensitive)) {
      out += replacement;
      p += find.size();
      continue;
    }
    const std::size_t step = Step(t, p);
    if (step == 0) break;  // a dangling lead byte without a match is dropped
    out += t.substr(p, step);
    p += step;
  }
  return out;
}

std::vector<Str> Split(const Str& t, const Str& separator) {
  std::vector<Str> pieces;
  if (t.empty()) return pieces;
  if (separator.empty()) return {t};
  std::size_t pieceStart = 0;
  std::size_t p = 0;
  while (p < t.size()) {
    if (t.size() - p >= separator.size() && EqualAt(t, p, separator, false)) {
      pieces.push_back(t.substr(pieceStart, p - pieceStart));
      p += separator.size();
      pieceStart = p;
      continue;
    }
    const std::size_t step = Step(t, p);
    if (step == 0) break;
    p += step;
  }
  if (pieceStart < t.size()) pieces.push_back(t.substr(pieceStart));
  return pieces;
}

std::int32_t ToInt(const Str& t) {
  Str folded;
  std::size_t p = 0;
  while (p < t.size()) {
    const auto c = static_cast<unsigned char>(t[p]);
    if (Step(t, p) != 2) {
      folded.push_back(t[p]);
      ++p;
      continue;
    }
    const auto d = static_cast<unsigned char>(t[p + 1]);
    if (c == 0xA3 && d >= 0xA1 && d <= 0xFE) {
      folded.push_back(static_cast<char>(d - 0x80));
    } else if (c == 0xA1 && d == 0xA1) {
      folded.push_back(' ');
    } else if (c == 0xA1 && d == 0xAB) {
      folded.push_back('~');
    } else if (c == 0xA1 && (d == 0xEE || d == 0xEF)) {
      folded.push_back('*');
    } else {
      folded += t.substr(p, 2);
    }
    p += 2;
  }
  std::size_t i = 0;
  while (i < folded.size() && (folded[i] == ' ' || (folded[i] >= 9 && folded[i] <= 13))) ++i;
  bool negative = false;
  if (i < folded.size() && (folded[i] == '+' || folded[i] == '-')) negative = folded[i++] == '-';
  std::int64_t value = 0;
  for (; i < folded.size() && folded[i] >= '0' && folded[i] <= '9'; ++i) {
    value = (value * 10 + (folded[i] - '0')) & 0xFFFFFFFF;
  }
  if (negative) value = (-value) & 0xFFFFFFFF;
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

Str Mid(const Str& t, int start, int n) {
  if (start < 1 || start > static_cast<int>(t.size()) || n <= 0) return {};
  return t.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

Str Left(const Str& t, int n) {
  return n <= 0 ? Str() : t.substr(0, static_cast<std::size_t>(n));
}

Str Right(const Str& t, int n) {
  if (n <= 0) return {};
  const std::size_t take = std::min(static_cast<std::size_t>(n), t.size());
  return t.substr(t.size() - take);
}

Str Between(const Str& t, const Str& left, const Str& right) {
  const int a = Find(t, left, std::nullopt, false);
  const int s = a + static_cast<int>(left.size());
  const int b = Find(t, right, s, false);
  return Mid(t, s, b - s);
}

Str BetweenEx(const Str& t, const Str& left, const Str& right) {
  const Str marker = "#\xD2\xFD\xBA\xC5";  // "#引号" in code page 936
  const Str left2 = Replace(left, marker, "\"", true);
  const Str right2 = Replace(right, marker, "\"", true);
  const int d = Find(t, left2, std::nullopt, true);
  if (d == -1) return {};
  const int from = d + static_cast<int>(left2.size());
  const int e = Find(t, right2, from, true);
  if (e == -1) return {};
  return Mid(t, from, e - from);
}

Str HeaderValue(const Str& line) {
  const int p = Find(line, ":", std::nullopt, false);
  if (p == -1) return {};
  return Trim(Right(line, static_cast<int>(line.size()) - p));
}

bool IsAscii(const Str& t) {
  return std::none_of(t.begin(), t.end(),
                      [](char c) { return IsLead(static_cast<unsigned char>(c)); });
}

}  // namespace merravine::model

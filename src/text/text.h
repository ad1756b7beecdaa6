// Text, Bytes and TextList: the value types that every subsystem passes around,
// and the primitive operations over them.
//
// Text is code page 936 (GBK) text without NUL bytes. Positions count bytes
// from 1 and a search that finds nothing yields -1. Every scanning operation
// steps over a double-byte character (a byte of 0x80 or above and the byte
// after it) as one unit, so none of them starts a match or a cut on a second
// byte. Case folding is the fixed ASCII A-Z rule, never the process locale.
//
// A Text is absent or present. The two behave alike everywhere except where a
// Text reaches an operating-system call: absent goes as a null pointer
// (CStrOrNull). Operations that produce an empty result produce an absent
// Text; TextJoin and literals produce present ones.
#pragma once

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace merravine {

class Text {
 public:
  // Absent.
  Text() = default;
  // A literal or C string: present (even when empty); a null pointer is absent.
  Text(const char* bytes);  // NOLINT(google-explicit-constructor): literals read naturally
  // Present, holding the bytes up to (not including) the first NUL, if any.
  explicit Text(std::string_view bytes);
  explicit Text(std::string&& bytes);

  // A result value: absent when empty, present otherwise.
  static Text Result(std::string_view bytes);
  static Text Result(std::string&& bytes);

  bool IsAbsent() const { return !present_; }
  int Length() const { return static_cast<int>(bytes_.size()); }
  std::string_view View() const { return bytes_; }
  const std::string& Str() const { return bytes_; }
  // What an operating-system call gets: null when absent, else NUL-terminated bytes.
  const char* CStrOrNull() const { return present_ ? bytes_.c_str() : nullptr; }

  // Output buffer use (TextBlank): writable bytes, followed by one NUL. After an
  // operating-system call has filled it, CutAtNul() keeps the bytes before the
  // first NUL.
  char* BufferData() { return bytes_.data(); }
  void CutAtNul();

  friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

 private:
  std::string bytes_;
  bool present_ = false;
};

// A counted byte sequence that may hold NUL bytes; absent equals empty.
class Bytes {
 public:
  Bytes() = default;
  explicit Bytes(std::string_view bytes) : bytes_(bytes) {}
  explicit Bytes(std::string&& bytes) : bytes_(std::move(bytes)) {}

  int Count() const { return static_cast<int>(bytes_.size()); }
  std::string_view View() const { return bytes_; }
  const char* Data() const { return bytes_.data(); }
  char* MutableData() { return bytes_.data(); }
  // Amortised append, for building a body piece by piece.
  void Append(std::string_view more) { bytes_.append(more); }
  void Reserve(std::size_t n) { bytes_.reserve(n); }
  // Keeps the first n bytes (n no more than the count).
  void Truncate(std::size_t n) { bytes_.resize(std::min(n, bytes_.size())); }

  friend bool operator==(const Bytes& a, const Bytes& b) { return a.bytes_ == b.bytes_; }

 private:
  std::string bytes_;
};

// An ordered list of Text, addressed 1 to count.
class TextList {
 public:
  int Count() const { return static_cast<int>(items_.size()); }
  // Element i, 1 <= i <= count; an index outside that range yields an absent Text.
  const Text& At(int i) const;
  void Append(Text t);
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  std::vector<Text> items_;
};

// --- Lengths, cuts and searches -------------------------------------------------
int TextLength(const Text& t);
Text TextLeft(const Text& t, int n);
Text TextRight(const Text& t, int n);
Text TextMid(const Text& t, int start, int n);
// start omitted: from byte 1.
int TextFind(const Text& t, const Text& needle, std::optional<int> start = std::nullopt,
             bool ignoreCase = false);
int TextFindLast(const Text& t, const Text& needle, bool ignoreCase = false);

// --- Transformations ------------------------------------------------------------
Text TextTrim(const Text& t);
Text TextRemoveSpaces(const Text& t);
Text TextToLower(const Text& t);
Text TextReplace(const Text& t, const Text& find, const Text& replacement, bool caseSensitive);
TextList TextSplit(const Text& t, const Text& separator);

// Concatenation; absent parts add nothing; the result is always present.
Text TextJoinParts(std::initializer_list<std::string_view> parts);

namespace text_detail {
// The bytes of one part of TextJoin, read in place. Literals and C strings
// stop at their NUL like any Text; a null pointer is an absent part.
inline std::string_view PartView(const Text& t) {
  return t.View();
}
inline std::string_view PartView(const char* s) {
  return s != nullptr ? std::string_view(s) : std::string_view();
}
inline std::string_view PartView(std::string_view s) {
  return s.substr(0, s.find('\0'));
}
inline std::string_view PartView(const std::string& s) {
  return PartView(std::string_view(s));
}
}  // namespace text_detail

template <typename... Parts>
Text TextJoin(const Text& first, const Parts&... rest) {
  return TextJoinParts({first.View(), text_detail::PartView(rest)...});
}

int TextCompare(const Text& a, const Text& b);

// --- Numbers --------------------------------------------------------------------
Text NumberToText(std::int32_t n);
std::int32_t TextToInt(const Text& t);

// --- Bytes ----------------------------------------------------------------------
Text BytesToText(const Bytes& b);
Bytes TextToBytes(const Text& t);
Bytes BytesJoinParts(std::initializer_list<std::string_view> parts);
// Taking the first part by value lets `body = BytesJoin(std::move(body), piece)`
// append in amortised time.
template <typename... Parts>
Bytes BytesJoin(Bytes first, const Parts&... rest) {
  (first.Append(rest.View()), ...);
  return first;
}
int BytesLength(const Bytes& b);
Bytes BytesLeft(const Bytes& b, int n);
bool BytesEqual(const Bytes& a, const Bytes& b);

// --- Buffers and small helpers --------------------------------------------------
Text TextBlank(int n);
Bytes BytesBlank(int n);
Text CharToText(unsigned char code);
// Flag values such as 0x80000000 are passed as int (static_cast<int>(0x80000000u)).
template <typename... Ints>
int BitOr(int a, int b, Ints... rest) {
  return ((a | b) | ... | static_cast<int>(rest));
}

// --- TextList -------------------------------------------------------------------
int TextListCount(const TextList& list);
Text TextListAt(const TextList& list, int i);
void TextListAppend(TextList& list, const Text& t);

}  // namespace merravine

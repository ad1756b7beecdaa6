// What the fuzz targets share: reading the input and stopping at the first
// broken expectation with a message that names it (libFuzzer then saves the
// input as a crash file).
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/text.h"

namespace merravine::fuzz {

// The bytes shown as a C string literal, so that a report can be pasted back.
inline std::string Escaped(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"') {
      out.push_back(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", u);
      out += hex;
    }
  }
  return out;
}

[[noreturn]] inline void Fail(const char* what, std::string_view got, std::string_view expected) {
  std::fprintf(stderr, "\nMODEL MISMATCH: %s\n  got:      \"%s\"\n  expected: \"%s\"\n", what,
               Escaped(got).c_str(), Escaped(expected).c_str());
  std::abort();
}

inline void Expect(bool ok, const char* what) {
  if (!ok) Fail(what, "false", "true");
}

inline void ExpectEqual(std::string_view got, std::string_view expected, const char* what) {
  if (got != expected) Fail(what, got, expected);
}

inline void ExpectEqual(long long got, long long expected, const char* what) {
  if (got != expected) Fail(what, std::to_string(got), std::to_string(expected));
}

// Whether the check of a known, reported fault is to be left out, so that a
// longer run can look past it: MERRAVINE_FUZZ_SKIP_KNOWN holds the names,
// separated by commas. By default every check runs.
inline bool SkipKnown(std::string_view name) {
  const char* list = std::getenv("MERRAVINE_FUZZ_SKIP_KNOWN");
  if (list == nullptr) return false;
  const std::string_view names(list);
  for (std::size_t at = 0; at <= names.size();) {
    const std::size_t comma = std::min(names.find(',', at), names.size());
    if (names.substr(at, comma - at) == name) return true;
    at = comma + 1;
  }
  return false;
}

// An empty field is handed over as an absent Text half of the time, since the
// two must behave alike.
inline Text AsText(const std::string& bytes, bool absentWhenEmpty) {
  if (bytes.empty() && absentWhenEmpty) return Text();
  return Text(std::string_view(bytes));
}

// A small reader over the first bytes of the input: option bits and numbers.
class Header {
 public:
  Header(const std::uint8_t*& data, std::size_t& size, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
      value_[i] = i < size ? data[i] : 0;
    }
    const std::size_t used = bytes < size ? bytes : size;
    data += used;
    size -= used;
  }
  std::uint8_t Byte(std::size_t i) const { return value_[i]; }
  bool Bit(std::size_t i, int bit) const { return (value_[i] >> bit) & 1U; }

 private:
  std::uint8_t value_[8] = {};
};

}  // namespace merravine::fuzz

// Slow, obviously-right versions of the text rules, written straight from the
// character rule (a byte of 0x80 or above starts a two-byte character whatever
// follows it) with plain loops over std::string. The fuzz targets compare the
// real routines with these; nothing here shares code with src/text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merravine::model {

using Str = std::string;

// The input split at NUL bytes into fields (a Text never holds a NUL, so the
// byte is free to separate them); missing fields are empty.
std::vector<Str> Fields(const std::uint8_t* data, std::size_t size, std::size_t count);

bool IsLead(unsigned char c);
// Step of the walk at p: 1, or 2 for a lead byte with a byte after it; a
// dangling lead byte yields 0 ("ends the walk").
std::size_t Step(const Str& t, std::size_t p);

bool EqualAt(const Str& t, std::size_t p, const Str& needle, bool ignoreCase);

// 1-based results, -1 for none, as the text layer counts.
int Find(const Str& t, const Str& needle, std::optional<int> start, bool ignoreCase);
int FindLast(const Str& t, const Str& needle, bool ignoreCase);
Str Trim(const Str& t);
Str RemoveSpaces(const Str& t);
Str ToLower(const Str& t);
Str Replace(const Str& t, const Str& find, const Str& replacement, bool caseSensitive);
std::vector<Str> Split(const Str& t, const Str& separator);
std::int32_t ToInt(const Str& t);
Str Mid(const Str& t, int start, int n);
Str Left(const Str& t, int n);
Str Right(const Str& t, int n);

Str Between(const Str& t, const Str& left, const Str& right);
Str BetweenEx(const Str& t, const Str& left, const Str& right);
Str HeaderValue(const Str& line);

// Whether every character of t is a one-byte character.
bool IsAscii(const Str& t);

}  // namespace merravine::model

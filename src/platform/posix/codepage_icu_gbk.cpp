// ICU's converter spends most of a UTF-16 to 936 conversion on its general
// multi-byte machinery, and the sizing call that precedes every conversion
// doubles that. Code page 936 is stateless and maps every character within
// the BMP on its own, so a table filled once from the converter itself gives
// the same bytes several times faster.
#include "platform/posix/codepage_icu_gbk.h"

#include <unicode/ucnv.h>

#include <array>
#include <climits>
#include <cstdint>
#include <memory>
#include <vector>

namespace platform::icu_gbk {

namespace {

constexpr std::size_t kUnits = 0x10000;
constexpr std::uint8_t kLengthMask = 0x03;
constexpr std::uint8_t kLacking = 0x80;  // with length 1: the default character stands in

struct Table {
  // Output length of each unit (1 or 2), kLacking set when the code page lacks it.
  std::array<std::uint8_t, kUnits> length{};
  // Its bytes; '?' for a unit that the code page lacks.
  std::array<std::array<char, 2>, kUnits> bytes{};
};

std::unique_ptr<Table> BuildTable() {
  UErrorCode error = U_ZERO_ERROR;
  std::unique_ptr<UConverter, void (*)(UConverter*)> converter(ucnv_open("windows-936", &error),
                                                               ucnv_close);
  if (U_FAILURE(error)) return nullptr;
  // Units that the code page lacks, and all surrogates, produce no bytes.
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr,
                        &error);
  std::vector<UChar> units(kUnits);
  for (std::size_t u = 0; u < kUnits; ++u) units[u] = static_cast<UChar>(u);
  std::vector<char> bytes(2 * kUnits);
  std::vector<int32_t> offsets(2 * kUnits);
  char* target = bytes.data();
  const UChar* source = units.data();
  ucnv_fromUnicode(converter.get(), &target, bytes.data() + bytes.size(), &source,
                   units.data() + units.size(), offsets.data(), true, &error);
  if (U_FAILURE(error)) return nullptr;
  auto table = std::make_unique<Table>();
  for (std::size_t i = 0; i < static_cast<std::size_t>(target - bytes.data()); ++i) {
    const auto unit = static_cast<std::size_t>(offsets[i]);
    std::uint8_t& length = table->length[unit];
    if (length == 2) return nullptr;  // not the stateless 1-2 byte code page expected
    table->bytes[unit][length++] = bytes[i];
  }
  for (std::size_t u = 0; u < kUnits; ++u) {
    if (table->length[u] == 0) {
      table->length[u] = 1 | kLacking;
      table->bytes[u][0] = '?';
    }
  }
  return table;
}

const Table* SharedTable() {
  static const std::unique_ptr<Table> table = BuildTable();
  return table.get();
}

// Whether the four units at p are ASCII other than NUL. Reads only as far as
// the first unit that fails, so no read passes a terminator.
bool IsAsciiRun(const char16_t* p) {
  return p[0] - 1U < 0x7FU && p[1] - 1U < 0x7FU && p[2] - 1U < 0x7FU && p[3] - 1U < 0x7FU;
}

// One pass over the units: up to and including the terminator when
// `untilTerminator`, else `count` units. Counts only when `destination` is
// null. Returns the byte count, or -1 when the destination is too small.
template <bool kUntilTerminator>
long long Run(const Table& table, const char16_t* source, long long count, char* destination,
              long long destinationSize, char defaultChar, std::uint8_t* seen) {
  std::uint8_t flags = 0;
  long long total = 0;
  const bool plainDefault = defaultChar == '?';
  for (long long i = 0; kUntilTerminator || i < count; ++i) {
    // Four ASCII units (no terminator among them) at a time: one byte each.
    while ((kUntilTerminator || count - i >= 4) &&
           (destination == nullptr || destinationSize - total >= 4) && IsAsciiRun(source + i)) {
      if (destination != nullptr) {
        for (int k = 0; k < 4; ++k) destination[total + k] = static_cast<char>(source[i + k]);
      }
      i += 4;
      total += 4;
    }
    const char16_t unit = source[i];
    const std::uint8_t entry = table.length[unit];
    flags |= entry;
    const int length = entry & kLengthMask;
    if (destination != nullptr) {
      const std::array<char, 2>& bytes = table.bytes[unit];
      char* out = destination + total;
      if (destinationSize - total >= 2) {
        out[0] = bytes[0];
        out[1] = bytes[1];  // overwritten by the next unit when length is 1
      } else if (destinationSize - total >= length) {
        out[0] = bytes[0];
      } else {
        return -1;
      }
      if (!plainDefault && (entry & kLacking) != 0) out[0] = defaultChar;
    }
    total += length;
    if (kUntilTerminator && unit == 0) break;
  }
  *seen = flags;
  return total;
}

}  // namespace

int FromUnicode(const char16_t* source, int sourceLength, char* destination, int destinationSize,
                char defaultChar, bool* usedDefault) {
  const Table* table = SharedTable();
  if (table == nullptr) return -1;
  if (destinationSize == 0) destination = nullptr;
  std::uint8_t seen = 0;
  const long long total = sourceLength < 0 ? Run<true>(*table, source, 0, destination,
                                                       destinationSize, defaultChar, &seen)
                                           : Run<false>(*table, source, sourceLength, destination,
                                                        destinationSize, defaultChar, &seen);
  if (total < 0 || total > INT_MAX) return 0;
  *usedDefault = (seen & kLacking) != 0;
  return static_cast<int>(total);
}

}  // namespace platform::icu_gbk

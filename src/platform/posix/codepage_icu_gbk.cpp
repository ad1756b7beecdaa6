// ICU's converter spends most of a UTF-16 to 936 conversion on its general
// multi-byte machinery, and the sizing call that precedes every conversion
// doubles that. Code page 936 is stateless and maps every character within
// the BMP on its own, so a table filled from the converter itself gives the
// same bytes several times faster.
#include "platform/posix/codepage_icu_gbk.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::icu_gbk {

namespace {

constexpr std::size_t kUnits = 0x10000;
constexpr std::size_t kBlockUnits = 0x100;
constexpr std::uint8_t kLengthMask = 0x03;
constexpr std::uint8_t kLacking = 0x80;  // with length 1: the default character stands in

// A process that converts a few Chinese titles needs a few blocks of the
// table, not all 65,536 units: filling the whole table from the converter costs
// about as much as converting 8 MiB. So each block of 256 units is filled the
// first time a unit of it is met; a length of 0 means "not filled yet".
class Table {
 public:
  // Output length of the unit (1 or 2), kLacking set when the code page lacks
  // it; 0 when no table can be had for its block.
  std::uint8_t Entry(char16_t unit) {
    const std::uint8_t entry = Load(unit);
    return entry != 0 ? entry : Fill(unit);
  }
  // Its bytes ('?' for a unit that the code page lacks); valid once Entry has
  // returned for the unit.
  const std::array<char, 2>& Bytes(char16_t unit) const { return bytes_[unit]; }

  bool Open() {
    UErrorCode error = U_ZERO_ERROR;
    converter_.reset(ucnv_open("windows-936", &error));
    if (U_FAILURE(error)) return false;
    // Units that the code page lacks, and all surrogates, produce no bytes.
    ucnv_setFromUCallBack(converter_.get(), UCNV_FROM_U_CALLBACK_SKIP, nullptr, nullptr, nullptr,
                          &error);
    return U_SUCCESS(error) && FillBlock(0);  // ASCII is needed at once; it also checks the shape
  }

 private:
  // 0 when the block is not the stateless 1-2 byte mapping expected; the
  // caller then leaves the conversion to the converter.
  std::uint8_t Fill(char16_t unit) {
    std::lock_guard<std::mutex> hold(lock_);
    if (Load(unit) == 0) FillBlock(unit / kBlockUnits);
    return Load(unit);
  }

  std::uint8_t Load(char16_t unit) {
    return std::atomic_ref<std::uint8_t>(length_[unit]).load(std::memory_order_acquire);
  }

  void MarkLacking(std::size_t unit) {
    bytes_[unit] = {'?', '\0'};
    std::atomic_ref<std::uint8_t>(length_[unit]).store(1 | kLacking, std::memory_order_release);
  }

  // Converts the block's units with the converter; called under the lock.
  bool FillBlock(std::size_t block) {
    std::array<UChar, kBlockUnits> units{};
    for (std::size_t k = 0; k < kBlockUnits; ++k)
      units[k] = static_cast<UChar>(block * kBlockUnits + k);
    std::array<char, 2 * kBlockUnits> bytes{};
    std::array<int32_t, 2 * kBlockUnits> offsets{};
    std::array<std::uint8_t, kBlockUnits> lengths{};
    char* target = bytes.data();
    const UChar* source = units.data();
    UErrorCode error = U_ZERO_ERROR;
    ucnv_resetFromUnicode(converter_.get());
    ucnv_fromUnicode(converter_.get(), &target, bytes.data() + bytes.size(), &source,
                     units.data() + units.size(), offsets.data(), true, &error);
    if (U_FAILURE(error)) return false;
    std::array<std::array<char, 2>, kBlockUnits> out{};
    for (std::size_t i = 0; i < static_cast<std::size_t>(target - bytes.data()); ++i) {
      const auto k = static_cast<std::size_t>(offsets[i]);
      if (k >= kBlockUnits || lengths[k] == 2) return false;
      out[k][lengths[k]++] = bytes[i];
    }
    for (std::size_t k = 0; k < kBlockUnits; ++k) {
      const std::size_t unit = block * kBlockUnits + k;
      if (lengths[k] == 0) {
        MarkLacking(unit);
        continue;
      }
      bytes_[unit] = out[k];
      std::atomic_ref<std::uint8_t>(length_[unit]).store(lengths[k], std::memory_order_release);
    }
    return true;
  }

  std::mutex lock_;
  std::unique_ptr<UConverter, void (*)(UConverter*)> converter_{nullptr, ucnv_close};
  alignas(
      std::atomic_ref<std::uint8_t>::required_alignment) std::array<std::uint8_t, kUnits> length_{};
  std::array<std::array<char, 2>, kUnits> bytes_{};
};

Table* SharedTable() {
  static Table* const table = [] {
    auto made = std::make_unique<Table>();
    return made->Open() ? made.release() : nullptr;
  }();
  return table;
}

// The index of the first zero unit among the first `limit` units, or `limit`
// when there is none. The scan reads whole aligned 16-byte blocks, which never
// cross into another page, so it may look at bytes after the terminator within
// the terminator's block (as the C library's own string scans do); those bytes
// never decide anything. `source` must be aligned to its units.
#if defined(__SSE2__)
__attribute__((no_sanitize("address"))) std::size_t ZeroWithin(const char16_t* source,
                                                               std::size_t limit) {
  const auto address = reinterpret_cast<std::uintptr_t>(source);
  std::size_t i = 0;
  for (; i < limit && (address + 2 * i) % 16 != 0; ++i) {
    if (source[i] == 0) return i;
  }
  const __m128i zero = _mm_setzero_si128();
  for (; i < limit; i += 8) {
    const __m128i block = _mm_load_si128(reinterpret_cast<const __m128i*>(source + i));
    const auto mask = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(block, zero)));
    if (mask != 0) return std::min(limit, i + static_cast<std::size_t>(std::countr_zero(mask)) / 2);
  }
  return limit;
}
#else
std::size_t ZeroWithin(const char16_t* source, std::size_t limit) {
  std::size_t i = 0;
  while (i < limit && source[i] != 0) ++i;
  return i;
}
#endif

// The leading units of [source, source + count) below 0x80, each one byte of
// the same value; copies them to `out` unless it is null.
template <bool kWriting>
std::size_t AsciiStretch(const char16_t* source, std::size_t count, char* out) {
  std::size_t k = 0;
#if defined(__SSE2__)
  const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF80));
  const __m128i zero = _mm_setzero_si128();
  for (; count - k >= 8; k += 8) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + k));
    const auto ascii =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(_mm_and_si128(block, high), zero)));
    if (ascii != 0xFFFF) {
      // The ASCII units before the first other one, then the caller's turn.
      const std::size_t leading = static_cast<std::size_t>(std::countr_one(ascii)) / 2;
      if constexpr (kWriting) {
        for (std::size_t j = 0; j < leading; ++j) out[k + j] = static_cast<char>(source[k + j]);
      }
      return k + leading;
    }
    if constexpr (kWriting) {
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + k), _mm_packus_epi16(block, block));
    }
  }
#endif
  for (; k < count && source[k] < 0x80; ++k) {
    if constexpr (kWriting) out[k] = static_cast<char>(source[k]);
  }
  return k;
}

constexpr long long kTooSmall = -1;
constexpr long long kNoTable = -2;

// One pass over `count` units. Counts only when `destination` is null.
// Returns the byte count, kTooSmall or kNoTable.
template <bool kWriting>
long long Run(Table& table, const char16_t* source, std::size_t count, char* destination,
              std::size_t destinationSize, char defaultChar, std::uint8_t* seen) {
  std::uint8_t flags = 0;
  std::size_t total = 0;
  std::size_t i = 0;
  const bool plainDefault = defaultChar == '?';
  while (i < count) {
    if (source[i] < 0x80) {
      const std::size_t room = kWriting ? std::min(count - i, destinationSize - total) : count - i;
      const std::size_t ascii =
          AsciiStretch<kWriting>(source + i, room, kWriting ? destination + total : nullptr);
      i += ascii;
      total += ascii;
      if (i == count) break;
    }
    const char16_t unit = source[i];
    const std::uint8_t entry = table.Entry(unit);
    if (entry == 0) return kNoTable;
    flags |= entry;
    const std::size_t length = entry & kLengthMask;
    if constexpr (kWriting) {
      if (destinationSize - total < length) return kTooSmall;
      const std::array<char, 2>& bytes = table.Bytes(unit);
      char* out = destination + total;
      out[0] = bytes[0];
      if (length == 2) out[1] = bytes[1];
      if (!plainDefault && (entry & kLacking) != 0) out[0] = defaultChar;
    }
    total += length;
    ++i;
  }
  *seen = flags;
  return static_cast<long long>(total);
}

// A terminated source is taken in pieces: each is measured and then converted
// while it is still in the cache, so a large text is not read once more from
// memory just to find its end.
template <bool kWriting>
long long RunTerminated(Table& table, const char16_t* source, char* destination,
                        std::size_t destinationSize, char defaultChar, std::uint8_t* seen) {
  constexpr std::size_t kPieceUnits = 4096;
  std::size_t total = 0;
  for (;;) {
    const std::size_t units = ZeroWithin(source, kPieceUnits);
    const bool last = units < kPieceUnits;
    const std::size_t count = last ? units + 1 : units;  // the terminator maps to the zero byte
    std::uint8_t pieceSeen = 0;
    const long long piece =
        Run<kWriting>(table, source, count, kWriting ? destination + total : nullptr,
                      kWriting ? destinationSize - total : 0, defaultChar, &pieceSeen);
    if (piece < 0) return piece;
    *seen |= pieceSeen;
    total += static_cast<std::size_t>(piece);
    if (last || total > INT_MAX) return static_cast<long long>(total);
    source += count;
  }
}

}  // namespace

int FromUnicode(const char16_t* source, int sourceLength, char* destination, int destinationSize,
                char defaultChar, bool* usedDefault) {
  Table* table = SharedTable();
  if (table == nullptr) return -1;
  if (destinationSize == 0) destination = nullptr;
  const auto size = static_cast<std::size_t>(destinationSize);
  std::uint8_t seen = 0;
  long long total = 0;
  if (sourceLength >= 0) {
    const auto count = static_cast<std::size_t>(sourceLength);
    total = destination == nullptr
                ? Run<false>(*table, source, count, nullptr, 0, defaultChar, &seen)
                : Run<true>(*table, source, count, destination, size, defaultChar, &seen);
  } else if (reinterpret_cast<std::uintptr_t>(source) % alignof(char16_t) != 0) {
    // Not aligned to its units: measured the plain way, then converted whole.
    const std::size_t count = std::char_traits<char16_t>::length(source) + 1;
    total = destination == nullptr
                ? Run<false>(*table, source, count, nullptr, 0, defaultChar, &seen)
                : Run<true>(*table, source, count, destination, size, defaultChar, &seen);
  } else {
    total = destination == nullptr
                ? RunTerminated<false>(*table, source, nullptr, 0, defaultChar, &seen)
                : RunTerminated<true>(*table, source, destination, size, defaultChar, &seen);
  }
  if (total == kNoTable) return -1;
  if (total < 0 || total > INT_MAX) return 0;
  *usedDefault = (seen & kLacking) != 0;
  return static_cast<int>(total);
}

}  // namespace platform::icu_gbk

// ICU's string conversion from UTF-8 handles every malformed input the way
// Windows' does, but it is the slowest step of converting a large answer, and
// the sizing call doubles it. Answers are mostly ASCII, so the well-formed
// stretch is decoded here, ASCII sixteen or eight bytes at a time and other characters
// by one test of their bit pattern; the first byte that does not begin a
// well-formed character (and the last three bytes of the input) go back to
// ICU, so the results stay ICU's.
#include "platform/posix/codepage_icu_utf8.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace platform::icu_utf8 {

namespace {

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

// For the ASCII test the byte order does not matter.
std::uint64_t Load8(const unsigned char* p) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  return word;
}

// Little-endian order whatever the machine: byte k in bits 8k to 8k+7.
std::uint32_t Load4(const unsigned char* p) {
  std::uint32_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap32(word);
  return word;
}

template <bool kCounting>
std::size_t Decode(const unsigned char* s, std::size_t length, char16_t* destination,
                   std::size_t capacity, std::size_t* units) {
  std::size_t i = 0;
  std::size_t u = 0;
  while (i < length) {
    if (!kCounting && capacity - u < 8) break;  // the last few units go through ICU
    const unsigned char c = s[i];
    if (c < 0x80) {
#if defined(__SSE2__)
      // Sixteen ASCII bytes at a time while both sides have the room.
      if (length - i >= 16 && (kCounting || capacity - u >= 24)) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
        const auto high = static_cast<unsigned>(_mm_movemask_epi8(block));
        if (high != 0) {
          // The ASCII bytes before the first other one; that one is decoded below.
          const auto leading = static_cast<std::size_t>(std::countr_zero(high));
          if constexpr (!kCounting) {
            for (std::size_t k = 0; k < leading; ++k) destination[u + k] = s[i + k];
          }
          i += leading;
          u += leading;
          continue;
        }
        if constexpr (!kCounting) {
          const __m128i zero = _mm_setzero_si128();
          _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + u),
                           _mm_unpacklo_epi8(block, zero));
          _mm_storeu_si128(reinterpret_cast<__m128i*>(destination + u + 8),
                           _mm_unpackhi_epi8(block, zero));
        }
        i += 16;
        u += 16;
        continue;
      }
#endif
      if (length - i >= 8) {
        const std::uint64_t word = Load8(s + i);
        if ((word & kHighBits) == 0) {
          if (!kCounting) {
            for (std::size_t k = 0; k < 8; ++k) destination[u + k] = s[i + k];
          }
          i += 8;
          u += 8;
          continue;
        }
      }
      if (!kCounting) destination[u] = c;
      ++i;
      ++u;
      continue;
    }
    if (length - i < 4) break;
    const std::uint32_t w = Load4(s + i);
    if ((w & 0xC0C0F0U) == 0x8080E0U) {  // three bytes: U+0800 to U+FFFF but no surrogate
      const std::uint32_t cp = (w & 0x0FU) << 12 | (w >> 2 & 0xFC0U) | (w >> 16 & 0x3FU);
      if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) break;
      if (!kCounting) destination[u] = static_cast<char16_t>(cp);
      i += 3;
      u += 1;
    } else if ((w & 0xC0E0U) == 0x80C0U) {  // two bytes: U+0080 to U+07FF
      const std::uint32_t cp = (w & 0x1FU) << 6 | (w >> 8 & 0x3FU);
      if (cp < 0x80) break;
      if (!kCounting) destination[u] = static_cast<char16_t>(cp);
      i += 2;
      u += 1;
    } else if ((w & 0xC0C0C0F8U) == 0x808080F0U) {  // four bytes: U+10000 to U+10FFFF
      const std::uint32_t cp =
          (w & 0x07U) << 18 | (w << 4 & 0x3F000U) | (w >> 10 & 0xFC0U) | (w >> 24 & 0x3FU);
      if (cp < 0x10000 || cp > 0x10FFFF) break;
      if (!kCounting) {
        destination[u] = static_cast<char16_t>(0xD7C0 + (cp >> 10));
        destination[u + 1] = static_cast<char16_t>(0xDC00 | (cp & 0x3FF));
      }
      i += 4;
      u += 2;
    } else {
      break;
    }
  }
  *units = u;
  return i;
}

}  // namespace

std::size_t DecodeWellFormed(const char* source, std::size_t length, char16_t* destination,
                             std::size_t capacity, std::size_t* units) {
  const auto* s = reinterpret_cast<const unsigned char*>(source);
  return destination == nullptr ? Decode<true>(s, length, nullptr, 0, units)
                                : Decode<false>(s, length, destination, capacity, units);
}

}  // namespace platform::icu_utf8

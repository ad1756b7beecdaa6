// The code-page calls over ICU's converters, behaving like kernel32's: code
// page 0 (the system's ANSI code page) is 936, invalid UTF-8 becomes U+FFFD,
// a character that the target code page cannot hold becomes its default
// character ('?'), and ICU's "windows-936" table is the Windows one, 0x80 for
// the euro sign included.
#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <climits>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage.h"
#include "platform/posix/codepage_icu_gbk.h"
#include "platform/posix/codepage_icu_utf8.h"

namespace platform {

namespace {

constexpr CodePage kCodePageOem = 1;         // CP_OEMCP: 936 as well on a Chinese system
constexpr CodePage kCodePageThreadAnsi = 3;  // CP_THREAD_ACP
constexpr CodePage kCodePageUtf7 = 65000;

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenByName(const std::string& name) {
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open(name.c_str(), &error));
  if (U_FAILURE(error)) return nullptr;
  return converter;
}

bool IsCodePage936(CodePage codePage) {
  return codePage == kCodePageAnsi || codePage == kCodePageOem || codePage == kCodePageThreadAnsi ||
         codePage == kCodePageGbk;
}

Converter OpenConverter(CodePage codePage) {
  if (IsCodePage936(codePage)) return OpenByName("windows-936");
  switch (codePage) {
    case kCodePageUtf8:
      return OpenByName("UTF-8");
    case kCodePageUtf7:
      return OpenByName("UTF-7");
    default: {
      Converter converter = OpenByName("windows-" + std::to_string(codePage));
      return converter ? std::move(converter) : OpenByName("cp" + std::to_string(codePage));
    }
  }
}

// Opening a converter costs several times more than converting a line of
// text, and the program converts line by line, so each thread keeps the
// converters it has opened for decoding. A converter holds the state of a
// conversion: it never leaves its thread and is reset before each use. Only
// decoding is pooled: its converters are all set up alike, while encoding may
// change a converter's substitution character.
UConverter* PooledDecoder(CodePage codePage) {
  constexpr std::size_t kMaxPooled = 8;
  if (IsCodePage936(codePage)) codePage = kCodePageGbk;
  thread_local std::vector<std::pair<CodePage, Converter>> pool;
  for (auto& [page, converter] : pool) {
    if (page == codePage) {
      ucnv_reset(converter.get());
      return converter.get();
    }
  }
  Converter opened = OpenConverter(codePage);
  if (!opened) return nullptr;
  if (pool.size() == kMaxPooled) pool.erase(pool.begin());
  pool.emplace_back(codePage, std::move(opened));
  return pool.back().second.get();
}

bool IsUnicodeCodePage(CodePage codePage) {
  return codePage == kCodePageUtf8 || codePage == kCodePageUtf7;
}

// Runs one whole conversion with ICU's streaming call `step`. With a
// destination size of 0 the output goes to a scratch buffer and is only
// counted. Returns the number of output units, or 0 when the destination is
// too small (it then holds as much as fitted) or the conversion fails. With
// `withTerminator` the source is the text before its terminator, and the zero
// unit is appended after the converter has been flushed: a stateful code page
// such as UTF-7 then ends its shift before the terminator instead of taking
// the terminator into it.
template <typename In, typename Out, typename Step>
int Convert(Step step, const In* source, int sourceLength, bool withTerminator, Out* destination,
            int destinationSize) {
  constexpr int kScratchUnits = 2048;
  Out scratch[kScratchUnits];
  const bool counting = destinationSize == 0;
  Out* const begin = counting ? scratch : destination;
  Out* const limit = counting ? scratch + kScratchUnits : destination + destinationSize;
  Out* target = begin;
  const In* next = source;
  long long total = 0;
  for (;;) {
    UErrorCode error = U_ZERO_ERROR;
    Out* const chunk = target;
    step(&target, limit, &next, source + sourceLength, &error);
    total += target - chunk;
    if (error == U_BUFFER_OVERFLOW_ERROR && counting) {
      target = scratch;
      continue;
    }
    if (U_FAILURE(error)) return 0;
    break;
  }
  if (withTerminator) {
    if (!counting) {
      if (total >= destinationSize) return 0;
      destination[total] = Out{0};
    }
    ++total;
  }
  return total > INT_MAX ? 0 : static_cast<int>(total);
}

template <typename Unit>
bool ValidArguments(const Unit* source, int sourceLength, const void* destination,
                    int destinationSize) {
  return source != nullptr && sourceLength != 0 && sourceLength >= -1 && destinationSize >= 0 &&
         (destination != nullptr || destinationSize == 0);
}

// Substitution as Windows does it: each UTF-16 unit of a character that the
// code page lacks becomes the default character (so a character outside the
// BMP gives two), and the caller may ask whether that happened.
void SubstituteEachUnit(const void* context, UConverterFromUnicodeArgs* args,
                        const UChar* /*codeUnits*/, int32_t length, UChar32 /*codePoint*/,
                        UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to write
  *static_cast<bool*>(const_cast<void*>(context)) = true;
  *error = U_ZERO_ERROR;
  for (int32_t i = 0; i < length && U_SUCCESS(*error); ++i) ucnv_cbFromUWriteSub(args, 0, error);
}

// Bytes that are no character of a non-Unicode code page become '?', the
// Unicode default character of code page 936, where ICU would give U+FFFD.
void DefaultCharacter(const void* /*context*/, UConverterToUnicodeArgs* args,
                      const char* /*codeUnits*/, int32_t /*length*/,
                      UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;
  *error = U_ZERO_ERROR;
  const UChar question = u'?';
  ucnv_cbToUWriteUChars(args, &question, 1, 0, error);
}

// UTF-8: the well-formed stretch is decoded directly, the rest by ICU's
// string function, which substitutes U+FFFD per maximal invalid subsequence.
// A destination larger than needed may get a zero unit after the result;
// nothing is written beyond destinationSize.
int FromUtf8(const char* source, int sourceLength, char16_t* destination, int destinationSize) {
  const bool counting = destinationSize == 0;
  std::size_t units = 0;
  const std::size_t consumed = icu_utf8::DecodeWellFormed(
      source, static_cast<std::size_t>(sourceLength), counting ? nullptr : destination,
      static_cast<std::size_t>(destinationSize), &units);
  if (consumed == static_cast<std::size_t>(sourceLength)) return static_cast<int>(units);
  int32_t rest = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8WithSub(counting ? nullptr : destination + units,
                       counting ? 0 : destinationSize - static_cast<int>(units), &rest,
                       source + consumed, sourceLength - static_cast<int>(consumed), 0xFFFD,
                       nullptr, &error);
  if (error == U_BUFFER_OVERFLOW_ERROR && counting) error = U_ZERO_ERROR;
  const long long total = static_cast<long long>(units) + rest;
  return U_FAILURE(error) || total > INT_MAX ? 0 : static_cast<int>(total);
}

int ToUtf8(const char16_t* source, int sourceLength, char* destination, int destinationSize) {
  int32_t length = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strToUTF8WithSub(destination, destinationSize, &length, source, sourceLength, 0xFFFD, nullptr,
                     &error);
  if (error == U_BUFFER_OVERFLOW_ERROR && destinationSize == 0) return length;
  return U_FAILURE(error) ? 0 : length;
}

}  // namespace

int MultiByteToWideChar(CodePage codePage, std::uint32_t flags, const char* source,
                        int sourceLength, char16_t* destination, int destinationSize) {
  if (flags != 0 || !ValidArguments(source, sourceLength, destination, destinationSize)) return 0;
  const bool withTerminator = sourceLength == -1;
  if (withTerminator) sourceLength = static_cast<int>(std::strlen(source)) + 1;
  if (codePage == kCodePageUtf8)
    return FromUtf8(source, sourceLength, destination, destinationSize);
  if (withTerminator) --sourceLength;  // appended after the flush, see Convert
  UConverter* const raw = PooledDecoder(codePage);
  if (raw == nullptr) return 0;
  if (!IsUnicodeCodePage(codePage)) {
    UErrorCode error = U_ZERO_ERROR;
    ucnv_setToUCallBack(raw, DefaultCharacter, nullptr, nullptr, nullptr, &error);
    if (U_FAILURE(error)) return 0;
  }
  return Convert<char, char16_t>(
      [raw](UChar** target, const UChar* limit, const char** next, const char* end,
            UErrorCode* error) {
        ucnv_toUnicode(raw, target, limit, next, end, nullptr, true, error);
      },
      source, sourceLength, withTerminator, destination, destinationSize);
}

int WideCharToMultiByte(CodePage codePage, std::uint32_t flags, const char16_t* source,
                        int sourceLength, char* destination, int destinationSize,
                        const char* defaultChar, bool* usedDefaultChar) {
  if (flags != 0 || !ValidArguments(source, sourceLength, destination, destinationSize)) return 0;
  // Windows refuses a default character, and the question whether it was
  // used, for the Unicode code pages.
  if (IsUnicodeCodePage(codePage) && (defaultChar != nullptr || usedDefaultChar != nullptr)) {
    return 0;
  }
  bool used = false;
  if (IsCodePage936(codePage)) {
    const int result = icu_gbk::FromUnicode(
        source, sourceLength, destination, destinationSize,
        defaultChar != nullptr && *defaultChar != '\0' ? *defaultChar : '?', &used);
    if (result >= 0) {
      if (usedDefaultChar != nullptr) *usedDefaultChar = used;
      return result;
    }
  }
  const bool withTerminator = sourceLength == -1;
  if (withTerminator) {
    sourceLength = static_cast<int>(std::char_traits<char16_t>::length(source)) + 1;
  }
  if (codePage == kCodePageUtf8) return ToUtf8(source, sourceLength, destination, destinationSize);
  if (withTerminator) --sourceLength;  // appended after the flush, see Convert
  const Converter converter = OpenConverter(codePage);
  if (!converter) return 0;
  UConverter* const raw = converter.get();
  UErrorCode error = U_ZERO_ERROR;
  if (defaultChar != nullptr && *defaultChar != '\0') {
    ucnv_setSubstChars(raw, defaultChar, 1, &error);
    if (U_FAILURE(error)) return 0;
  }
  ucnv_setFromUCallBack(raw, SubstituteEachUnit, &used, nullptr, nullptr, &error);
  if (U_FAILURE(error)) return 0;
  const int result = Convert<char16_t, char>(
      [raw](char** target, const char* limit, const UChar** next, const UChar* end,
            UErrorCode* conversionError) {
        ucnv_fromUnicode(raw, target, limit, next, end, nullptr, true, conversionError);
      },
      source, sourceLength, withTerminator, destination, destinationSize);
  if (usedDefaultChar != nullptr) *usedDefaultChar = used;
  return result;
}

}  // namespace platform

// Each stage converts once into a buffer sized for the worst case of the code
// page it converts, and counts first only when that was not enough. Either
// way the size comes from the code page actually converted, so the buffer
// always holds the whole conversion and its terminator; counting in another
// code page can give a smaller number, after which the next stage would read
// past the end of its input.
#include "text/charset.h"

#include <climits>
#include <string>

#include "platform/codepage.h"

namespace merravine {

namespace {

constexpr std::uint32_t kNoFlags = 0;
constexpr int kUpToTerminator = -1;

bool IsZeroUnitAt(std::string_view bytes, std::size_t unit) {
  return bytes[2 * unit] == '\0' && bytes[2 * unit + 1] == '\0';
}

// Whether the units hold a zero unit, so that a read up to the terminator
// stays inside them. A converted value ends in one, so look there first.
bool HoldsTerminator(std::string_view bytes) {
  const std::size_t units = bytes.size() / 2;
  if (units == 0) return false;
  if (IsZeroUnitAt(bytes, units - 1)) return true;
  for (std::size_t i = 0; i + 1 < units; ++i) {
    if (IsZeroUnitAt(bytes, i)) return true;
  }
  return false;
}

}  // namespace

Text Utf8ToGbk(const Text& t) {
  return WideToMulti(MultiToWide(t), kCodePageGbk);
}

Bytes MultiToWide(const Text& t, int codePage) {
  const auto page = static_cast<platform::CodePage>(codePage);
  const char* source = t.CStrOrNull();
  // One pass into a buffer as large as any code page needs (a byte never
  // gives more than one UTF-16 unit, the terminator included), trimmed after;
  // counting first would decode everything twice. A conversion that does not
  // fit after all is repeated the counting way.
  const std::size_t bound = t.Length() + 1;
  if (source != nullptr && bound <= INT_MAX / 2) {
    Bytes buffer = BytesBlank(static_cast<int>(bound * 2));
    const int units = platform::MultiByteToWideChar(
        page, kNoFlags, source, kUpToTerminator, reinterpret_cast<char16_t*>(buffer.MutableData()),
        static_cast<int>(bound));
    if (units > 0) {
      buffer.Truncate(static_cast<std::size_t>(units) * 2);
      return buffer;
    }
  }
  const int units =
      platform::MultiByteToWideChar(page, kNoFlags, source, kUpToTerminator, nullptr, 0);
  if (units <= 0 || units > INT_MAX / 2) return Bytes();
  Bytes buffer = BytesBlank(units * 2);
  platform::MultiByteToWideChar(page, kNoFlags, source, kUpToTerminator,
                                reinterpret_cast<char16_t*>(buffer.MutableData()), units);
  return buffer;
}

Text WideToMulti(const Bytes& w, int codePage) {
  const char16_t* source = nullptr;
  std::u16string terminated;  // only for units that lack a terminator of their own
  if (HoldsTerminator(w.View())) {
    source = reinterpret_cast<const char16_t*>(w.Data());
  } else if (w.Count() >= 2) {
    terminated.resize(static_cast<std::size_t>(w.Count() / 2));
    for (std::size_t i = 0; i < terminated.size(); ++i) {
      terminated[i] = static_cast<char16_t>(static_cast<unsigned char>(w.View()[2 * i]) |
                                            static_cast<unsigned char>(w.View()[2 * i + 1]) << 8);
    }
    source = terminated.c_str();
  }
  const auto page = static_cast<platform::CodePage>(codePage);
  // As above, one pass into a buffer large enough for UTF-8 (three bytes a
  // unit at most) and for the double-byte code pages (two), repeated the
  // counting way when a code page needs more.
  if (source != nullptr) {
    const std::size_t units = std::char_traits<char16_t>::length(source) + 1;
    const std::size_t perUnit = page == platform::kCodePageUtf8 ? 3 : 2;
    if (units <= INT_MAX / perUnit) {
      Text buffer = TextBlank(static_cast<int>(units * perUnit));
      const int size =
          platform::WideCharToMultiByte(page, kNoFlags, source, kUpToTerminator,
                                        buffer.BufferData(), buffer.Length(), nullptr, nullptr);
      if (size > 0) {
        buffer.CutAtNul();
        if (buffer.Length() == 0) return Text();
        return buffer;
      }
    }
  }
  const int size = platform::WideCharToMultiByte(page, kNoFlags, source, kUpToTerminator, nullptr,
                                                 0, nullptr, nullptr);
  if (size <= 0) return Text();
  Text buffer = TextBlank(size);
  platform::WideCharToMultiByte(page, kNoFlags, source, kUpToTerminator, buffer.BufferData(), size,
                                nullptr, nullptr);
  buffer.CutAtNul();
  if (buffer.Length() == 0) return Text();
  return buffer;  // moved, where the conditional operator would copy it
}

}  // namespace merravine

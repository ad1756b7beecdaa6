// Both stages size their buffer by counting in the code page that they
// actually convert, so the buffer always holds the whole conversion and its
// terminator; counting in another code page can give a smaller number, after
// which the next stage would read past the end of its input.
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
  const int units =
      platform::MultiByteToWideChar(page, kNoFlags, t.CStrOrNull(), kUpToTerminator, nullptr, 0);
  if (units <= 0 || units > INT_MAX / 2) return Bytes();
  Bytes buffer = BytesBlank(units * 2);
  platform::MultiByteToWideChar(page, kNoFlags, t.CStrOrNull(), kUpToTerminator,
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

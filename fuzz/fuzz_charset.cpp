// The code-page conversions: Utf8ToGbk over any bytes, and the two stages
// with any code page and UTF-16 input that need not be terminated.
//
// Input: one header byte (which code page, which stage input), then the
// bytes. For the UTF-16 stage the raw bytes (NULs included) are the units.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/charset.h"
#include "text/text.h"
#include "text_model.h"

namespace {

int PickCodePage(std::uint8_t selector, const std::uint8_t* data, std::size_t size) {
  switch (selector % 6) {
    case 0:
      return merravine::kCodePageAnsi;
    case 1:
      return merravine::kCodePageUtf8;
    case 2:
      return merravine::kCodePageGbk;
    case 3:
      return 1252;
    case 4:
      return 65000;  // UTF-7, refused or not by the platform
    default: {
      std::uint32_t page = 0;
      for (std::size_t i = 0; i < size && i < 4; ++i) page = page << 8 | data[i];
      return static_cast<int>(page);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const fuzz::Header header(data, size, 1);
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const Text t(std::string_view{bytes});  // up to the first NUL

  const Text gbk = Utf8ToGbk(t);
  if (model::IsAscii(std::string(t.View()))) {
    fuzz::ExpectEqual(gbk.View(), t.View(), "Utf8ToGbk of ASCII is the input");
  }
  // Each UTF-8 byte gives at most one UTF-16 unit, each unit at most two bytes.
  fuzz::Expect(TextLength(gbk) <= 2 * TextLength(t), "Utf8ToGbk at most twice as long");
  fuzz::Expect(TextLength(gbk) > 0 || gbk.IsAbsent(), "empty Utf8ToGbk is absent");

  const int page = PickCodePage(header.Byte(0), data, size);
  const Bytes wide = MultiToWide(t, page);
  fuzz::Expect(BytesLength(wide) % 2 == 0, "MultiToWide gives whole units");
  if (BytesLength(wide) > 0) {
    const std::string_view w = wide.View();
    fuzz::Expect(w[w.size() - 1] == '\0' && w[w.size() - 2] == '\0',
                 "MultiToWide ends in a zero unit");
  }
  (void)WideToMulti(wide, page);
  // Units straight from the input: odd counts, no terminator, lone surrogates.
  (void)WideToMulti(Bytes(std::string_view{bytes}), page);
  (void)WideToMulti(Bytes(std::string_view{bytes}), kCodePageGbk);
  return 0;
}

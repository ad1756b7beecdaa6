// TextBetween, TextBetweenEx and HeaderValue against the model, plus what a
// found field must satisfy.
//
// Input: one header byte (option bits), then the fields t, left and right
// separated by NUL bytes.
#include <cstdint>
#include <string>

#include "fuzz_check.h"
#include "text/delimited.h"
#include "text/text.h"
#include "text_model.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace merravine;
  const fuzz::Header header(data, size, 1);
  const std::vector<std::string> fields = model::Fields(data, size, 3);
  const Text t = fuzz::AsText(fields[0], header.Bit(0, 0));
  const Text left = fuzz::AsText(fields[1], header.Bit(0, 1));
  const Text right = fuzz::AsText(fields[2], header.Bit(0, 2));

  const Text between = TextBetween(t, left, right);
  fuzz::ExpectEqual(between.View(), model::Between(fields[0], fields[1], fields[2]), "TextBetween");
  // A field found between two delimiters that both occur is followed by the
  // right delimiter.
  const int a = TextFind(t, left);
  if (a != -1 && TextLength(between) > 0) {
    const int from = a + TextLength(left);
    fuzz::ExpectEqual(TextMid(t, from + TextLength(between), TextLength(right)).View(),
                      right.View(), "TextBetween stops at the right delimiter");
  }

  const Text betweenEx = TextBetweenEx(t, left, right);
  fuzz::ExpectEqual(betweenEx.View(), model::BetweenEx(fields[0], fields[1], fields[2]),
                    "TextBetweenEx");
  // With the defaults the start may also be given as 0 or 1.
  fuzz::Expect(TextBetweenEx(t, left, right, 1) == betweenEx, "TextBetweenEx from 1");
  fuzz::Expect(TextBetweenEx(t, left, right, 0) == betweenEx, "TextBetweenEx from 0");

  const Text value = HeaderValue(t);
  fuzz::ExpectEqual(value.View(), model::HeaderValue(fields[0]), "HeaderValue");
  return 0;
}

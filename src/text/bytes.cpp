// Bytes: counted byte sequences that may hold NUL.
#include "text/text.h"

namespace merravine {

Text BytesToText(const Bytes& b) {
  return Text::Result(b.View());
}

Bytes TextToBytes(const Text& t) {
  return Bytes(t.View());
}

Bytes BytesJoinParts(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (std::string_view part : parts) total += part.size();
  std::string out;
  out.reserve(total);
  for (std::string_view part : parts) out.append(part);
  return Bytes(std::move(out));
}

int BytesLength(const Bytes& b) {
  return b.Count();
}

Bytes BytesLeft(const Bytes& b, int n) {
  if (n <= 0) return Bytes();
  return Bytes(b.View().substr(0, static_cast<std::size_t>(n)));
}

bool BytesEqual(const Bytes& a, const Bytes& b) {
  return a == b;
}

Bytes BytesBlank(int n) {
  if (n <= 0) return Bytes();
  return Bytes(std::string(static_cast<std::size_t>(n), '\0'));
}

}  // namespace merravine

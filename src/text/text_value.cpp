// The Text value itself and the cuts by position.
#include <algorithm>
#include <cstring>

#include "text/text.h"

namespace merravine {

namespace {

std::string_view UpToNul(std::string_view bytes) {
  return bytes.substr(0, bytes.find('\0'));
}

}  // namespace

Text::Text(const char* bytes) : present_(bytes != nullptr) {
  if (bytes != nullptr) bytes_.assign(bytes, std::strlen(bytes));
}

Text::Text(std::string_view bytes) : bytes_(UpToNul(bytes)), present_(true) {}

Text::Text(std::string&& bytes) : bytes_(std::move(bytes)), present_(true) {
  CutAtNul();
}

Text Text::Result(std::string_view bytes) {
  bytes = UpToNul(bytes);
  return bytes.empty() ? Text() : Text(bytes);
}

Text Text::Result(std::string&& bytes) {
  Text t(std::move(bytes));
  if (t.bytes_.empty()) t.present_ = false;
  return t;
}

void Text::CutAtNul() {
  const auto nul = bytes_.find('\0');
  if (nul != std::string::npos) bytes_.resize(nul);
}

int TextLength(const Text& t) {
  return t.Length();
}

Text TextLeft(const Text& t, int n) {
  if (n <= 0) return Text();
  return Text::Result(t.View().substr(0, static_cast<std::size_t>(n)));
}

Text TextRight(const Text& t, int n) {
  if (n <= 0) return Text();
  const std::size_t take = std::min(static_cast<std::size_t>(n), t.View().size());
  return Text::Result(t.View().substr(t.View().size() - take));
}

Text TextMid(const Text& t, int start, int n) {
  // A start before the text is not moved to 1: the result is empty.
  if (start < 1 || start > t.Length() || n <= 0) return Text();
  return Text::Result(
      t.View().substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(n)));
}

Text TextBlank(int n) {
  if (n <= 0) return Text();
  return Text(std::string(static_cast<std::size_t>(n), ' '));
}

Text CharToText(unsigned char code) {
  if (code == 0) return Text();
  return Text(std::string(1, static_cast<char>(code)));
}

}  // namespace merravine

#include "bench_inputs.h"

#include <cstdint>
#include <map>
#include <string>

namespace merravine::bench {

namespace {

// A small linear congruential generator: the same text on every run.
class Random {
 public:
  std::uint32_t Next(std::uint32_t bound) {
    state_ = state_ * 1664525U + 1013904223U;
    return (state_ >> 8) % bound;
  }

 private:
  std::uint32_t state_ = 12345;
};

constexpr std::string_view kWords[] = {"title", "seriNum", "getVideoUrl", "http://v/", "A1", "ok"};

void AppendGbkPiece(std::string& out, Random& random) {
  switch (random.Next(4)) {
    case 0:  // an ASCII word
      out.append(kWords[random.Next(std::size(kWords))]);
      out.push_back(' ');
      break;
    case 1:  // a character whose second byte is an ASCII letter (lead 0x81-0xA0)
      out.push_back(static_cast<char>(0x81 + random.Next(0x20)));
      out.push_back(static_cast<char>(0x41 + random.Next(26)));
      break;
    default:  // common Chinese characters (lead 0xB0-0xD7, second 0xA1-0xFE)
      for (std::uint32_t i = 0, n = 1 + random.Next(6); i < n; ++i) {
        out.push_back(static_cast<char>(0xB0 + random.Next(0x28)));
        out.push_back(static_cast<char>(0xA1 + random.Next(0x5E)));
      }
      break;
  }
  if (random.Next(16) == 0) out.append("\r\n");
}

void AppendCjk(std::string& out, Random& random) {
  // CJK unified ideographs U+4E00..U+9FA5 are all in code page 936.
  const std::uint32_t c = 0x4E00 + random.Next(0x9FA6 - 0x4E00);
  out.push_back(static_cast<char>(0xE0 | (c >> 12)));
  out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
  out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
}

void AppendUtf8Piece(std::string& out, Random& random) {
  if (random.Next(3) == 0) {
    out.append(kWords[random.Next(std::size(kWords))]);
    out.push_back(' ');
    return;
  }
  for (std::uint32_t i = 0, n = 1 + random.Next(6); i < n; ++i) AppendCjk(out, random);
}

void AppendLessonRecord(std::string& out, Random& random, int lesson) {
  const std::string number = std::to_string(lesson);
  out.append("{\"seriNum\":\"").append(number).append("\",\"title\":\"");
  out.append("\xE7\xAC\xAC").append(number).append("\xE8\xAF\xBE ");  // "第" n "课"
  for (std::uint32_t i = 0, n = 3 + random.Next(8); i < n; ++i) AppendCjk(out, random);
  out.append("\",\"getVideoUrl\":\"http://course.example.com/ajax/getvideourl_400004169_")
      .append(number)
      .append(".shtml\",\"subtitleUrl\":\"\"},");
}

}  // namespace

const std::string& MixedGbk(std::size_t size) {
  static std::map<std::size_t, std::string> cache;
  std::string& text = cache[size];
  if (text.empty()) {
    Random random;
    const std::string_view tail = ".shtml";
    text = "play_";
    while (text.size() + 16 < size - tail.size() - kNeedle.size()) AppendGbkPiece(text, random);
    while (text.size() < size - tail.size() - kNeedle.size()) text.push_back('x');
    text.append(tail);
    text.append(kNeedle);
  }
  return text;
}

const std::string& MixedUtf8(std::size_t size) {
  static std::map<std::size_t, std::string> cache;
  std::string& text = cache[size];
  if (text.empty()) {
    Random random;
    while (text.size() < size) AppendUtf8Piece(text, random);
  }
  return text;
}

const std::string& AnswerUtf8(std::size_t size) {
  static std::map<std::size_t, std::string> cache;
  std::string& text = cache[size];
  if (text.empty()) {
    Random random;
    text = "{\"result\":[";
    for (int lesson = 1; text.size() < size; ++lesson) AppendLessonRecord(text, random, lesson);
  }
  return text;
}

}  // namespace merravine::bench

// Create + reading every match of "seriNum.*?subtitleUrl" over a course answer
// of 2,000 records (about 1 MB of code page 936 text), as the course listing
// does it, against ICU's regular-expression C API doing the same matching
// directly: once over the UTF-16 text alone, and once with the same
// conversions (the answer into UTF-16, each match back to code page 936).
#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>
#include <unicode/uregex.h>

#include <string>
#include <vector>

#include "regex/regex_object.h"

namespace {

constexpr const char* kPattern = "seriNum.*?subtitleUrl";
constexpr char16_t kIcuPattern[] = u"seriNum.*?subtitleUrl";

// One record of a course answer: a lesson title in Chinese and the addresses,
// about 500 bytes.
std::string CourseAnswer(int records) {
  const std::string title = "\xB5\xDA\xD2\xBB\xBF\xCE\x20\xB8\xB4\xD6\xC6";  // 第一课 复制
  std::string answer = "{\"result\":{\"list\":[";
  for (int i = 0; i < records; ++i) {
    answer += "{\"seriNum\":" + std::to_string(i + 1) + ",\"title\":\"" + title +
              std::to_string(i + 1) +
              "\",\"getVideoUrl\":\"http://course.example.com/ajax/getvideourl_" +
              std::to_string(400004169 + i) + ".shtml\",\"image\":\"http://img.example.com/" +
              std::string(220, 'p') + ".jpg\",\"duration\":\"00:45:12\",\"subtitleUrl\":\"\"},";
  }
  answer += "]}}";
  return answer;
}

const std::string& Answer() {
  static const std::string answer = CourseAnswer(2000);
  return answer;
}

void RegexObjectReadAll(benchmark::State& state) {
  const merravine::Text subject(Answer().c_str());
  for (auto _ : state) {
    merravine::RegexObject regex;
    regex.Create(kPattern, subject);
    const int count = regex.MatchCount();
    std::size_t bytes = 0;
    for (int i = 1; i <= count; ++i) bytes += regex.MatchText(i).Str().size();
    benchmark::DoNotOptimize(bytes);
    if (count != 2000) state.SkipWithError("wrong number of matches");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Answer().size()));
}
BENCHMARK(RegexObjectReadAll)->Unit(benchmark::kMillisecond);

std::u16string ToUtf16(UConverter* gbk, const std::string& bytes) {
  std::u16string wide(bytes.size() + 1, u'\0');
  UErrorCode status = U_ZERO_ERROR;
  const int32_t n =
      ucnv_toUChars(gbk, reinterpret_cast<UChar*>(wide.data()), static_cast<int32_t>(wide.size()),
                    bytes.data(), static_cast<int32_t>(bytes.size()), &status);
  wide.resize(static_cast<std::size_t>(n));
  return wide;
}

// ICU's API straight: open, set the text, find every match.
std::size_t IcuMatchAll(const std::u16string& subject, UConverter* gbk) {
  UErrorCode status = U_ZERO_ERROR;
  URegularExpression* regex =
      uregex_open(reinterpret_cast<const UChar*>(kIcuPattern), -1,
                  UREGEX_CASE_INSENSITIVE | UREGEX_MULTILINE, nullptr, &status);
  uregex_setText(regex, reinterpret_cast<const UChar*>(subject.data()),
                 static_cast<int32_t>(subject.size()), &status);
  std::size_t total = 0;
  std::string bytes;
  while (uregex_findNext(regex, &status)) {
    const int32_t start = uregex_start(regex, 0, &status);
    const int32_t end = uregex_end(regex, 0, &status);
    if (gbk) {
      bytes.resize(static_cast<std::size_t>(end - start) * 2 + 1);
      total += static_cast<std::size_t>(ucnv_fromUChars(
          gbk, bytes.data(), static_cast<int32_t>(bytes.size()),
          reinterpret_cast<const UChar*>(subject.data() + start), end - start, &status));
    } else {
      total += static_cast<std::size_t>(end - start);
    }
  }
  uregex_close(regex);
  return total;
}

void IcuDirectMatchOnly(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* gbk = ucnv_open("windows-936", &status);
  const std::u16string subject = ToUtf16(gbk, Answer());
  for (auto _ : state) benchmark::DoNotOptimize(IcuMatchAll(subject, nullptr));
  ucnv_close(gbk);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Answer().size()));
}
BENCHMARK(IcuDirectMatchOnly)->Unit(benchmark::kMillisecond);

void IcuDirectWithConversions(benchmark::State& state) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* gbk = ucnv_open("windows-936", &status);
  for (auto _ : state) {
    const std::u16string subject = ToUtf16(gbk, Answer());
    benchmark::DoNotOptimize(IcuMatchAll(subject, gbk));
  }
  ucnv_close(gbk);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * Answer().size()));
}
BENCHMARK(IcuDirectWithConversions)->Unit(benchmark::kMillisecond);

}  // namespace

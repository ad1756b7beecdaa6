// Throughput of the text layer over 1 MiB and 8 MiB of double-byte text: the
// 8 MiB run must cost about 8 times the 1 MiB run (nothing quadratic), and the
// searches and the conversion are compared with their plain references.
#include <benchmark/benchmark.h>
#include <unicode/ucnv.h>

#include <string>
#include <string_view>

#include "bench_inputs.h"
#include "text/charset.h"
#include "text/delimited.h"
#include "text/text.h"

namespace merravine::bench {
namespace {

constexpr std::int64_t kOneMiB = 1 << 20;

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(kOneMiB)->Arg(8 * kOneMiB)->Unit(benchmark::kMillisecond);
}

std::size_t ArgSize(const benchmark::State& state) {
  return static_cast<std::size_t>(state.range(0));
}

void BM_TextFind(benchmark::State& state) {
  const Text t(MixedGbk(ArgSize(state)));
  const Text needle(kNeedle);
  for (auto _ : state) benchmark::DoNotOptimize(TextFind(t, needle));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TextFind)->Apply(Sizes);

// The reference: a byte search that knows nothing of double-byte characters.
void BM_StringViewFind(benchmark::State& state) {
  const std::string_view t = MixedGbk(ArgSize(state));
  for (auto _ : state) benchmark::DoNotOptimize(t.find(kNeedle));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StringViewFind)->Apply(Sizes);

void BM_TextBetween(benchmark::State& state) {
  const Text t(MixedGbk(ArgSize(state)));
  const Text left("play_");
  const Text right(".shtml");
  for (auto _ : state) benchmark::DoNotOptimize(TextBetween(t, left, right));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TextBetween)->Apply(Sizes);

// The reference: the same two searches and the copy, on plain strings.
void BM_StringBetween(benchmark::State& state) {
  const std::string_view t = MixedGbk(ArgSize(state));
  for (auto _ : state) {
    const std::size_t left = t.find("play_") + 5;
    const std::size_t right = t.find(".shtml", left);
    benchmark::DoNotOptimize(std::string(t.substr(left, right - left)));
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_StringBetween)->Apply(Sizes);

void BM_TextSplit(benchmark::State& state) {
  const Text t(MixedGbk(ArgSize(state)));
  const Text separator("\r\n");
  for (auto _ : state) benchmark::DoNotOptimize(TextSplit(t, separator));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TextSplit)->Apply(Sizes);

void BM_TextReplace(benchmark::State& state) {
  const Text t(MixedGbk(ArgSize(state)));
  const Text find(" ");
  const Text replacement("%20");
  for (auto _ : state) benchmark::DoNotOptimize(TextReplace(t, find, replacement, true));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_TextReplace)->Apply(Sizes);

// Utf8ToGbk makes four passes (a sizing call and a conversion per stage);
// the reference is one direct ICU conversion from UTF-8 to 936 into a buffer
// that is large enough (a code page 936 character never takes more bytes than
// its UTF-8 form).
template <const std::string& (*kInput)(std::size_t)>
void BM_Utf8ToGbk(benchmark::State& state) {
  const Text t(kInput(ArgSize(state)));
  for (auto _ : state) benchmark::DoNotOptimize(Utf8ToGbk(t));
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Utf8ToGbk<AnswerUtf8>)->Name("BM_Utf8ToGbk_Answer")->Apply(Sizes);
BENCHMARK(BM_Utf8ToGbk<MixedUtf8>)->Name("BM_Utf8ToGbk_DenseMix")->Apply(Sizes);

template <const std::string& (*kInput)(std::size_t)>
void BM_IcuUtf8To936(benchmark::State& state) {
  const std::string& t = kInput(ArgSize(state));
  std::string out(t.size() + 1, '\0');
  for (auto _ : state) {
    UErrorCode error = U_ZERO_ERROR;
    const int32_t n =
        ucnv_convert("windows-936", "UTF-8", out.data(), static_cast<int32_t>(out.size()), t.data(),
                     static_cast<int32_t>(t.size()), &error);
    if (U_FAILURE(error)) state.SkipWithError("ICU conversion failed");
    benchmark::DoNotOptimize(n);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_IcuUtf8To936<AnswerUtf8>)->Name("BM_IcuUtf8To936_Answer")->Apply(Sizes);
BENCHMARK(BM_IcuUtf8To936<MixedUtf8>)->Name("BM_IcuUtf8To936_DenseMix")->Apply(Sizes);

}  // namespace
}  // namespace merravine::bench

BENCHMARK_MAIN();

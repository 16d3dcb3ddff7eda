// Code page 932 conversion of typical label and expression texts. Reported as ratios:
// our helper against a bare iconv call on a descriptor opened once (the floor), and
// against opening a descriptor for every text (what a naive helper would cost).
#include <benchmark/benchmark.h>
#include <iconv.h>

#include <string>
#include <vector>

#include "platform/text_encoding.h"

namespace {

const std::vector<std::string>& Labels() {
  static const std::vector<std::string> labels = {
      "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E",  // font name
      "\x89\xE6\x96\xCA\x31",                                          // screen title
      "\x87\x40\x81\x60\xFA\x40\x82\xA0\x82\xA2\x82\xA4",              // vendor characters
      "\xC2\xB0\xD9\xCA\xDE\xB0\x82\xCC\x90\xDD\x92\xE8",              // half-width katakana
  };
  return labels;
}

void BareIconv(benchmark::State& state) {
  iconv_t cd = iconv_open("UTF-8", "CP932");
  char out[256];
  for (auto _ : state)
    for (const std::string& s : Labels()) {
      char* in = const_cast<char*>(s.data());
      std::size_t in_left = s.size();
      char* o = out;
      std::size_t out_left = sizeof out;
      iconv(cd, &in, &in_left, &o, &out_left);
      benchmark::DoNotOptimize(out);
    }
  iconv_close(cd);
}
BENCHMARK(BareIconv);

void Helper(benchmark::State& state) {
  for (auto _ : state)
    for (const std::string& s : Labels())
      benchmark::DoNotOptimize(qzarn::cp932_to_utf8(s));
}
BENCHMARK(Helper);

void OpenPerText(benchmark::State& state) {
  char out[256];
  for (auto _ : state)
    for (const std::string& s : Labels()) {
      iconv_t cd = iconv_open("UTF-8", "CP932");
      char* in = const_cast<char*>(s.data());
      std::size_t in_left = s.size();
      char* o = out;
      std::size_t out_left = sizeof out;
      iconv(cd, &in, &in_left, &o, &out_left);
      benchmark::DoNotOptimize(out);
      iconv_close(cd);
    }
}
BENCHMARK(OpenPerText);

void AsciiExpression(benchmark::State& state) {
  const std::string expression = "a*sin(2*pi*x/b)+c_1*x^2-sqrt(abs(d))";
  for (auto _ : state)
    benchmark::DoNotOptimize(qzarn::cp932_to_utf8(expression));
}
BENCHMARK(AsciiExpression);

}  // namespace

BENCHMARK_MAIN();

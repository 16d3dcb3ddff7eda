// Packing and unpacking a document-sized buffer: throughput of our -lh5-
// writer and of reading back through liblhasa, and the size ratio reached.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <span>
#include <string_view>
#include <vector>

#include "platform/lzh_archive.h"

namespace {

// About 300 KB shaped like a saved screen: fixed-width figure records with a
// type code, coordinates as doubles, expression texts in length-prefixed
// fields and long stretches of unused (zero) bytes.
std::vector<std::uint8_t> DocumentLikeBuffer() {
  constexpr std::size_t kRecordSize = 600;
  constexpr std::size_t kRecords = 500;
  constexpr std::string_view kExpressions[] = {
      "a*x^2+b*x+c", "sin(a*t)", "P1", "x^2+y^2=r^2", "cos(t)+1", "(1-t)*A+t*B", "log(x)", "k"};
  std::mt19937 rng(2024);
  std::vector<std::uint8_t> out(kRecordSize * kRecords, 0);
  for (std::size_t r = 0; r < kRecords; ++r) {
    std::uint8_t* record = out.data() + r * kRecordSize;
    record[0] = static_cast<std::uint8_t>(rng() % 19);
    record[4] = static_cast<std::uint8_t>(rng() % 8);  // colour index
    for (int i = 0; i < 8; ++i) {
      const double value = static_cast<int>(rng() % 4000) / 16.0 - 125.0;
      std::memcpy(record + 16 + 8 * i, &value, sizeof value);
    }
    for (int field = 0; field < 3; ++field) {
      const std::string_view text = kExpressions[rng() % std::size(kExpressions)];
      std::uint8_t* at = record + 96 + 251 * field / 2;
      at[0] = static_cast<std::uint8_t>(text.size());
      std::memcpy(at + 1, text.data(), text.size());
    }
  }
  return out;
}

const std::vector<std::uint8_t>& Document() {
  static const std::vector<std::uint8_t> document = DocumentLikeBuffer();
  return document;
}

std::vector<std::uint8_t> Pack(std::span<const std::uint8_t> data) {
  const qzarn::LzhWriteMember member{"DOCUMENT.QZL", data};
  std::vector<std::uint8_t> archive;
  qzarn::WriteLzhArchive(std::span(&member, 1), archive);
  return archive;
}

void BM_PackDocument(benchmark::State& state) {
  const std::vector<std::uint8_t>& document = Document();
  std::size_t packed = 0;
  for (auto _ : state) {
    std::vector<std::uint8_t> archive = Pack(document);
    packed = archive.size();
    benchmark::DoNotOptimize(archive.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
  state.counters["archive_to_original"] =
      static_cast<double>(packed) / static_cast<double>(document.size());
}
BENCHMARK(BM_PackDocument)->Unit(benchmark::kMillisecond);

void BM_UnpackDocument(benchmark::State& state) {
  const std::vector<std::uint8_t>& document = Document();
  const std::vector<std::uint8_t> archive = Pack(document);
  std::vector<std::uint8_t> data;
  for (auto _ : state) {
    if (!qzarn::ReadLzhMember(archive, 0, data).ok()) state.SkipWithError("unreadable archive");
    benchmark::DoNotOptimize(data.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_UnpackDocument)->Unit(benchmark::kMillisecond);

// The floor for comparison: copying the same bytes, as a stored member would.
void BM_CopyDocument(benchmark::State& state) {
  const std::vector<std::uint8_t>& document = Document();
  for (auto _ : state) {
    std::vector<std::uint8_t> copy(document);
    benchmark::DoNotOptimize(copy.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * document.size()));
}
BENCHMARK(BM_CopyDocument)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

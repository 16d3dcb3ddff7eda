#pragma once
// Medians with their spread for benchmarks run interleaved with repetitions
// (--benchmark_enable_random_interleaving=true --benchmark_repetitions=N):
// the times of every repetition, and ratios taken repetition by repetition,
// so that each pair ran close together in time.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace qzarn::bench {

// Median, lowest and highest of a set of values.
struct RatioSpread {
  double median = 0, low = 0, high = 0;
};

inline RatioSpread SpreadOf(std::vector<double> values) {
  if (values.empty()) return {};
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  const double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
  return {median, values.front(), values.back()};
}

// repetition -> seconds
using RepetitionTimes = std::map<std::int64_t, double>;

inline RatioSpread Ratios(const RepetitionTimes& a, const RepetitionTimes& b) {
  std::vector<double> r;
  for (const auto& [rep, t] : a) {
    auto it = b.find(rep);
    if (it != b.end() && it->second > 0) r.push_back(t / it->second);
  }
  return SpreadOf(std::move(r));
}

inline RatioSpread TimesOf(const RepetitionTimes& a) {
  std::vector<double> values;
  for (const auto& entry : a)
    values.push_back(entry.second);
  return SpreadOf(std::move(values));
}

// Keeps the processor and wall time per iteration of every repetition.
class RepetitionReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs)
      if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
        cpu[r.run_name.str()][r.repetition_index] = r.GetAdjustedCPUTime();
        wall[r.run_name.str()][r.repetition_index] = r.GetAdjustedRealTime();
      }
    ConsoleReporter::ReportRuns(runs);
  }
  // name -> repetition -> time in the benchmark's unit
  std::map<std::string, RepetitionTimes> cpu, wall;
};

// Prints "Ours/ROW" beside "Plain/ROW" for every row: times in the
// benchmarks' unit, median [lowest-highest] over the repetitions, and the
// ratio ours / plain taken repetition by repetition (below 1: ours is
// faster). Processor time is that of the benchmark's thread; on a loaded
// machine wall time mostly measures the wait for a processor.
inline void PrintRatioTable(const RepetitionReporter& reporter,
                            const std::vector<std::string>& rows) {
  std::printf("\n%-28s %-20s %-20s %-18s %-20s %-20s %-18s\n", "workload", "ours cpu", "plain cpu",
              "cpu ratio", "ours wall", "plain wall", "wall ratio");
  const auto show = [](const RatioSpread& s, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f [%.*f-%.*f]", decimals, s.median, decimals, s.low,
                  decimals, s.high);
    return std::string(text);
  };
  for (const std::string& row : rows) {
    const auto oc = reporter.cpu.find("Ours/" + row), pc = reporter.cpu.find("Plain/" + row);
    const auto ow = reporter.wall.find("Ours/" + row), pw = reporter.wall.find("Plain/" + row);
    if (oc == reporter.cpu.end() || pc == reporter.cpu.end()) continue;
    std::printf("%-28s %-20s %-20s %-18s %-20s %-20s %-18s\n", row.c_str(),
                show(TimesOf(oc->second), 2).c_str(), show(TimesOf(pc->second), 2).c_str(),
                show(Ratios(oc->second, pc->second), 2).c_str(),
                show(TimesOf(ow->second), 2).c_str(), show(TimesOf(pw->second), 2).c_str(),
                show(Ratios(ow->second, pw->second), 2).c_str());
  }
}

}  // namespace qzarn::bench

// CalculateResults on a mix of everyday entries, beside a floor: the shortest std::to_chars text of
// the same four results. Compare the two times per entry.
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <vector>

#include "engine/conversion.h"

namespace {

using norvane::Unit;

struct Entry {
  const char* text;
  Unit unit;
};

const std::vector<Entry> kEntries = {
    {"100", Unit::Megabytes},
    {"1", Unit::Kilobytes},
    {"1.5", Unit::Gigabytes},
    {"0.5", Unit::Kilobytes},
    {"-3", Unit::Megabytes},
    {"16", Unit::Megabytes},
    {"48", Unit::Megabytes},
    {"2048", Unit::Bytes},
    {"123456789", Unit::Bytes},
    {"1000", Unit::Gigabytes},
    {"1234567890.12345", Unit::Kilobytes},
    {"4.7", Unit::Gigabytes},
    {"650", Unit::Megabytes},
    {"65536", Unit::Bytes},
    {"3.14159", Unit::Megabytes},
    {"250000", Unit::Kilobytes},
};

void CalculateResults(benchmark::State& state) {
  for (auto _ : state) {
    for (const Entry& entry : kEntries) {
      benchmark::DoNotOptimize(norvane::CalculateResults(entry.text, entry.unit));
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(kEntries.size()));
}
BENCHMARK(CalculateResults);

void ToCharsFloor(benchmark::State& state) {
  std::vector<norvane::ResultValues> values;
  for (const Entry& entry : kEntries) {
    norvane::ResultValues rounded =
        norvane::ConvertAmount(norvane::AmountFromText(entry.text), entry.unit);
    for (double& value : rounded) value = norvane::RoundResult(value);
    values.push_back(rounded);
  }
  std::array<char, 32> buffer{};
  for (auto _ : state) {
    for (const norvane::ResultValues& four : values) {
      for (const double value : four) {
        benchmark::DoNotOptimize(
            std::to_chars(buffer.data(), buffer.data() + buffer.size(), value));
        benchmark::ClobberMemory();
      }
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<long>(kEntries.size()));
}
BENCHMARK(ToCharsFloor);

}  // namespace

BENCHMARK_MAIN();

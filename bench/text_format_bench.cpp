// Cost of the text kit per listing record and per input field.
#include <benchmark/benchmark.h>

#include <string>

#include "solver/text/fields.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace {

using sorvane::text::Format;

void BM_ListingRow(benchmark::State& state) {
  static const Format f("(I5,8F15.8)");
  std::string out;
  out.reserve(1 << 16);
  int i = 0;
  for (auto _ : state) {
    out.clear();
    f.write(out, {++i, 0.001 * i, -0.5, 1.25, 3.0e-3, -7.75});
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_ListingRow);

void BM_CoefficientRecord(benchmark::State& state) {
  static const Format f("(/,10X,6H   CN=,E12.5,5X,6H   CT=,E12.5,5X,6H   MZ=,E12.5)");
  std::string out;
  out.reserve(1 << 16);
  double x = 0.0;
  for (auto _ : state) {
    out.clear();
    x += 0.125;
    f.write(out, {x, -x * 1e-4, 0.0});
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_CoefficientRecord);

void BM_Heading(benchmark::State& state) {
  static const Format f("(//17X,39H**** AIRFOIL'S CALCULATION RESULT *****)");
  std::string out;
  out.reserve(1 << 16);
  for (auto _ : state) {
    out.clear();
    f.write(out, {});
    benchmark::DoNotOptimize(out.data());
  }
}
BENCHMARK(BM_Heading);

// The same row written through a listing unit into a file (the null
// device): formatting, the unit's buffer and the stdio write with its check.
void BM_ListingRowOnUnit(benchmark::State& state) {
  static const Format f("(I5,8F15.8)");
  sorvane::text::Units units;
  std::string error;
  if (!units.open(10, "/dev/null", &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  int i = 0;
  for (auto _ : state) units.write(10, f, {++i, 0.001 * i, -0.5, 1.25, 3.0e-3, -7.75});
  units.close_all();
}
BENCHMARK(BM_ListingRowOnUnit);

void BM_ParseFormat(benchmark::State& state) {
  for (auto _ : state) {
    Format f("(5h    I,9x,3hXPN,12X,3hYPN,13X,2hXC,13X,2hYC,12X,4hTETC,12X,4hDYDT)");
    benchmark::DoNotOptimize(&f);
  }
}
BENCHMARK(BM_ParseFormat);

void BM_ReadPointRow(benchmark::State& state) {
  const std::string line = "   1.00000   0.00126  -0.00126     12345         0";
  double v[5];
  std::string error;
  for (auto _ : state) {
    bool ok = sorvane::text::read_fields(line, 5, v, &error);
    benchmark::DoNotOptimize(ok);
    benchmark::DoNotOptimize(v);
  }
}
BENCHMARK(BM_ReadPointRow);

}  // namespace

BENCHMARK_MAIN();

// Speed of the boundary-layer run: the stagnation split and both surface
// runs of every element of examples/main_flap.dat (2 elements, 4 surfaces,
// 61 points across the layer at the start), with every listing written, as
// "BL Calculation" and "Recalculate" run it; and one surface alone.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/load_and_solve.h"

namespace {

using namespace sorvane;

// Loads and solves the example in a directory of its own (the listings and
// the working-directory files land there), once per process; standard
// output, where the station log also goes, is silenced but still formatted.
bool load_example(benchmark::State& st) {
  static bool loaded = false;
  if (loaded) return true;
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() / ("sorvane_bl_bench_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  fs::copy_file(std::string(SORVANE_SOURCE_DIR) + "/examples/main_flap.dat",
                dir / "main_flap.dat");
  fs::current_path(dir);
  static std::FILE* devnull = std::fopen("/dev/null", "w");
  text::units().redirect_stdout(devnull);
  const std::string failed = sorvane::testing::load_and_solve("main_flap.dat");
  if (!failed.empty()) {
    st.SkipWithError(failed.c_str());
    return false;
  }
  loaded = true;
  return true;
}

// The whole run: split, upper and lower surface of every element.
void BM_BoundaryLayerRun(benchmark::State& st) {
  if (!load_example(st)) return;
  const double xtr[2][2] = {{state().XTR(1, 1), state().XTR(1, 2)},
                            {state().XTR(2, 1), state().XTR(2, 2)}};
  long stations = 0;
  for (auto _ : st) {
    for (int e = 0; e < state().NELEM; ++e) {
      // Every run starts from the file's transition positions (a run may
      // move them upstream).
      state().XTR(e + 1, 1) = xtr[e][0];
      state().XTR(e + 1, 2) = xtr[e][1];
      const Result split = SXR(e);
      if (!split) st.SkipWithError(split.message.c_str());
      for (int s = 0; s <= 1; ++s) {
        const Result run = FOIL_BL2D(e, s);
        if (!run) st.SkipWithError(run.message.c_str());
        stations += state().NXDONE(e + 1, s + 1);
      }
    }
  }
  st.counters["stations"] = benchmark::Counter(static_cast<double>(stations) / st.iterations());
}
BENCHMARK(BM_BoundaryLayerRun)->Unit(benchmark::kMillisecond);

// One surface: the upper surface of the main element.
void BM_BoundaryLayerSurface(benchmark::State& st) {
  if (!load_example(st)) return;
  const double xtr = state().XTR(1, 1);
  for (auto _ : st) {
    state().XTR(1, 1) = xtr;
    const Result split = SXR(0);
    const Result run = FOIL_BL2D(0, 0);
    if (!split || !run) st.SkipWithError("the run failed");
  }
}
BENCHMARK(BM_BoundaryLayerSurface)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

// Similarity start at NP 61 (ETAE 8, VGP 1.1, the example files' grid):
// a whole INIT2D call with every pass and its table on "init2d.OUT" in a
// temporary directory, and the same passes without the tables.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "solver/boundary_layer/similarity_start.h"
#include "solver/text/units.h"

namespace {

using sorvane::bl::Init2d;

constexpr int kNp = 61;
constexpr double kVgp = 1.1;
constexpr double kEtae = 8.0;

// Runs the benchmark in a fresh temporary directory and removes it after.
class ScratchCwd {
 public:
  ScratchCwd() : home_(std::filesystem::current_path()) {
    std::string tmpl = (std::filesystem::temp_directory_path() / "init2d_bench_XXXXXX").string();
    if (!mkdtemp(tmpl.data())) std::abort();
    dir_ = tmpl;
    std::filesystem::current_path(dir_);
  }
  ~ScratchCwd() {
    sorvane::text::units().close(169);
    std::filesystem::current_path(home_);
    std::filesystem::remove_all(dir_);
  }

 private:
  std::filesystem::path home_, dir_;
};

void BM_Init2d(benchmark::State& state) {
  ScratchCwd cwd;
  auto m = std::make_unique<Init2d>();
  int calls = 0;
  for (auto _ : state) {
    if (!sorvane::bl::INIT2D(*m, kNp, kVgp, kEtae, 1)) state.SkipWithError("refused");
    benchmark::DoNotOptimize(m->v_sim.data());
    if (++calls % 256 == 0) {
      // Keep the file small: the next call starts it afresh.
      state.PauseTiming();
      sorvane::text::units().close(169);
      state.ResumeTiming();
    }
  }
  state.counters["passes"] = m->passes;
}
BENCHMARK(BM_Init2d)->Unit(benchmark::kMicrosecond);

void BM_Init2dPassesOnly(benchmark::State& state) {
  auto m = std::make_unique<Init2d>();
  for (auto _ : state) {
    if (!sorvane::bl::INIT2D_GRID(kNp, sorvane::bl::kSimPoints, kVgp, kEtae, m->deta_sim,
                                  m->eta_sim, m->a_sim))
      state.SkipWithError("refused");
    sorvane::bl::INIT2D_START_PROFILE(kNp, m->eta_sim, m->f_sim, m->u_sim, m->v_sim);
    for (int pass = 0; pass < 6; ++pass) {
      sorvane::bl::INIT2D_COEF(*m, 1.0, 1.0, kNp, m->deta_sim, m->f_sim, m->u_sim, m->v_sim);
      sorvane::bl::INIT2D_BLOCK_SOLVE(*m, kNp, m->a_sim, m->f_sim, m->u_sim, m->v_sim);
    }
    benchmark::DoNotOptimize(m->v_sim.data());
  }
}
BENCHMARK(BM_Init2dPassesOnly)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();

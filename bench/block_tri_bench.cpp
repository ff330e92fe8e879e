// One solve of the station's block-tridiagonal system at np = 61 (a typical
// laminar grid) and np = 821 (the capacity): random, block diagonally
// dominant 3 by 3 blocks, a third of the diagonal blocks with their rows
// turned so that the factorisation exchanges rows. Reported per grid point.
#include <benchmark/benchmark.h>

#include <random>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/surface_run.h"

namespace {

using namespace sorvane::bl;

void fill_system(SurfaceRun& run, int np) {
  std::mt19937 gen(1234 + np);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  run.np = np;
  for (int j = 1; j <= np; ++j) {
    const bool turn = j % 3 == 1;
    for (int r = 1; r <= 3; ++r)
      for (int c = 1; c <= 3; ++c) {
        const int from = turn ? (r + 1) % 3 + 1 : r;
        run.bmat(from, c, j) = r == c ? 4.0 + 0.5 * u(gen) : u(gen);
        run.amat(r, c, j) = j > 1 ? 0.2 * u(gen) : 0.0;
        run.cmat(r, c, j) = j < np ? 0.2 * u(gen) : 0.0;
      }
    for (int r = 1; r <= 3; ++r) run.rvec(r, j) = u(gen);
  }
}

void BM_BlockTriSolve(benchmark::State& state) {
  const int np = static_cast<int>(state.range(0));
  SurfaceRun run;
  run.neq = 3;
  DIAG_3_ALLOCATE(run);
  fill_system(run, np);
  for (auto _ : state) {
    const int bad = BLOCK_TRI_SOLVE(run, 1, run.rvec, run.xvec);
    if (bad != 0) {
      state.SkipWithError("singular block");
      break;
    }
    benchmark::DoNotOptimize(run.xvec.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * np);
  // Time per grid point (seconds, shown with an SI prefix: 95n = 95 ns).
  state.counters["per_point"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * np,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  DIAG_3_DEALLOCATE(run);
}

BENCHMARK(BM_BlockTriSolve)->Arg(61)->Arg(821);

}  // namespace

BENCHMARK_MAIN();

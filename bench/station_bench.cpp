// One Newton pass of a boundary-layer station at 61 grid points (a typical
// laminar grid) and at 821 (the capacity): the station equations alone
// (properties and box equations, blocks, correction, its maximum), the whole
// direct pass with the block solve, and the inverse pass of the wall-shear
// mode (two solves and the combination). Reported per grid point.
#include <benchmark/benchmark.h>

#include <cmath>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/inverse_mode.h"
#include "solver/boundary_layer/station_equations.h"
#include "tests/boundary_layer/station_fixture.h"

namespace sorvane::bl {

namespace {

constexpr int kStation = 4;

// Station 4 of a stagnation-point start (ue = 2x), its first guess disturbed
// so that the pass has real corrections to make.
void prepare(SurfaceRun& r, int np) {
  station_test::make_hiemenz_run(r, np, np > 100 ? 8.0 : 6.0, np > 100 ? 1.0 : 1.03, 2.0);
  BL_SHIFT_LEVELS(r, kStation);
  station_test::set_weights(r, kStation);
  for (int j = 1; j <= np; ++j) r.u(3, j) *= 1.0 + 0.01 * std::sin(M_PI * r.eta(j) / r.eta(np));
}

void per_point(benchmark::State& bs, int np) {
  bs.counters["np"] = np;
  bs.counters["time_per_point"] = benchmark::Counter(
      static_cast<double>(bs.iterations()) * np, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_StationEquations(benchmark::State& bs) {
  const int np = static_cast<int>(bs.range(0));
  SurfaceRun r;
  prepare(r, np);
  const double dp = station_test::pressure_term(r, kStation);
  for (auto _ : bs) {
    BL_GAS_PROPERTIES(r, kStation, dp);
    BL_ASSEMBLE(r, kStation);
    BL_APPLY_CORRECTION(r, r.xvec);  // xvec stays 0: the profile does not drift
    BL_CORRECTION_MAX(r);
    benchmark::DoNotOptimize(r.rvec.data());
  }
  per_point(bs, np);
}
BENCHMARK(BM_StationEquations)->Arg(61)->Arg(821);

void BM_DirectNewtonPass(benchmark::State& bs) {
  const int np = static_cast<int>(bs.range(0));
  SurfaceRun r;
  prepare(r, np);
  const double dp = station_test::pressure_term(r, kStation);
  int failed = 0;
  for (auto _ : bs) {
    BL_GAS_PROPERTIES(r, kStation, dp);
    BL_ASSEMBLE(r, kStation);
    failed += BLOCK_TRI_SOLVE(r, kStation, r.rvec, r.xvec) != 0;
    BL_APPLY_CORRECTION(r, r.xvec);
    BL_CORRECTION_MAX(r);
  }
  per_point(bs, np);
  bs.counters["failed"] = failed;
}
BENCHMARK(BM_DirectNewtonPass)->Arg(61)->Arg(821);

void BM_InverseNewtonPass(benchmark::State& bs) {
  const int np = static_cast<int>(bs.range(0));
  SurfaceRun r;
  prepare(r, np);
  r.invmode = 2;
  r.xinv = r.x(kStation - 1);
  r.cf_bc(kStation) = 2.0 * r.ccmu(3, 1) * r.v(3, 1);
  int failed = 0;
  for (auto _ : bs) {
    BL_GAS_PROPERTIES(r, kStation, station_test::inverse_pressure_term(r));
    BL_ASSEMBLE(r, kStation);
    failed += BLOCK_TRI_SOLVE(r, kStation, r.rvec, r.xvec) != 0;
    failed += BLOCK_TRI_SOLVE(r, kStation, r.eyvec, r.yvec) != 0;
    failed += !BL_COMBINE_INVERSE(r, r.cf_bc(kStation), r.xvec, r.yvec, r.aa, kStation);
    r.ue(kStation) = 0.5 * (r.u(3, np - 1) + r.u(3, np));
    BL_CORRECTION_MAX(r);
  }
  per_point(bs, np);
  bs.counters["failed"] = failed;
}
BENCHMARK(BM_InverseNewtonPass)->Arg(61)->Arg(821);

}  // namespace
}  // namespace sorvane::bl

BENCHMARK_MAIN();

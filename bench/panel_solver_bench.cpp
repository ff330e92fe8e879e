// Speed of the panel solution: FOILPMG whole and its phases (geometry,
// assembly, elimination, results with the listings), on the Williams main
// aerofoil with flap at 200 panels an element (N = 402) and on a
// three-element configuration at the capacity (N = 1199), and the same
// system solved by LAPACK dgesv for comparison.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "solver/panel/element_geometry.h"
#include "solver/panel/panel_placement.h"
#include "solver/panel/panel_solution.h"
#include "solver/panel/panel_solution_phases.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/panel/solution_cases.h"

#ifdef SORVANE_HAVE_LAPACK
extern "C" void dgesv_(int*, int*, double*, int*, int*, double*, int*, int*);
// OpenBLAS runs threads of its own; the program has one thread, so the
// comparison uses one (when the library offers the call).
extern "C" void openblas_set_num_threads(int) __attribute__((weak));
#endif

namespace {

using namespace sorvane;

std::string bench_dir() {
  static std::string dir;
  if (dir.empty()) {
    namespace fs = std::filesystem;
    fs::path p = fs::temp_directory_path() / ("sorvane_panel_bench_" + std::to_string(::getpid()));
    fs::remove_all(p);
    fs::create_directories(p);
    dir = p.string();
  }
  return dir;
}

// Configuration 0: Williams, 2 x 200 panels (N = 402). Configuration 1:
// Williams main and flap with a slat, 399 + 399 + 398 panels (N = 1199).
cases::Config configuration(int which) {
  const std::string data = std::string(SORVANE_SOURCE_DIR) + "/tests/data/williams";
  if (which == 0) return cases::williams(data, 300, 200, 0, 0.002);
  cases::Config c = cases::williams(data, 300, 399, 0, 0.002);
  cases::Element slat = cases::naca4(4412, 200);
  for (std::size_t i = 0; i < slat.x.size(); ++i) {
    slat.x[i] = -0.22 + 0.18 * slat.x[i];
    slat.y[i] = 0.04 + 0.18 * slat.y[i];
  }
  slat.chord = 0.18;
  slat.npanels = 398;
  c.elements.push_back(slat);
  return c;
}

// Loads configuration `which` (once per benchmark) and silences standard
// output, whose records are still formatted.
bool load(int which, benchmark::State& st) {
  static std::FILE* devnull = std::fopen("/dev/null", "w");
  text::units().redirect_stdout(devnull);
  const std::string err =
      cases::load(configuration(which), bench_dir(), "config" + std::to_string(which));
  if (!err.empty()) {
    st.SkipWithError(err.c_str());
    return false;
  }
  return true;
}

void report(benchmark::State& st) {
  int n = 0;
  for (int k = 1; k <= state().NELEM; ++k) n += state().NPANELS(k) + 1;
  st.counters["N"] = n;
  if (state().SOLUTION_STATUS == SolutionStatus::kFailed) {
    st.SkipWithError(std::string(state().SOLUTION_MESSAGE.c, state().SOLUTION_MESSAGE.trimmed_length()).c_str());
  }
}

void BM_Foilpmg(benchmark::State& st) {
  if (!load(static_cast<int>(st.range(0)), st)) return;
  for (auto _ : st) FOILPMG();
  report(st);
}

void BM_Geometry(benchmark::State& st) {
  if (!load(static_cast<int>(st.range(0)), st)) return;
  FOILPMG();
  for (auto _ : st) {
    GEOM();
    GEOM_PAN();
  }
  report(st);
}

void BM_Assembly(benchmark::State& st) {
  if (!load(static_cast<int>(st.range(0)), st)) return;
  FOILPMG();
  int n = 0;
  for (auto _ : st) benchmark::DoNotOptimize(panel_phases::assemble(&n));
  report(st);
}

void BM_Elimination(benchmark::State& st) {
  if (!load(static_cast<int>(st.range(0)), st)) return;
  FOILPMG();
  for (auto _ : st) benchmark::DoNotOptimize(panel_phases::eliminate());
  report(st);
}

void BM_ResultsAndListings(benchmark::State& st) {
  if (!load(static_cast<int>(st.range(0)), st)) return;
  FOILPMG();
  for (auto _ : st) benchmark::DoNotOptimize(panel_phases::results());
  report(st);
}

#ifdef SORVANE_HAVE_LAPACK
// The assembled system, column-major with its right-hand side, for dgesv.
struct Dense {
  int n = 0;
  std::vector<double> a, b;
  std::vector<int> ipiv;
  void take() {
    int dummy = 0;
    panel_phases::assemble(&dummy);
    n = dummy;
    const int ld = panel_phases::leading_dimension();
    const double* m = panel_phases::matrix();
    a.resize(static_cast<std::size_t>(n) * n);
    b.resize(n);
    ipiv.resize(n);
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) a[static_cast<std::size_t>(c) * n + r] = m[r * ld + c];
      b[r] = m[r * ld + n];
    }
  }
  // A fresh copy of the system for dgesv, which factorises in place.
  void copy_to(std::vector<double>& wa, std::vector<double>& wb) const {
    wa = a;
    wb = b;
  }
  void solve(std::vector<double>& wa, std::vector<double>& wb) {
    int nn = n, nrhs = 1, lda = n, ldb = n, info = 0;
    dgesv_(&nn, &nrhs, wa.data(), &lda, ipiv.data(), wb.data(), &ldb, &info);
  }
};

// dgesv alone: the copy of the system before each run is not timed.
void BM_Dgesv(benchmark::State& st) {
  if (!load(static_cast<int>(st.range(0)), st)) return;
  FOILPMG();
  Dense d;
  d.take();
  std::vector<double> wa(d.a.size()), wb(d.b.size());
  for (auto _ : st) {
    st.PauseTiming();
    d.copy_to(wa, wb);
    st.ResumeTiming();
    d.solve(wa, wb);
    benchmark::DoNotOptimize(wb.data());
  }
  report(st);
}
BENCHMARK(BM_Dgesv)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

double ms_since(std::chrono::steady_clock::time_point t0) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t h = v.size() / 2;
  return v.size() % 2 ? v[h] : 0.5 * (v[h - 1] + v[h]);
}

// Medians of the elimination and of dgesv alone (each run from a fresh copy
// of the system, made before its clock starts), for the ratio line.
void print_ratios() {
  constexpr int kRuns = 11;
  for (int which : {0, 1}) {
    static std::FILE* devnull = std::fopen("/dev/null", "w");
    text::units().redirect_stdout(devnull);
    if (!cases::load(configuration(which), bench_dir(), "ratio" + std::to_string(which)).empty())
      continue;
    FOILPMG();
    Dense d;
    d.take();
    std::vector<double> wa(d.a.size()), wb(d.b.size());
    std::vector<double> equ, lapack;
    for (int i = 0; i < kRuns; ++i) {
      auto t0 = std::chrono::steady_clock::now();
      panel_phases::eliminate();
      equ.push_back(ms_since(t0));
      d.copy_to(wa, wb);
      t0 = std::chrono::steady_clock::now();
      d.solve(wa, wb);
      lapack.push_back(ms_since(t0));
    }
    const double e = median(equ), l = median(lapack);
    std::printf("N = %4d: EQU %.2f ms, dgesv %.2f ms (medians of %d), EQU / dgesv = %.2f\n",
                d.n, e, l, kRuns, e / l);
  }
}
#endif

BENCHMARK(BM_Foilpmg)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Geometry)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Assembly)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Elimination)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResultsAndListings)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  // The reader opens one listing in the working directory: keep it in the
  // temporary directory too.
  const std::filesystem::path start = std::filesystem::current_path();
  std::filesystem::current_path(bench_dir());
#ifdef SORVANE_HAVE_LAPACK
  if (openblas_set_num_threads) openblas_set_num_threads(1);
#endif
  benchmark::RunSpecifiedBenchmarks();
#ifdef SORVANE_HAVE_LAPACK
  print_ratios();
#endif
  benchmark::Shutdown();
  text::units().close_all();
  std::filesystem::current_path(start);
  std::filesystem::remove_all(bench_dir());
  text::units().redirect_stdout(nullptr);
  return 0;
}

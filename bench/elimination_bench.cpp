// Row-wise elimination against LAPACK dgesv on the same systems: random,
// diagonally dominant, N = 402 (the two-element case with 200 panels each)
// and N = 1199 (the capacity). EQU is timed over all N steps, including the
// copy of each equation into its row array, as the panel solution does it;
// dgesv without the copy of the system it factorises in place.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "solver/panel/elimination.h"
#include "solver/state/problem_state.h"

#include <cstdio>
#include <map>
#include <string>

#ifdef SORVANE_HAVE_LAPACK
extern "C" void dgesv_(int*, int*, double*, int*, int*, double*, int*, int*);
// OpenBLAS, when it provides the BLAS under LAPACK, would otherwise use every
// core; the program has one thread, so the comparison does too.
extern "C" void openblas_set_num_threads(int) __attribute__((weak));
#endif

namespace {

using sorvane::EQU;
using sorvane::state;

// Row-major N x (N+1): coefficients, then the right-hand side.
std::vector<double> make_system(int N) {
  std::mt19937 gen(20240 + N);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> A(static_cast<std::size_t>(N) * (N + 1));
  for (int r = 0; r < N; ++r) {
    double sum = 0.0;
    for (int j = 0; j <= N; ++j) {
      A[static_cast<std::size_t>(r) * (N + 1) + j] = u(gen);
      if (j < N) sum += std::abs(A[static_cast<std::size_t>(r) * (N + 1) + j]);
    }
    A[static_cast<std::size_t>(r) * (N + 1) + r] = sum + 1.0;
  }
  return A;
}

void BM_EQU(benchmark::State& bs) {
  const int N = static_cast<int>(bs.range(0));
  const int n = N + 1;
  const std::vector<double> A = make_system(N);
  if (state().c.empty()) state().c.assign(sorvane::kEliminationStore, 0.0);
  std::vector<double> aa(1200), bb(1200);
  std::vector<int> im1(1200), im2(1200);
  for (auto _ : bs) {
    for (int i = 1; i <= N; ++i) {
      const double* row = A.data() + static_cast<std::size_t>(i - 1) * n;
      for (int j = 0; j < n; ++j) aa[j] = row[j];
      if (!EQU(aa.data(), bb.data(), i, n, im1.data(), im2.data())) {
        bs.SkipWithError("zero pivot");
        return;
      }
    }
    benchmark::DoNotOptimize(aa.data());
    benchmark::ClobberMemory();
  }
  bs.counters["N"] = N;
}
BENCHMARK(BM_EQU)->Arg(402)->Arg(1199)->Unit(benchmark::kMillisecond);

#ifdef SORVANE_HAVE_LAPACK
// dgesv factorises in place, so every iteration starts from a fresh copy of
// the system (column-major, made once); the copy is not timed, only the
// factorisation and the solution are.
void BM_dgesv(benchmark::State& bs) {
  int N = static_cast<int>(bs.range(0));
  const int n = N + 1;
  const std::vector<double> A = make_system(N);
  std::vector<double> colA0(static_cast<std::size_t>(N) * N), b0(N);
  for (int r = 0; r < N; ++r) {
    for (int j = 0; j < N; ++j)
      colA0[static_cast<std::size_t>(j) * N + r] = A[static_cast<std::size_t>(r) * n + j];
    b0[r] = A[static_cast<std::size_t>(r) * n + N];
  }
  std::vector<double> colA(colA0.size()), b(N);
  std::vector<int> ipiv(N);
  for (auto _ : bs) {
    bs.PauseTiming();
    colA = colA0;
    b = b0;
    bs.ResumeTiming();
    int nrhs = 1, lda = N, ldb = N, info = 0;
    dgesv_(&N, &nrhs, colA.data(), &lda, ipiv.data(), b.data(), &ldb, &info);
    if (info != 0) {
      bs.SkipWithError("dgesv failed");
      return;
    }
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  bs.counters["N"] = N;
}
BENCHMARK(BM_dgesv)->Arg(402)->Arg(1199)->Unit(benchmark::kMillisecond);
#endif

}  // namespace

// The console report, plus the ratio of EQU's time to dgesv's per size.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      times_[r.benchmark_name()] = r.GetAdjustedRealTime();
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    for (const char* size : {"402", "1199"}) {
      const auto e = times_.find(std::string("BM_EQU/") + size);
      const auto l = times_.find(std::string("BM_dgesv/") + size);
      if (e != times_.end() && l != times_.end() && l->second > 0.0)
        std::printf("N = %s: EQU / dgesv time ratio %.2f\n", size, e->second / l->second);
    }
  }

 private:
  std::map<std::string, double> times_;
};

int main(int argc, char** argv) {
#ifdef SORVANE_HAVE_LAPACK
  if (openblas_set_num_threads) openblas_set_num_threads(1);
#endif
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

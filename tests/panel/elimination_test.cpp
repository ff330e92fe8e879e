// Row-wise elimination: the worked two-equation case with its stored rows,
// the pivot rule, systems against an independent Gaussian elimination, the
// static-store variant, singular systems and the capacity.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "solver/panel/elimination.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using testing::StdoutCapture;

using Matrix = std::vector<std::vector<double>>;  // rows of coefficients, rhs last

constexpr int kWork = 1200;  // the caller's work arrays aa, bb, im1, im2

// The panel solution allocates the store before its first solution; the
// tests do it themselves.
void ensure_store() {
  if (state().c.empty()) state().c.assign(kEliminationStore, 0.0);
}

struct Work {
  std::vector<double> aa = std::vector<double>(kWork, 0.0);
  std::vector<double> bb = std::vector<double>(kWork, 0.0);
  std::vector<int> im1 = std::vector<int>(kWork, 0);
  std::vector<int> im2 = std::vector<int>(kWork, 0);
};

using Step = bool (*)(double*, double*, int, int, int*, int*);

// Feeds the equations one per step, as the panel solution does. Returns the
// number of the step that failed, or 0 when all steps succeeded; x gets the
// solution.
int eliminate(const Matrix& A, std::vector<double>& x, Step step = EQU, Work* out = nullptr) {
  ensure_store();
  Work local;
  Work& w = out ? *out : local;
  const int n = static_cast<int>(A.size()) + 1;
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = 0; j < n; ++j) w.aa[j] = A[i - 1][j];
    if (!step(w.aa.data(), w.bb.data(), i, n, w.im1.data(), w.im2.data())) return i;
  }
  x.assign(w.aa.begin(), w.aa.begin() + (n - 1));
  return 0;
}

// Independent reference: Gaussian elimination with partial pivoting.
std::vector<double> reference_solve(Matrix A) {
  const int N = static_cast<int>(A.size());
  for (int col = 0; col < N; ++col) {
    int best = col;
    for (int r = col + 1; r < N; ++r)
      if (std::fabs(A[r][col]) > std::fabs(A[best][col])) best = r;
    std::swap(A[col], A[best]);
    for (int r = col + 1; r < N; ++r) {
      const double f = A[r][col] / A[col][col];
      for (int j = col; j <= N; ++j) A[r][j] -= f * A[col][j];
    }
  }
  std::vector<double> x(N);
  for (int r = N - 1; r >= 0; --r) {
    double s = A[r][N];
    for (int j = r + 1; j < N; ++j) s -= A[r][j] * x[j];
    x[r] = s / A[r][r];
  }
  return x;
}

// max |A x - b| / (max|A| * max|x|), a scale-free residual.
double relative_residual(const Matrix& A, const std::vector<double>& x) {
  const int N = static_cast<int>(A.size());
  double res = 0.0, amax = 0.0, xmax = 0.0;
  for (int r = 0; r < N; ++r) {
    double s = -A[r][N];
    for (int j = 0; j < N; ++j) {
      s += A[r][j] * x[j];
      amax = std::max(amax, std::fabs(A[r][j]));
    }
    res = std::max(res, std::fabs(s));
  }
  for (double v : x) xmax = std::max(xmax, std::fabs(v));
  return res / (amax * xmax);
}

Matrix random_system(int N, unsigned seed, double diagonal) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Matrix A(N, std::vector<double>(N + 1));
  for (int r = 0; r < N; ++r) {
    for (int j = 0; j <= N; ++j) A[r][j] = u(gen);
    A[r][r] += diagonal;
  }
  return A;
}


TEST(Elimination, OneVariable) {
  std::vector<double> x;
  Work w;
  ASSERT_EQ(eliminate({{4.0, 2.0}}, x, EQU, &w), 0);
  EXPECT_EQ(w.im1[0], 1);
  EXPECT_DOUBLE_EQ(x[0], 0.5);
  EXPECT_DOUBLE_EQ(state().c[0], 0.5);
}

// x1 + 2*x2 = 5, 3*x1 + x2 = 5: step 1 pivots on column 2 and stores
// (0.5, 2.5); step 2 reduces the second equation to (2.5, 0, 2.5), pivots on
// column 1, stores 1 and repacks the first equation to 2.
TEST(Elimination, TwoEquationsStepByStep) {
  ensure_store();
  Work w;
  const int n = 3;
  w.aa[0] = 1.0, w.aa[1] = 2.0, w.aa[2] = 5.0;
  ASSERT_TRUE(EQU(w.aa.data(), w.bb.data(), 1, n, w.im1.data(), w.im2.data()));
  EXPECT_EQ(w.im1[0], 2);
  EXPECT_EQ(w.im2[0], 0);
  EXPECT_EQ(w.im2[1], 2);
  EXPECT_EQ(state().c[0], 0.5);
  EXPECT_EQ(state().c[1], 2.5);

  w.aa[0] = 3.0, w.aa[1] = 1.0, w.aa[2] = 5.0;
  ASSERT_TRUE(EQU(w.aa.data(), w.bb.data(), 2, n, w.im1.data(), w.im2.data()));
  EXPECT_EQ(w.im1[1], 1);
  EXPECT_EQ(state().c[0], 2.0);  // equation 1: x2 = 2
  EXPECT_EQ(state().c[1], 1.0);  // equation 2: x1 = 1
  EXPECT_EQ(w.aa[0], 1.0);
  EXPECT_EQ(w.aa[1], 2.0);
}

// The first pivot is the coefficient of largest magnitude, the lowest column
// on ties; the right-hand side never takes part.
TEST(Elimination, FirstPivotByMagnitude) {
  struct Case {
    const char* what;
    std::vector<double> row;  // coefficients, rhs last
    int pivot;
  };
  const Case cases[] = {
      {"all negative: the most negative wins", {-3.0, -1.0, -5.0, 1.0}, 3},
      {"positive largest", {1.0, 4.0, -2.0, 9.0}, 2},
      {"tie of magnitudes: lowest column", {2.0, -2.0, 1.0, 0.0}, 1},
      {"tie of equal values: lowest column", {1.0, 3.0, 3.0, 0.0}, 2},
      {"large right-hand side is not a pivot", {1.0, 0.5, 0.25, 100.0}, 1},
  };
  for (const Case& c : cases) {
    ensure_store();
    Work w;
    const int n = static_cast<int>(c.row.size());
    for (int j = 0; j < n; ++j) w.aa[j] = c.row[j];
    ASSERT_TRUE(EQU(w.aa.data(), w.bb.data(), 1, n, w.im1.data(), w.im2.data())) << c.what;
    EXPECT_EQ(w.im1[0], c.pivot) << c.what;
    // The stored row is the equation divided by its pivot, pivot column gone.
    int m = 0;
    for (int j = 0; j < n; ++j) {
      if (j + 1 == c.pivot) continue;
      EXPECT_EQ(state().c[m], c.row[j] / c.row[c.pivot - 1]) << c.what << " column " << j + 1;
      ++m;
    }
  }
}

// The index routines keep the signed comparison, first index on ties.
TEST(Elimination, IndexRoutinesSigned) {
  struct Case {
    std::vector<double> v;
    int count;
    int max, min;
  };
  const Case cases[] = {
      {{-3.0, -1.0, -5.0}, 3, 2, 3},
      {{1.0, 3.0, 3.0, 1.0}, 4, 2, 1},
      {{2.0, -2.0}, 2, 1, 2},
      {{7.0, 9.0}, 1, 1, 1},  // count below 2
      {{7.0}, 0, 1, 1},
      {{0.0, -0.0, 0.0}, 3, 1, 1},
  };
  for (const Case& c : cases) {
    int r = 0;
    EQU_MAX_INDEX(c.v.data(), c.count, r);
    EXPECT_EQ(r, c.max);
    EQU_MIN_INDEX(c.v.data(), c.count, r);
    EXPECT_EQ(r, c.min);
    EQU_STATIC_MAX_INDEX(c.v.data(), c.count, r);
    EXPECT_EQ(r, c.max);
    EQU_STATIC_MIN_INDEX(c.v.data(), c.count, r);
    EXPECT_EQ(r, c.min);
  }
}

// 2*x1 + x2 = 4, x1 - x2 = -1: after step 1 the second equation's only unused
// coefficient is -1.5. A signed search over all columns would pick the spent
// column 1 (value 0) and divide by zero; the magnitude rule solves it.
TEST(Elimination, NegativeReducedEquation) {
  const Matrix A = {{2.0, 1.0, 4.0}, {1.0, -1.0, -1.0}};
  std::vector<double> x;
  Work w;
  ASSERT_EQ(eliminate(A, x, EQU, &w), 0);
  EXPECT_EQ(w.im1[0], 1);
  EXPECT_EQ(w.im1[1], 2);
  EXPECT_NEAR(x[0], 1.0, 1e-15);
  EXPECT_NEAR(x[1], 2.0, 1e-15);

  // A larger case: every equation after the first has all-negative
  // coefficients, the first all-positive ones.
  std::mt19937 gen(7);
  std::uniform_real_distribution<double> u(0.1, 1.0);
  const int N = 12;
  Matrix B(N, std::vector<double>(N + 1));
  for (int r = 0; r < N; ++r) {
    for (int j = 0; j < N; ++j) B[r][j] = (r == 0 ? 1.0 : -1.0) * u(gen);
    B[r][N] = u(gen);
  }
  ASSERT_EQ(eliminate(B, x), 0);
  EXPECT_LT(relative_residual(B, x), 1e-12);
}

// Random systems against the reference, by EQU and by EQU_STATIC, which must
// agree to the last bit (the same step on another store).
TEST(Elimination, RandomSystemsAgainstReference) {
  struct Case {
    int N;
    double diagonal;
  };
  const Case cases[] = {{3, 0.0}, {10, 0.0}, {100, 0.0}, {100, 5.0}, {600, 0.0}};
  for (const Case& c : cases) {
    const Matrix A = random_system(c.N, 1000u + c.N, c.diagonal);
    std::vector<double> x, xs;
    ASSERT_EQ(eliminate(A, x), 0) << c.N;
    ASSERT_EQ(eliminate(A, xs, EQU_STATIC), 0) << c.N;
    const std::vector<double> ref = reference_solve(A);
    EXPECT_LT(relative_residual(A, x), 1e-10) << c.N;
    double err = 0.0, scale = 0.0;
    for (int j = 0; j < c.N; ++j) {
      err = std::max(err, std::fabs(x[j] - ref[j]));
      scale = std::max(scale, std::fabs(ref[j]));
      EXPECT_EQ(x[j], xs[j]) << c.N << " variable " << j + 1;
    }
    EXPECT_LT(err / scale, 1e-8) << c.N;
  }
}

// Singular and non-finite equations stop the elimination at their step with
// the program's record on standard output.
TEST(Elimination, ZeroPivotIsReported) {
  struct Case {
    const char* what;
    Matrix A;
    int failing_step;
  };
  const double nan = std::nan("");
  const Case cases[] = {
      // Second equation twice the first (powers of two: the reduction is exact).
      {"dependent equations", {{1.0, 2.0, 4.0, 1.0}, {2.0, 4.0, 8.0, 2.0}, {1.0, 0.0, 0.0, 1.0}},
       2},
      {"zero first equation", {{0.0, 0.0, 1.0}, {1.0, 1.0, 1.0}}, 1},
      {"not a number", {{1.0, 0.0, 1.0}, {nan, 1.0, 1.0}}, 2},
      {"infinite coefficient", {{HUGE_VAL, 1.0, 1.0}, {0.0, 1.0, 1.0}}, 1},
  };
  for (const Case& c : cases) {
    StdoutCapture out;
    std::vector<double> x;
    EXPECT_EQ(eliminate(c.A, x), c.failing_step) << c.what;
    char expected[120];
    std::snprintf(expected, sizeof expected,
                  "ON %3d  DELET  STEP  MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO",
                  c.failing_step);
    EXPECT_NE(out.text().find(expected), std::string::npos) << c.what << ": " << out.text();
  }
}

// A dependent equation rarely reduces to exact zeros: here the second
// equation is three times the first with every product rounded, and the
// reduction leaves 5.6e-17 in its first column. Such a remainder is
// negligible against what formed it and is refused like a zero pivot, by
// both variants of the step; an equation that differs from a combination of
// the earlier ones by 1e-4 of its size is a sound one and solves.
TEST(Elimination, NegligiblePivotIsSingular) {
  const Matrix dependent = {{0.1, 0.7, 0.3, 1.0},
                            {0.1 * 3.0, 0.7 * 3.0, 0.3 * 3.0, 1.0 * 3.0},
                            {0.0, 0.0, 1.0, 1.0}};
  const Matrix nearly = {{0.1, 0.7, 0.3, 1.0},
                         {0.1 * 3.0, 0.7 * 3.0, 0.3 * 3.0 + 1e-4, 1.0 * 3.0},
                         {0.0, 1.0, 1.0, 1.0}};
  for (Step step : {static_cast<Step>(EQU), static_cast<Step>(EQU_STATIC)}) {
    {
      StdoutCapture out;
      std::vector<double> x;
      EXPECT_EQ(eliminate(dependent, x, step), 2);
      EXPECT_NE(out.text().find("ON   2  DELET  STEP  MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO"),
                std::string::npos)
          << out.text();
    }
    std::vector<double> x;
    ASSERT_EQ(eliminate(nearly, x, step), 0);
    const std::vector<double> ref = reference_solve(nearly);
    const double scale = std::max({std::fabs(ref[0]), std::fabs(ref[1]), std::fabs(ref[2])});
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(x[j], ref[j], 1e-9 * scale) << j;
    EXPECT_LT(relative_residual(nearly, x), 1e-12);
  }
}

// The largest system, 1199 variables, fits the store and solves.
TEST(Elimination, LargestSystemFitsTheStore) {
  const int N = kMaxEquations;
  const Matrix A = random_system(N, 42u, 0.0);
  std::vector<double> x;
  ASSERT_EQ(eliminate(A, x), 0);
  EXPECT_LT(relative_residual(A, x), 1e-10);
}

// Beyond the capacity the step refuses with a message instead of writing
// outside the store or the work arrays.
TEST(Elimination, CapacityIsChecked) {
  Work w;
  {
    StdoutCapture out;
    ensure_store();
    w.aa[0] = 1.0;
    EXPECT_FALSE(EQU(w.aa.data(), w.bb.data(), 1, 1201, w.im1.data(), w.im2.data()));
    EXPECT_NE(out.text().find("ELIMINATION"), std::string::npos);
  }
  {
    // A store too small for step 3 of a 10-variable system.
    StdoutCapture out;
    std::vector<double> saved;
    saved.swap(state().c);
    state().c.assign(20, 0.0);
    const Matrix A = random_system(10, 3u, 0.0);
    std::vector<double> x;
    const int failed = eliminate(A, x);
    state().c.swap(saved);
    EXPECT_EQ(failed, 3);
    EXPECT_NE(out.text().find("ELIMINATION"), std::string::npos);
  }
  {
    // Not allocated at all.
    StdoutCapture out;
    std::vector<double> saved;
    saved.swap(state().c);
    w.aa[0] = 1.0, w.aa[1] = 1.0;
    const bool ok = EQU(w.aa.data(), w.bb.data(), 1, 2, w.im1.data(), w.im2.data());
    state().c.swap(saved);
    EXPECT_FALSE(ok);
  }
  {
    // Step 3 without steps 1 and 2: the pivot list holds no columns of this
    // elimination, and the step stops instead of indexing aa with them.
    StdoutCapture out;
    ensure_store();
    Work fresh;
    for (int j = 0; j < 5; ++j) fresh.aa[j] = 1.0 + j;
    EXPECT_FALSE(
        EQU(fresh.aa.data(), fresh.bb.data(), 3, 5, fresh.im1.data(), fresh.im2.data()));
    EXPECT_NE(out.text().find("OUT OF ORDER"), std::string::npos);
  }
}

}  // namespace
}  // namespace sorvane

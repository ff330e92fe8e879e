// The block-tridiagonal solver on systems built from a known solution, its
// determinants against an independent elimination, singular and non-finite
// systems, the residual, and the bordered form of the coupled inverse modes.
#include "solver/boundary_layer/block_tri.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <string>

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Stand-in for the similarity start's constructor while that routine family
// is not in the library; the library's own definition replaces it.
__attribute__((weak)) Init2d::Init2d() {
  for (Table1<double>* t : {&eta_sim, &deta_sim, &a_sim, &f_sim, &u_sim, &v_sim, &s1, &s2, &s3,
                            &s4, &s5, &s6, &r1, &r2, &r3, &delf, &delu, &delv}) {
    t->make(kSimPoints);
  }
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using M3 = std::array<std::array<long double, 3>, 3>;

M3 block_of(Table3<double>& t, int j) {
  M3 m{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) m[r][c] = t(r + 1, c + 1, j);
  return m;
}

long double det3(const M3& a) {
  return a[0][0] * (a[1][1] * a[2][2] - a[2][1] * a[1][2]) -
         a[0][1] * (a[1][0] * a[2][2] - a[2][0] * a[1][2]) +
         a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
}

// Inverse by the adjugate, in extended precision.
M3 inv3(const M3& a) {
  const long double d = det3(a);
  M3 v{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      // Cofactor (c, r) of a.
      const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
      v[r][c] = (a[r1][c1] * a[r2][c2] - a[r1][c2] * a[r2][c1]) / d;
    }
  return v;
}

M3 mul(const M3& a, const M3& b) {
  M3 p{};
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      for (int m = 0; m < 3; ++m) p[r][c] += a[r][m] * b[m][c];
  return p;
}

struct Options {
  bool exchanges = true;     // every third B(j) has its rows turned
  double coupling = 0.2;     // magnitude of the entries of A(j) and C(j)
};

class BlockTriTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INPUTI_ALLOCATE(run, 5);
    run.neq = 3;
    DIAG_3_ALLOCATE(run);
    z.make(3, kGridPoints);
    rhs.make(3, kGridPoints);
    sol.make(3, kGridPoints);
  }
  void TearDown() override {
    DIAG_3_DEALLOCATE(run);
    INPUTI_DEALLOCATE(run);
  }

  // Random blocks at points 1..np that make a block diagonally dominant system
  // (B(j) = a row permutation of a matrix with diagonal 4 and other entries in
  // (-1, 1)), so that the factorisation of most D(j) exchanges rows; A(1), C(np) and every point above np hold NaN, so any use of
  // them shows in the solution. z gets random entries at 1..np.
  void build(int np, unsigned seed, Options opt = {}) {
    run.np = np;
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    for (int j = 1; j <= kGridPoints; ++j)
      for (int c = 1; c <= 3; ++c) {
        for (int r = 1; r <= 3; ++r) {
          run.amat(r, c, j) = run.bmat(r, c, j) = run.cmat(r, c, j) = kNaN;
        }
        z(c, j) = rhs(c, j) = kNaN;
        sol(c, j) = 7.0;
      }
    for (int j = 1; j <= np; ++j) {
      double m[3][3];
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = r == c ? 4.0 + u(gen) * 0.5 : u(gen);
      // Rows (3, 1, 2) of m at every third point, (2, 1, 3) at the next.
      const int turn = opt.exchanges ? j % 3 : 0;
      for (int r = 0; r < 3; ++r) {
        const int from = turn == 1 ? (r + 2) % 3 : turn == 2 && r < 2 ? 1 - r : r;
        for (int c = 0; c < 3; ++c) run.bmat(r + 1, c + 1, j) = m[from][c];
      }
      for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
          if (j > 1) run.amat(r, c, j) = opt.coupling * u(gen);
          if (j < np) run.cmat(r, c, j) = opt.coupling * u(gen);
        }
      for (int r = 1; r <= 3; ++r) z(r, j) = u(gen);
    }
  }

  // rhs(j) = A(j) z(j-1) + B(j) z(j) + C(j) z(j+1), plus f0_mat z(1) in the
  // last row when border is set, accumulated in extended precision.
  void form_rhs(bool border) {
    const int np = run.np;
    for (int j = 1; j <= np; ++j)
      for (int r = 1; r <= 3; ++r) {
        long double s = 0;
        for (int c = 1; c <= 3; ++c) {
          if (j > 1) s += static_cast<long double>(run.amat(r, c, j)) * z(c, j - 1);
          s += static_cast<long double>(run.bmat(r, c, j)) * z(c, j);
          if (j < np) s += static_cast<long double>(run.cmat(r, c, j)) * z(c, j + 1);
          if (border && j == np) s += static_cast<long double>(run.f0_mat(r, c)) * z(c, 1);
        }
        rhs(r, j) = static_cast<double>(s);
      }
  }

  // Largest |sol - z| over the largest |z| at points 1..np.
  double relative_error() {
    double err = 0.0, size = 0.0;
    for (int j = 1; j <= run.np; ++j)
      for (int r = 1; r <= 3; ++r) {
        err = std::fmax(err, std::fabs(sol(r, j) - z(r, j)));
        size = std::fmax(size, std::fabs(z(r, j)));
      }
    return std::isfinite(err) ? err / size : 1e300;
  }

  double largest_residual() {
    double worst = 0.0;
    for (int j = 1; j <= run.np; ++j)
      for (int r = 1; r <= 3; ++r) {
        const double e = std::fabs(run.rrvec(r, j));
        worst = std::isfinite(e) ? std::fmax(worst, e) : 1e300;
      }
    return worst;
  }

  bool sol_untouched() {
    for (int j = 1; j <= kGridPoints; ++j)
      for (int r = 1; r <= 3; ++r)
        if (sol(r, j) != 7.0) return false;
    return true;
  }

  void set_block(Table3<double>& t, int j, std::initializer_list<double> rows) {
    int k = 0;
    for (double v : rows) {
      t(k / 3 + 1, k % 3 + 1, j) = v;
      ++k;
    }
  }

  SurfaceRun run;
  Table2<double> z, rhs, sol;
};

TEST_F(BlockTriTest, SolvesBackAKnownSolution) {
  for (int np : {1, 2, 61, 821}) {
    build(np, 100 + np);
    form_rhs(false);
    ASSERT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs, sol), 0) << np;
    EXPECT_LT(relative_error(), 1e-12) << np;
    // Points above np are not written.
    if (np < kGridPoints) {
      EXPECT_EQ(sol(1, np + 1), 7.0);
    }
    // The system does make the factorisation exchange rows: in some D(j) the
    // largest entry of the first column lies below the diagonal.
    int exchanged = 0;
    for (int j = 1; j <= np; ++j) {
      const double d1 = std::fabs(run.dmat(1, 1, j));
      if (std::fabs(run.dmat(2, 1, j)) > d1 || std::fabs(run.dmat(3, 1, j)) > d1) ++exchanged;
    }
    if (np >= 61) {
      EXPECT_GT(exchanged, np / 2) << np;
    }
    if (np == 1) {
      EXPECT_EQ(exchanged, 1);
    }
  }
}

TEST_F(BlockTriTest, SecondRightHandSideWithTheSameBlocks) {
  build(61, 7);
  form_rhs(false);
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs, sol), 0);
  EXPECT_LT(relative_error(), 1e-12);
  // A new z with the same blocks, solved into a second pair of tables.
  std::mt19937 gen(8);
  std::uniform_real_distribution<double> u(-3.0, 3.0);
  for (int j = 1; j <= 61; ++j)
    for (int r = 1; r <= 3; ++r) z(r, j) = u(gen);
  form_rhs(false);
  Table2<double> rhs2 = rhs, sol2 = sol;
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs2, sol2), 0);
  for (int j = 1; j <= 61; ++j)
    for (int r = 1; r <= 3; ++r) EXPECT_NEAR(sol2(r, j), z(r, j), 3e-12);
}

TEST_F(BlockTriTest, DeterminantsAreThoseOfTheEliminatedBlocks) {
  const int np = 61;
  build(np, 42);
  form_rhs(false);
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs, sol), 0);
  // Independent elimination: S(1) = B(1), S(j) = B(j) - A(j) S(j-1)^-1 C(j-1).
  M3 s = block_of(run.bmat, 1);
  for (int j = 1; j <= np; ++j) {
    if (j > 1) {
      const M3 m = mul(mul(block_of(run.amat, j), inv3(s)), block_of(run.cmat, j - 1));
      const M3 b = block_of(run.bmat, j);
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) s[r][c] = b[r][c] - m[r][c];
    }
    const double want = static_cast<double>(det3(s));
    EXPECT_NEAR(run.det(j), want, 1e-12 * std::fabs(want)) << j;
  }
}

TEST_F(BlockTriTest, UncoupledBlocksSolvePointByPoint) {
  const int np = 9;
  build(np, 9, Options{true, 0.0});
  std::mt19937 gen(10);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int j = 1; j <= np; ++j)
    for (int r = 1; r <= 3; ++r) rhs(r, j) = u(gen);
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs, sol), 0);
  for (int j = 1; j <= np; ++j) {
    const M3 bi = inv3(block_of(run.bmat, j));
    for (int r = 0; r < 3; ++r) {
      long double want = 0;
      for (int c = 0; c < 3; ++c) want += bi[r][c] * rhs(c + 1, j);
      EXPECT_NEAR(sol(r + 1, j), static_cast<double>(want), 1e-15) << j;
    }
  }
}

TEST_F(BlockTriTest, SingularBlockStopsTheSolveAndIsReported) {
  struct Case {
    const char* name;
    int np;
    int point;   // where D(point) is made singular
    bool last_pivot;  // zero last pivot (not flagged by the factorisation)
  };
  const Case cases[] = {
      {"first point", 5, 1, false},
      {"inner point", 40, 17, false},
      {"inner point, zero last pivot", 40, 17, true},
      {"last point", 20, 20, false},
      {"last point, zero last pivot", 20, 20, true},
      {"single point", 1, 1, false},
      {"single point, zero last pivot", 1, 1, true},
  };
  for (const Case& c : cases) {
    build(c.np, 77);
    // With A(point) = 0, D(point) = B(point) exactly.
    if (c.point > 1) set_block(run.amat, c.point, {0, 0, 0, 0, 0, 0, 0, 0, 0});
    if (c.last_pivot) {
      set_block(run.bmat, c.point, {0, 1, 1, 2, 0, 0, 0, 1, 1});
    } else {
      set_block(run.bmat, c.point, {0, 2, 3, 0, 1, 0, 0, 5, 1});
    }
    form_rhs(false);
    run.det(c.point) = 5.0;
    EXPECT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs, sol), c.point) << c.name;
    EXPECT_EQ(run.det(c.point), 0.0) << c.name;
    EXPECT_TRUE(sol_untouched()) << c.name;
    for (int j = 1; j < c.point; ++j)
      for (int r = 1; r <= 3; ++r)
        for (int k = 1; k <= 3; ++k) ASSERT_TRUE(std::isfinite(run.inv_d(r, k, j))) << c.name;
  }
}

TEST_F(BlockTriTest, NonFiniteInputIsReported) {
  struct Case {
    const char* name;
    int point;
    bool in_rhs;
    double value;
  };
  const Case cases[] = {
      {"NaN in the right-hand side", 10, true, kNaN},
      {"infinity in the right-hand side", 30, true, std::numeric_limits<double>::infinity()},
      {"NaN in a diagonal block", 12, false, kNaN},
      {"infinity in a diagonal block", 25, false, std::numeric_limits<double>::infinity()},
  };
  for (const Case& c : cases) {
    build(40, 5);
    form_rhs(false);
    if (c.in_rhs) {
      rhs(2, c.point) = c.value;
    } else {
      run.bmat(1, 1, c.point) = c.value;
    }
    const int got = BLOCK_TRI_SOLVE(run, 1, rhs, sol);
    EXPECT_GE(got, 1) << c.name;
    EXPECT_LE(got, 40) << c.name;
  }
}

TEST_F(BlockTriTest, ResidualOfTheSolutionVanishes) {
  const int np = 61;
  build(np, 3);
  form_rhs(false);
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 1, rhs, sol), 0);
  BLOCK_TRI_RESIDUAL(run, rhs, sol, 1);
  EXPECT_LT(largest_residual(), 1e-14);

  // A change d of the solution at point j0 leaves C(j0-1) d, B(j0) d and
  // A(j0+1) d in the residual at j0-1, j0 and j0+1, zero elsewhere.
  for (int j0 : {1, 30, np}) {
    Table2<double> s = z;
    const double d[3] = {1.0, -2.0, 0.5};
    for (int r = 1; r <= 3; ++r) s(r, j0) += d[r - 1];
    BLOCK_TRI_RESIDUAL(run, rhs, s, 1);
    for (int j = 1; j <= np; ++j)
      for (int r = 1; r <= 3; ++r) {
        double want = 0.0;
        Table3<double>* blk = nullptr;
        if (j == j0 - 1) blk = &run.cmat;
        if (j == j0) blk = &run.bmat;
        if (j == j0 + 1) blk = &run.amat;
        if (blk)
          for (int c = 1; c <= 3; ++c) want += (*blk)(r, c, j) * d[c - 1];
        EXPECT_NEAR(run.rrvec(r, j), want, 1e-14) << j0 << " " << j;
      }
  }
}

// The coupled inverse modes: station 3 lies past xinv, station 2 on it.
struct BorderCase {
  int invmode;
  bool random_f0;  // a full random border block instead of F0(3, 1) = -1
  int np;
};

class BorderedSolve : public BlockTriTest,
                      public ::testing::WithParamInterface<BorderCase> {};

TEST_P(BorderedSolve, SolvesBackAKnownSolution) {
  const BorderCase c = GetParam();
  run.x(2) = 0.5;
  run.x(3) = 0.7;
  run.xinv = 0.5;
  run.invmode = c.invmode;
  build(c.np, 900 + c.np);
  std::mt19937 gen(31);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (int r = 1; r <= 3; ++r)
    for (int k = 1; k <= 3; ++k) run.f0_mat(r, k) = c.random_f0 ? u(gen) : 0.0;
  if (!c.random_f0) run.f0_mat(3, 1) = -1.0;

  form_rhs(true);
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 3, rhs, sol), 0);
  EXPECT_LT(relative_error(), 1e-12);
  BLOCK_TRI_RESIDUAL(run, rhs, sol, 3);
  EXPECT_LT(largest_residual(), 1e-13);

  // On xinv itself the border is not part of the system.
  for (int j = 1; j <= c.np; ++j)
    for (int r = 1; r <= 3; ++r) sol(r, j) = 7.0;
  form_rhs(false);
  ASSERT_EQ(BLOCK_TRI_SOLVE(run, 2, rhs, sol), 0);
  EXPECT_LT(relative_error(), 1e-12);
  BLOCK_TRI_RESIDUAL(run, rhs, sol, 2);
  EXPECT_LT(largest_residual(), 1e-13);
}

std::string border_name(const ::testing::TestParamInfo<BorderCase>& info) {
  return "mode" + std::to_string(info.param.invmode) +
         (info.param.random_f0 ? "_random_f0_np" : "_f0_np") + std::to_string(info.param.np);
}

INSTANTIATE_TEST_SUITE_P(CoupledModes, BorderedSolve,
                         ::testing::Values(BorderCase{7, false, 1}, BorderCase{7, false, 2},
                                           BorderCase{7, false, 3}, BorderCase{7, false, 61},
                                           BorderCase{8, false, 821}, BorderCase{8, true, 1},
                                           BorderCase{8, true, 2}, BorderCase{7, true, 3},
                                           BorderCase{7, true, 61}, BorderCase{8, true, 821}),
                         border_name);

TEST_F(BlockTriTest, BorderBlockIgnoredOutsideTheCoupledModes) {
  run.x(3) = 0.7;
  run.xinv = 0.5;
  for (int mode : {0, 2, 6}) {
    run.invmode = mode;
    build(61, 4);
    run.f0_mat(3, 1) = -1.0;
    form_rhs(false);
    ASSERT_EQ(BLOCK_TRI_SOLVE(run, 3, rhs, sol), 0) << mode;
    EXPECT_LT(relative_error(), 1e-12) << mode;
    BLOCK_TRI_RESIDUAL(run, rhs, sol, 3);
    EXPECT_LT(largest_residual(), 1e-13) << mode;
  }
}

}  // namespace
}  // namespace sorvane::bl

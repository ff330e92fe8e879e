// The five-variable (energy-equation) station system: its block solver on
// systems with a known solution, its blocks against finite differences of
// the station equations written out here, the three-variable system
// recovered at uniform total enthalpy and Mach 0, the Crocco relation
// (exact for Pr = Prt = 1 at zero pressure gradient), the heat transfer of a
// heated and a cooled flat plate against Pohlhausen's law, the recovery
// factor of an adiabatic flat plate against its constant-property value, the
// gas and diffusivities of a point, the refusal of a profile without a
// positive temperature, and the dumps of a converged five-variable station.
#include "solver/boundary_layer/energy_equation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/dumps.h"
#include "solver/boundary_layer/matrix_inv.h"
#include "solver/boundary_layer/station_equations.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/block_check.h"
#include "tests/boundary_layer/station_fixture.h"
#include "tests/test_support.h"

namespace sorvane::bl {
namespace {

using station_test::check_blocks_against_differences;
using station_test::expect_no_blocks_outside_band;
using station_test::expect_right_hand_side;
using station_test::fill_similarity;
using station_test::geometric_spacing;
using station_test::level3;
using station_test::make_hiemenz_run;
using station_test::make_station_run;
using station_test::pressure_term;
using station_test::set_weights;
using station_test::Similar;
using station_test::sutherland;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPr = 0.7200000286102295;
constexpr double kPrt = 0.8999999761581421;
constexpr double kCp = 1004.8599853515625;
constexpr double kT0 = 300.0;

// ---------------------------------------------------------------------------
// Runs of the five-variable form.

// Remakes the station system of a run with five rows, and gives it the gas
// constants and the reference state t0 = 300 K with reference speed u8.
void make_five(SurfaceRun& r, double u8) {
  DIAG_3_DEALLOCATE(r);
  r.neq = kEnergyEquations;
  DIAG_3_ALLOCATE(r);
  r.t0 = kT0;
  r.h0 = 1004.8605316732844 * kT0;
  r.cpgas = kCp;
  r.pr = kPr;
  r.prt = kPrt;
  r.u8 = u8;
}

// Edge state of station i consistent with h = 1 at the edge: the static
// temperature of the edge velocity, the viscosity there, roe8 = 1.
void set_edge_state(SurfaceRun& r, int i) {
  const double ue = r.ue(i) * r.u8;
  r.te(i) = r.t0 - ue * ue / (2.0 * r.cpgas);
  r.emue(i) = sutherland(r.te(i));
  r.roe8(i) = 1.0;
}

// Every level of h and G set from U by h = a + c U/ue(station of the level).
void set_enthalpy_levels(SurfaceRun& r, int level, double a, double c, double ue) {
  for (int j = 1; j <= r.np; ++j) {
    r.h(level, j) = a + c * r.u(level, j) / ue;
    r.g(level, j) = c * r.v(level, j) / ue;
  }
}

// Newton passes of the five-variable form at station i until both largest
// corrections are below tol.
::testing::AssertionResult converge(SurfaceRun& r, int i, double dp, double tol,
                                    int max_passes, int* passes = nullptr) {
  for (int pass = 1; pass <= max_passes; ++pass) {
    const int hot = BL_COMPRESSIBLE_PROPERTIES(r, i, dp);
    if (hot != 0)
      return ::testing::AssertionFailure() << "no positive temperature at point " << hot;
    BL_ASSEMBLE_ENERGY(r, i);
    const int bad = BL_MATRIX_SOLVE(r, r.rvec, r.xvec);
    if (bad != 0) return ::testing::AssertionFailure() << "block solve broke at point " << bad;
    BL_APPLY_ENERGY_CORRECTION(r, r.xvec);
    BL_CORRECTION_MAX(r);
    if (r.dumax < tol && r.dhmax < tol) {
      if (passes) *passes = pass;
      return ::testing::AssertionSuccess();
    }
  }
  return ::testing::AssertionFailure() << "station " << i << " not converged in " << max_passes
                                       << " passes: dumax " << r.dumax << ", dhmax "
                                       << r.dhmax;
}

// ---------------------------------------------------------------------------
// Block solver.

// A (5, 5) block system of np points with random blocks whose diagonal
// blocks are dominated by an entry below the diagonal in the first column
// (so that the factorisation exchanges rows), and a known solution z.
struct BlockCase {
  SurfaceRun r;
  std::vector<double> z;  // z[5*(j-1) + e]

  explicit BlockCase(int np, unsigned seed) {
    INPUTI_ALLOCATE(r, 1);
    r.neq = kEnergyEquations;
    DIAG_3_ALLOCATE(r);
    r.np = np;
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> uni(-1.0, 1.0);
    for (int j = 1; j <= np; ++j) {
      for (int a = 1; a <= 5; ++a) {
        for (int c = 1; c <= 5; ++c) {
          r.amat(a, c, j) = j > 1 ? 0.5 * uni(gen) : 0.0;
          r.cmat(a, c, j) = j < np ? 0.5 * uni(gen) : 0.0;
          r.bmat(a, c, j) = uni(gen);
        }
        // A strong diagonal, and a still larger entry in row 3 of column 1.
        r.bmat(a, a, j) += 8.0;
      }
      r.bmat(3, 1, j) += 12.0;
    }
    z.resize(5 * np);
    for (double& v : z) v = uni(gen) * 10.0;
    for (int j = 1; j <= np; ++j) {
      for (int a = 1; a <= 5; ++a) {
        double s = 0.0;
        for (int c = 1; c <= 5; ++c) {
          s += r.bmat(a, c, j) * z[5 * (j - 1) + c - 1];
          if (j > 1) s += r.amat(a, c, j) * z[5 * (j - 2) + c - 1];
          if (j < np) s += r.cmat(a, c, j) * z[5 * j + c - 1];
        }
        r.rvec(a, j) = s;
      }
    }
  }
};

TEST(EnergyBlockSolve, SolvesBackAKnownSolution) {
  for (int np : {1, 2, 40, 300}) {
    BlockCase t(np, 17u + np);
    ASSERT_EQ(BL_MATRIX_SOLVE(t.r, t.r.rvec, t.r.xvec), 0) << "np " << np;
    double worst = 0.0;
    for (int j = 1; j <= np; ++j)
      for (int e = 1; e <= 5; ++e)
        worst = std::max(worst, std::fabs(t.r.xvec(e, j) - t.z[5 * (j - 1) + e - 1]));
    EXPECT_LT(worst, 1e-12) << "np " << np;
    // The first diagonal block is B(1) itself; its determinant is kept.
    Table2<double> lu;
    lu.make(5, 5);
    int piv[5], flag = 0;
    double det = 0.0;
    LU_PIVOT(t.r.bmat.block(1), lu.mat(), piv, det, flag, 5);
    EXPECT_NEAR(t.r.det(1), det, 1e-12 * std::fabs(det));
  }
}

// A diagonal block that cannot be inverted stops the solve at its point and
// leaves the solution alone; a right-hand side that is not finite is named
// by the first point whose solution is not finite.
TEST(EnergyBlockSolve, ReportsASingularBlockAndANonFiniteSolution) {
  {
    BlockCase t(12, 5u);
    for (int a = 1; a <= 5; ++a)
      for (int c = 1; c <= 5; ++c) t.r.amat(a, c, 7) = t.r.cmat(a, c, 6) = 0.0;
    for (int a = 1; a <= 5; ++a) t.r.bmat(a, 4, 7) = 0.0;  // D(7) = B(7), column 4 zero
    for (int j = 1; j <= 12; ++j)
      for (int e = 1; e <= 5; ++e) t.r.xvec(e, j) = -3.0;
    EXPECT_EQ(BL_MATRIX_SOLVE(t.r, t.r.rvec, t.r.xvec), 7);
    for (int j = 1; j <= 12; ++j)
      for (int e = 1; e <= 5; ++e) ASSERT_EQ(t.r.xvec(e, j), -3.0);
  }
  {
    BlockCase t(12, 6u);
    t.r.rvec(2, 9) = kNaN;
    // The back substitution carries the NaN down to the wall.
    EXPECT_EQ(BL_MATRIX_SOLVE(t.r, t.r.rvec, t.r.xvec), 1);
  }
}

// ---------------------------------------------------------------------------
// The station equations written out from their definition, for the Jacobian
// check: z holds (F, U, V, h, G) of level 3 at points 1..np; levels 1, 2,
// the grid, the weights and the properties rho, bb, ee, dd (held fixed, as
// the Newton system holds them) come from the run.

struct EnergyRows {
  const SurfaceRun& r;
  int i;
  std::vector<double> rho, bb, ee, dd;

  EnergyRows(const SurfaceRun& run, int station) : r(run), i(station) {
    for (int j = 1; j <= r.np; ++j) {
      rho.push_back(r.ccro(3, j));
      bb.push_back(r.bb(j));
      ee.push_back(r.ee(j));
      dd.push_back(r.dd(j));
    }
  }

  // Residual G of every row (row 1..5 of point 1, of point 2, ...), so that
  // the Newton system reads J delta = -G with J = dG/dz.
  std::vector<double> rows(const std::vector<double>& z, double dp) const {
    const int np = r.np;
    auto Z = [&](int e, int j) { return z[5 * (j - 1) + e - 1]; };
    auto F = [&](int j) { return Z(1, j); };
    auto U = [&](int j) { return Z(2, j); };
    auto V = [&](int j) { return Z(3, j); };
    auto H = [&](int j) { return Z(4, j); };
    auto G = [&](int j) { return Z(5, j); };
    auto up = [&](int j) { return std::max(U(j), 0.0); };
    auto Ux = [&](int j) { return r.cx0 * up(j) + r.cx1 * r.u(2, j) + r.cx2 * r.u(1, j); };
    auto Fx = [&](int j) { return r.cx0 * F(j) + r.cx1 * r.f(2, j) + r.cx2 * r.f(1, j); };
    auto Hx = [&](int j) { return r.cx0 * H(j) + r.cx1 * r.h(2, j) + r.cx2 * r.h(1, j); };
    auto q = [&](int e, int j) {
      switch (e) {
        case 1: return F(j);
        case 2: return U(j);
        case 3: return bb[j - 1] * V(j);
        case 4: return H(j);
        default: return ee[j - 1] * G(j) + dd[j - 1] * U(j) * V(j);
      }
    };
    auto qp = [&](int e, int j) {
      const double ro = rho[j - 1];
      switch (e) {
        case 1: return ro * U(j);
        case 2: return V(j);
        case 3: return ro * up(j) * Ux(j) - V(j) * Fx(j) + dp;
        case 4: return G(j);
        default: return ro * up(j) * Hx(j) - G(j) * Fx(j);
      }
    };
    auto box = [&](int e, int j) {
      return (q(e, j) - q(e, j - 1)) - r.aa(j) * (qp(e, j) + qp(e, j - 1));
    };

    const double kappa = r.u8 * r.u8 / (r.cpgas * r.t0);
    std::vector<double> g(5 * np, 0.0);
    auto Gr = [&](int m, int j) -> double& { return g[5 * (j - 1) + m - 1]; };
    Gr(1, 1) = -(Fx(1) + r.vww(i) * rho[0]) / r.cx0;
    Gr(2, 1) = -(U(1) - r.uww(i));
    // Wall temperature: T(1) = t0 h - (U u8)^2/(2 cp) = tww; adiabatic:
    // dT/deta = t0 G - (u8^2/cp) U V = 0.
    Gr(5, 1) = r.tww(i) > 0.0 ? -(H(1) - 0.5 * kappa * U(1) * U(1) - r.tww(i) / r.t0)
                              : -(G(1) - kappa * U(1) * V(1));
    for (int j = 2; j <= np; ++j) {
      Gr(1, j) = box(1, j);
      Gr(2, j) = box(2, j);
      Gr(5, j) = box(5, j);
    }
    for (int j = 1; j < np; ++j) {
      Gr(3, j) = box(3, j + 1);
      Gr(4, j) = box(4, j + 1);
    }
    Gr(3, np) = -(U(np) - r.ue(i));
    Gr(4, np) = -(H(np) - 1.0);
    return g;
  }
};

// A non-similar station 4 of a stagnation-point start at a reference speed
// of Mach 1 (so that the kinetic-energy terms count): levels 1 and 2 the
// start profiles of stations 2 and 3 with an enthalpy profile of their own,
// level 3 a disturbed guess with a small wall velocity (U > 0 everywhere),
// eddy viscosity, a wall temperature or an adiabatic wall, transpiration.
void make_energy_station(SurfaceRun& r, int np, double tww) {
  make_hiemenz_run(r, np, 5.0, 1.04, 2.0);
  make_five(r, 347.0);
  for (int i = 1; i <= r.nxt; ++i) set_edge_state(r, i);
  BL_SHIFT_LEVELS(r, 4);
  set_weights(r, 4);
  for (int level = 1; level <= 3; ++level) {
    const double ue = r.ue(level + 1);
    for (int j = 1; j <= np; ++j) {
      const double w = 1.0 - r.u(level, j) / ue;
      r.h(level, j) = 1.0 + (0.15 + 0.02 * level) * w * w;
      r.g(level, j) = -0.3 * w * r.v(level, j) / ue;
    }
  }
  r.vww(4) = -0.002;
  r.uww(4) = 0.001;
  r.tww(4) = tww;
  for (int j = 1; j <= np; ++j) {
    const double e = r.eta(j) / r.eta(np);
    r.f(3, j) *= 1.0 + 0.05 * std::sin(3.0 * e);
    r.u(3, j) = r.u(3, j) * (1.0 + 0.1 * std::sin(M_PI * e)) + 0.01 * r.ue(4);
    r.v(3, j) *= 0.9 + 0.2 * e;
    r.h(3, j) += 0.03 * std::sin(2.0 * e);
    r.g(3, j) += 0.01 * std::cos(5.0 * e);
    r.b(3, j) = 0.3 * e / (1.0 + e);
  }
}

struct WallCase {
  std::string name;
  double tww;  // wall temperature, kelvin; 0 = adiabatic wall
};
std::ostream& operator<<(std::ostream& os, const WallCase& c) { return os << c.name; }

class EnergyJacobian : public ::testing::TestWithParam<WallCase> {};

TEST_P(EnergyJacobian, BlocksAreTheDerivativesOfTheStationEquations) {
  SurfaceRun r;
  const int np = 17, i = 4;
  make_energy_station(r, np, GetParam().tww);
  const double dp = 1.1 * pressure_term(r, i);
  ASSERT_EQ(BL_COMPRESSIBLE_PROPERTIES(r, i, dp), 0);
  for (int e = 1; e <= 5; ++e) r.rq(e, 1) = kNaN;  // no box below point 1
  BL_ASSEMBLE_ENERGY(r, i);

  const EnergyRows model(r, i);
  const std::vector<double> z0 = level3(r, 5);
  const std::vector<double> g0 = model.rows(z0, dp);
  std::vector<double> want(g0.size());
  for (std::size_t row = 0; row < g0.size(); ++row) want[row] = -g0[row];
  expect_right_hand_side(r, 5, want);

  int checked = 0;
  ASSERT_NO_FATAL_FAILURE(check_blocks_against_differences(
      r, 5, z0, [&](const std::vector<double>& z) { return model.rows(z, dp); },
      [](int, int, int, int) { return 0.0; }, &checked));
  EXPECT_EQ(checked, 25 * np * np);
  expect_no_blocks_outside_band(r, 5);
  // The wall's energy row is the one the wall temperature selects.
  if (GetParam().tww > 0.0) {
    EXPECT_EQ(r.bmat(5, 4, 1), -1.0);
    EXPECT_EQ(r.bmat(5, 5, 1), 0.0);
  } else {
    EXPECT_EQ(r.bmat(5, 4, 1), 0.0);
    EXPECT_EQ(r.bmat(5, 5, 1), -1.0);
  }
}

INSTANTIATE_TEST_SUITE_P(Walls, EnergyJacobian,
                         ::testing::Values(WallCase{"wall_temperature", 330.0},
                                           WallCase{"adiabatic", 0.0}),
                         sorvane::testing::CaseName());

// ---------------------------------------------------------------------------
// Uniform total enthalpy at Mach 0: the three-variable system.

class EnergyAtMachZero : public ::testing::TestWithParam<WallCase> {};

TEST_P(EnergyAtMachZero, GivesTheThreeVariableStation) {
  const int np = 61, i = 4;
  SurfaceRun three, five;
  for (SurfaceRun* r : {&three, &five}) {
    make_hiemenz_run(*r, np, 6.0, 1.03, 2.0);
    BL_SHIFT_LEVELS(*r, i);
    set_weights(*r, i);
    r->vww(i) = -0.003;
    r->uww(i) = 0.002;
    for (int j = 1; j <= np; ++j) {
      const double e = r->eta(j) / r->eta(np);
      r->u(3, j) *= 1.0 + 0.15 * std::sin(M_PI * e);
      r->v(3, j) *= 0.8;
      r->b(3, j) = 0.2 * e / (1.0 + e);
    }
  }
  // A reference speed of 1 mm/s makes the kinetic energy vanish against the
  // enthalpy (u8^2/h0 ~ 3e-12); te = t0 = 300 K as in the three-variable run.
  make_five(five, 1e-3);
  for (int level = 1; level <= 3; ++level) set_enthalpy_levels(five, level, 1.0, 0.0, 1.0);
  const double u8 = five.u8;
  five.tww(i) = GetParam().tww > 0.0
                    ? kT0 - (five.uww(i) * u8) * (five.uww(i) * u8) / (2.0 * kCp)
                    : 0.0;
  const double dp = pressure_term(three, i);

  for (int pass = 1; pass <= 10; ++pass) {
    BL_GAS_PROPERTIES(three, i, dp);
    BL_ASSEMBLE(three, i);
    ASSERT_EQ(BLOCK_TRI_SOLVE(three, i, three.rvec, three.xvec), 0);
    ASSERT_EQ(BL_COMPRESSIBLE_PROPERTIES(five, i, dp), 0);
    BL_ASSEMBLE_ENERGY(five, i);
    ASSERT_EQ(BL_MATRIX_SOLVE(five, five.rvec, five.xvec), 0);
    if (pass == 1) {
      // The first Newton correction.
      for (int j = 1; j <= np; ++j) {
        for (int e = 1; e <= 3; ++e) {
          const double c3 = three.xvec(e, j);
          ASSERT_NEAR(five.xvec(e, j), c3, 1e-10 * std::max(1.0, std::fabs(c3)))
              << "component " << e << " of point " << j;
        }
        EXPECT_LT(std::fabs(five.xvec(4, j)), 1e-10);
        EXPECT_LT(std::fabs(five.xvec(5, j)), 1e-10);
      }
      EXPECT_GT(std::fabs(three.xvec(2, np / 2)), 1e-3);  // a real correction
    }
    BL_APPLY_CORRECTION(three, three.xvec);
    BL_APPLY_ENERGY_CORRECTION(five, five.xvec);
  }
  BL_CORRECTION_MAX(three);
  ASSERT_LT(three.dumax, 1e-12);
  for (int j = 1; j <= np; ++j) {
    EXPECT_NEAR(five.f(3, j), three.f(3, j), 1e-10 * std::max(1.0, std::fabs(three.f(3, j))));
    EXPECT_NEAR(five.u(3, j), three.u(3, j), 1e-10);
    EXPECT_NEAR(five.v(3, j), three.v(3, j), 1e-10 * std::max(1.0, std::fabs(three.v(3, j))));
    EXPECT_NEAR(five.h(3, j), 1.0, 1e-10);
    EXPECT_NEAR(five.tte(j), 1.0, 1e-10);
  }
}

INSTANTIATE_TEST_SUITE_P(Walls, EnergyAtMachZero,
                         ::testing::Values(WallCase{"wall_temperature", 300.0},
                                           WallCase{"adiabatic", 0.0}),
                         sorvane::testing::CaseName());

// ---------------------------------------------------------------------------
// Flat plate.

// The discrete flat-plate (Blasius) profile of the trapezoidal box equations
// f' = u, u' = v, v' = -f v/2 on n points of a geometric grid, by shooting
// on the wall shear v(1) until u(n) = 1 (u(n) grows with v(1)).
Similar blasius_box(int n, double etae, double ratio) {
  Similar s;
  s.deta = geometric_spacing(n, etae, ratio);
  auto march = [&](double v1) {
    s.f.assign(n, 0.0);
    s.u.assign(n, 0.0);
    s.v.assign(n, 0.0);
    s.v[0] = v1;
    for (int j = 1; j < n; ++j) {
      const double a = 0.5 * s.deta[j - 1];
      const double f0 = s.f[j - 1], u0 = s.u[j - 1], v0 = s.v[j - 1];
      double v = v0;
      for (int it = 0; it < 50; ++it) {
        const double u = u0 + a * (v + v0);
        const double f = f0 + a * (u + u0);
        const double g = v - v0 + a * 0.5 * (f * v + f0 * v0);
        const double dg = 1.0 + a * 0.5 * (f + v * a * a);
        const double step = g / dg;
        v -= step;
        if (std::fabs(step) <= 1e-17 * (1.0 + std::fabs(v))) break;
      }
      s.v[j] = v;
      s.u[j] = u0 + a * (v + v0);
      s.f[j] = f0 + a * (s.u[j] + u0);
    }
    return s.u[n - 1];
  };
  double lo = 0.2, hi = 0.5;
  for (int it = 0; it < 200 && hi - lo > 1e-16; ++it) {
    const double mid = 0.5 * (lo + hi);
    (march(mid) > 1.0 ? hi : lo) = mid;
  }
  march(0.5 * (lo + hi));
  s.eta.assign(kGridPoints, 0.0);
  for (int j = 1; j < kGridPoints; ++j) s.eta[j] = s.eta[j - 1] + s.deta[j - 1];
  return s;
}

// A flat plate, ue = 1, stations x(2) = 0.01 growing by 4 % to beyond x = 1,
// at reference speed u8, with wall temperature tww at every station (0 =
// adiabatic). Stations 2 and 3 start from the discrete Blasius profile with
// the enthalpy h = 1 + (hw - 1)(1 - U) (hw = tww/t0, or 1 when adiabatic).
void make_plate(SurfaceRun& r, double u8, double tww) {
  std::vector<double> x = {0.0, 0.01};
  while (x.back() < 1.0) x.push_back(x.back() * 1.04);
  const std::vector<double> ue(x.size(), 1.0);
  make_station_run(r, x, ue);
  make_five(r, u8);
  for (int i = 1; i <= r.nxt; ++i) {
    set_edge_state(r, i);
    r.tww(i) = tww;
  }
  const Similar s = blasius_box(81, 8.0, 1.04);
  fill_similarity(r, s);
  r.np = 81;
  BL_START_PROFILE(r, 2, 2, 1);
  BL_START_PROFILE(r, 3, 3, 1);
  const double hw = tww > 0.0 ? tww / r.t0 : 1.0;
  for (int level = 2; level <= 3; ++level) set_enthalpy_levels(r, level, hw, 1.0 - hw, 1.0);
}

// Marches the plate from station 3 to its end, growing the grid with the
// layer as the surface driver does; hook(i) after every finished station.
template <class Hook>
::testing::AssertionResult march_plate(SurfaceRun& r, Hook hook) {
  for (int i = 3; i <= r.nxt; ++i) {
    if (i > 3) {
      BL_SHIFT_LEVELS(r, i);
      BL_SHIFT_ENERGY_LEVELS(r);
    }
    for (;;) {
      set_weights(r, i);
      ::testing::AssertionResult ok = converge(r, i, 0.0, 1e-11, 40);
      if (!ok) return ok;
      int grew = 0;
      bool full = false;
      BL_EDGE_GROWTH(r, grew, full);
      if (full) return ::testing::AssertionFailure() << "grid full at station " << i;
      if (grew == 0) break;
    }
    hook(i);
  }
  return ::testing::AssertionSuccess();
}

// Pohlhausen's heat transfer of a laminar flat plate with a wall at constant
// temperature, Nu_x = 0.332 Pr^(1/3) Re_x^(1/2) (the exact similarity value
// for Pr = 0.72 is 0.2956, 0.7 % below it). At a reference speed of 1 m/s
// the dissipation is negligible (u8^2/h0 ~ 3e-6 against the wall overheat).
// In the station variables (eta = y sqrt(Re), ue = 1, roe8 = emue8 = 1)
// Nu_x/sqrt(Re_x) = -G(1) sqrt(x)/(hw - 1).
struct HeatCase {
  std::string name;
  double hw;
};
std::ostream& operator<<(std::ostream& os, const HeatCase& c) { return os << c.name; }

class EnergyFlatPlate : public ::testing::TestWithParam<HeatCase> {};

TEST_P(EnergyFlatPlate, HeatTransferFollowsPohlhausen) {
  const double hw = GetParam().hw;
  SurfaceRun r;
  make_plate(r, 1.0, hw * kT0);
  const double pohlhausen = 0.332 * std::cbrt(kPr);
  std::vector<double> nu, cf;
  ASSERT_TRUE(march_plate(r, [&](int i) {
    if (r.x(i) < 0.5) return;
    nu.push_back(-r.g(3, 1) * std::sqrt(r.x(i)) / (hw - 1.0));
    cf.push_back(r.v(3, 1) * std::sqrt(r.x(i)));
  }));
  ASSERT_GT(nu.size(), 10u);
  for (std::size_t k = 0; k < nu.size(); ++k) {
    EXPECT_NEAR(nu[k], pohlhausen, 0.03 * pohlhausen) << "station " << k;
    // The skin friction stays Blasius's 0.332 (the wall overheat changes
    // the density near the wall by some 10 %).
    EXPECT_NEAR(cf[k], 0.332, 0.03 * 0.332) << "station " << k;
  }
  // Wall and edge conditions hold.
  EXPECT_NEAR(r.h(3, 1), hw, 1e-12);
  EXPECT_NEAR(r.h(3, r.np), 1.0, 1e-12);
  EXPECT_NEAR(r.u(3, r.np), 1.0, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Walls, EnergyFlatPlate,
                         ::testing::Values(HeatCase{"heated", 1.1}, HeatCase{"cooled", 0.9}),
                         sorvane::testing::CaseName());

// The recovery factor of an adiabatic laminar flat plate with constant
// properties, from the Blasius profile: the static enthalpy
// T = Te + (ue^2/2cp) theta obeys theta'' + (Pr/2) f theta' = -2 Pr f''^2
// with theta'(0) = 0, theta(inf) = 0, whose solution gives
//   r = theta(0) = 2 Pr int_0^inf f''(eta)^Pr int_0^eta f''(s)^(2-Pr) ds deta
// (1 for Pr = 1), close to sqrt(Pr).
double recovery_factor(const Similar& s, double pr) {
  const int n = static_cast<int>(s.v.size());
  double inner = 0.0, outer = 0.0;
  double prev_term = 0.0;  // f''(0)^Pr * inner(0) = 0
  for (int j = 1; j < n; ++j) {
    const double h = s.deta[j - 1];
    inner += 0.5 * h * (std::pow(s.v[j - 1], 2.0 - pr) + std::pow(s.v[j], 2.0 - pr));
    const double term = std::pow(s.v[j], pr) * inner;
    outer += 0.5 * h * (prev_term + term);
    prev_term = term;
  }
  return 2.0 * pr * outer;
}

TEST(EnergyFlatPlateAdiabatic, RecoveryFactorIsTheLaminarValue) {
  // The exact constant-property value on a fine grid, and its neighbour
  // sqrt(Pr).
  const Similar fine = blasius_box(801, 12.0, 1.005);
  EXPECT_NEAR(fine.v[0], 0.332057, 5e-6);
  EXPECT_NEAR(recovery_factor(fine, 1.0), 1.0, 1e-5);
  const double exact = recovery_factor(fine, kPr);
  EXPECT_NEAR(exact, std::sqrt(kPr), 0.01 * std::sqrt(kPr));

  // Mach 0.3 at the edge: 5 K between total and static edge temperature.
  SurfaceRun r;
  const double u8 = 0.3 * 20.049999237060547 * std::sqrt(kT0);
  make_plate(r, u8, 0.0);
  std::vector<double> rec;
  ASSERT_TRUE(march_plate(r, [&](int i) {
    if (r.x(i) < 0.5) return;
    const double tw = r.t0 * r.h(3, 1);  // U = 0 at the wall
    rec.push_back((tw - r.te(i)) / (r.t0 - r.te(i)));
    // Adiabatic: no enthalpy gradient at a wall at rest.
    EXPECT_NEAR(r.g(3, 1), 0.0, 1e-14);
  }));
  ASSERT_GT(rec.size(), 10u);
  for (std::size_t k = 0; k < rec.size(); ++k) EXPECT_NEAR(rec[k], exact, 0.005 * exact) << k;
  EXPECT_NEAR(r.h(3, r.np), 1.0, 1e-12);
  EXPECT_NEAR(r.tte(r.np), 1.0, 1e-12);  // te is the static edge temperature
}

// ---------------------------------------------------------------------------
// Crocco's relation: with pr = prt = 1 and no pressure gradient the total
// enthalpy h = hw + (1 - hw) U/ue solves the energy equation exactly (its
// flux is (1 - hw)/ue times the momentum flux and its convection the same
// multiple of the momentum convection), also with eddy viscosity, a wall
// transpiration and at a reference speed of Mach 1, where the temperature and with it density and
// viscosity change strongly across the layer; adiabatic, h = 1 everywhere.

struct CroccoCase {
  std::string name;
  double hw;  // 0 = adiabatic wall
};
std::ostream& operator<<(std::ostream& os, const CroccoCase& c) { return os << c.name; }

class EnergyCrocco : public ::testing::TestWithParam<CroccoCase> {};

TEST_P(EnergyCrocco, TotalEnthalpyIsLinearInTheVelocity) {
  const CroccoCase& c = GetParam();
  SurfaceRun r;
  const double u8 = 20.049999237060547 * std::sqrt(kT0);
  make_plate(r, u8, c.hw * kT0);
  r.pr = r.prt = 1.0;
  const double hw = c.hw > 0.0 ? c.hw : 1.0;
  double spread = 0.0;
  for (int i = 3; i <= 6; ++i) {
    if (i > 3) {
      BL_SHIFT_LEVELS(r, i);
      BL_SHIFT_ENERGY_LEVELS(r);
    }
    set_weights(r, i);
    r.vww(i) = -0.002;
    for (int j = 1; j <= r.np; ++j) {
      r.b(3, j) = 0.5 * r.eta(j) / (1.0 + r.eta(j));
      r.h(3, j) = 1.0 + 0.1 * std::sin(3.0 * j / r.np);  // a guess off the solution
    }
    ASSERT_TRUE(converge(r, i, 0.0, 1e-13, 60)) << "station " << i;
    for (int j = 1; j <= r.np; ++j) {
      EXPECT_NEAR(r.h(3, j), hw + (1.0 - hw) * r.u(3, j), 1e-12) << "station " << i << ", " << j;
      spread = std::max(spread, std::fabs(r.tte(j) - 1.0));
    }
  }
  // The temperature did vary across the layer (by 60 K at the edge alone).
  EXPECT_GT(spread, 0.2);
}

INSTANTIATE_TEST_SUITE_P(Walls, EnergyCrocco,
                         ::testing::Values(CroccoCase{"heated", 1.2}, CroccoCase{"cooled", 0.6},
                                           CroccoCase{"adiabatic", 0.0}),
                         sorvane::testing::CaseName());

// ---------------------------------------------------------------------------
// The gas and the diffusivities of a point against their definitions: the
// temperature from total enthalpy and kinetic energy, density and Sutherland
// viscosity, and the laminar and turbulent Prandtl numbers in the heat flux
// (the flat plates and Crocco's relation see only the laminar ones, or
// pr = prt).

TEST(EnergyProperties, GasAndDiffusivitiesOfAPoint) {
  SurfaceRun r;
  const int np = 17, i = 4;
  make_energy_station(r, np, 330.0);
  ASSERT_EQ(BL_COMPRESSIBLE_PROPERTIES(r, i, 0.0), 0);
  const double u8 = r.u8;
  for (int j : {1, 6, np}) {
    const double U = r.u(3, j), bt = r.b(3, j);
    const double t = kT0 * r.h(3, j) - (U * u8) * (U * u8) / (2.0 * kCp);
    const double rho = r.roe8(i) * r.te(i) / t;
    const double c = rho * sutherland(t) / r.emue(i);
    EXPECT_NEAR(r.tte(j), t / r.te(i), 1e-14 * r.tte(j));
    EXPECT_NEAR(r.ccro(3, j), rho, 1e-14 * rho);
    EXPECT_NEAR(r.ccmu(3, j), c, 1e-13 * c);
    EXPECT_NEAR(r.bb(j), (1.0 + bt) * c, 1e-13 * c);
    EXPECT_NEAR(r.ee(j), c * (1.0 / kPr + bt / kPrt), 1e-13 * c);
    const double dd = c * ((1.0 - 1.0 / kPr) + bt * (1.0 - 1.0 / kPrt)) * u8 * u8 / r.h0;
    EXPECT_NEAR(r.dd(j), dd, 1e-13 * std::fabs(dd));
    if (j > 1) {
      EXPECT_GT(bt, 0.05);  // the turbulent terms are in play
    }
  }
}

// ---------------------------------------------------------------------------
// A profile with no positive temperature is refused, by its first point.

TEST(EnergyProperties, RefuseAProfileWithoutAPositiveTemperature) {
  SurfaceRun r;
  make_energy_station(r, 17, 330.0);
  r.h(3, 6) = -0.1;
  r.h(3, 9) = kNaN;
  for (int j = 1; j <= 17; ++j) r.bb(j) = -5.0;
  EXPECT_EQ(BL_COMPRESSIBLE_PROPERTIES(r, 4, 0.0), 6);
  EXPECT_EQ(r.bb(1), -5.0);  // the coefficients are not made
  // A kinetic energy above the total enthalpy.
  r.h(3, 6) = 1.0;
  r.h(3, 9) = 1.0;
  r.u(3, 11) = 10.0;
  EXPECT_EQ(BL_COMPRESSIBLE_PROPERTIES(r, 4, 0.0), 11);
  r.u(3, 11) = 0.5;
  EXPECT_EQ(BL_COMPRESSIBLE_PROPERTIES(r, 4, 0.0), 0);
  EXPECT_NE(r.bb(1), -5.0);
}

// ---------------------------------------------------------------------------
// The dumps of a converged five-variable station: the five-variable layout of
// the profile listing and of the debug listing.

TEST(EnergyDumps, FiveVariableStationWritesTheWideLayout) {
  SurfaceRun r;
  const int np = 17, i = 4;
  make_energy_station(r, np, 330.0);
  r.k_iter = 0;
  for (;;) {
    ++r.k_iter;
    ASSERT_EQ(BL_COMPRESSIBLE_PROPERTIES(r, i, pressure_term(r, i)), 0);
    BL_ASSEMBLE_ENERGY(r, i);
    ASSERT_EQ(BL_MATRIX_SOLVE(r, r.rvec, r.xvec), 0);
    BL_APPLY_ENERGY_CORRECTION(r, r.xvec);
    BL_CORRECTION_MAX(r);
    if (r.dumax < 1e-10 && r.dhmax < 1e-10) break;
    ASSERT_LT(r.k_iter, 30);
  }
  ASSERT_GE(r.jhmax, 1);

  const std::string dir = sorvane::testing::scratch_dir("energy_dumps");
  const std::string deb = dir + "/case.deb", bln = dir + "/case.bln";
  std::string err;
  ASSERT_TRUE(text::units().open(10, deb, &err)) << err;
  ASSERT_TRUE(text::units().open(12, bln, &err)) << err;
  const int old_deb = state().LUDEB, old_bln = state().LUBLN;
  state().LUDEB = 10;
  state().LUBLN = 12;
  BL_PRINT_PROFILE(r, i, 3);
  BL_PRINT_BLOCK_SYSTEM(r, i, r.k_iter, 3);
  text::units().close(10);
  text::units().close(12);
  state().LUDEB = old_deb;
  state().LUBLN = old_bln;

  auto pass_head = [&]() {
    char t[32];
    std::snprintf(t, sizeof t, " IT=%5d NX=%5d", r.k_iter, i);
    return std::string(t);
  };
  auto sp = [](int n) { return std::string(static_cast<std::size_t>(n), ' '); };
  auto rule = [](char c, int n) { return std::string(static_cast<std::size_t>(n), c); };
  const std::string columns = "    I" + sp(9) + "ETA" + sp(11) + "DETA" + sp(12) + "A" + sp(14) +
                              "F" + sp(14) + "U" + sp(14) + "V" + sp(14) + "H" + sp(14) + "G" +
                              sp(14) + "B" + sp(12) + "CCRO";

  // Profile listing: 100 "=", 170 "=", the eleven-column head, np rows of
  // 5 + 11*15 characters, 170 "-".
  const std::vector<std::string> p = sorvane::testing::read_lines(bln);
  ASSERT_EQ(p.size(), static_cast<std::size_t>(7 + np));
  EXPECT_EQ(p[0], "");
  EXPECT_EQ(p[1], rule('=', 100));
  EXPECT_EQ(p[2].substr(0, 18), pass_head());
  EXPECT_EQ(p[3], rule('=', 170));
  EXPECT_EQ(p[4], columns + sp(12) + "TTE");
  EXPECT_EQ(p[5], rule('-', 170));
  for (int j = 1; j <= np; ++j) {
    const std::string& row = p[5 + j];
    ASSERT_EQ(row.size(), 170u) << row;
    EXPECT_EQ(std::stoi(row.substr(0, 5)), j);
    // H, G and TTE columns hold h, G and T/Te of the point.
    EXPECT_NEAR(std::stod(row.substr(5 + 6 * 15, 15)), r.h(3, j), 1e-3 * std::fabs(r.h(3, j)));
    EXPECT_NEAR(std::stod(row.substr(5 + 7 * 15, 15)), r.g(3, j),
                1e-3 * std::fabs(r.g(3, j)) + 1e-300);
    EXPECT_NEAR(std::stod(row.substr(5 + 10 * 15, 15)), r.tte(j), 1e-3 * r.tte(j));
  }
  EXPECT_EQ(p[6 + np], rule('-', 170));

  // Debug listing: the equation table with 13 values a row, the block table
  // with five A, B and C columns (17 values on the first row of a point, 16
  // on the others), then the corrections and the eleven-column profile.
  const std::vector<std::string> d = sorvane::testing::read_lines(deb);
  ASSERT_EQ(d.size(), static_cast<std::size_t>(4 + 2 + 5 * np + 2 + 5 * np + 2 + 2 + 1 + 4 +
                                                np + 2));
  std::size_t k = 0;
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(d[k++], rule('=', 125));
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(d[k++].substr(0, 18), pass_head());
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(d[k++], "  j  k" + sp(6) + "Q" + sp(10) + "Qp" + sp(10) + "RQ" + sp(10) + "dQdx" +
                        sp(44) + "dQpdx");
  for (int j = 1; j <= np; ++j)
    for (int row = 1; row <= 5; ++row) {
      const std::string& line = d[k++];
      ASSERT_EQ(line.size(), 6u + 13u * 12u) << line;
      EXPECT_EQ(std::stoi(line.substr(3, 3)), row);
      if (row == 1) {
        EXPECT_EQ(std::stoi(line.substr(0, 3)), j);
      }
    }
  EXPECT_EQ(d[k++], "");
  std::string head = "  j  k" + sp(6) + "A";
  for (int m = 1; m < 5; ++m) head += sp(11) + "A";
  for (int m = 0; m < 5; ++m) head += sp(11) + "B";
  for (int m = 0; m < 5; ++m) head += sp(11) + "C";
  EXPECT_EQ(d[k++], head + sp(11) + "R");
  for (int j = 1; j <= np; ++j)
    for (int row = 1; row <= 5; ++row) {
      const std::string& line = d[k++];
      ASSERT_EQ(line.size(), row == 1 ? 6u + 17u * 12u : 6u + 16u * 12u) << line;
      // The right-hand side of the converged station is small.
      EXPECT_LT(std::fabs(std::stod(line.substr(6 + 15 * 12, 12))), 1e-6) << line;
    }
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(d[k++], rule('=', 125));
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(d[k++].substr(0, 18), pass_head());
  const std::string corr = d[k++];
  EXPECT_EQ(corr.substr(0, 17), sp(10) + " dumax=");
  EXPECT_EQ(std::stoi(corr.substr(17 + 15 + 5 + 7 + 15, 5)), r.jhmax) << corr;
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(d[k++], rule('=', 170));
  EXPECT_EQ(d[k++], columns + sp(10) + "T/TE-1");
  EXPECT_EQ(d[k++], rule('-', 170));
  for (int j = 1; j <= np; ++j) {
    const std::string& row = d[k++];
    ASSERT_EQ(row.size(), 170u) << row;
    EXPECT_NEAR(std::stod(row.substr(5 + 10 * 15, 15)), r.tte(j) - 1.0,
                1e-3 * std::fabs(r.tte(j) - 1.0) + 1e-300);
  }
  EXPECT_EQ(d[k++], rule('-', 170));
  EXPECT_EQ(d[k++], "");
  EXPECT_EQ(k, d.size());
}

}  // namespace
}  // namespace sorvane::bl

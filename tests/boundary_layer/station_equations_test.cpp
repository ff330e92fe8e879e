

// The station system: its blocks against finite differences of the station
// equations written out independently here, Newton passes on one station
// (quadratic convergence, converged box equations and boundary conditions),
// the plane stagnation-point flow whose scaled similarity profile solves the
// discrete system exactly, and the edge cases of the properties, the
// correction maximum, the start profiles, the level shift and the growth of
// the grid.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <ostream>
#include <limits>
#include <string>
#include <vector>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/inverse_mode.h"
#include "solver/boundary_layer/station_equations.h"
#include "tests/boundary_layer/block_check.h"
#include "tests/boundary_layer/station_fixture.h"
#include "tests/test_support.h"

namespace sorvane::bl {
namespace {

using station_test::check_blocks_against_differences;
using station_test::expect_no_blocks_outside_band;
using station_test::expect_right_hand_side;
using station_test::kC1;
using station_test::kC2;
using station_test::make_hiemenz_run;
using station_test::make_station_run;
using station_test::prescribed_deficit;
using station_test::pressure_term;
using station_test::set_weights;
using station_test::level3;
using station_test::Similar;
using station_test::sutherland;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---------------------------------------------------------------------------
// The station equations written out from their definition, for the Jacobian
// check. z holds (F, U, V) of level 3 at points 1..np; levels 1 and 2, the
// grid, the weights and the properties rho, bb (held fixed, as the Newton
// system holds them) come from the run.

enum class Layout { kDirect, kInverse, kCoupled };

struct RowModel {
  const SurfaceRun& r;
  int i;
  Layout layout;
  std::vector<double> rho, bb;  // rho_j, bb_j, j = 1..np (index j-1)

  RowModel(const SurfaceRun& run, int station, Layout l) : r(run), i(station), layout(l) {
    for (int j = 1; j <= r.np; ++j) {
      rho.push_back(r.ccro(3, j));
      bb.push_back(r.bb(j));
    }
  }

  // Residual G of every row, in the order (row 1..3 of point 1, of point 2,
  // ...); the Newton system is J*delta = -G with J = dG/dz.
  std::vector<double> rows(const std::vector<double>& z, double dp) const {
    const int np = r.np;
    auto F = [&](int j) { return z[3 * (j - 1)]; };
    auto U = [&](int j) { return z[3 * (j - 1) + 1]; };
    auto V = [&](int j) { return z[3 * (j - 1) + 2]; };
    auto Ux = [&](int j) {
      return r.cx0 * std::max(U(j), 0.0) + r.cx1 * r.u(2, j) + r.cx2 * r.u(1, j);
    };
    auto Fx = [&](int j) { return r.cx0 * F(j) + r.cx1 * r.f(2, j) + r.cx2 * r.f(1, j); };
    auto q = [&](int e, int j) {
      return e == 1 ? F(j) : e == 2 ? U(j) : bb[j - 1] * V(j);
    };
    auto qp = [&](int e, int j) {
      if (e == 1) return rho[j - 1] * U(j);
      if (e == 2) return V(j);
      return rho[j - 1] * std::max(U(j), 0.0) * Ux(j) - V(j) * Fx(j) + dp;
    };
    // Trapezoidal form of dq/deta = qp on the box between points j-1 and j.
    auto box = [&](int e, int j) {
      return (q(e, j) - q(e, j - 1)) - r.aa(j) * (qp(e, j) + qp(e, j - 1));
    };

    std::vector<double> g(3 * np, 0.0);
    auto G = [&](int m, int j) -> double& { return g[3 * (j - 1) + m - 1]; };
    if (layout == Layout::kCoupled) {
      G(1, 1) = -(U(1) - r.uww(i));
      for (int j = 1; j < np; ++j) {
        G(2, j) = box(2, j + 1);
        G(3, j) = box(3, j + 1);
      }
      for (int j = 2; j <= np; ++j) G(1, j) = box(1, j);
      G(2, np) = -(U(np) - r.ue(i));
      const double eta = r.eta(np), rn = rho[np - 1];
      const double d = r.invmode == 8 ? -eta * rn : (r.d1_bc(i) - eta) * rn;
      G(3, np) = F(np) + d * U(np) - F(1) + (r.invmode == 8 ? prescribed_deficit(r, i) : 0.0);
      return g;
    }
    const bool shear_row = layout == Layout::kInverse && r.invmode >= 4 && r.invmode <= 6;
    G(1, 1) = shear_row ? -(V(1) - 0.5 * r.cf_bc(i) / r.ccmu(3, 1))
                        : -(Fx(1) + r.vww(i) * rho[0]) / r.cx0;
    G(2, 1) = -(U(1) - r.uww(i));
    for (int j = 2; j <= np; ++j) {
      G(1, j) = box(1, j);
      G(2, j) = box(2, j);
    }
    for (int j = 1; j < np; ++j) G(3, j) = box(3, j + 1);
    if (layout == Layout::kDirect) {
      G(3, np) = -(U(np) - r.ue(i));
    } else {
      // Momentum balance at the edge, dp = -rho*U*dU/dx, weighted like a box.
      G(3, np) = -2.0 * r.aa(np) * (rho[np - 1] * U(np) * Ux(np) + dp);
    }
    return g;
  }
};

// A non-similar station 4 of a stagnation-point start: levels 1 and 2 the
// start profiles of stations 2 and 3, level 3 a disturbed first guess with a
// small positive wall velocity, an eddy viscosity, a density ratio 1.3, wall
// transpiration and wall velocity.
void make_jacobian_station(SurfaceRun& r, int np) {
  make_hiemenz_run(r, np, 5.0, 1.04, 2.0);
  BL_SHIFT_LEVELS(r, 4);
  set_weights(r, 4);
  r.roe8(4) = 1.3;
  r.vww(4) = -0.002;
  r.uww(4) = 0.001;
  r.cf_bc(4) = 0.08;
  r.d1_bc(2) = 0.004;
  r.d1_bc(3) = 0.005;
  r.d1_bc(4) = 0.006;
  r.rv_bc(4) = 0.02;
  for (int j = 1; j <= np; ++j) {
    const double e = r.eta(j) / r.eta(np);
    r.f(3, j) *= 1.0 + 0.05 * std::sin(3.0 * e);
    r.u(3, j) = r.u(3, j) * (1.0 + 0.1 * std::sin(M_PI * e)) + 0.01 * r.ue(4);
    r.v(3, j) *= 0.9 + 0.2 * e;
    r.b(3, j) = 0.3 * e / (1.0 + e);
  }
}

struct JacobianCase {
  std::string name;
  Layout layout;
  int invmode;
};
std::ostream& operator<<(std::ostream& os, const JacobianCase& c) { return os << c.name; }


class StationJacobian : public ::testing::TestWithParam<JacobianCase> {};

TEST_P(StationJacobian, BlocksAreTheDerivativesOfTheStationEquations) {
  const JacobianCase& c = GetParam();
  SurfaceRun r;
  const int np = 21, i = 4;
  make_jacobian_station(r, np);
  r.invmode = c.invmode;
  r.xinv = c.layout == Layout::kDirect ? r.x(i) : r.x(i - 1);
  const double dp = 1.1 * pressure_term(r, i);

  BL_GAS_PROPERTIES(r, i, dp);
  // Nothing may read the residual slot of point 1 (there is no box below it).
  for (int e = 1; e <= 3; ++e) r.rq(e, 1) = kNaN;
  // The second right-hand side keeps older values where it is not built.
  for (int j = 1; j <= np; ++j)
    for (int e = 1; e <= 3; ++e) r.eyvec(e, j) = -7.0;
  if (c.layout == Layout::kCoupled) {
    BL_ASSEMBLE_COUPLED(r, i);
  } else {
    BL_ASSEMBLE(r, i);
  }

  const RowModel model(r, i, c.layout);
  const std::vector<double> z0 = level3(r);
  const std::vector<double> g0 = model.rows(z0, dp);
  const int n = 3 * np;

  // Right-hand side: -G, except the inverse edge row, which carries
  // 2*aa(np)*edge_res with edge_res = -(rho*U*dU/dx + dp).
  std::vector<double> want(n);
  for (int row = 0; row < n; ++row) {
    const int j = row / 3 + 1, m = row % 3 + 1;
    want[row] = (c.layout == Layout::kInverse && j == np && m == 3) ? g0[row] : -g0[row];
  }
  expect_right_hand_side(r, 3, want);

  // Blocks against central differences; the coupled layout adds the border
  // block F0 to the row of the last point and the components of point 1.
  int checked = 0;
  ASSERT_NO_FATAL_FAILURE(check_blocks_against_differences(
      r, 3, z0, [&](const std::vector<double>& z) { return model.rows(z, dp); },
      [&](int m, int l, int j, int jc) {
        return c.layout == Layout::kCoupled && j == np && jc == 1 ? r.f0_mat(m, l) : 0.0;
      },
      &checked));
  EXPECT_EQ(checked, n * n);
  // Blocks outside the band: A(1) and C(np).
  expect_no_blocks_outside_band(r, 3);

  // Second right-hand side: the derivative of -G with respect to an additive
  // change of the pressure-gradient term, built only in the inverse region
  // of modes up to 6.
  const std::vector<double> gd = model.rows(z0, dp + 1e-3);
  for (int row = 0; row < n; ++row) {
    const int j = row / 3 + 1, m = row % 3 + 1;
    if (c.layout == Layout::kInverse && c.invmode <= 6) {
      const double fd = -(gd[row] - g0[row]) / 1e-3;
      EXPECT_NEAR(r.eyvec(m, j), fd, 1e-9) << "row " << m << " of point " << j;
    } else {
      EXPECT_EQ(r.eyvec(m, j), -7.0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, StationJacobian,
    ::testing::Values(JacobianCase{"direct", Layout::kDirect, 0},
                      JacobianCase{"direct_mode2_before_separation", Layout::kDirect, 2},
                      JacobianCase{"inverse_wall_shear", Layout::kInverse, 2},
                      JacobianCase{"inverse_displacement", Layout::kInverse, 1},
                      JacobianCase{"inverse_transpiration", Layout::kInverse, 3},
                      JacobianCase{"inverse_displacement_shear_row", Layout::kInverse, 4},
                      JacobianCase{"inverse_transpiration_shear_row", Layout::kInverse, 5},
                      JacobianCase{"inverse_edge_velocity_shear_row", Layout::kInverse, 6},
                      JacobianCase{"inverse_mode7_plain_rows", Layout::kInverse, 7},
                      JacobianCase{"coupled_displacement", Layout::kCoupled, 7},
                      JacobianCase{"coupled_transpiration", Layout::kCoupled, 8}),
    sorvane::testing::CaseName());

// The box quantities, wall derivative and edge balance at one point,
// against their definitions.
TEST(StationEquations, BoxQuantitiesAndEdgeBalance) {
  SurfaceRun r;
  const int np = 21, i = 4;
  make_jacobian_station(r, np);
  const double dp = 0.37;
  BL_GAS_PROPERTIES(r, i, dp);
  for (int j : {1, 7, np}) {
    const double rho = r.ccro(3, j), bb = r.bb(j);
    const double U = r.u(3, j), V = r.v(3, j), F = r.f(3, j);
    const double ux = r.cx0 * U + r.cx1 * r.u(2, j) + r.cx2 * r.u(1, j);
    const double fx = r.cx0 * F + r.cx1 * r.f(2, j) + r.cx2 * r.f(1, j);
    EXPECT_DOUBLE_EQ(r.q(1, j), F);
    EXPECT_DOUBLE_EQ(r.q(2, j), U);
    EXPECT_DOUBLE_EQ(r.q(3, j), bb * V);
    EXPECT_DOUBLE_EQ(r.qp(1, j), rho * U);
    EXPECT_DOUBLE_EQ(r.qp(2, j), V);
    EXPECT_NEAR(r.qp(3, j), rho * U * ux - V * fx + dp, 1e-12 * (1.0 + std::fabs(dp)));
    EXPECT_DOUBLE_EQ(r.dqdx(3, 3, j), bb);
    EXPECT_DOUBLE_EQ(r.dqpdx(3, 1, j), -r.cx0 * V);
    EXPECT_DOUBLE_EQ(r.dqpdx(3, 3, j), -fx);
    if (j == 1) {
      EXPECT_DOUBLE_EQ(r.dfdx_wall, fx);
    }
    if (j == np) {
      EXPECT_NEAR(r.edge_res, -(rho * U * ux + dp), 1e-12);
      EXPECT_NEAR(r.edge_jac, rho * (r.cx0 * U + ux), 1e-12 * std::fabs(r.edge_jac));
    }
  }
}

// Box arrays and blocks made with more rows (the five-variable layout) hold
// the same three-variable system in their leading rows and columns.
TEST(StationEquations, WiderBoxArraysHoldTheSameSystem) {
  SurfaceRun narrow, wide;
  const int np = 15, i = 4;
  make_jacobian_station(narrow, np);
  make_jacobian_station(wide, np);
  DIAG_3_DEALLOCATE(wide);
  wide.neq = 5;  // the station system is made again with five rows
  DIAG_3_ALLOCATE(wide);
  for (SurfaceRun* r : {&narrow, &wide}) {
    r->xinv = 0.0;
    r->invmode = 5;
    BL_GAS_PROPERTIES(*r, i, 0.3);
    BL_ASSEMBLE(*r, i);
  }
  ASSERT_EQ(wide.amat.dim1(), 5);
  for (int j = 1; j <= np; ++j)
    for (int a = 1; a <= 3; ++a) {
      EXPECT_EQ(wide.rvec(a, j), narrow.rvec(a, j));
      EXPECT_EQ(wide.eyvec(a, j), narrow.eyvec(a, j));
      EXPECT_EQ(wide.rq(a, j), narrow.rq(a, j));
      for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(wide.amat(a, c, j), narrow.amat(a, c, j));
        EXPECT_EQ(wide.bmat(a, c, j), narrow.bmat(a, c, j));
        EXPECT_EQ(wide.cmat(a, c, j), narrow.cmat(a, c, j));
        EXPECT_EQ(wide.dqpdx(a, c, j), narrow.dqpdx(a, c, j));
      }
    }
}

// ---------------------------------------------------------------------------
// The plane stagnation-point flow: the scaled similarity profile is the exact
// solution of the discrete station system.

TEST(StationEquations, HiemenzSolutionOfTheTestIsTheStagnationPointFlow) {
  // The test's own discrete solution converges to the known wall shear
  // f''(0) = 1.2325877 of the Hiemenz flow as the grid is refined.
  const Similar coarse = station_test::hiemenz_box(101, 6.0, 1.0);
  const Similar fine = station_test::hiemenz_box(401, 6.0, 1.0);
  EXPECT_NEAR(fine.v[0], 1.2325877, 4e-5);
  EXPECT_LT(std::fabs(fine.v[0] - 1.2325877), 0.1 * std::fabs(coarse.v[0] - 1.2325877));
  EXPECT_NEAR(fine.u.back(), 1.0, 1e-13);
}

TEST(StationEquations, ScaledSimilarityProfileSolvesTheStationSystem) {
  SurfaceRun r;
  const int np = 41;
  const double c = 2.5;
  make_hiemenz_run(r, np, 5.0, 1.03, c);

  // Station 3: the start profile, two-level weights.
  set_weights(r, 3);
  BL_GAS_PROPERTIES(r, 3, pressure_term(r, 3));
  double worst = 0.0;
  for (int j = 2; j <= np; ++j)
    for (int e = 1; e <= 3; ++e) worst = std::max(worst, std::fabs(r.rq(e, j)));
  EXPECT_LT(worst, 1e-15);
  EXPECT_NEAR(r.dfdx_wall, 0.0, 1e-15);

  // Station 4 and 5: the shifted first guess is again the scaled profile, and
  // one Newton pass (three-level weights) changes it only by rounding.
  for (int i = 4; i <= 5; ++i) {
    BL_SHIFT_LEVELS(r, i);
    set_weights(r, i);
    BL_GAS_PROPERTIES(r, i, pressure_term(r, i));
    worst = 0.0;
    for (int j = 2; j <= np; ++j)
      for (int e = 1; e <= 3; ++e) worst = std::max(worst, std::fabs(r.rq(e, j)));
    EXPECT_LT(worst, 1e-14) << "station " << i;
    BL_ASSEMBLE(r, i);
    ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec), 0);
    BL_APPLY_CORRECTION(r, r.xvec);
    BL_CORRECTION_MAX(r);
    EXPECT_LT(r.dumax, 1e-13 * r.ue(i)) << "station " << i;
    // The profile is the similarity profile scaled to the station.
    const double s = std::sqrt(r.x(i) / r.ue(i));
    for (int j = 1; j <= np; ++j) {
      EXPECT_NEAR(r.u(3, j), r.sim.u_sim(j) * r.ue(i), 1e-13);
      EXPECT_NEAR(r.f(3, j), r.sim.f_sim(j) * r.ue(i) * s, 1e-13);
      EXPECT_NEAR(r.v(3, j), r.sim.v_sim(j) * r.ue(i) / s, 1e-12);
    }
  }
}

// ---------------------------------------------------------------------------
// Newton passes on one station with the edge velocity prescribed.

struct NewtonCase {
  std::string name;
  double ue_factor;  // ue(4) as a multiple of the stagnation-point value
  double vww;        // wall transpiration
  double uww;        // wall velocity
};
std::ostream& operator<<(std::ostream& os, const NewtonCase& c) { return os << c.name; }


class StationNewton : public ::testing::TestWithParam<NewtonCase> {};

TEST_P(StationNewton, ConvergesQuadraticallyToTheStationEquations) {
  const NewtonCase& c = GetParam();
  SurfaceRun r;
  const int np = 61, i = 4;
  make_hiemenz_run(r, np, 6.0, 1.03, 2.0);
  r.ue(i) *= c.ue_factor;
  r.vww(i) = c.vww;
  r.uww(i) = c.uww;
  BL_SHIFT_LEVELS(r, i);
  set_weights(r, i);
  // A first guess well away from the solution.
  for (int j = 1; j <= np; ++j) {
    const double e = r.eta(j) / r.eta(np);
    r.u(3, j) *= 1.0 + 0.15 * std::sin(M_PI * e);
    r.v(3, j) *= 0.8;
  }
  const double dp = pressure_term(r, i);

  std::vector<double> history;
  for (int pass = 0; pass < 12; ++pass) {
    BL_GAS_PROPERTIES(r, i, dp);
    BL_ASSEMBLE(r, i);
    ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec), 0);
    BL_APPLY_CORRECTION(r, r.xvec);
    BL_CORRECTION_MAX(r);
    history.push_back(r.dumax);
    if (r.dumax < 1e-14) break;
  }
  ASSERT_GE(history.size(), 3u);
  ASSERT_LT(history.back(), 1e-12) << "no convergence";
  EXPECT_LE(history.size(), 7u);
  // Quadratic: each correction about the square of the one before (scaled by
  // the edge velocity), once the passes are in the Newton basin.
  for (std::size_t k = 1; k < history.size(); ++k) {
    if (history[k - 1] < 1e-3 * r.ue(i) && history[k] > 1e-13) {
      EXPECT_LT(history[k], 5.0 * history[k - 1] * history[k - 1] / r.ue(i))
          << "pass " << k + 1;
    }
  }

  // The converged station meets its box equations and boundary conditions.
  BL_GAS_PROPERTIES(r, i, dp);
  for (int j = 2; j <= np; ++j)
    for (int e = 1; e <= 3; ++e) EXPECT_LT(std::fabs(r.rq(e, j)), 1e-8) << e << " " << j;
  EXPECT_NEAR(r.u(3, np), r.ue(i), 1e-12);
  EXPECT_NEAR(r.u(3, 1), c.uww, 1e-14);
  EXPECT_NEAR(r.dfdx_wall, -c.vww * r.ccro(3, 1), 1e-12);
  // The last correction was stored as df, du, dv.
  EXPECT_EQ(std::fabs(r.du(r.jumax)), r.dumax);
}

INSTANTIATE_TEST_SUITE_P(
    Stations, StationNewton,
    ::testing::Values(NewtonCase{"stagnation_point_flow", 1.0, 0.0, 0.0},
                      NewtonCase{"decelerating", 0.93, 0.0, 0.0},
                      NewtonCase{"accelerating_with_suction", 1.08, -0.01, 0.0},
                      NewtonCase{"moving_wall_with_blowing", 1.0, 0.004, 0.003}),
    sorvane::testing::CaseName());

TEST(StationEquations, NewtonConvergesToTheStagnationPointProfile) {
  SurfaceRun r;
  const int np = 41, i = 4;
  make_hiemenz_run(r, np, 5.0, 1.03, 2.0);
  BL_SHIFT_LEVELS(r, i);
  set_weights(r, i);
  for (int j = 1; j <= np; ++j) r.u(3, j) *= 1.0 + 0.1 * std::sin(M_PI * r.eta(j) / r.eta(np));
  for (int pass = 0; pass < 8; ++pass) {
    BL_GAS_PROPERTIES(r, i, pressure_term(r, i));
    BL_ASSEMBLE(r, i);
    ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec), 0);
    BL_APPLY_CORRECTION(r, r.xvec);
  }
  const double s = std::sqrt(r.x(i) / r.ue(i));
  for (int j = 1; j <= np; ++j) {
    EXPECT_NEAR(r.u(3, j), r.sim.u_sim(j) * r.ue(i), 1e-13);
    EXPECT_NEAR(r.v(3, j), r.sim.v_sim(j) * r.ue(i) / s, 1e-12);
  }
}

// ---------------------------------------------------------------------------
// Properties.

struct GasCase {
  double eme, roe8, te;
};
std::ostream& operator<<(std::ostream& os, const GasCase& c) {
  return os << "eme " << c.eme << ", roe8 " << c.roe8 << ", te " << c.te;
}

class StationGas : public ::testing::TestWithParam<GasCase> {};

TEST_P(StationGas, TemperatureDensityAndViscosityRatios) {
  const GasCase& c = GetParam();
  SurfaceRun r;
  const int np = 11, i = 4;
  make_jacobian_station(r, np);
  r.eme(i) = c.eme;
  r.roe8(i) = c.roe8;
  r.te(i) = c.te;
  r.emue(i) = 1.9e-5;
  BL_GAS_PROPERTIES(r, i, 0.0);
  const double ue = r.u(3, np);
  for (int j = 1; j <= np; ++j) {
    const double ratio = r.u(3, j) / ue;
    const double tte = 1.0 + 0.20000000298023224 * c.eme * c.eme * (1.0 - ratio * ratio);
    const double t = tte * c.te;
    const double rho = c.roe8 / tte;
    const double mu = rho * kC1 * std::pow(t, 1.5) / (t + kC2) / 1.9e-5;
    if (c.eme == 0.0) {
      EXPECT_EQ(r.tte(j), 1.0);
      EXPECT_EQ(r.ccro(3, j), c.roe8);
    }
    EXPECT_NEAR(r.tte(j), tte, 1e-15);
    EXPECT_NEAR(r.ccro(3, j), rho, 1e-15 * rho);
    EXPECT_NEAR(r.ccmu(3, j), mu, 1e-14 * mu);
    EXPECT_NEAR(r.bb(j), (1.0 + r.b(3, j)) * mu, 1e-14 * mu);
  }
  EXPECT_EQ(r.tte(np), 1.0);
}

INSTANTIATE_TEST_SUITE_P(Edges, StationGas,
                         ::testing::Values(GasCase{0.0, 1.0, 300.0}, GasCase{0.0, 1.3, 280.0},
                                           GasCase{0.6, 1.0, 300.0}, GasCase{0.85, 0.7, 250.0}));

TEST(StationEquations, ZeroMachKeepsPropertiesDefinedAtZeroEdgeVelocity) {
  SurfaceRun r;
  make_jacobian_station(r, 11);
  for (int j = 1; j <= 11; ++j) r.u(3, j) = 0.0;
  BL_GAS_PROPERTIES(r, 4, 0.0);
  for (int j = 1; j <= 11; ++j) {
    EXPECT_EQ(r.tte(j), 1.0);
    EXPECT_TRUE(std::isfinite(r.ccmu(3, j)));
  }
}

TEST(StationEquations, ReversedFlowUsesZeroCurrentVelocityInTheXDerivative) {
  SurfaceRun r;
  const int np = 11, i = 4, j = 5;
  make_jacobian_station(r, np);
  r.u(3, j) = -0.03;
  const double dp = 0.2;
  BL_GAS_PROPERTIES(r, i, dp);
  const double rho = r.ccro(3, j), V = r.v(3, j);
  const double ux = r.cx1 * r.u(2, j) + r.cx2 * r.u(1, j);  // U+ = 0
  const double fx = r.cx0 * r.f(3, j) + r.cx1 * r.f(2, j) + r.cx2 * r.f(1, j);
  EXPECT_NEAR(r.qp(3, j), -V * fx + dp, 1e-14);
  EXPECT_NEAR(r.dqpdx(3, 2, j), rho * ux, 1e-14 * std::fabs(rho * ux));
  EXPECT_DOUBLE_EQ(r.qp(1, j), rho * -0.03);  // the flux keeps the sign of U
  // Row 3 of the point carries that entry into the system.
  BL_ASSEMBLE(r, i);
  EXPECT_NEAR(r.bmat(3, 2, j), -r.aa(j + 1) * rho * ux, 1e-14);
  EXPECT_NEAR(r.cmat(3, 2, j - 1), -r.aa(j) * rho * ux, 1e-14);
}

// ---------------------------------------------------------------------------
// Correction and its maximum.

struct MaxCase {
  std::string name;
  std::vector<double> du;
  int jumax_before;
  double dumax;
  int jumax;
};
std::ostream& operator<<(std::ostream& os, const MaxCase& c) { return os << c.name; }


class CorrectionMax : public ::testing::TestWithParam<MaxCase> {};

TEST_P(CorrectionMax, LargestMagnitudeAtItsFirstPoint) {
  const MaxCase& c = GetParam();
  SurfaceRun r;
  INPUTI_ALLOCATE(r, 3);
  r.np = static_cast<int>(c.du.size());
  for (int j = 1; j <= r.np; ++j) r.du(j) = c.du[j - 1];
  r.du(r.np + 1) = 100.0;  // beyond np: not looked at
  r.jumax = c.jumax_before;
  r.dumax = 55.0;
  BL_CORRECTION_MAX(r);
  EXPECT_EQ(r.dumax, c.dumax);
  EXPECT_EQ(r.jumax, c.jumax);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CorrectionMax,
    ::testing::Values(MaxCase{"plain", {1e-3, -4e-3, 2e-3}, 9, 4e-3, 2},
                      MaxCase{"tie_takes_lower_index", {1e-3, 5e-3, -5e-3, 5e-3}, 9, 5e-3, 2},
                      MaxCase{"nan_first", {kNaN, 2e-3, 1e-3}, 9, 2e-3, 2},
                      MaxCase{"nan_between", {1e-3, kNaN, 3e-3, kNaN}, 9, 3e-3, 3},
                      MaxCase{"all_nan_keeps_point", {kNaN, kNaN}, 7, 0.0, 7},
                      MaxCase{"all_zero_keeps_point", {0.0, -0.0, 0.0}, 4, 0.0, 4},
                      MaxCase{"infinite", {1.0, -INFINITY, 2.0}, 9, INFINITY, 2}),
    sorvane::testing::CaseName());

TEST(StationEquations, CorrectionIsAddedToLevelThreeOnly) {
  SurfaceRun r;
  INPUTI_ALLOCATE(r, 3);
  DIAG_3_ALLOCATE(r);
  r.np = 4;
  for (int j = 1; j <= kGridPoints; ++j)
    for (int l = 1; l <= 3; ++l) {
      r.f(l, j) = 10.0 * l + j;
      r.u(l, j) = 20.0 * l + j;
      r.v(l, j) = 30.0 * l + j;
      r.xvec(l, j) = 0.5 * l + 0.01 * j;
    }
  BL_APPLY_CORRECTION(r, r.xvec);
  for (int j = 1; j <= 5; ++j) {
    const bool in = j <= 4;
    EXPECT_EQ(r.f(3, j), 30.0 + j + (in ? r.xvec(1, j) : 0.0));
    EXPECT_EQ(r.u(3, j), 60.0 + j + (in ? r.xvec(2, j) : 0.0));
    EXPECT_EQ(r.v(3, j), 90.0 + j + (in ? r.xvec(3, j) : 0.0));
    EXPECT_EQ(r.f(2, j), 20.0 + j);
    EXPECT_EQ(r.u(1, j), 20.0 + j);
    if (in) {
      EXPECT_EQ(r.df(j), r.xvec(1, j));
      EXPECT_EQ(r.du(j), r.xvec(2, j));
      EXPECT_EQ(r.dv(j), r.xvec(3, j));
    }
  }
}

// ---------------------------------------------------------------------------
// Start profiles, level shift.

// A similarity table with recognisable values on a stretched grid.
void fill_test_similarity(SurfaceRun& r, int np) {
  station_test::make_similarity_arrays(r);
  for (int j = 1; j <= kGridPoints; ++j) {
    r.sim.deta_sim(j) = 0.1 * std::pow(1.01, j - 1);
    r.sim.eta_sim(j) = j == 1 ? 0.0 : r.sim.eta_sim(j - 1) + r.sim.deta_sim(j - 1);
  }
  for (int j = 1; j <= np; ++j) {
    const double e = r.sim.eta_sim(j);
    r.sim.f_sim(j) = 0.5 * e * e / (1.0 + e);
    r.sim.u_sim(j) = e / (1.0 + e) * (1.0 + 1e-3 * j);
    r.sim.v_sim(j) = 1.0 / ((1.0 + e) * (1.0 + e));
  }
}

struct StartCase {
  std::string name;
  double x, ue;
  int flag;
  double scale;  // expected s
  double eme;
};
std::ostream& operator<<(std::ostream& os, const StartCase& c) { return os << c.name; }


class StartProfile : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartProfile, ScaledSimilarityProfileAndGrid) {
  const StartCase& c = GetParam();
  SurfaceRun r;
  make_station_run(r, {0.0, c.x, 2.0 * c.x}, {0.0, c.ue, 2.0 * c.ue});
  const int np = 31, level = 2;
  r.np = np;
  r.eme(2) = c.eme;
  r.roe8(2) = 1.2;
  r.emue8(2) = 0.9;
  fill_test_similarity(r, np);
  // Values to be overwritten, and one beyond np to be kept.
  for (int j = 1; j <= np + 1; ++j) {
    r.b(level, j) = 5.0;
    r.h(level, j) = 5.0;
    r.g(level, j) = 5.0;
    r.u(level, j) = 5.0;
  }
  BL_START_PROFILE(r, 2, level, c.flag);
  const double s = c.scale;
  EXPECT_EQ(r.eta(1), 0.0);
  for (int j = 2; j <= kGridPoints; ++j) {
    ASSERT_NEAR(r.deta(j - 1), r.sim.deta_sim(j - 1) * s, 1e-15 * s);
    ASSERT_NEAR(r.eta(j), r.sim.eta_sim(j) * s, 1e-12 * r.sim.eta_sim(j) * s);
    ASSERT_EQ(r.aa(j), r.deta(j - 1) / 2.0);
  }
  for (int j = 1; j <= np; ++j) {
    EXPECT_NEAR(r.f(level, j), r.sim.f_sim(j) * c.ue * s, 1e-14);
    EXPECT_NEAR(r.u(level, j), r.sim.u_sim(j) * c.ue, 1e-14);
    EXPECT_NEAR(r.v(level, j), r.sim.v_sim(j) * c.ue / s, 1e-13);
    const double tte = 1.0 + 0.20000000298023224 * c.eme * c.eme * (1.0 - std::pow(r.sim.u_sim(j), 2));
    const double rho = 1.2 / tte, t = tte * 300.0;
    // Density times viscosity over the edge values: rho*mu/(roe*mue) with the
    // edge viscosity over its reference value emue8.
    const double mu = std::pow(t, 1.5) / tte * kC1 / (t + kC2) / sutherland(300.0) * 0.9 / rho;
    EXPECT_NEAR(r.tte(j), tte, 1e-15);
    EXPECT_NEAR(r.ccro(level, j), rho, 1e-15);
    EXPECT_NEAR(r.ccmu(level, j), mu, 1e-14 * mu);
    EXPECT_EQ(r.b(level, j), 0.0);
    EXPECT_EQ(r.h(level, j), 1.0);
    EXPECT_EQ(r.g(level, j), 0.0);
  }
  EXPECT_EQ(r.u(level, np + 1), 5.0);
  EXPECT_EQ(r.u(3, 1), 0.0);  // other levels untouched
  if (s == 1.0) {
    // Unscaled: the similarity grid itself, the profile times ue.
    for (int j = 1; j <= np; ++j) {
      EXPECT_EQ(r.f(level, j), r.sim.f_sim(j) * c.ue);
      EXPECT_EQ(r.u(level, j), r.sim.u_sim(j) * c.ue);
      EXPECT_EQ(r.v(level, j), r.sim.v_sim(j) * c.ue);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartProfile,
    ::testing::Values(StartCase{"x_equal_ue", 0.37, 0.37, 1, 1.0, 0.0},
                      StartCase{"scaled", 0.02, 0.08, 1, 0.5, 0.0},
                      StartCase{"flag_zero_uses_x_alone", 0.04, 0.3, 0, 0.2, 0.0},
                      StartCase{"compressible_edge", 0.02, 0.08, 1, 0.5, 0.7}),
    sorvane::testing::CaseName());

TEST(StationEquations, ShiftMovesLevelsAndScalesTheFirstGuess) {
  SurfaceRun r;
  make_station_run(r, {0.0, 0.01, 0.02, 0.03, 0.04}, {0.0, 0.1, 0.2, 0.25, 0.3});
  const int np = 9, n = 4;
  r.np = np;
  r.eme(n) = 0.5;
  r.roe8(n) = 1.1;
  Table2<double>* tables[] = {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu};
  for (int t = 0; t < 6; ++t)
    for (int l = 1; l <= 3; ++l)
      for (int j = 1; j <= np + 1; ++j) (*tables[t])(l, j) = 100.0 * t + 10.0 * l + 0.1 * j;
  BL_SHIFT_LEVELS(r, n);
  const double ratio = 0.25 / 0.2;
  for (int j = 1; j <= np; ++j) {
    for (int t = 0; t < 6; ++t) {
      const double old2 = 100.0 * t + 20.0 + 0.1 * j, old3 = 100.0 * t + 30.0 + 0.1 * j;
      EXPECT_EQ((*tables[t])(1, j), old2);
      EXPECT_EQ((*tables[t])(2, j), old3);
    }
    EXPECT_DOUBLE_EQ(r.f(3, j), (30.0 + 0.1 * j) * ratio);
    EXPECT_DOUBLE_EQ(r.u(3, j), (130.0 + 0.1 * j) * ratio);
    EXPECT_DOUBLE_EQ(r.v(3, j), (230.0 + 0.1 * j) * ratio);
    EXPECT_EQ(r.b(3, j), 330.0 + 0.1 * j);  // not scaled
    // Properties of station n from the scaled profile.
    const double q = r.u(3, j) / r.u(3, np);
    const double tte = 1.0 + 0.20000000298023224 * 0.25 * (1.0 - q * q);
    const double t = tte * 300.0, rho = 1.1 / tte;
    EXPECT_NEAR(r.tte(j), tte, 1e-15);
    EXPECT_NEAR(r.ccro(3, j), rho, 1e-15);
    EXPECT_NEAR(r.ccmu(3, j), rho * kC1 * std::pow(t, 1.5) / (t + kC2) / sutherland(300.0),
                1e-14);
  }
  // Beyond np nothing moves.
  EXPECT_EQ(r.u(1, np + 1), 110.0 + 0.1 * (np + 1));
  EXPECT_EQ(r.u(3, np + 1), 130.0 + 0.1 * (np + 1));
}

// ---------------------------------------------------------------------------
// Growth of the grid at the outer edge.

struct GrowthCase {
  std::string name;
  int np;
  double v_edge;
  int grew;
  bool full;
};
std::ostream& operator<<(std::ostream& os, const GrowthCase& c) { return os << c.name; }


class EdgeGrowth : public ::testing::TestWithParam<GrowthCase> {};

TEST_P(EdgeGrowth, GrowsByTwoPointsWhenTheEdgeShearIsLarge) {
  const GrowthCase& c = GetParam();
  SurfaceRun r;
  INPUTI_ALLOCATE(r, 3);
  r.np = c.np;
  for (int j = 1; j <= kGridPoints; ++j) {
    r.eta(j) = 0.01 * (j - 1) + 1e-5 * (j - 1) * (j - 1);
    r.tte(j) = 1.0 + 1e-3 * j;
    r.bb(j) = 2.0 + 1e-3 * j;
    for (int l = 1; l <= 3; ++l) {
      r.f(l, j) = l + 0.1 * j;
      r.u(l, j) = 0.5 * l + 1e-3 * j;
      r.v(l, j) = 1e-3 * l;
      r.b(l, j) = 0.2 * l;
      r.ccro(l, j) = 1.0 + 0.01 * l + 1e-4 * j;
      r.ccmu(l, j) = 0.9 + 0.01 * l;
      r.h(l, j) = 7.0;
      r.g(l, j) = 7.0;
    }
  }
  r.v(3, c.np) = c.v_edge;
  const SurfaceRun before = r;
  int grew = -1;
  bool full = true;
  BL_EDGE_GROWTH(r, grew, full);
  EXPECT_EQ(grew, c.grew);
  EXPECT_EQ(full, c.full);
  const int p = c.np;
  if (!c.grew) {
    EXPECT_EQ(r.np, p);
    // Nothing changed, bit for bit (the NaN case included).
    for (Table2<double> SurfaceRun::*t : {&SurfaceRun::f, &SurfaceRun::u, &SurfaceRun::v,
                                          &SurfaceRun::b, &SurfaceRun::ccro, &SurfaceRun::ccmu,
                                          &SurfaceRun::h, &SurfaceRun::g}) {
      EXPECT_EQ(std::memcmp((r.*t).data(), (before.*t).data(), sizeof(double) * 3 * kGridPoints), 0);
    }
    EXPECT_EQ(std::memcmp(r.tte.data(), before.tte.data(), sizeof(double) * kGridPoints), 0);
    EXPECT_EQ(std::memcmp(r.bb.data(), before.bb.data(), sizeof(double) * kGridPoints), 0);
    return;
  }
  EXPECT_EQ(r.np, p + 2);
  for (int m = p + 1; m <= p + 2; ++m) {
    for (int l = 1; l <= 3; ++l) {
      EXPECT_DOUBLE_EQ(r.f(l, m), before.f(l, p) + before.u(l, p) * before.ccro(l, p) *
                                                       (r.eta(m) - r.eta(p)));
      EXPECT_EQ(r.u(l, m), before.u(l, p));
      EXPECT_EQ(r.v(l, m), 0.0);
      EXPECT_EQ(r.b(l, m), before.b(l, p));
      EXPECT_EQ(r.ccro(l, m), before.ccro(l, p));
      EXPECT_EQ(r.ccmu(l, m), before.ccmu(l, p));
      EXPECT_EQ(r.h(l, m), 1.0);
      EXPECT_EQ(r.g(l, m), 0.0);
    }
    EXPECT_EQ(r.tte(m), before.tte(p));
    EXPECT_EQ(r.bb(m), before.bb(p));
  }
  // The old points stay.
  EXPECT_EQ(r.v(3, p), c.v_edge);
  EXPECT_EQ(r.f(2, p), before.f(2, p));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EdgeGrowth,
    ::testing::Values(GrowthCase{"exactly_1e_4_grows", 61, 1e-4, 1, false},
                      GrowthCase{"negative_1e_4_grows", 61, -1e-4, 1, false},
                      GrowthCase{"below_threshold_stays", 61, 0.9e-4, 0, false},
                      GrowthCase{"at_threshold_stays", 61, 9.999999747378752e-05, 0, false},
                      GrowthCase{"nan_stays", 61, kNaN, 0, false},
                      GrowthCase{"grows_to_capacity", 819, 1e-3, 1, false},
                      GrowthCase{"refused_one_short", 820, 1e-3, 0, true},
                      GrowthCase{"refused_at_capacity", 821, 1e-3, 0, true},
                      GrowthCase{"full_grid_small_shear_is_not_full", 821, 1e-6, 0, false}),
    sorvane::testing::CaseName());

}  // namespace
}  // namespace sorvane::bl

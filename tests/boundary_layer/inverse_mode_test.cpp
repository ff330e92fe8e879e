// The inverse mode: every prescribed quantity is met after one step (its
// relation is linear in the correction), on constructed corrections and on
// the two solves of a station system; lambda = 0 when the first solution
// already meets it; the edge velocity follows the pressure-gradient change;
// an undefined lambda falls back to the first solution and says so; the
// coupled modes meet their border row; and Newton passes with the wall shear
// of the stagnation-point flow prescribed recover its edge velocity.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/inverse_mode.h"
#include "solver/boundary_layer/station_equations.h"
#include "tests/boundary_layer/station_fixture.h"
#include "tests/test_support.h"

namespace sorvane::bl {
namespace {

using station_test::inverse_pressure_term;
using station_test::level3;
using station_test::make_hiemenz_run;
using station_test::prescribed_deficit;
using station_test::set_weights;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kStation = 4;

// Station 4 of a stagnation-point start with ue = 2x, inside the inverse
// region, its first guess disturbed so that no prescribed value holds yet.
void make_inverse_station(SurfaceRun& r, int np, int mode) {
  make_hiemenz_run(r, np, 5.0, 1.03, 2.0);
  BL_SHIFT_LEVELS(r, kStation);
  set_weights(r, kStation);
  r.invmode = mode;
  r.xinv = r.x(kStation - 1);
  for (int j = 1; j <= np; ++j) {
    const double e = r.eta(j) / r.eta(np);
    r.u(3, j) *= 1.0 + 0.05 * std::sin(M_PI * e);
    r.v(3, j) *= 0.95;
    r.f(3, j) *= 1.02;
  }
  r.d1_bc(2) = 0.02;
  r.d1_bc(3) = 0.021;
}

// The quantity mode `mode` prescribes, from the level-3 profile, and its
// prescribed value.
struct Prescribed {
  double now, target;
  double scale;  // size of the terms of the relation, for its tolerance
};

Prescribed prescribed(const SurfaceRun& r, int mode, double cf) {
  const int np = r.np, i = kStation;
  const double rho = r.ccro(3, np), eta = r.eta(np);
  const double flux = r.f(3, np) - r.f(3, 1);
  switch (mode) {
    case 1:
    case 4:
      // Displacement thickness: rho*U*(eta - d1) = F(np) - F(1).
      return {rho * r.u(3, np) * (eta - r.d1_bc(i)), flux, std::fabs(flux)};
    case 3:
    case 5:
      // Transpiration: rho*eta*U - (F(np) - F(1)) = the prescribed deficit.
      return {rho * eta * r.u(3, np) - flux, prescribed_deficit(r, i), std::fabs(flux)};
    case 6:
      return {r.u(3, np), r.ue(i), std::fabs(r.ue(i))};
    default:
      return {2.0 * r.ccmu(3, 1) * r.v(3, 1), cf, std::fabs(cf)};
  }
}

// Prescribed values away from the current profile.
void set_targets(SurfaceRun& r) {
  const int np = r.np, i = kStation;
  const double d1_now = r.eta(np) - (r.f(3, np) - r.f(3, 1)) / (r.ccro(3, np) * r.u(3, np));
  r.d1_bc(i) = 1.04 * d1_now;
  r.rv_bc(i) = 0.03;
  r.ue(i) = 1.03 * r.u(3, np);
  r.cf_bc(i) = 1.1 * 2.0 * r.ccmu(3, 1) * r.v(3, 1);
}

struct ModeCase {
  std::string name;
  int mode;
};
std::ostream& operator<<(std::ostream& os, const ModeCase& c) { return os << c.name; }

const auto kLambdaModes = ::testing::Values(
    ModeCase{"displacement", 1}, ModeCase{"wall_shear", 2}, ModeCase{"transpiration", 3},
    ModeCase{"displacement_shear_row", 4}, ModeCase{"transpiration_shear_row", 5},
    ModeCase{"edge_velocity_shear_row", 6});

// A station of np points in the inverse region of the case's mode, with
// prescribed values away from its profile.
template <class Case>
class TargetStation : public ::testing::TestWithParam<Case> {
 protected:
  explicit TargetStation(int points) : np(points) {
    make_inverse_station(r, np, mode);
    set_targets(r);
  }
  const int mode = this->GetParam().mode;
  const int np;
  const int i = kStation;
  SurfaceRun r;
};

// The step is xs alone: the corrections are xs.
void expect_step_is_xs(const SurfaceRun& r) {
  for (int j = 1; j <= r.np; ++j) {
    EXPECT_EQ(r.df(j), r.xvec(1, j));
    EXPECT_EQ(r.du(j), r.xvec(2, j));
    EXPECT_EQ(r.dv(j), r.xvec(3, j));
  }
}

// ---------------------------------------------------------------------------
// The combination alone: any two corrections xs, ys.

class CombineConstructed : public TargetStation<ModeCase> {
 protected:
  CombineConstructed() : TargetStation(31) {}
};

TEST_P(CombineConstructed, PrescribedQuantityHoldsAfterTheStep) {
  for (int j = 1; j <= np; ++j)
    for (int l = 1; l <= 3; ++l) {
      r.xvec(l, j) = 1e-3 * std::sin(0.7 * j + l);
      r.yvec(l, j) = 1e-2 * std::cos(0.3 * j + 2.0 * l) + 3e-3 * l;
    }
  const std::vector<double> z0 = level3(r);
  const Prescribed before = prescribed(r, mode, r.cf_bc(kStation));
  ASSERT_GT(std::fabs(before.now - before.target), 1e-3 * before.scale);

  ASSERT_TRUE(BL_COMBINE_INVERSE(r, r.cf_bc(kStation), r.xvec, r.yvec, r.aa, kStation));
  const Prescribed after = prescribed(r, mode, r.cf_bc(kStation));
  EXPECT_NEAR(after.now, after.target, 1e-13 * after.scale);

  // The step is xs + lambda*ys with one lambda for every entry.
  const double lambda = (r.df(1) - r.xvec(1, 1)) / r.yvec(1, 1);
  const std::vector<double> z1 = level3(r);
  for (int j = 1; j <= np; ++j) {
    const double d[3] = {r.df(j), r.du(j), r.dv(j)};
    for (int l = 1; l <= 3; ++l) {
      const int k = 3 * (j - 1) + l - 1;
      EXPECT_NEAR(d[l - 1], r.xvec(l, j) + lambda * r.yvec(l, j), 1e-15);
      EXPECT_NEAR(z1[k], z0[k] + d[l - 1], 1e-15 * (1.0 + std::fabs(z0[k])));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, CombineConstructed, kLambdaModes, sorvane::testing::CaseName());

TEST(InverseMode, LambdaIsZeroWhenTheFirstSolutionMeetsTheWallShear) {
  SurfaceRun r;
  const int np = 11;
  make_inverse_station(r, np, 2);
  ASSERT_EQ(r.ccmu(3, 1), 1.0);  // the reference state gives exactly 1
  r.v(3, 1) = 0.25;
  for (int j = 1; j <= np; ++j)
    for (int l = 1; l <= 3; ++l) {
      r.xvec(l, j) = 1e-3 * (l + j);
      r.yvec(l, j) = 0.5;
    }
  r.xvec(3, 1) = 0.125;
  // 0.5*0.75/1 - 0.25 - 0.125 = 0 exactly.
  ASSERT_TRUE(BL_COMBINE_INVERSE(r, 0.75, r.xvec, r.yvec, r.aa, kStation));
  expect_step_is_xs(r);
  EXPECT_EQ(r.v(3, 1), 0.375);
}

// ---------------------------------------------------------------------------
// An undefined lambda: the step is xs alone, and the call says so.

struct UndefinedCase {
  std::string name;
  int mode;
  int row, point;  // entry of ys made bad; point 0 = np; row 0 = every entry
  double bad;
  bool zero_wall_viscosity;
};
std::ostream& operator<<(std::ostream& os, const UndefinedCase& c) { return os << c.name; }

class CombineUndefined : public TargetStation<UndefinedCase> {
 protected:
  CombineUndefined() : TargetStation(11) {}
};

TEST_P(CombineUndefined, AppliesTheFirstSolutionAloneAndReportsIt) {
  const UndefinedCase& c = GetParam();
  for (int j = 1; j <= np; ++j)
    for (int l = 1; l <= 3; ++l) {
      r.xvec(l, j) = 1e-3 * std::sin(0.7 * j + l);
      r.yvec(l, j) = c.row == 0 ? c.bad : 1e-2 * std::cos(0.3 * j + l) + 1e-2;
    }
  if (c.row != 0) r.yvec(c.row, c.point == 0 ? np : c.point) = c.bad;
  if (c.zero_wall_viscosity) r.ccmu(3, 1) = 0.0;
  const std::vector<double> z0 = level3(r);

  EXPECT_FALSE(BL_COMBINE_INVERSE(r, r.cf_bc(kStation), r.xvec, r.yvec, r.aa, kStation));
  const std::vector<double> z1 = level3(r);
  expect_step_is_xs(r);
  for (int j = 1; j <= np; ++j) {
    for (int l = 1; l <= 3; ++l) {
      const int k = 3 * (j - 1) + l - 1;
      EXPECT_EQ(z1[k], z0[k] + r.xvec(l, j));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CombineUndefined,
    ::testing::Values(UndefinedCase{"wall_shear_no_response", 2, 3, 1, 0.0, false},
                      UndefinedCase{"wall_shear_nan_response", 2, 3, 1, kNaN, false},
                      UndefinedCase{"wall_shear_infinite_response", 2, 3, 1, kInf, false},
                      UndefinedCase{"wall_shear_zero_wall_viscosity", 2, 1, 1, 0.01, true},
                      UndefinedCase{"wall_shear_tiny_response", 2, 3, 1, 1e-320, false},
                      UndefinedCase{"displacement_no_response", 1, 0, 0, 0.0, false},
                      UndefinedCase{"transpiration_nan_edge", 3, 1, 0, kNaN, false},
                      UndefinedCase{"shear_row_displacement_no_response", 4, 0, 0, 0.0, false},
                      UndefinedCase{"edge_velocity_no_response", 6, 2, 0, 0.0, false},
                      UndefinedCase{"edge_velocity_infinite_response", 6, 2, 0, kInf, false}),
    sorvane::testing::CaseName());

// ---------------------------------------------------------------------------
// The two solves of a station system and their combination.

// max over rows of |A d(j-1) + B d(j) + C d(j+1) [+ F0 d(1)] - rhs(j)|.
double system_misfit(SurfaceRun& r, const std::vector<double>& d, const std::vector<double>& rhs,
                     bool border) {
  const int np = r.np;
  double worst = 0.0;
  for (int j = 1; j <= np; ++j)
    for (int a = 1; a <= 3; ++a) {
      double s = -rhs[3 * (j - 1) + a - 1];
      for (int c = 1; c <= 3; ++c) {
        if (j > 1) s += r.amat(a, c, j) * d[3 * (j - 2) + c - 1];
        s += r.bmat(a, c, j) * d[3 * (j - 1) + c - 1];
        if (j < np) s += r.cmat(a, c, j) * d[3 * j + c - 1];
        if (border && j == np) s += r.f0_mat(a, c) * d[c - 1];
      }
      worst = std::max(worst, std::fabs(s));
    }
  return worst;
}

class CombineSolved : public TargetStation<ModeCase> {
 protected:
  CombineSolved() : TargetStation(41) {}
};

TEST_P(CombineSolved, OneStepMeetsThePrescribedQuantityAndTheLinearSystem) {
  // The driver's pressure-gradient term from the current edge velocity:
  // the edge balance then has no residual.
  const double dp = inverse_pressure_term(r);
  BL_GAS_PROPERTIES(r, i, dp);
  ASSERT_NEAR(r.edge_res, 0.0, 1e-15);
  BL_ASSEMBLE(r, i);
  ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec), 0);
  ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.eyvec, r.yvec), 0);
  const std::vector<double> z0 = level3(r);
  const double v_wall = r.v(3, 1), wall_mu = r.ccmu(3, 1);
  const Prescribed before = prescribed(r, mode, r.cf_bc(i));
  ASSERT_GT(std::fabs(before.now - before.target), 1e-3 * before.scale);

  ASSERT_TRUE(BL_COMBINE_INVERSE(r, r.cf_bc(i), r.xvec, r.yvec, r.aa, i));
  const Prescribed after = prescribed(r, mode, r.cf_bc(i));
  EXPECT_NEAR(after.now, after.target, 1e-12 * after.scale);

  // lambda from the largest entry of ys (the wall-shear row of modes 4 to 6
  // keeps ys(3, 1) at 0); the step is xs + lambda*ys and solves the system
  // with right-hand side rvec + lambda*eyvec.
  int jy = 1, ly = 1;
  for (int j = 1; j <= np; ++j)
    for (int l = 1; l <= 3; ++l)
      if (std::fabs(r.yvec(l, j)) > std::fabs(r.yvec(ly, jy))) jy = j, ly = l;
  const double d_y = ly == 1 ? r.df(jy) : ly == 2 ? r.du(jy) : r.dv(jy);
  const double lambda = (d_y - r.xvec(ly, jy)) / r.yvec(ly, jy);
  ASSERT_TRUE(std::isfinite(lambda));
  EXPECT_GT(std::fabs(lambda), 1e-6);
  std::vector<double> d, rhs;
  for (int j = 1; j <= np; ++j) {
    d.insert(d.end(), {r.df(j), r.du(j), r.dv(j)});
    for (int l = 1; l <= 3; ++l) rhs.push_back(r.rvec(l, j) + lambda * r.eyvec(l, j));
  }
  EXPECT_LT(system_misfit(r, d, rhs, false), 1e-13);
  // The edge row with edge_res = 0: the edge velocity moves by -lambda/edge_jac.
  EXPECT_NEAR(r.du(np), -lambda / r.edge_jac, 1e-12 * std::fabs(lambda / r.edge_jac));
  // The wall rows hold for the combination too.
  EXPECT_NEAR(r.u(3, 1), 0.0, 1e-15);
  if (mode >= 4) {
    EXPECT_NEAR(2.0 * wall_mu * r.v(3, 1), r.cf_bc(i), 1e-13 * r.cf_bc(i));
  } else {
    const double fx = r.cx0 * r.f(3, 1) + r.cx1 * r.f(2, 1) + r.cx2 * r.f(1, 1);
    EXPECT_NEAR(fx, 0.0, 1e-13);
  }
  if (mode == 1 || mode == 3) {
    EXPECT_NE(r.v(3, 1), v_wall);
  }
  (void)z0;
}

INSTANTIATE_TEST_SUITE_P(Modes, CombineSolved, kLambdaModes, sorvane::testing::CaseName());

// Modes 7 and 8: one bordered solve; its solution is the step.
struct CoupledCase {
  std::string name;
  int mode;
};
std::ostream& operator<<(std::ostream& os, const CoupledCase& c) { return os << c.name; }

class CoupledModes : public TargetStation<CoupledCase> {
 protected:
  CoupledModes() : TargetStation(41) {}
};

TEST_P(CoupledModes, StepIsTheSolutionAndMeetsTheBorderRow) {
  r.uww(i) = 0.002;
  BL_GAS_PROPERTIES(r, i, inverse_pressure_term(r));
  BL_ASSEMBLE_COUPLED(r, i);
  ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec), 0);
  std::vector<double> x, rhs;
  for (int j = 1; j <= np; ++j)
    for (int l = 1; l <= 3; ++l) {
      x.push_back(r.xvec(l, j));
      rhs.push_back(r.rvec(l, j));
      r.yvec(l, j) = kNaN;  // not used by these modes
    }
  EXPECT_LT(system_misfit(r, x, rhs, true), 1e-13);

  ASSERT_TRUE(BL_COMBINE_INVERSE(r, r.cf_bc(i), r.xvec, r.yvec, r.aa, i));
  expect_step_is_xs(r);
  // The residual of the solved system was formed (and is small).
  for (int j = 1; j <= np; ++j)
    for (int l = 1; l <= 3; ++l) EXPECT_LT(std::fabs(r.rrvec(l, j)), 1e-13);

  // Border row: F(np) + D*U(np) - F(1) = 0 (displacement) or -M (transpiration).
  const double rho = r.ccro(3, np), eta = r.eta(np);
  const double D = mode == 8 ? -eta * rho : (r.d1_bc(i) - eta) * rho;
  const double border = r.f(3, np) + D * r.u(3, np) - r.f(3, 1);
  const double target = mode == 8 ? -prescribed_deficit(r, i) : 0.0;
  EXPECT_NEAR(border, target, 1e-13);
  // That is the prescribed quantity of modes 1 and 3.
  const Prescribed p = prescribed(r, mode == 8 ? 3 : 1, 0.0);
  EXPECT_NEAR(p.now, p.target, 1e-12 * p.scale);
  EXPECT_NEAR(r.u(3, 1), 0.002, 1e-15);
  EXPECT_NEAR(r.u(3, np), r.ue(i), 1e-15);
}

INSTANTIATE_TEST_SUITE_P(Modes, CoupledModes,
                         ::testing::Values(CoupledCase{"displacement", 7},
                                           CoupledCase{"transpiration", 8}),
                         sorvane::testing::CaseName());

// ---------------------------------------------------------------------------
// Newton passes in the inverse region, as the driver runs them, with the wall
// shear of the stagnation-point flow prescribed: the edge velocity comes out
// as that of the flow, ue = 2x.

TEST(InverseMode, PrescribedWallShearRecoversTheStagnationPointEdgeVelocity) {
  SurfaceRun r;
  const int np = 41, i = kStation;
  make_hiemenz_run(r, np, 5.0, 1.03, 2.0);
  const double ue_exact = r.ue(i);
  const double s = std::sqrt(r.x(i) / ue_exact);
  r.invmode = 2;
  r.xinv = r.x(i - 1);
  r.cf_bc(i) = 2.0 * r.sim.v_sim(1) * ue_exact / s;  // ccmu = 1
  // The driver's first guess of an inverse station: the edge velocity of the
  // station before, and its profile unscaled.
  r.ue(i) = r.ue(i - 1);
  BL_SHIFT_LEVELS(r, i);
  set_weights(r, i);

  std::vector<double> history;
  for (int pass = 0; pass < 15; ++pass) {
    const double dp = inverse_pressure_term(r);
    BL_GAS_PROPERTIES(r, i, dp);
    BL_ASSEMBLE(r, i);
    ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec), 0);
    ASSERT_EQ(BLOCK_TRI_SOLVE(r, i, r.eyvec, r.yvec), 0);
    ASSERT_TRUE(BL_COMBINE_INVERSE(r, r.cf_bc(i), r.xvec, r.yvec, r.aa, i));
    r.ue(i) = 0.5 * (r.u(3, np - 1) + r.u(3, np));
    BL_CORRECTION_MAX(r);
    history.push_back(r.dumax);
    if (r.dumax < 1e-15) break;
  }
  ASSERT_LT(history.back(), 1e-13);
  EXPECT_LE(history.size(), 8u);
  for (std::size_t k = 1; k < history.size(); ++k) {
    if (history[k - 1] < 1e-3 * ue_exact && history[k] > 1e-14) {
      EXPECT_LT(history[k], 5.0 * history[k - 1] * history[k - 1] / ue_exact) << "pass " << k + 1;
    }
  }
  EXPECT_NEAR(r.u(3, np), ue_exact, 1e-12);
  for (int j = 1; j <= np; ++j) {
    EXPECT_NEAR(r.u(3, j), r.sim.u_sim(j) * ue_exact, 1e-12);
    EXPECT_NEAR(r.f(3, j), r.sim.f_sim(j) * ue_exact * s, 1e-12);
  }
  EXPECT_NEAR(2.0 * r.ccmu(3, 1) * r.v(3, 1), r.cf_bc(i), 1e-13 * r.cf_bc(i));
}

}  // namespace
}  // namespace sorvane::bl

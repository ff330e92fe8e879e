// Transition tests and the algebraic eddy-viscosity model, checked against
// hand-computed correlation values and the mixing-length and outer-layer
// formulas written in physical variables.
#include "solver/boundary_layer/closures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace sorvane::bl {
namespace {

constexpr double kSqre = 1000.0;  // sqrt of the Reynolds number
constexpr double kAlphaHigh = 0.016799973332135565;

// A surface run of nx stations for the eddy viscosity of station i: unit edge
// state and density/viscosity ratios, and an intermittency far past its
// limit (G of about 70), so that gamma = 1 unless a test changes the stations.
struct EddyRun {
  SurfaceRun r;
  int i;
  explicit EddyRun(int nx = 6) : i(nx - 1) {
    INPUTI_ALLOCATE(r, nx);
    r.sqre = kSqre;
    r.u8 = 1.0;
    r.ntr = 3;
    for (int s = 1; s <= nx; ++s) {
      r.x(s) = 0.1 * (s - 1);
      r.ue(s) = 1.0;
      r.roe(s) = 1.0;
      r.emue(s) = 1e-5;
      r.rx(s) = 1e3;
    }
    for (int j = 1; j <= kGridPoints; ++j) r.ccro(3, j) = r.ccmu(3, j) = 1.0;
  }
  ~EddyRun() { INPUTI_DEALLOCATE(r); }

  // Uniform grid of n points out to eta_edge and the linear profile
  // u = eta/eta_edge at level 3.
  void linear(int n = 101, double eta_edge = 10.0) {
    r.np = n;
    const double h = eta_edge / (n - 1);
    for (int j = 1; j <= n; ++j) {
      r.eta(j) = h * (j - 1);
      if (j > 1) r.aa(j) = h / 2.0;
      r.u(3, j) = r.eta(j) / eta_edge;
      r.v(3, j) = 1.0 / eta_edge;
    }
  }
  // The linear profile's eddy viscosity, with the momentum-thickness
  // Reynolds number rtheta at the station before.
  void linear_eddy_viscosity(double rtheta) {
    linear();
    r.rtheta(i - 1) = rtheta;
    BL_EDDY_VISCOSITY(r, i);
  }
  double b(int j) { return r.b(3, j); }
  int point_at(double eta) {
    int best = 1;
    for (int j = 1; j <= r.np; ++j) {
      if (std::fabs(r.eta(j) - eta) < std::fabs(r.eta(best) - eta)) best = j;
    }
    return best;
  }
};

// Mixing-length eddy viscosity over the molecular one, in physical units of
// the reference length (Re = sqre^2, nu = 1/Re, y = eta/sqre, du/dy =
// sqre*v): Re (kappa y (1 - exp(-y+/A+)))^2 |du/dy|, with the friction
// velocity u_tau = sqrt(nu du/dy) of the shear given.
double mixing_length(double kappa2, double aplus, double eta, double v, double v_friction) {
  const double Re = kSqre * kSqre;
  const double nu = 1.0 / Re;
  const double y = eta / kSqre;
  const double dudy = kSqre * v;
  const double utau = std::sqrt(nu * kSqre * v_friction);
  const double yplus = y * utau / nu;
  const double l = std::sqrt(kappa2) * y * (1.0 - std::exp(-yplus / aplus));
  return l * l * std::fabs(dudy) / nu;
}

// The outer constant alpha, read back from the edge value of the linear
// profile: b = alpha Re ue delta* with delta* = eta_edge / (2 sqre).
TEST(EddyViscosity, OuterConstantAndItsClamps) {
  struct Case {
    double rtheta, alpha;
  };
  // Hand values of 0.001 (194.8 - 128.6 L + 30.925 L^2 - 2.475 L^3), L = log10 Rtheta.
  const Case cases[] = {
      {1e7, 0.0168}, {1e5, 0.0168},  {20000, 0.0168}, {10000, 0.0168}, {1000, 0.0205},
      {100, 0.0415}, {99.9, 0.0415}, {50, 0.0415},    {0, 0.0415},     {-300, 0.0415},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rtheta);
    EddyRun t;
    t.linear_eddy_viscosity(c.rtheta);
    const double dstar = 10.0 / 2.0 / kSqre;
    const double alpha = t.b(101) / (kSqre * kSqre * 1.0 * dstar);
    EXPECT_NEAR(alpha, c.alpha, 2e-6 * c.alpha);
    EXPECT_EQ(t.b(1), 0.0);
  }
  // Between the clamps the cubic, at L = log10(3000) = 3.4771213.
  EddyRun t;
  t.linear_eddy_viscosity(3000.0);
  EXPECT_NEAR(t.b(101) / (kSqre * 5.0), 0.01748873, 2e-6 * 0.0175);
}

// The inner constants, read from the inner layer near the wall of the linear
// profile against the mixing length with hand-computed kappa^2 and A+.
TEST(EddyViscosity, InnerConstantsAndTheirLowReynoldsNumberBranch) {
  struct Case {
    double rtheta, kappa2, aplus, tol;
  };
  const double k2000 = 0.4 + 0.19 / (1.0 + 0.49 * 4.0);
  const Case cases[] = {
      // below z = 0.3: the values at z = 0.3 (the formula at 250 would give
      // 0.341461 and 39.1765)
      {250, 0.3386947953279083, 38.844036612965404, 1e-12},
      {0, 0.3386947953279083, 38.844036612965404, 1e-12},
      // just above: the formula, within rounding of the same values
      {300, 0.33869479, 38.844037, 1e-6},
      {2000, k2000 * k2000, 26.0 + 14.0 / 5.0, 1e-6},
      // far above: the high-Reynolds-number mixing length 0.4 and A+ = 26
      {1e7, 0.16, 26.0, 1e-6},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rtheta);
    EddyRun t;
    t.linear_eddy_viscosity(c.rtheta);
    for (double eta : {0.5, 1.0, 2.0}) {
      const int j = t.point_at(eta);
      const double expected = mixing_length(c.kappa2, c.aplus, t.r.eta(j), 0.1, 0.1);
      EXPECT_NEAR(t.b(j), expected, 3 * c.tol * expected) << "eta " << eta;
    }
  }
}

// A 1/7-power turbulent profile (delta = 6 in eta, edge at 9): the outer
// layer takes Clauser's alpha ue delta* with delta* = delta/8, the inner layer
// the van Driest mixing length (kappa y)^2 (1 - exp(-y+/A+))^2 |du/dy|; beyond
// the layer edge, where du/dy = 0, the outer value holds.
TEST(EddyViscosity, PowerLawProfileTakesMixingLengthThenOuterValue) {
  EddyRun t;
  SurfaceRun& r = t.r;
  const double delta = 6.0, edge = 9.0, ue = 1.0;
  const int n = 401;
  const double g = 1.02;
  const double h = edge * (g - 1.0) / (std::pow(g, n - 1) - 1.0);
  r.np = n;
  for (int j = 1; j <= n; ++j) {
    r.eta(j) = j == 1 ? 0.0 : h * (std::pow(g, j - 1) - 1.0) / (g - 1.0);
    if (j > 1) r.aa(j) = 0.5 * (r.eta(j) - r.eta(j - 1));
    const double y = r.eta(j) / delta;
    r.u(3, j) = y < 1.0 ? ue * std::pow(y, 1.0 / 7.0) : ue;
    r.v(3, j) = y < 1.0 && j > 1 ? ue / (7.0 * delta) * std::pow(y, -6.0 / 7.0) : 0.0;
  }
  r.v(3, 1) = 3.0 * r.v(3, 2);  // the wall shear, the largest of the profile
  r.ue(t.i) = ue;
  r.rtheta(t.i - 1) = 20000.0;
  BL_EDDY_VISCOSITY(r, t.i);

  const double kappa = 0.4 + 0.19 / (1.0 + 0.49 * 400.0);
  const double aplus = 26.0 + 14.0 / (1.0 + 400.0);
  const double outer = 0.0168 * (kSqre * kSqre) * ue * (delta / 8.0 / kSqre);
  EXPECT_EQ(t.b(1), 0.0);
  int j = 2;
  for (; j <= n && t.b(j) < outer * (1 - 1e-3); ++j) {
    const double inner = mixing_length(kappa * kappa, aplus, r.eta(j), r.v(3, j), r.v(3, 1));
    ASSERT_NEAR(t.b(j), inner, 1e-6 * inner) << "eta " << r.eta(j);
  }
  // The switch lies inside the layer, well away from the wall.
  EXPECT_GT(r.eta(j), 0.2);
  EXPECT_LT(r.eta(j), delta);
  for (; j <= n; ++j) ASSERT_NEAR(t.b(j), outer, 1e-3 * outer) << "eta " << r.eta(j);
}

TEST(EddyViscosity, InnerValueThatNeverReachesTheOuterStaysInner) {
  EddyRun t;
  t.r.ue(t.i) = 100.0;  // a large edge velocity: the outer value is far above
  t.linear_eddy_viscosity(20000.0);
  const double kappa = 0.4 + 0.19 / (1.0 + 0.49 * 400.0);
  const double aplus = 26.0 + 14.0 / 401.0;
  for (int j : {2, 50, 101}) {
    const double inner = mixing_length(kappa * kappa, aplus, t.r.eta(j), 0.1, 0.1);
    EXPECT_NEAR(t.b(j), inner, 1e-6 * inner);
  }
}

TEST(EddyViscosity, WallVelocityDoesNotEnterTheDisplacementIntegral) {
  auto edge_value = [](double wall_velocity) {
    EddyRun t;
    t.linear();
    t.r.u(3, 1) = wall_velocity;
    t.r.rtheta(t.i - 1) = 20000.0;
    BL_EDDY_VISCOSITY(t.r, t.i);
    return t.b(101);
  };
  const double base = edge_value(0.0);
  EXPECT_NEAR(base, kAlphaHigh * kSqre * 5.0, 1e-12 * base);
  EXPECT_EQ(edge_value(0.3), base);
}

TEST(EddyViscosity, DampingUsesTheFirstOfTheLargestShears) {
  EddyRun t;
  t.linear();
  t.r.rtheta(t.i - 1) = 250.0;
  // Two points share the largest |v|; the second has a larger viscosity ratio
  // and would give twice the damping rate.
  t.r.v(3, 60) = -0.5;
  t.r.v(3, 61) = 0.5;
  t.r.ccmu(3, 61) = 4.0;
  BL_EDDY_VISCOSITY(t.r, t.i);
  const int j = t.point_at(1.0);
  const double inner = mixing_length(0.3386947953279083, 38.844036612965404, t.r.eta(j), 0.1, 0.5);
  EXPECT_NEAR(t.b(j), inner, 1e-9 * inner);
}

// Intermittency gamma, read from the outer value at the edge of the linear
// profile (alpha clamped, b = alpha Re ue delta* gamma).
double gamma_of(EddyRun& t) {
  t.r.rtheta(t.i - 1) = 20000.0;
  BL_EDDY_VISCOSITY(t.r, t.i);
  for (int j = 1; j <= t.r.np; ++j) EXPECT_TRUE(std::isfinite(t.b(j))) << j;
  return t.b(t.r.np) / (kAlphaHigh * kSqre * 5.0);
}

TEST(EddyViscosity, IntermittencyLimitAtGOfTen) {
  // With unit edge velocity, speed, density and Reynolds number at the
  // origin, and x(i) - x(m) = 1 = S, G = 0.000835 / nu^2.
  const double c = static_cast<double>(0.000835f);
  auto run = [&](double G) {
    EddyRun t;
    t.linear();
    t.r.ntr = 3;  // origin m = 2
    t.r.x(2) = 0.0;
    t.r.x(3) = 0.25;
    t.r.x(4) = 0.5;
    t.r.x(5) = 1.0;
    t.r.rx(2) = 1.0;
    t.r.emue(5) = std::sqrt(c / G);
    return gamma_of(t);
  };
  // G = 10 (a hair below, so that rounding cannot lift it over the limit)
  // still takes 1 - exp(-G); anything above 10 is fully turbulent.
  EXPECT_NEAR(run(10.0 * (1.0 - 1e-12)), 1.0 - std::exp(-10.0), 1e-12);
  EXPECT_NEAR(run(10.001), 1.0, 1e-12);
  EXPECT_NEAR(run(9.99), 1.0 - std::exp(-9.99), 1e-12);
  EXPECT_NEAR(run(0.5), 1.0 - std::exp(-0.5), 1e-12);
}

TEST(EddyViscosity, IntermittencyIntegralRunsFromThreeStationsBeforeTheFirstTurbulent) {
  EddyRun t(7);  // station i = 6
  const double x[] = {0.0, 0.05, 0.1, 0.2, 0.35, 0.55, 0.8};
  const double ue[] = {0.0, 0.6, 0.9, 1.0, 1.1, 1.25, 1.3};
  for (int s = 1; s <= 7; ++s) {
    t.r.x(s) = x[s - 1];
    t.r.ue(s) = ue[s - 1];
    t.r.rx(s) = 1e4 * s;
  }
  t.i = 7;
  t.r.ntr = 4;  // first turbulent station 6, origin m = 3
  t.r.u8 = 2.0;
  t.linear();
  for (int j = 1; j <= t.r.np; ++j) t.r.u(3, j) *= 1.3;
  t.r.ue(7) = 1.3;
  // Integral of dx/ue from x(3) to x(7) by trapezoids.
  const double S = (1 / 0.9 + 1 / 1.0) / 2 * 0.1 + (1 / 1.0 + 1 / 1.1) / 2 * 0.15 +
                   (1 / 1.1 + 1 / 1.25) / 2 * 0.2 + (1 / 1.25 + 1 / 1.3) / 2 * 0.25;
  // G = 0.000835 (ue u8)^3 (x(7) - x(3)) (S/u8) / (nu^2 Rx(3)^1.34) set to 1.
  const double U = 1.3 * 2.0;
  const double nu = std::sqrt(0.000835 * U * U * U * (0.8 - 0.1) * (S / 2.0) / std::pow(3e4, 1.34));
  t.r.roe(7) = 1.2;
  t.r.emue(7) = 1.2 * nu;
  t.r.rtheta(6) = 20000.0;
  BL_EDDY_VISCOSITY(t.r, t.i);
  const double gamma = t.b(101) / (kAlphaHigh * kSqre * 1.3 * 5.0);
  EXPECT_NEAR(gamma, 1.0 - std::exp(-1.0), 1e-6);
}

TEST(EddyViscosity, UndefinedIntermittencyIsFullyTurbulentAndNeverNonFinite) {
  struct Case {
    const char* what;
    std::function<void(SurfaceRun&)> set;
    double gamma;
  };
  const Case cases[] = {
      {"origin at the stagnation point (zero ue and Rx there)",
       [](SurfaceRun& r) {
         r.ntr = 2;
         r.ue(1) = 0.0;
         r.rx(1) = 0.0;
       },
       1.0},
      {"origin never set", [](SurfaceRun& r) { r.ntr = 0; }, 1.0},
      {"zero edge velocity inside the integral", [](SurfaceRun& r) { r.ue(3) = 0.0; }, 1.0},
      {"zero edge viscosity", [](SurfaceRun& r) { r.emue(5) = 0.0; }, 1.0},
      {"zero Reynolds number at the origin", [](SurfaceRun& r) { r.rx(2) = 0.0; }, 1.0},
      {"negative Reynolds number at the origin", [](SurfaceRun& r) { r.rx(2) = -5.0; }, 1.0},
      {"station upstream of the origin", [](SurfaceRun& r) { r.ntr = 6; }, 0.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EddyRun t;
    t.linear();
    c.set(t.r);
    EXPECT_NEAR(gamma_of(t), c.gamma, 1e-12);
  }
}

TEST(EddyViscosity, PointWithoutViscosityGetsNoEddyViscosity) {
  EddyRun t;
  t.linear();
  // One point of the inner layer and one of the outer layer without
  // viscosity ratio (the switch lies near eta = 3.1).
  t.r.ccmu(3, 6) = 0.0;
  t.r.ccmu(3, 50) = 0.0;
  t.r.rtheta(t.i - 1) = 1000.0;
  BL_EDDY_VISCOSITY(t.r, t.i);
  for (int j = 1; j <= t.r.np; ++j) EXPECT_TRUE(std::isfinite(t.b(j))) << j;
  EXPECT_EQ(t.b(6), 0.0);
  EXPECT_EQ(t.b(50), 0.0);
  // The points around keep their layers: inner after point 6, outer after 50.
  const double kappa = 0.4 + 0.19 / (1.0 + 0.49);
  const double inner = mixing_length(kappa * kappa, 26.0 + 7.0, t.r.eta(7), 0.1, 0.1);
  EXPECT_NEAR(t.b(7), inner, 1e-6 * inner);
  EXPECT_NEAR(t.b(51), 0.0205 * kSqre * 5.0, 1e-5 * 0.0205 * kSqre * 5.0);
  EXPECT_EQ(t.b(51), t.b(101));
}

// Critical momentum-thickness Reynolds number at Rx = 1e6: 1.174 (1 +
// 22400/Rx) Rx^0.46 = 690.699 (flag 2), 1.535 Rx^0.444 = 708.122 (flag 1).
TEST(TransitionCheck, MovesTransitionOnlyAboveTheCriticalValue) {
  struct Case {
    int flag;
    double rtheta;
    bool moves;
  };
  const Case cases[] = {
      {2, 690.69, false}, {2, 690.71, true}, {2, 5000.0, true}, {2, 10.0, false},
      {1, 708.11, false}, {1, 708.13, true}, {0, 690.71, true}, {1, 690.71, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.flag) + " " + std::to_string(c.rtheta));
    EddyRun t;
    t.r.rx(3) = 1e6;
    t.r.rtheta(3) = c.rtheta;
    t.r.xtr = 0.77;
    TRANSITION_CHECK(t.r, 3, c.flag);
    EXPECT_EQ(t.r.xtr, c.moves ? t.r.x(3) : 0.77);
  }
}

TEST(TransitionCheck, EqualityKeepsTransitionAndNoReynoldsNumberMovesIt) {
  EddyRun t;
  t.r.xtr = 0.77;
  const double Rx = 1e6;
  t.r.rx(3) = Rx;
  const double R =
      static_cast<double>(1.174f) * (1.0 + 22400.0 / Rx) * std::pow(Rx, static_cast<double>(0.46f));
  t.r.rtheta(3) = R;
  TRANSITION_CHECK(t.r, 3, 2);
  EXPECT_EQ(t.r.xtr, 0.77);
  t.r.rtheta(3) = std::nextafter(R, 1e9);
  TRANSITION_CHECK(t.r, 3, 2);
  EXPECT_EQ(t.r.xtr, t.r.x(3));

  // Zero, negative or undefined Reynolds numbers never move it.
  for (double rx : {0.0, -1e5, std::nan("")}) {
    for (int flag : {1, 2}) {
      t.r.xtr = 0.77;
      t.r.rx(4) = rx;
      t.r.rtheta(4) = 1e9;
      TRANSITION_CHECK(t.r, 4, flag);
      EXPECT_EQ(t.r.xtr, 0.77) << rx << " " << flag;
    }
  }
}

// Envelope method on a Blasius layer (H = 2.59): N = 9 is reached near
// Rtheta = 1110 (Rx near 2.8e6), by both correlation sets (Drela-Giles: 244 +
// 9/0.010348 = 1114; the later fit: 285 + 9/0.010274 = 1161).
TEST(TransitionEnvelope, BlasiusLayerTurnsTurbulentNearRthetaOf1100) {
  struct Case {
    int flag;
    double h, rtheta;
    bool moves;
  };
  const Case cases[] = {
      {1, 2.59, 1100.0, false},
      {1, 2.59, 1125.0, true},
      {2, 2.59, 1150.0, false},
      {2, 2.59, 1170.0, true},
      {1, 2.59, 200.0, false},
      {2, 2.59, 200.0, false},
      {1, 1.0, 1e6, false},
      {2, 0.8, 1e6, false},
      // an adverse-gradient layer amplifies much earlier
      {1, 3.5, 400.0, true},
      {2, 3.5, 400.0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.flag) + " H " + std::to_string(c.h) + " " +
                 std::to_string(c.rtheta));
    EddyRun t;
    t.r.h12(4) = c.h;
    t.r.rtheta(4) = c.rtheta;
    t.r.xtr = 0.77;
    TRANSITION_ENVELOPE(t.r, 4, c.flag);
    EXPECT_EQ(t.r.xtr, c.moves ? t.r.x(4) : 0.77);
  }
}

// H-Rx correlation: log10 Rx = 6.683 at H = 2.59, 8.64 at H = 2.2.
TEST(TransitionHRex, ComparesTheReynoldsNumberWithTheShapeFactorCubic) {
  struct Case {
    double h, log_rx;
    bool moves;
  };
  const Case cases[] = {{2.59, 6.67, false},
                        {2.59, 6.70, true},
                        {2.2, 8.6, false},
                        {2.2, 8.7, true},
                        {2.59, -HUGE_VAL, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.h) + " " + std::to_string(c.log_rx));
    EddyRun t;
    t.r.h12(2) = c.h;
    t.r.rx(2) = std::pow(10.0, c.log_rx);
    t.r.xtr = 0.77;
    TRANSITION_H_REX(t.r, 2);
    EXPECT_EQ(t.r.xtr, c.moves ? t.r.x(2) : 0.77);
  }
}

}  // namespace
}  // namespace sorvane::bl

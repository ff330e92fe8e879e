// Integral values of a station profile against profiles whose thicknesses
// are known in closed form.
#include "solver/boundary_layer/integral_quantities.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

namespace sorvane::bl {

namespace {

constexpr double kPi = 3.141592653589793;

// A run with a stretched normal grid (spacing growth g) of n points out to
// eta_edge, unit density and viscosity ratios and edge state, sqrt(Re) = 1000.
struct IntegralRun {
  SurfaceRun r;
  IntegralRun(int n, double eta_edge, int nx = 6, double g = 1.01) {
    INPUTI_ALLOCATE(r, nx);
    DIAG_3_ALLOCATE(r);
    r.np = n;
    r.sqre = 1000.0;
    r.el = 1.0;
    r.u8 = 1.0;
    const double h = eta_edge * (g - 1.0) / (std::pow(g, n - 1) - 1.0);
    r.eta(1) = 0.0;
    for (int j = 2; j <= n; ++j) {
      r.eta(j) = h * (std::pow(g, j - 1) - 1.0) / (g - 1.0);
      r.deta(j - 1) = r.eta(j) - r.eta(j - 1);
      r.aa(j) = 0.5 * r.deta(j - 1);
    }
    for (int s = 1; s <= nx; ++s) {
      r.roe8(s) = r.roe(s) = r.emue(s) = 1.0;
      r.ue(s) = 1.0;
    }
    for (int k = 1; k <= kProfileLevels; ++k) {
      for (int j = 1; j <= kGridPoints; ++j) r.ccro(k, j) = r.ccmu(k, j) = 1.0;
    }
  }
  ~IntegralRun() {
    DIAG_3_DEALLOCATE(r);
    INPUTI_DEALLOCATE(r);
  }
  // Level k of station i from u/ue = shape(eta) and the exact integral
  // integral(eta) of the shape; rho the density ratio of the edge and the
  // layer; wall_shear the exact du/deta at the wall over ue.
  void profile(int i, int k, double ue, double rho, const std::function<double(double)>& shape,
               const std::function<double(double)>& integral, double wall_shear) {
    r.ue(i) = ue;
    r.roe8(i) = rho;
    for (int j = 1; j <= r.np; ++j) {
      r.u(k, j) = ue * shape(r.eta(j));
      r.f(k, j) = rho * ue * integral(r.eta(j));
      r.ccro(k, j) = rho;
    }
    r.v(k, 1) = ue * wall_shear;
  }
};

struct Shape {
  const char* name;
  double delta;  // layer thickness in eta
  double dstar;  // displacement thickness over delta
  double theta;  // momentum thickness over delta
  double wall;   // d(u/ue)/d(eta/delta) at the wall
  double (*u)(double y);
  double (*F)(double y);  // integral of u from 0 to y (y = eta/delta <= 1)
};

// u/ue = sin(pi y / 2): delta*/delta = 1 - 2/pi, theta/delta = 2/pi - 1/2.
// Pohlhausen's flat-plate quartic u/ue = 2y - 2y^3 + y^4: 3/10 and 37/315.
const Shape kShapes[] = {
    {"sine", 5.0, 1.0 - 2.0 / kPi, 2.0 / kPi - 0.5, kPi / 2.0,
     [](double y) { return std::sin(kPi * y / 2.0); },
     [](double y) { return 2.0 / kPi * (1.0 - std::cos(kPi * y / 2.0)); }},
    {"Pohlhausen quartic", 6.0, 0.3, 37.0 / 315.0, 2.0,
     [](double y) { return 2.0 * y - 2.0 * y * y * y + y * y * y * y; },
     [](double y) { return y * y - y * y * y * y / 2.0 + y * y * y * y * y / 5.0; }},
};

TEST(IntegralQuantities, ThicknessesShapeFactorAndSkinFrictionOfKnownProfiles) {
  const double eta_edge = 8.0;
  for (const Shape& s : kShapes) {
    for (double rho : {1.0, 1.3}) {
      SCOPED_TRACE(std::string(s.name) + (rho == 1.0 ? "" : ", density ratio 1.3"));
      // The trapezoidal momentum integral is second order: on this grid its
      // error is below 2e-5 of theta.
      IntegralRun t(801, eta_edge, 6, 1.005);
      const double ue = 1.7;
      const double d = s.delta;
      auto shape = [&](double eta) { return eta < d ? s.u(eta / d) : 1.0; };
      auto integral = [&](double eta) {
        return eta < d ? d * s.F(eta / d) : d * s.F(1.0) + eta - d;
      };
      t.profile(4, 3, ue, rho, shape, integral, s.wall / d);
      std::string cause;
      ASSERT_TRUE(BL_INTEGRAL_QUANTITIES(t.r, 4, 3, &cause)) << cause;

      const double sqre = 1000.0;
      // In the solver's normal coordinate and in physical units (length 1).
      EXPECT_NEAR(t.r.d1_bc(4), s.dstar * d, 1e-9 * d);
      EXPECT_NEAR(t.r.d1b(4), s.dstar * d / sqre, 1e-12 * d);
      EXPECT_NEAR(t.r.d2b(4), s.theta * d / sqre, 2e-5 * s.theta * d / sqre);
      EXPECT_NEAR(t.r.h12(4), s.dstar / s.theta, 2e-5 * s.dstar / s.theta);
      // Skin friction on the edge state: 2 mu (du/dy)_wall / (rho_e ue^2) in
      // units of the reference length, with y = eta/sqrt(Re).
      const double cf = 2.0 * ue * s.wall / d / (sqre * rho * ue * ue);
      EXPECT_NEAR(t.r.cfb(4), cf, 1e-12 * cf);
      EXPECT_NEAR(t.r.cf_bc(4), 2.0 * ue * s.wall / d, 1e-12);
      // Reynolds numbers on the thicknesses: roe ue delta u8 / emue; the edge
      // state of the fixture gives ue times the thickness.
      EXPECT_NEAR(t.r.rtheta(4), ue * t.r.d2b(4), 1e-15);
      EXPECT_NEAR(t.r.rdels(4), ue * t.r.d1b(4), 1e-15);
    }
  }
}

TEST(IntegralQuantities, LinearProfileGivesHalfAndOneSixthOfTheEdge) {
  IntegralRun t(401, 6.0);
  const double N = 6.0;
  // Stream function the trapezoidal integral of the linear velocity (exact).
  t.profile(
      3, 3, 2.0, 1.0, [&](double e) { return e / N; }, [&](double e) { return e * e / (2.0 * N); },
      1.0 / N);
  std::string cause;
  ASSERT_TRUE(BL_INTEGRAL_QUANTITIES(t.r, 3, 3, &cause)) << cause;
  EXPECT_NEAR(t.r.d1_bc(3), N / 2.0, 1e-12);
  EXPECT_NEAR(t.r.d2b(3), N / (6.0 * 1000.0), 1e-4 * N / 6000.0);
  EXPECT_NEAR(t.r.h12(3), 3.0, 3e-4);
}

TEST(IntegralQuantities, WallVelocityDoesNotEnterTheMomentumIntegral) {
  auto theta = [](double wall_velocity) {
    IntegralRun t(301, 8.0);
    t.profile(
        3, 3, 1.0, 1.0, [](double e) { return e < 4.0 ? std::sin(kPi * e / 8.0) : 1.0; },
        [](double e) {
          return e < 4.0 ? 8.0 / kPi * (1.0 - std::cos(kPi * e / 8.0)) : 8.0 / kPi + e - 4.0;
        },
        kPi / 8.0);
    t.r.u(3, 1) = wall_velocity;
    std::string cause;
    EXPECT_TRUE(BL_INTEGRAL_QUANTITIES(t.r, 3, 3, &cause)) << cause;
    return t.r.d2b(3);
  };
  const double base = theta(0.0);
  EXPECT_GT(base, 0.0);
  EXPECT_EQ(theta(0.4), base);
  EXPECT_EQ(theta(-3.0), base);
}

// Station values whose product roe8 ue d1_bc is a quadratic in x: the
// three-point derivative is exact for it.
TEST(IntegralQuantities, EquivalentTranspirationIsTheStreamwiseDerivativeOfTheDisplacementFlux) {
  const double x2 = 0.30, x3 = 0.45, x4 = 0.70;
  auto flux = [](double x) { return 0.2 + 1.5 * x - 0.8 * x * x; };  // roe8 ue d1_bc
  const double h1 = x4 - x3, h2 = x3 - x2;

  IntegralRun t(401, 6.0);
  t.r.x(2) = x2;
  t.r.x(3) = x3;
  t.r.x(4) = x4;
  t.r.cx0 = (2 * h1 + h2) / (h1 * (h1 + h2));
  t.r.cx1 = -(h1 + h2) / (h1 * h2);
  t.r.cx2 = h1 / (h2 * (h1 + h2));
  // Station 4: linear profile, d1_bc = 3 in eta, ue = 1.25, roe8 = 1.1.
  const double ue4 = 1.25, rho4 = 1.1;
  t.profile(
      4, 3, ue4, rho4, [](double e) { return e / 6.0; }, [](double e) { return e * e / 12.0; },
      1.0 / 6.0);
  const double d1_4 = 3.0;
  // Stations 2 and 3 hold the displacement flux of the quadratic.
  t.r.ue(3) = 0.9;
  t.r.roe8(3) = 1.05;
  t.r.d1_bc(3) = flux(x3) / (0.9 * 1.05);
  t.r.ue(2) = 0.7;
  t.r.roe8(2) = 0.95;
  t.r.d1_bc(2) = flux(x2) / (0.7 * 0.95);
  // Make station 4 lie on the quadratic too: scale it through roe8 ue d1_bc.
  const double scale = flux(x4) / (rho4 * ue4 * d1_4);
  t.r.ue(4) = ue4;
  t.r.roe8(4) = rho4 * scale;
  for (int j = 1; j <= t.r.np; ++j) {
    t.r.ccro(3, j) = rho4 * scale;
    t.r.f(3, j) = rho4 * scale * ue4 * t.r.eta(j) * t.r.eta(j) / 12.0;
  }
  t.r.roe(4) = 1.2;
  t.r.u8 = 70.0;
  std::string cause;
  ASSERT_TRUE(BL_INTEGRAL_QUANTITIES(t.r, 4, 3, &cause)) << cause;
  EXPECT_NEAR(t.r.d1_bc(4), d1_4, 1e-12);
  const double slope = 1.5 - 1.6 * x4;
  EXPECT_NEAR(t.r.rv_bc(4), slope, 1e-12);
  // Equivalent transpiration: roe u8 d(rho ue delta*)/dx with delta* = d1_bc/sqrt(Re).
  EXPECT_NEAR(t.r.rov(4), 1.2 * 70.0 * slope / 1000.0, 1e-12);
}

TEST(IntegralQuantities, FirstMarchedStationSeesOnlyItsOwnDisplacementFlux) {
  IntegralRun t(401, 6.0);
  // The set-up leaves zero d1_bc at stations 1 and 2; station 3 has cx2 = 0.
  t.r.x(2) = 0.01;
  t.r.x(3) = 0.02;
  t.r.cx0 = 1.0 / (0.02 - 0.01);
  t.r.cx1 = -t.r.cx0;
  t.r.cx2 = 0.0;
  t.profile(
      3, 3, 0.8, 1.0, [](double e) { return e / 6.0; }, [](double e) { return e * e / 12.0; },
      1.0 / 6.0);
  std::string cause;
  ASSERT_TRUE(BL_INTEGRAL_QUANTITIES(t.r, 3, 3, &cause)) << cause;
  EXPECT_NEAR(t.r.rv_bc(3), 100.0 * 0.8 * 3.0, 1e-10);
}

TEST(IntegralQuantities, WallTranspirationComesFromTheThreeLevelsWhateverTheLevel) {
  IntegralRun t(201, 6.0);
  const double x2 = 0.5, x3 = 0.6, x4 = 0.8;
  const double h1 = x4 - x3, h2 = x3 - x2;
  t.r.cx0 = (2 * h1 + h2) / (h1 * (h1 + h2));
  t.r.cx1 = -(h1 + h2) / (h1 * h2);
  t.r.cx2 = h1 / (h2 * (h1 + h2));
  auto wall = [](double x) { return -0.3 * x + 0.25 * x * x; };  // F at the wall
  // Level 2 holds the profile the integrals are taken from.
  t.profile(
      4, 2, 1.0, 1.0, [](double e) { return e / 6.0; }, [](double e) { return e * e / 12.0; },
      1.0 / 6.0);
  t.r.f(1, 1) = wall(x2);
  t.r.f(2, 1) = wall(x3);
  t.r.f(3, 1) = wall(x4);
  for (int j = 2; j <= t.r.np; ++j) t.r.f(2, j) += wall(x3);
  std::string cause;
  ASSERT_TRUE(BL_INTEGRAL_QUANTITIES(t.r, 4, 2, &cause)) << cause;
  EXPECT_NEAR(t.r.vww(4), -0.3 + 0.5 * x4, 1e-12);
  EXPECT_NEAR(t.r.d1_bc(4), 3.0, 1e-12);  // the level-2 profile, shifted by its wall value
}

TEST(IntegralQuantities, UndefinedValuesAreRefusedAndNothingIsWritten) {
  struct Case {
    const char* what;
    std::function<void(SurfaceRun&)> spoil;
    const char* cause;
  };
  const Case cases[] = {
      {"zero edge velocity", [](SurfaceRun& r) { r.ue(3) = 0.0; }, "zero edge velocity"},
      {"no flow in the layer",
       [](SurfaceRun& r) {
         for (int j = 1; j <= r.np; ++j) r.u(3, j) = r.f(3, j) = 0.0;
       },
       "zero momentum thickness"},
      {"zero edge viscosity", [](SurfaceRun& r) { r.emue(3) = 0.0; }, "non-finite integral values"},
      {"zero edge density ratio", [](SurfaceRun& r) { r.roe8(3) = 0.0; },
       "non-finite integral values"},
      {"profile not a number", [](SurfaceRun& r) { r.u(3, 7) = std::nan(""); },
       "non-finite integral values"},
      {"infinite wall shear", [](SurfaceRun& r) { r.v(3, 1) = HUGE_VAL; },
       "non-finite integral values"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IntegralRun t(101, 6.0);
    t.profile(
        3, 3, 1.0, 1.0, [](double e) { return e / 6.0; }, [](double e) { return e * e / 12.0; },
        1.0 / 6.0);
    c.spoil(t.r);
    Table1<double>* outputs[] = {&t.r.d2b,   &t.r.rtheta, &t.r.d1_bc, &t.r.d1b,
                                 &t.r.rdels, &t.r.cf_bc,  &t.r.cfb,   &t.r.rv_bc,
                                 &t.r.rov,   &t.r.h12,    &t.r.vww};
    for (Table1<double>* o : outputs) (*o)(3) = 7.5;
    std::string cause;
    EXPECT_FALSE(BL_INTEGRAL_QUANTITIES(t.r, 3, 3, &cause));
    EXPECT_EQ(cause, c.cause);
    for (Table1<double>* o : outputs) EXPECT_EQ((*o)(3), 7.5);
    EXPECT_FALSE(BL_INTEGRAL_QUANTITIES(t.r, 3, 3, nullptr));  // no cause wanted
  }
}

}  // namespace
}  // namespace sorvane::bl

// Force and moment integration: hand-computed cases, the moment transfer
// identity, zero force on a closed contour under uniform pressure, and the
// exact .cpf records.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "solver/panel/element_forces.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

struct Forces {
  double CN, CT, CX, CY, MZ0, MZ;
};

struct Element {
  std::vector<double> cp, xc, yc, xp, yp;  // n values each
};

// The listings of these cases go nowhere: unit 0 is not open.
Forces integrate(const Element& e, double alpha, double xref, double yref, double xe,
                 double ye) {
  const int saved = state().LUCPF;
  state().LUCPF = 0;
  Forces f{};
  ELEMENT_FORCES(static_cast<int>(e.xp.size()), e.cp.data(), e.xc.data(), e.yc.data(),
                 e.xp.data(), e.yp.data(), alpha, xref, yref, xe, ye, f.CN, f.CT, f.CX, f.CY,
                 f.MZ0, f.MZ);
  state().LUCPF = saved;
  return f;
}

// Two panels back and forth along the x axis, Cp +1 and -1.
const Element kFolded = {{1.0, -1.0, 0.0}, {0.5, 0.5, 0.0}, {0.0, 0.0, 0.0},
                         {1.0, 0.0, 1.0},  {0.0, 0.0, 0.0}};

TEST(ElementForces, HandComputedCases) {
  struct Case {
    const char* what;
    Element e;
    double alpha;
    Forces expected;
  };
  const Case cases[] = {
      {"no panel", {{0.7}, {0.3}, {0.2}, {0.3}, {0.2}}, 0.4, {0, 0, 0, 0, 0, 0}},
      {"folded, alpha 0", kFolded, 0.0, {2.0, 0.0, 0.0, 2.0, -1.0, -1.0}},
      {"folded, alpha 90 degrees", kFolded, M_PI / 2, {2.0, 0.0, 2.0, 0.0, -1.0, -1.0}},
  };
  for (const Case& c : cases) {
    const Forces f = integrate(c.e, c.alpha, 0.0, 0.0, 0.0, 0.0);
    EXPECT_NEAR(f.CN, c.expected.CN, 1e-15) << c.what;
    EXPECT_NEAR(f.CT, c.expected.CT, 1e-15) << c.what;
    EXPECT_NEAR(f.CX, c.expected.CX, 1e-15) << c.what;
    EXPECT_NEAR(f.CY, c.expected.CY, 1e-15) << c.what;
    EXPECT_NEAR(f.MZ0, c.expected.MZ0, 1e-15) << c.what;
    EXPECT_NEAR(f.MZ, c.expected.MZ, 1e-15) << c.what;
  }
}

Element random_element(std::mt19937& gen, int n) {
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  Element e;
  for (int i = 0; i < n; ++i) {
    e.xp.push_back(u(gen));
    e.yp.push_back(u(gen));
    e.cp.push_back(u(gen));
    e.xc.push_back(u(gen));
    e.yc.push_back(u(gen));
  }
  return e;
}

// Moving the moment point: MZ0 - MZ = (ye - yref)*CT - (xe - xref)*CN; and
// CX, CY are CT, CN turned by alpha (their magnitude is kept).
TEST(ElementForces, MomentTransferAndRotation) {
  std::mt19937 gen(11);
  std::uniform_real_distribution<double> u(-2.0, 2.0);
  for (int trial = 0; trial < 50; ++trial) {
    const Element e = random_element(gen, 2 + trial);
    const double alpha = u(gen), xref = u(gen), yref = u(gen), xe = u(gen), ye = u(gen);
    const Forces f = integrate(e, alpha, xref, yref, xe, ye);
    EXPECT_NEAR(f.MZ0 - f.MZ, (ye - yref) * f.CT - (xe - xref) * f.CN, 1e-12) << trial;
    EXPECT_NEAR(std::hypot(f.CX, f.CY), std::hypot(f.CN, f.CT), 1e-12) << trial;
  }
}

// Uniform pressure on a closed contour with midpoint control points: no
// force and no moment about any point.
TEST(ElementForces, ClosedContourUniformPressure) {
  for (int panels : {3, 8, 101}) {
    Element e;
    for (int i = 0; i <= panels; ++i) {
      const double th = 2.0 * M_PI * (i % panels) / panels;
      e.xp.push_back(0.3 + std::cos(th) * (1.0 + 0.2 * std::cos(3 * th)));
      e.yp.push_back(-0.1 + 0.6 * std::sin(th));
    }
    for (int i = 0; i < panels; ++i) {
      e.xc.push_back(0.5 * (e.xp[i] + e.xp[i + 1]));
      e.yc.push_back(0.5 * (e.yp[i] + e.yp[i + 1]));
      e.cp.push_back(-0.8);
    }
    e.xc.push_back(0.0), e.yc.push_back(0.0), e.cp.push_back(0.0);
    const Forces f = integrate(e, 0.3, 0.25, 0.05, -1.0, 2.0);
    EXPECT_NEAR(f.CN, 0.0, 1e-14) << panels;
    EXPECT_NEAR(f.CT, 0.0, 1e-14) << panels;
    EXPECT_NEAR(f.MZ0, 0.0, 1e-14) << panels;
    EXPECT_NEAR(f.MZ, 0.0, 1e-14) << panels;
  }
}

// The .cpf records of a two-panel element, written out by hand from the
// formats: CN = 2, CT = -1, MZ0 = -0.75 about (0,0), MZ = 1.25 about (1,0).
TEST(ElementForces, CpfRecords) {
  const std::string dir = testing::scratch_dir("element_forces_cpf");
  const std::string path = dir + "/forces.cpf";
  std::string err;
  ASSERT_TRUE(text::units().open(81, path, &err)) << err;
  const int saved = state().LUCPF;
  state().LUCPF = 81;
  const Element e = {{1.0, -1.0, 0.0}, {0.5, 0.5, 1.25}, {-0.25, -0.25, 0.0},
                     {1.0, 0.0, 1.0},  {0.0, -0.5, 0.0}};
  Forces f{};
  ELEMENT_FORCES(3, e.cp.data(), e.xc.data(), e.yc.data(), e.xp.data(), e.yp.data(), 0.0, 0.0,
                 0.0, 1.0, 0.0, f.CN, f.CT, f.CX, f.CY, f.MZ0, f.MZ);
  state().LUCPF = saved;
  text::units().close(81);

  const std::string sp13(13, ' ');
  const std::string expected =
      "    I" + std::string(10, ' ') + "XC" + sp13 + "YC" + sp13 + "CP" + sp13 + "XP" + sp13 +
      "YP\n"
      "    1     0.50000000    -0.25000000     1.00000000     1.00000000     0.00000000\n"
      "    2     0.50000000    -0.25000000    -1.00000000     0.00000000    -0.50000000\n"
      "    3     1.25000000     0.00000000     0.00000000     1.00000000     0.00000000\n"
      "       CN" + sp13 + "CT" + sp13 + "CX" + sp13 + "CY" + sp13 + "MZ0" + sp13 + "MZ\n"
      " 0.20000000E+01-0.10000000E+01-0.10000000E+01 0.20000000E+01-0.75000000E+00"
      " 0.12500000E+01\n";
  EXPECT_EQ(testing::read_file(path), expected);
  EXPECT_EQ(f.CN, 2.0);
  EXPECT_EQ(f.CT, -1.0);
  EXPECT_EQ(f.MZ0, -0.75);
  EXPECT_EQ(f.MZ, 1.25);
}

TEST(ElementForces, PolarSinglePrecision) {
  EXPECT_EQ(POLAR_X(2.0f, 0.0f), 2.0f);
  EXPECT_EQ(POLAR_Y(2.0f, 0.0f), 0.0f);
  EXPECT_NEAR(POLAR_X(2.0f, 1.0f), 2.0 * std::cos(1.0), 1e-6);
  EXPECT_NEAR(POLAR_Y(2.0f, 1.0f), 2.0 * std::sin(1.0), 1e-6);
}

}  // namespace
}  // namespace sorvane

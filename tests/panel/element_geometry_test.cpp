// Element geometry: leading-edge row, stations and node order (even and odd
// panel counts), nodes of a NACA 0012 contour against the thickness formula,
// smoothing inside its tube, placement from the contour, listing levels and
// degenerate input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "solver/panel/element_geometry.h"
#include "solver/panel/panel_placement.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/panel/element_state.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using testing::count_of;
using testing::kPi;
using testing::read_file;
using testing::read_lines;
using testing::scratch_dir;

// NACA 00xx half thickness with the closed trailing edge.
double naca_half_thickness(double x, double t) {
  return 5.0 * t *
         (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
          0.1036 * x * x * x * x);
}

struct Contour {
  std::vector<double> x, y;
  int le = 0;  // row of the leading edge
};

// From the trailing edge over the upper surface (`upper` points, the leading
// edge included) and back over the lower surface (`lower` points), cosine
// spaced, chord 1 on the x axis.
Contour naca(int upper, int lower, double t = 0.12) {
  Contour c;
  for (int i = 0; i < upper; ++i) {
    const double x = 0.5 * (1.0 + std::cos(kPi * i / (upper - 1)));
    c.x.push_back(x);
    c.y.push_back(naca_half_thickness(x, t));
  }
  c.x.back() = 0.0;
  c.le = upper;
  for (int j = 1; j <= lower; ++j) {
    const double x = 0.5 * (1.0 - std::cos(kPi * j / lower));
    c.x.push_back(x);
    c.y.push_back(-naca_half_thickness(x, t));
  }
  c.x.front() = c.x.back() = 1.0;
  c.y.front() = c.y.back() = 0.0;
  return c;
}

// The contour of naca(11, 10, t) with a parabolic camber line of 2 % added:
// both surfaces share their abscissae, so at t = 0 they coincide.
Contour cambered(double t) {
  Contour c = naca(11, 10, t);
  for (std::size_t i = 0; i < c.x.size(); ++i) c.y[i] += 0.08 * c.x[i] * (1.0 - c.x[i]);
  return c;
}

class GeomTest : public ::testing::Test {
 protected:
  std::string dir, out, geo;

  void SetUp() override {
    // A short directory name: GEO_NAME holds 80 characters.
    const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    dir = scratch_dir("geom_" + name.substr(0, 16));
    out = dir + "/case.out";
    geo = dir + "/case.geo";
    ASSERT_LE(geo.size(), static_cast<std::size_t>(kPathLength)) << geo;
    ProblemState& s = state();
    s.SWEPT = 0.0;
    s.IPOS = 0;
    for (int k = 1; k <= kMaxElements; ++k) {
      s.ISMOOTH(k) = 0;
      s.ILE(k) = 0;
      s.NCONT(k) = 0;
    }
    s.LUGEO = 83;
    s.LUSTD = 6;
    s.GEO_NAME.assign(geo.c_str(), geo.size());
    text::units().close(83);
    ASSERT_NO_FATAL_FAILURE(testing::set_element_state(0.01, 1, out));
  }
  void TearDown() override {
    text::units().close(82);
    text::units().close(83);
  }

  static void load(int k, const Contour& c, int panels, int ile) {
    ProblemState& s = state();
    const int n = static_cast<int>(c.x.size());
    for (int i = 1; i <= n; ++i) {
      s.X0(i, k) = c.x[i - 1];
      s.Y0(i, k) = c.y[i - 1];
      s.D0(i, k) = 0.0;
    }
    s.NCONT(k) = n;
    s.NPANELS(k) = panels;
    s.ILE(k) = ile;
    // A table of three-value rows in contour order: messages name its rows.
    s.ITAB(k) = 2;
    s.NROWS(k) = n;
  }

  std::string listing() {
    text::units().flush_all();
    return read_file(out);
  }
};

double listed_radius(const std::string& text) {
  const std::string key = "RADIUS OF LEADING EDGE =";
  const std::size_t p = text.find(key);
  if (p == std::string::npos) return NAN;
  return std::stod(text.substr(p + key.size(), 12));
}

// --- leading-edge row ------------------------------------------------------

TEST_F(GeomTest, LeadingEdgeRowFromTheContour) {
  ProblemState& s = state();
  // Mirrored-table shape: 31 points per surface, 61 in all; the middle row.
  load(1, naca(31, 30), 60, 0);
  EXPECT_EQ(GEOM(), "");
  EXPECT_EQ(s.ILE(1), 31);
  // A stored row is kept when its frame shows no negative x.
  EXPECT_EQ(GEOM(), "");
  EXPECT_EQ(s.ILE(1), 31);

  // Surfaces of unequal point counts (40 + 20): the first frame's row is the
  // leading edge itself (row 40), not the middle row 30, and the first
  // solution already succeeds.
  const Contour uneven = naca(40, 20);
  load(1, uneven, 40, 0);
  EXPECT_EQ(GEOM(), "");
  EXPECT_EQ(s.ILE(1), 40);
  EXPECT_NEAR(s.XPN0(21, 1), 0.0, 0.0);
  EXPECT_NEAR(s.YPN0(21, 1), 0.0, 1e-12);

  // 32 + 30 points: the leading edge is row 32, the middle row 31 is its
  // neighbour on the t < 0 side and still gives an increasing parameter, so
  // the middle row is stored; the next frame, built from row 31, then finds
  // the leading edge upstream of it.
  load(1, naca(32, 30), 40, 0);
  EXPECT_EQ(GEOM(), "");
  EXPECT_EQ(s.ILE(1), 31);
  EXPECT_EQ(s.XPN0(21, 1), 0.0);
  EXPECT_EQ(GEOM(), "");
  EXPECT_EQ(s.ILE(1), 32);
}

TEST_F(GeomTest, MostNegativeXTieGoesToTheFirstRow) {
  ProblemState& s = state();
  // Frame from row 4, (0.2, 0), to the trailing edge (1, 0); rows 3 and 5
  // share the most negative x, -0.2. The contour does not run around the
  // new leading edge, so the pass then stops at the parameter check.
  Contour c;
  c.x = {1.0, 0.5, 0.0, 0.2, 0.0, 0.5, 1.0};
  c.y = {0.0, 0.1, 0.05, 0.0, -0.05, -0.1, 0.0};
  load(1, c, 4, 4);
  const std::string msg = GEOM();
  EXPECT_EQ(s.ILE(1), 3);
  EXPECT_EQ(msg,
            "element 1: row 4 and row 5 are out of order: x along the chord must rise from the "
            "leading edge (row 3) to the trailing edge, not go from 0.2 to 0");
}

// --- stations and node order ----------------------------------------------

TEST_F(GeomTest, StationsAndNodeOrderForEvenAndOddCounts) {
  ProblemState& s = state();
  for (int N : {2, 4, 60, 3, 7, 121}) {
    SCOPED_TRACE("N = " + std::to_string(N));
    load(1, naca(61, 60), N, 61);
    ASSERT_EQ(GEOM(), "");
    const int m = N / 2;
    const double xte = s.XPN0(1, 1);
    EXPECT_NEAR(xte, 1.0, 1e-15);
    // Both trailing-edge nodes at the trailing-edge x exactly, the leading
    // edge at x = 0 with t = 0.
    EXPECT_EQ(s.XPN0(N + 1, 1), xte);
    EXPECT_EQ(s.XPN0(m + 1, 1), 0.0);
    EXPECT_EQ(s.TP(m + 1, 1), 0.0);
    EXPECT_EQ(s.TP(1, 1), std::sqrt(xte));
    EXPECT_EQ(s.TP(N + 1, 1), -std::sqrt(xte));
    // t > 0 branch: nodes 1..m+1, x decreasing, on the lower surface.
    for (int i = 1; i <= m; ++i) {
      EXPECT_GT(s.XPN0(i, 1), s.XPN0(i + 1, 1)) << "node " << i;
      EXPECT_GT(s.TP(i, 1), 0.0);
      const double station = i < m ? 0.5 * (1.0 - std::cos(i * kPi / m)) * xte : xte;
      EXPECT_EQ(s.XPN0(m + 1 - i, 1), station) << "node " << m + 1 - i;
    }
    // t < 0 branch: nodes m+1..N+1, x increasing, on the upper surface, on
    // its own stations (m+1 intervals when N is odd).
    const int mh = N - m;
    for (int j = 1; j <= mh; ++j) {
      const int i = m + 1 + j;
      EXPECT_GT(s.XPN0(i, 1), s.XPN0(i - 1, 1)) << "node " << i;
      EXPECT_LT(s.TP(i, 1), 0.0);
      const double station = j < mh ? 0.5 * (1.0 - std::cos(j * kPi / mh)) * xte : xte;
      EXPECT_EQ(s.XPN0(i, 1), station) << "node " << i;
      EXPECT_EQ(s.TP(i, 1), -std::sqrt(station));
    }
    for (int i = 1; i <= N + 1; ++i) {
      EXPECT_EQ(s.XPN(i, 1), s.XPN0(i, 1));
      EXPECT_EQ(s.YPN(i, 1), s.YPN0(i, 1));
      const double true_y = naca_half_thickness(s.XPN0(i, 1), 0.12);
      EXPECT_NEAR(s.YPN0(i, 1), i <= m ? -true_y : true_y, 2e-4) << "node " << i;
    }
    EXPECT_EQ(s.TETC(N + 1, 1), 2.0 * kPi);
  }
}

// --- against the thickness formula -----------------------------------------

TEST_F(GeomTest, Naca0012NodesOnTheSectionAndLeadingEdgeRadius) {
  ProblemState& s = state();
  // 80 contour intervals against 120 panels: most nodes lie between the
  // contour points, so the spline itself is checked.
  load(1, naca(41, 40), 120, 41);
  ASSERT_EQ(GEOM(), "");
  double worst = 0.0;
  for (int i = 1; i <= 121; ++i) {
    const double true_y = naca_half_thickness(s.XPN0(i, 1), 0.12);
    worst = std::fmax(worst, std::fabs(std::fabs(s.YPN0(i, 1)) - true_y));
    if (i != 1 && i != 61 && i != 121) {
      EXPECT_EQ(s.YPN0(i, 1) > 0.0, i > 61) << "node " << i;
    }
  }
  EXPECT_LT(worst, 3e-5);
  // The listed value is 0.25*(dy/dt)^2 at t = 0. With y = k*t near the leading
  // edge, k = 5*0.12*0.2969, that is k^2/4, while the radius of curvature of
  // the section, 1.1019*t^2 = k^2/2, is twice the listed value.
  const double analytic_radius = 1.1019 * 0.12 * 0.12;
  // The spline's slope at t = 0 converges slowly (the section's curvature in
  // t jumps there): 2% off with 81 points.
  EXPECT_NEAR(listed_radius(listing()), 0.5 * analytic_radius, 0.015 * analytic_radius);
}

// --- smoothing --------------------------------------------------------------

TEST_F(GeomTest, SmoothingStaysInItsTubeAndKeepsTheEnds) {
  ProblemState& s = state();
  Contour c = naca(41, 40);
  for (std::size_t i = 1; i + 1 < c.y.size(); ++i) c.y[i] += (i % 2 ? 0.004 : -0.004);
  load(1, c, 40, 41);
  s.ISMOOTH(1) = 1;
  ASSERT_EQ(GEOM(), "");
  ASSERT_EQ(GEOM(), "");  // a second pass appends its table
  text::units().flush_all();
  const std::vector<std::string> lines = read_lines(geo);
  EXPECT_EQ(count_of(read_file(geo), "GEOM2"), 2);
  const int n = 81;
  ASSERT_GE(static_cast<int>(lines.size()), n + 2);
  EXPECT_EQ(lines[0], " Element 1     NP= 81     GEOM2");
  double moved = 0.0;
  for (int i = 1; i <= n; ++i) {
    const std::string& line = lines[i + 1];
    ASSERT_EQ(std::stoi(line.substr(0, 5)), i);
    const double yp = std::stod(line.substr(15, 10));
    const double yp1 = std::stod(line.substr(25, 10));
    const double dp = std::stod(line.substr(45, 10));
    EXPECT_EQ(dp, (i == 1 || i == n) ? 0.0 : 0.01) << "row " << i;
    EXPECT_LE(std::fabs(yp - yp1), 0.01 + 2e-6) << "row " << i;
    if (i == 1 || i == n) {
      EXPECT_EQ(yp, yp1);
    }
    moved = std::fmax(moved, std::fabs(yp - yp1));
  }
  EXPECT_GT(moved, 0.001);  // the noise was taken out
  // The first parameter table shows the tube half-width before the ends are
  // set to 0, on every row.
  const std::string text = listing();
  EXPECT_EQ(count_of(text, "   0.100000E-01\n"), 2 * n);
}

// --- sweep cosine ------------------------------------------------------------

TEST_F(GeomTest, SweepCosineUsesTheSinglePrecisionPi) {
  ProblemState& s = state();
  load(1, naca(11, 10), 10, 11);
  struct Case {
    double swept, cosswept, tol;
  } cases[] = {{0.0, 1.0, 0.0}, {90.0, 1.2676e-6, 1e-10}, {30.0, std::cos(kPi / 6), 1e-6}};
  for (const Case& c : cases) {
    s.SWEPT = c.swept;
    ASSERT_EQ(GEOM(), "");
    EXPECT_NEAR(s.COSSWEPT, c.cosswept, c.tol) << "SWEPT " << c.swept;
  }
}

// --- placement from the contour -----------------------------------------

TEST_F(GeomTest, ReversedChordIsPlacedBackOntoItsContour) {
  ProblemState& s = state();
  // The NACA contour turned by 175 degrees about (0.3, 0.2): its trailing
  // edge lies upstream of its leading edge (dx < 0).
  const Contour base = naca(41, 40);
  const double ang = 175.0 * kPi / 180.0;
  Contour c = base;
  for (std::size_t i = 0; i < c.x.size(); ++i) {
    c.x[i] = 0.3 + std::cos(ang) * base.x[i] - std::sin(ang) * base.y[i];
    c.y[i] = 0.2 + std::sin(ang) * base.x[i] + std::cos(ang) * base.y[i];
  }
  load(1, c, 80, 41);
  s.IPOS = 1;
  ASSERT_EQ(GEOM(), "");
  ASSERT_EQ(GEOM_PAN(), "");
  // The chord angle listed is the arc tangent of the ratio, 180 degrees off
  // the chord direction; the deflection stored turns the element back.
  EXPECT_NE(listing().find(" YGOL RAZV=-5.000000"), std::string::npos);
  EXPECT_NEAR(s.DFL(1), -175.0, 1e-9);
  EXPECT_NEAR(s.XX(1), 0.3, 1e-15);
  EXPECT_NEAR(s.YY(1), 0.2, 1e-15);
  // Every configuration-frame node lies on the input section.
  for (int i = 1; i <= 81; ++i) {
    const double dx = s.XPN(i, 1) - 0.3, dy = s.YPN(i, 1) - 0.2;
    const double bx = std::cos(ang) * dx + std::sin(ang) * dy;
    const double by = -std::sin(ang) * dx + std::cos(ang) * dy;
    EXPECT_NEAR(std::fabs(by), naca_half_thickness(std::fmax(bx, 0.0), 0.12), 2e-4)
        << "node " << i;
    EXPECT_NEAR(bx, s.XPN0(i, 1), 1e-12);
  }
  // The trailing-edge nodes coincide with the contour's trailing edge.
  EXPECT_NEAR(s.XPN(1, 1), c.x.front(), 1e-12);
  EXPECT_NEAR(s.YPN(1, 1), c.y.front(), 1e-12);
}

// --- listing levels ----------------------------------------------------------

TEST_F(GeomTest, ListingRecordsPerDetailLevel) {
  ProblemState& s = state();
  const auto sp = [](int n) { return std::string(n, ' '); };
  // Markers of the records: text that only that record writes, how often it
  // appears when written, and the level above which it is written.
  struct Marker {
    std::string text;
    int times, above;
  };
  const std::vector<Marker> markers = {
      {"    I" + sp(9) + "X0" + sp(13) + "Y0   AeroFoil=  1\n", 1, 2},  // record 1
      {"INPUT subr.GEOM\n", 1, 2},                                     // record 1
      {std::string(65, '-') + "\n", 1, -1},                            // record 2
      {" YGOL RAZV=", 1, -1},                                          // record 2
      {"XP" + sp(13) + "YP" + sp(13) + "X0" + sp(13) + "Y0\n", 1, 1},   // record 3
      {" N0min=", 1, 0},                                               // record 4
      {"GEOM1\n", 1, 0},                                               // record 4
      {"    I" + sp(7) + "TP" + sp(13) + "XP" + sp(13) + "YP1" + sp(12) + "YP\n", 2,
       -1},                                                            // records 5, 7
      {"GEOM4\n", 1, 2},                                               // record 8
      {"RADIUS OF LEADING EDGE =", 1, -1},                             // record 9
      {"GEOM5\n", 1, 3},                                               // record 10
      {" XX=", 1, 3},                                                  // record 11
      {"GEOM6\n", 1, 3},                                               // record 11
      {"Ncompute= 1\n   AeroFoil=  1\n\n    I" + sp(9) + "XPN" + sp(12) + "YPN", 1,
       -1},                                                            // record 12
      {"OUTPUT subr.GEOM\n", 1, 2},                                    // record 13
      {"    I" + sp(9) + " X" + sp(13) + " Y   AeroFoil=  1\n", 1, 2},  // record 13
  };
  for (int level = 0; level <= 4; ++level) {
    SCOPED_TRACE("IPRINT " + std::to_string(level));
    std::string err;
    ASSERT_TRUE(text::units().open(82, out, &err)) << err;
    s.IPRINT = level;
    load(1, naca(6, 5), 6, 6);
    ASSERT_EQ(GEOM(), "");
    const std::string text = listing();
    for (const Marker& mk : markers)
      EXPECT_EQ(count_of(text, mk.text), level > mk.above ? mk.times : 0) << mk.text;
    if (level < 4) continue;
    // Every record written, in the order of the pass: records 1 to 13 but 6
    // (the smoothing table goes to the geo listing).
    const std::vector<std::string> order = {
        "INPUT subr.GEOM\n",
        "    I" + sp(9) + "X0" + sp(13) + "Y0   AeroFoil=  1\n",
        std::string(65, '-') + "\n",
        " YGOL RAZV=",
        "XP" + sp(13) + "YP" + sp(13) + "X0" + sp(13) + "Y0\n",
        " N0min=",
        "GEOM1\n",
        "    I" + sp(7) + "TP" + sp(13) + "XP",
        "    I" + sp(7) + "TP" + sp(13) + "XP",
        "GEOM4\n",
        "RADIUS OF LEADING EDGE =",
        "GEOM5\n",
        " XX=",
        "GEOM6\n",
        "Ncompute= 1\n",
        "OUTPUT subr.GEOM\n",
        "    I" + sp(9) + " X" + sp(13) + " Y   AeroFoil=  1\n",
    };
    std::size_t at = 0;
    for (const std::string& mk : order) {
      const std::size_t p = text.find(mk, at);
      ASSERT_NE(p, std::string::npos) << "after offset " << at << ": " << mk;
      at = p + 1;
    }
  }
}

// One small element written whole, checked by hand from the formats.
TEST_F(GeomTest, ExactListingOfASmallElement) {
  ProblemState& s = state();
  Contour c;
  c.x = {1.0, 0.5, 0.0, 0.5, 1.0};
  c.y = {0.0, 0.1, 0.0, -0.1, 0.0};
  load(1, c, 4, 3);
  s.IPRINT = 0;
  s.DADD = 0.25;
  ASSERT_EQ(GEOM(), "");
  ASSERT_EQ(GEOM_PAN(), "");
  // The natural spline through t = -1, -a, 0, a, 1 (a = sqrt(0.5)) and
  // y = 0, 0.1, 0, -0.1, 0 is odd: M(3) = 0, M(2) = 3*(-0.1/a - 0.1/(1 - a))
  // = -1.448528 and the slope at t = 0 is -0.1/a + M(2)*a/6 = -0.312132, so
  // the listed radius 0.25*slope^2 = 0.24357E-01.
  const std::string expected =
      "\n"
      "\n"
      "-----------------------------------------------------------------\n"
      " YGOL RAZV= 0.000000    CHORD= 1.000000    X0= 0.000000    Y0= 0.000000\n"
      "    I       TP             XP             YP1            YP\n"
      "    1  -0.100000E+01   0.100000E+01   0.000000E+00   0.000000E+00   0.100000E-01\n"
      "    2  -0.707107E+00   0.500000E+00   0.100000E+00   0.100000E+00   0.100000E-01\n"
      "    3  -0.000000E+00   0.000000E+00   0.000000E+00   0.000000E+00   0.100000E-01\n"
      "    4   0.707107E+00   0.500000E+00  -0.100000E+00  -0.100000E+00   0.100000E-01\n"
      "    5   0.100000E+01   0.100000E+01   0.000000E+00   0.000000E+00   0.100000E-01\n"
      "    I       TP             XP             YP1            YP\n"
      "    1  -0.100000E+01   0.100000E+01   0.000000E+00   0.000000E+00\n"
      "    2  -0.707107E+00   0.500000E+00   0.100000E+00   0.100000E+00\n"
      "    3  -0.000000E+00   0.000000E+00   0.000000E+00   0.000000E+00\n"
      "    4   0.707107E+00   0.500000E+00  -0.100000E+00  -0.100000E+00\n"
      "    5   0.100000E+01   0.100000E+01   0.000000E+00   0.000000E+00\n"
      "\n"
      "               RADIUS OF LEADING EDGE = 0.24357E-01\n"
      "Ncompute= 1\n"
      "   AeroFoil=  1\n"
      "\n"
      "    I         XPN            YPN            X            Y\n"
      "    1       1.000000       0.000000       1.000000       0.000000\n"
      "    2       0.500000      -0.100000       0.500000      -0.100000\n"
      "    3       0.000000      -0.000000       0.000000      -0.000000\n"
      "    4       0.500000       0.100000       0.500000       0.100000\n"
      "    5       1.000000       0.000000       1.000000       0.000000\n"
      " GEOM_PAN  Ncompute=  1\n";
  EXPECT_EQ(listing(), expected);
  // The leading-edge node's y, y(0) of the spline, is 0 but for rounding
  // (here a tiny negative value, hence "-0.000000" above).
  EXPECT_NEAR(s.YPN0(3, 1), 0.0, 1e-16);
  // The additional control point: on the line from the midpoint of control
  // points 1 and 4, (0.75, 0), through the trailing edge (1, 0).
  EXPECT_DOUBLE_EQ(s.XC(5, 1), 1.25);
  EXPECT_NEAR(s.YC(5, 1), 0.0, 1e-15);
}

// --- degenerate input ---------------------------------------------------------

TEST_F(GeomTest, DegenerateInputIsReportedWithoutFittingTheSpline) {
  ProblemState& s = state();
  const std::string kNoAreaMessage =
      "element 1: the contour encloses no area (less than 1e-05 of the chord squared): its "
      "upper and lower surfaces coincide or nearly so, and the panel system of such a section "
      "is singular";
  struct Case {
    const char* name;
    std::function<void()> setup;
    std::string message;
  };
  const Contour good = naca(11, 10);
  const std::vector<Case> cases = {
      {"zero chord",
       [&] {
         Contour c = good;
         c.x.front() = c.x.back() = 0.0;
         c.y.front() = c.y.back() = 0.0;
         load(1, c, 10, 11);
       },
       "element 1: zero chord (trailing-edge midpoint on the leading-edge point)"},
      {"non-finite point",
       [&] {
         load(1, good, 10, 11);
         s.Y0(5, 1) = NAN;
       },
       "element 1: contour point 5 is not a finite number"},
      {"two points",
       [&] {
         Contour c;
         c.x = {1.0, 0.0};
         c.y = {0.0, 0.0};
         load(1, c, 2, 1);
       },
       "element 1: 2 contour points (at least 3 are needed)"},
      {"row below the contour", [&] { load(1, good, 10, -1); },
       "element 1: leading-edge row -1 outside 1..21"},
      {"row beyond the contour", [&] { load(1, good, 10, 22); },
       "element 1: leading-edge row 22 outside 1..21"},
      {"more points than the spline holds",
       [&] {
         load(1, naca(302, 300), 10, 302);
       },
       "element 1: 602 contour points, more than the 601 the contour spline holds"},
      {"more points than the smoothing holds",
       [&] {
         load(1, naca(102, 100), 10, 102);
         s.ISMOOTH(1) = 1;
       },
       "element 1: 202 contour points, more than the 201 the contour smoothing holds"},
      {"one panel", [&] { load(1, good, 1, 11); }, "element 1: 1 panels (2 to 599 are allowed)"},
      {"600 panels", [&] { load(1, good, 600, 11); },
       "element 1: 600 panels (2 to 599 are allowed)"},
      {"points out of order",
       [&] {
         Contour c = good;
         std::swap(c.x[13], c.x[14]);
         std::swap(c.y[13], c.y[14]);
         load(1, c, 10, 11);
       },
       "element 1: row 14 and row 15 are out of order: x along the chord must rise from the "
       "leading edge (row 11) to the trailing edge, not go from 0.3454915 to 0.20610737"},
      {"camber line of zero thickness", [&] { load(1, cambered(0.0), 10, 11); },
       kNoAreaMessage},
      {"flat line of zero thickness", [&] { load(1, naca(11, 10, 0.0), 10, 11); },
       kNoAreaMessage},
      {"section of 1e-5 chord thickness", [&] { load(1, naca(11, 10, 1e-5), 10, 11); },
       kNoAreaMessage},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s.ISMOOTH(1) = 0;
    // Element 2 is sound and is still processed after element 1 fails.
    s.NELEM = 2;
    load(2, good, 10, 11);
    for (int i = 1; i <= 11; ++i) s.XPN0(i, 2) = s.YPN0(i, 2) = -7.0;
    c.setup();
    EXPECT_EQ(GEOM(), c.message);
    EXPECT_EQ(s.XPN0(1, 2), 1.0);
    EXPECT_EQ(s.XPN0(6, 2), 0.0);
  }
  s.NELEM = 6;
  EXPECT_EQ(GEOM(), "the configuration has 6 elements (at most 5)");
}

// The test for a contour that encloses no area leaves thin sections alone,
// cambered or not, down to a thousandth of the chord.
TEST_F(GeomTest, ThinSectionsAreNotTakenForZeroThickness) {
  for (double t : {0.01, 0.001}) {
    SCOPED_TRACE(t);
    load(1, naca(11, 10, t), 10, 11);
    EXPECT_EQ(GEOM(), "");
    load(1, cambered(t), 10, 11);
    EXPECT_EQ(GEOM(), "");
  }
}

}  // namespace
}  // namespace sorvane

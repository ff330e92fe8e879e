// The panel solution: the assembled system, symmetry, independence of far
// elements, the compressibility and sweep relations, failure reports and the
// listing records.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "solver/panel/element_geometry.h"
#include "solver/panel/panel_placement.h"
#include "solver/panel/panel_solution.h"
#include "solver/panel/panel_solution_phases.h"
#include "solver/state/problem_state.h"
#include "tests/panel/solution_cases.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

const double kPi = 3.141592653589793;

std::string message() {
  const ProblemState& s = state();
  return std::string(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length());
}

double matrix_at(int row, int col) {  // 1-based
  return panel_phases::matrix()[static_cast<std::size_t>(row - 1) *
                                    panel_phases::leading_dimension() +
                                (col - 1)];
}

cases::Config single(const cases::Element& e, double alpha, int npanels) {
  cases::Config c;
  c.alpha = alpha;
  c.elements.push_back(e);
  c.elements.back().npanels = npanels;
  return c;
}

// (1/(2 pi)) times the integral of ln r along panel (x1,y1)-(x2,y2), r the
// distance from (xc,yc): composite Simpson, for points off the panel.
double log_integral(double x1, double y1, double x2, double y2, double xc, double yc) {
  const int n = 4000;
  const double len = std::hypot(x2 - x1, y2 - y1);
  double sum = 0;
  for (int i = 0; i <= n; ++i) {
    const double t = static_cast<double>(i) / n;
    const double r = std::hypot(x1 + t * (x2 - x1) - xc, y1 + t * (y2 - y1) - yc);
    const double w = (i == 0 || i == n) ? 1 : (i % 2 ? 4 : 2);
    sum += w * std::log(r);
  }
  return sum / (3.0 * n) * len / (2 * kPi);
}

// Every influence coefficient is the stream function of a unit vortex sheet
// on its panel: checked by quadrature, with the psi columns, the right-hand
// sides and the trailing-edge rows of a two-element system (60 + 40 panels).
TEST(PanelSystem, CoefficientsColumnsAndRowsOfTwoElements) {
  for (int ite : {0, 1}) {
    SCOPED_TRACE("ITE " + std::to_string(ite));
    cases::Config c;
    c.alpha = 3.0;
    c.ite = ite;
    c.elements.push_back(cases::naca4(2412, 80));
    c.elements.back().npanels = 60;
    cases::Element flap = cases::naca4(12, 60);
    for (double& x : flap.x) x = 0.95 + 0.4 * x;
    for (double& y : flap.y) y = -0.05 + 0.4 * y;
    flap.chord = 0.4;
    flap.npanels = 40;
    c.elements.push_back(flap);
    ASSERT_EQ(cases::solve(c, testing::scratch_dir("system_" + std::to_string(ite)), "two"),
              "");
    const ProblemState& s = state();
    const int N = 102;
    // psi columns: 61 (element 1) and 102 (element 2).
    EXPECT_EQ(matrix_at(1, 61), 1.0);
    EXPECT_EQ(matrix_at(1, 102), 0.0);
    EXPECT_EQ(matrix_at(62, 61), 0.0);
    EXPECT_EQ(matrix_at(62, 102), 1.0);
    // Coefficients by quadrature at rows of both elements, columns of both.
    for (int kk = 1; kk <= 2; ++kk) {
      for (int i : {1, 7, s.NPANELS(kk) / 2, s.NPANELS(kk) + 1}) {
        if (ite == 1 && i == s.NPANELS(kk) + 1) continue;
        const int row = (kk == 1 ? 0 : 61) + i;
        for (int k = 1; k <= 2; ++k) {
          for (int j : {3, s.NPANELS(k) / 2 + 2, s.NPANELS(k) - 4}) {
            const int col = (k == 1 ? 0 : 61) + j;
            if (row == col || std::abs(row - col) <= 1) continue;
            const double q = log_integral(s.XPN(j, k), s.YPN(j, k), s.XPN(j + 1, k),
                                          s.YPN(j + 1, k), s.XC(i, kk), s.YC(i, kk));
            EXPECT_NEAR(matrix_at(row, col), q, 1e-9) << "row " << row << " col " << col;
          }
        }
      }
    }
    // Diagonal: h (ln h - 1) / pi with h the half panel length.
    const double h = 0.5 * std::hypot(s.XPN(11, 1) - s.XPN(10, 1), s.YPN(11, 1) - s.YPN(10, 1));
    EXPECT_NEAR(matrix_at(10, 10), h * (std::log(h) - 1) / kPi, 1e-15);
    // Trailing-edge rows with ITE 1: gamma(k,1) + gamma(k,NPANELS) = 0.
    if (ite == 1) {
      for (int col = 1; col <= N; ++col) {
        const double expect = (col == 1 || col == 60) ? 1.0 : 0.0;
        EXPECT_EQ(matrix_at(61, col), expect) << col;
        const double expect2 = (col == 62 || col == 101) ? 1.0 : 0.0;
        EXPECT_EQ(matrix_at(102, col), expect2) << col;
      }
      EXPECT_NEAR(s.VGAMMA(1, 1) + s.VGAMMA(60, 1), 0.0, 1e-12);
      EXPECT_NEAR(s.VGAMMA(1, 2) + s.VGAMMA(40, 2), 0.0, 1e-12);
    }
  }
}

// The right-hand side before elimination: cos(a) YC - sin(a) XC.
TEST(PanelSystem, RightHandSideIsTheFreeStreamStreamFunction) {
  cases::Config c = single(cases::naca4(12, 40), 7.0, 20);
  ASSERT_EQ(cases::load(c, testing::scratch_dir("rhs"), "rhs"), "");
  ASSERT_EQ(panel_phases::prepare(), "");
  ASSERT_EQ(GEOM(), "");
  ASSERT_EQ(GEOM_PAN(), "");
  int n = 0;
  ASSERT_EQ(panel_phases::assemble(&n), "");
  ASSERT_EQ(n, 21);
  const ProblemState& s = state();
  const double a = 7.0 * kPi / 180;
  for (int i = 1; i <= 21; ++i) {
    EXPECT_NEAR(matrix_at(i, 22), std::cos(a) * s.YC(i, 1) - std::sin(a) * s.XC(i, 1), 1e-15);
    EXPECT_EQ(matrix_at(i, 21), 1.0);
  }
}

// A section symmetric about the chord at zero incidence: no lift, and the
// vortex strengths are antisymmetric, up to rounding.
TEST(PanelSolution, SymmetricSectionAtZeroIncidence) {
  for (int ite : {0, 1}) {
    for (int np : {40, 120}) {
      SCOPED_TRACE("ITE " + std::to_string(ite) + ", " + std::to_string(np) + " panels");
      cases::Config c = single(cases::naca00_mirrored(12, 101), 0.0, np);
      c.ite = ite;
      ASSERT_EQ(cases::solve(c, testing::scratch_dir("symmetric"), "naca0012"), "");
      const ProblemState& s = state();
      EXPECT_NEAR(s.CY(1), 0.0, 1e-12);
      EXPECT_NEAR(s.CYGAMMA(1), 0.0, 1e-12);
      double vmax = 0;
      for (int i = 1; i <= np; ++i) vmax = std::max(vmax, std::fabs(s.VGAMMA(i, 1)));
      EXPECT_GT(vmax, 1.0);
      for (int i = 1; i <= np; ++i) {
        EXPECT_NEAR(s.VGAMMA(i, 1), -s.VGAMMA(np + 1 - i, 1), 1e-11) << i;
      }
    }
  }
}

// Two elements a thousand chords apart (one above the other, where each
// changes the other's onset speed by about 1e-4) carry the loads each has
// alone.
TEST(PanelSolution, FarApartElementsBehaveLikeEachAlone) {
  cases::Element a = cases::naca4(12, 60);
  a.npanels = 80;
  cases::Element b = cases::naca4(4412, 60);
  b.npanels = 60;
  for (double& y : b.y) y += 1000.0;
  double alone[2];
  int idx = 0;
  for (const cases::Element& e : {a, b}) {
    cases::Config c;
    c.alpha = 5.0;
    c.elements.push_back(e);
    ASSERT_EQ(cases::solve(c, testing::scratch_dir("alone"), "alone"), "");
    alone[idx++] = state().CY(1);
  }
  cases::Config both;
  both.alpha = 5.0;
  both.elements = {a, b};
  ASSERT_EQ(cases::solve(both, testing::scratch_dir("both"), "both"), "");
  const ProblemState& s = state();
  std::printf("far apart: CY %.6f / %.6f alone, %.6f / %.6f together\n", alone[0], alone[1],
              s.CY(1), s.CY(2));
  EXPECT_GT(alone[0], 0.4);
  EXPECT_GT(alone[1], alone[0]);
  EXPECT_NEAR(s.CY(1), alone[0], 1e-3 * std::fabs(alone[0]));
  EXPECT_NEAR(s.CY(2), alone[1], 1e-3 * std::fabs(alone[1]));
}

// Compressibility corrections, sweep and the reference chord, as relations
// between solutions of the same section.
TEST(PanelSolution, CompressibilitySweepAndReferenceChordRelations) {
  const std::string dir = testing::scratch_dir("relations");
  cases::Config base = single(cases::naca4(2412, 60), 2.0, 60);
  ASSERT_EQ(cases::solve(base, dir, "base"), "");
  const int np = 60;
  std::vector<double> cp0(np + 1), v0(np + 1);
  for (int i = 1; i <= np; ++i) {
    cp0[i] = state().CP(i, 1);
    v0[i] = state().VGAMMA(i, 1);
    ASSERT_DOUBLE_EQ(cp0[i], 1.0 - v0[i] * v0[i]);
  }
  struct Case {
    int icompr;
    double mach;
    double (*law)(double cp0, double m);
  };
  const Case table[] = {
      {0, 0.0, [](double c, double) { return c; }},
      {1, 0.0, [](double c, double) { return c; }},
      {2, 0.0, [](double c, double) { return c; }},
      {3, 0.0, [](double c, double) { return c; }},
      {0, 0.5, [](double c, double) { return c; }},
      {1, 0.5, [](double c, double m) { return c / std::sqrt(1 - m * m); }},
      // Karman-Tsien and Laitone (gamma = 1.4) as usually written.
      {2, 0.5,
       [](double c, double m) {
         const double b = std::sqrt(1 - m * m);
         return c / (b + m * m / (1 + b) * c / 2);
       }},
      {3, 0.6,
       [](double c, double m) {
         const double b = std::sqrt(1 - m * m);
         return c / (b + m * m * (1 + 0.2 * m * m) / (2 * b) * c);
       }},
  };
  for (const Case& c : table) {
    SCOPED_TRACE("ICOMPR " + std::to_string(c.icompr) + ", MACH " + std::to_string(c.mach));
    cases::Config cfg = base;
    cfg.icompr = c.icompr;
    cfg.mach = c.mach;
    ASSERT_EQ(cases::solve(cfg, dir, "compr"), "");
    for (int i = 1; i <= np; ++i) {
      EXPECT_DOUBLE_EQ(state().VGAMMA(i, 1), v0[i]);  // the incompressible solution
      // Laitone's 0.2 is single precision: 1e-8 relative.
      EXPECT_NEAR(state().CP(i, 1), c.law(cp0[i], c.mach), 1e-8 * (1 + std::fabs(cp0[i])));
    }
  }
  {  // Sweep 30, alpha 5: the effective angle and Cp0 = 0.75 - 0.75 V^2.
    cases::Config cfg = base;
    cfg.swept = 30.0;
    cfg.alpha = 5.0;
    ASSERT_EQ(cases::solve(cfg, dir, "swept"), "");
    const ProblemState& s = state();
    EXPECT_NEAR(s.ALPHA_EFF,
                std::asin(std::sin(5 * kPi / 180) / std::cos(30 * kPi / 180)) * 180 / kPi,
                1e-12);
    for (int i = 1; i <= np; ++i) {
      const double v = s.VGAMMA(i, 1);
      EXPECT_NEAR(s.CP(i, 1), 0.75 - 0.75 * v * v, 1e-12);
    }
  }
  {  // BREF 2 halves the configuration lift; CMS is the raw moment sum.
    cases::Config cfg = base;
    cfg.bref = 2.0;
    cfg.xref = 0.25;
    ASSERT_EQ(cases::solve(cfg, dir, "bref"), "");
    const ProblemState& s = state();
    EXPECT_DOUBLE_EQ(s.CY(1), s.CYB(1));  // chord 1
    EXPECT_DOUBLE_EQ(s.CYS, s.CYB(1) / 2);
    EXPECT_DOUBLE_EQ(s.CXS, s.CX(1) / 2);
    EXPECT_DOUBLE_EQ(s.CYGAMMAS, s.CYGAMMA(1) / 2);
    EXPECT_DOUBLE_EQ(s.CMS, s.CMZ0(1));
    EXPECT_NE(s.CMS, 0.0);
    // Lift from the circulation agrees with the pressure lift.
    EXPECT_NEAR(s.CYGAMMA(1), s.CY(1), 0.02 * s.CY(1));
  }
}

// Faults of the input: each solution fails with one message naming the
// element and the fault, in the .out listing, and nothing stops.
TEST(PanelSolution, FailuresAreReportedNotCrashed) {
  const cases::Element good = cases::naca4(12, 40);
  // The leading-edge row is the trailing edge: the reader refuses a file
  // that names it, so the case stores the row after the load.
  cases::Element zeroChord;
  zeroChord.x = {1.0, 0.5, 0.0, 0.5, 1.0};
  zeroChord.y = {0.0, 0.05, 0.0, -0.05, 0.0};
  zeroChord.ile = 3;
  zeroChord.npanels = 4;
  cases::Element notIncreasing = good;  // a point repeated on the upper branch
  notIncreasing.x.insert(notIncreasing.x.begin() + 10, notIncreasing.x[10]);
  notIncreasing.y.insert(notIncreasing.y.begin() + 10, notIncreasing.y[10]);
  notIncreasing.ile += 1;

  struct Case {
    const char* name;
    std::vector<cases::Element> elements;
    int icompr;
    double mach, alpha, swept;
    void (*poke)();  // changes the state after the load
    std::vector<std::string> words;  // all in the message
  };
  const Case table[] = {
      {"mach1_pg", {good}, 1, 1.0, 2, 0, nullptr, {"Mach", "Prandtl-Glauert"}},
      {"mach12_kt", {good}, 2, 1.2, 2, 0, nullptr, {"Mach", "Karman-Tsien"}},
      {"mach1_laitone", {good}, 3, 1.0, 2, 0, nullptr, {"Mach", "Laitone"}},
      // The reader refuses this pair; the windows can still set it.
      {"alpha60_sweep60", {good}, 0, 0.0, 2, 0,
       [] {
         state().ALPHA = 60;
         state().SWEPT = 60;
       },
       {"effective angle"}},
      {"zero_chord", {zeroChord}, 0, 0, 0, 0, [] { state().ILE(1) = 1; },
       {"element 1", "zero chord"}},
      {"not_increasing", {good, notIncreasing}, 0, 0, 0, 0, nullptr, {"element 2"}},
      {"one_panel", {good}, 0, 0, 2, 0, [] { state().NPANELS(1) = 1; },
       {"element 1", "panels"}},
      {"700_panels", {good, good}, 0, 0, 2, 0, [] { state().NPANELS(2) = 700; },
       {"element 2", "panels"}},
      {"1800_equations", {good, good, good}, 0, 0, 2, 0,
       [] { state().NPANELS(1) = state().NPANELS(2) = state().NPANELS(3) = 599; },
       {"1800 equations"}},
      {"no_elements", {good}, 0, 0, 2, 0, [] { state().NELEM = 0; }, {"number of elements"}},
      {"six_elements", {good}, 0, 0, 2, 0, [] { state().NELEM = 6; }, {"number of elements"}},
      {"zero_panels", {good}, 0, 0, 2, 0, [] { state().NPANELS(1) = 0; },
       {"element 1", "panels"}},
      {"huge_contour", {good, good}, 0, 0, 2, 0, [] { state().NCONT(2) = 100000; },
       {"element 2", "contour points"}},
      {"negative_contour", {good}, 0, 0, 2, 0, [] { state().NCONT(1) = -3; },
       {"element 1", "contour points"}},
      {"row_beyond_contour", {good}, 0, 0, 2, 0, [] { state().ILE(1) = 5000; },
       {"element 1", "leading-edge row"}},
      // A closed trailing edge with the additional point on it.
      {"dadd_zero", {good}, 0, 0, 2, 0, [] { state().DADD = 0; },
       {"element 1", "additional control point"}},
      {"zero_element_chord", {good}, 0, 0, 2, 0, [] { state().CHORD(1) = 0; },
       {"element 1", "chord"}},
      // Two coincident elements: identical columns, a singular system.
      {"singular", {good, good}, 0, 0, 2, 0, nullptr, {"singular"}},
      // No flow across the sections at 90 degrees of sweep and beyond, even
      // where the effective angle exists (ALPHA 0).
      {"sweep90", {good}, 0, 0, 0, 90, nullptr,
       {"sweep angle SWEPT = 90 ", "cos(SWEPT) = 6.12323e-17", "between -90 and 90"}},
      {"sweep_minus_120", {good}, 0, 0, 0, 0, [] { state().SWEPT = -120; },
       {"sweep angle SWEPT = -120 ", "between -90 and 90"}},
  };
  for (const Case& c : table) {
    SCOPED_TRACE(c.name);
    cases::Config cfg;
    cfg.elements = c.elements;
    cfg.icompr = c.icompr;
    cfg.mach = c.mach;
    cfg.alpha = c.alpha;
    cfg.swept = c.swept;
    for (auto& e : cfg.elements) {
      if (e.npanels == 0) e.npanels = 30;
    }
    const std::string dir = testing::scratch_dir(std::string("fail_") + c.name);
    ASSERT_EQ(cases::load(cfg, dir, "case"), "");
    if (c.poke) c.poke();
    FOILPMG();
    EXPECT_EQ(state().SOLUTION_STATUS, SolutionStatus::kFailed);
    const std::string msg = message();
    EXPECT_EQ(msg.rfind("Solution failed: ", 0), 0u) << msg;
    for (const std::string& w : c.words) EXPECT_NE(msg.find(w), std::string::npos) << msg;
    const std::string out = testing::read_file(dir + "/case.out");
    EXPECT_NE(out.find(msg), std::string::npos) << out.substr(0, 400);
  }
  // A good solution afterwards is reported as such.
  cases::Config ok = single(good, 2.0, 30);
  ASSERT_EQ(cases::solve(ok, testing::scratch_dir("fail_then_ok"), "ok"), "");
  EXPECT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
  EXPECT_EQ(state().SOLUTION_MESSAGE.trimmed_length(), 0);
}

// Fortran-style E and F fields, written here independently of the text kit.
std::string e_field(double v, int w, int d) {
  char buf[64];
  if (v == 0.0) {
    std::snprintf(buf, sizeof buf, "0.%sE+00", std::string(d, '0').c_str());
  } else {
    char m[64];
    std::snprintf(m, sizeof m, "%.*E", d - 1, std::fabs(v));  // D.DDDDE+XX
    std::string digits = std::string(1, m[0]) + std::string(m + 2, m + 1 + d);
    const int ex = std::atoi(std::strchr(m, 'E') + 1) + 1;
    std::snprintf(buf, sizeof buf, "%s0.%sE%c%02d", v < 0 ? "-" : "", digits.c_str(),
                  ex < 0 ? '-' : '+', std::abs(ex));
  }
  std::string s(buf);
  return std::string(w > static_cast<int>(s.size()) ? w - s.size() : 0, ' ') + s;
}
std::string f_field(double v, int w, int d) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", w, d, v);
  return buf;
}
std::string i_field(int v, int w) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%*d", w, v);
  return buf;
}

// The .sum and .cpf records of one small solution, written out by hand from
// their formats.
TEST(PanelListings, SumAndCpfRecordsOfOneSmallSolution) {
  cases::Config c = single(cases::naca4(12, 20), 4.0, 6);
  c.xref = 0.25;
  const std::string dir = testing::scratch_dir("listing_small");
  ASSERT_EQ(cases::solve(c, dir, "small"), "");
  const ProblemState& s = state();
  const int n = 7;
  // Raw force integrals, summed as the force integration defines them.
  double CN = 0, CT = 0;
  for (int i = 1; i < n; ++i) {
    CN -= s.CP(i, 1) * (s.XPN(i + 1, 1) - s.XPN(i, 1));
    CT += s.CP(i, 1) * (s.YPN(i + 1, 1) - s.YPN(i, 1));
  }
  const double MZraw = s.MZ(1);  // chord 1
  const std::string el = std::string(33, ' ') + "ELEMENT  1";
  std::vector<std::string> sum = {
      "", el, "",
      "",
      std::string(10, ' ') + "   CN=" + e_field(CN, 12, 5) + "     " + "   CT=" +
          e_field(CT, 12, 5) + "     " + "   MZ=" + e_field(MZraw, 12, 5),
      std::string(10, ' ') + "   CX=" + e_field(s.CX(1), 12, 5) + "     " + "   CY=" +
          e_field(s.CY(1), 12, 5) + "     " + "   MZ=" + e_field(s.MZ(1), 12, 5) + "     " +
          "  ZMZ=" + e_field(MZraw, 12, 5),
      std::string(10, ' ') + " CMZ0=" + e_field(s.CMZ0(1), 12, 5) + "     " + " CY*B=" +
          e_field(s.CYB(1), 12, 5) + "     " + " MZ*B=" + e_field(MZraw, 12, 5),
      "", std::string(32, ' ') + "CY(GAMMA)=" + e_field(s.CYGAMMA(1), 12, 5), "",
      std::string(10, ' ') + "  CXS=" + e_field(s.CXS, 12, 5) + "     " + "  CYS=" +
          e_field(s.CYS, 12, 5) + "     " + "  CMS=" + e_field(s.CMS, 12, 5),
      "", std::string(32, ' ') + "CY(GAMMA)=" + e_field(s.CYGAMMAS, 12, 5), "",
  };
  EXPECT_EQ(testing::read_lines(dir + "/small.sum"), sum);

  std::vector<std::string> cpf = {"", el, "",
                                  "    I          XC             YC             CP      "
                                  "       XP             YP"};
  for (int i = 1; i <= n; ++i) {
    const double cp = i < n ? s.CP(i, 1) : 0.0;  // the closing row: additional point, Cp 0
    cpf.push_back(i_field(i, 5) + f_field(s.XC(i, 1), 15, 8) + f_field(s.YC(i, 1), 15, 8) +
                  f_field(cp, 15, 8) + f_field(s.XPN(i, 1), 15, 8) +
                  f_field(s.YPN(i, 1), 15, 8));
  }
  cpf.push_back("       CN             CT             CX             CY             MZ0"
                "             MZ");
  cpf.push_back(e_field(CN, 15, 8) + e_field(CT, 15, 8) + e_field(s.CX(1), 15, 8) +
                e_field(s.CY(1), 15, 8) + e_field(s.CMZ0(1), 15, 8) + e_field(MZraw, 15, 8));
  const std::vector<std::string> got = testing::read_lines(dir + "/small.cpf");
  ASSERT_EQ(got.size(), cpf.size());
  for (std::size_t i = 0; i < cpf.size(); ++i) {
    if (i + 1 == cpf.size()) {
      // The force values may differ in the last of eight digits from sums
      // taken in another order; compare the layout and five digits.
      ASSERT_EQ(got[i].size(), cpf[i].size());
      for (int f = 0; f < 6; ++f) {
        EXPECT_EQ(got[i].substr(15 * f, 9), cpf[i].substr(15 * f, 9)) << "field " << f;
        EXPECT_EQ(got[i].substr(15 * f + 11, 4), cpf[i].substr(15 * f + 11, 4));
      }
    } else {
      EXPECT_EQ(got[i], cpf[i]) << "line " << i + 1;
    }
  }
}

// Lines of the .out listing after the solution header.
std::vector<std::string> solution_lines(const std::string& path) {
  std::vector<std::string> all = testing::read_lines(path), out;
  bool on = false;
  for (const std::string& l : all) {
    if (l.find("**** AIRFOIL'S CALCULATION RESULT *****") != std::string::npos) on = true;
    if (on) out.push_back(l);
  }
  return out;
}

// IPRINT 3 writes no detail rows, 4 writes them, 6 adds the coefficient
// listing, 7 the matrix.
TEST(PanelListings, DetailLevelsOfTheOutListing) {
  cases::Config c;
  c.alpha = 2;
  c.elements.push_back(cases::naca4(12, 30));
  c.elements.back().npanels = 10;
  c.elements.push_back(cases::naca4(12, 30));
  for (double& y : c.elements.back().y) y -= 2.0;
  c.elements.back().npanels = 6;
  const int N = 18, P = 16;
  struct Level {
    int iprint;
    int detailHeads, detailRows, closingRows, coefHeads, diagRows, otherRows, matrixLines;
  };
  const Level table[] = {
      {3, 0, 0, 0, 0, 0, 0, 0},
      {4, 2, P, 2, 0, 0, 0, 0},
      {6, 2, P, 2, P * 2, P, P * N - P, 0},
      {7, 2, P, 2, P * 2, P, P * N - P, N},
  };
  for (const Level& lv : table) {
    SCOPED_TRACE("IPRINT " + std::to_string(lv.iprint));
    c.iprint = lv.iprint;
    const std::string dir = testing::scratch_dir("levels_" + std::to_string(lv.iprint));
    ASSERT_EQ(cases::solve(c, dir, "lv"), "");
    int heads = 0, rows = 0, closing = 0, coefHeads = 0, diag = 0, other = 0, matrix = 0,
        matrixMore = 0;
    bool inDetail = false;
    for (const std::string& l : solution_lines(dir + "/lv.out")) {
      if (l.rfind("    i         XCT", 0) == 0) {
        ++heads;
        inDetail = true;
        continue;
      }
      if (l.rfind("    i    j        DEL", 0) == 0) ++coefHeads;
      if (inDetail && l.size() == 140) ++rows;
      if (inDetail && l.size() == 95) {
        ++closing;
        inDetail = false;
      }
      if (!inDetail && l.size() == 50) ++diag;
      if (!inDetail && l.size() == 200) ++other;
      // Matrix: 19 values = "I5 + 19 E11.3" on one line (N + 1 = 19 <= 20).
      if (l.size() == 5 + 19 * 11) ++matrix;
      if (l.size() == 20 * 11) ++matrixMore;
    }
    EXPECT_EQ(heads, lv.detailHeads);
    EXPECT_EQ(rows, lv.detailRows);
    EXPECT_EQ(closing, lv.closingRows);
    EXPECT_EQ(coefHeads, lv.coefHeads);
    EXPECT_EQ(diag, lv.diagRows);
    EXPECT_EQ(other, lv.otherRows);
    EXPECT_EQ(matrix, lv.matrixLines);
    EXPECT_EQ(matrixMore, 0);
  }
}

// The records of one solution at the highest detail level, in the order they
// are written: the .out listing from the geometry tables on, and standard
// output.
TEST(PanelListings, RecordOrderOfOneSolution) {
  cases::Config c;
  c.alpha = 2;
  c.iprint = 7;
  c.elements.push_back(cases::naca4(12, 30));
  c.elements.back().npanels = 10;
  c.elements.push_back(cases::naca4(12, 30));
  for (double& y : c.elements.back().y) y -= 2.0;
  c.elements.back().npanels = 6;  // N = 18: 19 values a matrix record
  const std::string dir = testing::scratch_dir("record_order");
  std::string stdoutText;
  {
    testing::StdoutCapture capture;
    ASSERT_EQ(cases::solve(c, dir, "ro"), "");
    stdoutText = capture.text();
  }
  using Pred = bool (*)(const std::string&);
  struct Mark {
    const char* what;
    Pred is;
  };
#define STARTS(p) [](const std::string& l) { return l.rfind(p, 0) == 0; }
#define HAS(p) [](const std::string& l) { return l.find(p) != std::string::npos; }
  const Mark out[] = {
      {"GEOM closing table", STARTS("Ncompute=")},
      {"GEOM output heading", STARTS("    OUTPUT subr.GEOM")},
      {"GEOM_PAN count", STARTS(" GEOM_PAN  Ncompute=")},
      {"GEOM_PAN input", STARTS("     INPUT subr.GEOM_PAN")},
      {"placement of 1", STARTS("  AirFoil=  1")},
      {"values of 1", STARTS(" FOIL=  1")},
      {"placement of 2", STARTS("  AirFoil=  2")},
      {"values of 2", STARTS(" FOIL=  2")},
      {"GEOM_PAN output", STARTS("    OUTPUT subr.GEOM_PAN")},
      {"axis heading", STARTS("      Xax       Yax")},
      {"solution header", HAS("**** AIRFOIL'S CALCULATION RESULT *****")},
      {"coefficient heading", STARTS("    i    j        DEL")},
      {"first matrix record",
       [](const std::string& l) { return l.size() == 5 + 19 * 11 && l.rfind("    1", 0) == 0; }},
      {"angle", HAS("FOILPMG 0")},
      {"element 1", STARTS("                                 ELEMENT  1")},
      {"column heading", STARTS("            N        X            S")},
      {"chord 1", STARTS(" Airfoil 1  CHORD=")},
      {"detail heading 1", STARTS("    i         XCT")},
      {"closing row 1", [](const std::string& l) { return l.size() == 95; }},
      {"element 2", STARTS("                                 ELEMENT  2")},
      {"column heading", STARTS("            N        X            S")},
      {"chord 2", STARTS(" Airfoil 2  CHORD=")},
      {"detail heading 2", STARTS("    i         XCT")},
      {"closing row 2", [](const std::string& l) { return l.size() == 95; }},
  };
  const Mark std_out[] = {
      {"solution header", HAS("**** AIRFOIL'S CALCULATION RESULT *****")},
      {"angle", STARTS("                               ALPHA=")},
      {"element 1", STARTS("                                 ELEMENT  1")},
      {"forces", STARTS("             CN=")},
      {"coefficients", STARTS("             CX=")},
      {"raw values", STARTS("           CMZ0=")},
      {"circulation lift", HAS("CY(GAMMA)=")},
      {"element 2", STARTS("                                 ELEMENT  2")},
      {"forces", STARTS("             CN=")},
      {"coefficients", STARTS("             CX=")},
      {"raw values", STARTS("           CMZ0=")},
      {"circulation lift", HAS("CY(GAMMA)=")},
      {"totals", STARTS("            CXS=")},
      {"total circulation lift", HAS("CY(GAMMA)=")},
  };
#undef STARTS
#undef HAS
  const auto check = [](const std::vector<std::string>& lines, const Mark* marks, int count) {
    std::size_t at = 0;
    for (int m = 0; m < count; ++m) {
      while (at < lines.size() && !marks[m].is(lines[at])) ++at;
      ASSERT_LT(at, lines.size()) << "record not found in order: " << marks[m].what;
      ++at;
    }
  };
  check(testing::read_lines(dir + "/ro.out"), out, static_cast<int>(std::size(out)));
  check(testing::split_lines(stdoutText), std_out, static_cast<int>(std::size(std_out)));
}

// The matrix listing of a system wider than twenty values continues on
// lines of E11.3 fields only.
TEST(PanelListings, MatrixListingContinuationLines) {
  cases::Config c = single(cases::naca4(12, 30), 2.0, 24);  // N = 25, 26 values a record
  c.iprint = 7;
  const std::string dir = testing::scratch_dir("matrix_listing");
  ASSERT_EQ(cases::solve(c, dir, "m"), "");
  std::vector<std::string> lines = solution_lines(dir + "/m.out");
  int first = 0, more = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].size() == 5 + 20 * 11 && i + 1 < lines.size() && lines[i + 1].size() == 6 * 11) {
      ++first;
      EXPECT_EQ(lines[i].substr(0, 5), i_field(first, 5));
      EXPECT_EQ(lines[i].substr(5, 11), e_field(matrix_at(first, 1), 11, 3));
      EXPECT_EQ(lines[i + 1].substr(0, 11), e_field(matrix_at(first, 21), 11, 3));
      ++more;
    }
  }
  EXPECT_EQ(first, 25);
  EXPECT_EQ(more, 25);
}

}  // namespace
}  // namespace sorvane

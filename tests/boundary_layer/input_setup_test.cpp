// Set-up of a surface run: the check of its inputs, the reference and edge
// state, the copy of the station list, the boundary-condition arrays, the
// echo on "InputBl.out", and the two boundary-condition fills.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "solver/boundary_layer/input_setup.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/bl_cases.h"
#include "tests/test_support.h"

namespace sorvane::bl {

namespace {

constexpr int kBlin = 14;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// A surface list of element k, surface s (1-based).
void set_list(int k, int s, const std::vector<double>& x, const std::vector<double>& ue) {
  ProblemState& st = state();
  st.NX(k, s) = static_cast<int>(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    st.S(static_cast<int>(i) + 1, k, s) = x[i];
    st.UE(static_cast<int>(i) + 1, k, s) = ue[i];
  }
  st.XINV(k, s) = x.empty() ? 0.0 : x.back();
}

void set_run_inputs() { testing::set_layer_record(1.0, 61, 8.0, 1.1, 0.004); }

// ---------------------------------------------------------------------------
// check_surface_run_inputs

struct CheckCase {
  const char* what;
  int np;
  double remill;
  std::vector<double> x, ue;
  const char* message;  // "" = accepted; else a text the message starts with
  double etae = 8.0, vgp = 1.1;
};

TEST(SurfaceRunInputs, TableOfCases) {
  const std::vector<double> good_x = {0.0, 0.01, 0.03, 0.06};
  const std::vector<double> good_ue = {0.0, 0.4, 0.8, 1.0};
  const char* list_msg = "Element 2, lower surface: ";
  const CheckCase cases[] = {
      {"good", 61, 1.0, good_x, good_ue, ""},
      {"NP 1", 1, 1.0, good_x, good_ue,
       "The boundary layer needs 2 to 821 points across the layer; the file gives NP = 1."},
      {"NP 2", 2, 1.0, good_x, good_ue, ""},
      {"NP 821", 821, 1.0, good_x, good_ue, ""},
      {"NP 822", 822, 1.0, good_x, good_ue,
       "The boundary layer needs 2 to 821 points across the layer; the file gives NP = 822."},
      {"NP 900", 900, 1.0, good_x, good_ue,
       "The boundary layer needs 2 to 821 points across the layer; the file gives NP = 900."},
      {"REMILL 0", 61, 0.0, good_x, good_ue,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is 0."},
      {"REMILL -1", 61, -1.0, good_x, good_ue,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is -1."},
      {"REMILL NaN", 61, kNaN, good_x, good_ue,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is "},
      {"REMILL infinite", 61, std::numeric_limits<double>::infinity(), good_x, good_ue,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is "},
      // The Reynolds number itself, REMILL * 1e6, must be finite: 1.79e302
      // millions still are, 1.8e302 and 1e308 overflow.
      {"REMILL 1.79e302", 61, 1.79e302, good_x, good_ue, ""},
      {"REMILL 1.8e302", 61, 1.8e302, good_x, good_ue,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is 1.8e+302, whose "
       "Reynolds number (Re mill= times 1e6) is beyond the range of numbers."},
      {"REMILL 1e308", 61, 1e308, good_x, good_ue,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is 1e+308, whose "
       "Reynolds number (Re mill= times 1e6) is beyond the range of numbers."},
      {"no list", 61, 1.0, {}, {}, list_msg},
      {"two stations", 61, 1.0, {0.0, 0.01}, {0.0, 0.4}, list_msg},
      {"three stations", 61, 1.0, {0.0, 0.01, 0.02}, {0.0, 0.4, 0.5}, ""},
      {"x(2) = x(1)", 61, 1.0, {0.0, 0.0, 0.03}, {0.0, 0.4, 0.8}, list_msg},
      {"ue(2) = ue(1)", 61, 1.0, {0.0, 0.01, 0.03}, {0.0, 0.0, 0.8}, list_msg},
      {"NaN edge velocity", 61, 1.0, {0.0, 0.01, 0.03}, {0.0, 0.4, kNaN}, list_msg},
      {"infinite arc length", 61, 1.0, {0.0, 0.01, std::numeric_limits<double>::infinity()},
       {0.0, 0.4, 0.8}, list_msg},
      {"ETAE 0", 61, 1.0, good_x, good_ue,
       "The boundary layer needs a finite outer edge ETAE above 0 for its normal grid; the file "
       "gives ETAE = 0.",
       0.0},
      {"ETAE -8", 61, 1.0, good_x, good_ue,
       "The boundary layer needs a finite outer edge ETAE above 0 for its normal grid; the file "
       "gives ETAE = -8.",
       -8.0},
      {"ETAE NaN", 61, 1.0, good_x, good_ue,
       "The boundary layer needs a finite outer edge ETAE above 0 for its normal grid; the file "
       "gives ETAE = ",
       kNaN},
      {"VGP 0", 61, 1.0, good_x, good_ue,
       "The boundary layer needs a finite growth ratio VGP above 0 for its normal grid; the file "
       "gives VGP = 0.",
       8.0, 0.0},
      {"VGP -1.1", 61, 1.0, good_x, good_ue,
       "The boundary layer needs a finite growth ratio VGP above 0 for its normal grid; the file "
       "gives VGP = -1.1.",
       8.0, -1.1},
      {"VGP infinite", 61, 1.0, good_x, good_ue,
       "The boundary layer needs a finite growth ratio VGP above 0 for its normal grid; the file "
       "gives VGP = ",
       8.0, std::numeric_limits<double>::infinity()},
      // 2.5^820 overflows: the first spacing is 0.
      {"VGP 2.5 over 821 points", 821, 1.0, good_x, good_ue,
       "The normal grid of the boundary layer cannot be made: NP = 821 points growing by VGP = "
       "2.5 to ETAE = 8 give spacings outside the range of numbers",
       8.0, 2.5},
      // 0.001^819 underflows: the last spacings are 0.
      {"VGP 0.001 over 821 points", 821, 1.0, good_x, good_ue,
       "The normal grid of the boundary layer cannot be made: NP = 821 points growing by VGP = "
       "0.001 to ETAE = 8",
       8.0, 0.001},
      {"VGP 2.5 over 61 points", 61, 1.0, good_x, good_ue, "", 8.0, 2.5},
      {"VGP 0.95, shrinking spacings", 61, 1.0, good_x, good_ue, "", 8.0, 0.95},
  };
  ProblemState& st = state();
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.what);
    st.NP = c.np;
    st.REMILL = c.remill;
    st.ETAE = c.etae;
    st.VGP = c.vgp;
    set_list(2, 2, c.x, c.ue);
    const Result r = check_surface_run_inputs(1, 1);
    if (*c.message == '\0') {
      EXPECT_TRUE(r.ok) << r.message;
      continue;
    }
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message.rfind(c.message, 0), 0u) << r.message;
    const bool about_list = std::string(c.message) == list_msg;
    // Messages about NP, REMILL, ETAE and VGP are the same for every surface.
    EXPECT_EQ(r.message.find("surface") != std::string::npos, about_list) << r.message;
  }
  // A station count beyond the store is refused before the list is read.
  st.NP = 61;
  st.REMILL = 1.0;
  st.ETAE = 8.0;
  st.VGP = 1.1;
  st.NX(2, 2) = 601;
  const Result r = check_surface_run_inputs(1, 1);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message.rfind(list_msg, 0), 0u) << r.message;
  // Other element, other surface: the message names them.
  set_list(1, 1, {0.0, 0.01}, {0.0, 0.5});
  EXPECT_EQ(check_surface_run_inputs(0, 0).message.rfind("Element 1, upper surface: ", 0), 0u);
  EXPECT_FALSE(check_surface_run_inputs(5, 0).ok);
  EXPECT_FALSE(check_surface_run_inputs(0, 2).ok);
}

// ---------------------------------------------------------------------------
// BL_INPUT_SETUP and EDGE_STATE

class InputSetup : public testing::ListingTest {
 protected:
  InputSetup() : ListingTest("input_setup_", kBlin, "InputBl.out") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ListingTest::SetUp());
    state().LUBLIN = kBlin;
    state().LUSTD = 6;
    set_run_inputs();
  }
  std::vector<std::string> echo() { return listing(); }
};

// Element 2: a three-station upper list and a four-station lower list.
void set_element_two() {
  ProblemState& st = state();
  set_list(2, 1, {0.0, 0.01, 0.03}, {0.0, 0.5, 0.9});
  set_list(2, 2, {0.0, 0.02, 0.05, 0.09}, {0.0, 0.3, 0.7, 1.1});
  st.NXMAX(2) = 4;
  st.XTR(2, 1) = 0.02;
  st.XTR(2, 2) = 0.07;
}

TEST_F(InputSetup, EchoOfASmallSurface) {
  set_element_two();
  testing::StdoutCapture out;
  SurfaceRun run;
  BL_INPUT_SETUP(run, 1, 0);
  const std::vector<std::string> want = {
      " Input data for calculation of BL on upper surface",
      "    ielem=  1",
      "    CFSEP=     0.004",
      "      M8          T8          A8          U8          MU8         NU8         RO8",
      "   0.0000E+00  0.3000E+03  0.3473E+03  0.6946E+02  0.1888E-05  0.6946E-04  0.2718E-01",
      "   I         X             UE             ME            ROE8           EMUE8          "
      "ENUE8           TE8",
      "   1     0.0000E+00     0.0000E+00     0.0000E+00     0.1000E+01     0.1000E+01     "
      "0.1000E+01     0.1000E+01",
      "   2     0.1000E-01     0.5000E+00     0.0000E+00     0.1000E+01     0.1000E+01     "
      "0.1000E+01     0.1000E+01",
      "   3     0.3000E-01     0.9000E+00     0.0000E+00     0.1000E+01     0.1000E+01     "
      "0.1000E+01     0.1000E+01",
      "    i    X(I)      UE(I)     EME(I)   D1_BC(I)  CF_BC(I)  RV_BC(I)    Vw(I)     Uw(I)  "
      "   Tw(I)",
      "    1   0.00000   0.00000   0.00000   0.00000   0.00400   0.00000   0.00000   0.00000   "
      "0.00000",
      "    2   0.01000   0.50000   0.00000   0.00000   0.00400   0.00000   0.00000   0.00000   "
      "0.00000",
      "    3   0.03000   0.90000   0.00000   0.00000   0.00400   0.00000   0.00000   0.00000   "
      "0.00000",
      "                                        NUMBER RE=  0.1000E+07",
      "                                              ET=  0.0000E+00",
      " NXT  =  3              NP2  = 61     XTR  =  0.200000E-01",
      " ETAE =  0.800000E+01   VLBL =  0.110000E+01   VTBL=   0.110000E+01   NU   =  "
      "0.694552E-04",
      "",
  };
  EXPECT_EQ(echo(), want);
  EXPECT_EQ(out.text(), std::string(46, ' ') + "ET=  0.0000E+00\n");
  INPUTI_DEALLOCATE(run);
}

// The reference state at REMILL 1, to the digits the echo shows and beyond.
TEST_F(InputSetup, ReferenceStateAndRunValues) {
  set_element_two();
  ProblemState& st = state();
  st.REMILL = 1.0;
  testing::StdoutCapture out;
  SurfaceRun run;
  BL_INPUT_SETUP(run, 1, 1);
  EXPECT_EQ(run.element, 2);
  EXPECT_EQ(run.surface, 2);
  EXPECT_EQ(run.m8, 0.0);
  EXPECT_EQ(run.t8, 300.0);
  EXPECT_EQ(run.el, 1.0);
  EXPECT_NEAR(run.u8, 69.455, 1e-3);
  EXPECT_NEAR(run.mu8, 1.8878e-06, 1e-10);
  EXPECT_NEAR(run.nu8, 6.9455e-05, 1e-9);
  EXPECT_NEAR(run.ro8, 2.7180e-02, 1e-6);
  EXPECT_DOUBLE_EQ(run.nu8 * run.ro8, run.mu8);
  EXPECT_EQ(run.re, 1e6);
  EXPECT_EQ(run.sqre, 1e3);
  EXPECT_EQ(run.t0, 300.0);
  EXPECT_DOUBLE_EQ(run.rho0, run.ro8);
  EXPECT_EQ(run.prt, 0.8999999761581421);
  EXPECT_EQ(run.pr, 0.7200000286102295);
  EXPECT_EQ(run.rgas, 287.1029968261719);
  EXPECT_EQ(run.cpgas, 1004.8599853515625);
  EXPECT_DOUBLE_EQ(run.h0, 1004.8605316732844 * 300.0);
  EXPECT_EQ(run.cfsep, 0.004);
  EXPECT_EQ(run.np, 61);
  EXPECT_EQ(run.etae, 8.0);
  EXPECT_EQ(run.vlbl, 1.1);
  EXPECT_EQ(run.vtbl, 1.1);
  EXPECT_EQ(run.xtr, 0.07);
  EXPECT_EQ(run.et, 0.0);
  EXPECT_EQ(run.nxt, 4);
  EXPECT_EQ(run.x.size(), 4);
  EXPECT_EQ(run.eta.size(), 821);
  // Stations copied; with m8 = 0 the edge state is the reference state and
  // rx = re ue x.
  const double xs[] = {0.0, 0.02, 0.05, 0.09}, ues[] = {0.0, 0.3, 0.7, 1.1};
  for (int i = 1; i <= 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(run.x(i), xs[i - 1]);
    EXPECT_EQ(run.ue(i), ues[i - 1]);
    EXPECT_EQ(run.eme(i), 0.0);
    EXPECT_EQ(run.te(i), 300.0);
    EXPECT_DOUBLE_EQ(run.roe8(i), 1.0);
    EXPECT_DOUBLE_EQ(run.emue8(i), 1.0);
    EXPECT_DOUBLE_EQ(run.enue8(i), 1.0);
    EXPECT_DOUBLE_EQ(run.te8(i), 1.0);
    EXPECT_NEAR(run.rx(i), 1e6 * ues[i - 1] * xs[i - 1], 1e-9 * 1e6);
    EXPECT_EQ(run.cf_bc(i), 0.004);
    EXPECT_EQ(run.d1_bc(i) + run.rv_bc(i) + run.uww(i) + run.vww(i) + run.tww(i), 0.0);
  }
  EXPECT_EQ(run.rx(1), 0.0);
  INPUTI_DEALLOCATE(run);

  // A shorter NXMAX than the list (a store filled inconsistently) does not
  // cut the list.
  st.NXMAX(2) = 3;
  SurfaceRun run2;
  BL_INPUT_SETUP(run2, 1, 1);
  EXPECT_EQ(run2.x.size(), 4);
  EXPECT_EQ(run2.x(4), 0.09);
  INPUTI_DEALLOCATE(run2);
}

// Both surfaces: the lower echo follows the upper in the same file, every
// edge-state row has ME 0 and ratios 1, every condition row cf_bc = CFSEP.
TEST_F(InputSetup, BothSurfacesInOneFile) {
  set_element_two();
  testing::StdoutCapture out;
  for (int s = 0; s < 2; ++s) {
    SurfaceRun run;
    BL_INPUT_SETUP(run, 1, s);
    EXPECT_EQ(run.x.size(), 4);  // both surfaces allocate NXMAX(k)
    INPUTI_DEALLOCATE(run);
  }
  const std::vector<std::string> lines = echo();
  std::vector<std::size_t> titles;
  for (std::size_t n = 0; n < lines.size(); ++n) {
    if (lines[n].find("Input data for calculation of BL on") != std::string::npos)
      titles.push_back(n);
  }
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(lines[titles[0]], " Input data for calculation of BL on upper surface");
  EXPECT_EQ(lines[titles[1]], " Input data for calculation of BL on lower surface");
  EXPECT_EQ(lines[titles[1] + 1], "    ielem=  1");
  const int counts[] = {3, 4};
  for (int s = 0; s < 2; ++s) {
    SCOPED_TRACE(s);
    const std::size_t head = titles[s] + 5;  // title, ielem, CFSEP, reference head and row
    ASSERT_LT(head + 2 * counts[s] + 1, lines.size());
    EXPECT_EQ(lines[head].rfind("   I         X", 0), 0u) << lines[head];
    EXPECT_EQ(lines[head + 1],
              "   1     0.0000E+00     0.0000E+00     0.0000E+00     0.1000E+01     0.1000E+01     "
              "0.1000E+01     0.1000E+01");
    // The rows of the table headed at line `first`, from `column` on.
    auto expect_row_ends = [&](std::size_t first, std::size_t column, const std::string& end) {
      for (int i = 1; i <= counts[s]; ++i) {
        const std::string& row = lines[first + i];
        ASSERT_GE(row.size(), column);
        EXPECT_EQ(row.substr(column), end) << row;
      }
    };
    ASSERT_NO_FATAL_FAILURE(expect_row_ends(
        head, 34, "     0.0000E+00     0.1000E+01     0.1000E+01     0.1000E+01     0.1000E+01"));
    const std::size_t bc = head + counts[s] + 1;
    EXPECT_EQ(lines[bc].rfind("    i    X(I)", 0), 0u) << lines[bc];
    ASSERT_NO_FATAL_FAILURE(expect_row_ends(
        bc, 25, "   0.00000   0.00000   0.00400   0.00000   0.00000   0.00000   0.00000"));
  }
  const std::string et = std::string(46, ' ') + "ET=  0.0000E+00\n";
  EXPECT_EQ(out.text(), et + et);
}

// The compressible branch (not taken in a run, m8 = 0): the edge state keeps
// the total temperature, te (1 + 0.2 M^2) = t0, to the precision of the
// single-precision gas constants.
TEST(EdgeState, CompressibleBranchKeepsTotalTemperature) {
  double rgas = 287.1029968261719, cpgas = 1004.8599853515625;
  double t8 = 300.0, m8 = 0.5;
  double t0 = t8 * (1.0 + 0.19999998807907104 * m8 * m8);
  double mu8 = 1.4910000345480512e-07 * std::pow(t8, 1.5) / (t8 + 110.4000015258789);
  double u8 = 20.049999237060547 * std::sqrt(t8) * m8;
  double ro8 = 1.2, rho0 = ro8 * std::pow(t0 / t8, 2.5), h0 = 0.0;
  double ue = 1.2, eme = -1.0, x = 0.3;
  double te, roe, emue, roe8, emue8, enue8, te8;
  EDGE_STATE(rgas, cpgas, t0, rho0, m8, u8, h0, t8, ro8, mu8, ue, eme, x, te, roe, emue, roe8,
             emue8, enue8, te8);
  EXPECT_GT(eme, 0.5);
  EXPECT_LT(te, t0);
  EXPECT_NEAR(te * (1.0 + 0.2 * eme * eme) / t0, 1.0, 1e-6);
  // Isentropic density and Sutherland viscosity relative to the reference.
  EXPECT_NEAR(roe / rho0, std::pow(te / t0, 2.5), 1e-12);
  EXPECT_NEAR(te8, te / t8, 1e-15);
  EXPECT_NEAR(enue8, emue8 / roe8, 1e-15);
  EXPECT_NEAR(emue / mu8, std::pow(te / t8, 1.5) * (t8 + 110.4) / (te + 110.4), 1e-6);

  // At m8 = 0.2 (not above the floor) the edge is the total state.
  m8 = 0.2;
  EDGE_STATE(rgas, cpgas, t0, rho0, m8, u8, h0, t8, ro8, mu8, ue, eme, x, te, roe, emue, roe8,
             emue8, enue8, te8);
  EXPECT_EQ(eme, 0.0);
  EXPECT_EQ(te, t0);
}

// ---------------------------------------------------------------------------
// Boundary-condition fills (no caller in the solver)

Table1<double> table(const std::vector<double>& v) {
  Table1<double> t;
  t.make(static_cast<int>(v.size()));
  for (std::size_t i = 0; i < v.size(); ++i) t(static_cast<int>(i) + 1) = v[i];
  return t;
}

// Slope 1 through f(1), f(2); start slope r1 = 1, end factor r2 = 3 over
// x(3)..x(5): q = 1, p = (3 - 1) / (2 (4 - 2)) = 0.5, f = 1 + d (0.5 d + 1).
TEST(BoundaryConditionFill, QuadraticByHand) {
  Table1<double> x = table({0, 1, 2, 3, 4});
  Table1<double> f = table({0, 1, -9, -9, -9});
  BC_QUADRATIC_FILL(3, 5, 1.0, 3.0, f, x);
  EXPECT_EQ(f(1), 0.0);
  EXPECT_EQ(f(2), 1.0);
  EXPECT_DOUBLE_EQ(f(3), 2.5);
  EXPECT_DOUBLE_EQ(f(4), 5.0);
  EXPECT_DOUBLE_EQ(f(5), 8.5);
  // The distance from the start is taken in single precision.
  Table1<double> x2 = table({0, 0.1, 0.2, 0.3});
  Table1<double> g = table({0, 0.1, 0, 0});
  BC_QUADRATIC_FILL(3, 4, 1.0, 1.0, g, x2);  // p = 0, q = 1: g = 0.1 + d
  EXPECT_EQ(g(3), 0.1 + static_cast<double>(static_cast<float>(0.2 - 0.1)));
}

// f falls by 1 per unit from f(1) = 2 at x = 0: its zero is at x = 2.
TEST(BoundaryConditionFill, ExtrapolateByHand) {
  Table1<double> x = table({0, 1, 3, 4, 5});
  Table1<double> f = table({2, 1, 0, 0, 0});
  Table1<double> g = table({0, 1, -9, -9, -9});
  int iout = 0;
  double xs = 99.0;
  BC_EXTRAPOLATE_FILL(iout, xs, 3, 5, 1.0, 3.0, x, f, g);
  EXPECT_EQ(iout, 3);
  EXPECT_EQ(xs, 2.0);
  // g from g(2) = 1 with slope 1, p = (3 - 1) / (2 (5 - 3)) = 0.5.
  EXPECT_DOUBLE_EQ(g(3), 1.0 + 2.0 * (0.5 * 2.0 + 1.0));
  EXPECT_DOUBLE_EQ(g(4), 1.0 + 3.0 * (0.5 * 3.0 + 1.0));
  EXPECT_DOUBLE_EQ(g(5), 1.0 + 4.0 * (0.5 * 4.0 + 1.0));

  // Station 3 before the zero: nothing changes.
  Table1<double> x2 = table({0, 1, 1.5, 4, 5});
  Table1<double> g2 = table({0, 1, -9, -9, -9});
  iout = 0;
  xs = 99.0;
  BC_EXTRAPOLATE_FILL(iout, xs, 3, 5, 1.0, 3.0, x2, f, g2);
  EXPECT_EQ(iout, 0);
  EXPECT_EQ(xs, 99.0);
  EXPECT_EQ(g2(3), -9.0);

  // A flat f keeps the previous xs, here before station 3: filled with it.
  Table1<double> flat = table({1, 1, 1, 1, 1});
  Table1<double> g3 = table({0, 1, -9, -9, -9});
  xs = 2.5;
  BC_EXTRAPOLATE_FILL(iout, xs, 3, 5, 1.0, 3.0, x, flat, g3);
  EXPECT_EQ(iout, 3);
  EXPECT_EQ(xs, 2.5);
  EXPECT_DOUBLE_EQ(g3(3), 5.0);

  // The zero is kept in single precision: 1 + 0.7 / 0.3.
  Table1<double> x4 = table({0, 1, 4, 5, 6});
  Table1<double> f4 = table({1, 0.7, 0, 0, 0});
  Table1<double> g4 = table({0, 1, -9, -9, -9});
  xs = 99.0;
  BC_EXTRAPOLATE_FILL(iout, xs, 3, 5, 1.0, 3.0, x4, f4, g4);
  EXPECT_NEAR(xs, 10.0 / 3.0, 1e-6);
  EXPECT_EQ(xs, static_cast<double>(static_cast<float>(xs)));
}

}  // namespace
}  // namespace sorvane::bl

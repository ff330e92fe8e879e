// The stagnation split: arc lengths, the stagnation point at the last strict
// sign change of the surface velocity, the drop of a control point that lies
// too near it, both station lists in the store, the refusals, and the
// "Output from SXR" block of the debug listing.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/solved_example.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

constexpr int kDeb = 10;

// An element k laid out by hand: N = v.size() panels of length L along the
// x axis (only the arc lengths matter to the split), surface velocity v.
void set_element(int k, const std::vector<double>& v, double L = 1.0) {
  ProblemState& s = state();
  const int n = static_cast<int>(v.size());
  s.NPANELS(k) = n;
  for (int j = 1; j <= n + 1; ++j) {
    s.XPN(j, k) = (j - 1) * L;
    s.YPN(j, k) = 0.0;
  }
  for (int j = 1; j <= n; ++j) {
    s.VGAMMA(j, k) = v[j - 1];
    s.XC0(j, k) = (j - 0.5) * L;
    s.YC0(j, k) = 0.01 * j;
  }
}

// Old values in the lists of element k, so that a test sees what SXR wrote.
void spoil_lists(int k) {
  ProblemState& s = state();
  for (int sf = 1; sf <= 2; ++sf) {
    s.NX(k, sf) = 77;
    s.XINV(k, sf) = 9.5;
    s.NXDONE(k, sf) = 55;
    for (int i = 1; i <= 20; ++i) {
      s.S(i, k, sf) = -1.0;
      s.UE(i, k, sf) = -1.0;
    }
  }
  s.NXMAX(k) = 77;
}

struct Station {
  double s, ue;
};

std::vector<Station> list_of(int k, int sf) {
  const ProblemState& s = state();
  std::vector<Station> out;
  for (int i = 1; i <= s.NX(k, sf); ++i) out.push_back({s.S(i, k, sf), s.UE(i, k, sf)});
  return out;
}

void expect_list(int k, int sf, const std::vector<Station>& want) {
  const std::vector<Station> got = list_of(k, sf);
  ASSERT_EQ(got.size(), want.size()) << "element " << k << " surface " << sf;
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_NEAR(got[i].s, want[i].s, 1e-12) << "station " << i + 1;
    EXPECT_NEAR(got[i].ue, want[i].ue, 1e-12) << "station " << i + 1;
  }
  const ProblemState& s = state();
  if (!want.empty()) {
    EXPECT_DOUBLE_EQ(s.XINV(k, sf), want.back().s);
  }
}

// A block of SXR on the debug listing at alpha 4: its head, the table of
// the control points (rows `points`), the lines of the split (`split`, none
// when there is no stagnation point) and its finish.
std::vector<std::string> sxr_block(const std::vector<std::string>& points,
                                   const std::vector<std::string>& split) {
  const std::string rule(65, '-');
  std::vector<std::string> b = {
      "------------------------------",
      " Output from SXR, start",
      "  Alpha=     4.000",
      "",
      rule,
      "  I         S             Ue              X              Y",
      rule,
  };
  b.insert(b.end(), points.begin(), points.end());
  b.push_back(rule);
  b.insert(b.end(), split.begin(), split.end());
  b.push_back(" Output from SXR, finish");
  b.push_back("------------------------------");
  return b;
}

class StagnationSplit : public testing::ListingTest {
 protected:
  StagnationSplit() : ListingTest("split_", kDeb, "case.deb") {}
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(ListingTest::SetUp());
    state().LUDEB = kDeb;
    state().ALPHA_EFF = 4.0;
  }
};

// Four equal panels, velocity (1, 0.5, -0.5, -1): the stagnation point is
// midway between control points 2 and 3, nothing is dropped, and both lists
// are (0, 0), (L/2, 0.5), (3L/2, 1).
TEST_F(StagnationSplit, FourPanelExample) {
  for (double L : {1.0, 0.25}) {
    SCOPED_TRACE(L);
    spoil_lists(2);
    set_element(2, {1.0, 0.5, -0.5, -1.0}, L);
    const Result r = SXR(1);
    ASSERT_TRUE(r.ok) << r.message;
    expect_list(2, 1, {{0, 0}, {L / 2, 0.5}, {1.5 * L, 1.0}});
    expect_list(2, 2, {{0, 0}, {L / 2, 0.5}, {1.5 * L, 1.0}});
    const ProblemState& s = state();
    EXPECT_EQ(s.NXMAX(2), 3);
    EXPECT_EQ(s.NXDONE(2, 1), 0);
    EXPECT_EQ(s.NXDONE(2, 2), 0);
  }
}

TEST_F(StagnationSplit, DebugBlockOfTheFourPanelExample) {
  set_element(1, {1.0, 0.5, -0.5, -1.0});
  ASSERT_TRUE(SXR(0).ok);
  // The split, then both lists: (0, 0), (0.5, 0.5), (1.5, 1).
  std::vector<std::string> split = {
      "  Icrit=    2    Scrit=   0.200000E+01   0.000000E+00",
      "    S1=   0.150000E+01    S2=   0.250000E+01",
  };
  for (const char* side : {"upper", "lower"}) {
    const std::string rule(30, '-');
    split.insert(split.end(), {"", rule, std::string("  I    S ") + side + "    Ue " + side, rule,
                               "  1  0.0000E+00  0.0000E+00", "  2  0.5000E+00  0.5000E+00",
                               "  3  0.1500E+01  0.1000E+01", rule});
  }
  const std::vector<std::string> want = sxr_block(
      {
          "  1    -0.1500E+01     0.1000E+01     0.5000E+00     0.1000E-01",
          "  2    -0.5000E+00     0.5000E+00     0.1500E+01     0.2000E-01",
          "  3     0.5000E+00    -0.5000E+00     0.2500E+01     0.3000E-01",
          "  4     0.1500E+01    -0.1000E+01     0.3500E+01     0.4000E-01",
      },
      split);
  EXPECT_EQ(listing(), want);
}

// Every call appends one block.
TEST_F(StagnationSplit, EveryCallAppendsABlock) {
  set_element(1, {1.0, 0.5, -0.5, -1.0});
  set_element(3, {1.0, 0.8, 0.3, -0.4, -0.9});
  ASSERT_TRUE(SXR(0).ok);
  ASSERT_TRUE(SXR(2).ok);
  int starts = 0, finishes = 0;
  for (const std::string& line : listing()) {
    starts += line == " Output from SXR, start";
    finishes += line == " Output from SXR, finish";
  }
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(finishes, 2);
}

// Eight equal panels with the sign change between control points 4 and 5
// (arc lengths 3.5 and 4.5): velocity p at 4 and p - 1 at 5 puts the
// stagnation point at 3.5 + p, a fraction p of the spacing past point 4.
struct DropCase {
  double p;
  int upper, lower;              // station counts
  Station upper2, lower2;        // station 2 of each list
};

TEST_F(StagnationSplit, NearStagnationDrop) {
  const DropCase cases[] = {
      // Midway: nothing dropped, NX1 + NX2 = N + 2.
      {0.5, 5, 5, {0.5, 0.5}, {0.5, 0.5}},
      // Within a quarter spacing of point 5: the upper list starts at 6.
      {0.9, 4, 5, {5.5 - 4.4, 0.6}, {0.9, 0.9}},
      // Within a quarter spacing of point 4: the lower list starts at 3.
      {0.1, 5, 4, {0.9, 0.9}, {3.6 - 2.5, 0.6}},
      // A ratio of exactly 0.5 drops, on either side.
      {0.75, 4, 5, {5.5 - 4.25, 0.6}, {0.75, 0.75}},
      {0.25, 5, 4, {0.75, 0.75}, {3.75 - 2.5, 0.6}},
      // Just inside 0.5: nothing dropped.
      {0.7, 5, 5, {0.3, 0.3}, {0.7, 0.7}},
  };
  for (const DropCase& c : cases) {
    SCOPED_TRACE(c.p);
    set_element(1, {1.0, 0.8, 0.6, c.p, c.p - 1.0, -0.6, -0.8, -1.0});
    const Result r = SXR(0);
    ASSERT_TRUE(r.ok) << r.message;
    const ProblemState& s = state();
    EXPECT_EQ(s.NX(1, 1), c.upper);
    EXPECT_EQ(s.NX(1, 2), c.lower);
    EXPECT_EQ(s.NXMAX(1), std::max(c.upper, c.lower));
    EXPECT_NEAR(s.S(2, 1, 1), c.upper2.s, 1e-12);
    EXPECT_NEAR(s.UE(2, 1, 1), c.upper2.ue, 1e-12);
    EXPECT_NEAR(s.S(2, 1, 2), c.lower2.s, 1e-12);
    EXPECT_NEAR(s.UE(2, 1, 2), c.lower2.ue, 1e-12);
    // Both lists end at the trailing-edge control points 8 and 1.
    EXPECT_NEAR(s.S(c.upper, 1, 1), 7.5 - (3.5 + c.p), 1e-12);
    EXPECT_NEAR(s.UE(c.upper, 1, 1), 1.0, 1e-12);
    EXPECT_NEAR(s.S(c.lower, 1, 2), 3.5 + c.p - 0.5, 1e-12);
    EXPECT_NEAR(s.UE(c.lower, 1, 2), 1.0, 1e-12);
  }
}

// Unequal panels: the arc length is the sum of the panel lengths along
// the nodes (a 3-4-5 panel counts 5), the control points sit midway.
TEST_F(StagnationSplit, ArcLengthFollowsTheNodes) {
  ProblemState& s = state();
  set_element(1, {1.0, 0.5, -0.5, -1.0});
  const double xs[] = {0.0, 3.0, 3.0, 4.0, 4.0};
  const double ys[] = {0.0, 4.0, 6.0, 6.0, 8.0};  // lengths 5, 2, 1, 2
  for (int j = 1; j <= 5; ++j) {
    s.XPN(j, 1) = xs[j - 1];
    s.YPN(j, 1) = ys[j - 1];
  }
  ASSERT_TRUE(SXR(0).ok);
  // Control points at 2.5, 6, 7.5, 9; zero between 6 and 7.5 at 6.75.
  expect_list(1, 1, {{0, 0}, {0.75, 0.5}, {2.25, 1.0}});
  expect_list(1, 2, {{0, 0}, {0.75, 0.5}, {4.25, 1.0}});
}

// Three sign changes (after control points 2, 4 and 6): the last wins.
TEST_F(StagnationSplit, SplitsAtTheLastSignChange) {
  set_element(1, {1.0, 0.5, -0.5, -0.7, 0.6, 0.5, -0.5, -1.0});
  ASSERT_TRUE(SXR(0).ok);
  const ProblemState& s = state();
  EXPECT_EQ(s.NX(1, 1), 3);  // control points 7, 8
  EXPECT_EQ(s.NX(1, 2), 7);  // control points 6 .. 1
  EXPECT_NEAR(s.S(2, 1, 1), 0.5, 1e-12);
  EXPECT_NEAR(s.UE(2, 1, 1), 0.5, 1e-12);
  EXPECT_NEAR(s.UE(2, 1, 2), 0.5, 1e-12);
  EXPECT_NEAR(s.UE(4, 1, 2), -0.7, 1e-12);  // the lower list keeps the signed velocity
}

TEST_F(StagnationSplit, NoSignChangeIsRefusedWithEmptyLists) {
  const std::string message =
      "Element 2: the surface velocity does not change sign, so there is no stagnation point; "
      "its boundary layer is not computed.";
  const std::vector<std::vector<double>> cases = {
      {1.0, 0.8, 0.5, 0.2},      // one sign throughout
      {1.0, 0.0, -1.0, -1.0},    // a zero between: no strict sign change
      {-0.5},                    // one panel
  };
  for (const auto& v : cases) {
    SCOPED_TRACE(v.size());
    spoil_lists(2);
    set_element(2, v);
    const Result r = SXR(1);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, message);
    const ProblemState& s = state();
    for (int sf = 1; sf <= 2; ++sf) {
      EXPECT_EQ(s.NX(2, sf), 0);
      EXPECT_EQ(s.XINV(2, sf), 0.0);
      EXPECT_EQ(s.NXDONE(2, sf), 0);
    }
    EXPECT_EQ(s.NXMAX(2), 0);
  }
  // No panels at all, or more than the tables hold: refused, nothing written.
  for (int n : {0, -3, 600}) {
    SCOPED_TRACE(n);
    spoil_lists(2);
    state().NPANELS(2) = n;
    const Result r = SXR(1);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("Element 2"), std::string::npos) << r.message;
    EXPECT_EQ(state().NX(2, 1), 0);
    EXPECT_EQ(state().NX(2, 2), 0);
    EXPECT_EQ(state().NXMAX(2), 0);
  }
  EXPECT_FALSE(SXR(5).ok);
  EXPECT_FALSE(SXR(-1).ok);
}

// Without a stagnation point the block holds its head, the control points
// (arc length from node 1) and its finish.
TEST_F(StagnationSplit, DebugBlockWithoutAStagnationPoint) {
  set_element(1, {1.0, 0.5});
  ASSERT_FALSE(SXR(0).ok);
  state().NPANELS(1) = 0;
  ASSERT_FALSE(SXR(0).ok);  // writes nothing
  const std::vector<std::string> want = sxr_block(
      {
          "  1     0.5000E+00     0.1000E+01     0.5000E+00     0.1000E-01",
          "  2     0.1500E+01     0.5000E+00     0.1500E+01     0.2000E-01",
      },
      {});
  EXPECT_EQ(listing(), want);
}

// A list that cannot start a boundary layer is left empty and named; the
// other list is kept.
TEST_F(StagnationSplit, DegenerateListIsLeftEmptyAndNamed) {
  ProblemState& s = state();
  // Splits element 3 with surface velocity v: refused with `message`,
  // upper and lower lists of nx_upper and nx_lower stations.
  auto expect_refused = [&](const std::vector<double>& v, const std::string& message,
                            int nx_upper, int nx_lower) {
    set_element(3, v);
    const Result r = SXR(2);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.message, message);
    EXPECT_EQ(s.NX(3, 1), nx_upper);
    EXPECT_EQ(s.NX(3, 2), nx_lower);
  };
  {
    SCOPED_TRACE("sign change after control point 1: a lower list of 2 stations");
    spoil_lists(3);
    expect_refused({0.5, -0.5, -0.8, -1.0},
                   "Element 3, lower surface: the station list has only 2 stations from the "
                   "stagnation point, and the boundary layer needs at least 3; its boundary "
                   "layer is not computed.",
                   4, 0);
    EXPECT_EQ(s.XINV(3, 2), 0.0);
    expect_list(3, 1, {{0, 0}, {0.5, 0.5}, {1.5, 0.8}, {2.5, 1.0}});
    EXPECT_EQ(s.NXMAX(3), 4);
  }
  {
    SCOPED_TRACE("two panels: both lists have 2 stations");
    set_element(3, {0.5, -0.5});
    const Result r = SXR(2);
    EXPECT_FALSE(r.ok);
    const std::size_t nl = r.message.find('\n');
    ASSERT_NE(nl, std::string::npos) << r.message;
    EXPECT_EQ(r.message.rfind("Element 3, upper surface: ", 0), 0u) << r.message;
    EXPECT_EQ(r.message.find("Element 3, lower surface: ", nl + 1), nl + 1) << r.message;
    EXPECT_EQ(s.NX(3, 1), 0);
    EXPECT_EQ(s.NX(3, 2), 0);
    EXPECT_EQ(s.NXMAX(3), 0);
  }
  {
    SCOPED_TRACE("two panels of zero length at the stagnation point");
    set_element(3, {1.0, 0.8, 0.5, -0.5, -0.8, -1.0});
    // Panels 3 and 4 (nodes 3 to 5) have no length.
    s.XPN(4, 3) = s.XPN(5, 3) = s.XPN(3, 3);
    s.XPN(6, 3) = s.XPN(3, 3) + 1.0;
    s.XPN(7, 3) = s.XPN(3, 3) + 2.0;
    const Result r = SXR(2);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find("Element 3, upper surface: the first two stations have the same "
                             "arc length"),
              std::string::npos)
        << r.message;
    EXPECT_NE(r.message.find("Element 3, lower surface: the first two stations have the same "
                             "arc length"),
              std::string::npos)
        << r.message;
  }
  {
    SCOPED_TRACE("a zero velocity at the first lower station after the drop");
    expect_refused({1.0, 0.8, 0.0, 0.1, -0.9, -0.6, -0.8, -1.0},
                   "Element 3, lower surface: the first two stations have the same edge "
                   "velocity, so the grid scale is undefined; its boundary layer is not "
                   "computed.",
                   5, 0);
  }
  {
    SCOPED_TRACE("a velocity that is not a number on the upper list");
    spoil_lists(3);
    for (int i = 1; i <= 20; ++i) s.S(i, 3, 1) = s.UE(i, 3, 1) = 0.0;
    expect_refused({1.0, 0.8, 0.6, 0.5, -0.5, std::numeric_limits<double>::quiet_NaN(), -0.8,
                    -1.0},
                   "Element 3, upper surface: station 3 has a value that is not a finite "
                   "number; its boundary layer is not computed.",
                   0, 5);
    for (int i = 1; i <= 20; ++i) {
      EXPECT_TRUE(std::isfinite(s.S(i, 3, 1)) && std::isfinite(s.UE(i, 3, 1))) << i;
    }
  }
}

// The split of real panel solutions: both lists start at the stagnation
// point, run outward with positive edge velocity, and together cover the
// contour from control point 1 to control point N.
class StagnationSplitOfSolution : public testing::SolvedExampleTest {
 protected:
  StagnationSplitOfSolution() : SolvedExampleTest("split_solution_") {}
};

TEST_F(StagnationSplitOfSolution, ListsOfEveryExampleElement) {
  for (const char* name : {"naca0012.dat", "main_flap.dat"}) {
    SCOPED_TRACE(name);
    solve(name);
    const ProblemState& s = state();
    for (int e = 0; e < s.NELEM; ++e) {
      SCOPED_TRACE(e);
      const int k = e + 1;
      const Result r = SXR(e);
      ASSERT_TRUE(r.ok) << r.message;
      const int n = s.NPANELS(k);
      const int n1 = s.NX(k, 1), n2 = s.NX(k, 2);
      EXPECT_TRUE(n1 + n2 == n + 1 || n1 + n2 == n + 2) << n1 << " + " << n2;
      EXPECT_EQ(s.NXMAX(k), std::max(n1, n2));
      for (int sf = 1; sf <= 2; ++sf) {
        const int nx = s.NX(k, sf);
        ASSERT_GE(nx, 3);
        EXPECT_EQ(s.S(1, k, sf), 0.0);
        EXPECT_EQ(s.UE(1, k, sf), 0.0);
        for (int i = 2; i <= nx; ++i) {
          EXPECT_GT(s.S(i, k, sf), s.S(i - 1, k, sf)) << "surface " << sf << " station " << i;
          EXPECT_GT(s.UE(i, k, sf), 0.0) << "surface " << sf << " station " << i;
        }
        EXPECT_EQ(s.XINV(k, sf), s.S(nx, k, sf));
        EXPECT_EQ(s.NXDONE(k, sf), 0);
      }
      // The two last stations are control points N and 1, so the two list
      // lengths add up to the contour length less the outer halves of
      // panels 1 and N.
      double contour = 0.0;
      for (int j = 1; j <= n; ++j)
        contour += std::hypot(s.XPN(j + 1, k) - s.XPN(j, k), s.YPN(j + 1, k) - s.YPN(j, k));
      const double half1 = 0.5 * std::hypot(s.XPN(2, k) - s.XPN(1, k), s.YPN(2, k) - s.YPN(1, k));
      const double halfN =
          0.5 * std::hypot(s.XPN(n + 1, k) - s.XPN(n, k), s.YPN(n + 1, k) - s.YPN(n, k));
      EXPECT_NEAR(s.XINV(k, 1) + s.XINV(k, 2), contour - half1 - halfN, 1e-12);
      // The upper list ends at control point N, the lower at 1, each with the
      // velocity magnitude of its panel.
      EXPECT_EQ(s.UE(n1, k, 1), -s.VGAMMA(n, k));
      EXPECT_EQ(s.UE(n2, k, 2), s.VGAMMA(1, k));
    }
  }
}

// The debug listing of a file gets one block per split element.
TEST_F(StagnationSplitOfSolution, BlocksOnTheDebugListing) {
  solve("main_flap.dat");
  ASSERT_TRUE(SXR(0).ok);
  ASSERT_TRUE(SXR(1).ok);
  text::units().flush_all();
  int starts = 0;
  int rows = 0;
  for (const std::string& line : testing::read_lines("main_flap.deb")) {
    starts += line == " Output from SXR, start";
    rows += line.rfind("  Icrit=", 0) == 0;
  }
  EXPECT_EQ(starts, 2);
  EXPECT_EQ(rows, 2);
}

}  // namespace
}  // namespace sorvane

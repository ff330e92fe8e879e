// Blunt trailing edges and the order of a contour's rows. A cambered
// section with a base has its two trailing-edge points apart in x; on a
// finely spaced table the row next to one of them can lie at or behind their
// mean, and such a table still solves, with its nodes on the section and its
// trailing-edge nodes at the table's own end points. A table whose rows are
// really out of order is refused with a message that names the rows as the
// file counts them and says what is wrong with them.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "solver/state/problem_state.h"
#include "tests/panel/solution_cases.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

class TrailingEdge : public ::testing::Test {
 protected:
  void SetUp() override { dir = testing::test_scratch_dir("te_"); }
  std::string dir;
};

// Distance from p to the polyline through x, y.
double distance_to(const std::vector<double>& x, const std::vector<double>& y, double px,
                   double py) {
  double best = INFINITY;
  for (std::size_t i = 0; i + 1 < x.size(); ++i) {
    const double ax = x[i + 1] - x[i], ay = y[i + 1] - y[i];
    const double len2 = ax * ax + ay * ay;
    double u = len2 > 0 ? ((px - x[i]) * ax + (py - y[i]) * ay) / len2 : 0.0;
    u = u < 0 ? 0 : u > 1 ? 1 : u;
    best = std::fmin(best, std::hypot(px - x[i] - u * ax, py - y[i] - u * ay));
  }
  return best;
}

cases::Config blunt_naca4212(int half, int panels) {
  cases::Config c;
  c.alpha = 4;
  cases::Element e = cases::naca4(4212, half, true);
  e.npanels = panels;
  c.elements = {e};
  return c;
}

// The 301-point cosine-spaced NACA 4212 with its blunt trailing edge: the
// upper end lies at x = 1.0001254, the lower at 0.9998746, and row 2 at
// 1.0000172, behind their mean. It solves; the trailing-edge nodes are the
// table's end points (node 1 the end of the lower surface, node N+1 that of
// the upper), every node lies on the section the table was made from (its
// formula, on 40001 points), and the lift is the one the tables of 281 and
// 321 points give.
TEST_F(TrailingEdge, FineBluntTableSolves) {
  const cases::Config c = blunt_naca4212(150, 300);
  ASSERT_EQ(cases::solve(c, dir, "n4212"), "");
  const ProblemState& s = state();
  ASSERT_EQ(s.NCONT(1), 301);
  ASSERT_NEAR(s.X0(1, 1), 1.0001254, 1e-12);
  ASSERT_NEAR(s.X0(2, 1), 1.0000172, 1e-12);
  ASSERT_NEAR(s.X0(301, 1), 0.9998746, 1e-12);
  const int N = s.NPANELS(1);
  // Chord 1: the tolerance is 1e-5 of the chord.
  EXPECT_LT(std::hypot(s.XPN(1, 1) - s.X0(301, 1), s.YPN(1, 1) - s.Y0(301, 1)), 1e-5);
  EXPECT_LT(std::hypot(s.XPN(N + 1, 1) - s.X0(1, 1), s.YPN(N + 1, 1) - s.Y0(1, 1)), 1e-5);

  const cases::Element section = cases::naca4(4212, 20000, true);
  double worst = 0;
  for (int i = 1; i <= N + 1; ++i)
    worst = std::fmax(worst, distance_to(section.x, section.y, s.XPN(i, 1), s.YPN(i, 1)));
  EXPECT_LT(worst, 1e-5);
  // Each branch runs its way in x: the lower surface from the trailing edge
  // to the nose (nodes 1..N/2+1), the upper one back.
  for (int i = 1; i <= N; ++i) {
    if (i <= N / 2)
      EXPECT_GT(s.XPN(i, 1), s.XPN(i + 1, 1)) << "node " << i;
    else
      EXPECT_LT(s.XPN(i, 1), s.XPN(i + 1, 1)) << "node " << i;
  }

  const double lift = s.CYS;
  for (int half : {140, 160}) {
    SCOPED_TRACE(2 * half + 1);
    ASSERT_EQ(cases::solve(blunt_naca4212(half, 300), dir, "n4212_" + std::to_string(half)), "");
    EXPECT_NEAR(state().CYS, lift, 2e-4 * lift);
  }
}

// A blunt table whose rows next to the ends lie ahead of their mean (the
// 121-point table of the same section) keeps both ends at that mean: its
// two trailing-edge nodes share their x, as they always have.
TEST_F(TrailingEdge, CoarserBluntTableKeepsItsSharedEnd) {
  ASSERT_EQ(cases::solve(blunt_naca4212(60, 120), dir, "n4212"), "");
  const ProblemState& s = state();
  EXPECT_EQ(s.XPN0(1, 1), s.XPN0(121, 1));
  EXPECT_NE(s.YPN0(1, 1), s.YPN0(121, 1));
}

// Two rows swapped, in each table layout, two at one x, or two at the nose:
// the message names them as the file counts them, says which way x must run
// there and what it does. The
// 81-point NACA 2412 has its nose at row 41; a mirrored NACA 0012 of 41
// rows has it at table row 1.
TEST_F(TrailingEdge, RowsReallyOutOfOrderAreNamed) {
  struct Case {
    const char* name;
    cases::Element element;
    int a, b;              // contour rows swapped (1-based)
    const char* message;   // up to the two x values
  };
  cases::Element reversed = cases::naca4(2412, 40);
  reversed.reversed = true;
  const std::vector<Case> table = {
      {"contour order, upper surface", cases::naca4(2412, 40), 10, 11,
       "element 1: row 10 and row 11 are out of order: x along the chord must fall from the "
       "trailing edge to the leading edge (row 41), not go from "},
      {"contour order, lower surface", cases::naca4(2412, 40), 60, 61,
       "element 1: row 60 and row 61 are out of order: x along the chord must rise from the "
       "leading edge (row 41) to the trailing edge, not go from "},
      {"listed backwards", reversed, 10, 11,
       "element 1: row 72 and row 71 are out of order: x along the chord must fall from the "
       "trailing edge to the leading edge (row 41), not go from "},
  };
  for (const Case& c : table) {
    SCOPED_TRACE(c.name);
    cases::Element e = c.element;
    std::swap(e.x[c.a - 1], e.x[c.b - 1]);
    std::swap(e.y[c.a - 1], e.y[c.b - 1]);
    cases::Config config;
    config.elements = {e};
    const std::string said = cases::solve(config, dir, "swapped");
    const std::string lead = std::string("Solution failed: ") + c.message;
    ASSERT_EQ(said.rfind(lead, 0), 0u) << said;
    // x runs from the value at the first row named to that at the second:
    // the values of the file (the section's frame is the file's).
    double from = 0, to = 0;
    ASSERT_EQ(std::sscanf(said.c_str() + lead.size(), "%lf to %lf", &from, &to), 2) << said;
    EXPECT_NEAR(from, e.x[c.a - 1], 1e-7);
    EXPECT_NEAR(to, e.x[c.b - 1], 1e-7);
  }

  // Two rows at the same x.
  cases::Element level = cases::naca4(2412, 40);
  level.x[10] = level.x[9];
  cases::Config same;
  same.elements = {level};
  const std::string at = cases::solve(same, dir, "level");
  const std::string lead =
      "Solution failed: element 1: row 10 and row 11 are out of order: x along the chord must "
      "fall from the trailing edge to the leading edge (row 41), but both lie at x = ";
  ASSERT_EQ(at.rfind(lead, 0), 0u) << at;
  EXPECT_NEAR(std::stod(at.substr(lead.size())), level.x[9], 1e-7);

  // A second row at the nose.
  cases::Element nose = cases::naca4(2412, 40);
  nose.x[41] = nose.x[40];
  cases::Config twice;
  twice.elements = {nose};
  EXPECT_EQ(cases::solve(twice, dir, "nose"),
            "Solution failed: element 1: row 41 and row 42 both lie at the leading edge, the "
            "smallest x along the chord: only one row may");

  // Mirrored: table rows 20 and 21 swapped put contour rows 21 (table row
  // 21, upper) and 22 (table row 20, upper) out of order.
  cases::Element mirrored = cases::naca00_mirrored(12, 41);
  std::swap(mirrored.x[19], mirrored.x[20]);
  std::swap(mirrored.y[19], mirrored.y[20]);
  cases::Config config;
  config.elements = {mirrored};
  const std::string said = cases::solve(config, dir, "mirrored");
  EXPECT_EQ(said.rfind("Solution failed: element 1: table row 21 (upper) and table row 20 "
                       "(upper) are out of order: x along the chord must fall from the trailing "
                       "edge to the leading edge (table row 1), not go from ",
                       0),
            0u)
      << said;
}

}  // namespace
}  // namespace sorvane

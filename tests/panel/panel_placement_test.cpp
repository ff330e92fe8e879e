// Panel placement: rotation about the axis, sweep stretching, midpoints, the
// additional control point, the listing of several elements, and degenerate
// input.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "solver/panel/panel_placement.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/panel/element_state.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using testing::kPi;
using testing::read_file;
using testing::scratch_dir;

struct Node {
  double x, y;
};

class PlacementTest : public ::testing::Test {
 protected:
  std::string out;

  void SetUp() override {
    const std::string dir = scratch_dir(
        std::string("pan_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    out = dir + "/case.out";
    ASSERT_NO_FATAL_FAILURE(testing::set_element_state(0.1, 2, out));
  }
  void TearDown() override { text::units().close(82); }

  static void nodes(int k, const std::vector<Node>& n) {
    ProblemState& s = state();
    s.NPANELS(k) = static_cast<int>(n.size()) - 1;
    for (std::size_t i = 0; i < n.size(); ++i) {
      s.XPN0(static_cast<int>(i) + 1, k) = n[i].x;
      s.YPN0(static_cast<int>(i) + 1, k) = n[i].y;
      s.TETC(static_cast<int>(i) + 1, k) = 0.0;
      s.DYDT(static_cast<int>(i) + 1, k) = 0.0;
    }
  }

  std::string listing() {
    text::units().flush_all();
    return read_file(out);
  }
};

// A diamond with an open trailing edge: nodes from the lower trailing edge
// round the leading edge to the upper one.
const std::vector<Node> kDiamond = {{1.0, -0.02}, {0.5, -0.1}, {0.0, 0.0}, {0.5, 0.1}, {1.0, 0.02}};

TEST_F(PlacementTest, NodesTurnAboutTheAxisAndStretchWithTheSweep) {
  ProblemState& s = state();
  struct Case {
    const char* name;
    double dfl, xax, yax, xx, yy, cosswept;
    Node in, expected;
  } cases[] = {
      {"identity", 0, 0, 0, 0, 0, 1, {1.0, 0.02}, {1.0, 0.02}},
      {"90 degrees about the origin", 90, 0, 0, 0, 0, 1, {1.0, 0.0}, {0.0, -1.0}},
      {"90 degrees about an offset axis", 90, 0.25, 0, 1.0, 0.5, 1, {1.0, 0.0}, {1.0, -0.25}},
      {"-30 degrees", -30, 0, 0, 0, 0, 1, {1.0, 0.0}, {std::cos(kPi / 6), 0.5}},
      {"sweep", 0, 0, 0, 0, 0, 0.5, {1.0, 0.2}, {1.0, 0.4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Node> n = kDiamond;
    n.back() = c.in;
    nodes(1, n);
    s.DFL(1) = c.dfl;
    s.XAX(1) = c.xax;
    s.YAX(1) = c.yax;
    s.XX(1) = c.xx;
    s.YY(1) = c.yy;
    s.COSSWEPT = c.cosswept;
    ASSERT_EQ(GEOM_PAN(), "");
    EXPECT_NEAR(s.XPN(5, 1), c.expected.x, 1e-15);
    EXPECT_NEAR(s.YPN(5, 1), c.expected.y, 1e-15);
    for (int i = 1; i <= 4; ++i) {
      // Control points are the midpoints of the placed nodes, XC0 those of the
      // chord-frame nodes.
      EXPECT_EQ(s.XC(i, 1), 0.5 * (s.XPN(i, 1) + s.XPN(i + 1, 1)));
      EXPECT_EQ(s.YC(i, 1), 0.5 * (s.YPN(i, 1) + s.YPN(i + 1, 1)));
      EXPECT_EQ(s.XC0(i, 1), 0.5 * (s.XPN0(i, 1) + s.XPN0(i + 1, 1)));
      EXPECT_EQ(s.YC0(i, 1), 0.5 * (s.YPN0(i, 1) + s.YPN0(i + 1, 1)));
    }
    // Row N+1 of the chord-frame midpoints is node N+1 itself.
    EXPECT_EQ(s.XC0(5, 1), s.XPN0(5, 1));
    EXPECT_EQ(s.YC0(5, 1), s.YPN0(5, 1));
    if (c.dfl == 0 && c.cosswept == 1) {
      for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(s.XPN(i, 1), s.XPN0(i, 1));
        EXPECT_EQ(s.YPN(i, 1), s.YPN0(i, 1));
      }
    }
  }
}

TEST_F(PlacementTest, AdditionalControlPoint) {
  ProblemState& s = state();
  struct Case {
    const char* name;
    std::vector<Node> n;
    double dadd, cosswept;
    Node expected;
  } cases[] = {
      // On the bisector of the diamond's trailing edge, 0.1 behind it.
      {"behind the trailing edge", kDiamond, 0.1, 1.0, {1.1, 0.0}},
      {"DADD 0 on an open trailing edge", kDiamond, 0.0, 1.0, {1.0, 0.0}},
      // Control points 1 and N straddle the trailing edge so that their
      // midpoint is the trailing-edge midpoint: atan2(0, 0) = 0.
      {"atan2(0, 0)",
       {{1.0, 0.125}, {0.5, 0.25}, {1.5, -0.25}, {1.0, -0.125}},
       0.25,
       1.0,
       {1.25, 0.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    nodes(1, c.n);
    s.DADD = c.dadd;
    s.COSSWEPT = c.cosswept;
    ASSERT_EQ(GEOM_PAN(), "");
    const int N = s.NPANELS(1);
    EXPECT_NEAR(s.XC(N + 1, 1), c.expected.x, 1e-15);
    EXPECT_NEAR(s.YC(N + 1, 1), c.expected.y, 1e-15);
  }

  // Sweep: a tilted trailing edge stretched by 1/0.5; the point lies DADD
  // from the trailing-edge midpoint in the stretched plane, on the line
  // through the midpoint of control points 1 and N.
  std::vector<Node> tilted = kDiamond;
  for (Node& n : tilted) n.y += 0.3 * n.x;
  nodes(1, tilted);
  s.DADD = 0.2;
  s.COSSWEPT = 0.5;
  ASSERT_EQ(GEOM_PAN(), "");
  const double xt = 0.5 * (s.XPN(1, 1) + s.XPN(5, 1)), yt = 0.5 * (s.YPN(1, 1) + s.YPN(5, 1));
  EXPECT_NEAR(yt, 0.6, 1e-15);
  const double xm = 0.5 * (s.XC(1, 1) + s.XC(4, 1)), ym = 0.5 * (s.YC(1, 1) + s.YC(4, 1));
  const double ux = s.XC(5, 1) - xt, uy = s.YC(5, 1) - yt;
  EXPECT_NEAR(std::hypot(ux, uy), 0.2, 1e-15);
  EXPECT_NEAR(ux * (yt - ym) - uy * (xt - xm), 0.0, 1e-15);  // on the line
  EXPECT_GT(ux * (xt - xm) + uy * (yt - ym), 0.0);          // beyond the edge
}

TEST_F(PlacementTest, ListingOfTwoElementsWithDifferentPanelCounts) {
  ProblemState& s = state();
  s.NELEM = 2;
  s.IPRINT = 4;
  nodes(1, kDiamond);
  std::vector<Node> seven;
  for (int i = 0; i <= 6; ++i) {
    const double a = 2.0 * kPi * i / 6.0;
    seven.push_back({1.5 + 0.5 * std::cos(a), -0.2 + 0.05 * std::sin(a) + 0.01 * (i == 6)});
  }
  nodes(2, seven);
  s.XX(2) = 0.25;
  s.DFL(2) = 10.0;
  ASSERT_EQ(GEOM_PAN(), "");
  const std::string text = listing();
  EXPECT_EQ(text.substr(0, 24), " GEOM_PAN  Ncompute=  2\n");
  // The output tables: each element's heading, its placement values and
  // rows 1..N+1.
  const std::size_t p = text.find("    OUTPUT subr.GEOM_PAN\n");
  ASSERT_NE(p, std::string::npos);
  const std::string tail = text.substr(p);
  const std::size_t e1 = tail.find("  AirFoil=  1\n"), e2 = tail.find("  AirFoil=  2\n");
  ASSERT_NE(e1, std::string::npos);
  ASSERT_NE(e2, std::string::npos);
  auto rows = [](const std::string& block) {
    int n = 0, last = 0;
    std::size_t pos = 0;
    while (pos < block.size()) {
      const std::size_t end = block.find('\n', pos);
      if (end == std::string::npos) break;
      if (end - pos == 5 + 6 * 15) {  // "(I5,6F15.6)"
        last = std::stoi(block.substr(pos, 5));
        ++n;
      }
      pos = end + 1;
    }
    return std::make_pair(n, last);
  };
  EXPECT_EQ(rows(tail.substr(e1, e2 - e1)), std::make_pair(5, 5));
  EXPECT_EQ(rows(tail.substr(e2)), std::make_pair(7, 7));
  EXPECT_NE(tail.find("     0.250     0.000    10.000\n"), std::string::npos);
  // The per-element table of each placement (nine columns) and the input
  // table come before it.
  EXPECT_EQ(text.find("     INPUT subr.GEOM_PAN\n") < p, true);
  EXPECT_NE(text.find(" FOIL=  2       Xax=   0.000 Yax=   0.000  Xx=   0.250  Yx=   0.000 Dfl="
                      "  10.000\n"),
            std::string::npos);
}

TEST_F(PlacementTest, DegenerateInputIsReported) {
  ProblemState& s = state();
  struct Case {
    const char* name;
    std::function<void()> setup;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"one panel", [] { nodes(1, {{1, 0}, {0, 0}}); },
       "element 1: 1 panels (2 to 599 are allowed)"},
      {"600 panels",
       [&] {
         nodes(1, kDiamond);
         s.NPANELS(1) = 600;
       },
       "element 1: 600 panels (2 to 599 are allowed)"},
      {"zero-length panel",
       [] { nodes(1, {{1.0, -0.02}, {0.5, -0.1}, {0.5, -0.1}, {0.0, 0.0}, {1.0, 0.02}}); },
       "element 1: panel 2 has zero length (nodes 2 and 3 coincide)"},
      {"closed trailing edge with DADD 0",
       [&] {
         nodes(1, {{1.0, 0.0}, {0.5, -0.1}, {0.0, 0.0}, {0.5, 0.1}, {1.0, 0.0}});
         s.DADD = 0.0;
       },
       "element 1: the additional control point lies on trailing-edge node 1 (DADD = 0; a "
       "closed trailing edge needs DADD other than 0)"},
      {"node not finite",
       [] { nodes(1, {{1.0, -0.02}, {0.5, NAN}, {0.0, 0.0}, {0.5, 0.1}, {1.0, 0.02}}); },
       "element 1: node 2 is not a finite number"},
      {"DADD not finite",
       [&] {
         nodes(1, kDiamond);
         s.DADD = INFINITY;
       },
       "element 1: the additional control point is not a finite number (DADD = inf)"},
      {"sweep cosine 0",
       [&] {
         nodes(1, kDiamond);
         s.COSSWEPT = 0.0;
         s.SWEPT = 90.0;
       },
       "the sweep angle gives a cosine of 0 or not a number (SWEPT = 90)"},
      {"sweep cosine not a number",
       [&] {
         nodes(1, kDiamond);
         s.COSSWEPT = NAN;
         s.SWEPT = NAN;
       },
       "the sweep angle gives a cosine of 0 or not a number (SWEPT = nan)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    s.NELEM = 2;
    s.DADD = 0.1;
    s.COSSWEPT = 1.0;
    s.IPRINT = 4;  // every listing row is written, so a bad row count would show
    nodes(2, kDiamond);
    s.XX(2) = 3.0;
    c.setup();
    s.XPN(1, 2) = -9.0;
    EXPECT_EQ(GEOM_PAN(), c.message);
    // The other element is still placed (unless the sweep stops it all).
    if (std::isfinite(s.COSSWEPT) && s.COSSWEPT != 0.0) {
      EXPECT_EQ(s.XPN(1, 2), 4.0);
    }
  }
  s.NELEM = 6;
  EXPECT_EQ(GEOM_PAN(), "the configuration has 6 elements (at most 5)");
}

}  // namespace
}  // namespace sorvane

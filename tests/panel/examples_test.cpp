// The sample geometry files solved: the placed elements stay apart (the
// placement values in the files mean what their generator assumed), and the
// single NACA 0012 gives the known inviscid lift.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/solved_example.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

struct Pt {
  double x, y;
};

double orient(Pt a, Pt b, Pt c) { return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x); }

bool cross(Pt p1, Pt p2, Pt q1, Pt q2) {
  return orient(q1, q2, p1) * orient(q1, q2, p2) < 0 && orient(p1, p2, q1) * orient(p1, p2, q2) < 0;
}

bool inside(Pt p, const std::vector<Pt>& poly) {
  bool hit = false;
  for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
    const Pt a = poly[i], b = poly[j];
    if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
      hit = !hit;
  }
  return hit;
}

class Examples : public testing::SolvedExampleTest {
 protected:
  Examples() : SolvedExampleTest("examples_") {}
};

TEST_F(Examples, PlacedElementsStayApart) {
  for (const char* name : {"main_flap.dat", "slat_main_flap.dat"}) {
    SCOPED_TRACE(name);
    solve(name);
    const ProblemState& s = state();
    std::vector<std::vector<Pt>> polys;
    for (int k = 1; k <= s.NELEM; ++k) {
      std::vector<Pt> p;
      for (int i = 1; i <= s.NPANELS(k) + 1; ++i) p.push_back({s.XPN(i, k), s.YPN(i, k)});
      polys.push_back(p);
    }
    for (std::size_t a = 0; a < polys.size(); ++a)
      for (std::size_t b = a + 1; b < polys.size(); ++b) {
        for (std::size_t i = 0; i + 1 < polys[a].size(); ++i)
          for (std::size_t j = 0; j + 1 < polys[b].size(); ++j)
            ASSERT_FALSE(cross(polys[a][i], polys[a][i + 1], polys[b][j], polys[b][j + 1]))
                << "elements " << a + 1 << " and " << b + 1 << " intersect";
        EXPECT_FALSE(inside(polys[a][0], polys[b]));
        EXPECT_FALSE(inside(polys[b][0], polys[a]));
      }
    // High-lift configurations: more lift than the single main element.
    EXPECT_GT(s.CYS, 1.5);
  }
}

// The trailing edges of the NACA 0012 and of both elements of the main and
// flap example: the pressures of the two last panels nearly meet and show
// no suction spike (a blunt base thicker than the last panels are long, or a flap nose against the
// main trailing edge would give Cp of -4 and below there).
TEST_F(Examples, TrailingEdgePressuresMeet) {
  for (const char* name : {"naca0012.dat", "main_flap.dat"}) {
    SCOPED_TRACE(name);
    solve(name);
    const ProblemState& s = state();
    for (int k = 1; k <= s.NELEM; ++k) {
      const double first = s.CP(1, k), last = s.CP(s.NPANELS(k), k);
      EXPECT_NEAR(first, last, 0.6) << "element " << k;
      EXPECT_GT(first, -1.0) << "element " << k;
      EXPECT_GT(last, -1.0) << "element " << k;
    }
  }
}

TEST_F(Examples, Naca0012Lift) {
  solve("naca0012.dat");
  // Inviscid lift of the NACA 0012 at 4 degrees is about 0.48 (thin-aerofoil
  // theory 2 pi sin(4 deg) = 0.438, plus the thickness effect of about 10 %).
  EXPECT_NEAR(state().CYS, 0.483, 0.01);
}

}  // namespace
}  // namespace sorvane

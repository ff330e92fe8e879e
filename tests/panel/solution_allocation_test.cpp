// The panel solution allocates its work arrays at its first call and nothing
// after it: every spinner click of the windows runs one solution. That holds
// with every compressibility correction as long as the solution is within
// the correction's range (a remark or a failure builds its message).
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/allocation_count.h"
#include "tests/example_copy.h"
#include "tests/load_and_solve.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using namespace sorvane::testing;

std::string field10(double v) {
  char text[16];
  std::snprintf(text, sizeof text, "%10.5f", v);
  return text;
}

// Solutions at the incidences a few arrow clicks give, after the first one;
// the allocations of those after the first.
TEST(SolutionAllocation, NoneAfterTheFirstWithinTheCorrectionsRange) {
  StdoutCapture console;  // the solution's records
  struct Case {
    const char* file;
    double alpha, mach;
    int icompr;  // 0 none, 1 Prandtl-Glauert, 2 Karman-Tsien, 3 Laitone
    double sweep;
  };
  const Case cases[] = {
      {"naca0012.dat", 2, 0.3, 0, 0},  {"naca0012.dat", 2, 0.3, 1, 0},
      {"naca0012.dat", 2, 0.3, 2, 0},  {"naca0012.dat", 2, 0.3, 3, 0},
      {"naca0012.dat", 2, 0.3, 2, 30}, {"main_flap.dat", 0, 0.2, 2, 0},
      {"slat_main_flap.dat", 4, 0.15, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " at Mach " + std::to_string(c.mach) + ", correction " +
                 std::to_string(c.icompr) + ", sweep " + std::to_string(c.sweep));
    const std::string path = example_copy("allocation", c.file, [&](std::vector<std::string>& l) {
      set_field(l[1], 3, field10(c.icompr));
      set_field(l[3], 0, field10(c.alpha));
      set_field(l[3], 1, field10(c.mach));
      set_field(l[3], 2, field10(c.sweep));
    });
    ASSERT_EQ(load_and_solve(path), "");  // the first solution
    ProblemState& s = state();
    long counted = 0;
    for (int click = 1; click <= 4; ++click) {
      s.ALPHA = c.alpha + 0.1 * click;
      Result r;
      {
        AllocationCount allocations;
        r = FOILPMG();
        counted += allocations.count();
      }
      ASSERT_TRUE(r.ok) << r.message;
      ASSERT_TRUE(r.warnings.empty()) << r.warnings[0];  // subsonic: no remark
    }
    EXPECT_EQ(counted, 0);
    text::units().close_all();
  }
}

}  // namespace
}  // namespace sorvane

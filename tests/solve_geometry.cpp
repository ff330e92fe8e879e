// Test driver: solve_geometry FILE.dat loads a geometry file and computes its
// panel solution, so that the listings are written beside the input.
//
// Exit status: 0 after a valid solution (one summary line on standard
// output), 1 on wrong usage, 2 when the file cannot be loaded (the reader's
// message on standard error), 3 when the solution fails (its message).
#include <cstdio>
#include <string>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"

int main(int argc, char** argv) {
  using namespace sorvane;
  if (argc != 2) {
    std::fprintf(stderr, "usage: solve_geometry FILE.dat\n");
    return 1;
  }
  GeoFileRecord record;
  std::string error;
  if (!make_geo_record(argv[1], record, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  const LoadResult loaded = READ_GEOMETRY(record);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.message.c_str());
    return 2;
  }
  FOILPMG();
  text::units().flush_all();
  const ProblemState& s = state();
  if (s.SOLUTION_STATUS != SolutionStatus::kOk) {
    const FixedText<240>& m = s.SOLUTION_MESSAGE;
    std::fprintf(stderr, "%.*s\n", m.trimmed_length(), m.c);
    text::units().close_all();
    return 3;
  }
  std::printf("%s: CYS = %.6f  CXS = %.6f  CMS = %.6f\n", argv[1], s.CYS, s.CXS, s.CMS);
  text::units().close_all();
  return 0;
}

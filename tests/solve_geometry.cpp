// Test driver: solve_geometry [--bl] FILE.dat loads a geometry file and
// computes its panel solution, so that the listings are written beside the
// input. With --bl it then splits every element at its stagnation point and
// runs the boundary layer of both surfaces of every element (upper 0, lower
// 0, upper 1, ...), writing the boundary-layer listings.
//
// Exit status: 0 after a valid solution (one summary line on standard
// output; a remark on the solution, such as locally supersonic flow outside
// the range of the compressibility correction, in one line on standard
// error) and, with --bl, every split made; 1 on wrong usage or when a
// closed standard descriptor cannot be given the null device, 2 when the file
// cannot be loaded (the reader's message on standard error), 3 when the
// solution fails (its message), 4 when a split or a surface run was refused
// or stopped (one message line per such element or surface on standard
// error; remarks of runs that went on are listed there too; inputs that no
// surface can run with, such as NP or REMILL out of range, are said once and
// nothing is split), 5 when a listing or standard output could not be
// written in full (one line per such file on standard error, "cannot write
// the listing NAME: REASON", after the other messages). 5 goes before 3 and
// 4, whose messages are still written: every other status promises complete
// listings. Standard output closed at the start counts as lost ("cannot
// write standard output: Bad file descriptor"); the listings stay whole.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/standard_streams.h"
#include "solver/text/units.h"

namespace {

// Closes the listings and flushes standard output, writes one line per file
// that lost records, and gives the exit status: status, or 5 after a loss.
int finish(int status) {
  sorvane::text::Units& u = sorvane::text::units();
  u.close_all();
  u.flush_all();
  const std::vector<std::string> lost = u.failure_messages();
  for (const std::string& line : lost) std::fprintf(stderr, "%s\n", line.c_str());
  return lost.empty() ? status : 5;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace sorvane;
  // Before anything opens a file: a closed standard output would otherwise
  // be taken by the first listing.
  const text::StandardDescriptors std_fds = text::open_closed_standard_descriptors();
  if (!std_fds.ok()) {
    std::fprintf(stderr, "solve_geometry: %s\n", std_fds.error.c_str());
    return 1;
  }
  const bool bl = argc == 3 && std::strcmp(argv[1], "--bl") == 0;
  if ((argc != 2 && !bl) || (argc == 2 && std::strcmp(argv[1], "--bl") == 0)) {
    std::fprintf(stderr, "usage: solve_geometry [--bl] FILE.dat\n");
    return 1;
  }
  const char* path = argv[argc - 1];
  GeoFileRecord record;
  std::string error;
  if (!make_geo_record(path, record, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 2;
  }
  const Result loaded = READ_GEOMETRY(record);
  if (!loaded) {
    std::fprintf(stderr, "%s\n", loaded.message.c_str());
    return 2;
  }
  FOILPMG();
  text::units().flush_all();
  const ProblemState& s = state();
  if (s.SOLUTION_STATUS != SolutionStatus::kOk) {
    const auto& m = s.SOLUTION_MESSAGE;
    std::fprintf(stderr, "%.*s\n", m.trimmed_length(), m.c);
    return finish(3);
  }
  // A valid solution's remark (locally supersonic flow outside the range of
  // the compressibility correction) on standard error; the status stays.
  if (s.SOLUTION_REMARK.trimmed_length() > 0)
    std::fprintf(stderr, "Remark: %.*s\n", s.SOLUTION_REMARK.trimmed_length(),
                 s.SOLUTION_REMARK.c);
  // The summary line goes through unit 6, whose writes are checked.
  const char* summary = "%s: CYS = %.6f  CXS = %.6f  CMS = %.6f\n";
  std::string line(std::snprintf(nullptr, 0, summary, path, s.CYS, s.CXS, s.CMS), ' ');
  std::snprintf(line.data(), line.size() + 1, summary, path, s.CYS, s.CXS, s.CMS);
  text::units().write_text(text::Units::kStdout, line);
  int status = 0;
  if (bl) {
    // Inputs that would refuse every surface are refused once, before any
    // split.
    const Result inputs = check_boundary_layer_run();
    if (!inputs) {
      std::fprintf(stderr, "%s\n", inputs.message.c_str());
      return finish(4);
    }
    for (int e = 0; e < s.NELEM; ++e) {
      const Result split = SXR(e);
      if (!split) {
        std::fprintf(stderr, "%s\n", split.message.c_str());
        status = 4;
      }
      for (int surface = 0; surface <= 1; ++surface) {
        if (s.NX(e + 1, surface + 1) == 0) continue;  // the split left no list
        const Result run = FOIL_BL2D(e, surface);
        if (!run) {
          std::fprintf(stderr, "%s\n", run.message.c_str());
          status = 4;
        }
        for (const std::string& w : run.warnings) std::fprintf(stderr, "%s\n", w.c_str());
      }
    }
  }
  return finish(status);
}

// Loading a geometry file and solving it, for tests and benchmarks: each
// step returns "" when it worked, else what stopped it.
#pragma once

#include <string>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"

namespace sorvane::testing {

// Loads the geometry file at path: "" or why it was refused (a record that
// cannot be made as "record: " and its fault, else the reader's message).
inline std::string load_geometry(const std::string& path) {
  GeoFileRecord record{};
  std::string error;
  if (!make_geo_record(path, record, &error)) return "record: " + error;
  const Result loaded = READ_GEOMETRY(record);
  return loaded.ok ? "" : loaded.message;
}

// Solves the loaded configuration: "" or the solution's message.
inline std::string solve_loaded() {
  FOILPMG();
  const ProblemState& s = state();
  if (s.SOLUTION_STATUS == SolutionStatus::kOk) return "";
  const std::string message(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length());
  return message.empty() ? "the solution failed without a message" : message;
}

// Loads and solves the file at path: "" or "load: " and why it was refused,
// or the solution's message.
inline std::string load_and_solve(const std::string& path) {
  const std::string refused = load_geometry(path);
  if (!refused.empty()) return "load: " + refused;
  return solve_loaded();
}

}  // namespace sorvane::testing

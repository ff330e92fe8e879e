// The outcome of a solver entry that the windows call: success, or a failure
// with one message the user can read. Entries that carry on after a remark
// (a grid that could not grow further, a fallback step) succeed and list the
// remark in `warnings`. The entries whose result must be read are marked
// [[nodiscard]] one by one (the panel solution also leaves its outcome in the
// problem state, where the windows read it).
#pragma once

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace sorvane {

struct Result {
  bool ok = true;
  std::string message;                // why it failed (empty on success)
  std::vector<std::string> warnings;  // remarks of a run that went on

  static Result success() { return Result{}; }
  static Result failure(std::string why) {
    Result r;
    r.ok = false;
    r.message = std::move(why);
    return r;
  }
  explicit operator bool() const { return ok; }
};

// Pieces of messages: a number as they show it (printf's %g), and the start
// of a message about element k of the panel solver, "element k: ".
inline std::string number_text(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%g", v);
  return buf;
}
inline std::string element_text(int k) { return "element " + std::to_string(k) + ": "; }

}  // namespace sorvane

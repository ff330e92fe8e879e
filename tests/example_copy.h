// Geometry files made from the examples in a test's scratch directory, with
// lines or single ten-character fields changed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace sorvane::testing {

// A copy of an example geometry file in a scratch directory, with the lines
// (0-based) that edit() changes.
inline std::string example_copy(const std::string& dir, const std::string& example,
                                const std::function<void(std::vector<std::string>&)>& edit =
                                    nullptr) {
  std::vector<std::string> lines = read_lines(source_path("examples/" + example));
  if (edit) edit(lines);
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  const std::string path = scratch_dir(dir) + "/" + example;
  write_file(path, text);
  return path;
}

// Replaces the ten-character field f (0-based) of a line.
inline void set_field(std::string& line, int f, const std::string& value) {
  if (line.size() < static_cast<std::size_t>(10 * f + 10)) line.resize(10 * f + 10, ' ');
  std::string v = value;
  if (v.size() < 10) v = std::string(10 - v.size(), ' ') + v;
  line.replace(10 * f, 10, v.substr(0, 10));
}

}  // namespace sorvane::testing

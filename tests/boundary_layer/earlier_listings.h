// Listings of the boundary layer against those an earlier build wrote
// (tests/data/earlier_listings): the station log run by run, where the
// runs that today's march decides otherwise from a named station on keep
// every line up to that station and differ in its row; large listings by
// their sizes and hashes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace sorvane::testing {

// Where today's march first decides otherwise on a surface: the surface
// run's place in the log (0 the first run) and the station.
struct Mended {
  int run;
  int station;
};

// The lines of a listing as blocks, one per surface run (a block begins at
// the run's first record); lines before the first run form block 0 when
// there are any.
inline std::vector<std::vector<std::string>> runs_of(const std::vector<std::string>& lines) {
  std::vector<std::vector<std::string>> out;
  for (const std::string& l : lines) {
    if (out.empty() || l == "  Start  of b.l. computation 0") out.emplace_back();
    out.back().push_back(l);
  }
  return out;
}

// Size and FNV-1a hash (64 bits) of a file's bytes: "SIZE HASH".
inline std::string fingerprint(const std::string& path) {
  const std::string bytes = read_file(path);
  std::uint64_t h = 14695981039346656037ull;
  for (const unsigned char b : bytes) {
    h ^= b;
    h *= 1099511628211ull;
  }
  char text[48];
  std::snprintf(text, sizeof text, "%zu %016llx", bytes.size(),
                static_cast<unsigned long long>(h));
  return text;
}

// Station of a station row of the log (114 columns), 0 for another line.
inline int row_station(const std::string& line) {
  if (line.size() != 114 || line.compare(0, 5, "   NX") == 0) return 0;
  return std::stoi(line.substr(0, 5));
}

// Today's log against the earlier one, run by run.
inline void compare_logs(const std::string& now_path, const std::string& before_path,
                  const std::vector<Mended>& mended) {
  const auto now = runs_of(read_lines(now_path));
  const auto before = runs_of(read_lines(before_path));
  ASSERT_FALSE(before.empty()) << before_path;
  ASSERT_EQ(now.size(), before.size());
  for (std::size_t run = 0; run < now.size(); ++run) {
    SCOPED_TRACE("surface run " + std::to_string(run));
    int from = 0;
    for (const Mended& m : mended)
      if (m.run == static_cast<int>(run)) from = m.station;
    if (from == 0) {
      EXPECT_EQ(now[run], before[run]);
      continue;
    }
    // Every line up to the row of the mended station is the same, and that
    // row differs (what follows may run further than the earlier march,
    // which may have stopped).
    std::size_t n = 0;
    for (; n < before[run].size() && row_station(before[run][n]) < from; ++n) {
      ASSERT_LT(n, now[run].size());
      EXPECT_EQ(now[run][n], before[run][n]) << "line " << n + 1;
    }
    ASSERT_LT(n, now[run].size());
    ASSERT_EQ(row_station(before[run][n]), from);
    EXPECT_NE(now[run][n], before[run][n]) << "the row of station " << from;
  }
}

}  // namespace sorvane::testing

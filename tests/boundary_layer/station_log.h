// The station log of the boundary layer as the tests read it back: the
// fixed-column station rows, per surface in the order of the log, with the
// stations whose rows show a stand-in (a station without a solution), and
// the "k_iter > k_iterMax" records of standard output.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace sorvane::testing {

// One station row: "(i5,7e12.5,5i5,2e15.5)" on the log, "(i5,7e12.5,5i5)"
// on standard output.
struct LogRow {
  int i = 0;
  double x = 0, ue = 0, me = 0, d1 = 0, rov = 0, cf = 0, dumax = 0;
  int jumax = 0, kiter = 0, np = 0, ninv = 0, ktbl = 0;
};

// Parses a station row of the log (114 characters); false for any other
// line. A field that is not a number (asterisks, "nan") throws.
inline bool parse_row(const std::string& line, LogRow* r) {
  if (line.size() != 114 || line.compare(0, 5, "   NX") == 0) return false;
  auto real = [&](int n) { return std::stod(line.substr(5 + 12 * n, 12)); };
  auto integer = [&](int n) { return std::stoi(line.substr(89 + 5 * n, 5)); };
  r->i = std::stoi(line.substr(0, 5));
  double* reals[] = {&r->x, &r->ue, &r->me, &r->d1, &r->rov, &r->cf, &r->dumax};
  int* integers[] = {&r->jumax, &r->kiter, &r->np, &r->ninv, &r->ktbl};
  for (int n = 0; n < 7; ++n) *reals[n] = real(n);
  for (int n = 0; n < 5; ++n) *integers[n] = integer(n);
  return true;
}

// Every station row of a log file.
inline std::vector<LogRow> log_rows(const std::string& path) {
  std::vector<LogRow> rows;
  for (const std::string& line : read_lines(path)) {
    LogRow r;
    if (parse_row(line, &r)) rows.push_back(r);
  }
  return rows;
}

// The rows of one surface run in the log, and the stations marked as not
// solved (" Station N not solved: ..." after its row).
struct SurfaceLog {
  std::vector<LogRow> rows;
  std::set<int> not_solved;
};

inline std::vector<SurfaceLog> surface_logs(const std::string& path) {
  std::vector<SurfaceLog> out;
  for (const std::string& line : read_lines(path)) {
    if (line.rfind("Upper surface", 0) == 0 || line.rfind("Lower surface", 0) == 0) {
      out.emplace_back();
      continue;
    }
    if (out.empty()) continue;
    LogRow r;
    int i = 0;
    if (parse_row(line, &r)) {
      out.back().rows.push_back(r);
    } else if (std::sscanf(line.c_str(), " Station %d not solved:", &i) == 1) {
      out.back().not_solved.insert(i);
    }
  }
  return out;
}

// A "k_iter > k_iterMax" record on standard output.
struct PassLimitRecord {
  int it = 0, i = 0;
  double x = 0, ue = 0, dumax = 0;
};

inline std::vector<PassLimitRecord> pass_limit_records(const std::string& text) {
  std::vector<PassLimitRecord> records;
  for (const std::string& line : split_lines(text)) {
    PassLimitRecord p;
    if (std::sscanf(line.c_str(), " k_iter > k_iterMax IT=%d NX=%d X=%lf UE=%lf %lf", &p.it,
                    &p.i, &p.x, &p.ue, &p.dumax) == 5)
      records.push_back(p);
  }
  return records;
}

}  // namespace sorvane::testing

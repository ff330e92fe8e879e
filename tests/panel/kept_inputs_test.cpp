// The geometry files of tests/data/fuzz/ (the fuzzer's seeds, and every input
// it found faulty) are loaded in the test process, so that the sanitizer
// build checks them too: each either solves to finite numbers, fails with
// the solution's message, or is refused with the reader's.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> kept(const std::string& folder) {
  return testing::geometry_files("tests/data/" + folder);
}

std::string solution_message() {
  const auto& m = state().SOLUTION_MESSAGE;
  return std::string(m.c, m.trimmed_length());
}

// Loads file as in.dat of scratch folder "kept<n>" (short: the reader takes
// 80 characters of path) and solves it when it loads. Returns false when it
// was refused.
bool load_and_solve(const fs::path& file, int n, std::string* refusal) {
  const std::string dir = testing::scratch_dir("kept" + std::to_string(n));
  const std::string path = dir + "/in.dat";
  testing::write_file(path, testing::read_file(file.string()));
  GeoFileRecord record;
  EXPECT_TRUE(make_geo_record(path, record, refusal)) << *refusal;
  const Result loaded = READ_GEOMETRY(record);
  if (!loaded) {
    *refusal = loaded.message;
    return false;
  }
  testing::StdoutCapture quiet;
  FOILPMG();
  text::units().flush_all();
  return true;
}

TEST(KeptInputs, FuzzInputsSolveOrSayWhy) {
  const std::vector<fs::path> files = kept("fuzz");
  ASSERT_FALSE(files.empty());
  int n = 0;
  for (const fs::path& file : files) {
    SCOPED_TRACE(file.filename().string());
    std::string refusal;
    if (!load_and_solve(file, n++, &refusal)) {
      EXPECT_NE(refusal.find("in.dat"), std::string::npos) << refusal;
      continue;
    }
    const ProblemState& s = state();
    if (s.SOLUTION_STATUS != SolutionStatus::kOk) {
      EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
      EXPECT_EQ(solution_message().rfind("Solution failed: ", 0), 0u) << solution_message();
      EXPECT_GT(solution_message().size(), 20u);
      continue;
    }
    for (int k = 1; k <= s.NELEM; ++k)
      for (int i = 1; i <= s.NPANELS(k); ++i)
        ASSERT_TRUE(std::isfinite(s.CP(i, k))) << k << " " << i;
    EXPECT_TRUE(std::isfinite(s.CYS) && std::isfinite(s.CXS) && std::isfinite(s.CMS));
  }
}

}  // namespace
}  // namespace sorvane

// Helpers shared by the test programs.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace sorvane::testing {

// Absolute path of a file in the source tree (e.g. "examples/naca0012.dat").
std::string source_path(const std::string& relative);
// The geometry files (*.dat) of a folder of the source tree (e.g.
// "examples"), in the order of their names.
std::vector<std::filesystem::path> geometry_files(const std::string& relative_folder);
// A fresh, empty scratch directory named after the test, under scratch_root().
std::string scratch_dir(const std::string& name);
// The folder of the scratch directories: short, one per build tree.
std::string scratch_root();
// A fresh scratch directory named prefix + the name of the running test.
std::string test_scratch_dir(const std::string& prefix);
// Whole file as text ("" when missing).
std::string read_file(const std::string& path);
std::vector<std::string> read_lines(const std::string& path);
// The lines of text, each ended by '\n' (text after the last one is not a
// line).
std::vector<std::string> split_lines(const std::string& text);
void write_file(const std::string& path, const std::string& text);
// How often what stands in text (overlapping places counted).
int count_of(const std::string& text, const std::string& what);

// Runs the solve_geometry test driver (the program SORVANE_DRIVER names)
// with the shell arguments args inside dir, standard output and error to
// dir's stdout.txt and stderr.txt. Returns its exit status (-1 when it did
// not exit).
int run_solve_geometry(const std::string& dir, const std::string& args);
// Whether SORVANE_DRIVER names the driver (CTest sets it).
bool have_solve_geometry();

// Names the instances of a parameterised test by the `name` member of their
// case: the last argument of INSTANTIATE_TEST_SUITE_P.
struct CaseName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& p) const {
    return p.param.name;
  }
};

// A test of a routine that writes one listing: while the test runs, unit
// `unit` is open on `file` in a fresh scratch directory named prefix + the
// test's name.
class ListingTest : public ::testing::Test {
 protected:
  ListingTest(std::string prefix, int unit, std::string file);
  void SetUp() override;
  void TearDown() override;
  // The lines of the listing written so far.
  std::vector<std::string> listing();

  std::string dir_, path_;

 private:
  std::string prefix_, file_;
  int unit_;
};

// Tests of the driver: skipped when SORVANE_DRIVER is not set.
class DriverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!have_solve_geometry()) GTEST_SKIP() << "SORVANE_DRIVER is not set (run by CTest)";
  }
};

// Captures what is written to standard output (unit 6) while it lives.
class StdoutCapture {
 public:
  StdoutCapture();
  ~StdoutCapture();
  StdoutCapture(const StdoutCapture&) = delete;
  StdoutCapture& operator=(const StdoutCapture&) = delete;
  std::string text();

 private:
  std::FILE* file_;
};

}  // namespace sorvane::testing

// A fixture for tests on solved example files: every test runs in a scratch
// directory of its own (prefix + the test's name) with the solver's records
// for standard output going to a temporary file, and solve() copies an
// example file there, loads and solves it.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>

#include "solver/text/units.h"
#include "tests/load_and_solve.h"
#include "tests/test_support.h"

namespace sorvane::testing {

class SolvedExampleTest : public ::testing::Test {
 protected:
  explicit SolvedExampleTest(std::string prefix) : prefix_(std::move(prefix)) {}

  void SetUp() override {
    dir_ = test_scratch_dir(prefix_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    listing_ = std::tmpfile();  // the solver's standard-output records
    text::units().redirect_stdout(listing_);
  }
  void TearDown() override {
    text::units().redirect_stdout(nullptr);
    if (listing_) std::fclose(listing_);
    text::units().close_all();
    std::filesystem::current_path(old_);
  }
  // Copies examples/name into the scratch directory, loads and solves it.
  void solve(const std::string& name) {
    std::filesystem::copy_file(source_path("examples/" + name), name);
    ASSERT_EQ(load_and_solve(name), "");
  }

  std::string dir_;
  std::filesystem::path old_;
  std::FILE* listing_ = nullptr;

 private:
  std::string prefix_;
};

}  // namespace sorvane::testing

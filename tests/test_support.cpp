#include "tests/test_support.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <utility>

#include "solver/text/units.h"

namespace sorvane::testing {

std::string source_path(const std::string& relative) {
  return std::string(SORVANE_SOURCE_DIR) + "/" + relative;
}

std::vector<std::filesystem::path> geometry_files(const std::string& relative_folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& e : std::filesystem::directory_iterator(source_path(relative_folder)))
    if (e.path().extension() == ".dat") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

// The scratch directories live under a short root: the geometry reader takes
// paths of at most 80 characters, which a deep checkout's build tree would
// already use up. The root is named after the build tree, so that two builds
// (and two checkouts) never share it.
std::string scratch_root() {
  namespace fs = std::filesystem;
  char tag[32];
  std::snprintf(tag, sizeof tag, "sorvane-%016zx",
                std::hash<std::string>{}(std::string(SORVANE_BINARY_DIR)));
  return (fs::temp_directory_path() / tag).string();
}

std::string scratch_dir(const std::string& name) {
  namespace fs = std::filesystem;
  fs::path dir = fs::path(scratch_root()) / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
}

std::string test_scratch_dir(const std::string& prefix) {
  return scratch_dir(prefix + ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

bool have_solve_geometry() { return std::getenv("SORVANE_DRIVER") != nullptr; }

int run_solve_geometry(const std::string& dir, const std::string& args) {
  const char* driver = std::getenv("SORVANE_DRIVER");
  const std::string cmd =
      "cd '" + dir + "' && '" + driver + "' " + args + " >stdout.txt 2>stderr.txt";
  const int rc = std::system(cmd.c_str());
  return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

std::vector<std::string> read_lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) lines.push_back(line);
  return lines;
}

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t b = 0;
  for (std::size_t e; (e = text.find('\n', b)) != std::string::npos; b = e + 1)
    lines.push_back(text.substr(b, e - b));
  return lines;
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

int count_of(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

ListingTest::ListingTest(std::string prefix, int unit, std::string file)
    : prefix_(std::move(prefix)), file_(std::move(file)), unit_(unit) {}

void ListingTest::SetUp() {
  dir_ = test_scratch_dir(prefix_);
  path_ = dir_ + "/" + file_;
  std::string err;
  ASSERT_TRUE(text::units().open(unit_, path_, &err)) << err;
}

void ListingTest::TearDown() { text::units().close(unit_); }

std::vector<std::string> ListingTest::listing() {
  text::units().flush_all();
  return read_lines(path_);
}

StdoutCapture::StdoutCapture() : file_(std::tmpfile()) {
  text::units().redirect_stdout(file_);
}

StdoutCapture::~StdoutCapture() {
  text::units().redirect_stdout(nullptr);
  std::fclose(file_);
}

std::string StdoutCapture::text() {
  std::fflush(file_);
  std::rewind(file_);
  std::string s;
  char buf[512];
  std::size_t got;
  while ((got = std::fread(buf, 1, sizeof buf, file_)) > 0) s.append(buf, got);
  return s;
}

}  // namespace sorvane::testing

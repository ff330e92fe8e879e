#include "tests/test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "solver/text/units.h"

namespace sorvane::testing {

std::string source_path(const std::string& relative) {
  return std::string(SORVANE_SOURCE_DIR) + "/" + relative;
}

std::string scratch_dir(const std::string& name) {
  namespace fs = std::filesystem;
  fs::path dir = fs::path(SORVANE_BINARY_DIR) / "test-scratch" / name;
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir.string();
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

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
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

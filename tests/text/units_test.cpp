// Numbered listing units writing into files of a scratch directory.
#include "solver/text/units.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "tests/test_support.h"

namespace sorvane::text {
namespace {

using sorvane::testing::read_file;
using sorvane::testing::scratch_dir;

TEST(Units, OpenWriteAppendReopenTruncates) {
  const std::string dir = scratch_dir("units_open");
  const std::string path = dir + "/wing.out";
  static const Format f("(I3)");
  Units u;
  std::string error;
  ASSERT_TRUE(u.open(10, path, &error)) << error;
  EXPECT_TRUE(u.is_open(10));
  EXPECT_EQ(u.path(10), path);
  u.write(10, f, {1});
  u.write(10, f, {2});
  u.flush_all();
  EXPECT_EQ(read_file(path), "  1\n  2\n");

  // open_keep on the same path keeps appending.
  ASSERT_TRUE(u.open_keep(10, path, &error)) << error;
  u.write(10, f, {3});
  u.write_free(10, {"x", 4});
  u.write_text(10, "text\n");
  u.flush_all();
  EXPECT_EQ(read_file(path), "  1\n  2\n  3\nx 4\ntext\n");

  // open replaces the earlier content.
  ASSERT_TRUE(u.open(10, path, &error)) << error;
  u.write(10, f, {5});
  u.close(10);
  EXPECT_EQ(read_file(path), "  5\n");

  // open_keep on another path moves the unit there.
  const std::string other = dir + "/wing.cpf";
  ASSERT_TRUE(u.open(11, path, &error));
  ASSERT_TRUE(u.open_keep(11, other, &error)) << error;
  u.write(11, f, {6});
  u.close_all();
  EXPECT_EQ(read_file(other), "  6\n");
  EXPECT_EQ(read_file(path), "");
}

TEST(Units, FailureNamesTheFileAndTheReason) {
  const std::string dir = scratch_dir("units_fail");
  const std::string path = dir + "/missing/wing.out";
  Units u;
  std::string error;
  EXPECT_FALSE(u.open(10, path, &error));
  EXPECT_NE(error.find(path), std::string::npos) << error;
  EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
  EXPECT_FALSE(u.is_open(10));
  EXPECT_FALSE(u.open(Units::kStdout, dir + "/x.out", &error));
  EXPECT_FALSE(u.open(-1, dir + "/x.out", &error));
  EXPECT_FALSE(u.open(200, dir + "/x.out", nullptr));
}

TEST(Units, ClosedUnitSwallowsWrites) {
  const std::string dir = scratch_dir("units_closed");
  const std::string path = dir + "/wing.sum";
  static const Format f("(I3)");
  Units u;
  std::string error;
  ASSERT_TRUE(u.open(12, path, &error)) << error;
  u.write(12, f, {1});
  u.close(12);
  EXPECT_FALSE(u.is_open(12));
  EXPECT_EQ(u.path(12), "");
  u.write(12, f, {2});
  u.write_free(12, {3});
  u.write_text(12, "lost\n");
  u.write(99, f, {4});
  u.write(-5, f, {4});
  u.write(1000, f, {4});
  u.flush_all();
  EXPECT_EQ(read_file(path), "  1\n");
}

TEST(Units, StandardOutputCanBeRedirected) {
  const std::string dir = scratch_dir("units_stdout");
  const std::string path = dir + "/std.txt";
  std::FILE* f = std::fopen(path.c_str(), "w");
  ASSERT_NE(f, nullptr);
  static const Format heading("(/3X,10HKI GT 10*L,/)");
  Units u;
  EXPECT_TRUE(u.is_open(Units::kStdout));
  u.redirect_stdout(f);
  u.write(Units::kStdout, heading, {});
  u.flush_all();
  u.redirect_stdout(nullptr);
  std::fclose(f);
  EXPECT_EQ(read_file(path), "\n   KI GT 10*L\n\n");
}

TEST(Units, ProcessWideTableIsOne) { EXPECT_EQ(&units(), &units()); }

}  // namespace
}  // namespace sorvane::text

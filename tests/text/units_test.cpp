// Numbered listing units writing into files of a scratch directory.
#include "solver/text/units.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

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
  EXPECT_TRUE(u.failure_messages().empty());
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

// A unit on a device that is always full. A record larger than the stream's
// buffer fails in the write itself, a small one only when the buffer is
// passed on: at the flush, or at the close. Each way the first failure is
// kept once, with the file's name and the system's reason, and the unit
// takes no more records.
TEST(UnitFailures, DeviceFullAtTheWriteTheFlushOrTheClose) {
  enum class Step { kWrite, kFlush, kClose };
  const struct {
    const char* name;
    std::size_t bytes;
    Step step;
  } cases[] = {{"write", 1 << 16, Step::kWrite},
               {"flush", 10, Step::kFlush},
               {"close", 10, Step::kClose}};
  const std::vector<std::string> lost = {
      "cannot write the listing /dev/full: No space left on device"};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Units u;
    std::string error;
    ASSERT_TRUE(u.open(11, "/dev/full", &error)) << error;
    u.write_text(11, std::string(c.bytes - 1, 'x') + "\n");
    if (c.step == Step::kFlush) u.flush_all();
    if (c.step == Step::kClose) u.close(11);
    EXPECT_EQ(u.failure_messages(), lost);
    EXPECT_TRUE(u.failed(11));
    EXPECT_FALSE(u.failed(12));
    static const Format f("(I5)");
    for (int i = 0; i < 3; ++i) {
      u.write(11, f, {i});
      u.write_free(11, {i});
      u.flush_all();
    }
    u.close_all();
    EXPECT_EQ(u.failure_messages(), lost);
  }
}

// Standard output is a listing too (the station log goes there).
TEST(UnitFailures, StandardOutputOnAFullDevice) {
  std::FILE* full = std::fopen("/dev/full", "w");
  ASSERT_NE(full, nullptr);
  Units u;
  u.redirect_stdout(full);
  u.write_text(Units::kStdout, "station log\n");
  u.flush_all();
  u.write_text(Units::kStdout, "more\n");
  u.flush_all();
  const std::vector<std::string> lost = {"cannot write standard output: No space left on device"};
  EXPECT_EQ(u.failure_messages(), lost);
  // Another stream takes records again; the loss on the first one stays.
  const std::string path = scratch_dir("units_stdout_full") + "/std.txt";
  std::FILE* other = std::fopen(path.c_str(), "w");
  ASSERT_NE(other, nullptr);
  u.redirect_stdout(other);
  u.write_text(Units::kStdout, "kept\n");
  u.flush_all();
  EXPECT_EQ(read_file(path), "kept\n");
  EXPECT_EQ(u.failure_messages(), lost);
  u.redirect_stdout(nullptr);
  std::fclose(other);
  std::fclose(full);
}

// A file-size limit (RLIMIT_FSIZE) with SIGXFSZ ignored, in a child process:
// the write that crosses the limit fails with "File too large", the file
// ends at the limit, and the records after it are dropped even once the
// limit is lifted, so that the listing is cut and has no hole. The child
// writes what the unit kept into a report file.
TEST(UnitFailures, FileSizeLimitInAChildProcess) {
  const std::string dir = scratch_dir("units_fsize");
  const std::string path = dir + "/wing.out", report = dir + "/report.txt";
  constexpr rlim_t kLimit = 4096;
  static const Format row("(I5,8F15.8)");
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    ::getrlimit(RLIMIT_FSIZE, &r);
    const rlimit limited{kLimit, r.rlim_max};
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0) ::_exit(2);
    Units u;
    std::string error;
    if (!u.open(12, path, &error)) ::_exit(3);
    for (int i = 1; i <= 200; ++i) u.write(12, row, {i, 0.5 * i, -0.25});
    u.flush_all();
    ::setrlimit(RLIMIT_FSIZE, &r);
    for (int i = 201; i <= 210; ++i) u.write(12, row, {i, 0.5 * i, -0.25});
    u.close_all();
    std::FILE* out = std::fopen(report.c_str(), "w");
    if (!out) ::_exit(4);
    for (const std::string& m : u.failure_messages()) std::fprintf(out, "%s\n", m.c_str());
    ::_exit(std::fclose(out) == 0 ? 0 : 5);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(read_file(report), "cannot write the listing " + path + ": File too large\n");
  std::string full;
  for (int i = 1; i <= 200; ++i) row.write(full, {i, 0.5 * i, -0.25});
  ASSERT_GT(full.size(), kLimit);
  EXPECT_EQ(read_file(path), full.substr(0, kLimit));
}

// A listing opened during a run (the similarity tables, the smoothing
// table) that cannot be created is kept as a failure and not tried again on
// that path; a fresh open, as a new load makes, starts the file anew. The
// reader's own open reports to its caller and keeps nothing.
TEST(UnitFailures, ListingThatCannotBeCreatedDuringARun) {
  const std::string dir = scratch_dir("units_open_keep");
  const std::string path = dir + "/later/init2d.OUT";
  Units u;
  std::string error;
  EXPECT_FALSE(u.open_keep(169, path, &error));
  const std::vector<std::string> lost = {"cannot write the listing " + path + ": " +
                                         std::strerror(ENOENT)};
  EXPECT_EQ(u.failure_messages(), lost);
  std::filesystem::create_directory(dir + "/later");
  EXPECT_FALSE(u.open_keep(169, path, &error));
  EXPECT_NE(error.find(std::strerror(ENOENT)), std::string::npos) << error;
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(u.failure_messages(), lost);

  ASSERT_TRUE(u.open(169, path, &error)) << error;
  EXPECT_TRUE(u.failure_messages().empty());
  EXPECT_FALSE(u.open(11, dir + "/missing/wing.out", &error));
  EXPECT_TRUE(u.failure_messages().empty());

  // forget_failures lets a failed unit take records again.
  ASSERT_TRUE(u.open(11, "/dev/full", &error));
  u.write_text(11, "x\n");
  u.flush_all();
  EXPECT_TRUE(u.failed(11));
  u.forget_failures();
  EXPECT_TRUE(u.failure_messages().empty());
  u.close_all();
}

}  // namespace
}  // namespace sorvane::text

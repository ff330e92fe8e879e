// Standard descriptors closed when a program starts: each closed one of 0, 1
// and 2 gets the null device, the open ones stay as they were, a file opened
// afterwards gets a descriptor above 2, and a standard output found closed
// is reported as lost by the listing units at its first record. Each case
// runs in a child process that closes its descriptors first.
#include "solver/text/standard_streams.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane::text {
namespace {

using sorvane::testing::read_file;
using sorvane::testing::scratch_dir;

struct Identity {
  dev_t dev = 0;
  ino_t ino = 0;
  dev_t rdev = 0;
  bool open = false;
};

Identity identity(int fd) {
  struct stat st {};
  Identity id;
  if (::fstat(fd, &st) != 0) return id;
  id = {st.st_dev, st.st_ino, st.st_rdev, true};
  return id;
}

// In the child: descriptor fd as the report names it: "null" (the null
// device), "kept" (the file it had before), or what else it is.
std::string describe(int fd, const Identity& before, const Identity& null_device) {
  const Identity now = identity(fd);
  if (!now.open) return "closed";
  if (now.rdev == null_device.rdev && now.ino == null_device.ino) return "null";
  if (before.open && now.dev == before.dev && now.ino == before.ino) return "kept";
  return "other";
}

struct Case {
  const char* name;
  std::vector<int> closed;  // descriptors the child closes before the call
  const char* report;       // what the child finds
};

TEST(StandardDescriptors, ClosedOnesGetTheNullDevice) {
  const Case cases[] = {
      {"none", {}, "0 kept 1 kept 2 kept; closed ---; next >2; lost: none\n"},
      {"stdin", {0}, "0 null 1 kept 2 kept; closed x--; next >2; lost: none\n"},
      {"stdout", {1}, "0 kept 1 null 2 kept; closed -x-; next >2; lost: cannot write standard "
                      "output: Bad file descriptor\n"},
      {"stderr", {2}, "0 kept 1 kept 2 null; closed --x; next >2; lost: none\n"},
      {"stdout and stderr", {1, 2}, "0 kept 1 null 2 null; closed -xx; next >2; lost: cannot "
                                    "write standard output: Bad file descriptor\n"},
      {"all three", {0, 1, 2}, "0 null 1 null 2 null; closed xxx; next >2; lost: cannot write "
                               "standard output: Bad file descriptor\n"},
  };
  const std::string dir = scratch_dir("std_descriptors");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string base = dir + "/" + std::string(c.name).substr(0, 6);
    const std::string report = base + ".txt", log = base + ".log";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Each standard descriptor on a file of the case (standard output on
      // the log), so that an open one is known by its file, and an open
      // standard output keeps what is written to it.
      const std::string files[3] = {base + ".in", log, base + ".err"};
      for (int fd = 0; fd <= 2; ++fd) {
        const int file = ::open(files[fd].c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
        if (file < 0 || ::dup2(file, fd) != fd) ::_exit(2);
        ::close(file);
      }
      Identity before[3];
      for (int fd = 0; fd <= 2; ++fd) before[fd] = identity(fd);
      for (int fd : c.closed) ::close(fd);
      const StandardDescriptors d = open_closed_standard_descriptors();
      // Only now may the child open files of its own.
      const int probe = ::open("/dev/null", O_RDONLY);
      const Identity null_device = identity(probe);
      std::string text;
      for (int fd = 0; fd <= 2; ++fd)
        text += std::to_string(fd) + " " + describe(fd, before[fd], null_device) +
                (fd < 2 ? " " : "; closed ");
      for (bool closed : d.closedAtStart) text += closed ? "x" : "-";
      text += probe > 2 ? "; next >2" : "; next " + std::to_string(probe);
      // The station log goes to standard output: a closed one loses it.
      units().write_text(Units::kStdout, "station log\n");
      units().flush_all();
      const std::vector<std::string> lost = units().failure_messages();
      text += "; lost: " + (lost.empty() ? std::string("none") : lost.front()) + "\n";
      if (!d.ok()) text += d.error + "\n";
      std::FILE* out = std::fopen(report.c_str(), "w");
      if (!out) ::_exit(3);
      std::fputs(text.c_str(), out);
      ::_exit(std::fclose(out) == 0 ? 0 : 4);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(read_file(report), c.report);
    const bool kept = c.report[std::string(c.report).find("1 ") + 2] == 'k';
    EXPECT_EQ(read_file(log), kept ? "station log\n" : "");
  }
}

}  // namespace
}  // namespace sorvane::text

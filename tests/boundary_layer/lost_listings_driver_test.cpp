// Listings that cannot be written in full, through the solve_geometry test
// driver with --bl on examples/main_flap.dat: a listing on a device that is
// always full, standard output there, a similarity table that cannot be
// created, a file-size limit and full folders. Every loss gives status 5
// and one line per file on standard error, after the run's own messages;
// every file it does not name is complete.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/boundary_layer/bl_cases.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using namespace sorvane::testing;

// Runs the driver with args in the folder dir, in a child process of its
// own, standard output and error into the files out and err; with fsize > 0
// under that file-size limit (RLIMIT_FSIZE) with SIGXFSZ ignored, so that a
// write past the limit fails instead of ending the process; the descriptors
// in `closed` (of 0, 1, 2) closed when it starts. Returns the exit status
// (-1 when it did not exit).
int run_driver(const std::string& dir, const std::vector<std::string>& args,
               const std::string& out, const std::string& err, rlim_t fsize = 0,
               const std::vector<int>& closed = {}) {
  const char* driver = std::getenv("SORVANE_DRIVER");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(driver));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  const pid_t pid = ::fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (o < 0 || e < 0 || ::chdir(dir.c_str()) != 0) ::_exit(120);
    ::dup2(o, 1);
    ::dup2(e, 2);
    if (fsize > 0) {
      std::signal(SIGXFSZ, SIG_IGN);
      rlimit r{};
      ::getrlimit(RLIMIT_FSIZE, &r);
      r.rlim_cur = fsize;
      if (::setrlimit(RLIMIT_FSIZE, &r) != 0) ::_exit(121);
    }
    for (int fd : closed) ::close(fd);
    ::execv(driver, argv.data());
    ::_exit(122);
  }
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The files a --bl run of main_flap.dat writes: the listings beside the
// input (named as the driver names them, from the path it was given) and
// the two in the working folder.
struct Listing {
  std::string shown;  // name in the driver's message
  std::string path;   // where the file is
  std::string name;   // name in the reference run's folder
};
std::vector<Listing> listings(const std::string& input_dir, const std::string& shown_dir,
                              const std::string& work_dir) {
  std::vector<Listing> l;
  for (const char* suffix : {"out", "cpf", "deb", "blf", "sum", "bln"}) {
    const std::string name = std::string("main_flap.") + suffix;
    l.push_back({shown_dir + name, input_dir + "/" + name, name});
  }
  for (const char* name : {"InputBl.out", "init2d.OUT"})
    l.push_back({name, work_dir + "/" + name, name});
  return l;
}

class LostListings : public testing::DriverTest {
 protected:
  void SetUp() override {
    testing::DriverTest::SetUp();
    if (IsSkipped()) return;
    dir = test_scratch_dir("lost_");
    // The listings of an undisturbed run, to compare with.
    reference = dir + "/reference";
    fs::create_directory(reference);
    copy_input(reference);
    ASSERT_EQ(run_driver(reference, {"--bl", "main_flap.dat"}, reference + "/stdout.txt",
                         reference + "/stderr.txt"),
              0)
        << read_file(reference + "/stderr.txt");
  }
  static void copy_input(const std::string& to) {
    fs::copy_file(source_path("examples/main_flap.dat"), to + "/main_flap.dat");
  }
  // Every file the messages name is cut short of the reference (a prefix of
  // it) and every file they do not name is whole; a lost listing's line
  // gives reason. Returns how many listings were named.
  int expect_cut_where_named(const std::vector<Listing>& files, const std::string& err,
                             const std::string& reason) {
    int named = 0;
    for (const Listing& l : files) {
      SCOPED_TRACE(l.path);
      const std::string got = read_file(l.path), whole = read_file(reference + "/" + l.name);
      const bool said =
          err.find("cannot write the listing " + l.shown + ": " + reason + "\n") !=
          std::string::npos;
      named += said;
      EXPECT_EQ(got.size() < whole.size(), said) << err;
      EXPECT_EQ(whole.compare(0, got.size(), got), 0);
    }
    return named;
  }
  std::string dir, reference;
};

// One file lost on its own: each case names exactly its own file, after the
// other files are written in full.
TEST_F(LostListings, OneFileOnAFullDeviceOrUncreatable) {
  const struct {
    const char* name;
    const char* file;  // made a link to /dev/full, or a folder
    bool folder;
    bool to_stdout;    // standard output is /dev/full instead
    const char* line;
  } cases[] = {
      {"blf", "main_flap.blf", false, false,
       "cannot write the listing main_flap.blf: No space left on device\n"},
      {"deb", "main_flap.deb", false, false,
       "cannot write the listing main_flap.deb: No space left on device\n"},
      {"stdout", nullptr, false, true, "cannot write standard output: No space left on device\n"},
      {"init2d", "init2d.OUT", true, false, "cannot write the listing init2d.OUT: Is a directory\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string run = dir + "/" + c.name;
    fs::create_directory(run);
    copy_input(run);
    if (c.file && c.folder) fs::create_directory(run + "/" + c.file);
    if (c.file && !c.folder) fs::create_symlink("/dev/full", run + "/" + c.file);
    const std::string out = c.to_stdout ? "/dev/full" : run + "/stdout.txt";
    EXPECT_EQ(run_driver(run, {"--bl", "main_flap.dat"}, out, run + "/stderr.txt"), 5);
    EXPECT_EQ(read_file(run + "/stderr.txt"), c.line);
    for (const Listing& l : listings(run, "", run)) {
      if (c.file && l.name == c.file) continue;
      EXPECT_TRUE(read_file(l.path) == read_file(reference + "/" + l.name)) << l.name;
    }
    if (!c.to_stdout) {
      EXPECT_TRUE(read_file(run + "/stdout.txt") == read_file(reference + "/stdout.txt"));
    }
  }
}

// Standard descriptors closed when the driver starts (">&-", or a launcher
// that closes them): no listing takes one of them, so every listing, the
// debug listing among them, is the same as an undisturbed run's. A closed
// standard output has lost the station log and the summary line: status 5
// and its one line, as for a standard output on a full device.
TEST_F(LostListings, ClosedStandardDescriptorsLeaveTheListingsWhole) {
  const struct {
    const char* name;
    std::vector<int> closed;
    int status;
    const char* line;
  } cases[] = {
      {"stdout", {1}, 5, "cannot write standard output: Bad file descriptor\n"},
      {"stderr", {2}, 0, nullptr},
      {"stdin", {0}, 0, ""},
      {"all", {0, 1, 2}, 5, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string run = dir + "/closed_" + c.name;
    fs::create_directory(run);
    copy_input(run);
    EXPECT_EQ(run_driver(run, {"--bl", "main_flap.dat"}, run + "/stdout.txt",
                         run + "/stderr.txt", 0, c.closed),
              c.status);
    if (c.line) {
      EXPECT_EQ(read_file(run + "/stderr.txt"), c.line);
    }
    for (const Listing& l : listings(run, "", run))
      EXPECT_TRUE(read_file(l.path) == read_file(reference + "/" + l.name)) << l.name;
    EXPECT_EQ(read_file(run + "/main_flap.deb").size(),
              read_file(reference + "/main_flap.deb").size());
  }
}

// An existing read-only "init2d.OUT" is not written and is named; the rights
// of root ignore the read-only bit, so there the test cannot run.
TEST_F(LostListings, ReadOnlyTableFile) {
  const std::string run = dir + "/readonly";
  fs::create_directory(run);
  copy_input(run);
  write_file(run + "/init2d.OUT", "earlier tables\n");
  fs::permissions(run + "/init2d.OUT", fs::perms::owner_read | fs::perms::group_read);
  if (::access((run + "/init2d.OUT").c_str(), W_OK) == 0)
    GTEST_SKIP() << "running with rights that ignore a read-only file";
  EXPECT_EQ(run_driver(run, {"--bl", "main_flap.dat"}, run + "/stdout.txt", run + "/stderr.txt"),
            5);
  EXPECT_EQ(read_file(run + "/stderr.txt"),
            "cannot write the listing init2d.OUT: Permission denied\n");
  EXPECT_EQ(read_file(run + "/init2d.OUT"), "earlier tables\n");
}

// A file-size limit of 40 KiB: the files that would grow past it end at
// it, each named once with "File too large"; the smaller ones are whole.
TEST_F(LostListings, FileSizeLimitInAChildProcess) {
  constexpr rlim_t kLimit = 40960;
  const std::string run = dir + "/limited";
  fs::create_directory(run);
  copy_input(run);
  EXPECT_EQ(run_driver(run, {"--bl", "main_flap.dat"}, dir + "/stdout.txt", dir + "/stderr.txt",
                       kLimit),
            5);
  const std::string err = read_file(dir + "/stderr.txt");
  const std::vector<Listing> files = listings(run, "", run);
  const int named = expect_cut_where_named(files, err, "File too large");
  EXPECT_GE(named, 1);
  EXPECT_EQ(count_of(err, "\n"), named) << err;
  for (const Listing& l : files) {
    if (read_file(reference + "/" + l.name).size() > kLimit) {
      EXPECT_EQ(fs::file_size(l.path), kLimit) << l.name;
    }
  }
}

// The earlier statuses keep their messages and give way to 5: a failed
// solution (status 3 before) and a refused split (status 4 before) with
// their main or station log on a full device.
TEST_F(LostListings, LossGoesBeforeAFailedSolutionOrAStoppedSurface) {
  const std::string failing = dir + "/failing";
  fs::create_directory(failing);
  std::string text = read_file(source_path("examples/naca0012.dat"));
  std::size_t line4 = 0;
  for (int n = 0; n < 3; ++n) line4 = text.find('\n', line4) + 1;
  text.replace(line4, text.find('\n', line4) - line4,
               "  60.00000   0.00000  60.00000   1.00000   0.25000   0.00000");
  write_file(failing + "/angle.dat", text);
  fs::create_symlink("/dev/full", failing + "/angle.out");
  EXPECT_EQ(run_driver(failing, {"angle.dat"}, failing + "/stdout.txt", failing + "/stderr.txt"),
            5);
  const std::vector<std::string> said = split_lines(read_file(failing + "/stderr.txt"));
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[0].rfind("Solution failed: ", 0), 0u) << said[0];
  EXPECT_NE(said[0].find("effective angle"), std::string::npos) << said[0];
  EXPECT_EQ(said[1], "cannot write the listing angle.out: No space left on device");

  const std::string coarse = dir + "/coarse";
  fs::create_directory(coarse);
  testing::NacaCase c;
  c.alpha = 20;
  c.npanels = 4;
  write_file(coarse + "/coarse.dat", testing::naca_geometry(c));
  fs::create_symlink("/dev/full", coarse + "/coarse.blf");
  EXPECT_EQ(run_driver(coarse, {"--bl", "coarse.dat"}, coarse + "/stdout.txt",
                       coarse + "/stderr.txt"),
            5);
  const std::vector<std::string> lines = split_lines(read_file(coarse + "/stderr.txt"));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind("Element 1, lower surface: ", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("Element 1, upper surface", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2], "cannot write the listing coarse.blf: No space left on device");
}

// A small tmpfs (64 KiB) mounted on a folder for the test; unmounted when
// the test ends, however it ends.
class SmallTmpfs {
 public:
  explicit SmallTmpfs(const std::string& dir) : dir_(dir) {
    fs::create_directories(dir);
    if (::mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=64k") == 0)
      mounted_ = true;
    else
      why_ = std::strerror(errno);
  }
  ~SmallTmpfs() {
    if (mounted_) ::umount2(dir_.c_str(), MNT_DETACH);
  }
  SmallTmpfs(const SmallTmpfs&) = delete;
  SmallTmpfs& operator=(const SmallTmpfs&) = delete;
  bool mounted() const { return mounted_; }
  const std::string& why() const { return why_; }

 private:
  std::string dir_, why_;
  bool mounted_ = false;
};

// The folder of the listings and the working folder each on a full 64 KiB
// tmpfs: every file that ran out of room is named with "No space left on
// device", the others are whole.
TEST_F(LostListings, FullFolders) {
  const std::string input = dir + "/lst", work = dir + "/work";
  SmallTmpfs listing_fs(input);
  if (!listing_fs.mounted())
    GTEST_SKIP() << "cannot mount a tmpfs here (" << listing_fs.why()
                 << "): mounting needs root or CAP_SYS_ADMIN";
  SmallTmpfs work_fs(work);
  if (!work_fs.mounted()) GTEST_SKIP() << "cannot mount a second tmpfs (" << work_fs.why() << ")";
  copy_input(input);
  EXPECT_EQ(run_driver(work, {"--bl", "../lst/main_flap.dat"}, dir + "/stdout.txt",
                       dir + "/stderr.txt"),
            5);
  const std::string err = read_file(dir + "/stderr.txt");
  const std::vector<Listing> files = listings(input, "../lst/", work);
  const int named = expect_cut_where_named(files, err, "No space left on device");
  EXPECT_EQ(count_of(err, "\n"), named) << err;
  // Both folders ran out of room.
  EXPECT_NE(err.find("cannot write the listing ../lst/"), std::string::npos) << err;
  EXPECT_TRUE(err.find("InputBl.out") != std::string::npos ||
              err.find("init2d.OUT") != std::string::npos)
      << err;
  // Standard output is whole; its summary line names the input as given.
  std::string out = read_file(dir + "/stdout.txt");
  const std::size_t given = out.find("../lst/main_flap.dat: CYS");
  ASSERT_NE(given, std::string::npos);
  out.erase(given, 7);
  EXPECT_TRUE(out == read_file(reference + "/stdout.txt"));
}

}  // namespace
}  // namespace sorvane

// The solve_geometry test driver: exit status and messages, and the listings
// of every example written beside the input.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/example_copy.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using namespace sorvane::testing;

// Runs the driver on file inside dir; standard output and error to files.
int run_driver(const std::string& dir, const std::string& file) {
  return testing::run_solve_geometry(dir, "'" + file + "'");
}

class SolveGeometryDriver : public testing::DriverTest {};

TEST_F(SolveGeometryDriver, RefusesABadFileWithStatus2) {
  const std::string dir = scratch_dir("driver_bad");
  write_file(dir + "/bad.dat",
             "title\n   0.00000   9.00000   0.00500   0.00000   0.00000   0.00000   0.00000\n");
  EXPECT_EQ(run_driver(dir, "bad.dat"), 2);
  EXPECT_NE(read_file(dir + "/stderr.txt")
                .find("bad.dat, line 2 (record 1): the element count is 9; it must be 1 to 5"),
            std::string::npos)
      << read_file(dir + "/stderr.txt");
  EXPECT_FALSE(fs::exists(dir + "/bad.out"));

  EXPECT_EQ(run_driver(dir, "missing.dat"), 2);
  EXPECT_NE(read_file(dir + "/stderr.txt").find("missing.dat: cannot open the geometry file"),
            std::string::npos);

  const std::string text = read_file(testing::source_path("examples/naca0012.dat"));
  write_file(dir + "/wing.out", text);
  EXPECT_EQ(run_driver(dir, "wing.out"), 2);
  EXPECT_EQ(read_file(dir + "/wing.out"), text);
}

// A file that loads but cannot be solved (no effective angle at alpha 60,
// sweep 60): status 3 and the solution's message.
TEST_F(SolveGeometryDriver, FailedSolutionGivesStatus3) {
  const std::string dir = scratch_dir("driver_unsolvable");
  std::string text = read_file(testing::source_path("examples/naca0012.dat"));
  std::size_t line4 = 0;
  for (int n = 0; n < 3; ++n) line4 = text.find('\n', line4) + 1;
  text.replace(line4, text.find('\n', line4) - line4,
               "  60.00000   0.00000  60.00000   1.00000   0.25000   0.00000");
  write_file(dir + "/angle.dat", text);
  EXPECT_EQ(run_driver(dir, "angle.dat"), 3);
  EXPECT_NE(read_file(dir + "/stderr.txt").find("effective angle"), std::string::npos)
      << read_file(dir + "/stderr.txt");
  EXPECT_TRUE(fs::exists(dir + "/angle.out"));  // loaded: the listings are open
}

// A compressibility correction past its pole or below vacuum is no
// solution (status 3, one line naming the correction); locally supersonic
// flow is a valid solution with one remark on standard error, whole (the
// remark of a swept flap configuration, 259 characters, once lost its end);
// a subsonic corrected solution says nothing there.
TEST_F(SolveGeometryDriver, CompressibilityCorrectionOutOfRange) {
  struct Case {
    const char* name;
    const char* file;  // of examples/
    const char *alpha, *mach, *sweep, *icompr;
    int status;
    const char* says;  // the one line on standard error ("" for none)
    const char* ends;  // how that line ends
  };
  const Case cases[] = {
      {"pole", "naca0012.dat", "10.00000", "0.50000", "0.00000", "3.00000", 3,
       "Solution failed: element 1: the Laitone correction has no value at control point ",
       ", where the correction's denominator reaches 0"},
      {"vacuum", "naca0012.dat", "10.00000", "0.50000", "0.00000", "2.00000", 3,
       "Solution failed: element 1: the Karman-Tsien correction gives Cp ",
       " at Mach 0.5 (a negative absolute pressure)"},
      {"supersonic", "naca0012.dat", "6.00000", "0.50000", "0.00000", "2.00000", 0,
       "Remark: the flow is locally supersonic, where the Karman-Tsien correction", " at Mach 0.5"},
      {"swept, two elements", "main_flap.dat", "0.00000", "0.70000", "30.00000", "1.00000", 0,
       "Remark: the flow is locally supersonic, where the Prandtl-Glauert correction does not "
       "hold: element 1: Cp ",
       " at Mach 0.7 (normal to the sweep of 30 degrees: Mach 0.606218); 2 elements reach below "
       "Cp*"},
      {"subsonic", "naca0012.dat", "2.00000", "0.30000", "0.00000", "3.00000", 0, "", ""},
  };
  const std::string dir = scratch_dir("driver_compressibility");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines =
        read_lines(testing::source_path(std::string("examples/") + c.file));
    set_field(lines[1], 3, c.icompr);
    set_field(lines[3], 0, c.alpha);
    set_field(lines[3], 1, c.mach);
    set_field(lines[3], 2, c.sweep);
    std::string text;
    for (const std::string& l : lines) text += l + "\n";
    write_file(dir + "/wing.dat", text);
    EXPECT_EQ(run_driver(dir, "wing.dat"), c.status);
    const std::string err = read_file(dir + "/stderr.txt");
    if (*c.says == '\0') {
      EXPECT_EQ(err, "");
    } else {
      EXPECT_EQ(err.rfind(c.says, 0), 0u) << err;
      EXPECT_EQ(err.find('\n'), err.size() - 1) << err;  // one line
      const std::string end = std::string(c.ends) + "\n";
      ASSERT_GE(err.size(), end.size()) << err;
      EXPECT_EQ(err.substr(err.size() - end.size()), end) << err;
    }
  }
}

// Inputs whose solution used to "succeed" with meaningless numbers, or fail
// or not depending on the panel count: contours of zero thickness, flat or
// cambered (a singular system whose rounding leaves a tiny pivot: CYS of
// 1e12 with every Cp in asterisks, or a plausible-looking 51 for the camber
// line at 599 panels while 120 panels were refused), and a sweep of 90
// degrees (ordinates divided by cos 90 = 6e-17, every coefficient 0).
TEST_F(SolveGeometryDriver, DegenerateInputsGiveStatus3) {
  struct Case {
    const char* file;
    const char* words;
  };
  const Case cases[] = {
      {"flat_plate_two_rows.dat", "element 1: the contour encloses no area"},
      {"flat_naca0012_599_panels.dat", "element 1: the contour encloses no area"},
      {"camber_line_120_panels.dat", "element 1: the contour encloses no area"},
      {"camber_line_599_panels.dat", "element 1: the contour encloses no area"},
      {"naca0012_sweep_90.dat", "the sweep angle SWEPT = 90 leaves no flow across the sections"},
  };
  const std::string dir = scratch_dir("driver_degenerate");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    fs::copy_file(testing::source_path(std::string("tests/data/degenerate/") + c.file),
                  dir + "/" + c.file);
    EXPECT_EQ(run_driver(dir, c.file), 3) << read_file(dir + "/stdout.txt");
    const std::string err = read_file(dir + "/stderr.txt");
    EXPECT_EQ(err.rfind("Solution failed: ", 0), 0u) << err;
    EXPECT_NE(err.find(c.words), std::string::npos) << err;
    EXPECT_EQ(read_file(dir + "/stdout.txt").find("CYS = "), std::string::npos);
  }
}

TEST_F(SolveGeometryDriver, SolvesEveryExample) {
  const std::string dir = scratch_dir("driver_examples");
  const std::vector<fs::path> examples = geometry_files("examples");
  EXPECT_EQ(examples.size(), 3u);
  for (const fs::path& example : examples) {
    const std::string name = example.filename().string();
    SCOPED_TRACE(name);
    fs::copy_file(example, dir + "/" + name);
    EXPECT_EQ(run_driver(dir, name), 0) << read_file(dir + "/stderr.txt");
    const std::string stem = dir + "/" + example.stem().string();
    EXPECT_FALSE(read_file(stem + ".out").empty());
    EXPECT_TRUE(fs::exists(stem + ".cpf"));
    EXPECT_TRUE(fs::exists(stem + ".deb"));
    EXPECT_NE(read_file(dir + "/stdout.txt").find(name + ": CYS = "), std::string::npos);
  }
}

}  // namespace
}  // namespace sorvane

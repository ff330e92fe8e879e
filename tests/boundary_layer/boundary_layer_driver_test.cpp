// The --bl option of the solve_geometry test driver: every element of a
// solved file is split (one block per element on the debug listing) and both
// of its surfaces are run; a refused split or surface gives status 4 and one
// message line per element or surface on standard error, inputs that no
// surface can run with one line and no split.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/boundary_layer/bl_cases.h"
#include "tests/boundary_layer/earlier_listings.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using namespace sorvane::testing;

class SplitDriver : public testing::DriverTest {};

TEST_F(SplitDriver, SplitsAndRunsEveryElementOfEveryExample) {
  const std::string dir = scratch_dir("split_driver_examples");
  const struct {
    const char* name;
    int elements;
    bool layer_records;  // the file carries the boundary-layer record
  } files[] = {{"naca0012", 1, false}, {"main_flap", 2, true}, {"slat_main_flap", 3, false}};
  const std::string np_refused =
      "The boundary layer needs 2 to 821 points across the layer; the file gives NP = 0.\n";
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    const std::string name = std::string(f.name) + ".dat";
    fs::copy_file(testing::source_path("examples/" + name), dir + "/" + name);
    const std::string err = dir + "/stderr.txt";
    if (f.layer_records) {
      EXPECT_EQ(run_solve_geometry(dir, "--bl " + name), 0) << read_file(err);
      EXPECT_EQ(read_file(err), "");
      EXPECT_EQ(count_of(read_file(dir + "/" + f.name + ".blf"), " The end of b.l. computation\n"),
                2 * f.elements);
    } else {
      // Without the record NP is 0: the run is refused once, before any
      // element is split.
      EXPECT_EQ(run_solve_geometry(dir, "--bl " + name), 4);
      EXPECT_EQ(read_file(err), np_refused);
    }
    EXPECT_NE(read_file(dir + "/stdout.txt").find(name + ": CYS = "), std::string::npos);
    const std::string deb = read_file(dir + "/" + f.name + ".deb");
    const int splits = f.layer_records ? f.elements : 0;
    EXPECT_EQ(count_of(deb, " Output from SXR, start\n"), splits);
    EXPECT_EQ(count_of(deb, " Output from SXR, finish\n"), splits);

    // Without --bl nothing is split.
    EXPECT_EQ(run_solve_geometry(dir, name), 0);
    EXPECT_EQ(count_of(read_file(dir + "/" + f.name + ".deb"), "Output from SXR"), 0);
  }
}

// The listings of examples/main_flap.dat against those an earlier build
// wrote (tests/data/earlier_listings): the debug and profile listings byte
// for byte, the station log too but for the flap's upper surface from
// station 8, where the edge velocity levels off at its first peak and the
// three-point derivative fell steeply (the two-point difference is taken
// there now).
TEST_F(SplitDriver, ExampleListingsKeepTheEarlierBytesUpToTheMendedStation) {
  const std::string dir = scratch_dir("split_driver_earlier");
  fs::copy_file(testing::source_path("examples/main_flap.dat"), dir + "/main_flap.dat");
  ASSERT_EQ(run_solve_geometry(dir, "--bl main_flap.dat"), 0) << read_file(dir + "/stderr.txt");
  const std::string earlier = testing::source_path("tests/data/earlier_listings/main_flap");
  compare_logs(dir + "/main_flap.blf", earlier + ".blf", {{2, 8}});
  EXPECT_EQ("main_flap.deb " + fingerprint(dir + "/main_flap.deb") + "\nmain_flap.bln " +
                fingerprint(dir + "/main_flap.bln") + "\n",
            read_file(earlier + ".dumps"));
}

// Four panels at 20 degrees: the stagnation point lies so far back on the
// lower surface that its list keeps only two stations; the upper surface
// still runs (on four panels its one station has no solution and shows its
// first guess, which its own line says).
TEST_F(SplitDriver, RefusedSplitGivesStatus4) {
  const std::string dir = scratch_dir("split_driver_refused");
  testing::NacaCase c;
  c.alpha = 20;
  c.npanels = 4;
  write_file(dir + "/coarse.dat", testing::naca_geometry(c));
  EXPECT_EQ(run_solve_geometry(dir, "--bl coarse.dat"), 4);
  const std::string err = read_file(dir + "/stderr.txt");
  const std::string split =
      "Element 1, lower surface: the station list has only 2 stations from the "
      "stagnation point, and the boundary layer needs at least 3; its boundary layer is "
      "not computed.\n";
  EXPECT_EQ(err.substr(0, split.size()), split);
  EXPECT_EQ(err.substr(split.size(), 24), "Element 1, upper surface");
  EXPECT_EQ(count_of(err, "\n"), 2);
  EXPECT_NE(read_file(dir + "/coarse.deb").find(" Output from SXR, finish"), std::string::npos);
  EXPECT_EQ(count_of(read_file(dir + "/coarse.blf"), " The end of b.l. computation\n"), 1);
  // The panel solution itself is fine.
  EXPECT_EQ(run_solve_geometry(dir, "coarse.dat"), 0);
}

// "Re mill=" 1e308 in the file: a finite value in millions whose Reynolds
// number overflows. The run is refused in one line before any element is
// split, as "Re mill=" 0 is, instead of every surface failing on its own.
TEST_F(SplitDriver, OverflowingReynoldsNumberIsRefusedInOneLine) {
  const std::string dir = scratch_dir("split_driver_remill");
  std::vector<std::string> lines = read_lines(testing::source_path("examples/main_flap.dat"));
  ASSERT_NE(lines[4].find("REMILL"), std::string::npos);
  lines[5].replace(0, 10, "  1.0e+308");
  std::string text;
  for (const std::string& l : lines) text += l + "\n";
  write_file(dir + "/main_flap.dat", text);
  EXPECT_EQ(run_solve_geometry(dir, "--bl main_flap.dat"), 4);
  EXPECT_EQ(read_file(dir + "/stderr.txt"),
            "The boundary layer needs a finite Reynolds number above 0; Re mill= is 1e+308, whose "
            "Reynolds number (Re mill= times 1e6) is beyond the range of numbers.\n");
  EXPECT_EQ(count_of(read_file(dir + "/main_flap.deb"), "Output from SXR"), 0);
  EXPECT_EQ(read_file(dir + "/main_flap.blf"), "");
}

TEST_F(SplitDriver, UsageAndEarlierStatusesStay) {
  const std::string dir = scratch_dir("split_driver_usage");
  EXPECT_EQ(run_solve_geometry(dir, "--bl"), 1);
  EXPECT_EQ(run_solve_geometry(dir, "--bl a.dat b.dat"), 1);
  EXPECT_EQ(run_solve_geometry(dir, "--xx a.dat"), 1);
  EXPECT_EQ(run_solve_geometry(dir, "--bl missing.dat"), 2);
}

}  // namespace
}  // namespace sorvane

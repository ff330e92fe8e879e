// The boundary-layer listings of the truth cases of the tests against the
// listings an earlier build wrote for them (tests/data/earlier_listings:
// NAME.blf, and NAME.dumps with the sizes and hashes of the debug and
// profile listings): byte for byte, but for the surfaces where today's
// march decides otherwise from a named station on. Those surfaces keep
// every line up to that station; from it on their rows may differ, and the
// row of that station does.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/bl_cases.h"
#include "tests/boundary_layer/earlier_listings.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using namespace sorvane::testing;

struct Case {
  const char* name;
  // Makes the case in dir: its result store and open listings, or a loaded
  // and split geometry file; then every surface run of the case is made.
  std::function<void(const std::string& dir)> make;
  std::vector<int> surfaces;  // surfaces of element 1 that are run
  std::vector<Mended> mended;
  // Also the debug and profile listings (the dumps of stations 162 and
  // 163), by their sizes and hashes in NAME.dumps.
  bool dumps = false;
};

// A flat plate of unit length in the store, its listings in dir.
std::function<void(const std::string&)> plate(int n, double length, double remill, int np,
                                              double xtr,
                                              std::function<void()> edit = nullptr) {
  return [=](const std::string& dir) {
    open_bl_listings(dir);
    flat_plate_store(n, length, remill, np, xtr);
    if (edit) edit();
  };
}

std::function<void(const std::string&)> section(NacaCase c) {
  return [=](const std::string& dir) {
    write_file(dir + "/case.dat", naca_geometry(c));
    ASSERT_EQ(load_and_solve(dir + "/case.dat"), "");
    ASSERT_TRUE(SXR(0).ok);
  };
}

NacaCase naca(double thickness, double alpha, double remill) {
  NacaCase c;
  c.thickness = thickness;
  c.alpha = alpha;
  c.remill = remill;
  return c;
}

void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }

std::vector<Case> cases() {
  NacaCase inverse = naca(0.12, 14, 3);
  inverse.cfsep = 0.5;
  inverse.xtru = inverse.xtrl = 0.02;
  NacaCase reversed = inverse;
  reversed.cfsep = -0.5;
  NacaCase incidence = naca(0.12, 4, 3);
  incidence.npanels = 240;
  return {
      {"blasius", plate(300, 1.0, 0.1, 61, 5.0), {0}, {}, true},
      {"turbulent_plate", plate(300, 1.0, 10.0, 61, 0.01), {0}, {}},
      {"log_plate", plate(100, 1.0, 0.1, 31, 5.0), {0}, {}},
      {"fast_stagnation",
       plate(170, 1.0, 0.1, 31, 5.0,
             [] {
               ProblemState& st = state();
               for (int i = 2; i <= 170; ++i) st.UE(i, 1, 1) = 7e8 * st.S(i, 1, 1);
             }),
       {0},
       {},
       true},
      {"howarth",
       plate(200, 0.2, 0.1, 61, 5.0,
             [] {
               ProblemState& st = state();
               st.CFSEP = 0.5;
               for (int i = 2; i <= 200; ++i) st.UE(i, 1, 1) = 1.0 - st.S(i, 1, 1);
             }),
       {0},
       {}},
      {"naca0006_re01", section(naca(0.06, 0, 0.1)), {0, 1}, {}},
      {"naca0012_re3", section(naca(0.12, 0, 3)), {0, 1}, {}},
      {"naca0012_a4_re3", section(incidence), {0, 1}, {}},
      {"naca0012_a14", section(inverse), {0, 1}, {}},
      // The upper surface's inverse stations whose passes do not settle
      // show stand-ins from the first of them on.
      {"naca0012_a14_reversed", section(reversed), {0, 1}, {{0, 72}}},
      {"naca0004_re05", section(naca(0.04, 0, 0.5)), {0, 1}, {}},
      // At station 5 of the upper surface the edge velocity still rises
      // steeply and peaks, and the three-point derivative said it falls
      // steeply: the layer separated there. With the two-point difference
      // it stays laminar up to station 6.
      {"naca0004_a2_re6", section(naca(0.04, 2, 6)), {0, 1}, {{0, 5}}},
  };
}

class EarlierListings : public ::testing::TestWithParam<Case> {
 protected:
  void TearDown() override { text::units().close_all(); }
  StdoutCapture console;  // the station log on standard output
};

TEST_P(EarlierListings, SameButWhereTheMarchNowDecidesOtherwise) {
  const Case& c = GetParam();
  const std::string dir = scratch_dir(std::string("earlier_") + c.name);
  ASSERT_NO_FATAL_FAILURE(c.make(dir));
  for (const int isurf : c.surfaces) {
    const Result r = FOIL_BL2D(0, isurf);
    (void)r;  // what the run gives is the listing
  }
  text::units().close_all();
  const std::string earlier = source_path("tests/data/earlier_listings/") + c.name;
  compare_logs(dir + "/case.blf", earlier + ".blf", c.mended);
  // The dumps are large; their sizes and hashes stand for them.
  if (c.dumps) {
    EXPECT_EQ("case.deb " + fingerprint(dir + "/case.deb") + "\ncase.bln " +
                  fingerprint(dir + "/case.bln") + "\n",
              read_file(earlier + ".dumps"));
  }
}

INSTANTIATE_TEST_SUITE_P(TruthCases, EarlierListings, ::testing::ValuesIn(cases()),
                         [](const ::testing::TestParamInfo<Case>& p) {
                           return std::string(p.param.name);
                         });

}  // namespace
}  // namespace sorvane

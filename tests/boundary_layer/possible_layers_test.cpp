// Every station the boundary layer shows is one some boundary layer could
// have, whatever the status of the run: on a matrix of real panel solutions
// (symmetric and cambered sections, several incidences, Reynolds numbers
// and panel counts, and thin sections at incidence whose layers separate
// close behind the nose) no row of the station log and no station of the
// result store has a displacement thickness that is not above 0 or exceeds
// a tenth of the chord, a turbulent skin friction above 0.05 in size, an
// edge velocity that is not above 0 or exceeds 1.5 times the largest one of
// the panel solution's surface, or a value that is not a number. And the
// example at higher incidence, where a turbulent layer's skin friction
// falls steeply behind the suction peak, runs to its trailing edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/bl_cases.h"
#include "tests/boundary_layer/station_log.h"
#include "tests/example_copy.h"
#include "tests/load_and_solve.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using namespace sorvane::testing;

// Why a station's values are none that a boundary layer could have; "" when
// they are possible.
std::string impossible(double ue, double d1, double cf, bool turbulent, double chord,
                       double ue_max) {
  char text[160];
  if (!std::isfinite(ue) || !std::isfinite(d1) || !std::isfinite(cf)) {
    std::snprintf(text, sizeof text, "not a number: UE %g D1 %g CF %g", ue, d1, cf);
  } else if (!(d1 > 0) || d1 > 0.1 * chord) {
    std::snprintf(text, sizeof text, "D1 %g", d1);
  } else if (turbulent && std::fabs(cf) > 0.05) {
    std::snprintf(text, sizeof text, "turbulent CF %g", cf);
  } else if (!(ue > 0) || ue > 1.5 * ue_max) {
    std::snprintf(text, sizeof text, "UE %g (largest given %g)", ue, ue_max);
  } else {
    return "";
  }
  return text;
}

class PossibleLayers : public ::testing::Test {
 protected:
  void TearDown() override { text::units().close_all(); }
  StdoutCapture console;  // the station log on standard output
};

struct Section {
  const char* digits;  // NACA mptt
  double alpha, remill;
  int npanels, stations;
};

std::vector<Section> matrix() {
  std::vector<Section> out;
  for (const char* digits : {"0006", "0012", "0018", "2412", "2415", "4415"})
    for (const double alpha : {0.0, 4.0, 8.0})
      for (const double remill : {1.0, 6.0})
        for (const int npanels : {80, 160, 240}) out.push_back({digits, alpha, remill, npanels, 80});
  // Cases where the march once showed rows no layer could have, or
  // stopped: thin sections at incidence that separate close behind the
  // nose, laminar separation near the trailing edge, the cambered nose at
  // high panel counts.
  const Section more[] = {
      {"0006", 6, 1, 200, 100}, {"0006", 6, 6, 80, 100},  {"2415", 2, 6, 200, 100},
      {"0003", 4, 6, 120, 100}, {"0003", 8, 1, 120, 100}, {"0004", 8, 6, 200, 100},
      {"2412", 4, 1, 200, 80},  {"0009", 8, 1, 80, 80},   {"2412", 0, 6, 240, 80}};
  out.insert(out.end(), std::begin(more), std::end(more));
  return out;
}

TEST_F(PossibleLayers, NoRowIsOneThatNoLayerCouldHave) {
  int stand_in_surfaces = 0;
  for (const Section& m : matrix()) {
    char name[96];
    std::snprintf(name, sizeof name, "NACA %s at %g degrees, Re %g million, %d panels",
                  m.digits, m.alpha, m.remill, m.npanels);
    SCOPED_TRACE(name);
    NacaCase c;
    c.camber = (m.digits[0] - '0') / 100.0;
    c.camber_at = (m.digits[1] - '0') / 10.0;
    c.thickness = std::atoi(m.digits + 2) / 100.0;
    c.alpha = m.alpha;
    c.remill = m.remill;
    c.npanels = m.npanels;
    c.stations = m.stations;
    const std::string dir = scratch_dir("possible");
    write_file(dir + "/case.dat", naca_geometry(c));
    ASSERT_EQ(load_and_solve(dir + "/case.dat"), "");
    ASSERT_TRUE(SXR(0).ok);
    ProblemState& st = state();
    double ue_max[2] = {0, 0};
    for (int isurf = 0; isurf <= 1; ++isurf) {
      const int sf = isurf + 1;
      for (int i = 1; i <= st.NX(1, sf); ++i) ue_max[isurf] = std::max(ue_max[isurf], st.UE(i, 1, sf));
      const Result r = FOIL_BL2D(0, isurf);
      (void)r;  // whatever the status
      for (int i = 3; i <= st.NXDONE(1, sf); ++i) {
        const bool turbulent = i > 3 && st.S(i, 1, sf) >= st.XTR(1, sf);
        const std::string why = impossible(st.UE(i, 1, sf), st.D1(i, 1, sf), st.CF(i, 1, sf),
                                           turbulent, 1.0, ue_max[isurf]);
        EXPECT_EQ(why, "") << "store, surface " << sf << ", station " << i;
      }
    }
    text::units().close_all();
    std::vector<SurfaceLog> logs;
    try {
      logs = surface_logs(dir + "/case.blf");
    } catch (const std::exception& e) {
      FAIL() << "a row of the station log is not a row of numbers: " << e.what();
    }
    ASSERT_EQ(logs.size(), 2u);
    for (int isurf = 0; isurf <= 1; ++isurf) {
      stand_in_surfaces += !logs[isurf].not_solved.empty();
      for (const LogRow& row : logs[isurf].rows) {
        const std::string why =
            impossible(row.ue, row.d1, row.cf, row.ktbl == 2, 1.0, ue_max[isurf]);
        EXPECT_EQ(why, "") << "log, surface " << isurf + 1 << ", station " << row.i;
      }
    }
  }
  // The matrix holds stations without a solution, so the stand-ins are
  // checked too.
  EXPECT_GT(stand_in_surfaces, 5);
}

// examples/main_flap.dat at 6, 8 and 10 degrees (only Alpha changed): the
// turbulent layer of the main element's upper surface has a steeply falling
// skin friction one station behind the suction peak, where the edge velocity
// turns; the extrapolation put its separation there, and the inverse mode
// then prescribed a skin friction that layer has no solution with (rows
// with UE up to 1e15 and a stop at stations 15 to 34). The station's own
// solution under the prescribed edge velocity keeps it attached; every
// surface now runs to its trailing edge with every station solved, and the
// main element's upper surface separates, if at all, in its last 10 %.
TEST_F(PossibleLayers, ExampleAtHigherIncidenceRunsToTheTrailingEdges) {
  for (const double alpha : {6.0, 8.0, 10.0}) {
    SCOPED_TRACE("Alpha " + std::to_string(alpha));
    const std::string path = example_copy("possible_flap", "main_flap.dat",
                                          [&](std::vector<std::string>& lines) {
                                            set_field(lines[3], 0, field10(alpha));
                                          });
    ASSERT_EQ(load_and_solve(path), "");
    const ProblemState& st = state();
    ASSERT_EQ(st.ALPHA, alpha);
    for (int e = 0; e < st.NELEM; ++e) {
      ASSERT_TRUE(SXR(e).ok);
      for (int isurf = 0; isurf <= 1; ++isurf) {
        SCOPED_TRACE("element " + std::to_string(e + 1) + ", surface " + std::to_string(isurf));
        const Result r = FOIL_BL2D(e, isurf);
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(r.warnings.empty()) << r.warnings[0];
        EXPECT_EQ(st.NXDONE(e + 1, isurf + 1), st.NX(e + 1, isurf + 1));
      }
    }
    const double arc = st.S(st.NX(1, 1), 1, 1);
    EXPECT_GE(st.XINV(1, 1), 0.9 * arc);
  }
}

}  // namespace
}  // namespace sorvane

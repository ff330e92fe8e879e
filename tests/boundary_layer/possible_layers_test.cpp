// Every station the boundary layer shows is one some boundary layer could
// have, whatever the status of the run: on a matrix of real panel solutions
// (symmetric and cambered sections, several incidences, Reynolds numbers
// and panel counts, and thin sections at incidence whose layers separate
// close behind the nose) no row of the station log and no station of the
// result store has values that no layer could have (possible_layer.h). And the
// example at higher incidence, where a turbulent layer's skin friction
// falls steeply behind the suction peak, runs to its trailing edges.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/bl_cases.h"
#include "tests/boundary_layer/laminar_reference.h"
#include "tests/boundary_layer/possible_layer.h"
#include "tests/boundary_layer/station_log.h"
#include "tests/example_copy.h"
#include "tests/load_and_solve.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using namespace sorvane::testing;

class PossibleLayers : public ::testing::Test {
 protected:
  void TearDown() override { text::units().close_all(); }
  StdoutCapture console;  // the station log on standard output
};

struct Section {
  const char* digits;  // NACA mptt
  double alpha, remill;
  int npanels, stations;
  double xtr = 5.0;  // transition arc length of both surfaces (5: free)
};

NacaCase naca_case(const Section& m) {
  NacaCase c = naca_section(m.digits, m.alpha, m.remill, m.npanels);
  c.stations = m.stations;
  c.xtru = c.xtrl = m.xtr;
  return c;
}

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
      {"2412", 4, 1, 200, 80},  {"0009", 8, 1, 80, 80},   {"2412", 0, 6, 240, 80},
      // Low Reynolds numbers, the transition fixed close behind the nose:
      // turbulent layers with a skin friction above 0.05 near the nose, and
      // layers that separate behind it.
      {"0012", 0, 0.1, 120, 100, 0.005}, {"0006", 6, 0.03, 120, 100, 0.002},
      {"2412", 4, 0.05, 200, 100, 0.02}, {"4412", 8, 0.2, 120, 100, 0.005},
      {"0018", 10, 0.5, 200, 100, 0.1},  {"0006", 10, 0.05, 120, 100, 0.002}};
  out.insert(out.end(), std::begin(more), std::end(more));
  return out;
}

TEST_F(PossibleLayers, NoRowIsOneThatNoLayerCouldHave) {
  int stand_in_surfaces = 0;
  for (const Section& m : matrix()) {
    char name[96];
    std::snprintf(name, sizeof name,
                  "NACA %s at %g degrees, Re %g million, %d panels, transition at %g", m.digits,
                  m.alpha, m.remill, m.npanels, m.xtr);
    SCOPED_TRACE(name);
    const std::string dir = scratch_dir("possible");
    write_file(dir + "/case.dat", naca_geometry(naca_case(m)));
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
        std::string why =
            impossible_layer(st.UE(i, 1, sf), st.D1(i, 1, sf), st.CF(i, 1, sf), turbulent, 1.0,
                             ue_max[isurf], m.remill * 1e6, st.S(i, 1, sf));
        if (why.empty()) why = impossible_thicknesses(st.D2(i, 1, sf), st.H12(i, 1, sf));
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
            impossible_layer(row.ue, row.d1, row.cf, row.ktbl == 2, 1.0, ue_max[isurf],
                             m.remill * 1e6, row.x);
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

// A transition close behind the nose at a low Reynolds number (NACA 0012
// tripped at 0.005 of the arc; the flap of main_flap.dat with the file's
// 0.05, whose lower surface turns turbulent ahead of it) gives turbulent
// stations whose skin friction is above 0.05, of the order of the
// stagnation-point value (Hiemenz, 2.4652 / sqrt(Re_x)); they converge and
// continue their neighbours smoothly, and the surfaces run to their trailing
// edges with every station solved. Checked against physics of its own: at
// momentum-thickness Reynolds numbers of a few tens the eddy viscosity adds
// almost nothing, so at each such station the skin friction is that of the
// independent laminar solution on the same edge velocity, within the
// march's accuracy at the first stations behind the start (15 %); it lies
// below the stagnation-point value, and it falls from station to station as
// the layer grows: below the station before, above the station after.
TEST_F(PossibleLayers, TurbulentLayersTrippedBehindTheNoseAtLowReynoldsNumbers) {
  struct Case {
    const char* name;
    std::string path;  // the geometry file
    int element;       // 1-based; 0: every element
    int surface;       // 1 upper, 2 lower; 0: both
  };
  const NacaCase naca0012 = naca_case({"0012", 0, 0.1, 120, 100, 0.005});
  const std::string dir = scratch_dir("tripped");
  write_file(dir + "/naca0012.dat", naca_geometry(naca0012));
  auto flap = [](double alpha) {
    return example_copy("tripped_flap_" + std::to_string(static_cast<int>(alpha)), "main_flap.dat", [&](std::vector<std::string>& lines) {
      set_field(lines[3], 0, field10(alpha));
      set_field(lines[5], 0, field10(0.1));
    });
  };
  const Case cases[] = {
      {"NACA 0012 at 0 degrees, Re 0.1 million, transition at 0.005", dir + "/naca0012.dat", 0, 0},
      {"main_flap.dat at 8 degrees, Re 0.1 million: the flap's lower surface", flap(8), 2, 2},
      {"main_flap.dat at 10 degrees, Re 0.1 million: the flap's lower surface", flap(10), 2, 2},
  };
  int above_005 = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(load_and_solve(c.path), "");
    ProblemState& st = state();
    const double re = st.REMILL * 1e6;
    for (int k = 1; k <= st.NELEM; ++k) {
      ASSERT_TRUE(SXR(k - 1).ok);
      for (int sf = 1; sf <= 2; ++sf) {
        std::vector<double> s, ue;
        for (int i = 1; i <= st.NX(k, sf); ++i) {
          s.push_back(st.S(i, k, sf));
          ue.push_back(st.UE(i, k, sf));
        }
        const Result r = FOIL_BL2D(k - 1, sf - 1);
        if ((c.element && c.element != k) || (c.surface && c.surface != sf)) continue;
        SCOPED_TRACE("element " + std::to_string(k) + ", surface " + std::to_string(sf));
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_TRUE(r.warnings.empty()) << r.warnings[0];
        ASSERT_EQ(st.NXDONE(k, sf), st.NX(k, sf));
        for (int i = 1; i <= st.NX(k, sf); ++i) EXPECT_EQ(st.SOLVED(i, k, sf), 1) << i;
        const LaminarReference lam = laminar_reference(s, ue, 1.0 / re);
        for (int i = 4; i < st.NX(k, sf); ++i) {
          const double cf = st.CF(i, k, sf);
          if (st.S(i, k, sf) < st.XTR(k, sf) || !(cf > 0.05)) continue;
          ++above_005;
          const double hiemenz = 2.4652 / std::sqrt(re * st.UE(i, k, sf) * st.S(i, k, sf));
          EXPECT_LT(cf, hiemenz) << "station " << i;
          ASSERT_TRUE(lam.stations[i - 1].computed) << "station " << i;
          EXPECT_NEAR(cf / lam.stations[i - 1].cf, 1.0, 0.15) << "station " << i;
          // Below the station before it, above the one after it (computed
          // stations both: the march starts at station 3).
          EXPECT_LT(cf, st.CF(i - 1, k, sf)) << "station " << i;
          EXPECT_GT(cf, st.CF(i + 1, k, sf)) << "station " << i;
        }
      }
    }
  }
  // The cases hold such stations, on every case's surfaces.
  EXPECT_GE(above_005, 4);
}

// Stations whose solution no layer could have are stations without a
// solution: marked in the store and the log, listed in the run's warning,
// and no station shown as solved (in the store or the log) breaks a bound of
// a possible layer.
// - In the inverse region the edge velocity is part of the solution, and at
//   a low Reynolds number the Newton passes can settle on the trivial layer
//   of the prescribed skin friction. examples/main_flap.dat at 4 degrees and
//   Re 0.1 million: the main element's upper surface, whose edge velocity is
//   about 2, separates at the nose; stations 29, 30 and 32 once converged on
//   edge velocities of 3e-9, 2e-11 and 2e-20 and were taken as solved (drawn
//   on Ue = 0, station 32's displacement thickness setting the plot's
//   range), and every station after them showed that collapsed edge
//   velocity.
// - NACA 0006 at 8 degrees, Re 6 million, 80 panels, 100 table points: the
//   upper surface's first turbulent station behind the suction peak,
//   station 6, once settled after 21 passes on a negative momentum
//   thickness (D2 -8.1e-6, H12 -1.40), and station 7 after it (D2 -1.2e-5,
//   H12 -0.29); both were held as solved and drawn. The layer separates
//   there, as it does at 80 table points.
TEST_F(PossibleLayers, StationsNoLayerCouldHaveAreNoSolutions) {
  struct Case {
    const char* name;
    std::string path;
    std::vector<int> without_solution;  // of element 1's upper surface
  };
  const std::string dir = scratch_dir("no_layer");
  write_file(dir + "/naca0006.dat", naca_geometry(naca_case({"0006", 8, 6, 80, 100})));
  const Case cases[] = {
      {"main_flap.dat at 4 degrees, Re 0.1 million: collapsed edge velocities",
       example_copy("collapsed_flap", "main_flap.dat",
                    [](std::vector<std::string>& lines) {
                      set_field(lines[3], 0, field10(4));
                      set_field(lines[5], 0, field10(0.1));
                    }),
       {29, 30, 32}},
      {"NACA 0006 at 8 degrees, Re 6 million: negative momentum thicknesses",
       dir + "/naca0006.dat", {6, 7}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(load_and_solve(c.path), "");
    ProblemState& st = state();
    const double re = st.REMILL * 1e6;
    std::vector<double> ue_max;
    std::vector<std::string> warnings;
    for (int k = 1; k <= st.NELEM; ++k) {
      ASSERT_TRUE(SXR(k - 1).ok);
      for (int sf = 1; sf <= 2; ++sf) {
        double largest = 0.0;
        for (int i = 1; i <= st.NX(k, sf); ++i) largest = std::max(largest, st.UE(i, k, sf));
        ue_max.push_back(largest);
        const Result r = FOIL_BL2D(k - 1, sf - 1);
        warnings.insert(warnings.end(), r.warnings.begin(), r.warnings.end());
        for (int i = 3; i <= st.NXDONE(k, sf); ++i) {
          if (st.SOLVED(i, k, sf) != 1) continue;
          const bool turbulent = i > 3 && st.S(i, k, sf) >= st.XTR(k, sf);
          std::string why = impossible_layer(st.UE(i, k, sf), st.D1(i, k, sf), st.CF(i, k, sf),
                                             turbulent, st.BELEM(k), largest, re, st.S(i, k, sf));
          if (why.empty()) why = impossible_thicknesses(st.D2(i, k, sf), st.H12(i, k, sf));
          EXPECT_EQ(why, "") << "store, element " << k << ", surface " << sf << ", station " << i;
        }
      }
    }
    ASSERT_FALSE(warnings.empty());
    const std::string& w = warnings[0];
    ASSERT_EQ(w.rfind("Element 1, upper surface: ", 0), 0u) << w;
    const std::set<int> listed = stations_in_warning(w);
    for (int i : c.without_solution) {
      EXPECT_EQ(st.SOLVED(i, 1, 1), 0) << "station " << i;
      EXPECT_EQ(listed.count(i), 1u) << "station " << i << " in: " << w;
    }
    text::units().close_all();
    const std::vector<SurfaceLog> logs = surface_logs(c.path.substr(0, c.path.size() - 3) + "blf");
    ASSERT_EQ(logs.size(), ue_max.size());
    for (int i : c.without_solution) EXPECT_EQ(logs[0].not_solved.count(i), 1u) << "station " << i;
    for (std::size_t n = 0; n < logs.size(); ++n) {
      for (const LogRow& row : logs[n].rows) {
        if (logs[n].not_solved.count(row.i)) continue;
        EXPECT_EQ(impossible_layer(row.ue, row.d1, row.cf, row.ktbl == 2, st.BELEM(n / 2 + 1),
                                   ue_max[n], re, row.x),
                  "")
            << "log, surface run " << n + 1 << ", station " << row.i;
      }
    }
  }
}

// The bound on the displacement thickness takes the chord of the contour as
// panelled, not the chord the file states: with BELEM 1e30 (and a grid
// stretched by VGP 2, on which few stations of the layer can be solved)
// no row shows a displacement thickness above a tenth of the contour's
// chord (the earlier bound let rows of up to 120 chords through).
TEST_F(PossibleLayers, ThicknessBoundTakesTheChordOfTheContour) {
  const std::string path = example_copy("belem", "naca0012.dat", [](std::vector<std::string>& l) {
    set_field(l[1], 6, field10(1));  // the boundary-layer records
    l.insert(l.begin() + 4, "    REMILL      ETAE        NP       VGP     CFSEP");
    l.insert(l.begin() + 5, field10(3) + field10(8) + field10(61) + field10(2) + field10(0));
    set_field(l[7], 0, "1.0000e+30");
    l[9] += field10(5) + field10(5);  // free transition
  });
  ASSERT_EQ(load_and_solve(path), "");
  ProblemState& st = state();
  ASSERT_EQ(st.BELEM(1), 1e30);
  ASSERT_TRUE(SXR(0).ok);
  int shown = 0;
  for (int sf = 1; sf <= 2; ++sf) {
    (void)FOIL_BL2D(0, sf - 1);
    for (int i = 3; i <= st.NXDONE(1, sf); ++i) {
      EXPECT_GT(st.D1(i, 1, sf), 0.0) << "surface " << sf << ", station " << i;
      EXPECT_LE(st.D1(i, 1, sf), 0.1) << "surface " << sf << ", station " << i;
      ++shown;
    }
  }
  EXPECT_GT(shown, 20);
}

}  // namespace
}  // namespace sorvane

// The surface driver against physics that does not come from this code: the
// Blasius flat plate, Thwaites' laminar integral method on real panel
// solutions, a turbulent flat-plate correlation; and its own rules:
// transition, separation and the inverse mode, Newton convergence, the
// station log, the store and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/boundary_layer/station_equations.h"
#include "solver/boundary_layer/surface_driver.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/boundary_layer/bl_cases.h"
#include "tests/boundary_layer/station_log.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using namespace sorvane::testing;

// One finished station as the hook sees it.
struct Seen {
  int i = 0;
  double x = 0, ue = 0, cf = 0, d1 = 0, d2 = 0, h12 = 0;
  double wall_shear = 0, cf_bc = 0;  // 2 ccmu v(3,1) and the prescribed value
  double edge_u = 0;                 // u(3, np) of the solution
  int k_iter = 0, np = 0, ninv = 0;
  double xtr = 0, xinv = 0;
  double max_residual = 0;           // largest box residual of the converged profile
};

// Runs one surface with a hook that records every finished station and the
// box residuals of its converged profile.
Result run_surface(int ielem, int isurf, std::vector<Seen>* seen) {
  auto run = std::make_unique<bl::SurfaceRun>();
  return bl::FOIL_BL2D(*run, ielem, isurf, [&](const bl::SurfaceRun& r, int i) {
    Seen s;
    s.i = i;
    s.x = r.x(i);
    s.ue = r.ue(i);
    s.cf = r.cfb(i);
    s.d1 = r.d1b(i);
    s.d2 = r.d2b(i);
    s.h12 = r.h12(i);
    s.wall_shear = 2.0 * r.ccmu(3, 1) * r.v(3, 1);
    s.cf_bc = r.cf_bc(i);
    s.edge_u = r.u(3, r.np);
    s.k_iter = r.k_iter;
    s.np = r.np;
    s.ninv = r.ninv;
    s.xtr = r.xtr;
    s.xinv = r.xinv;
    // The box equations of the converged profile: residuals of a fresh
    // evaluation (on a copy, so that the run goes on untouched).
    bl::SurfaceRun copy = r;
    bl::BL_GAS_PROPERTIES(copy, i, copy.dpdx(i));
    for (int j = 2; j <= copy.np; ++j)
      for (int k = 1; k <= 3; ++k)
        s.max_residual = std::max(s.max_residual, std::fabs(copy.rq(k, j)));
    seen->push_back(s);
  });
}

// The result tables of the store that a run writes, by station.
std::vector<decltype(ProblemState::CF)*> run_results(ProblemState& st) {
  return {&st.CF, &st.D1, &st.D2, &st.RV, &st.H12, &st.VW};
}

class SurfaceDriver : public ::testing::Test {
 protected:
  void SetUp() override { dir = scratch_dir(test_name()); }
  void TearDown() override { text::units().close_all(); }
  static std::string test_name() {
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
  }
  // A flat plate of unit length in the store, its listings in dir.
  void plate(int n, double remill, int np, double xtr) {
    open_bl_listings(dir);
    flat_plate_store(n, 1.0, remill, np, xtr);
  }
  // The case loaded and solved (in the test's scratch directory) and
  // element 1 split.
  static void load_split(const NacaCase& c) {
    ASSERT_NO_FATAL_FAILURE(load_case(test_name(), naca_geometry(c)));
    ASSERT_TRUE(SXR(0).ok);
  }
  // Runs surface isurf of element 1, recording its stations; the run must
  // succeed.
  static void run_ok(int isurf, std::vector<Seen>& seen) {
    const Result r = run_surface(0, isurf, &seen);
    ASSERT_TRUE(r.ok) << r.message;
  }
  std::string dir;
  StdoutCapture console;  // the station log on standard output
};

// Blasius: far from the start, Cf sqrt(Re_x) = 0.664 and H12 = 2.59.
TEST_F(SurfaceDriver, LaminarFlatPlateReachesBlasius) {
  plate(300, 0.1, 61, 5.0);
  std::vector<Seen> seen;
  ASSERT_NO_FATAL_FAILURE(run_ok(0, seen));
  ASSERT_EQ(seen.size(), 298u);
  const double re = 1e5;
  for (const Seen& s : seen) {
    if (s.x < 0.2) continue;
    EXPECT_NEAR(s.cf * std::sqrt(re * s.x), 0.6641, 0.6641 * 0.005) << "x = " << s.x;
    EXPECT_NEAR(s.h12, 2.591, 2.591 * 0.005) << "x = " << s.x;
    EXPECT_NEAR(s.d1 * std::sqrt(re / s.x), 1.7208, 1.7208 * 0.005) << "x = " << s.x;
    EXPECT_NEAR(s.d2 * std::sqrt(re / s.x), 0.6641, 0.6641 * 0.005) << "x = " << s.x;
  }
}

// A thin symmetric section at zero incidence and a low Reynolds number:
// momentum and displacement thickness and skin friction against Thwaites'
// method on the same edge velocity, away from the leading edge and from the
// rear where the laminar layer separates; and the separation itself near
// where Thwaites' criterion (lambda about -0.09) puts it.
TEST_F(SurfaceDriver, LaminarSectionAgreesWithThwaites) {
  NacaCase c;
  c.thickness = 0.06;
  c.remill = 0.1;
  ASSERT_NO_FATAL_FAILURE(load_split(c));
  const ProblemState& st = state();
  for (int isurf = 0; isurf <= 1; ++isurf) {
    SCOPED_TRACE(isurf == 0 ? "upper surface" : "lower surface");
    const int sf = isurf + 1;
    std::vector<double> s, ue;
    for (int i = 1; i <= st.NX(1, sf); ++i) {
      s.push_back(st.S(i, 1, sf));
      ue.push_back(st.UE(i, 1, sf));
    }
    std::vector<Seen> seen;
    ASSERT_NO_FATAL_FAILURE(run_ok(isurf, seen));
    const std::vector<ThwaitesStation> t = thwaites(s, ue, 1.0 / (c.remill * 1e6));
    int compared = 0;
    double separation_from = 0, separation_to = 0;
    for (const Seen& m : seen) {
      const ThwaitesStation& ref = t[m.i - 1];
      if (separation_from == 0 && ref.lambda < -0.07) separation_from = m.x;
      if (separation_to == 0 && ref.lambda < -0.12) separation_to = m.x;
      if (m.x < 0.1 || m.x > 0.65) continue;
      ++compared;
      EXPECT_NEAR(m.d2 / ref.theta, 1.0, 0.03) << "s = " << m.x;
      EXPECT_NEAR(m.d1 / ref.dstar, 1.0, 0.03) << "s = " << m.x;
      EXPECT_NEAR(m.cf / ref.cf, 1.0, 0.05) << "s = " << m.x;
    }
    EXPECT_GT(compared, 20);
    // The laminar layer separates and turns turbulent there.
    EXPECT_GT(st.XTR(1, sf), separation_from);
    EXPECT_LT(st.XTR(1, sf), separation_to);
  }
}

// Turbulent flat plate, transition near the leading edge: the skin friction
// over the rear half against White's correlation cf = 0.455 / ln^2(0.06 Re_x)
// and the shape factor of a turbulent layer.
TEST_F(SurfaceDriver, TurbulentFlatPlateAgreesWithCorrelation) {
  plate(300, 10.0, 61, 0.01);
  std::vector<Seen> seen;
  ASSERT_NO_FATAL_FAILURE(run_ok(0, seen));
  const double re = 1e7;
  for (const Seen& s : seen) {
    const double rex = re * s.x;
    const double white = 0.455 / std::pow(std::log(0.06 * rex), 2);
    if (s.x < 0.5) continue;
    EXPECT_NEAR(s.cf / white, 1.0, 0.15) << "x = " << s.x;
    EXPECT_GT(s.h12, 1.25) << "x = " << s.x;
    EXPECT_LT(s.h12, 1.4) << "x = " << s.x;
  }
}

// NACA 0012 at zero incidence, Re 3 million, transition left to the
// criterion: it moves the transition position upstream, to a station, and
// the layer is turbulent from the next station on. Every attached station
// converges in a few Newton passes to a profile that satisfies its box
// equations.
TEST_F(SurfaceDriver, TransitionCriterionAndNewtonConvergence) {
  NacaCase c;
  c.remill = 3;
  ASSERT_NO_FATAL_FAILURE(load_split(c));
  std::vector<Seen> seen;
  ASSERT_NO_FATAL_FAILURE(run_ok(0, seen));
  text::units().flush_all();
  const ProblemState& st = state();
  const double xtr = st.XTR(1, 1);
  EXPECT_LT(xtr, c.xtru);
  bool at_station = false;
  for (int i = 1; i <= st.NX(1, 1); ++i) at_station |= st.S(i, 1, 1) == xtr;
  EXPECT_TRUE(at_station) << xtr;
  double previous = c.xtru;
  int attached = 0;
  for (const Seen& m : seen) {
    EXPECT_LE(m.xtr, previous) << "station " << m.i;  // only ever upstream
    previous = m.xtr;
    if (m.x > m.xinv) continue;  // the layer separates just ahead of the trailing edge
    ++attached;
    EXPECT_LE(m.k_iter, 6) << "station " << m.i;
    EXPECT_LT(m.max_residual, 1e-8) << "station " << m.i;
  }
  EXPECT_GT(attached, 60);
  const std::vector<LogRow> rows =
      log_rows(dir + "/case.blf");
  ASSERT_EQ(rows.size(), seen.size());
  for (const LogRow& row : rows) {
    EXPECT_EQ(row.ktbl, st.S(row.i, 1, 1) > xtr ? 2 : 1) << "station " << row.i;
  }
}

// NACA 0012 at 14 degrees, transition near the leading edge: the upper
// surface separates ahead of the trailing edge. From the separation station
// on the wall shear is prescribed (CFSEP, met after every station), the edge
// velocity comes from the solution, and every row shows that station in the
// NINV column.
TEST_F(SurfaceDriver, TurbulentSeparationEntersInverseMode) {
  NacaCase c;
  c.alpha = 14;
  c.remill = 3;
  c.cfsep = 0.5;
  c.xtru = c.xtrl = 0.02;
  ASSERT_NO_FATAL_FAILURE(load_split(c));
  const ProblemState& st = state();
  std::vector<double> panel_ue;
  for (int i = 1; i <= st.NX(1, 1); ++i) panel_ue.push_back(st.UE(i, 1, 1));
  std::vector<Seen> seen;
  ASSERT_NO_FATAL_FAILURE(run_ok(0, seen));
  text::units().flush_all();
  const int ninv = seen.back().ninv;
  ASSERT_GT(ninv, 3);
  ASSERT_LT(ninv, st.NX(1, 1));
  EXPECT_GE(st.XINV(1, 1), st.S(ninv - 1, 1, 1));
  EXPECT_LT(st.XINV(1, 1), st.S(ninv, 1, 1));
  int moved = 0;
  for (const Seen& m : seen) {
    if (m.i < ninv) {
      EXPECT_EQ(m.ninv, 0);
      continue;
    }
    EXPECT_EQ(m.ninv, ninv);
    EXPECT_NEAR(m.wall_shear, c.cfsep, 1e-9) << "station " << m.i;
    EXPECT_EQ(st.UE(m.i, 1, 1), m.edge_u) << "station " << m.i;
    EXPECT_NEAR(st.CF(m.i, 1, 1), c.cfsep / (std::sqrt(3e6) * m.edge_u * m.edge_u), 1e-12);
    if (std::fabs(st.UE(m.i, 1, 1) - panel_ue[m.i - 1]) > 1e-4) ++moved;
  }
  EXPECT_GT(moved, 0);
  for (const LogRow& row :
       log_rows(dir + "/case.blf")) {
    EXPECT_EQ(row.ninv, row.i >= ninv ? ninv : 0) << "station " << row.i;
  }
}

// The streamwise difference of a station under a prescribed edge velocity:
// the three-point weights of the station spacing, except where their
// derivative of ue has the sign opposite to ue's own trend (ue rising, or
// falling, from station i-1 to i and on to i+1). Behind the small nose
// radius of a thin section that happens at station 4: ue bends over so
// sharply that the parabola through the similarity station tips over. There
// the station takes the two-point difference of station 3.
TEST_F(SurfaceDriver, TwoPointWhereThreeContradict) {
  NacaCase c;
  c.thickness = 0.04;
  c.remill = 0.5;
  ASSERT_NO_FATAL_FAILURE(load_split(c));
  struct Weights {
    int i;
    double x, cx0, cx1, cx2;
  };
  std::vector<Weights> seen;
  auto run = std::make_unique<bl::SurfaceRun>();
  std::vector<double> ue;  // the prescribed edge velocity
  for (int i = 1; i <= state().NX(1, 1); ++i) ue.push_back(state().UE(i, 1, 1));
  const Result r = bl::FOIL_BL2D(*run, 0, 0, [&](const bl::SurfaceRun& sr, int i) {
    seen.push_back({i, sr.x(i), sr.cx0, sr.cx1, sr.cx2});
  });
  ASSERT_TRUE(r.ok) << r.message;
  int two_point = 0;
  for (std::size_t n = 1; n + 1 < seen.size(); ++n) {
    const Weights& w = seen[n];
    const int i = w.i;
    if (w.x > state().XINV(1, 1)) break;
    const double h1 = w.x - seen[n - 1].x;
    const double h2 = seen[n - 1].x - (n >= 2 ? seen[n - 2].x : state().S(2, 1, 1));
    const double c0 = (2 * h1 + h2) / (h1 * (h1 + h2)), c1 = -(h1 + h2) / (h1 * h2),
                 c2 = h1 / (h2 * (h1 + h2));
    const double slope = c0 * ue[i - 1] + c1 * ue[i - 2] + c2 * ue[i - 3];
    const double last = ue[i - 1] - ue[i - 2], next = ue[i] - ue[i - 1];
    const bool contradicts = last * next > 0 && slope * last < 0;
    SCOPED_TRACE("station " + std::to_string(i));
    if (contradicts) {
      ++two_point;
      EXPECT_DOUBLE_EQ(w.cx0, 1.0 / h1);
      EXPECT_EQ(w.cx1, -w.cx0);
      EXPECT_EQ(w.cx2, 0.0);
    } else {
      EXPECT_DOUBLE_EQ(w.cx0, c0);
      EXPECT_DOUBLE_EQ(w.cx1, c1);
      EXPECT_DOUBLE_EQ(w.cx2, c2);
    }
  }
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[1].i, 4);
  EXPECT_EQ(seen[1].cx2, 0.0);  // station 4, where the surface used to stop
  EXPECT_LE(two_point, 3);
}

// A surface that does not separate ends with XINV at its last station and 0
// in the NINV column of every row, also where the last station's passes
// only settle on the grown grid (the lower surface of a NACA 0004 at 2
// degrees and Re 6 million, whose last station was once taken as separated
// before that redo).
TEST_F(SurfaceDriver, NoSeparationEndsAtLastStation) {
  NacaCase c;
  c.thickness = 0.04;
  c.alpha = 2;
  c.remill = 6;
  ASSERT_NO_FATAL_FAILURE(load_split(c));
  const Result r = FOIL_BL2D(0, 1);
  ASSERT_TRUE(r.ok) << r.message;
  text::units().flush_all();
  const ProblemState& st = state();
  EXPECT_EQ(st.XINV(1, 2), st.S(st.NX(1, 2), 1, 2));
  EXPECT_EQ(st.NXDONE(1, 2), st.NX(1, 2));
  const std::vector<LogRow> rows = log_rows(dir + "/case.blf");
  ASSERT_EQ(static_cast<int>(rows.size()), st.NX(1, 2) - 2);
  for (const LogRow& row : rows) EXPECT_EQ(row.ninv, 0) << "station " << row.i;
  EXPECT_LT(rows.back().kiter, 21);
  EXPECT_NE(st.CF(st.NX(1, 2), 1, 2), 0.0);
}

// The separation test: where the square of the skin friction, extrapolated
// through the last two stations, reaches (cfsep/sqre)^2 between x(i-1) and
// x(i), a laminar layer turns turbulent at i and a turbulent one enters the
// inverse mode; otherwise nothing changes.
TEST(SeparationCheck, TableOfCases) {
  struct Case {
    const char* what;
    double cf_before, cf_last;  // cfb(i-2), cfb(i-1)
    double xtr;
    bool moves_xtr, inverse;
  };
  const Case cases[] = {
      {"laminar, crossing within the interval", 0.002, 0.001, 5.0, true, false},
      {"turbulent, crossing within the interval", 0.002, 0.001, 0.1, false, true},
      {"crossing beyond x(i)", 0.002, 0.0019, 0.1, false, false},
      {"rising skin friction", 0.001, 0.002, 0.1, false, false},
      {"equal skin friction (no crossing)", 0.001, 0.001, 0.1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    bl::Table1<double> x, cfb, cf_bc;
    x.make(6);
    cfb.make(6);
    cf_bc.make(6);
    for (int j = 1; j <= 6; ++j) {
      x(j) = 0.1 * j;
      cf_bc(j) = 7.0;
    }
    cfb(2) = c.cf_before;
    cfb(3) = c.cf_last;
    int ninv = 0;
    double xinv = 0.6, xtr = c.xtr;
    // cfsep/sqre = 0: the extrapolated skin friction reaches zero at
    // 0.3 + 0.1 * cf_last^2 / (cf_before^2 - cf_last^2).
    bl::SEPARATION_CHECK(ninv, xinv, xtr, 4, 6, x, cfb, cf_bc, 0.0, 100.0);
    EXPECT_EQ(xtr, c.moves_xtr ? x(4) : c.xtr);
    EXPECT_EQ(ninv, c.inverse ? 4 : 0);
    if (c.inverse) {
      const double xs = 0.2 + (0.0 - c.cf_before * c.cf_before) * 0.1 /
                                  (c.cf_last * c.cf_last - c.cf_before * c.cf_before);
      EXPECT_NEAR(xinv, xs, 1e-15);
      for (int j = 4; j <= 6; ++j) EXPECT_EQ(cf_bc(j), 0.0);
      EXPECT_EQ(cf_bc(3), 7.0);
    } else {
      EXPECT_EQ(xinv, 0.6);
      for (int j = 1; j <= 6; ++j) EXPECT_EQ(cf_bc(j), 7.0);
    }
  }
}

// The station log of a small laminar flat plate: the set-up records, the
// grid table, the column header before stations 3, 40 and 80 (on the log and
// on standard output), rows in their fixed columns with NINV 0 and KTBL 1;
// and the store: stations 1 and 2 keep zeros and the split's edge velocity,
// NXDONE covers the whole surface, XINV is the last arc length.
TEST_F(SurfaceDriver, StationLogAndStore) {
  plate(100, 0.1, 31, 5.0);
  ProblemState& st = state();
  for (auto* a : run_results(st)) {
    for (int i = 1; i <= 100; ++i) (*a)(i, 1, 1) = 7.0;  // old values of an earlier run
  }
  st.CF(1, 1, 1) = st.CF(2, 1, 1) = 0.0;
  std::vector<Seen> seen;
  ASSERT_NO_FATAL_FAILURE(run_ok(0, seen));
  text::units().flush_all();
  const std::vector<std::string> log = read_lines(dir + "/case.blf");
  const std::vector<std::string> head = {
      "  Start  of b.l. computation 0",
      "Upper surface,  Element= 0",
      "  Start  of b.l. computation 1",
      "  Start  of b.l. computation 2",
      "  Start  of b.l. computation 3",
      " Re=     100000.000    XTR=     5.000   XINV=     1.000",
      " NP=   31   ETAE=     8.000   VGP=     1.100",
      "",
      "==================================================",
      "    I         ETA           DETA              A   ",
      "--------------------------------------------------",
  };
  ASSERT_GT(log.size(), head.size());
  for (std::size_t n = 0; n < head.size(); ++n) EXPECT_EQ(log[n], head[n]) << "line " << n;
  EXPECT_EQ(log[head.size()].substr(0, 20), "    1     0.0000E+00");
  EXPECT_EQ(log[head.size()].substr(35), "     0.0000E+00");  // aa(1) belongs to no box
  EXPECT_EQ(log[head.size() + 31], std::string(50, '-'));
  EXPECT_EQ(log[head.size() + 32], "");
  EXPECT_EQ(log.back(), " The end of b.l. computation");

  const std::string header =
      "   NX       X          UE          ME          D1         ROV          CF        DUmax"
      "    JUmax Kiter NP NINV KTBL";
  const std::vector<std::string> console_lines = split_lines(console.text());
  for (const std::vector<std::string>* listing : {&log, &console_lines}) {
    const std::vector<std::string>& lines = *listing;
    std::vector<int> before;  // stations whose rows follow a header
    int rows = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
      LogRow row;
      if (parse_row(lines[n], &row)) {
        ++rows;
        EXPECT_EQ(row.ninv, 0);
        EXPECT_EQ(row.ktbl, 1);
        EXPECT_EQ(row.np, seen[row.i - 3].np);
        EXPECT_EQ(row.kiter, seen[row.i - 3].k_iter);
      }
      if (lines[n] == header) {
        EXPECT_EQ(lines[n - 1], "");
        ASSERT_LT(n + 1, lines.size());
        ASSERT_TRUE(parse_row(lines[n + 1], &row));
        before.push_back(row.i);
      }
    }
    EXPECT_EQ(rows, 98);
    EXPECT_EQ(before, (std::vector<int>{3, 40, 80}));
  }

  for (int i = 1; i <= 2; ++i) {
    // Stations 1 and 2 are never written by a run.
    for (auto* a : {&st.D1, &st.D2, &st.RV, &st.H12, &st.VW}) EXPECT_EQ((*a)(i, 1, 1), 7.0);
    EXPECT_EQ(st.CF(i, 1, 1), 0.0);
  }
  EXPECT_EQ(st.UE(1, 1, 1), 0.0);
  EXPECT_EQ(st.UE(2, 1, 1), 1.0);
  for (int i = 3; i <= 100; ++i) {
    EXPECT_EQ(st.CF(i, 1, 1), seen[i - 3].cf);
    EXPECT_EQ(st.D2(i, 1, 1), seen[i - 3].d2);
    EXPECT_EQ(st.H12(i, 1, 1), seen[i - 3].h12);
  }
  EXPECT_EQ(st.NXDONE(1, 1), 100);
  EXPECT_EQ(st.XINV(1, 1), 1.0);
  EXPECT_EQ(st.XTR(1, 1), 5.0);
}

// Runs that cannot start are refused before anything is made or written: the
// store and the listings stay as they were.
TEST_F(SurfaceDriver, RefusedRunsWriteNothing) {
  open_bl_listings(dir);
  struct Case {
    const char* what;
    int np;
    double remill;
    int nx;
    const char* says;
    double etae = 8.0, vgp = 1.1;
  };
  const Case cases[] = {
      {"NP above the grid", 822, 0.1, 50, "821"},
      {"NP below 2", 1, 0.1, 50, "NP = 1"},
      {"Reynolds number 0", 61, 0.0, 50, "Re mill="},
      {"two stations", 61, 0.1, 2, "Element 1, upper surface"},
      {"ETAE 0", 61, 0.1, 50, "ETAE = 0.", 0.0},
      {"ETAE not a number", 61, 0.1, 50, "ETAE = nan", std::nan("")},
      {"VGP -1", 61, 0.1, 50, "VGP = -1.", 8.0, -1.0},
      {"VGP 2.5 over 821 points", 821, 0.1, 50, "NP = 821 points growing by VGP = 2.5", 8.0,
       2.5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    flat_plate_store(50, 1.0, c.remill, c.np, 5.0);
    ProblemState& st = state();
    st.ETAE = c.etae;
    st.VGP = c.vgp;
    st.NX(1, 1) = c.nx;
    st.NXDONE(1, 1) = 33;
    for (int i = 1; i <= 50; ++i) st.CF(i, 1, 1) = 7.0;
    text::units().flush_all();
    const std::string blf = read_file(dir + "/case.blf");
    const std::string echo = read_file(dir + "/InputBl.out");
    const Result r = FOIL_BL2D(0, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
    text::units().flush_all();
    EXPECT_EQ(read_file(dir + "/case.blf"), blf);
    EXPECT_EQ(read_file(dir + "/InputBl.out"), echo);
    EXPECT_EQ(st.NXDONE(1, 1), 33);
    for (int i = 1; i <= 50; ++i) EXPECT_EQ(st.CF(i, 1, 1), 7.0);
  }
}

// A station that cannot be solved stops its surface at the last good
// station: the message names element, surface, station and cause, NXDONE
// says where the computed part ends, the stations after it hold no old
// results, and nothing non-finite is stored.
TEST_F(SurfaceDriver, StoppedSurfaceKeepsWhatWasComputed) {
  plate(80, 0.1, 31, 5.0);
  ProblemState& st = state();
  for (auto* a : run_results(st)) {
    for (int i = 1; i <= 80; ++i) (*a)(i, 1, 2) = 7.0;
  }
  st.UE(40, 1, 2) = 0.0;  // the edge velocity vanishes mid-surface
  std::vector<Seen> seen;
  const Result r = run_surface(0, 1, &seen);
  ASSERT_FALSE(r.ok);
  EXPECT_NE(r.message.find("Element 1, lower surface, station 40"), std::string::npos)
      << r.message;
  EXPECT_NE(r.message.find("stops at station 39"), std::string::npos) << r.message;
  EXPECT_EQ(st.NXDONE(1, 2), 39);
  ASSERT_EQ(seen.size(), 37u);
  for (int i = 3; i <= 39; ++i) EXPECT_EQ(st.CF(i, 1, 2), seen[i - 3].cf);
  for (int i = 40; i <= 80; ++i) {
    for (auto* a : run_results(st)) EXPECT_EQ((*a)(i, 1, 2), 0.0);
  }
  for (int i = 1; i <= 80; ++i) {
    for (auto* a : {&st.UE, &st.CF, &st.D1, &st.D2, &st.RV, &st.H12, &st.VW})
      EXPECT_TRUE(std::isfinite((*a)(i, 1, 2)));
  }
}

// Runs whose start fails after their inputs were accepted say why: a
// similarity start that ends in values that are not finite (an outer edge
// far out of scale), or an edge velocity that falls from the stagnation
// point (no grid scale). Nothing of the surface is stored.
TEST_F(SurfaceDriver, FailedStartNamesItsCause) {
  struct Case {
    const char* what;
    double etae, ue2;
    const char* says;
  };
  const Case cases[] = {
      {"ETAE 1e-300", 1e-300, 1.0,
       "Element 1, upper surface: the similarity start at the stagnation point did not converge "
       "to finite values (NP = 31, ETAE = 1e-300, VGP = 1.1); the boundary layer is not "
       "computed."},
      {"ETAE 1e308", 1e308, 1.0, "did not converge to finite values (NP = 31, ETAE = 1e+308,"},
      {"falling edge velocity", 8.0, -0.5,
       "Element 1, upper surface: the first two stations give no grid scale"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    plate(50, 0.1, 31, 5.0);
    ProblemState& st = state();
    st.ETAE = c.etae;
    st.UE(2, 1, 1) = c.ue2;
    st.NXDONE(1, 1) = 33;
    for (int i = 1; i <= 50; ++i) st.CF(i, 1, 1) = 7.0;
    const Result r = FOIL_BL2D(0, 0);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.message.find(c.says), std::string::npos) << r.message;
    EXPECT_EQ(st.NXDONE(1, 1), 0);
    for (int i = 1; i <= 50; ++i) EXPECT_EQ(st.CF(i, 1, 1), 7.0);
    text::units().close_all();
  }
}

// A station whose equations overflow (an edge velocity far out of range)
// is stopped with that cause, not as a singular block.
TEST_F(SurfaceDriver, OverflowingStationNamesItsCause) {
  for (const double ue : {1e200, 1e300}) {
    SCOPED_TRACE(ue);
    plate(80, 0.1, 31, 5.0);
    state().UE(40, 1, 1) = ue;
    const Result r = FOIL_BL2D(0, 0);
    ASSERT_FALSE(r.ok);
    EXPECT_NE(r.message.find("Element 1, upper surface, station 40: the station equations are "
                             "not finite at grid point "),
              std::string::npos)
        << r.message;
    EXPECT_EQ(r.message.find("singular"), std::string::npos) << r.message;
    EXPECT_EQ(state().NXDONE(1, 1), 39);
    text::units().close_all();
  }
}

// Howarth's linearly retarded flow ue = 1 - s at Re 1e5 with a separation
// threshold Cf sqrt(Re) = 0.5: the separation test finds the threshold
// crossed ahead of a station before the Newton passes fail there. That
// station is the first turbulent one: XTR holds its arc length exactly (the
// transition criterion would leave the arc length of the station before),
// its row and every later one show KTBL 2, every earlier one KTBL 1, and the
// passes of that station did not reach the limit.
TEST_F(SurfaceDriver, LaminarSeparationMakesTheStationTurbulent) {
  open_bl_listings(dir);
  flat_plate_store(200, 0.2, 0.1, 61, 5.0);
  ProblemState& st = state();
  st.CFSEP = 0.5;
  for (int i = 2; i <= 200; ++i) st.UE(i, 1, 1) = 1.0 - st.S(i, 1, 1);
  const Result r = FOIL_BL2D(0, 0);
  ASSERT_TRUE(r.ok) << r.message;
  text::units().flush_all();
  const std::vector<LogRow> rows = log_rows(dir + "/case.blf");
  ASSERT_EQ(rows.size(), 198u);
  int first = 0;
  for (const LogRow& row : rows) {
    if (row.ktbl == 2 && first == 0) first = row.i;
    EXPECT_EQ(row.ktbl, first == 0 ? 1 : 2) << "station " << row.i;
  }
  ASSERT_GT(first, 3);
  EXPECT_EQ(st.XTR(1, 1), st.S(first, 1, 1));
  EXPECT_LT(rows[first - 3].kiter, 21);
  for (const PassLimitRecord& p : pass_limit_records(console.text())) EXPECT_GT(p.i, first);
  // Howarth's layer separates at s = 0.1199; the threshold lies ahead of it.
  EXPECT_LT(st.XTR(1, 1), 0.1199);
  EXPECT_GT(st.XTR(1, 1), 0.09);
}

// A stagnation flow ue = 7e8 s on the plate's stations, laminar: edge
// velocities so large that the rounding of the velocity profile stays far
// above the Newton tolerance of 1e-6 while far below the edge velocity.
void fast_stagnation_flow(int n) {
  flat_plate_store(n, 1.0, 0.1, 31, 5.0);
  ProblemState& st = state();
  for (int i = 2; i <= n; ++i) st.UE(i, 1, 1) = 7e8 * st.S(i, 1, 1);
}

// Stations whose passes have settled but cannot meet the tolerance are
// taken at the pass limit: each has its record on standard output (pass 21,
// a last correction of at most 1e-3 of the edge velocity), its row shows 21
// passes, the march goes on to the end, and one warning counts them.
TEST_F(SurfaceDriver, PassLimitAcceptsSettledStations) {
  open_bl_listings(dir);
  fast_stagnation_flow(170);
  const Result r = FOIL_BL2D(0, 0);
  ASSERT_TRUE(r.ok) << r.message;
  text::units().flush_all();
  EXPECT_EQ(state().NXDONE(1, 1), 170);
  std::vector<int> at_limit;
  for (const LogRow& row : log_rows(dir + "/case.blf"))
    if (row.kiter == 21) at_limit.push_back(row.i);
  ASSERT_GT(at_limit.size(), 10u);
  std::vector<int> recorded;
  for (const PassLimitRecord& p : pass_limit_records(console.text())) {
    EXPECT_EQ(p.it, 21);
    EXPECT_GT(p.dumax, 1e-6) << "station " << p.i;
    EXPECT_LE(p.dumax, 1e-3 * p.ue) << "station " << p.i;
    if (recorded.empty() || recorded.back() != p.i) recorded.push_back(p.i);
  }
  // A station solved anew on a grown grid may have a record of an earlier
  // solve; each station at the limit has one of its last.
  for (const int i : at_limit)
    EXPECT_NE(std::find(recorded.begin(), recorded.end(), i), recorded.end()) << i;
  ASSERT_EQ(r.warnings.size(), 1u);
  EXPECT_EQ(r.warnings[0], "Element 1, upper surface: " + std::to_string(at_limit.size()) +
                               " station(s) did not converge within 21 Newton passes and were "
                               "taken as they stood.");
}

// Stations whose passes still move at the limit (the last correction above
// 1e-3 of the edge velocity), solved once more on the grown grid, are taken
// as separated where a layer can separate under its prescribed edge
// velocity; in the inverse region they have no solution and show a
// stand-in.
// - The thin section at a low Reynolds number: the laminar layer of the
//   upper surface separates at station i (four records there: the laminar
//   solve and its redo, the turbulent solve and its redo). It turns
//   turbulent at i, still has no attached solution and enters the inverse
//   mode from i, the separation half way between stations i-1 and i; the
//   march goes on to the trailing edge.
// - A reversed separation wall shear at 14 degrees: inverse stations do not
//   settle. None is shown as a solution: each row shows the station's first
//   guess (in the inverse region the profile of the station before, at its
//   edge velocity) with no Newton pass behind it, the log marks it and the
//   run's warning lists it, and the march goes on past it.
TEST_F(SurfaceDriver, PassLimitSeparatesOrStandsIn) {
  const ProblemState& st = state();
  {
    SCOPED_TRACE("laminar, then turbulent separation");
    NacaCase thin;
    thin.thickness = 0.06;
    thin.remill = 0.1;
    ASSERT_NO_FATAL_FAILURE(load_case(test_name(), naca_geometry(thin), "sep.dat"));
    ASSERT_TRUE(SXR(0).ok);
    const Result r = FOIL_BL2D(0, 0);
    ASSERT_TRUE(r.ok) << r.message;
    text::units().flush_all();
    const std::vector<PassLimitRecord> records = pass_limit_records(console.text());
    ASSERT_EQ(records.size(), 4u);
    const int i = records[0].i;
    for (const PassLimitRecord& p : records) {
      EXPECT_EQ(p.i, i);
      EXPECT_GT(p.dumax, 1e-3 * std::fabs(p.ue));
    }
    EXPECT_TRUE(r.warnings.empty());
    EXPECT_EQ(st.XTR(1, 1), st.S(i, 1, 1));
    EXPECT_EQ(st.XINV(1, 1), 0.5 * (st.S(i - 1, 1, 1) + st.S(i, 1, 1)));
    EXPECT_EQ(st.NXDONE(1, 1), st.NX(1, 1));
    const std::vector<LogRow> rows = log_rows(dir + "/sep.blf");
    ASSERT_EQ(static_cast<int>(rows.size()), st.NX(1, 1) - 2);
    for (const LogRow& row : rows) {
      EXPECT_EQ(row.ktbl, row.i >= i ? 2 : 1) << "station " << row.i;
      EXPECT_EQ(row.ninv, row.i >= i ? i : 0) << "station " << row.i;
      EXPECT_LT(row.kiter, 21) << "station " << row.i;
    }
  }
  {
    SCOPED_TRACE("inverse region");
    NacaCase reversed;
    reversed.alpha = 14;
    reversed.remill = 3;
    reversed.cfsep = -0.5;
    reversed.xtru = reversed.xtrl = 0.02;
    const std::size_t said = console.text().size();
    ASSERT_NO_FATAL_FAILURE(load_case(test_name(), naca_geometry(reversed), "rev.dat"));
    ASSERT_TRUE(SXR(0).ok);
    const Result r = FOIL_BL2D(0, 0);
    ASSERT_TRUE(r.ok) << r.message;
    text::units().flush_all();
    const std::vector<PassLimitRecord> records = pass_limit_records(console.text().substr(said));
    ASSERT_FALSE(records.empty());
    const std::vector<SurfaceLog> logs = surface_logs(dir + "/rev.blf");
    ASSERT_EQ(logs.size(), 1u);
    const std::vector<LogRow>& rows = logs[0].rows;
    ASSERT_EQ(static_cast<int>(rows.size()), st.NX(1, 1) - 2);
    EXPECT_EQ(st.NXDONE(1, 1), st.NX(1, 1));
    const int ninv = rows.back().ninv;
    ASSERT_GT(ninv, 3);
    std::set<int> unsettled;
    for (const PassLimitRecord& p : records) {
      EXPECT_GE(p.i, ninv);
      if (p.dumax > 1e-3 * std::fabs(p.ue)) unsettled.insert(p.i);
    }
    ASSERT_FALSE(unsettled.empty());
    // Every station whose last passes did not settle is a stand-in (a
    // station may have records of a solve that was redone and settled).
    const std::set<int>& marked = logs[0].not_solved;
    for (const int i : marked) EXPECT_TRUE(unsettled.count(i)) << "station " << i;
    ASSERT_FALSE(marked.empty());
    std::string listed;
    for (const LogRow& row : rows) {
      if (!marked.count(row.i)) {
        EXPECT_NE(row.kiter, 0) << "station " << row.i;
        continue;
      }
      const LogRow& before = rows[row.i - 4];
      ASSERT_EQ(before.i, row.i - 1);
      EXPECT_EQ(row.kiter, 0) << "station " << row.i;
      EXPECT_EQ(row.ue, before.ue) << "station " << row.i;
      EXPECT_EQ(row.d1, before.d1) << "station " << row.i;
      EXPECT_EQ(st.UE(row.i, 1, 1), st.UE(row.i - 1, 1, 1)) << "station " << row.i;
      EXPECT_GT(row.d1, 0.0);
      listed += (listed.empty() ? "" : ",") + std::to_string(row.i);
    }
    // The warning names them, runs of stations as "a-b".
    ASSERT_EQ(r.warnings.size(), 1u);
    const std::string& w = r.warnings[0];
    const std::string head = "Element 1, upper surface: " + std::to_string(marked.size()) +
                             " station(s) had no solution: stations ";
    EXPECT_EQ(w.substr(0, head.size()), head);
    // Each run with its arc lengths: "a (s xa)" or "a-b (s xa to xb)".
    std::set<int> named;
    for (const char* p = w.c_str() + w.find("stations ") + 9; *p;) {
      int a = 0, b = 0, n = 0;
      double sa = 0, sb = 0;
      if (std::sscanf(p, "%d-%d (s %lf to %lf)%n", &a, &b, &sa, &sb, &n) == 4) {
      } else if (std::sscanf(p, "%d (s %lf)%n", &a, &sa, &n) == 2) {
        b = a;
        sb = sa;
      } else {
        break;
      }
      EXPECT_NEAR(sa, st.S(a, 1, 1), 1e-5 * st.S(a, 1, 1)) << w;
      EXPECT_NEAR(sb, st.S(b, 1, 1), 1e-5 * st.S(b, 1, 1)) << w;
      for (int j = a; j <= b; ++j) named.insert(j);
      p += n;
      while (*p == ',' || *p == ' ') ++p;
    }
    EXPECT_EQ(named, marked) << w;
    // The store knows them.
    for (int j = 1; j <= st.NXDONE(1, 1); ++j)
      EXPECT_EQ(st.SOLVED(j, 1, 1), marked.count(j) ? 0 : 1) << "station " << j;
  }
}

// The profile table (profile listing) and the block dump (debug listing)
// are written at stations 162 and 163 only, once per Newton pass and not
// after a pass beyond the limit. A station solved anew on a grown grid dumps
// the passes of each solve. Checked on a laminar flat plate (a few passes a
// station) and on the fast stagnation flow (every pass up to the limit).
TEST_F(SurfaceDriver, DumpsAtStations162And163OncePerPass) {
  struct Case {
    const char* what;
    bool fast;
  };
  for (const Case& c : {Case{"flat plate", false}, Case{"fast stagnation flow", true}}) {
    SCOPED_TRACE(c.what);
    open_bl_listings(dir);
    if (c.fast) {
      fast_stagnation_flow(170);
    } else {
      flat_plate_store(300, 1.0, 0.1, 61, 5.0);
    }
    const Result r = FOIL_BL2D(0, 0);
    ASSERT_TRUE(r.ok) << r.message;
    text::units().flush_all();
    const std::vector<LogRow> rows = log_rows(dir + "/case.blf");
    // The pass counts each dump should show: for every solve of the
    // station, 1, 2, ... up to its passes (at most 20). A solve before a
    // growth of the grid (np up by 2) is not in the row; its passes are
    // taken from the dumps and must run 1, 2, ... too.
    std::vector<std::pair<int, int>> block_dumps, profile_tables;  // (IT, NX)
    for (const std::string& line : read_lines(dir + "/case.deb")) {
      int it, nx;
      if (line.find("Roe/Ro8") == std::string::npos &&
          std::sscanf(line.c_str(), " IT=%d NX=%d", &it, &nx) == 2)
        block_dumps.push_back({it, nx});
    }
    for (const std::string& line : read_lines(dir + "/case.bln")) {
      int it, nx;
      if (std::sscanf(line.c_str(), " IT=%d NX=%d", &it, &nx) == 2 && nx > 3)
        profile_tables.push_back({it, nx});
    }
    EXPECT_EQ(profile_tables, block_dumps);
    std::size_t at = 0;
    for (const int i : {162, 163}) {
      const LogRow& row = rows[i - 3];
      ASSERT_EQ(row.i, i);
      const int solves = 1 + (row.np - rows[i - 4].np) / 2;
      for (int solve = 1; solve <= solves; ++solve) {
        int pass = 0;
        while (at < block_dumps.size() && block_dumps[at].second == i &&
               block_dumps[at].first == pass + 1) {
          ++pass;
          ++at;
        }
        EXPECT_GE(pass, 1) << "station " << i << ", solve " << solve;
        EXPECT_LE(pass, 20) << "station " << i << ", solve " << solve;
        if (solve == solves) {
          EXPECT_EQ(pass, std::min(row.kiter, 20)) << "station " << i;
        }
      }
      if (c.fast) {
        EXPECT_EQ(row.kiter, 21) << "station " << i;
      }
    }
    EXPECT_EQ(at, block_dumps.size());
    text::units().close_all();
  }
}

}  // namespace
}  // namespace sorvane

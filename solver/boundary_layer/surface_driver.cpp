// The surface driver of the boundary layer: one element surface from the
// similarity start at the stagnation point to the trailing edge.
//
// Order of a run: input set-up, similarity start, station grid, start
// profiles of stations 2 and 3, then the march over stations 3..nxt with a
// Newton loop at every station, the switches to turbulent flow and to the
// inverse region past separation, the redo of a station whose layer outgrew
// its grid, the station log, and the copy of every finished station into
// the result store.
//
// A station that cannot be solved (a singular block, a non-finite
// correction, integral values that are not finite) stops the surface at the
// last good station: NXDONE says where the computed part ends, the stations
// after it are cleared, XINV is at that station at the latest, and the
// result names element, surface, station and cause.
#include "solver/boundary_layer/surface_driver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>
#include <string>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/boundary_layer.h"
#include "solver/boundary_layer/closures.h"
#include "solver/boundary_layer/dumps.h"
#include "solver/boundary_layer/input_setup.h"
#include "solver/boundary_layer/integral_quantities.h"
#include "solver/boundary_layer/inverse_mode.h"
#include "solver/boundary_layer/similarity_start.h"
#include "solver/boundary_layer/station_equations.h"
#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane::bl {
namespace {

// Listing records of the driver.
struct DriverFormats {
  text::Format reLine{"(4H Re=,F15.3,8H    XTR=,F10.3,8H   XINV=,F10.3)"};
  text::Format npLine{"(4H NP=,I5,8H   ETAE=,F10.3,7H   VGP=,F10.3)"};
  text::Format gridRuleTop{"(/,50(1H=))"};
  text::Format gridHeading{"(50H    I         ETA           DETA              A   )"};
  text::Format gridRule{"(50(1H-))"};
  text::Format gridRow{"(I5,4E15.4)"};
  text::Format gridRuleEnd{"(50(1H-),/)"};
  text::Format startHeading{
      "(5h   NX,8x,1hX,10x,9hVFOL or V,9x,2hCF,13x,2hTF,11x,8hTF_EXACT)"};
  text::Format startRow{"(I5,6E15.6)"};
  text::Format passLimit{
      "(19h k_iter > k_iterMax,4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,2e15.5)"};
  text::Format stationHeading{
      "(/,5h   NX,7x,1hX,10x,2hUE,10x,2hME,10x,2hD1,9x,3hROV,10x,2hCF,8x,5hDUmax,4x,"
      "5hJUmax,1x,5hKiter,1x,2hNP ,1x,4hNINV,1x,4hKTBL)"};
  text::Format stationRowLog{"(i5,7e12.5,5i5,2e15.5)"};
  text::Format stationRowStd{"(i5,7e12.5,5i5)"};
};

const DriverFormats& formats() { return text::listing_table<DriverFormats>(); }

// Constants the march compares with, as the solver holds them.
constexpr double kInverseStart = 0.019999999552965164;  // 0.02 in single precision
constexpr double kNewtonTolerance = 9.999999974752427e-07;  // 1e-6 in single precision
constexpr double kTfExact = 1.2325999736785889;             // 1.2326 in single precision
constexpr int kPassLimit = 20;
// Largest last correction, as a fraction of the edge velocity, with which a
// station that used up its passes has settled (its profile no longer moves
// visibly); above it the passes have not settled.
constexpr double kSettled = 1e-3;
constexpr int kDumpStation1 = 162, kDumpStation2 = 163;

// The two-point difference of station 3, at station i: weights 1/h and -1/h
// of stations i and i-1.
void set_two_point_weights(SurfaceRun& r, int i) {
  r.cx0 = 1.0 / (r.x(i) - r.x(i - 1));
  r.cx1 = -r.cx0;
  r.cx2 = 0.0;
}

// Streamwise derivative weights of station i (cx0 for i, cx1 for i-1, cx2
// for i-2): a two-point difference at station 3, three points after it.
void set_weights(SurfaceRun& r, int i) {
  if (i == 3) {
    set_two_point_weights(r, i);
    return;
  }
  const double h1 = r.x(i) - r.x(i - 1);
  const double h2 = r.x(i - 1) - r.x(i - 2);
  r.cx0 = (2.0 * h1 + h2) / (h1 * (h1 + h2));
  r.cx1 = -(h1 + h2) / (h1 * h2);
  r.cx2 = h1 / (h2 * (h1 + h2));
}

// Whether the three-point derivative of the prescribed edge velocity at
// station i (the weights of set_weights) has the sign opposite to the trend
// of ue there: ue rises (or falls) from station i-1 to i and on to i+1, and
// the parabola through stations i-2, i-1, i still has the other slope at i.
// That happens where ue bends over sharply, just behind a small leading-edge
// radius: the parabola reaches back to a steep first interval and tips over
// in the next. An edge velocity that is taken to fall where it rises makes
// the station equations of an attached layer unsolvable and starts the
// separation test; such a station takes the two-point difference instead.
// Only stations whose edge velocity and next station's are prescribed (the
// direct region, before the last station) are judged.
bool three_point_contradicts_trend(const SurfaceRun& r, int i) {
  if (i < 4 || i >= r.nxt || !(r.x(i + 1) <= r.xinv)) return false;
  const double slope = r.cx0 * r.ue(i) + r.cx1 * r.ue(i - 1) + r.cx2 * r.ue(i - 2);
  const double last = r.ue(i) - r.ue(i - 1);
  const double next = r.ue(i + 1) - r.ue(i);
  return (last > 0.0 && next > 0.0 && slope < 0.0) || (last < 0.0 && next < 0.0 && slope > 0.0);
}

// The station grid: the similarity grid scaled by sqrt(dx/due) of the first
// interval, over all grid points. aa(1) belongs to no box; it is 0.
bool scale_grid(SurfaceRun& r) {
  const double c = std::sqrt((r.x(2) - r.x(1)) / (r.ue(2) - r.ue(1)));
  if (!std::isfinite(c) || !(c > 0.0)) return false;
  r.eta(1) = 0.0;
  r.aa(1) = 0.0;
  for (int j = 2; j <= kGridPoints; ++j) {
    r.eta(j) = c * r.sim.eta_sim(j);
    r.deta(j - 1) = r.eta(j) - r.eta(j - 1);
    r.aa(j) = 0.5 * r.deta(j - 1);
  }
  return true;
}

// Copies station i of the run into the result store.
void store_station(const SurfaceRun& r, int i, int k, int s) {
  ProblemState& st = state();
  st.UE(i, k, s) = r.ue(i);
  st.CF(i, k, s) = r.cfb(i);
  st.D1(i, k, s) = r.d1b(i);
  st.D2(i, k, s) = r.d2b(i);
  st.RV(i, k, s) = r.rov(i);
  st.VW(i, k, s) = r.vww(i);
  st.H12(i, k, s) = r.h12(i);
}

// Clears the stations of the store that the run did not compute.
void clear_stations(int from, int to, int k, int s) {
  ProblemState& st = state();
  for (int i = from; i <= to; ++i) {
    st.CF(i, k, s) = 0.0;
    st.D1(i, k, s) = 0.0;
    st.D2(i, k, s) = 0.0;
    st.RV(i, k, s) = 0.0;
    st.VW(i, k, s) = 0.0;
    st.H12(i, k, s) = 0.0;
  }
}

// The first grid point 1..np where the station system (its blocks and the
// right-hand side rhs) holds a value that is not finite; 0 when none does.
int first_nonfinite_equation(const SurfaceRun& r, const Table2<double>& rhs) {
  const int nn = r.neq * r.neq;
  // The blocks are looked at up to the first point whose right-hand side is
  // not finite (all of them when there is none).
  const int in_rhs = first_nonfinite_point(rhs, r.neq, r.np);
  const int last = in_rhs != 0 ? in_rhs : r.np;
  for (int j = 1; j <= last; ++j) {
    for (const Table3<double>* m : {&r.amat, &r.bmat, &r.cmat}) {
      const double* b = m->block_data(j);
      for (int e = 0; e < nn; ++e)
        if (!std::isfinite(b[e])) return j;
    }
  }
  return in_rhs;
}

// Why the block solve of the station system for rhs broke down at grid
// point bad (the solver's return). The solver reports a block it cannot
// invert and a solution that is not finite alike; the causes differ:
// - equations that are not finite (an overflow in the station equations,
//   from an edge velocity far out of range or a profile that ran away) make
//   blocks the solver cannot invert, so they are looked for first;
// - a solution that is not finite at bad: the solver got through the
//   elimination. sol is finite before every solve of the march (the arrays
//   are made zero-filled and a solution that is not finite stops the
//   surface), and a solve that stops at a block leaves it as it was;
// - otherwise the eliminated block at bad could not be inverted: it
//   overflowed (its determinant is not finite) or it is singular.
std::string block_failure(const SurfaceRun& r, const Table2<double>& rhs,
                          const Table2<double>& sol, int bad) {
  if (const int j = first_nonfinite_equation(r, rhs))
    return "the station equations are not finite at grid point " + std::to_string(j);
  if (first_nonfinite_point(sol, r.neq, r.np) == bad)
    return "the solution of the station system is not finite at grid point " +
           std::to_string(bad);
  if (!std::isfinite(r.det(bad)))
    return "the block elimination of the station system overflows at grid point " +
           std::to_string(bad);
  return "singular block of the station system at grid point " + std::to_string(bad);
}

// One surface run after its inputs have been checked.
class March {
 public:
  March(SurfaceRun& run, int ielem, int isurf, const StationHook& hook)
      : r_(run), ielem_(ielem), isurf_(isurf), k_(ielem + 1), s_(isurf + 1), hook_(hook) {
    guess_.resize(kGuessTables * kProfileLevels * static_cast<std::size_t>(kGridPoints));
  }

  Result run();

 private:
  // Set-up and start; false with *cause (the whole message) when the run
  // cannot start.
  bool start(std::string* cause);
  // How the Newton passes of a station ended.
  enum class Passes { kConverged, kAtLimit, kBroken };
  // Solves station i (its levels not yet shifted); false with *cause when it
  // cannot be solved.
  bool solve_station(int i, std::string* cause);
  Passes newton(int i, std::string* cause);
  // Station i is taken as separated: a laminar layer turns turbulent there,
  // a turbulent one enters the inverse mode from it.
  void separate_at(int i);
  // The first guess of station i: the levels of the stations before it
  // shifted down, level 3 the profile of station i-1 scaled to the edge
  // velocity of station i (that of station i-1 in the inverse region).
  // begin_station keeps the levels as they were before the shift, so that
  // restart_station can make the first guess again for a new solve.
  void begin_station(int i);
  void restart_station(int i);
  void log_station(int i);
  void finish();
  Result stopped(int i, const std::string& cause);
  // The warning that counts the stations taken at the pass limit.
  void warn_unconverged();

  SurfaceRun& r_;
  const int ielem_, isurf_, k_, s_;
  const StationHook& hook_;
  text::Units& units_ = text::units();
  const DriverFormats& f_ = formats();
  int lublf_ = state().LUBLF;
  int lustd_ = state().LUSTD;
  int KTBL = 1;
  Result result_;
  bool grid_full_reported_ = false;
  bool lambda_reported_ = false;
  // Stations taken at the pass limit, and whether the last solve of the
  // station being solved was (a station solved anew after grid growth
  // counts by its last solve).
  int unconverged_ = 0;
  bool at_pass_limit_ = false;
  // The levels (f, u, v, b, ccro, ccmu at every grid point in use) before
  // the shift to the station being solved, its prescribed edge velocity and
  // np then.
  static constexpr int kGuessTables = 6;
  std::vector<double> guess_;
  double guess_ue_ = 0.0;
  int guess_np_ = 0;
};

Result March::run() {
  ProblemState& st = state();
  st.NXDONE(k_, s_) = 0;
  std::string failed;
  if (!start(&failed)) {
    finish();
    return Result::failure(failed);
  }
  st.NXDONE(k_, s_) = 2;
  for (int i = 3; i <= r_.nxt; ++i) {
    if (i > 3) begin_station(i);
    std::string cause;
    if (!solve_station(i, &cause)) return stopped(i, cause);
    if (at_pass_limit_) ++unconverged_;
    log_station(i);
    store_station(r_, i, k_, s_);
    st.NXDONE(k_, s_) = i;
    if (hook_) hook_(r_, i);
  }
  finish();
  warn_unconverged();
  return result_;
}

void March::warn_unconverged() {
  if (unconverged_ == 0) return;
  result_.warnings.push_back(surface_text(ielem_, isurf_) + ": " + std::to_string(unconverged_) +
                             " station(s) did not converge within " +
                             std::to_string(kPassLimit + 1) +
                             " Newton passes and were taken as they stood.");
}

bool March::start(std::string* cause) {
  SurfaceRun& r = r_;
  BL_INPUT_SETUP(r, ielem_, isurf_);
  units_.write_free(lublf_, {"  Start  of b.l. computation 0"});
  units_.write_free(lublf_,
                    {isurf_ == 0 ? "Upper surface,  Element=" : "Lower surface,  Element=",
                     ielem_});
  r.k_iterMax = kPassLimit;
  r.invmode = 0;
  r.ninv = 0;
  KTBL = 1;
  r.xinv = r.x(r.nxt);

  units_.write_free(lublf_, {"  Start  of b.l. computation 1"});
  if (!INIT2D(r.sim, r.np, r.vlbl, r.etae, 1)) {
    // The inputs were checked before the run; what is left is a pass of the
    // start that gave values that are not finite.
    *cause = surface_text(ielem_, isurf_) +
             ": the similarity start at the stagnation point did not converge to finite values "
             "(NP = " +
             std::to_string(r.np) + ", ETAE = " + number_text(r.etae) +
             ", VGP = " + number_text(r.vlbl) + "); the boundary layer is not computed.";
    return false;
  }
  units_.write_free(lublf_, {"  Start  of b.l. computation 2"});
  DIAG_3_ALLOCATE(r);
  units_.write_free(lublf_, {"  Start  of b.l. computation 3"});

  if (!scale_grid(r)) {
    *cause = surface_text(ielem_, isurf_) +
             ": the first two stations give no grid scale (the edge velocity does not rise "
             "from the stagnation point); the boundary layer is not computed.";
    return false;
  }

  units_.write(lublf_, f_.reLine, {r.re, r.xtr, r.xinv});
  units_.write(lublf_, f_.npLine, {r.np, r.etae, r.vlbl});
  units_.write(lublf_, f_.gridRuleTop, {});
  units_.write(lublf_, f_.gridHeading, {});
  units_.write(lublf_, f_.gridRule, {});
  for (int j = 1; j <= r.np; ++j) {
    units_.write(lublf_, f_.gridRow, {j, r.eta(j), r.deta(j), r.aa(j)});
  }
  units_.write(lublf_, f_.gridRuleEnd, {});

  r.sqre = std::sqrt(r.re);
  units_.write(lustd_, f_.startHeading, {});
  {
    const double cf = 2.0 * r.sim.v_sim(1) / std::sqrt(r.rx(2));
    const double tf = 0.5 * cf * std::sqrt(r.rx(2));
    units_.write(lustd_, f_.startRow, {2, r.x(2), r.sim.v_sim(1), cf, tf, kTfExact});
  }
  for (int i = 2; i <= 3; ++i) {
    BL_START_PROFILE(r, i, i, 1);
    BL_PRINT_PROFILE(r, i, i);
    const double cf = 2.0 * r.v(i, 1) / (r.ue(i) * r.ue(i) * r.sqre);
    const double tf = 0.5 * cf * std::sqrt(r.rx(i));
    units_.write(lustd_, f_.startRow, {i, r.x(i), r.v(i, 1), cf, tf});
  }
  r.etae = r.eta(r.np);
  return true;
}

// Station i: the Newton passes under the station's edge condition, again on
// a grown grid while the layer outgrows it, and the integral values.
//
// Where a station's own solution says that the layer separates there:
// - The separation test extrapolates the skin friction of the two stations
//   before i. A turbulent layer enters the inverse mode where it says so. A
//   laminar layer turns turbulent there only when station i's own laminar
//   solution confirms the separation: its passes do not settle or break
//   down, or its skin friction falls to the separation threshold. Behind a
//   suction peak the laminar skin friction falls steeply but stays well
//   above zero, and the extrapolation alone would turn such layers
//   turbulent far ahead of transition.
// - Passes that do not settle under a prescribed edge velocity (the last
//   correction still above 1e-3 of the edge velocity at the pass limit),
//   also when the station is solved once more on the grown grid, mean a
//   layer that separates abruptly: the extrapolation misses it and the
//   station has no attached solution. Where the layer can separate - a
//   laminar layer in a falling edge velocity, a turbulent one where the
//   separation test is made (behind the inverse-mode start, in a falling
//   edge velocity, before separation was found) - the station is taken as
//   separated: a laminar layer turns turbulent there, a turbulent one enters
//   the inverse mode, and the station is solved anew from its first guess.
//   The same holds when such a station's passes break down after they did
//   not settle. Elsewhere (a rising edge velocity, the inverse region) a
//   station that used up its passes is taken as it stands, with its record
//   and the warning.
// The decision is made on the final solve of the station; a station whose
// passes converge, however many grid growths it takes, is solved exactly as
// before.
bool March::solve_station(int i, std::string* cause) {
  SurfaceRun& r = r_;
  // The separation test found the laminar layer's skin friction reaching
  // the threshold ahead of station i; the station's own solution decides.
  bool laminar_separation_ahead = false;
  // A solve of the station ended at the pass limit without settling.
  bool unsettled = false;
  bool regrown_unsettled = false;
  const double ue_given = r.ue(i);
  bool first_solve = true;
  for (;;) {
    at_pass_limit_ = false;
    set_weights(r, i);
    if (three_point_contradicts_trend(r, i)) set_two_point_weights(r, i);
    r.k_iter = 0;
    const double dUedx = r.cx0 * r.ue(i) + r.cx1 * r.ue(i - 1) + r.cx2 * r.ue(i - 2);
    r.dpdx(i) = -r.roe8(i) * r.ue(i) * dUedx;
    if (r.x(i) > kInverseStart && i > 3) r.invmode = 2;
    // The separation test extrapolates the skin friction of the two stations
    // before i; it is made once two finished stations exist (from station 5).
    // Its outcome stands for every solve of the station: a redo on a grown
    // grid or after separation asks it again in the same place (and with a
    // laminar layer that turned turbulent meanwhile it would take the
    // laminar skin friction for a turbulent one).
    const bool separation_tested = r.invmode == 2 && r.ninv == 0 && dUedx < 0.0 && i >= 5;
    if (separation_tested && first_solve) {
      const double xtr = r.xtr;
      SEPARATION_CHECK(r.ninv, r.xinv, r.xtr, i, r.nxt, r.x, r.cfb, r.cf_bc, r.cfsep, r.sqre);
      if (r.xtr != xtr) {
        r.xtr = xtr;  // laminar: station i is solved laminar first
        laminar_separation_ahead = true;
      }
    }
    if (r.xtr > r.x(i) && i > 3) TRANSITION_CHECK(r, i - 1, 2);
    if (r.x(i) >= r.xtr && i > 3) {
      if (KTBL == 1) {
        KTBL = 2;
        r.etae = r.eta(r.np);
        r.ntr = i - 2;
        r.vlbl = r.vtbl;
      }
      BL_EDDY_VISCOSITY(r, i);
    }
    const bool laminar = KTBL == 1;
    const bool direct = r.x(i) <= r.xinv;
    r.dumax = 1.0;
    first_solve = false;
    const Passes passes = newton(i, cause);
    const bool confirm = laminar && laminar_separation_ahead;
    // Where the layer may separate at station i: a laminar layer in a
    // falling edge velocity anywhere after the start, a turbulent one where
    // the separation test is made.
    const bool may_separate =
        direct && (laminar ? dUedx < 0.0 && i > 3 : separation_tested);
    if (passes != Passes::kBroken) {
      if (!direct) r.ue(i) = r.u(3, r.np);
      // A station whose passes still move the profile by a visible fraction
      // of the edge velocity has not settled; one that has nearly settled
      // is taken as it stands.
      const bool settled =
          passes == Passes::kConverged || r.dumax <= kSettled * std::fabs(r.ue(i));
      if (!settled) unsettled = true;
      int grew = 0;
      bool full = false;
      BL_EDGE_GROWTH(r, grew, full);
      if (full && !grid_full_reported_) {
        grid_full_reported_ = true;
        result_.warnings.push_back(
            surface_text(ielem_, isurf_) + ": from station " + std::to_string(i) +
            " on the layer is thicker than the " + std::to_string(kGridPoints) +
            " points of the normal grid hold; those stations were taken on the full grid.");
      }
      // The station is solved anew on the grown grid, as often as the
      // layer outgrows it; after passes that did not settle, once.
      if (grew == 1 && (settled || !regrown_unsettled)) {
        if (!settled) {
          regrown_unsettled = true;
          // At the last station the passes take the edge velocity from the
          // profile; one that did not settle gives none to start from.
          if (direct) r.ue(i) = ue_given;
        }
        continue;
      }
      if (!settled && may_separate) {
        separate_at(i);
        restart_station(i);
        unsettled = regrown_unsettled = false;
        continue;
      }
      if (passes == Passes::kAtLimit) at_pass_limit_ = true;
      if (!std::isfinite(r.ue(i))) {
        *cause = "the edge velocity of the solution is not finite";
      } else if (BL_INTEGRAL_QUANTITIES(r, i, 3, cause)) {
        if (!confirm || r.cfb(i) > r.cfsep / r.sqre) return true;
        separate_at(i);  // the laminar skin friction reaches the threshold
        restart_station(i);
        unsettled = regrown_unsettled = false;
        continue;
      }
    }
    // The station cannot be solved. Where it may separate and its laminar
    // solution was in question, or its passes had not settled before, the
    // layer separates there.
    if (!(may_separate && (confirm || unsettled))) return false;
    separate_at(i);
    restart_station(i);
    unsettled = regrown_unsettled = false;
  }
}

void March::separate_at(int i) {
  SurfaceRun& r = r_;
  if (KTBL == 1) {
    r.xtr = r.x(i);  // station i is the first turbulent one
    return;
  }
  // Turbulent separation between the last finished station and station i;
  // where the extrapolated skin friction reaches the threshold is not known
  // here (the separation test would have found it inside the interval).
  for (int j = i; j <= r.nxt; ++j) r.cf_bc(j) = r.cfsep;
  r.xinv = 0.5 * (r.x(i - 1) + r.x(i));
  r.ninv = i;
}

void March::begin_station(int i) {
  SurfaceRun& r = r_;
  const std::size_t n = static_cast<std::size_t>(kProfileLevels) * r.np;
  const std::size_t stride = static_cast<std::size_t>(kProfileLevels) * kGridPoints;
  double* out = guess_.data();
  for (const Table2<double>* t : {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu}) {
    std::copy(t->data(), t->data() + n, out);
    out += stride;
  }
  guess_np_ = r.np;
  guess_ue_ = r.ue(i);
  if (r.x(i) > r.xinv) r.ue(i) = r.ue(i - 1);  // the first guess of an inverse station
  BL_SHIFT_LEVELS(r, i);
}

void March::restart_station(int i) {
  SurfaceRun& r = r_;
  r.np = guess_np_;
  const std::size_t n = static_cast<std::size_t>(kProfileLevels) * r.np;
  const std::size_t stride = static_cast<std::size_t>(kProfileLevels) * kGridPoints;
  const double* in = guess_.data();
  for (Table2<double>* t : {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu}) {
    std::copy(in, in + n, t->data());
    in += stride;
  }
  r.ue(i) = guess_ue_;
  if (r.x(i) > r.xinv) r.ue(i) = r.ue(i - 1);
  BL_SHIFT_LEVELS(r, i);
}

March::Passes March::newton(int i, std::string* cause) {
  SurfaceRun& r = r_;
  while (r.dumax > kNewtonTolerance) {
    const int np = r.np;
    if (r.x(i) > r.xinv) {
      r.dpdx(i) = -r.ccro(3, np) * r.u(3, np) *
                  (r.cx0 * r.u(3, np) + r.cx1 * r.u(2, np) + r.cx2 * r.u(1, np));
    }
    ++r.k_iter;
    BL_GAS_PROPERTIES(r, i, r.dpdx(i));
    BL_ASSEMBLE(r, i);
    int bad = BLOCK_TRI_SOLVE(r, i, r.rvec, r.xvec);
    if (bad != 0) {
      *cause = block_failure(r, r.rvec, r.xvec, bad);
      return Passes::kBroken;
    }
    if (r.x(i) <= r.xinv) {
      BL_APPLY_CORRECTION(r, r.xvec);
    } else {
      bad = BLOCK_TRI_SOLVE(r, i, r.eyvec, r.yvec);
      if (bad != 0) {
        *cause = block_failure(r, r.eyvec, r.yvec, bad);
        return Passes::kBroken;
      }
      if (!BL_COMBINE_INVERSE(r, r.cf_bc(i), r.xvec, r.yvec, r.aa, i) && !lambda_reported_) {
        lambda_reported_ = true;
        result_.warnings.push_back(
            surface_text(ielem_, isurf_) + ": at station " + std::to_string(i) +
            " the prescribed wall shear could not be met (the inverse step had no wall-shear "
            "response); the direct step was taken.");
      }
    }
    if (r.x(i) >= r.xinv) r.ue(i) = 0.5 * (r.u(3, np - 1) + r.u(3, np));
    BL_CORRECTION_MAX(r);
    if (r.k_iter > r.k_iterMax) {
      units_.write(lustd_, f_.passLimit, {r.k_iter, i, r.x(i), r.ue(i), r.dumax});
      return Passes::kAtLimit;
    }
    if (i == kDumpStation1 || i == kDumpStation2) {
      BL_PRINT_PROFILE(r, i, 3);
      BL_PRINT_BLOCK_SYSTEM(r, i, r.k_iter, 3);
    }
  }
  return Passes::kConverged;
}

void March::log_station(int i) {
  SurfaceRun& r = r_;
  if (i == 3 || i % 40 == 0) {
    units_.write(lublf_, f_.stationHeading, {});
    units_.write(lustd_, f_.stationHeading, {});
  }
  const text::Item row[] = {i,        r.x(i),   r.ue(i),  r.eme(i), r.d1b(i),
                            r.rov(i), r.cfb(i), r.dumax,  r.jumax,  r.k_iter,
                            r.np,     r.ninv,   KTBL};
  units_.write(lublf_, f_.stationRowLog, row, sizeof row / sizeof row[0]);
  units_.write(lustd_, f_.stationRowStd, row, sizeof row / sizeof row[0]);
}

void March::finish() {
  ProblemState& st = state();
  st.XINV(k_, s_) = r_.xinv;
  st.XTR(k_, s_) = r_.xtr;
  units_.write_free(lublf_, {" The end of b.l. computation"});
  if (r_.inputi_allocated) INPUTI_DEALLOCATE(r_);
  if (r_.diag3_allocated) DIAG_3_DEALLOCATE(r_);
}

Result March::stopped(int i, const std::string& cause) {
  // The layer is known up to station i-1: the region past it starts there
  // at the latest.
  if (r_.xinv > r_.x(i - 1)) r_.xinv = r_.x(i - 1);
  const std::string message = surface_text(ielem_, isurf_) + ", station " + std::to_string(i) +
                              ": " + cause + "; the boundary layer stops at station " +
                              std::to_string(i - 1) + ".";
  units_.write_free(lublf_, {message});
  clear_stations(i, r_.nxt, k_, s_);
  finish();
  warn_unconverged();
  Result failed = Result::failure(message);
  failed.warnings = result_.warnings;
  return failed;
}

}  // namespace

void SEPARATION_CHECK(int& ninv, double& xinv, double& xtr, int i, int nxt, Table1<double>& x,
                      Table1<double>& cfb, Table1<double>& cf_bc, double cfsep, double sqre) {
  const double t = cfsep / sqre;
  const double c1 = cfb(i - 1) * cfb(i - 1);
  const double c2 = cfb(i - 2) * cfb(i - 2);
  const double xs = x(i - 2) + (t * t - c2) * (x(i - 1) - x(i - 2)) / (c1 - c2);
  if (!(x(i - 1) <= xs && xs < x(i))) return;  // also when xs is not finite
  if (xtr + 1e-6 >= x(i)) {
    xtr = x(i);  // laminar separation: station i is the first turbulent one
    return;
  }
  for (int j = i; j <= nxt; ++j) cf_bc(j) = cfsep;
  xinv = xs;
  ninv = i;
}

Result FOIL_BL2D(SurfaceRun& run, int ielem, int isurf, const StationHook& hook) {
  Result checked = check_surface_run_inputs(ielem, isurf);
  if (!checked) return checked;
  March march(run, ielem, isurf, hook);
  return march.run();
}

}  // namespace sorvane::bl

namespace sorvane {

Result FOIL_BL2D(int ielem, int isurf) {
  auto run = std::make_unique<bl::SurfaceRun>();
  return bl::FOIL_BL2D(*run, ielem, isurf);
}

}  // namespace sorvane

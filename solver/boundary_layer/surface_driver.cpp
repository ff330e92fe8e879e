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
#include "solver/panel/element_geometry.h"
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
// Bounds of a solution some boundary layer could have: a displacement
// thickness above 0 and at most a tenth of the chord of the panelled
// contour, a momentum thickness above 0 (with velocities between 0 and the
// edge velocity the integrand u/ue (1 - u/ue) is nowhere negative) and a
// shape factor of at least 1 (D1 - D2 is the integral of (1 - u/ue)^2, for
// every profile), a turbulent skin friction within the bound below, an edge
// velocity above 0 (in the inverse region above a thousandth of the largest
// one the panel solution gives the surface) and at most 1.5 times that
// largest one.
constexpr double kThickestLayer = 0.1;
// The skin friction of a layer is not bounded by a fixed number: it grows
// without bound towards the stagnation point, where the laminar layer has
// cf = 2 f''(0) / sqrt(Re_x) with f''(0) = 1.2326 (Hiemenz), 0.08 already at
// Re_x = 955, and a turbulent layer tripped close behind the nose at a low
// Reynolds number has a skin friction of that order. In a strong
// acceleration it is larger still: the similar laminar layer of
// m = (x/ue) due/dx has 1.7 times the stagnation-point value at m = 3, 3.1
// times at m = 10 and 5 times at m = 27, and turbulent layers accelerated
// into the gap of a flap reach 3.3 times it. So a turbulent skin friction
// is impossible only when its size exceeds both 0.05 and five times the
// stagnation-point value at the station's local Reynolds number; the 0.05
// holds from Re_x of about 6e4 on, where attached turbulent layers lie far
// below it.
constexpr double kLargestTurbulentCf = 0.05;
constexpr double kStagnationCf = 2.4652;  // cf sqrt(Re_x) of the Hiemenz layer
constexpr double kCfOverStagnation = 5.0;
constexpr double kLargestEdgeVelocity = 1.5;
constexpr double kSmallestShapeFactor = 1.0;  // D1 / D2
// In the inverse region the edge velocity is part of the solution, and the
// Newton passes can settle on the trivial layer of the prescribed skin
// friction: an edge velocity that has collapsed to 1e-9 or 1e-40 on a
// surface whose edge velocity is of order 1. Such a station is no layer.
// On the matrices of sections the edge velocities of the solved stations
// lie either above 0.02 of the surface's largest or below 1e-8 of it, with
// none between: a thousandth lies in the gap.
constexpr double kSmallestEdgeVelocity = 1e-3;
// The size of the Falkner-Skan parameter m = (x/ue) due/dx beyond which the
// three-point derivative of a station, where it contradicts the last
// interval, is taken for a misfire: more than half the value at which a
// similar laminar layer separates (-0.0904). Where ue levels off at a
// smooth peak the contradicting slopes are a hundred times smaller, and the
// three-point difference is right there.
constexpr double kSteepPressureGradient = 0.05;

// The largest size of a turbulent skin friction at the local Reynolds
// number rx (the bound above).
double largest_turbulent_cf(double rx) {
  return std::max(kLargestTurbulentCf, kCfOverStagnation * kStagnationCf / std::sqrt(rx));
}

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

// dUe/dx at station i with the station's derivative weights.
double edge_velocity_slope(const SurfaceRun& r, int i) {
  return r.cx0 * r.ue(i) + r.cx1 * r.ue(i - 1) + r.cx2 * r.ue(i - 2);
}

// Whether the three-point derivative of the prescribed edge velocity at
// station i (the weights of set_weights) has the sign opposite to the last
// interval's: ue rose from station i-1 to i while the parabola through
// stations i-2, i-1, i falls at i, or the reverse. That happens where ue
// bends over sharply - just behind a small leading-edge radius, where the
// parabola reaches back to a steep first interval, and at a suction peak,
// where ue rises into the station and falls after it and the parabola tips
// over. Its slope there is not the flow's: an edge velocity taken to fall
// steeply where it peaks thickens the laminar layer and cuts its skin
// friction by half, and where it rises makes the station equations of an
// attached layer unsolvable and starts the separation test. Such a station
// takes the two-point difference of the last interval instead, whose slope
// always has that interval's sign. Only stations whose edge velocity is
// prescribed (the direct region) are judged.
bool three_point_contradicts_last_interval(const SurfaceRun& r, int i) {
  if (i < 4 || !(r.x(i) <= r.xinv)) return false;
  const double slope = edge_velocity_slope(r, i);
  const double last = r.ue(i) - r.ue(i - 1);
  if (!((last > 0.0 && slope < 0.0) || (last < 0.0 && slope > 0.0))) return false;
  // The ue rises (or falls) into the station and on to the next one: the
  // parabola has tipped over a steep first interval.
  if (i < r.nxt && r.x(i + 1) <= r.xinv && (r.ue(i + 1) - r.ue(i)) * last > 0.0) return true;
  // Elsewhere the contradiction counts where the slope imposes a pressure
  // gradient the layer feels strongly.
  return std::fabs(slope * r.x(i) / r.ue(i)) > kSteepPressureGradient;
}

// Where the square of the skin friction, extrapolated linearly through
// stations a and b, reaches t^2 (not finite when the two squares are equal).
double extrapolated_separation(const Table1<double>& x, const Table1<double>& cfb, int a, int b,
                               double t) {
  const double ca = cfb(a) * cfb(a);
  const double cb = cfb(b) * cfb(b);
  return x(a) + (t * t - ca) * (x(b) - x(a)) / (cb - ca);
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
  // How one solve of a station ended, after its redos on a grown grid.
  struct Attempt {
    enum class Kind {
      kSolved,     // converged, or nearly settled at the pass limit
      kUnsettled,  // the passes did not settle, also on the grown grid
      kFailed,     // the passes broke down, or the solution is impossible
    };
    Kind kind = Kind::kSolved;
    bool at_pass_limit = false;  // solved, but with the passes used up
    bool unsettled = false;      // some solve of it did not settle
    bool may_separate = false;   // the layer may separate at the station
    bool laminar = false;        // the layer was laminar in the last solve
  };
  // Solves station i (its levels not yet shifted); false with *cause when it
  // cannot be solved.
  bool solve_station(int i, std::string* cause);
  // The derivative weights, dpdx and invmode of station i for a solve;
  // returns dUe/dx.
  double prepare(int i);
  // One solve of station i under its present edge condition and regime,
  // again on a grown grid while the layer outgrows it. A trial only decides
  // something, and the station is solved again after it: it writes nothing,
  // and passes that do not settle are its answer at once (without the redo
  // on the grown grid).
  Attempt attempt(int i, bool trial, std::string* cause);
  Passes newton(int i, bool quiet, std::string* cause);
  // Whether a turbulent separation that the test puts ahead of station i is
  // confirmed by the station's own solution under the prescribed edge
  // velocity. Leaves station i at its first guess.
  bool turbulent_separation_confirmed(int i);
  // Why the finished solution of station i is one no boundary layer could
  // have; "" when it is a possible one.
  std::string impossible_solution(int i) const;
  // Station i is taken as separated: a laminar layer turns turbulent there,
  // a turbulent one enters the inverse mode from it.
  void separate_at(int i);
  // Station i has no solution (*cause says why): it takes its first guess
  // as a stand-in, marked in the log and the run's warning, and the march
  // goes on. False, with *cause, when the first guess is no possible layer
  // either: the surface stops at the last good station.
  bool without_solution(int i, std::string* cause);
  // The first guess of station i: the levels of the stations before it
  // shifted down, level 3 the profile of station i-1 scaled to the edge
  // velocity of station i (that of station i-1 in the inverse region); at
  // station 3 its start profile. begin_station keeps the levels as they were
  // before the shift, so that restart_station can make the first guess
  // again for a new solve.
  void begin_station(int i);
  void restart_station(int i);
  void log_station(int i);
  void finish();
  Result stopped(int i, const std::string& cause);
  // The warnings that count the stations taken at the pass limit and the
  // stand-ins.
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
  // The regime before station i was solved, and whether a laminar
  // separation at station i (taken from its own solves) turned it
  // turbulent.
  struct Regime {
    int KTBL;
    double xtr, etae, vlbl;
    int ntr;
  };
  Regime regime_before_{};
  bool separated_laminar_ = false;
  // Stations shown by a stand-in, and whether the station being logged is
  // one, with why it has no solution.
  std::vector<int> stand_ins_;
  bool stand_in_ = false;
  std::string stand_in_cause_;
  // Bounds of a possible solution: the largest prescribed edge velocity of
  // the surface and the element's chord.
  double ue_max_ = 0.0;
  double chord_ = 0.0;
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
  st.SOLVED(1, k_, s_) = st.SOLVED(2, k_, s_) = 1;  // the similarity start
  for (int i = kFirstMarchedStation; i <= r_.nxt; ++i) {
    begin_station(i);
    std::string cause;
    if (!solve_station(i, &cause)) return stopped(i, cause);
    if (at_pass_limit_) ++unconverged_;
    log_station(i);
    store_station(r_, i, k_, s_);
    st.SOLVED(i, k_, s_) = stand_in_ ? 0 : 1;
    st.NXDONE(k_, s_) = i;
    if (hook_) hook_(r_, i);
  }
  finish();
  warn_unconverged();
  return result_;
}

void March::warn_unconverged() {
  if (!stand_ins_.empty()) {
    // The stations as runs, each with its arc length or range of arc
    // lengths: "5 (s 0.0123), 9-14 (s 0.0234 to 0.0567)".
    std::string list;
    for (std::size_t a = 0; a < stand_ins_.size();) {
      std::size_t b = a;
      while (b + 1 < stand_ins_.size() && stand_ins_[b + 1] == stand_ins_[b] + 1) ++b;
      list += (list.empty() ? "" : ", ") + std::to_string(stand_ins_[a]);
      if (b > a) list += "-" + std::to_string(stand_ins_[b]);
      // The run's arc lengths are those of the store's station list.
      const ProblemState& st = state();
      list += " (s " + number_text(st.S(stand_ins_[a], k_, s_));
      if (b > a) list += " to " + number_text(st.S(stand_ins_[b], k_, s_));
      list += ")";
      a = b + 1;
    }
    result_.warnings.push_back(surface_text(ielem_, isurf_) + ": " +
                               std::to_string(stand_ins_.size()) +
                               " station(s) had no solution: stations " + list +
                               ", s the arc length from the stagnation point. Each is marked "
                               "\"not solved\" in the station log, where its row shows its "
                               "first guess (the profile of the station before, scaled), the "
                               "march went on from that guess, and the result store marks the "
                               "station as without a solution.");
  }
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
  for (int i = 1; i <= r.nxt; ++i) ue_max_ = std::max(ue_max_, r.ue(i));
  // The element's chord as panelled (the file's BELEM may state it
  // wrongly); a result store made without panels has none, and the
  // surface's arc length stands for it.
  chord_ = panelled_chord(k_);
  if (!(chord_ > 0.0)) chord_ = r.x(r.nxt);
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
//   before i. Behind a suction peak the skin friction falls steeply where
//   the edge velocity turns, laminar or turbulent, and the extrapolation
//   alone would take healthy layers for separating ones: a laminar layer
//   would turn turbulent far ahead of transition, a turbulent one would be
//   given the separation skin friction, which it cannot have, and run away.
//   So station i's own solution decides. A laminar layer turns turbulent
//   there only when its laminar solution confirms the separation: its
//   passes do not settle or break down, or its skin friction falls to the
//   separation threshold. A turbulent layer is first solved under the
//   prescribed edge velocity; the separation stands when that solution
//   does not settle, breaks down or is impossible, when its skin friction
//   falls to the threshold, when the test made again through stations i-1
//   and i still puts the separation ahead of station i+1, or at the last
//   station. Then station i is solved in the inverse mode from its first
//   guess with the test's separation position, as the test alone would
//   have it; otherwise the station stays direct and the test is made again
//   at the next station.
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
//   The same holds when such a station's passes break down, or its solution
//   is impossible, after they did not settle.
// - Elsewhere (a rising edge velocity, the nose region, the inverse region)
//   a station whose passes do not settle or break down, or whose solution
//   is impossible, has no solution: see without_solution.
// The decision is made on the final solve of the station; a station whose
// passes converge, however many grid growths it takes, is solved exactly as
// before.
bool March::solve_station(int i, std::string* cause) {
  SurfaceRun& r = r_;
  stand_in_ = false;
  regime_before_ = {KTBL, r.xtr, r.etae, r.vlbl, r.ntr};
  separated_laminar_ = false;
  // The weights are those of the prescribed edge velocity; every solve of
  // the station keeps them.
  set_weights(r, i);
  if (three_point_contradicts_last_interval(r, i)) set_two_point_weights(r, i);
  const double dUedx = prepare(i);
  // The separation test extrapolates the skin friction of the two stations
  // before i; it is made once two finished stations exist (from station 5),
  // once per station.
  bool laminar_separation_ahead = false;
  if (r.invmode == 2 && r.ninv == 0 && dUedx < 0.0 && i >= 5) {
    const double xs = extrapolated_separation(r.x, r.cfb, i - 2, i - 1, r.cfsep / r.sqre);
    if (r.x(i - 1) <= xs && xs < r.x(i)) {  // also false when xs is not finite
      if (r.xtr + 1e-6 >= r.x(i)) {
        laminar_separation_ahead = true;  // station i is solved laminar first
      } else if (turbulent_separation_confirmed(i)) {
        SEPARATION_CHECK(r.ninv, r.xinv, r.xtr, i, r.nxt, r.x, r.cfb, r.cf_bc, r.cfsep,
                         r.sqre);
      }
    }
  }
  for (;;) {
    at_pass_limit_ = false;
    const Attempt a = attempt(i, false, cause);
    const bool confirm = a.laminar && laminar_separation_ahead;
    switch (a.kind) {
      case Attempt::Kind::kSolved:
        at_pass_limit_ = a.at_pass_limit;
        if (!confirm || r.cfb(i) > r.cfsep / r.sqre) return true;
        break;  // the laminar skin friction reaches the threshold
      case Attempt::Kind::kUnsettled:
        if (!a.may_separate) {
          *cause = "its Newton passes did not settle (last correction " +
                   number_text(r.dumax) + " at an edge velocity of " + number_text(r.ue(i)) +
                   " after " + std::to_string(kPassLimit + 1) + " passes)";
          return without_solution(i, cause);
        }
        break;
      case Attempt::Kind::kFailed:
        // Where it may separate and its laminar solution was in question,
        // or its passes had not settled before, the layer separates there.
        if (!(a.may_separate && (confirm || a.unsettled))) return without_solution(i, cause);
        break;
    }
    separate_at(i);
    restart_station(i);
  }
}

double March::prepare(int i) {
  SurfaceRun& r = r_;
  r.k_iter = 0;
  const double dUedx = edge_velocity_slope(r, i);
  r.dpdx(i) = -r.roe8(i) * r.ue(i) * dUedx;
  if (r.x(i) > kInverseStart && i > 3) r.invmode = 2;
  return dUedx;
}

March::Attempt March::attempt(int i, bool trial, std::string* cause) {
  SurfaceRun& r = r_;
  Attempt a;
  const double ue_given = r.ue(i);
  bool regrown_unsettled = false;
  for (;;) {
    const double dUedx = prepare(i);
    const bool separation_tested = r.invmode == 2 && r.ninv == 0 && dUedx < 0.0 && i >= 5;
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
    a.laminar = laminar;
    // Where the layer may separate at station i: a laminar layer in a
    // falling edge velocity anywhere after the start, a turbulent one where
    // the separation test is made.
    a.may_separate = direct && (laminar ? dUedx < 0.0 && i > 3 : separation_tested);
    r.dumax = 1.0;
    const Passes passes = newton(i, trial, cause);
    if (passes == Passes::kBroken) {
      a.kind = Attempt::Kind::kFailed;
      return a;
    }
    if (!direct) r.ue(i) = r.u(3, r.np);
    // A station whose passes still move the profile by a visible fraction
    // of the edge velocity has not settled; one that has nearly settled
    // is taken as it stands.
    const bool settled =
        passes == Passes::kConverged || r.dumax <= kSettled * std::fabs(r.ue(i));
    if (!settled) a.unsettled = true;
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
    // The station is solved anew on the grown grid, as often as the layer
    // outgrows it; after passes that did not settle, once (a trial not).
    if (grew == 1 && (settled || (!regrown_unsettled && !trial))) {
      if (!settled) {
        regrown_unsettled = true;
        // At the last station the passes take the edge velocity from the
        // profile; one that did not settle gives none to start from.
        if (direct) r.ue(i) = ue_given;
      }
      continue;
    }
    if (!settled) {
      a.kind = Attempt::Kind::kUnsettled;
      return a;
    }
    a.at_pass_limit = passes == Passes::kAtLimit;
    a.kind = Attempt::Kind::kFailed;
    if (!std::isfinite(r.ue(i))) {
      *cause = "the edge velocity of the solution is not finite";
      return a;
    }
    if (!BL_INTEGRAL_QUANTITIES(r, i, 3, cause)) return a;
    *cause = impossible_solution(i);
    if (cause->empty()) a.kind = Attempt::Kind::kSolved;
    return a;
  }
}

bool March::turbulent_separation_confirmed(int i) {
  SurfaceRun& r = r_;
  std::string cause;
  const Attempt a = attempt(i, true, &cause);
  bool stands = a.kind != Attempt::Kind::kSolved || !(r.cfb(i) > r.cfsep / r.sqre) ||
                i == r.nxt;
  if (!stands) {
    const double xs = extrapolated_separation(r.x, r.cfb, i - 1, i, r.cfsep / r.sqre);
    stands = r.x(i - 1) <= xs && xs < r.x(i + 1);
  }
  restart_station(i);
  return stands;
}

std::string March::impossible_solution(int i) const {
  const SurfaceRun& r = r_;
  const double d1 = r.d1b(i), cf = r.cfb(i), ue = r.ue(i);
  if (!(d1 > 0.0))
    return "the solution has no positive displacement thickness (D1 = " + number_text(d1) + ")";
  if (d1 > kThickestLayer * chord_)
    return "the solution's displacement thickness exceeds a tenth of the chord (D1 = " +
           number_text(d1) + ")";
  // The local Reynolds number of the layer's own edge velocity (in the
  // inverse region that of the solution, not the prescribed one).
  if (KTBL == 2 && std::fabs(cf) > largest_turbulent_cf(local_reynolds(r, i, std::fabs(ue))))
    return "the solution's turbulent skin friction is out of range (CF = " + number_text(cf) +
           ")";
  // Where the edge velocity is prescribed it is that of the panel solution,
  // which near the stagnation point of a long, finely divided surface may
  // well be below a thousandth of its largest; only in the inverse region
  // is it the solution's own.
  const double smallest = r.x(i) > r.xinv ? kSmallestEdgeVelocity * ue_max_ : 0.0;
  if (!(ue > smallest) || ue > kLargestEdgeVelocity * ue_max_)
    return "the solution's edge velocity is out of range (UE = " + number_text(ue) +
           ", the surface's largest given one " + number_text(ue_max_) + ")";
  const double d2 = r.d2b(i), h12 = r.h12(i);
  if (!(d2 > 0.0))
    return "the solution has no positive momentum thickness (D2 = " + number_text(d2) + ")";
  if (!(h12 >= kSmallestShapeFactor))
    return "the solution's shape factor is below 1 (H12 = " + number_text(h12) + ")";
  return "";
}

void March::separate_at(int i) {
  SurfaceRun& r = r_;
  if (KTBL == 1) {
    r.xtr = r.x(i);  // station i is the first turbulent one
    separated_laminar_ = true;
    return;
  }
  // Turbulent separation between the last finished station and station i;
  // where the extrapolated skin friction reaches the threshold is not known
  // here (the separation test would have found it inside the interval).
  for (int j = i; j <= r.nxt; ++j) r.cf_bc(j) = r.cfsep;
  r.xinv = 0.5 * (r.x(i - 1) + r.x(i));
  r.ninv = i;
}

bool March::without_solution(int i, std::string* cause) {
  SurfaceRun& r = r_;
  restart_station(i);
  r.k_iter = 0;  // no pass stands behind the row
  r.dumax = 0.0;
  r.jumax = 0;
  std::string guess;
  bool possible = BL_INTEGRAL_QUANTITIES(r, i, 3, &guess) && (guess = impossible_solution(i)).empty();
  // The first guess of a laminar layer that was taken as separated at
  // station i, because its laminar solution failed, and then had no
  // turbulent solution either, is the laminar profile before it. Where that
  // is no possible turbulent layer, or its skin friction is above 0.05 (a
  // laminar layer close to the stagnation point, where the edge velocity of
  // a cambered nose dips: no solution confirms a separation there), the
  // layer is left laminar at station i, as it was before, and the next
  // station's own solution decides again.
  if (separated_laminar_ && (!possible || std::fabs(r.cfb(i)) > kLargestTurbulentCf)) {
    KTBL = regime_before_.KTBL;
    r.xtr = regime_before_.xtr;
    r.etae = regime_before_.etae;
    r.vlbl = regime_before_.vlbl;
    r.ntr = regime_before_.ntr;
    guess = impossible_solution(i);
    possible = guess.empty();
  }
  if (!possible) {
    *cause += "; its first guess is no possible layer either (" + guess + ")";
    return false;
  }
  stand_in_ = true;
  stand_in_cause_ = *cause;
  stand_ins_.push_back(i);
  at_pass_limit_ = false;
  return true;
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
  if (i == 3) return;  // the start profile is at level 3 already
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
  if (i == 3) return;
  if (r.x(i) > r.xinv) r.ue(i) = r.ue(i - 1);
  BL_SHIFT_LEVELS(r, i);
}

March::Passes March::newton(int i, bool quiet, std::string* cause) {
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
      if (!quiet) units_.write(lustd_, f_.passLimit, {r.k_iter, i, r.x(i), r.ue(i), r.dumax});
      return Passes::kAtLimit;
    }
    if (!quiet && (i == kDumpStation1 || i == kDumpStation2)) {
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
  if (stand_in_) {
    const std::string mark = " Station " + std::to_string(i) + " not solved: " +
                             stand_in_cause_ + "; its row shows its first guess";
    units_.write_free(lublf_, {mark});
    units_.write_free(lustd_, {mark});
  }
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
  const double xs = extrapolated_separation(x, cfb, i - 2, i - 1, cfsep / sqre);
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

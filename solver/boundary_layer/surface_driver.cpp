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
// after it are cleared, and the result names element, surface, station and
// cause.
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
// station that used up its passes is still taken.
constexpr double kSettled = 1e-3;
constexpr int kDumpStation1 = 162, kDumpStation2 = 163;

// Streamwise derivative weights of station i (cx0 for i, cx1 for i-1, cx2
// for i-2): a two-point difference at station 3, three points after it.
void set_weights(SurfaceRun& r, int i) {
  if (i == 3) {
    r.cx0 = 1.0 / (r.x(3) - r.x(2));
    r.cx1 = -r.cx0;
    r.cx2 = 0.0;
    return;
  }
  const double h1 = r.x(i) - r.x(i - 1);
  const double h2 = r.x(i - 1) - r.x(i - 2);
  r.cx0 = (2.0 * h1 + h2) / (h1 * (h1 + h2));
  r.cx1 = -(h1 + h2) / (h1 * h2);
  r.cx2 = h1 / (h2 * (h1 + h2));
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
      : r_(run), ielem_(ielem), isurf_(isurf), k_(ielem + 1), s_(isurf + 1), hook_(hook) {}

  Result run();

 private:
  // Set-up and start; false with *cause (the whole message) when the run
  // cannot start.
  bool start(std::string* cause);
  enum class Passes { kSettled, kDiverged, kBroken };
  // Solves station i; false with *cause when it cannot be solved.
  bool solve_station(int i, std::string* cause);
  Passes newton(int i, std::string* cause);
  // After the passes of station i diverged under a prescribed edge
  // velocity: treats the station as separated (see solve_station) and says
  // whether it is worth solving again.
  bool separated_at(int i);
  void keep_first_guess();
  void restore_first_guess();
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
  // Level 3 of the station being solved as its passes start (f, u, v, b,
  // ccro, ccmu at every grid point), and np then.
  std::vector<double> guess_;
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
    if (i > 3) {
      if (r_.x(i) > r_.xinv) r_.ue(i) = r_.ue(i - 1);
      BL_SHIFT_LEVELS(r_, i);
    }
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

bool March::solve_station(int i, std::string* cause) {
  SurfaceRun& r = r_;
  keep_first_guess();
  for (;;) {
    at_pass_limit_ = false;
    set_weights(r, i);
    r.k_iter = 0;
    const double dUedx = r.cx0 * r.ue(i) + r.cx1 * r.ue(i - 1) + r.cx2 * r.ue(i - 2);
    r.dpdx(i) = -r.roe8(i) * r.ue(i) * dUedx;
    if (r.x(i) > kInverseStart && i > 3) r.invmode = 2;
    // The separation test extrapolates the skin friction of the two stations
    // before i; it is made once two finished stations exist (from station 5).
    if (r.invmode == 2 && r.ninv == 0 && dUedx < 0.0 && i >= 5) {
      SEPARATION_CHECK(r.ninv, r.xinv, r.xtr, i, r.nxt, r.x, r.cfb, r.cf_bc, r.cfsep, r.sqre);
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
    r.dumax = 1.0;
    const Passes passes = newton(i, cause);
    if (passes == Passes::kBroken) return false;
    if (passes == Passes::kDiverged) {
      if (!separated_at(i)) return false;
      restore_first_guess();
      continue;  // solve the station anew past separation
    }
    if (r.x(i) > r.xinv) r.ue(i) = r.u(3, r.np);
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
    if (grew == 1) continue;  // solve the station anew on the grown grid
    break;
  }
  if (!std::isfinite(r.ue(i))) {
    *cause = "the edge velocity of the solution is not finite";
    return false;
  }
  return BL_INTEGRAL_QUANTITIES(r, i, 3, cause);
}

// The separation test looks ahead from the skin friction of the last two
// stations and misses a layer that separates abruptly (a strong adverse
// gradient near a trailing edge, behind a suction peak). Under a prescribed
// edge velocity such a station has no attached solution and its passes
// diverge. The station is then treated as the separation test would have
// treated it: a laminar layer turns turbulent there, a turbulent one enters
// the inverse mode with the separation skin friction prescribed from there
// on (the region past separation starting at the station before).
bool March::separated_at(int i) {
  SurfaceRun& r = r_;
  if (r.x(i) > r.xinv || r.ninv != 0 || i <= 3) return false;
  if (KTBL == 1) {
    r.xtr = r.x(i);
    return true;
  }
  if (r.invmode != 2) return false;
  for (int j = i; j <= r.nxt; ++j) r.cf_bc(j) = r.cfsep;
  r.xinv = r.x(i - 1);
  r.ninv = i;
  return true;
}

void March::keep_first_guess() {
  SurfaceRun& r = r_;
  const std::size_t n = static_cast<std::size_t>(kProfileLevels) * kGridPoints;
  guess_.resize(6 * n);
  double* out = guess_.data();
  for (const Table2<double>* t : {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu}) {
    std::copy(t->data(), t->data() + n, out);
    out += n;
  }
  guess_np_ = r.np;
}

void March::restore_first_guess() {
  SurfaceRun& r = r_;
  const std::size_t n = static_cast<std::size_t>(kProfileLevels) * kGridPoints;
  const double* in = guess_.data();
  for (Table2<double>* t : {&r.f, &r.u, &r.v, &r.b, &r.ccro, &r.ccmu}) {
    std::copy(in, in + n, t->data());
    in += n;
  }
  r.np = guess_np_;
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
      // A station that has nearly settled is taken as it stands; one whose
      // passes still move the profile by a visible fraction of the edge
      // velocity has no solution under its edge condition (typically a layer
      // that separates while its edge velocity is prescribed), and taking
      // it would hand garbage to every later station.
      if (!(r.dumax <= kSettled * std::fabs(r.ue(i)))) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the Newton passes do not converge (largest velocity correction %.3g "
                      "after %d passes)",
                      r.dumax, r.k_iter);
        *cause = text;
        return Passes::kDiverged;
      }
      at_pass_limit_ = true;
      break;
    }
    if (i == kDumpStation1 || i == kDumpStation2) {
      BL_PRINT_PROFILE(r, i, 3);
      BL_PRINT_BLOCK_SYSTEM(r, i, r.k_iter, 3);
    }
  }
  return Passes::kSettled;
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

// Set-up of a boundary-layer surface run: the check of its inputs, the
// reference state and gas constants, the station list copied from the result
// store, the edge state of every station, the boundary-condition arrays, and
// their echo on "InputBl.out" (unit LUBLIN).
//
// The constants are the single-precision values the solver has always used
// (0.9, 0.72, 287.103, 1004.86, Sutherland's 1.491e-7 and 110.4, ...), kept
// digit for digit as doubles so that every run computes with exactly them.
#include "solver/boundary_layer/input_setup.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/boundary_layer/similarity_start.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"
#include "solver/state/result.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane::bl {
namespace {

// Records of "InputBl.out" and the one record on standard output.
struct SetupFormats {
  text::Format upperTitle{"(50h Input data for calculation of BL on upper surface)"};
  text::Format lowerTitle{"(50h Input data for calculation of BL on lower surface)"};
  text::Format element{"(10h    ielem=,i3)"};
  text::Format cfsep{"(10h    CFSEP=,f10.3)"};
  text::Format refHead{"(1H ,5X,2HM8,10X,2HT8,10X,2HA8,10X,2HU8,10X,3HMU8,9X,3HNU8,9X,3HRO8)"};
  text::Format refRow{"(1H ,7E12.4)"};
  text::Format edgeHead{
      "(3x,1hI,9x,1hX,13x,2hUE,13x,2hME,12x,4hROE8,11x,5hEMUE8,10x,5hENUE8,11x,3hTE8)"};
  text::Format edgeRow{"(1H ,I3,8E15.4)"};
  text::Format bcHead{
      "(4x,1hi,4x,4hX(I),6x,5hUE(I),5x,6hEME(I),3x,8hD1_BC(I),2x,8hCF_BC(I), "
      "2x,8hRV_BC(I),4x,5hVw(I),5x,5hUw(I)5x,5hTw(I))"};
  text::Format bcRow{"(I5,10F10.5)"};
  text::Format re{"(40X,10HNUMBER RE=,E12.4)"};
  text::Format et{"(46X,3HET=,E12.4)"};
  text::Format runValues{
      "(1H ,6HNXT  =,I3,14X,6HNP2  =,I3,5X,6HXTR  =,E14.6/1H ,6HETAE =,E14.6,3X,"
      "              6HVLBL =,E14.6,3X,6HVTBL= ,E14.6,3X,6HNU   =,E14.6/)"};
};

const SetupFormats& formats() { return text::listing_table<SetupFormats>(); }

// Constants of the gas and of the reference state.
constexpr double kPrt = 0.8999999761581421;     // turbulent Prandtl number, 0.9
constexpr double kPr = 0.7200000286102295;      // laminar Prandtl number, 0.72
constexpr double kRgas = 287.1029968261719;     // gas constant, 287.103
constexpr double kCpgas = 1004.8599853515625;   // specific heat, 1004.86
constexpr double kLaitone = 0.19999998807907104;  // (gamma - 1)/2, 0.2
constexpr double kSutherlandMu = 1.4910000345480512e-07;
constexpr double kSutherlandT = 110.4000015258789;
constexpr double kSoundSpeed = 20.049999237060547;  // a = 20.05 sqrt(T)
constexpr double kMachFloor = 0.20000000298023224;  // 0.2
constexpr double kGamma = 1.399999976158142;        // 1.4
constexpr double kH0Cp = 1004.8605316732844;        // total enthalpy factor

const char* surface_name(int isurf) { return isurf == 0 ? "upper" : "lower"; }

std::string list_failure(int ielem, int isurf, const std::string& what) {
  return surface_text(ielem, isurf) + ": " + what + "; its boundary layer is not computed.";
}

}  // namespace

std::string surface_text(int ielem, int isurf) {
  return "Element " + std::to_string(ielem + 1) + ", " + surface_name(isurf) + " surface";
}

Result check_station_list(int ielem, int isurf, const double* x, const double* ue, int n) {
  if (n <= 0)
    return Result::failure(
        list_failure(ielem, isurf, "there is no station list (the stagnation split gave none)"));
  if (n < 3)
    return Result::failure(list_failure(
        ielem, isurf,
        "the station list has only " + std::to_string(n) + (n == 1 ? " station" : " stations") +
            " from the stagnation point, and the boundary layer needs at least 3"));
  if (n > kStations)
    return Result::failure(list_failure(ielem, isurf,
                                        "the station list has " + std::to_string(n) +
                                            " stations, more than the " +
                                            std::to_string(kStations) + " the store holds"));
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(ue[i]))
      return Result::failure(list_failure(
          ielem, isurf,
          "station " + std::to_string(i + 1) + " has a value that is not a finite number"));
  }
  if (x[1] == x[0])
    return Result::failure(list_failure(
        ielem, isurf,
        "the first two stations have the same arc length, so the grid scale is undefined"));
  if (ue[1] == ue[0])
    return Result::failure(list_failure(
        ielem, isurf,
        "the first two stations have the same edge velocity, so the grid scale is undefined"));
  return Result::success();
}

Result check_element_index(int ielem) {
  if (!element_index_allowed(ielem))
    return Result::failure("Element " + std::to_string(ielem + 1) +
                           " does not exist (the configuration holds at most " +
                           std::to_string(kMaxElements) + " elements).");
  return Result::success();
}

namespace {

// The part of the check that is the same for every surface of a run.
Result run_inputs() {
  const ProblemState& st = state();
  if (st.NP < 2 || st.NP > kMaxLayerPoints)
    return Result::failure("The boundary layer needs 2 to " + std::to_string(kMaxLayerPoints) +
                           " points across the layer; the file gives NP = " +
                           std::to_string(st.NP) + ".");
  // The run computes with the Reynolds number itself, REMILL * 1e6 (see
  // BL_INPUT_SETUP): a value in millions can be finite while it overflows.
  const double re = st.REMILL * 1e6;
  if (!(std::isfinite(re) && re > 0.0)) {
    const bool overflows = std::isfinite(st.REMILL) && st.REMILL > 0.0;
    return Result::failure(
        "The boundary layer needs a finite Reynolds number above 0; Re mill= is " +
        number_text(st.REMILL) +
        (overflows ? ", whose Reynolds number (Re mill= times 1e6) is beyond the range of "
                     "numbers"
                   : "") +
        ".");
  }
  // The similarity start's grid: refused here, with the value named, rather
  // than failing inside the run after its listings have begun.
  if (!(std::isfinite(st.ETAE) && st.ETAE > 0.0))
    return Result::failure(
        "The boundary layer needs a finite outer edge ETAE above 0 for its normal grid; the "
        "file gives ETAE = " +
        number_text(st.ETAE) + ".");
  if (!(std::isfinite(st.VGP) && st.VGP > 0.0))
    return Result::failure(
        "The boundary layer needs a finite growth ratio VGP above 0 for its normal grid; the "
        "file gives VGP = " +
        number_text(st.VGP) + ".");
  if (!similarity_grid_usable(st.NP, st.VGP, st.ETAE))
    return Result::failure("The normal grid of the boundary layer cannot be made: NP = " +
                           std::to_string(st.NP) + " points growing by VGP = " +
                           number_text(st.VGP) + " to ETAE = " + number_text(st.ETAE) +
                           " give spacings outside the range of numbers (a VGP nearer 1 or "
                           "fewer points are needed).");
  return Result::success();
}

}  // namespace

Result check_surface_run_inputs(int ielem, int isurf) {
  Result element = check_element_index(ielem);
  if (!element) return element;
  if (isurf < 0 || isurf > 1)
    return Result::failure("Surface " + std::to_string(isurf) +
                           " does not exist (0 is the upper, 1 the lower surface).");
  Result run = run_inputs();
  if (!run) return run;
  const ProblemState& st = state();
  const int k = ielem + 1, s = isurf + 1;
  const int n = st.NX(k, s);
  if (n > kStations)  // before the list is read: the store holds no more
    return check_station_list(ielem, isurf, nullptr, nullptr, n);
  return check_station_list(ielem, isurf, st.S.column(k, s), st.UE.column(k, s), n);
}

void EDGE_STATE(double& rgas, double& cpgas, double& t0, double& rho0, double& m8, double& u8,
                double& /*h0*/, double& t8, double& ro8, double& mu8, double& ue, double& eme,
                double& /*x*/, double& te, double& roe, double& emue, double& roe8,
                double& emue8, double& enue8, double& te8) {
  if (m8 > kMachFloor) {
    const double U = ue * u8;
    te = t0 - U * U * 0.5 / cpgas;
    eme = U / std::sqrt(kGamma * rgas * te);
  } else {
    te = t0;
    eme = 0.0;
  }
  te8 = te / t8;
  emue = mu8 * std::pow(te / t8, 1.5) * (t8 + kSutherlandT) / (te + kSutherlandT);
  roe = rho0 / std::pow(t0 / te, 2.5);
  roe8 = roe / ro8;
  emue8 = emue / mu8;
  enue8 = emue8 / roe8;
}

double local_reynolds(const SurfaceRun& run, int i, double ue) {
  return ue * run.x(i) * run.roe(i) * run.u8 * run.el / run.emue(i);
}

void BL_INPUT_SETUP(SurfaceRun& run, int ielem, int isurf) {
  const ProblemState& st = state();
  const int k = ielem + 1, s = isurf + 1;
  text::Units& u = text::units();
  const int lu = st.LUBLIN;
  run.element = k;
  run.surface = s;

  u.write(lu, isurf == 0 ? formats().upperTitle : formats().lowerTitle, {});
  u.write(lu, formats().element, {ielem});

  // Station arrays as long as the element's longer list (the same for both
  // surfaces), and never shorter than this surface's own list.
  const int nxt = st.NX(k, s);
  INPUTI_ALLOCATE(run, st.NXMAX(k) >= nxt ? st.NXMAX(k) : nxt);

  run.prt = kPrt;
  run.pr = kPr;
  run.t8 = 300.0;
  run.re = st.REMILL * 1e6;
  run.m8 = 0.0;
  run.el = 1.0;
  run.cfsep = st.CFSEP;
  u.write(lu, formats().cfsep, {run.cfsep});

  run.np = st.NP;
  run.xtr = st.XTR(k, s);
  run.vlbl = run.vtbl = st.VGP;
  run.etae = st.ETAE;
  run.rgas = kRgas;
  run.cpgas = kCpgas;

  // Reference state.
  run.t0 = run.t8 * (1.0 + kLaitone * run.m8 * run.m8);
  run.mu8 = kSutherlandMu * std::pow(run.t8, 1.5) / (run.t8 + kSutherlandT);
  const double a8 = kSoundSpeed * std::sqrt(run.t8);
  run.u8 = a8 * (run.m8 > kMachFloor ? run.m8 : kMachFloor);
  run.nu8 = run.u8 * run.el / run.re;
  run.ro8 = run.mu8 / run.nu8;
  run.rho0 = run.ro8 * std::pow(run.t0 / run.t8, 2.5);
  run.h0 = kH0Cp * run.t0;
  run.sqre = std::sqrt(run.re);

  u.write(lu, formats().refHead, {});
  u.write(lu, formats().refRow, {run.m8, run.t8, a8, run.u8, run.mu8, run.nu8, run.ro8});

  // Stations and their edge state.
  run.nxt = nxt;
  u.write(lu, formats().edgeHead, {});
  for (int i = 1; i <= nxt; ++i) {
    run.x(i) = st.S(i, k, s);
    run.ue(i) = st.UE(i, k, s);
    run.eme(i) = 0.0;
    EDGE_STATE(run.rgas, run.cpgas, run.t0, run.rho0, run.m8, run.u8, run.h0, run.t8, run.ro8,
               run.mu8, run.ue(i), run.eme(i), run.x(i), run.te(i), run.roe(i), run.emue(i),
               run.roe8(i), run.emue8(i), run.enue8(i), run.te8(i));
    run.rx(i) = local_reynolds(run, i, run.ue(i));
    u.write(lu, formats().edgeRow,
            {i, run.x(i), run.ue(i), run.eme(i), run.roe8(i), run.emue8(i), run.enue8(i),
             run.te8(i)});
  }

  // Boundary conditions: no wall motion, transpiration or heating; the wall
  // shear prescribed past separation is the separation threshold.
  u.write(lu, formats().bcHead, {});
  for (int i = 1; i <= nxt; ++i) {
    run.uww(i) = run.vww(i) = run.d1_bc(i) = run.rv_bc(i) = run.tww(i) = 0.0;
    run.cf_bc(i) = st.CFSEP;
    u.write(lu, formats().bcRow,
            {i, run.x(i), run.ue(i), run.eme(i), run.d1_bc(i), run.cf_bc(i), run.rv_bc(i),
             run.vww(i), run.uww(i), run.tww(i)});
  }

  u.write(lu, formats().re, {run.re});
  u.write(lu, formats().et, {run.et});
  u.write(lu, formats().runValues,
          {run.nxt, run.np, run.xtr, run.etae, run.vlbl, run.vtbl, run.nu8});
  u.write(text::Units::std_unit(st.LUSTD), formats().et, {run.et});
}

void BC_QUADRATIC_FILL(int i1, int i2, double r1, double r2, Table1<double>& f,
                       Table1<double>& x) {
  const double s = (f(i1 - 1) - f(i1 - 2)) / (x(i1 - 1) - x(i1 - 2));
  const double q = r1 * s;
  const double p = (r2 * s - q) / (2.0 * (x(i2) - x(i1)));
  const double f0 = f(i1 - 1);
  for (int i = i1; i <= i2; ++i) {
    const double d = static_cast<float>(x(i) - x(i1 - 1));
    f(i) = f0 + d * (p * d + q);
  }
}

void BC_EXTRAPOLATE_FILL(int& iout, double& xs, int i, int n, double r1, double r2,
                         Table1<double>& x, Table1<double>& f, Table1<double>& g) {
  const double slope = (f(i - 1) - f(i - 2)) / (x(i - 1) - x(i - 2));
  // A flat or undefined slope has no zero to extrapolate to: keep xs.
  double xz = xs;
  if (std::isfinite(slope) && std::fabs(slope) >= 1e-6)
    xz = static_cast<float>(x(i - 1) - f(i - 1) / slope);
  if (x(i) > xz) {
    BC_QUADRATIC_FILL(i, n, r1, r2, g, x);
    xs = xz;
    iout = i;
  }
}

}  // namespace sorvane::bl

namespace sorvane {

Result check_boundary_layer_run() { return bl::run_inputs(); }

}  // namespace sorvane

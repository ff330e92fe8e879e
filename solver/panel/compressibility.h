// The compressibility corrections of the pressure coefficient, and the range
// in which a corrected pressure coefficient can belong to a flow.
//
// Every correction divides the incompressible Cp0 by a denominator that is
// linear in Cp0: beta + slope * Cp0, with beta = sqrt(1 - M^2) and slope 0
// (Prandtl-Glauert), M^2 / (2 (1 + beta)) (Karman-Tsien) or
// M^2 (1 + 0.2 M^2) / (2 beta) (Laitone). With slope >= 0 the denominator
// rises with Cp0, and where it is above 0 the corrected Cp = Cp0 / (beta +
// slope Cp0) rises with Cp0 as well (its derivative is beta / denominator^2).
// So the lowest Cp0 of a solution decides where the correction stands:
// - past its pole (the denominator not above 0: the Cp0 is below
//   -beta / slope), the correction has no value; the corrected Cp changes
//   sign there;
// - a corrected Cp below the vacuum limit -2 / (gamma M^2) is a negative
//   absolute pressure, p / p_inf = 1 + gamma M^2 Cp / 2;
// - a corrected Cp below the critical value Cp* means locally supersonic
//   flow, outside the range of the corrections (the numbers stand).
// The limits are in the normalisation of CP, on the free-stream dynamic
// pressure, and the corrections take the free-stream Mach number. The sweep
// enters the critical value only: on a swept wing the flow turns sonic where
// the velocity component normal to the sweep reaches the local speed of
// sound (the spanwise component U sin(sweep) is carried unchanged), which
// gives Cp* = (2 / (gamma M^2)) [((2 + (gamma - 1) M^2 cos^2(sweep)) /
// (gamma + 1))^(gamma / (gamma - 1)) - 1], the unswept formula with the Mach
// number normal to the sweep inside the bracket.
#pragma once

#include <cmath>
#include <string>

#include "solver/state/options.h"

namespace sorvane {

constexpr double kGamma = 1.4;  // ratio of specific heats of air

struct CompressibilityCorrection {
  Compressibility kind = Compressibility::kNone;
  double mach = 0.0;
  double beta = 1.0;   // sqrt(1 - M^2)
  double slope = 0.0;  // of the denominator beta + slope * Cp0

  double denominator(double cp0) const { return beta + slope * cp0; }
  // The corrected pressure coefficient (Cp0 itself without a correction).
  double apply(double cp0) const {
    return kind == Compressibility::kNone ? cp0 : cp0 / denominator(cp0);
  }
  // The Cp0 at which the denominator reaches 0 (minus infinity where it
  // never does).
  double pole() const;
};

// The correction `kind` at Mach number `mach` (|mach| below 1 for a
// correction), with the constants the solution computes with.
CompressibilityCorrection correction_at(Compressibility kind, double mach);

// The pressure coefficient of vacuum, -2 / (gamma M^2) (minus infinity at
// Mach 0).
double vacuum_cp(double mach);
// The critical pressure coefficient at free-stream Mach number `mach` and
// sweep angle `sweep_deg` in degrees (minus infinity at Mach 0).
double critical_cp(double mach, double sweep_deg);

// Where the corrected pressure coefficients of a solution stand.
enum class CorrectionRange {
  kWithin,      // subsonic everywhere: nothing to say
  kSupersonic,  // below the critical value somewhere: a remark
  kVacuum,      // below the vacuum limit somewhere: no solution
  kPastPole,    // the denominator not above 0 somewhere: no solution
};

// The name of a correction as the messages give it.
const char* correction_name(Compressibility kind);

// The lowest Cp0 of one element and the control point where it lies.
struct LowestCp0 {
  int point = 0;  // 0: the element has no point
  double cp0 = 0.0;
  // A value that is not a number is left to the check of the results.
  void take(int i, double value) {
    if (!std::isfinite(value)) return;
    if (point == 0 || value < cp0) {
      point = i;
      cp0 = value;
    }
  }
};

// What the lowest Cp0 of every element says of the correction: numbers
// only, so that judging a solution builds no text (a solution within the
// range allocates nothing).
struct CorrectionVerdict {
  CorrectionRange range = CorrectionRange::kWithin;
  Compressibility kind = Compressibility::kNone;
  double mach = 0.0, sweep_deg = 0.0;  // of the solution judged
  int element = 0, point = 0;  // of the lowest Cp0 of all elements
  double cp0 = 0.0, cp = 0.0;  // there, before and after the correction
  double limit = 0.0;          // the pole's Cp0, the vacuum Cp or Cp*
  int supersonic_elements = 0; // how many elements reach below Cp*
};

// lowest[k - 1] for elements k = 1..nelem. A solution without a correction
// is always within its range.
CorrectionVerdict judge_correction(const CompressibilityCorrection& c, double sweep_deg,
                                   const LowestCp0* lowest, int nelem);

// The message of a verdict outside the range, naming the correction, the
// element, the control point and the limit: a failure's reason (past the
// pole, below vacuum) or the remark on a supersonic solution, with the Mach
// number normal to the sweep when there is one and the count of elements
// below Cp* when it is more than one. "" within the range.
std::string correction_message(const CorrectionVerdict& v);

}  // namespace sorvane

// The compressibility corrections of the pressure coefficient and their
// range (see the header for the reasoning).
#include "solver/panel/compressibility.h"

#include <cmath>
#include <limits>
#include <string>

#include "solver/state/result.h"

namespace sorvane {
namespace {

constexpr double kLaitone = 0.19999998807907104;  // 0.2 in single precision

}  // namespace

double CompressibilityCorrection::pole() const {
  if (kind == Compressibility::kNone || !(slope > 0.0))
    return -std::numeric_limits<double>::infinity();
  return -beta / slope;
}

CompressibilityCorrection correction_at(Compressibility kind, double mach) {
  CompressibilityCorrection c;
  c.kind = kind;
  c.mach = mach;
  const double M = mach;
  const double betaM = std::sqrt(1.0 - M * M);
  switch (kind) {
    case Compressibility::kNone: break;
    case Compressibility::kPrandtlGlauert: c.beta = betaM; break;
    case Compressibility::kKarmanTsien:
      c.beta = betaM;
      c.slope = 0.5 * (M * M / (1.0 + betaM));
      break;
    case Compressibility::kLaitone:
      c.beta = betaM;
      c.slope = M * M * (1.0 + kLaitone * M * M) / (2.0 * betaM);
      break;
  }
  return c;
}

double vacuum_cp(double mach) {
  const double m2 = mach * mach;
  if (!(m2 > 0.0)) return -std::numeric_limits<double>::infinity();
  return -2.0 / (kGamma * m2);
}

double critical_cp(double mach, double sweep_deg) {
  const double m2 = mach * mach;
  if (!(m2 > 0.0)) return -std::numeric_limits<double>::infinity();
  const double cosS = std::cos(sweep_deg * (M_PI / 180.0));
  const double mn2 = m2 * cosS * cosS;  // the Mach number normal to the sweep, squared
  const double ratio =
      std::pow((2.0 + (kGamma - 1.0) * mn2) / (kGamma + 1.0), kGamma / (kGamma - 1.0));
  return 2.0 / (kGamma * m2) * (ratio - 1.0);
}

const char* correction_name(Compressibility kind) {
  switch (kind) {
    case Compressibility::kPrandtlGlauert: return "Prandtl-Glauert";
    case Compressibility::kKarmanTsien: return "Karman-Tsien";
    case Compressibility::kLaitone: return "Laitone";
    case Compressibility::kNone: break;
  }
  return "no";
}

CorrectionVerdict judge_correction(const CompressibilityCorrection& c, double sweep_deg,
                                   const LowestCp0* lowest, int nelem) {
  CorrectionVerdict v;
  v.kind = c.kind;
  v.mach = c.mach;
  v.sweep_deg = sweep_deg;
  if (c.kind == Compressibility::kNone) return v;
  for (int k = 1; k <= nelem; ++k) {
    const LowestCp0& l = lowest[k - 1];
    if (l.point == 0) continue;
    if (v.element == 0 || l.cp0 < v.cp0) {
      v.element = k;
      v.point = l.point;
      v.cp0 = l.cp0;
    }
  }
  if (v.element == 0) return v;
  if (!(c.denominator(v.cp0) > 0.0)) {
    v.range = CorrectionRange::kPastPole;
    v.limit = c.pole();
    return v;
  }
  v.cp = c.apply(v.cp0);
  const double vacuum = vacuum_cp(c.mach);
  if (v.cp < vacuum) {
    v.range = CorrectionRange::kVacuum;
    v.limit = vacuum;
    return v;
  }
  const double critical = critical_cp(c.mach, sweep_deg);
  for (int k = 1; k <= nelem; ++k) {
    const LowestCp0& l = lowest[k - 1];
    if (l.point != 0 && c.apply(l.cp0) < critical) ++v.supersonic_elements;
  }
  if (v.supersonic_elements == 0) return v;
  v.range = CorrectionRange::kSupersonic;
  v.limit = critical;
  return v;
}

std::string correction_message(const CorrectionVerdict& v) {
  if (v.range == CorrectionRange::kWithin) return "";
  const std::string name = correction_name(v.kind);
  const std::string at = "control point " + std::to_string(v.point);
  const std::string mach = " at Mach " + number_text(v.mach);
  switch (v.range) {
    case CorrectionRange::kWithin:
    case CorrectionRange::kSupersonic: break;
    case CorrectionRange::kPastPole:
      return element_text(v.element) + "the " + name + " correction has no value at " + at +
             ": its Cp0 " + number_text(v.cp0) + " is not above the correction's limit " +
             number_text(v.limit) + mach + ", where the correction's denominator reaches 0";
    case CorrectionRange::kVacuum:
      return element_text(v.element) + "the " + name + " correction gives Cp " +
             number_text(v.cp) + " at " + at + ", below the vacuum limit -2/(" +
             number_text(kGamma) + " M^2) = " + number_text(v.limit) + mach +
             " (a negative absolute pressure)";
  }
  std::string remark = "the flow is locally supersonic, where the " + name +
                       " correction does not hold: " + element_text(v.element) + "Cp " +
                       number_text(v.cp) + " at " + at + ", below the critical Cp* " +
                       number_text(v.limit) + mach;
  if (v.sweep_deg != 0.0)
    remark += " (normal to the sweep of " + number_text(v.sweep_deg) + " degrees: Mach " +
              number_text(v.mach * std::cos(v.sweep_deg * (M_PI / 180.0))) + ")";
  if (v.supersonic_elements > 1)
    remark += "; " + std::to_string(v.supersonic_elements) + " elements reach below Cp*";
  return remark;
}

}  // namespace sorvane

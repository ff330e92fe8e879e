// What no boundary layer could have, stated for the tests on their own: a
// station's values are impossible when one is not a number, when the
// displacement thickness is not above 0 or exceeds a tenth of the chord,
// when the edge velocity is not above a thousandth of the largest one the
// panel solution gives the surface (an edge velocity collapsed to nothing
// on a surface whose flow is of order 1) or exceeds 1.5 times it, or when a
// turbulent skin
// friction exceeds in size both 0.05 and five times the skin friction of
// the laminar stagnation-point layer (Hiemenz, cf sqrt(Re_x) = 2.4652) at
// the station's local Reynolds number Re_x = Re ue s. Close behind the
// stagnation point every layer has a skin friction of the order of the
// Hiemenz value, which grows without bound as Re_x falls; a strongly
// accelerated layer has several times it. Of the thicknesses the station
// log does not show, the momentum thickness of any layer whose velocities
// lie between 0 and the edge velocity is above 0 (its integrand
// u/ue (1 - u/ue) is nowhere negative), and the shape factor of any profile
// is at least 1 (D1 - D2 is the integral of (1 - u/ue)^2).
#pragma once

#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace sorvane::testing {

// The largest size of a turbulent skin friction at the local Reynolds
// number rex.
inline double largest_possible_turbulent_cf(double rex) {
  return std::fmax(0.05, 5.0 * 2.4652 / std::sqrt(rex));
}

// Why the values are none a layer could have; "" when they are possible.
// re is the Reynolds number of unit length, s the arc length from the
// stagnation point.
inline std::string impossible_layer(double ue, double d1, double cf, bool turbulent, double chord,
                                    double ue_max, double re, double s) {
  char text[160];
  if (!std::isfinite(ue) || !std::isfinite(d1) || !std::isfinite(cf)) {
    std::snprintf(text, sizeof text, "not a number: UE %g D1 %g CF %g", ue, d1, cf);
  } else if (!(d1 > 0) || d1 > 0.1 * chord) {
    std::snprintf(text, sizeof text, "D1 %g", d1);
  } else if (!(ue > 1e-3 * ue_max) || ue > 1.5 * ue_max) {
    std::snprintf(text, sizeof text, "UE %g (largest given %g)", ue, ue_max);
  } else if (turbulent && std::fabs(cf) > largest_possible_turbulent_cf(re * ue * s)) {
    std::snprintf(text, sizeof text, "turbulent CF %g at Re_x %g", cf, re * ue * s);
  } else {
    return "";
  }
  return text;
}

// Why the momentum thickness d2 and the shape factor h12 (of the result
// store) are none a layer could have; "" when they are possible.
inline std::string impossible_thicknesses(double d2, double h12) {
  char text[80];
  if (!(d2 > 0)) {
    std::snprintf(text, sizeof text, "D2 %g", d2);
  } else if (!(h12 >= 1)) {
    std::snprintf(text, sizeof text, "H12 %g", h12);
  } else {
    return "";
  }
  return text;
}

// The stations a run's warning lists as without a solution: "... had no
// solution: stations 5 (s 0.01), 9-14 (s 0.02 to 0.03), ..." (the arc
// lengths in brackets are skipped). Empty for any other warning.
inline std::set<int> stations_in_warning(const std::string& w) {
  std::set<int> listed;
  const std::size_t at = w.find("had no solution");
  const std::size_t list = w.find("stations ", at == std::string::npos ? w.size() : at);
  if (at == std::string::npos || list == std::string::npos) return listed;
  for (const char* p = w.c_str() + list + 9; *p;) {
    int a = 0, b = 0, n = 0;
    if (std::sscanf(p, "%d-%d%n", &a, &b, &n) != 2) {
      if (std::sscanf(p, "%d%n", &a, &n) != 1) break;
      b = a;
    }
    for (int i = a; i <= b; ++i) listed.insert(i);
    p = std::strchr(p + n, ')');
    if (!p || std::strncmp(p, "), ", 3) != 0) break;
    p += 3;
  }
  return listed;
}

}  // namespace sorvane::testing

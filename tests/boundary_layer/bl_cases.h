// Cases for the boundary-layer tests: geometry files of symmetric NACA
// sections with boundary-layer records, a hand-built flat plate in the
// result store, and Thwaites' laminar integral method as an independent
// reference.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/load_and_solve.h"
#include "tests/test_support.h"

namespace sorvane::testing {

struct NacaCase {
  double thickness = 0.12;  // t/c of the NACA mptt section
  double camber = 0.0;      // m/100: the largest camber (0: a symmetric NACA 00tt)
  double camber_at = 0.4;   // p/10: where it lies
  double alpha = 0.0;       // degrees
  double remill = 1.0;      // Reynolds number in millions
  int np = 61;              // points across the layer
  double etae = 8.0;
  double vgp = 1.1;
  double cfsep = 0.0;
  double xtru = 5.0;        // transition arc lengths (beyond the surface: laminar)
  double xtrl = 5.0;
  int stations = 100;       // cosine-spaced chord stations of the table
  int npanels = 160;
};

// The NACA section of the four digits mptt ("2412") at an incidence, a
// Reynolds number in millions and a panel count; the rest as above.
inline NacaCase naca_section(const std::string& digits, double alpha, double remill,
                             int npanels) {
  NacaCase c;
  c.camber = (digits[0] - '0') / 100.0;
  c.camber_at = (digits[1] - '0') / 10.0;
  c.thickness = std::atoi(digits.substr(2).c_str()) / 100.0;
  c.alpha = alpha;
  c.remill = remill;
  c.npanels = npanels;
  return c;
}

inline std::string field10(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%10.5f", v);
  return b;
}

// The geometry file of a single NACA four-digit element at unit chord:
// contour from the trailing edge over the upper surface to the leading edge
// and back (three-value table) at cosine-spaced chord stations, stored
// placement, boundary-layer record.
inline std::string naca_geometry(const NacaCase& c) {
  std::vector<double> xs, ys;
  const int n = c.stations;
  auto yt = [&](double x) {
    return 5.0 * c.thickness *
           (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
            0.1036 * x * x * x * x);
  };
  // A point of the upper (side 1) or lower (side -1) surface at chord
  // station x: off the camber line by the half thickness, normal to it.
  auto point = [&](double x, double side) {
    if (c.camber == 0.0) {
      xs.push_back(x);
      ys.push_back(side * yt(x));
      return;
    }
    const double m = c.camber, p = c.camber_at;
    const double yc = x < p ? m / (p * p) * (2 * p * x - x * x)
                            : m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
    const double slope = x < p ? 2 * m / (p * p) * (p - x) : 2 * m / ((1 - p) * (1 - p)) * (p - x);
    const double th = std::atan(slope);
    xs.push_back(x - side * yt(x) * std::sin(th));
    ys.push_back(yc + side * yt(x) * std::cos(th));
  };
  for (int j = n; j >= 1; --j) point(0.5 * (1.0 - std::cos(M_PI * j / n)), 1.0);
  xs.push_back(0.0);
  ys.push_back(0.0);
  const int ile = static_cast<int>(xs.size());
  for (int j = 1; j <= n; ++j) point(0.5 * (1.0 - std::cos(M_PI * j / n)), -1.0);
  std::string t;
  t += c.camber == 0.0 ? "NACA 00xx" : "NACA mpxx";
  t += " boundary-layer case (IPRINT NELEM DADD ICOMPR ITE IPOS IBL)\n";
  t += field10(0) + field10(1) + field10(0.005) + field10(0) + field10(0) + field10(0) +
       field10(1) + "\n";
  t += "     ALPHA      MACH     SWEPT      BREF      XREF      YREF\n";
  t += field10(c.alpha) + field10(0) + field10(0) + field10(1) + field10(0.25) + field10(0) +
       "\n";
  t += "    REMILL      ETAE        NP       VGP     CFSEP\n";
  t += field10(c.remill) + field10(c.etae) + field10(c.np) + field10(c.vgp) +
       field10(c.cfsep) + "\n";
  t += "     BELEM      ITAB     NROWS   NPANELS         -   ISMOOTH       ILE     SCALE\n";
  t += field10(1) + field10(2) + field10(static_cast<double>(xs.size())) + field10(c.npanels) +
       field10(0) + field10(0) + field10(ile) + field10(1) + "\n";
  t += "       XAX       YAX        XX        YY       DFL       DXM       DYM      XTRU      "
       "XTRL\n";
  t += field10(0) + field10(0) + field10(0) + field10(0) + field10(0) + field10(0.25) +
       field10(0) + field10(c.xtru) + field10(c.xtrl) + "\n";
  t += "         X         Y         D\n";
  for (std::size_t i = 0; i < xs.size(); ++i) {
    t += field10(xs[i]) + field10(ys[i]) + field10(0) + "\n";
  }
  return t;
}

// Writes the case into a scratch directory, loads and solves it.
inline void load_case(const std::string& dir_name, const std::string& text,
                      const std::string& file = "case.dat") {
  const std::string path = scratch_dir(dir_name) + "/" + file;
  write_file(path, text);
  ASSERT_EQ(load_and_solve(path), "");
}

// Thwaites' method on the station list (s, ue) of a surface with the
// stagnation point at station 1, kinematic viscosity nu (unit reference
// speed): theta^2 = 0.45 nu / ue^6 * int ue^5 ds, lambda = theta^2 ue'/nu,
// with the shape and shear correlations of Cebeci and Bradshaw.
struct ThwaitesStation {
  double theta = 0, dstar = 0, cf = 0, lambda = 0;
};

inline std::vector<ThwaitesStation> thwaites(const std::vector<double>& s,
                                             const std::vector<double>& ue, double nu) {
  const std::size_t n = s.size();
  std::vector<ThwaitesStation> out(n);
  double integral = 0.0;
  for (std::size_t i = 1; i < n; ++i) {
    integral += 0.5 * (std::pow(ue[i - 1], 5) + std::pow(ue[i], 5)) * (s[i] - s[i - 1]);
    const double th2 = 0.45 * nu * integral / std::pow(ue[i], 6);
    // Velocity gradient by a central difference where possible.
    const std::size_t a = i - 1, b = i + 1 < n ? i + 1 : i;
    const double due = (ue[b] - ue[a]) / (s[b] - s[a]);
    const double lam = th2 * due / nu;
    double l, H;
    if (lam >= 0) {
      l = 0.22 + 1.57 * lam - 1.8 * lam * lam;
      H = 2.61 - 3.75 * lam + 5.24 * lam * lam;
    } else {
      l = 0.22 + 1.402 * lam + 0.018 * lam / (lam + 0.107);
      H = 2.088 + 0.0731 / (lam + 0.14);
    }
    ThwaitesStation& t = out[i];
    t.theta = std::sqrt(th2);
    t.dstar = H * t.theta;
    t.cf = 2.0 * l * nu / (ue[i] * t.theta);  // on the local edge velocity
    t.lambda = lam;
  }
  return out;
}

// Opens the boundary-layer listing units in dir (as a load would) so that
// hand-built store cases write their listings there.
inline void open_bl_listings(const std::string& dir) {
  ProblemState& s = state();
  s.LUSTD = 6;
  s.LUDEB = 10;
  s.LUBLF = 11;
  s.LUBLN = 12;
  s.LUBLIN = 14;
  std::string err;
  text::Units& u = text::units();
  ASSERT_TRUE(u.open(s.LUDEB, dir + "/case.deb", &err)) << err;
  ASSERT_TRUE(u.open(s.LUBLF, dir + "/case.blf", &err)) << err;
  ASSERT_TRUE(u.open(s.LUBLN, dir + "/case.bln", &err)) << err;
  ASSERT_TRUE(u.open(s.LUBLIN, dir + "/InputBl.out", &err)) << err;
}

// The boundary-layer record in the store: Reynolds number in millions,
// points across the layer, ETAE, VGP and CFSEP.
inline void set_layer_record(double remill, int np, double etae, double vgp, double cfsep) {
  ProblemState& s = state();
  s.REMILL = remill;
  s.NP = np;
  s.ETAE = etae;
  s.VGP = vgp;
  s.CFSEP = cfsep;
}

// A flat plate in the result store, element 1: station 1 the stagnation
// point (ue 0), stations 2..n at arc lengths growing quadratically to
// length, ue 1 from station 2 on.
inline void flat_plate_store(int n, double length, double remill, int np, double xtr) {
  ProblemState& s = state();
  s.NELEM = 1;
  set_layer_record(remill, np, 8.0, 1.1, 0.0);
  for (int sf = 1; sf <= 2; ++sf) {
    s.NX(1, sf) = n;
    s.XTR(1, sf) = xtr;
    for (int i = 1; i <= n; ++i) {
      const double t = static_cast<double>(i - 1) / (n - 1);
      s.S(i, 1, sf) = length * t * t;
      s.UE(i, 1, sf) = i == 1 ? 0.0 : 1.0;
    }
    s.XINV(1, sf) = length;
  }
  s.NXMAX(1) = n;
}

}  // namespace sorvane::testing

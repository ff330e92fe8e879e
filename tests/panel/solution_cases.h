// Geometry files for the panel-solution tests and benchmark: contours made
// in the test (NACA four-digit sections, Karman-Trefftz sections) or read
// from the Williams data, written as a geometry input file, loaded with
// READ_GEOMETRY and solved with FOILPMG.
#pragma once

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "tests/load_and_solve.h"

namespace sorvane::cases {

struct Element {
  std::vector<double> x, y;  // contour, trailing edge -> upper -> leading edge -> lower
  double chord = 1.0;        // BELEM
  int npanels = 0;           // 0: NROWS - 1
  int ile = 0;               // contour row of the leading edge, 0: found by GEOM
  bool mirrored = false;     // layout 1: x, y rows from the leading edge, y mirrored
  bool reversed = false;     // layout 3: the rows written backwards (ile still in contour order)
  int ismooth = 0;           // 1: contour smoothing
  double scale = 1.0;        // SCALE: the reader multiplies x and y by it
  double xax = 0, yax = 0, xx = 0, yy = 0, dfl = 0, dxm = 0, dym = 0;
};

struct Config {
  int iprint = 0;
  double dadd = 0.001;
  int icompr = 0, ite = 0, ipos = 1;
  double alpha = 0, mach = 0, swept = 0, bref = 1, xref = 0, yref = 0;
  std::vector<Element> elements;
};

// A value in a ten-character field, with as many decimals as fit.
inline std::string field(double v) {
  char buf[64];
  const double a = std::fabs(v);
  int intDigits = a < 1.0 ? 1 : static_cast<int>(std::floor(std::log10(a))) + 1;
  int decimals = 10 - 2 - intDigits;  // room for a sign either way: mirrored values stay mirrored
  if (decimals < 0) decimals = 0;
  std::snprintf(buf, sizeof buf, "%10.*f", decimals, v);
  std::string s(buf);
  if (s.size() > 10) s = s.substr(0, 10);
  return s;
}
inline std::string ifield(int v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%9d.", v);
  return buf;
}

inline std::string geometry_text(const Config& c) {
  std::ostringstream o;
  o << "panel-solution test case\n";
  o << ifield(c.iprint) << ifield(static_cast<int>(c.elements.size())) << field(c.dadd)
    << ifield(c.icompr) << ifield(c.ite) << ifield(c.ipos) << ifield(0) << "\n";
  o << "   ALPHA      MACH     SWEPT      BREF      XREF      YREF\n";
  o << field(c.alpha) << field(c.mach) << field(c.swept) << field(c.bref) << field(c.xref)
    << field(c.yref) << "\n";
  for (const Element& e : c.elements) {
    const int rows = static_cast<int>(e.x.size());
    o << "element\n";
    const int layout = e.mirrored ? 1 : (e.reversed ? 3 : 2);
    const int fileIle = layout == 3 && e.ile != 0 ? rows + 1 - e.ile : e.ile;
    o << field(e.chord) << ifield(layout) << ifield(rows) << ifield(e.npanels) << ifield(0)
      << ifield(e.ismooth) << ifield(fileIle) << field(e.scale) << "\n";
    o << "placement\n";
    o << field(e.xax) << field(e.yax) << field(e.xx) << field(e.yy) << field(e.dfl)
      << field(e.dxm) << field(e.dym) << "\n";
    o << "points\n";
    for (int row = 0; row < rows; ++row) {
      const int j = layout == 3 ? rows - 1 - row : row;
      if (e.mirrored) {
        o << field(e.x[j]) << field(e.y[j]) << field(-e.y[j]) << field(0.0) << field(0.0)
          << "\n";
      } else {
        o << field(e.x[j]) << field(e.y[j]) << field(0.0) << "\n";
      }
    }
  }
  return o.str();
}

// Writes the case into dir/name.dat and loads it; "" or the reader's message.
inline std::string load(const Config& c, const std::string& dir, const std::string& name) {
  const std::string path = dir + "/" + name + ".dat";
  {
    std::ofstream out(path);
    out << geometry_text(c);
  }
  return testing::load_geometry(path);
}

// Loads and solves; "" when both worked, else the message.
inline std::string solve(const Config& c, const std::string& dir, const std::string& name) {
  std::string err = load(c, dir, name);
  if (!err.empty()) return "load: " + err;
  return testing::solve_loaded();
}

// Row (1-based) of the contour point farthest from the trailing-edge midpoint.
inline int farthest_row(const Element& e) {
  const double xm = 0.5 * (e.x.front() + e.x.back()), ym = 0.5 * (e.y.front() + e.y.back());
  int best = 1;
  double d = -1;
  for (std::size_t i = 0; i < e.x.size(); ++i) {
    const double di = std::hypot(e.x[i] - xm, e.y[i] - ym);
    if (di > d) {
      d = di;
      best = static_cast<int>(i) + 1;
    }
  }
  return best;
}

// NACA four-digit section with a closed trailing edge, chord 1, leading edge
// at the origin: rows trailing edge -> upper -> leading edge -> lower
// (2*half+1 points), cosine spacing. With `blunt` the section keeps the
// original last thickness coefficient, -0.1015, and ends in a base 0.25 % of
// the chord thick; on a cambered section its two ends then lie apart in x.
inline Element naca4(int digits, int half, bool blunt = false) {
  const double m = (digits / 1000) / 100.0, p = ((digits / 100) % 10) / 10.0,
               t = (digits % 100) / 100.0;
  const double a4 = blunt ? -0.1015 : -0.1036;
  Element e;
  auto surface = [&](double x, int sign, double* xs, double* ys) {
    const double yt = 5 * t *
                      (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x +
                       0.2843 * x * x * x + a4 * x * x * x * x);
    double yc = 0, dyc = 0;
    if (m > 0) {
      if (x < p) {
        yc = m / (p * p) * (2 * p * x - x * x);
        dyc = 2 * m / (p * p) * (p - x);
      } else {
        yc = m / ((1 - p) * (1 - p)) * (1 - 2 * p + 2 * p * x - x * x);
        dyc = 2 * m / ((1 - p) * (1 - p)) * (p - x);
      }
    }
    const double th = std::atan(dyc);
    *xs = x - sign * yt * std::sin(th);
    *ys = yc + sign * yt * std::cos(th);
  };
  const double pi = 3.141592653589793;
  for (int i = half; i >= 0; --i) {  // upper, TE -> LE
    const double x = 0.5 * (1 - std::cos(pi * i / half));
    double xs, ys;
    surface(x, +1, &xs, &ys);
    e.x.push_back(xs);
    e.y.push_back(ys);
  }
  for (int i = 1; i <= half; ++i) {  // lower, LE -> TE
    const double x = 0.5 * (1 - std::cos(pi * i / half));
    double xs, ys;
    surface(x, -1, &xs, &ys);
    e.x.push_back(xs);
    e.y.push_back(ys);
  }
  e.ile = half + 1;
  return e;
}

// Mirrored table of NACA 00tt: rows x from the leading edge, y upper.
inline Element naca00_mirrored(int thickness, int rows) {
  Element e;
  e.mirrored = true;
  const double t = thickness / 100.0, pi = 3.141592653589793;
  for (int j = 0; j < rows; ++j) {
    const double x = 0.5 * (1 - std::cos(pi * j / (rows - 1)));
    e.x.push_back(x);
    e.y.push_back(5 * t *
                  (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x + 0.2843 * x * x * x -
                   0.1036 * x * x * x * x));
  }
  e.ile = rows;
  return e;
}

// Karman-Trefftz section: the circle through zeta = b with centre
// (-mux, muy), mapped with the exponent n = 2 - tau/180 (tau the trailing-edge
// angle in degrees). The exact flow at angle alpha (degrees) with the Kutta
// condition gives the surface speed and the lift.
struct KarmanTrefftz {
  double b = 0.25, mux = 0.025, muy = 0.02, tau = 10.0;
  double n() const { return 2.0 - tau / 180.0; }
  double R() const { return std::hypot(b + mux, muy); }
  double beta() const { return std::asin(muy / R()); }
  std::complex<double> z(std::complex<double> zeta) const {
    const std::complex<double> w = (zeta - b) / (zeta + b);
    const std::complex<double> q = std::pow(w, n());
    return n() * b * (1.0 + q) / (1.0 - q);
  }
  // Point of the circle at parameter phi.
  std::complex<double> zeta(double phi) const {
    return std::complex<double>(-mux, muy) + R() * std::polar(1.0, phi);
  }
  double phi_te() const { return -beta(); }
  // Exact surface Cp at circle parameter phi.
  double cp(double phi, double alphaDeg) const {
    const double a = alphaDeg * 3.141592653589793 / 180.0;
    const double r = R();
    const std::complex<double> zc(-mux, muy);
    const double gamma = 4 * 3.141592653589793 * r * std::sin(a + beta());
    const std::complex<double> zt = zeta(phi);
    const std::complex<double> I(0, 1);
    const std::complex<double> W = std::polar(1.0, -a) -
                                   r * r * std::polar(1.0, a) / ((zt - zc) * (zt - zc)) +
                                   I * gamma / (2 * 3.141592653589793 * (zt - zc));
    const std::complex<double> w = (zt - b) / (zt + b);
    const double nn = n();
    const std::complex<double> q = std::pow(w, nn);
    const std::complex<double> dz =
        4.0 * nn * nn * b * b * std::pow(w, nn - 1) / ((1.0 - q) * (1.0 - q) * (zt + b) * (zt + b));
    return 1.0 - std::norm(W) / std::norm(dz);
  }
  // Exact lift per unit span over half the dynamic pressure (a length).
  double lift(double alphaDeg) const {
    return 8 * 3.141592653589793 * R() * std::sin(alphaDeg * 3.141592653589793 / 180.0 + beta());
  }
  // Contour of count points (count odd), TE -> upper -> LE -> lower -> TE.
  Element contour(int count) const {
    Element e;
    const double pi = 3.141592653589793;
    for (int i = 0; i < count; ++i) {
      const double phi = phi_te() + 2 * pi * i / (count - 1);
      std::complex<double> p = (i == 0 || i == count - 1) ? std::complex<double>(n() * b, 0)
                                                          : z(zeta(phi));
      e.x.push_back(p.real());
      e.y.push_back(p.imag());
    }
    e.ile = farthest_row(e);
    return e;
  }
};

// A table (x, value) along one surface branch, interpolated linearly in x.
struct Branch {
  std::vector<double> x, v;
  void sort() {
    std::vector<std::size_t> idx(x.size());
    for (std::size_t i = 0; i < idx.size(); ++i) idx[i] = i;
    std::sort(idx.begin(), idx.end(), [&](std::size_t a, std::size_t b) { return x[a] < x[b]; });
    std::vector<double> xs, vs;
    for (std::size_t i : idx) {
      xs.push_back(x[i]);
      vs.push_back(v[i]);
    }
    x = xs;
    v = vs;
  }
  double at(double xq) const {
    if (xq <= x.front()) return v.front();
    if (xq >= x.back()) return v.back();
    const std::size_t j = std::upper_bound(x.begin(), x.end(), xq) - x.begin();
    const double t = (xq - x[j - 1]) / (x[j] - x[j - 1]);
    return v[j - 1] + t * (v[j] - v[j - 1]);
  }
};

// Splits (x, value) points in contour order (TE -> first surface -> LE ->
// second surface) at the smallest x into the two branches.
inline void split_branches(const std::vector<double>& x, const std::vector<double>& v,
                           Branch* first, Branch* second) {
  const std::size_t le = std::min_element(x.begin(), x.end()) - x.begin();
  first->x.assign(x.begin(), x.begin() + le + 1);
  first->v.assign(v.begin(), v.begin() + le + 1);
  second->x.assign(x.begin() + le, x.end());
  second->v.assign(v.begin() + le, v.end());
  first->sort();
  second->sort();
}

// Two-column CSV (x,y) file.
inline bool read_csv(const std::string& path, std::vector<double>* a, std::vector<double>* b) {
  std::ifstream in(path);
  if (!in) return false;
  std::string line;
  while (std::getline(in, line)) {
    double u, w;
    if (std::sscanf(line.c_str(), "%lf,%lf", &u, &w) == 2) {
      a->push_back(u);
      b->push_back(w);
    }
  }
  return !a->empty();
}

// The Williams main aerofoil and flap from the contour files of `points`
// (200 or 300) points, with `panels` panels each.
inline Config williams(const std::string& dataDir, int points, int panels, int ite,
                       double dadd) {
  Config c;
  c.ite = ite;
  c.dadd = dadd;
  for (const char* name : {"MainFoil", "FlapFoil"}) {
    Element e;
    read_csv(dataDir + "/" + name + "_N=" + std::to_string(points) + ".csv", &e.x, &e.y);
    e.npanels = panels;
    e.ile = farthest_row(e);
    const double xm = 0.5 * (e.x.front() + e.x.back()), ym = 0.5 * (e.y.front() + e.y.back());
    e.chord = std::hypot(e.x[e.ile - 1] - xm, e.y[e.ile - 1] - ym);
    c.elements.push_back(e);
  }
  return c;
}

}  // namespace sorvane::cases

// An independent laminar boundary-layer solver for the tests: a reference
// against which the project's own march can be checked on the same edge
// velocity. It shares nothing with the solver's boundary-layer code (no
// include, no routine, no grid, no streamwise difference), so an error of
// that code cannot repeat itself here.
//
// Equations: steady incompressible two-dimensional laminar boundary layer in
// Falkner-Skan variables,
//   xi = s,  eta = y sqrt(ue / (nu s)),  psi = sqrt(ue nu s) f(xi, eta),
//   m(xi) = (s / ue) due/ds,
//   f''' + (m+1)/2 f f'' + m (1 - f'^2) = s (f' df'/ds - f'' df/ds),
// written as the first-order system f' = u, u' = v (u = f' is the velocity
// ratio to the edge) and the momentum equation in v.
//
// Discretisation: Keller's box. The two first-order relations are centred
// across the layer at each station; the momentum equation is centred across
// the layer and midway between two stations (a Crank-Nicolson midpoint): the
// mean of its terms at both stations, the streamwise derivatives as
// differences over the step, and m from the interval's slope of ue at the
// step's midpoint. Each station is solved by Newton iterations on the
// block-tridiagonal system of the corrections (3 unknowns f, u, v per
// point), eliminated by a block Thomas algorithm with partial pivoting inside
// each 3 by 3 block.
//
// A centred step does not damp everything: next to the wall, where u and with
// it the streamwise terms vanish, the momentum equation only ties the mean of
// f''' at the two stations to -m, so each change of m from one interval to
// the next starts an oscillation from station to station that never dies out
// (on a panel solution, several per cent in cf). So every input interval
// opens with a short fully implicit step (a tenth of its first piece), which
// damps it; the rest of the interval is centred.
//
// Intervals too coarse for the scheme (the arc length grows by more than
// 5 %, or ue changes by more than 5 %: next to a stagnation point a station
// may lie three times as far from it as the one before) are cut into pieces
// evenly spaced in log s, ue linear in s inside the interval and m at each
// piece's midpoint; only the input stations are reported.
//
// Normal grid: geometric, first step kFirstStep, ratio kGrowth, outer edge at
// least kEtaStart; more points are added (the same ratio) whenever f'' at the
// edge has not died out, and the station is solved again. The whole march is
// run twice, on this grid and on the grid with every step halved, and the
// results are extrapolated to zero step (Richardson: the box is second-order
// across the layer). That takes the error across the layer from about 1e-4
// to about 1e-8 in f''(0), and keeps f''(0) right near separation, where it
// goes like the square root of the distance from separation and so reacts
// strongly to any error of the discrete equations.
//
// Start: at a stagnation point ue is linear in s on the first interval, so
// the first station after it carries the Hiemenz profile (m = 1) exactly;
// the march begins from there. laminar_reference_from starts instead from the
// similar profile of a given m at station 0 (a flat-plate leading edge, a
// wedge flow).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

namespace sorvane::testing {

struct LaminarStation {
  double s = 0, ue = 0, theta = 0, dstar = 0, cf = 0;
  bool computed = false;
};

struct LaminarReference {
  std::vector<LaminarStation> stations;  // one per input station, station 0 the start
  int separated = -1;  // index of the first station where the layer separates (wall shear
                       // <= 0 or no converged solution); -1 when it stays attached to the end
};

namespace laminar_detail {

constexpr double kFirstStep = 0.02;   // first step of the normal grid
constexpr double kGrowth = 1.03;      // ratio of neighbouring steps
constexpr double kEtaStart = 10.0;    // the edge at least this far out
constexpr double kEdgeShear = 1e-6;   // |f''| at the edge above this: the grid grows
constexpr double kEtaLimit = 60.0;    // no station may need more
constexpr double kStepRatio = 0.05;   // a piece ends at most (1 + this) times as far out
constexpr double kStepUe = 0.05;      // ... and changes ue by at most this fraction
constexpr int kMaxSubsteps = 400;     // pieces of one input interval at most
constexpr double kImplicit = 0.1;     // share of the implicit step in an interval's first piece
constexpr int kMaxNewton = 30;
constexpr double kNewtonTol = 1e-10;  // largest correction of a converged station

// A 3 by 3 matrix (row-major) factored by Gaussian elimination with row
// exchanges (factor: false when a pivot is zero or not finite), then solved
// in place for any number of right-hand sides. Plain arrays and pointers in
// this and the next two routines: they run at every point of every Newton
// pass.
struct Lu3 {
  double a[9];
  int perm[3];
  bool factor(const double* m) {
    for (int k = 0; k < 9; ++k) a[k] = m[k];
    for (int k = 0; k < 3; ++k) perm[k] = k;
    for (int k = 0; k < 3; ++k) {
      int p = k;
      for (int r = k + 1; r < 3; ++r)
        if (std::fabs(a[3 * r + k]) > std::fabs(a[3 * p + k])) p = r;
      const double piv = a[3 * p + k];
      if (!(std::fabs(piv) > 0) || !std::isfinite(piv)) return false;
      if (p != k) {
        for (int c = 0; c < 3; ++c) std::swap(a[3 * k + c], a[3 * p + c]);
        std::swap(perm[k], perm[p]);
      }
      for (int r = k + 1; r < 3; ++r) {
        const double l = a[3 * r + k] / a[3 * k + k];
        a[3 * r + k] = l;
        for (int c = k + 1; c < 3; ++c) a[3 * r + c] -= l * a[3 * k + c];
      }
    }
    return true;
  }
  void solve(double* b) const {
    double x[3] = {b[perm[0]], b[perm[1]], b[perm[2]]};
    for (int r = 1; r < 3; ++r)
      for (int c = 0; c < r; ++c) x[r] -= a[3 * r + c] * x[c];
    for (int r = 2; r >= 0; --r) {
      for (int c = r + 1; c < 3; ++c) x[r] -= a[3 * r + c] * x[c];
      x[r] /= a[3 * r + r];
    }
    for (int r = 0; r < 3; ++r) b[r] = x[r];
  }
};

// Block rows j = 0..n-1 of three equations: L_j x_{j-1} + D_j x_j + U_j x_{j+1}
// = r_j, the blocks row-major at 9 j in lower, diag and upper (L_0 and
// U_{n-1} unused), r_j at 3 j in rhs. Block Thomas elimination; the solution
// replaces rhs. False when an eliminated diagonal block is singular or the
// solution is not finite.
inline bool solve_block_tridiagonal(std::size_t n, const double* lower, const double* diag,
                                    const double* upper, double* rhs) {
  thread_local std::vector<double> gamma_store;  // (D_j - L_j G_{j-1})^-1 U_j
  gamma_store.resize(9 * n);
  double* gamma = gamma_store.data();
  Lu3 lu;
  for (std::size_t j = 0; j < n; ++j) {
    double d[9];
    for (int k = 0; k < 9; ++k) d[k] = diag[9 * j + k];
    double* r = rhs + 3 * j;
    if (j > 0) {
      const double* l = lower + 9 * j;
      const double* g = gamma + 9 * (j - 1);
      const double* y = rhs + 3 * (j - 1);
      for (int i = 0; i < 3; ++i) {
        for (int k = 0; k < 3; ++k)
          d[3 * i + k] -= l[3 * i] * g[k] + l[3 * i + 1] * g[3 + k] + l[3 * i + 2] * g[6 + k];
        r[i] -= l[3 * i] * y[0] + l[3 * i + 1] * y[1] + l[3 * i + 2] * y[2];
      }
    }
    if (!lu.factor(d)) return false;
    lu.solve(r);
    if (j + 1 < n) {
      const double* u = upper + 9 * j;
      double* g = gamma + 9 * j;
      for (int c = 0; c < 3; ++c) {
        double col[3] = {u[c], u[3 + c], u[6 + c]};
        lu.solve(col);
        for (int k = 0; k < 3; ++k) g[3 * k + c] = col[k];
      }
    }
  }
  for (std::size_t j = n - 1; j-- > 0;) {
    const double* g = gamma + 9 * j;
    const double* x = rhs + 3 * (j + 1);
    for (int i = 0; i < 3; ++i) rhs[3 * j + i] -= g[3 * i] * x[0] + g[3 * i + 1] * x[1] + g[3 * i + 2] * x[2];
  }
  for (std::size_t k = 0; k < 3 * n; ++k)
    if (!std::isfinite(rhs[k])) return false;
  return true;
}

// The profile of one station on the normal grid eta: f, u = f', v = f''.
// The grid is a geometric base grid (first step kFirstStep, ratio kGrowth)
// with every base step cut into `refine` equal parts, so that the grid of
// refine 2 halves every step of the grid of refine 1.
struct Profile {
  std::vector<double> eta, f, u, v;
  int refine = 1;
  double next_step = kFirstStep;  // the next step of the base grid
  std::size_t size() const { return eta.size(); }
  // One base step more; the new points carry the outer flow: u = 1, v = 0,
  // f growing like eta.
  void add_step() {
    const double e0 = eta.back(), f0 = f.back();
    for (int k = 1; k <= refine; ++k) {
      const double d = next_step * k / refine;
      eta.push_back(e0 + d);
      f.push_back(f0 + d);
      u.push_back(1.0);
      v.push_back(0.0);
    }
    next_step *= kGrowth;
  }
};

// Adds base steps until the edge lies at least at eta_to.
inline void extend(Profile& p, double eta_to) {
  while (p.eta.back() < eta_to) p.add_step();
}

// A first guess from which Newton finds the attached similar solutions:
// u = 1 - exp(-eta), on a grid reaching at least eta_to.
inline Profile initial_profile(int refine, double eta_to) {
  Profile p;
  p.refine = refine;
  p.eta = {0.0};
  p.f = {0.0};
  p.u = {0.0};
  p.v = {0.0};
  extend(p, eta_to);
  for (std::size_t j = 0; j < p.size(); ++j) {
    const double e = p.eta[j];
    p.u[j] = 1.0 - std::exp(-e);
    p.v[j] = std::exp(-e);
    p.f[j] = e - 1.0 + std::exp(-e);
  }
  return p;
}

// One station: the momentum equation of parameter m with weight w on the
// new station's terms and 1 - w on those of old, the streamwise derivatives
// times s over the step scaled by alpha = s_w / (s_new - s_old), s_w the
// point where the equation stands (w = 1/2: centred; w = 1: implicit; w = 1,
// alpha = 0 and no old station: a similar profile). Newton iterations from
// the guess in p; true when they converge. p and old lie on the same grid.
inline bool solve_station(Profile& p, const Profile* old, double m, double alpha, double w) {
  const std::size_t n = p.size();
  const std::size_t last = n - 1;
  const double m1 = 0.5 * (m + 1.0);
  thread_local std::vector<double> lower_store, diag_store, upper_store, rhs_store;
  lower_store.resize(9 * n);
  diag_store.resize(9 * n);
  upper_store.resize(9 * n);
  rhs_store.resize(3 * n);
  double *lower = lower_store.data(), *diag = diag_store.data(), *upper = upper_store.data(),
         *rhs = rhs_store.data();
  const double* eta = p.eta.data();
  double *f = p.f.data(), *u = p.u.data(), *v = p.v.data();
  const double* of = old != nullptr ? old->f.data() : nullptr;
  const double* ou = old != nullptr ? old->u.data() : nullptr;
  const double* ov = old != nullptr ? old->v.data() : nullptr;
  for (int iter = 0; iter < kMaxNewton; ++iter) {
    std::fill(lower_store.begin(), lower_store.end(), 0.0);
    std::fill(diag_store.begin(), diag_store.end(), 0.0);
    std::fill(upper_store.begin(), upper_store.end(), 0.0);
    // Boundary conditions: f = 0 and u = 0 at the wall, u = 1 at the edge.
    diag[0] = 1.0;
    rhs[0] = -f[0];
    diag[4] = 1.0;
    rhs[1] = -u[0];
    diag[9 * last + 7] = 1.0;
    rhs[3 * last + 2] = -(u[last] - 1.0);
    for (std::size_t j = 1; j < n; ++j) {
      const double h = eta[j] - eta[j - 1];
      // f' = u and u' = v on interval j: rows 0 and 1 of block row j.
      double* dj = diag + 9 * j;
      double* lj = lower + 9 * j;
      rhs[3 * j] = -(f[j] - f[j - 1] - 0.5 * h * (u[j] + u[j - 1]));
      rhs[3 * j + 1] = -(u[j] - u[j - 1] - 0.5 * h * (v[j] + v[j - 1]));
      dj[0] = 1.0;
      dj[1] = -0.5 * h;
      lj[0] = -1.0;
      lj[1] = -0.5 * h;
      dj[4] = 1.0;
      dj[5] = -0.5 * h;
      lj[4] = -1.0;
      lj[5] = -0.5 * h;
      // Momentum on interval j: row 2 of block row j-1.
      const double fb = 0.5 * (f[j] + f[j - 1]);
      const double ub = 0.5 * (u[j] + u[j - 1]);
      const double vb = 0.5 * (v[j] + v[j - 1]);
      double res = w * ((v[j] - v[j - 1]) / h + m1 * fb * vb - m * ub * ub) + m;
      double dfb = w * m1 * vb, dub = -2.0 * w * m * ub, dvb = w * m1 * fb;
      if (old != nullptr) {
        const double Fb = 0.5 * (of[j] + of[j - 1]);
        const double Ub = 0.5 * (ou[j] + ou[j - 1]);
        const double Vb = 0.5 * (ov[j] + ov[j - 1]);
        res += (1.0 - w) * ((ov[j] - ov[j - 1]) / h + m1 * Fb * Vb - m * Ub * Ub);
        // s (u du/ds - v df/ds), moved to the left, with u and v weighted
        // like the other terms and the derivatives over the step.
        const double uw = w * ub + (1.0 - w) * Ub, vw = w * vb + (1.0 - w) * Vb;
        res += -alpha * uw * (ub - Ub) + alpha * vw * (fb - Fb);
        dfb += alpha * vw;
        dub += -alpha * (w * (ub - Ub) + uw);
        dvb += alpha * w * (fb - Fb);
      }
      double* here = diag + 9 * (j - 1);   // unknowns at point j-1
      double* next = upper + 9 * (j - 1);  // unknowns at point j
      here[6] = 0.5 * dfb;
      here[7] = 0.5 * dub;
      here[8] = 0.5 * dvb - w / h;
      next[6] = 0.5 * dfb;
      next[7] = 0.5 * dub;
      next[8] = 0.5 * dvb + w / h;
      rhs[3 * (j - 1) + 2] = -res;
    }
    if (!solve_block_tridiagonal(n, lower, diag, upper, rhs)) return false;
    double largest = 0.0;
    for (std::size_t j = 0; j < n; ++j) {
      f[j] += rhs[3 * j];
      u[j] += rhs[3 * j + 1];
      v[j] += rhs[3 * j + 2];
      for (int k = 0; k < 3; ++k) largest = std::max(largest, std::fabs(rhs[3 * j + k]));
    }
    if (!std::isfinite(largest) || largest > 1e6) return false;
    if (largest < kNewtonTol) return true;
  }
  return false;
}

// A station solved, the grid grown while the edge shear has not died out
// (the solution on the shorter grid, extended, is the next guess); the
// earlier station's profile old (if any) is grown along.
inline bool solve_with_growth(Profile& p, Profile* old, double m, double alpha, double w) {
  for (;;) {
    if (!solve_station(p, old, m, alpha, w)) return false;
    if (std::fabs(p.v.back()) <= kEdgeShear) return true;
    const double to = p.eta.back() + 2.0;
    if (to > kEtaLimit) return false;
    extend(p, to);
    if (old != nullptr) extend(*old, to);
  }
}

// The similar profile of parameter m: Newton from a generic guess at m = 0
// (or straight at m when m >= 0), then continuation in m in shrinking steps,
// so that near separation the attached branch is followed.
inline bool similar_profile(double m, int refine, Profile& p) {
  p = initial_profile(refine, kEtaStart);
  double at = m >= 0 ? m : 0.0;
  if (!solve_with_growth(p, nullptr, at, 0.0, 1.0)) return false;
  double step = 0.05;
  while (at > m) {
    const double to = std::max(m, at - step);
    Profile trial = p;
    if (solve_with_growth(trial, nullptr, to, 0.0, 1.0) && trial.v[0] > 0) {
      p = trial;
      at = to;
    } else {
      step *= 0.5;
      if (step < 1e-9) return false;
    }
  }
  return true;
}

// What one grid gives at a station: the thickness integrals in eta,
// int (1 - u) and int u (1 - u) (trapezoidal rule, as the box integrates),
// and f''(0).
struct GridStation {
  double d1 = 0, d2 = 0, wall = 0;
};

inline GridStation grid_station(const Profile& p) {
  GridStation g;
  g.d1 = p.eta.back() - p.f.back();
  for (std::size_t j = 1; j < p.size(); ++j)
    g.d2 += 0.5 * (p.eta[j] - p.eta[j - 1]) *
            (p.u[j] * (1.0 - p.u[j]) + p.u[j - 1] * (1.0 - p.u[j - 1]));
  g.wall = p.v[0];
  return g;
}

struct GridMarch {
  std::vector<GridStation> stations;
  int separated = -1;
};

// One step of the march from s_old to s_new with pressure-gradient
// parameter m, the momentum equation weighted w at s_new and 1 - w at s_old
// (1/2: centred; 1: implicit). False when Newton fails or the wall shear is
// not positive.
inline bool step(Profile& p, double s_old, double s_new, double m, double w) {
  const double alpha = (w * s_new + (1.0 - w) * s_old) / (s_new - s_old);
  Profile old = p;
  return solve_with_growth(p, &old, m, alpha, w) && p.v[0] > 0;
}

// The march on one grid from the similar profile p at station `first` to
// the end, or to the first station that fails (Newton does not converge at
// one of its sub-stations, or the wall shear is not positive).
inline GridMarch march(const std::vector<double>& s, const std::vector<double>& ue,
                       std::size_t first, Profile p) {
  GridMarch out;
  out.stations.resize(s.size());
  out.stations[first] = grid_station(p);
  for (std::size_t n = first + 1; n < s.size(); ++n) {
    const double sa = s[n - 1], sb = s[n], ua = ue[n - 1], ub = ue[n];
    const double slope = (ub - ua) / (sb - sa);
    int pieces = 1;
    if (sa > 0)
      pieces = std::max(pieces, static_cast<int>(std::ceil(std::log(sb / sa) /
                                                           std::log(1.0 + kStepRatio))));
    pieces = std::max(pieces, static_cast<int>(std::ceil(std::fabs(ub - ua) /
                                                         (kStepUe * std::min(ua, ub)))));
    pieces = std::min(pieces, kMaxSubsteps);
    double s_old = sa;
    bool ok = true;
    for (int k = 1; k <= pieces && ok; ++k) {
      // Sub-stations evenly spaced in log s (evenly in s from s = 0).
      const double s_new = k == pieces ? sb
                           : sa > 0    ? sa * std::pow(sb / sa, static_cast<double>(k) / pieces)
                                       : sa + (sb - sa) * k / pieces;
      // m of the piece at its midpoint, ue linear in s over the interval.
      const double s_mid = 0.5 * (s_old + s_new);
      const double m = s_mid / (ua + slope * (s_mid - sa)) * slope;
      // The first piece opens with a short implicit step, which damps the
      // oscillation a change of m starts (see the top of this file).
      if (k == 1) {
        const double s_imp = sa + kImplicit * (s_new - sa);
        ok = step(p, sa, s_imp, m, 1.0);
        s_old = s_imp;
        if (!ok) break;
      }
      ok = step(p, s_old, s_new, m, 0.5);
      s_old = s_new;
    }
    if (!ok) {
      out.separated = static_cast<int>(n);
      return out;
    }
    out.stations[n] = grid_station(p);
  }
  return out;
}

// Richardson extrapolation of a second-order result from the grid of
// refine 1 (coarse) and refine 2 (fine) to zero step.
inline double extrapolate(double coarse, double fine) { return (4.0 * fine - coarse) / 3.0; }

// The wall shear extrapolated through its square: near separation f''(0)
// goes like the square root of the distance from it, and the square is the
// smooth function of the step. Not positive: the extrapolated layer has
// separated.
inline double extrapolate_wall(double coarse, double fine) {
  const double sq = extrapolate(coarse * coarse, fine * fine);
  return sq > 0 ? std::sqrt(sq) : 0.0;
}

// Both grids marched from similar profiles of m_start at station `first`,
// then extrapolated. Stations before `first` are left not computed.
inline LaminarReference march_extrapolated(const std::vector<double>& s,
                                           const std::vector<double>& ue, double nu,
                                           std::size_t first, double m_start) {
  LaminarReference out;
  out.stations.resize(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    out.stations[i].s = s[i];
    out.stations[i].ue = ue[i];
  }
  const int n = static_cast<int>(s.size());
  GridMarch grids[2];
  int end = n;  // the first station that either grid did not reach
  for (int g = 0; g < 2; ++g) {
    Profile p;
    if (!similar_profile(m_start, g + 1, p)) {
      out.separated = static_cast<int>(first);
      return out;
    }
    grids[g] = march(s, ue, first, p);
    if (grids[g].separated >= 0) end = std::min(end, grids[g].separated);
  }
  for (int i = static_cast<int>(first); i < end; ++i) {
    const GridStation& c = grids[0].stations[i];
    const GridStation& f = grids[1].stations[i];
    const double wall = extrapolate_wall(c.wall, f.wall);
    if (!(wall > 0)) {
      out.separated = i;
      return out;
    }
    LaminarStation& st = out.stations[i];
    const double scale = std::sqrt(nu * st.s / st.ue);  // y per unit eta
    st.dstar = scale * extrapolate(c.d1, f.d1);
    st.theta = scale * extrapolate(c.d2, f.d2);
    // cf = 2 nu (du/dy)_w / ue^2 = 2 f''(0) / sqrt(ue s / nu): infinite at s = 0.
    const double rx = st.ue * st.s / nu;
    st.cf = rx > 0 ? 2.0 * wall / std::sqrt(rx) : std::numeric_limits<double>::infinity();
    st.computed = true;
  }
  if (end < n) out.separated = end;
  return out;
}

inline void check_input(const std::vector<double>& s, const std::vector<double>& ue, double nu,
                        std::size_t first) {
  if (s.size() != ue.size() || s.size() < first + 1)
    throw std::invalid_argument("laminar_reference: s and ue differ in size or are too short");
  if (!(nu > 0)) throw std::invalid_argument("laminar_reference: nu must be positive");
  for (std::size_t i = 1; i < s.size(); ++i)
    if (!(s[i] > s[i - 1])) throw std::invalid_argument("laminar_reference: s must increase");
  for (std::size_t i = first; i < s.size(); ++i)
    if (!(ue[i] > 0)) throw std::invalid_argument("laminar_reference: ue must be positive");
}

}  // namespace laminar_detail

// f''(0) of the similar (Falkner-Skan) solution of parameter m in this
// solver's scaling, f''' + (m+1)/2 f f'' + m (1 - f'^2) = 0, extrapolated
// from the two grids; NaN when no attached solution is found.
inline double laminar_similar_wall_shear(double m) {
  laminar_detail::Profile coarse, fine;
  if (!laminar_detail::similar_profile(m, 1, coarse) ||
      !laminar_detail::similar_profile(m, 2, fine))
    return std::numeric_limits<double>::quiet_NaN();
  return laminar_detail::extrapolate_wall(coarse.v[0], fine.v[0]);
}

// s[0] = 0 and ue[0] = 0 at the stagnation point, s increasing, ue > 0 after
// it; nu the kinematic viscosity in the units of s and ue (for the project's
// surfaces: unit reference speed and length, nu = 1 / (REMILL * 1e6)).
// Station 0 is reported with the stagnation-point limits of theta and dstar
// (Hiemenz, on the velocity gradient of the first interval) and an infinite
// cf (a finite wall shear on a zero edge velocity). Throws
// std::invalid_argument on input that breaks these rules.
inline LaminarReference laminar_reference(const std::vector<double>& s,
                                          const std::vector<double>& ue, double nu) {
  using namespace laminar_detail;
  check_input(s, ue, nu, 1);
  if (s[0] != 0 || ue[0] != 0)
    throw std::invalid_argument("laminar_reference: station 0 must be the stagnation point");
  LaminarReference out = march_extrapolated(s, ue, nu, 1, 1.0);
  // On the first interval ue = c s: the stagnation point has station 1's
  // Hiemenz profile on the same scale y = eta sqrt(nu s / ue) = eta sqrt(nu / c).
  LaminarStation& st = out.stations[0];
  st.computed = out.stations[1].computed;
  if (st.computed) {
    st.theta = out.stations[1].theta;
    st.dstar = out.stations[1].dstar;
    st.cf = std::numeric_limits<double>::infinity();
  }
  return out;
}

// The same march from a similar start at station 0 instead of a stagnation
// point: the Falkner-Skan profile of parameter m_start there, ue > 0 at
// every station. For a flat-plate leading edge s[0] = 0 and m_start = 0
// (theta and dstar 0 there, cf infinite); for a wedge flow ue = c s^m any
// s[0] > 0 and m_start = m.
inline LaminarReference laminar_reference_from(const std::vector<double>& s,
                                               const std::vector<double>& ue, double nu,
                                               double m_start) {
  laminar_detail::check_input(s, ue, nu, 0);
  if (s[0] < 0) throw std::invalid_argument("laminar_reference_from: s[0] must not be negative");
  return laminar_detail::march_extrapolated(s, ue, nu, 0, m_start);
}

// Michel's transition criterion in Cebeci and Smith's form on a computed
// station: R_theta > 1.174 (1 + 22400 / R_x) R_x^0.46 with R_x = ue s / nu,
// R_theta = ue theta / nu. False on a station that is not computed or lies
// at s = 0.
inline bool michel_transition(const LaminarStation& st, double nu) {
  if (!st.computed) return false;
  const double rx = st.ue * st.s / nu;
  if (!(rx > 0)) return false;
  const double rtheta = st.ue * st.theta / nu;
  return rtheta > 1.174 * (1.0 + 22400.0 / rx) * std::pow(rx, 0.46);
}

}  // namespace sorvane::testing

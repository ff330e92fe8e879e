// Stations built by hand for the tests of the station system and the inverse
// mode (and for its benchmark): a surface run with its station arrays at the
// reference state, the driver's x-derivative weights and pressure-gradient
// term, and the exact solution of the discrete plane stagnation-point
// (Hiemenz) problem on a stretched grid.
//
// With ue = c*x the station system is solved exactly by the similarity
// profile scaled with s = sqrt(x/ue) = 1/sqrt(c): U is linear in x at fixed
// eta (so every difference weight gives dU/dx = c exactly), F and V are too,
// and the box equations of the station reduce, after dividing by powers of c
// and x, to the trapezoidal box equations
//   f' = u, u' = v, v' = u^2 - f*v - 1
// that hiemenz_box solves here by its own marching and shooting.
#pragma once

#include <cmath>
#include <vector>

#include "solver/boundary_layer/station_equations.h"
#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl::station_test {

constexpr double kC1 = 1.4910000345480512e-07;
constexpr double kC2 = 110.4000015258789;

// Sutherland's law with the system's constants.
inline double sutherland(double t) { return kC1 * std::pow(t, 1.5) / (t + kC2); }

// A surface run with stations x, ue (1-based in the run; the vectors hold
// station 1 first), the reference edge state (roe8 = emue8 = 1, te = 300,
// emue its Sutherland value, eme = 0), cf_bc = d1_bc = rv_bc = 0 and no wall
// velocity or transpiration. The level arrays are zero.
inline void make_station_run(SurfaceRun& r, const std::vector<double>& x,
                             const std::vector<double>& ue) {
  const int nx = static_cast<int>(x.size());
  INPUTI_ALLOCATE(r, nx);
  DIAG_3_ALLOCATE(r);
  r.nxt = nx;
  for (int i = 1; i <= nx; ++i) {
    r.x(i) = x[i - 1];
    r.ue(i) = ue[i - 1];
    r.roe8(i) = r.emue8(i) = 1.0;
    r.te(i) = 300.0;
    r.emue(i) = sutherland(300.0);
    r.eme(i) = 0.0;
  }
  r.invmode = 0;
  r.xinv = x.back();
}

// The driver's weights of stations i, i-1, i-2 in the x-derivative.
inline void set_weights(SurfaceRun& r, int i) {
  if (i == 3) {
    r.cx0 = 1.0 / (r.x(3) - r.x(2));
    r.cx1 = -r.cx0;
    r.cx2 = 0.0;
    return;
  }
  const double h1 = r.x(i) - r.x(i - 1), h2 = r.x(i - 1) - r.x(i - 2);
  r.cx0 = (2.0 * h1 + h2) / (h1 * (h1 + h2));
  r.cx1 = -(h1 + h2) / (h1 * h2);
  r.cx2 = h1 / (h2 * (h1 + h2));
}

// The driver's pressure-gradient term of station i from the prescribed edge
// velocities (weights set first).
inline double pressure_term(const SurfaceRun& r, int i) {
  const double due = r.cx0 * r.ue(i) + r.cx1 * r.ue(i - 1) + (i > 2 ? r.cx2 * r.ue(i - 2) : 0.0);
  return -r.roe8(i) * r.ue(i) * due;
}

// The driver's pressure-gradient term of an inverse station from the current
// edge velocity of the solution.
inline double inverse_pressure_term(const SurfaceRun& r) {
  const int np = r.np;
  return -r.ccro(3, np) * r.u(3, np) *
         (r.cx0 * r.u(3, np) + r.cx1 * r.u(2, np) + r.cx2 * r.u(1, np));
}

// The level-3 unknowns of points 1..np, point by point: (F, U, V) with
// n = 3, (F, U, V, h, G) with n = 5.
inline std::vector<double> level3(const SurfaceRun& r, int n = 3) {
  const Table2<double>* tables[] = {&r.f, &r.u, &r.v, &r.h, &r.g};
  std::vector<double> z;
  for (int j = 1; j <= r.np; ++j)
    for (int e = 0; e < n; ++e) z.push_back((*tables[e])(3, j));
  return z;
}

// The mass-flux deficit the transpiration rv_bc(i) of station i prescribes:
// the three-level x-derivative of d1_bc*roe8*ue equals rv_bc(i).
inline double prescribed_deficit(const SurfaceRun& r, int i) {
  auto m = [&](int k) { return r.d1_bc(k) * r.roe8(k) * r.ue(k); };
  return (r.rv_bc(i) - r.cx1 * m(i - 1) - r.cx2 * m(i - 2)) / r.cx0;
}

// Spacing of a geometric grid: first spacing (V-1)*E/(V^(N-1)-1), every
// further one V times the previous, over all 821 points.
inline std::vector<double> geometric_spacing(int n, double etae, double ratio) {
  std::vector<double> d(kGridPoints, 0.0);
  d[0] = ratio == 1.0 ? etae / (n - 1) : (ratio - 1.0) * etae / (std::pow(ratio, n - 1) - 1.0);
  for (int j = 1; j < kGridPoints - 1; ++j) d[j] = d[j - 1] * ratio;
  return d;
}

// The discrete Hiemenz profile on points 1..n of a grid with spacings deta.
struct Similar {
  std::vector<double> deta;  // deta[j-1] = eta(j+1) - eta(j), 820 entries used
  std::vector<double> eta, f, u, v;
};

namespace detail {

// Marches the trapezoidal box equations outward from f = u = 0, v = v1;
// returns u at point n, or +-10 (the sign of u - 1) once the march runs away.
inline double march(Similar& s, int n, double v1) {
  s.f.assign(n, 0.0);
  s.u.assign(n, 0.0);
  s.v.assign(n, 0.0);
  s.v[0] = v1;
  for (int j = 1; j < n; ++j) {
    const double h = s.deta[j - 1], a = 0.5 * h;
    const double f0 = s.f[j - 1], u0 = s.u[j - 1], v0 = s.v[j - 1];
    const double p0 = u0 * u0 - f0 * v0 - 1.0;
    double f = f0, u = u0, v = v0;
    for (int it = 0; it < 60; ++it) {
      // g1 = f - f0 - a(u + u0), g2 = u - u0 - a(v + v0),
      // g3 = v - v0 - a(u^2 - f v - 1 + p0); f and u follow from v linearly
      // through g1 = g2 = 0, which leaves one equation in v.
      const double uu = u0 + a * (v + v0);
      const double ff = f0 + a * (uu + u0);
      const double g3 = v - v0 - a * (uu * uu - ff * v - 1.0 + p0);
      const double du = a, dff = a * a;
      const double dg3 = 1.0 - a * (2.0 * uu * du - dff * v - ff);
      const double step = g3 / dg3;
      v -= step;
      u = u0 + a * (v + v0);
      f = f0 + a * (u + u0);
      if (!std::isfinite(v) || std::fabs(step) <= 1e-17 * (1.0 + std::fabs(v))) break;
    }
    s.f[j] = f;
    s.u[j] = u;
    s.v[j] = v;
    if (!std::isfinite(u) || std::fabs(u) > 10.0) return u > 1.0 ? 10.0 : -10.0;
  }
  return s.u[n - 1];
}

}  // namespace detail

// Shoots on the wall shear v(1) until u(n) = 1: bisection, then secant steps
// down to rounding. Near the wall shear of the continuous flow, 1.2326, u(n)
// grows with v(1) (a march that runs away is classified by its sign); far
// below it u turns back before the edge, so the bracket stays close.
inline Similar hiemenz_box(int n, double etae, double ratio) {
  Similar s;
  s.deta = geometric_spacing(n, etae, ratio);
  double lo = 1.12, hi = 1.40;
  for (int it = 0; it < 200 && hi - lo > 1e-15; ++it) {
    const double mid = 0.5 * (lo + hi);
    (detail::march(s, n, mid) > 1.0 ? hi : lo) = mid;
  }
  double a = lo, b = hi;
  double fa = detail::march(s, n, a) - 1.0, fb = detail::march(s, n, b) - 1.0;
  for (int it = 0; it < 20 && fb != 0.0 && fb != fa; ++it) {
    const double c = b - fb * (b - a) / (fb - fa);
    a = b;
    fa = fb;
    b = c;
    fb = detail::march(s, n, b) - 1.0;
  }
  detail::march(s, n, std::fabs(fa) < std::fabs(fb) ? a : b);
  s.eta.assign(kGridPoints, 0.0);
  for (int j = 1; j < kGridPoints; ++j) s.eta[j] = s.eta[j - 1] + s.deta[j - 1];
  return s;
}

// Puts a similarity profile into the run's similarity arrays, as the
// similarity start leaves them.
// The similarity start makes its arrays when the run is made; the fixture
// makes those it fills itself, so that it does not depend on that.
inline void make_similarity_arrays(SurfaceRun& r) {
  for (Table1<double>* t : {&r.sim.eta_sim, &r.sim.deta_sim, &r.sim.a_sim, &r.sim.f_sim,
                            &r.sim.u_sim, &r.sim.v_sim}) {
    if (t->size() < kGridPoints) t->make(kGridPoints);
  }
}

inline void fill_similarity(SurfaceRun& r, const Similar& s) {
  const int n = static_cast<int>(s.f.size());
  make_similarity_arrays(r);
  for (int j = 1; j <= kGridPoints; ++j) {
    r.sim.eta_sim(j) = s.eta[j - 1];
    r.sim.deta_sim(j) = s.deta[j - 1];
    if (j >= 2) r.sim.a_sim(j) = s.deta[j - 2] / 2.0;
  }
  for (int j = 1; j <= n; ++j) {
    r.sim.f_sim(j) = s.f[j - 1];
    r.sim.u_sim(j) = s.u[j - 1];
    r.sim.v_sim(j) = s.v[j - 1];
  }
}

// Stations 0, 0.01, 0.02, 0.032, 0.047, 0.065 with ue = c*x; start profiles of
// stations 2 and 3 from the discrete Hiemenz solution with n points.
inline Similar make_hiemenz_run(SurfaceRun& r, int n, double etae, double ratio, double c) {
  const std::vector<double> x = {0.0, 0.01, 0.02, 0.032, 0.047, 0.065};
  std::vector<double> ue;
  for (double xi : x) ue.push_back(c * xi);
  make_station_run(r, x, ue);
  const Similar s = hiemenz_box(n, etae, ratio);
  fill_similarity(r, s);
  r.np = n;
  BL_START_PROFILE(r, 2, 2, 1);
  BL_START_PROFILE(r, 3, 3, 1);
  return s;
}

}  // namespace sorvane::bl::station_test

// The Newton system of one boundary-layer station.
//
// Level arrays are (3, 821) tables with the level fastest: the value of level
// l at grid point j sits at offset 3*(j-1) + (l-1). The box arrays q, qp, rq
// are (neq, 821) and the Jacobians and blocks (neq, neq, 821), column-major
// inside each block. Every routine below walks these arrays once through raw
// pointers; the grid-point count np is checked once on entry.
#include "solver/boundary_layer/station_equations.h"

#include "solver/boundary_layer/box_rows.h"

#include <cmath>
#include <limits>

namespace sorvane::bl {
namespace {

// Numbers the equations use, with the digits of their single-precision
// origins (0.2, the Sutherland constants 1.491e-7 and 110.4, and 1e-4).
constexpr double kMachFactor = 0.20000000298023224;
constexpr double kSutherlandC1 = 1.4910000345480512e-07;
constexpr double kSutherlandC2 = 110.4000015258789;
constexpr double kGrowthThreshold = 9.999999747378752e-05;

constexpr int kLevels = kProfileLevels;  // stride of the level arrays

inline int at(int level, int j) { return level_at(level, j); }

int grid_points(const SurfaceRun& r) {
  check_index("grid points in use", r.np, kGridPoints);
  return r.np;
}

// T/Te = 1 + 0.2*Me^2*(1 - (U/Ue)^2). With Me = 0 the ratio is 1 whatever
// U/Ue is (also where Ue = 0 would make the quotient undefined).
inline double temperature_ratio(double mach_term, double u, double ue_edge) {
  if (mach_term == 0.0) return 1.0;
  const double ratio = u / ue_edge;
  return 1.0 + mach_term * (1.0 - ratio * ratio);
}

// Density and density-viscosity ratios of one temperature ratio tte at a
// station: rho = roe8/tte and C = rho*C1*T^1.5/(T + C2)/emue with T = tte*te.
// Across a layer with eme = 0 every point has tte = 1, so the last result is
// kept and the power is taken once per station instead of once per point.
class LayerGas {
 public:
  LayerGas(double roe8, double te, double emue) : roe8_(roe8), te_(te), emue_(emue) {}
  void at(double tte) {
    if (tte == last_tte_) return;
    last_tte_ = tte;
    rho = roe8_ / tte;
    const double t = tte * te_;
    mu = rho * kSutherlandC1 * std::pow(t, 1.5) / (t + kSutherlandC2) / emue_;
  }
  // The gas of a point of velocity u (mach_term = 0.2*Me^2, ue_edge the
  // velocity at the layer's edge): its temperature ratio, density and
  // density-viscosity ratio.
  void point(double mach_term, double u, double ue_edge, double& tte_out, double& ro_out,
             double& mu_out) {
    const double t = temperature_ratio(mach_term, u, ue_edge);
    at(t);
    tte_out = t;
    ro_out = rho;
    mu_out = mu;
  }
  double rho = 0.0;
  double mu = 0.0;

 private:
  double roe8_, te_, emue_;
  double last_tte_ = std::numeric_limits<double>::quiet_NaN();
};

// The box arrays and blocks have neq rows (3 in this formulation); with
// N = 3 known at compile time the per-point block loops unroll, N = 0 takes
// the run's neq.
template <int N>
void gas_properties(SurfaceRun& r, int i, double dp) {
  const int np = grid_points(r);
  const int n = N > 0 ? N : r.neq;
  const double mach_term = kMachFactor * r.eme(i) * r.eme(i);
  LayerGas gas(r.roe8(i), r.te(i), r.emue(i));
  const double cx0 = r.cx0, cx1 = r.cx1, cx2 = r.cx2;

  const double* F = r.f.data();
  const double* U = r.u.data();
  const double* V = r.v.data();
  const double* B = r.b.data();
  double* ro = r.ccro.data();
  double* mu = r.ccmu.data();
  double* tte = r.tte.data();
  double* bb = r.bb.data();
  const double* aa = r.aa.data();
  double* q = r.q.data();
  double* qp = r.qp.data();
  double* rq = r.rq.data();
  double* dq = r.dqdx.data();
  double* dqp = r.dqpdx.data();

  const double ue_edge = U[at(3, np)];
  double ux_edge = 0.0;
  for (int j = 1; j <= np; ++j) {
    const int k = j - 1;
    const double Fj = F[at(3, j)], Uj = U[at(3, j)], Vj = V[at(3, j)];

    // Properties of the point.
    gas.point(mach_term, Uj, ue_edge, tte[k], ro[at(3, j)], mu[at(3, j)]);
    const double rho = gas.rho;
    const double bbj = (1.0 + B[at(3, j)]) * gas.mu;
    bb[k] = bbj;

    // Box quantities and their Jacobians with the properties held fixed
    // (entry (row a, column c) of a block at offset (c-1)*n + (a-1)); the
    // current level enters dU/dx only with U >= 0.
    const double up = Uj < 0.0 ? 0.0 : Uj;
    const double ux = x_derivative(cx0, cx1, cx2, up, U, j);
    const double fx = x_derivative(cx0, cx1, cx2, Fj, F, j);
    double* dj = dq + n * n * k;
    double* dpj = dqp + n * n * k;
    for (int c = 0; c < 3; ++c) {
      for (int a = 0; a < 3; ++a) {
        dj[c * n + a] = 0.0;
        dpj[c * n + a] = 0.0;
      }
    }
    const MomentumPoint m{Fj, Uj, Vj, rho, bbj, up, ux, fx};
    m.rows(dp, cx0, n, q + n * k, qp + n * k, dj, dpj);

    // Residuals of the box between points j-1 and j.
    if (j >= 2) box_residuals<3>(q, qp, aa, n, k, rq);
    if (j == 1) r.dfdx_wall = fx;
    if (j == np) ux_edge = ux;
  }

  const double rho_edge = ro[at(3, np)];
  r.edge_res = -(rho_edge * ue_edge * ux_edge + dp);
  r.edge_jac = rho_edge * (cx0 * ue_edge + ux_edge);
}

template <int N>
void assemble(SurfaceRun& r, int i) {
  const int np = grid_points(r);
  const int n = N > 0 ? N : r.neq;
  const bool inverse = r.x(i) > r.xinv;
  const bool wall_shear_row = inverse && r.invmode >= 4 && r.invmode <= 6;
  const bool second_rhs = inverse && r.invmode <= 6;

  const BoxRows box(r, n);
  const double* aa = r.aa.data();
  double* ey = second_rhs ? r.eyvec.data() : nullptr;

  for (int j = 1; j <= np; ++j) {
    const int k = j - 1;
    const auto [Aj, Bj, Cj, rj] = box.cleared(k);

    if (j == 1) {
      // Wall: F's x-derivative gives the transpiration, U the wall velocity.
      transpiration_row(r, i, Bj, rj);
      box.velocity_row(1, Bj, rj, r.u(3, 1), r.uww(i));
      if (wall_shear_row) {
        // The wall shear 2*ccmu*V prescribed in place of the transpiration.
        Bj[0] = 0.0;
        Bj[2 * n + 0] = -1.0;
        rj[0] = r.v(3, 1) - 0.5 * r.cf_bc(i) / r.ccmu(3, 1);
      }
    } else {
      // F' = rho*U and U' = V on the box below the point.
      box.below(k, 0, Aj, Bj, rj);
      box.below(k, 1, Aj, Bj, rj);
    }

    if (j < np) {
      // Momentum on the box above the point.
      box.above(k, 2, Bj, Cj, rj);
      if (ey) {
        const double a = aa[k + 1];
        ey[n * k + 0] = 0.0;
        ey[n * k + 1] = 0.0;
        ey[n * k + 2] = 2.0 * a;
      }
    } else if (!inverse) {
      // Edge: U = ue(i).
      box.velocity_row(2, Bj, rj, r.u(3, np), r.ue(i));
    } else {
      // Edge in the inverse region: the linearised momentum balance.
      const double a = aa[k];
      Bj[1 * n + 2] = -2.0 * a * r.edge_jac;
      rj[2] = 2.0 * a * r.edge_res;
      if (ey) {
        ey[n * k + 0] = 0.0;
        ey[n * k + 1] = 0.0;
        ey[n * k + 2] = 2.0 * a;
      }
    }
  }
}

// Adds the correction of points 1..np to level 3 and keeps it in df, du,
// dv: x (nx entries a point) plus, with Combined, lambda times y (ny
// entries a point).
template <bool Combined>
void add_correction(SurfaceRun& r, int np, const double* x, int nx, const double* y, int ny,
                    double lambda) {
  double* F = r.f.data();
  double* U = r.u.data();
  double* V = r.v.data();
  double* df = r.df.data();
  double* du = r.du.data();
  double* dv = r.dv.data();
  for (int j = 1; j <= np; ++j) {
    const int k = j - 1;
    if constexpr (Combined) {
      df[k] = x[nx * k + 0] + lambda * y[ny * k + 0];
      du[k] = x[nx * k + 1] + lambda * y[ny * k + 1];
      dv[k] = x[nx * k + 2] + lambda * y[ny * k + 2];
    } else {
      df[k] = x[nx * k + 0];
      du[k] = x[nx * k + 1];
      dv[k] = x[nx * k + 2];
    }
    F[at(3, j)] += df[k];
    U[at(3, j)] += du[k];
    V[at(3, j)] += dv[k];
  }
}

}  // namespace

void BL_GAS_PROPERTIES(SurfaceRun& r, int i, double dp) {
  if (r.neq == 3) {
    gas_properties<3>(r, i, dp);
  } else {
    gas_properties<0>(r, i, dp);
  }
}

void BL_ASSEMBLE(SurfaceRun& r, int i) {
  if (r.neq == 3) {
    assemble<3>(r, i);
  } else {
    assemble<0>(r, i);
  }
}

void BL_APPLY_CORRECTION(SurfaceRun& r, Table2<double>& sol) {
  const int np = grid_points(r);
  check_index("correction points", np, sol.cols());
  add_correction<false>(r, np, sol.data(), sol.rows(), nullptr, 0, 0.0);
}

void apply_combined_correction(SurfaceRun& r, const Table2<double>& xs,
                               const Table2<double>& ys, double lambda, bool use_ys) {
  const int np = grid_points(r);
  check_index("correction points", np, xs.cols());
  check_index("correction points", np, ys.cols());
  if (use_ys) {
    add_correction<true>(r, np, xs.data(), xs.rows(), ys.data(), ys.rows(), lambda);
  } else {
    add_correction<false>(r, np, xs.data(), xs.rows(), nullptr, 0, 0.0);
  }
}

void BL_CORRECTION_MAX(SurfaceRun& r) {
  const int np = grid_points(r);
  const double* du = r.du.data();
  double dumax = 0.0;
  int jumax = r.jumax;
  for (int j = 1; j <= np; ++j) {
    const double d = std::fabs(du[j - 1]);
    if (d > dumax) {  // false for a NaN, and for a tie
      dumax = d;
      jumax = j;
    }
  }
  r.dumax = dumax;
  r.jumax = jumax;
}

void BL_START_PROFILE(SurfaceRun& r, int i, int level, int flag) {
  const int np = grid_points(r);
  check_index("profile level", level, kLevels);
  const Init2d& sim = r.sim;
  const double xi = r.x(i), uei = r.ue(i);
  const double s = flag == 0 ? std::sqrt(xi) : std::sqrt(xi / uei);
  const double mach_term = kMachFactor * r.eme(i) * r.eme(i);
  const double roe8 = r.roe8(i), te = r.te(i), emue = r.emue(i), emue8 = r.emue8(i);

  // Station grid over the whole capacity.
  const double* dsim = sim.deta_sim.data();
  double* eta = r.eta.data();
  double* deta = r.deta.data();
  double* aa = r.aa.data();
  eta[0] = 0.0;
  for (int j = 2; j <= kGridPoints; ++j) {
    deta[j - 2] = dsim[j - 2] * s;
    eta[j - 1] = eta[j - 2] + deta[j - 2];
    aa[j - 1] = deta[j - 2] / 2.0;
  }

  // Profile and properties at points 1..np.
  const double* fs = sim.f_sim.data();
  const double* us = sim.u_sim.data();
  const double* vs = sim.v_sim.data();
  double* tte = r.tte.data();
  double* ro = r.ccro.data();
  double* mu = r.ccmu.data();
  double* F = r.f.data();
  double* U = r.u.data();
  double* V = r.v.data();
  double* B = r.b.data();
  double* H = r.h.data();
  double* G = r.g.data();
  for (int j = 1; j <= np; ++j) {
    const int k = j - 1, o = at(level, j);
    const double t = mach_term == 0.0 ? 1.0 : 1.0 + mach_term * (1.0 - us[k] * us[k]);
    tte[k] = t;
    const double rho = roe8 / t;
    const double temp = t * te;
    ro[o] = rho;
    mu[o] = std::pow(temp, 1.5) * (1.0 / t) * kSutherlandC1 / (temp + kSutherlandC2) / emue *
            emue8 / rho;
    B[o] = 0.0;
    H[o] = 1.0;
    G[o] = 0.0;
    F[o] = fs[k] * uei * s;
    U[o] = us[k] * uei;
    V[o] = vs[k] * uei / s;
  }
}

void BL_SHIFT_LEVELS(SurfaceRun& r, int n) {
  const int np = grid_points(r);
  const double ratio = r.ue(n) / r.ue(n - 1);
  const double mach_term = kMachFactor * r.eme(n) * r.eme(n);
  LayerGas gas(r.roe8(n), r.te(n), r.emue(n));

  double* F = r.f.data();
  double* U = r.u.data();
  double* V = r.v.data();
  double* B = r.b.data();
  double* ro = r.ccro.data();
  double* mu = r.ccmu.data();
  double* tte = r.tte.data();
  const double ue_edge = U[at(3, np)] * ratio;
  for (int j = 1; j <= np; ++j) {
    for (double* p : {F, U, V, B, ro, mu}) {
      p[at(1, j)] = p[at(2, j)];
      p[at(2, j)] = p[at(3, j)];
    }
    F[at(3, j)] *= ratio;
    U[at(3, j)] *= ratio;
    V[at(3, j)] *= ratio;
    gas.point(mach_term, U[at(3, j)], ue_edge, tte[j - 1], ro[at(3, j)], mu[at(3, j)]);
  }
}

void BL_EDGE_GROWTH(SurfaceRun& r, int& grew, bool& grid_full) {
  const int p = grid_points(r);
  grew = 0;
  grid_full = false;
  if (!(std::fabs(r.v(3, p)) > kGrowthThreshold)) return;
  if (p + 2 > kGridPoints) {
    grid_full = true;
    return;
  }
  grew = 1;
  r.np = p + 2;
  const double* eta = r.eta.data();
  for (int m = p + 1; m <= p + 2; ++m) {
    for (int level = 1; level <= kLevels; ++level) {
      const int old_at = at(level, p), new_at = at(level, m);
      r.f.data()[new_at] = r.f.data()[old_at] +
                           r.u.data()[old_at] * r.ccro.data()[old_at] * (eta[m - 1] - eta[p - 1]);
      r.u.data()[new_at] = r.u.data()[old_at];
      r.v.data()[new_at] = 0.0;
      r.b.data()[new_at] = r.b.data()[old_at];
      r.ccro.data()[new_at] = r.ccro.data()[old_at];
      r.ccmu.data()[new_at] = r.ccmu.data()[old_at];
      r.h.data()[new_at] = 1.0;
      r.g.data()[new_at] = 0.0;
    }
    r.tte(m) = r.tte(p);
    r.bb(m) = r.bb(p);
  }
}

}  // namespace sorvane::bl

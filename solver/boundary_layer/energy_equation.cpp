// The five-variable station system: momentum and energy of a compressible
// boundary layer.
//
// Variables of grid point j (level 3 of the profile arrays): F (stream
// function), U = u/u8 (velocity), V = dU/deta, h = H/h0 (total enthalpy
// over the reference total enthalpy) and G = dh/deta, in the normal
// coordinate eta and along the arc length x of the three-variable form.
//
// Equations (' = d/deta, subscript x = d/dx by the three-level weights):
//   F' = rho U
//   U' = V
//   (bb V)' = rho U+ U_x - V F_x + dp
//   h' = G
//   (ee G + dd U V)' = rho U+ h_x - G F_x
// with U+ = max(U, 0) as the convecting velocity of the current level (the
// momentum row's treatment of reversed flow, used for both), rho = ccro,
// C = ccmu the viscosity coefficient of the momentum equation, b the eddy-
// viscosity ratio, and
//   bb = (1 + b) C
//   ee = C (1/pr + b/prt)
//   dd = C ((1 - 1/pr) + b (1 - 1/prt)) u8^2/h0.
// The energy row is the total-enthalpy equation of the layer: with the
// static enthalpy H - u^2/2, the energy flux across the layer is
//   (mu/pr + mut/prt) dH/dy + (mu (1 - 1/pr) + mut (1 - 1/prt)) u du/dy,
// heat conduction plus the work of the shear stress, with mut = b mu.
// Dividing by h0 and writing u = u8 U turns it into ee G + dd U V; C takes
// the place of mu as in the momentum row, and the convective side is the
// momentum row's operator applied to h. With pr = prt = 1 the dissipation
// term vanishes (dd = 0) and ee = bb.
//
// Gas (BL_COMPRESSIBLE_PROPERTIES): T = t0 h - (U u8)^2/(2 cpgas),
// tte = T/te(i), rho = roe8(i)/tte, C = rho mu(T)/emue(i) (Sutherland).
//
// Boundary conditions, with kappa = u8^2/(cpgas t0) (so that dT/deta =
// t0 (G - kappa U V)):
//   wall  F_x = -vww(i) rho (transpiration) and U = uww(i), as in the three-
//         variable form; and either T = tww(i), i.e. h - kappa U^2/2 =
//         tww(i)/t0 (tww(i) > 0), or an adiabatic wall, dT/deta = 0, i.e.
//         G - kappa U V = 0 (tww(i) <= 0);
//   edge  U = ue(i) and h = 1.
//
// Discretisation: Keller's box scheme, the trapezoidal form of
// dq/deta = qp on every box between points j-1 and j,
//   (q(j) - q(j-1)) - aa(j) (qp(j) + qp(j-1)) = 0,
// with q = (F, U, bb V, h, ee G + dd U V) and
// qp = (rho U, V, rho U+ U_x - V F_x + dp, G, rho U+ h_x - G F_x), where
// U_x = cx0 U+ + cx1 U(i-1) + cx2 U(i-2), F_x and h_x likewise with the
// current level itself. The properties rho, bb, ee, dd are held fixed in the
// Jacobians and recomputed at every Newton pass; the U-derivative of the
// convective terms is taken as if U+ were U (as the momentum row of the
// three-variable form does).
//
// Rows of grid point j in the Newton system A(j) d(j-1) + B(j) d(j) +
// C(j) d(j+1) = r(j) for the correction d = (dF, dU, dV, dh, dG):
//   row 1, 2  F' = rho U and U' = V on the box below the point (j >= 2);
//             the wall conditions of F and U at j = 1;
//   row 3     momentum on the box above the point (j < np); U = ue(i) at np;
//   row 4     h' = G on the box above the point (j < np); h = 1 at np;
//   row 5     energy on the box below the point (j >= 2); the wall's energy
//             condition at j = 1.
// Box rows carry the Jacobian of the box residual with r = -(residual);
// condition rows carry minus the Jacobian of (value - target) with r =
// value - target, as in the three-variable form. h' = G of the first box
// sits at point 1 so that h(1) appears in the diagonal block of the wall:
// the energy row does not hold h at a wall with U = 0 (U+ vanishes there),
// and with an adiabatic wall neither does the wall row, so with h' = G at
// point 2 the first diagonal block would be singular.
//
// The block system is solved by block elimination (BL_MATRIX_SOLVE): every
// diagonal block is factorised with partial pivoting and inverted, the
// elimination factors and the sweeps work on slices of the block arrays.
#include "solver/boundary_layer/energy_equation.h"

#include <cmath>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/box_rows.h"
#include "solver/boundary_layer/matrix_inv.h"
#include "solver/boundary_layer/station_equations.h"

namespace sorvane::bl {
namespace {

// Sutherland's law with the single-precision values of 1.491e-7 and 110.4.
constexpr double kSutherlandC1 = 1.4910000345480512e-07;
constexpr double kSutherlandC2 = 110.4000015258789;

constexpr int kN = kEnergyEquations;
constexpr int kNN = kN * kN;

inline int at(int level, int j) { return level_at(level, j); }

// The five-variable rows need a station system made with neq = 5.
int energy_points(const SurfaceRun& r) {
  if (!r.inputi_allocated || !r.diag3_allocated)
    internal_fault("five-variable station system used before its arrays are made");
  if (r.neq != kN || r.q.rows() != kN || r.amat.dim1() != kN)
    internal_fault("five-variable station system on arrays not made with neq = 5");
  check_index("grid points in use", r.np, kGridPoints);
  return r.np;
}

// Factorises D(j) into afmat, inverts it there and copies the inverse into
// inv_d(j); det(j) receives the determinant. False when the block cannot be
// inverted: its factorisation flagged it singular, its last pivot (which
// the factorisation does not test) is negligible by the same test, or its
// determinant is not finite.
bool factor_invert(SurfaceRun& r, int j) {
  const int n = r.neq;
  const MatView af = r.afmat.mat();
  int iflag = 0;
  LU_PIVOT(r.dmat.block(j), af, r.tvec.data(), r.det(j), iflag, n);
  const double rn = static_cast<double>(n);
  const bool ok = iflag == 0 && rn + std::fabs(af(n, n)) != rn && std::isfinite(r.det(j));
  if (!ok) return false;
  MAT_INVERSE_LU_SLICE(af, r.tvec.data(), n);
  const double* src = r.afmat.data();
  double* dst = r.inv_d.block_data(j);
  for (int e = 0; e < n * n; ++e) dst[e] = src[e];
  return true;
}

// Largest |sol(row, j)| over 1..np, first point of it (kept when none
// exceeds 0; NaN never wins).
void correction_max(const double* s, int n, int row, int np, double& big, int& where) {
  double m = 0.0;
  int w = where;
  for (int j = 1; j <= np; ++j) {
    const double d = std::fabs(s[n * (j - 1) + row]);
    if (d > m) {
      m = d;
      w = j;
    }
  }
  big = m;
  where = w;
}

}  // namespace

int BL_COMPRESSIBLE_PROPERTIES(SurfaceRun& r, int i, double dp) {
  const int np = energy_points(r);
  const double t0 = r.t0;
  const double kinetic = r.u8 * r.u8 / (2.0 * r.cpgas);
  const double te = r.te(i), roe8 = r.roe8(i), emue = r.emue(i);
  const double* U = r.u.data();
  const double* H = r.h.data();
  double* tte = r.tte.data();
  double* ro = r.ccro.data();
  double* mu = r.ccmu.data();
  for (int j = 1; j <= np; ++j) {
    const double uj = U[at(3, j)];
    const double t = t0 * H[at(3, j)] - uj * uj * kinetic;
    if (!(t > 0.0) || !std::isfinite(t)) return j;
    const double ratio = t / te;
    const double rho = roe8 / ratio;
    tte[j - 1] = ratio;
    ro[at(3, j)] = rho;
    mu[at(3, j)] = rho * kSutherlandC1 * std::pow(t, 1.5) / (t + kSutherlandC2) / emue;
  }
  BL_ENERGY_COEF(r, i, dp);
  return 0;
}

void BL_ENERGY_COEF(SurfaceRun& r, int /*i*/, double dp) {
  const int np = energy_points(r);
  const double cx0 = r.cx0, cx1 = r.cx1, cx2 = r.cx2;
  const double rpr = 1.0 / r.pr, rprt = 1.0 / r.prt;
  const double heat = r.u8 * r.u8 / r.h0;  // kinetic energy per unit U^2, over h0

  const double* F = r.f.data();
  const double* U = r.u.data();
  const double* V = r.v.data();
  const double* H = r.h.data();
  const double* Gp = r.g.data();
  const double* B = r.b.data();
  const double* ro = r.ccro.data();
  const double* mu = r.ccmu.data();
  const double* aa = r.aa.data();
  double* bb = r.bb.data();
  double* ee = r.ee.data();
  double* dd = r.dd.data();
  double* q = r.q.data();
  double* qp = r.qp.data();
  double* rq = r.rq.data();
  double* dq = r.dqdx.data();
  double* dqp = r.dqpdx.data();

  for (int j = 1; j <= np; ++j) {
    const int k = j - 1, o = at(3, j);
    const double Fj = F[o], Uj = U[o], Vj = V[o], Hj = H[o], Gj = Gp[o];
    const double rho = ro[o], c = mu[o], bt = B[o];

    const double bbj = (1.0 + bt) * c;
    const double eej = c * (rpr + bt * rprt);
    const double ddj = c * ((1.0 - rpr) + bt * (1.0 - rprt)) * heat;
    bb[k] = bbj;
    ee[k] = eej;
    dd[k] = ddj;

    const double up = Uj < 0.0 ? 0.0 : Uj;
    const double ux = x_derivative(cx0, cx1, cx2, up, U, j);
    const double fx = x_derivative(cx0, cx1, cx2, Fj, F, j);
    const double hx = x_derivative(cx0, cx1, cx2, Hj, H, j);

    // The momentum rows as in the three-variable form, then the energy rows
    // h' = G and (ee G + dd U V)' = rho U+ h_x - G F_x, with their
    // Jacobians: entry (row a, column c) at offset c*5 + a (0-based).
    double* qj = q + kN * k;
    double* qpj = qp + kN * k;
    double* dj = dq + kNN * k;
    double* dpj = dqp + kNN * k;
    for (int e = 0; e < kNN; ++e) dj[e] = dpj[e] = 0.0;
    const MomentumPoint m{Fj, Uj, Vj, rho, bbj, up, ux, fx};
    m.rows(dp, cx0, kN, qj, qpj, dj, dpj);
    qj[3] = Hj;
    qj[4] = eej * Gj + ddj * Uj * Vj;
    qpj[3] = Gj;
    qpj[4] = rho * up * hx - Gj * fx;
    dj[3 * kN + 3] = 1.0;
    dj[1 * kN + 4] = ddj * Vj;
    dj[2 * kN + 4] = ddj * Uj;
    dj[4 * kN + 4] = eej;
    dpj[4 * kN + 3] = 1.0;
    dpj[0 * kN + 4] = -cx0 * Gj;
    dpj[1 * kN + 4] = rho * hx;
    dpj[3 * kN + 4] = rho * up * cx0;
    dpj[4 * kN + 4] = -fx;

    if (j >= 2) box_residuals<kN>(q, qp, aa, kN, k, rq);
    if (j == 1) r.dfdx_wall = fx;
  }
}

void BL_ASSEMBLE_ENERGY(SurfaceRun& r, int i) {
  const int np = energy_points(r);
  const BoxRows box(r, kN);
  const double kappa = r.u8 * r.u8 / (r.cpgas * r.t0);

  // Rows taken from the box below the point and from the box above it.
  constexpr int kBelow[] = {0, 1, 4};
  constexpr int kAbove[] = {2, 3};

  for (int j = 1; j <= np; ++j) {
    const int k = j - 1;
    const auto [Aj, Bj, Cj, rj] = box.cleared(k);

    if (j == 1) {
      // Wall: transpiration, wall velocity, and the wall temperature or the
      // adiabatic wall.
      const double u1 = r.u(3, 1), v1 = r.v(3, 1);
      transpiration_row(r, i, Bj, rj);
      box.velocity_row(1, Bj, rj, u1, r.uww(i));
      if (r.tww(i) > 0.0) {
        Bj[1 * kN + 4] = kappa * u1;
        Bj[3 * kN + 4] = -1.0;
        rj[4] = r.h(3, 1) - 0.5 * kappa * u1 * u1 - r.tww(i) / r.t0;
      } else {
        Bj[1 * kN + 4] = kappa * v1;
        Bj[2 * kN + 4] = kappa * u1;
        Bj[4 * kN + 4] = -1.0;
        rj[4] = r.g(3, 1) - kappa * u1 * v1;
      }
    } else {
      for (int e : kBelow) box.below<kN>(k, e, Aj, Bj, rj);
    }

    if (j < np) {
      for (int e : kAbove) box.above<kN>(k, e, Bj, Cj, rj);
    } else {
      // Edge: U = ue(i), h = 1.
      box.velocity_row(2, Bj, rj, r.u(3, np), r.ue(i));
      Bj[3 * kN + 3] = -1.0;
      rj[3] = r.h(3, np) - 1.0;
    }
  }
}

int BL_MATRIX_SOLVE(SurfaceRun& r, Table2<double>& rhs, Table2<double>& sol) {
  check_block_system(r, rhs, sol);
  const int n = r.neq;
  const int np = r.np;
  if (np < 1) return 0;
  const int nn = n * n;

  // D(1) = B(1).
  {
    const double* b = r.bmat.block_data(1);
    double* d = r.dmat.block_data(1);
    for (int e = 0; e < nn; ++e) d[e] = b[e];
  }

  // Elimination with the forward reduction of the right-hand side:
  // G(j) = A(j) D(j-1)^-1, D(j) = B(j) - G(j) C(j-1), w(j) = r(j) - G(j) w(j-1).
  for (int e = 0; e < n; ++e) r.wvec.column(1)[e] = rhs.column(1)[e];
  for (int j = 2; j <= np; ++j) {
    if (!factor_invert(r, j - 1)) return j - 1;
    MAT_MAT_SLICE(j, r.amat, j - 1, r.inv_d, j, r.gmat, n);
    MAT_MAT_SLICE(j, r.gmat, j - 1, r.cmat, j, r.mmat, n);
    const double* b = r.bmat.block_data(j);
    const double* m = r.mmat.block_data(j);
    double* d = r.dmat.block_data(j);
    for (int e = 0; e < nn; ++e) d[e] = b[e] - m[e];
    MAT_VEC_SLICE(j, r.gmat, j - 1, r.wvec, j, r.uvec, n);
    const double* rj = rhs.column(j);
    const double* u = r.uvec.column(j);
    double* w = r.wvec.column(j);
    for (int e = 0; e < n; ++e) w[e] = rj[e] - u[e];
  }
  if (!factor_invert(r, np)) return np;

  // Back substitution: z(np) = D(np)^-1 w(np), z(j) = D(j)^-1 (w(j) - C(j)
  // z(j+1)). Multiplying every entry by 0 and summing keeps 0 while all are
  // finite and turns into NaN at the first one that is not.
  double nonfinite = 0.0;
  MAT_VEC_SLICE(np, r.inv_d, np, r.wvec, np, sol, n);
  for (int e = 0; e < n; ++e) nonfinite += 0.0 * sol.column(np)[e];
  for (int j = np - 1; j >= 1; --j) {
    MAT_VEC_SLICE(j, r.cmat, j + 1, sol, j, r.kvec, n);
    const double* w = r.wvec.column(j);
    const double* kv = r.kvec.column(j);
    double* h = r.hvec.column(j);
    for (int e = 0; e < n; ++e) h[e] = w[e] - kv[e];
    MAT_VEC_SLICE(j, r.inv_d, j, r.hvec, j, sol, n);
    const double* s = sol.column(j);
    for (int e = 0; e < n; ++e) nonfinite += 0.0 * s[e];
  }
  if (nonfinite != 0.0) return first_nonfinite_point(sol, n, np);  // NaN compares unequal too
  return 0;
}

void BL_APPLY_ENERGY_CORRECTION(SurfaceRun& r, Table2<double>& sol) {
  const int np = energy_points(r);
  if (sol.rows() != kN) internal_fault("five-variable correction with another number of rows");
  check_index("correction points", np, sol.cols());
  BL_APPLY_CORRECTION(r, sol);
  const double* s = sol.data();
  double* H = r.h.data();
  double* Gp = r.g.data();
  for (int j = 1; j <= np; ++j) {
    H[at(3, j)] += s[kN * (j - 1) + 3];
    Gp[at(3, j)] += s[kN * (j - 1) + 4];
  }
  correction_max(s, kN, 3, np, r.dhmax, r.jhmax);
}

void BL_SHIFT_ENERGY_LEVELS(SurfaceRun& r) {
  check_index("grid points in use", r.np, kGridPoints);
  double* H = r.h.data();
  double* Gp = r.g.data();
  for (int j = 1; j <= r.np; ++j) {
    for (double* p : {H, Gp}) {
      p[at(1, j)] = p[at(2, j)];
      p[at(2, j)] = p[at(3, j)];
    }
  }
}

}  // namespace sorvane::bl

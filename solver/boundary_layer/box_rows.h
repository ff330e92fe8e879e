// The block rows of the box scheme, shared by the station equations
// (BL_GAS_PROPERTIES, BL_ASSEMBLE), the coupled system of the inverse mode
// (BL_ASSEMBLE_COUPLED) and the five-variable system (BL_ENERGY_COEF,
// BL_ASSEMBLE_ENERGY): the residuals of a box, one grid point's blocks A, B,
// C and right-hand side in the run's block arrays, their rows that come from
// the box below or above the point, and the condition rows of the wall and
// the edge.
//
// Level arrays are (3, 821) tables with the level fastest. The box arrays
// q, qp, rq are (n, 821) and their x-derivatives dq, dqp (n, n, 821),
// column-major inside each block: entry (c, e) of block k is at
// n*n*k + c*n + e.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Offset of (level, j) in a level array; j is 1-based, level 1..3.
inline int level_at(int level, int j) { return kProfileLevels * (j - 1) + (level - 1); }

// The three-level x-derivative of a level array P at point j with the
// weights cx0, cx1, cx2 of stations i, i-1, i-2; `now` stands for level 3.
inline double x_derivative(double cx0, double cx1, double cx2, double now, const double* P,
                           int j) {
  return cx0 * now + cx1 * P[level_at(2, j)] + cx2 * P[level_at(1, j)];
}

// Residuals -((q(j) - q(j-1)) - aa(j) (qp(j) + qp(j-1))) of the first `rows`
// equations of the box between points j-1 and j, j = k+1 (k >= 1), with n
// entries a point in q, qp and rq.
template <int Rows>
inline void box_residuals(const double* q, const double* qp, const double* aa, int n, int k,
                          double* rq) {
  const double* qj = q + n * k;
  const double* qpj = qp + n * k;
  const double* qm = q + n * (k - 1);
  const double* qpm = qp + n * (k - 1);
  double* rj = rq + n * k;
  for (int e = 0; e < Rows; ++e) rj[e] = -((qj[e] - qm[e]) - aa[k] * (qpj[e] + qpm[e]));
}

// The momentum rows of a point's box quantities, q = (F, U, bb V) and
// qp = (rho U, V, rho U+ U_x - V F_x + dp) with U+ = max(U, 0), and their
// Jacobians dq, dqp with the properties held fixed (the U-derivative of the
// convective term taken as if U+ were U): the entries that are not zero.
// The three-variable system is these rows alone; the five-variable system
// adds its energy rows.
struct MomentumPoint {
  double F, U, V;  // the point's level-3 values
  double rho, bb;  // density ratio and (1 + b) C
  double up;       // U+
  double ux, fx;   // U_x (of U+) and F_x

  // Writes the rows into point k's q and qp (n entries) and dq, dqp (n*n
  // entries, zero where they are not written).
  void rows(double dp, double cx0, int n, double* qj, double* qpj, double* dj,
            double* dpj) const {
    qj[0] = F;
    qj[1] = U;
    qj[2] = bb * V;
    qpj[0] = rho * U;
    qpj[1] = V;
    qpj[2] = rho * up * ux - V * fx + dp;
    dj[0 * n + 0] = 1.0;
    dj[1 * n + 1] = 1.0;
    dj[2 * n + 2] = bb;
    dpj[1 * n + 0] = rho;
    dpj[2 * n + 1] = 1.0;
    dpj[0 * n + 2] = -cx0 * V;
    dpj[1 * n + 2] = rho * (cx0 * up + ux);
    dpj[2 * n + 2] = -fx;
  }
};

struct BoxRows {
  BoxRows(SurfaceRun& r, int n)
      : dq(r.dqdx.data()), dqp(r.dqpdx.data()), rq(r.rq.data()), aa(r.aa.data()),
        A(r.amat.data()), B(r.bmat.data()), C(r.cmat.data()), rv(r.rvec.data()), n(n),
        nn(n * n) {}

  // The blocks and the right-hand side of point k (0-based).
  struct Point {
    double* A;
    double* B;
    double* C;
    double* r;
  };

  // Point k with nothing set yet: its blocks and right-hand side zero.
  Point cleared(int k) const {
    const Point p{A + nn * k, B + nn * k, C + nn * k, rv + n * k};
    for (int e = 0; e < nn; ++e) p.A[e] = p.B[e] = p.C[e] = 0.0;
    for (int e = 0; e < n; ++e) p.r[e] = 0.0;
    return p;
  }

  // Equation e on the box below point k (k >= 1): its coefficients of the
  // corrections at points k-1 (A) and k (B), in the first Cols columns, and
  // its residual.
  template <int Cols = 3>
  void below(int k, int e, double* Aj, double* Bj, double* rj) const {
    const double a = aa[k];
    const double* dm = dq + nn * (k - 1);
    const double* dpm = dqp + nn * (k - 1);
    const double* d0 = dq + nn * k;
    const double* dp0 = dqp + nn * k;
    for (int c = 0; c < Cols; ++c) {
      Aj[c * n + e] = -dm[c * n + e] - a * dpm[c * n + e];
      Bj[c * n + e] = d0[c * n + e] - a * dp0[c * n + e];
    }
    rj[e] = rq[n * k + e];
  }

  // Equation e on the box above point k: its coefficients of the
  // corrections at points k (B) and k+1 (C), in the first Cols columns, and
  // its residual.
  template <int Cols = 3>
  void above(int k, int e, double* Bj, double* Cj, double* rj) const {
    const double a = aa[k + 1];
    const double* d0 = dq + nn * k;
    const double* dp0 = dqp + nn * k;
    const double* d1 = dq + nn * (k + 1);
    const double* dp1 = dqp + nn * (k + 1);
    for (int c = 0; c < Cols; ++c) {
      Bj[c * n + e] = -d0[c * n + e] - a * dp0[c * n + e];
      Cj[c * n + e] = d1[c * n + e] - a * dp1[c * n + e];
    }
    rj[e] = rq[n * (k + 1) + e];
  }

  // Row e of a point that prescribes its U: minus the derivative of
  // U - target, and U - target.
  void velocity_row(int e, double* Bj, double* rj, double u, double target) const {
    Bj[1 * n + e] = -1.0;
    rj[e] = u - target;
  }

  const double* dq;
  const double* dqp;
  const double* rq;
  const double* aa;
  double* A;
  double* B;
  double* C;
  double* rv;
  int n, nn;
};

// Row 1 of the wall point of station i: F's x-derivative gives the
// transpiration vww(i).
inline void transpiration_row(const SurfaceRun& r, int i, double* Bj, double* rj) {
  Bj[0] = -1.0;
  rj[0] = (r.dfdx_wall + r.vww(i) * r.ccro(3, 1)) / r.cx0;
}

}  // namespace sorvane::bl

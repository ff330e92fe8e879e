// The block rows of the box scheme, shared by the station equations
// (BL_ASSEMBLE) and the coupled system of the inverse mode
// (BL_ASSEMBLE_COUPLED): one grid point's blocks A, B, C and right-hand
// side in the run's block arrays, and their rows that come from the box
// below or above the point.
//
// The box arrays q, qp, rq are (n, 821) and their x-derivatives dq, dqp
// (n, n, 821), column-major inside each block: entry (c, e) of block k is
// at n*n*k + c*n + e.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

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
  // corrections at points k-1 (A) and k (B), its residual.
  void below(int k, int e, double* Aj, double* Bj, double* rj) const {
    const double a = aa[k];
    const double* dm = dq + nn * (k - 1);
    const double* dpm = dqp + nn * (k - 1);
    const double* d0 = dq + nn * k;
    const double* dp0 = dqp + nn * k;
    for (int c = 0; c < 3; ++c) {
      Aj[c * n + e] = -dm[c * n + e] - a * dpm[c * n + e];
      Bj[c * n + e] = d0[c * n + e] - a * dp0[c * n + e];
    }
    rj[e] = rq[n * k + e];
  }

  // Equation e on the box above point k: its coefficients of the
  // corrections at points k (B) and k+1 (C), its residual.
  void above(int k, int e, double* Bj, double* Cj, double* rj) const {
    const double a = aa[k + 1];
    const double* d0 = dq + nn * k;
    const double* dp0 = dqp + nn * k;
    const double* d1 = dq + nn * (k + 1);
    const double* dp1 = dqp + nn * (k + 1);
    for (int c = 0; c < 3; ++c) {
      Bj[c * n + e] = -d0[c * n + e] - a * dp0[c * n + e];
      Cj[c * n + e] = d1[c * n + e] - a * dp1[c * n + e];
    }
    rj[e] = rq[n * (k + 1) + e];
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

}  // namespace sorvane::bl

// Block Thomas algorithm for the station system, with the bordered form of
// the coupled inverse modes.
//
// Elimination: D(1) = B(1); for j >= 2, G(j) = A(j) D(j-1)^-1,
// M(j) = G(j) C(j-1), D(j) = B(j) - M(j). The reduced rows then read
// D(j) z(j) + C(j) z(j+1) = w(j) with w(1) = r(1), w(j) = r(j) - G(j) w(j-1),
// and the back substitution runs from np down to 1.
//
// Bordered form (modes 7 and 8 past xinv): the last row carries the extra
// term F0 z(1). Writing that row as E(1) z(1) + ... with E(1) = F0 and taking
// z(k) out with the reduced row k, z(k) = D(k)^-1 (w(k) - C(k) z(k+1)),
// leaves the term -E(k) D(k)^-1 C(k) z(k+1) and moves E(k) D(k)^-1 w(k) to
// the right-hand side. With g0(k) = E(k) D(k)^-1 the chain is
//   g0(1) = F0 D(1)^-1,   g0(k) = -g0(k-1) C(k-1) D(k)^-1,
// and after k = np-2 the border term stands beside A(np) z(np-1). There it
// joins the ordinary elimination: G(np) = A(np) D(np-1)^-1 + g0(np-1), so
// M(np), D(np) and the forward step of w(np) include it, and the terms
// g0(k) w(k) for k = 1..np-2 are subtracted from w(np) after the forward
// reduction. With np = 1 the border block falls on the diagonal:
// D(1) = B(1) + F0.
//
// A block that cannot be inverted (its factorisation flagged singular, its
// last pivot negligible by the same test, which the factorisation does not
// make, or its determinant not finite) ends the solve at once: the function
// returns its grid point, sol is left as it was, det(j) holds that block's
// determinant, inv_d(j) its unfinished factors, and the work arrays of points
// above j keep older values. A
// solution that is not finite (from a non-finite right-hand side, or an
// overflow) is reported by the first grid point where it is not finite.
#include "solver/boundary_layer/block_tri.h"

#include <cmath>

#include "solver/boundary_layer/matrix_inv.h"

// As in the matrix kit: the sweep is a chain of dependent 3 by 3 block
// operations, which vector packing only lengthens.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-vectorize", "no-tree-slp-vectorize")
#endif

namespace sorvane::bl {
namespace {

// The coupled inverse modes solve the bordered system past xinv.
bool bordered(SurfaceRun& run, int i) {
  return (run.invmode == 7 || run.invmode == 8) && run.x(i) > run.xinv;
}

// Factorises D(j) and inverts it in place in inv_d(j) (afmat receives a
// copy: the factors, or the inverse once it is made), with the determinant in
// det(j). Returns false when the block cannot be inverted.
bool factor_invert(SurfaceRun& run, int j) {
  const int n = run.neq;
  const MatView f = run.inv_d.block(j);
  int iflag = 0;
  LU_PIVOT_ENTRY(run.dmat.block(j), f, run.tvec.data(), run.det(j), iflag, n);
  const double rn = static_cast<double>(n);
  // The factorisation does not test its last pivot; a negligible one would
  // divide by zero in the inverse. A block with a non-finite entry has a
  // non-finite determinant (an infinite entry could otherwise vanish from the
  // inverse).
  const bool ok = iflag == 0 && rn + std::fabs(f(n, n)) != rn && std::isfinite(run.det(j));
  if (ok) MAT_INVERSE_LU(f, run.tvec.data(), n);
  const double* src = run.inv_d.block_data(j);
  double* dst = run.afmat.data();
  for (int k = 0; k < n * n; ++k) dst[k] = src[k];
  return ok;
}

// The border chain g0(1..np-1) into g0_mat, and g0(np-1) added to G(np).
void border_chain(SurfaceRun& run, int np) {
  const int n = run.neq;
  MAT_MAT_B(run.f0_mat.mat(), run.inv_d.block(1), run.g0_mat.block(1), n);
  double t[kMaxKitOrder * kMaxKitOrder];
  const MatView tv{t, 1, n};
  for (int k = 2; k <= np - 1; ++k) {
    MAT_MAT_B(run.g0_mat.block(k - 1), run.cmat.block(k - 1), tv, n);
    for (int e = 0; e < n * n; ++e) t[e] = -t[e];
    MAT_MAT_B(tv, run.inv_d.block(k), run.g0_mat.block(k), n);
  }
  const double* g0 = run.g0_mat.block_data(np - 1);
  double* g = run.gmat.block_data(np);
  for (int e = 0; e < n * n; ++e) g[e] = g[e] + g0[e];
}

}  // namespace

void check_block_system(SurfaceRun& run, Table2<double>& rhs, Table2<double>& sol) {
  const int n = run.neq;
  const int np = run.np;
  if (!run.diag3_allocated) internal_fault("block system solved before its arrays are made");
  if (n < 1 || n > kMaxKitOrder) internal_fault("block order outside the kit's range");
  if (run.bmat.dim1() != n || np > run.bmat.dim3())
    internal_fault("block system larger than its arrays");
  if (rhs.rows() != n || sol.rows() != n || np > rhs.cols() || np > sol.cols())
    internal_fault("right-hand side or solution does not match the block system");
}

int first_nonfinite_point(const Table2<double>& sol, int n, int np) {
  for (int j = 1; j <= np; ++j) {
    const double* s = sol.column(j);
    for (int r = 0; r < n; ++r)
      if (!std::isfinite(s[r])) return j;
  }
  return 0;
}

int BLOCK_TRI_SOLVE(SurfaceRun& run, int i, Table2<double>& rhs, Table2<double>& sol) {
  check_block_system(run, rhs, sol);
  const int n = run.neq;
  const int np = run.np;
  if (np < 1) return 0;
  const bool border = bordered(run, i);
  const int nn = n * n;

  // D(1) = B(1) (with the border block on the diagonal when np = 1).
  {
    const double* b = run.bmat.block_data(1);
    double* d = run.dmat.block_data(1);
    for (int e = 0; e < nn; ++e) d[e] = b[e];
    if (border && np == 1) {
      const double* f0 = run.f0_mat.data();
      for (int e = 0; e < nn; ++e) d[e] = d[e] + f0[e];
    }
  }

  // Elimination, with the forward reduction of the right-hand side in the
  // same sweep.
  for (int r = 1; r <= n; ++r) run.wvec(r, 1) = rhs(r, 1);
  for (int j = 2; j <= np; ++j) {
    if (!factor_invert(run, j - 1)) return j - 1;
    MAT_MAT_B(run.amat.block(j), run.inv_d.block(j - 1), run.gmat.block(j), n);
    if (border && j == np) border_chain(run, np);
    MAT_MAT_B(run.gmat.block(j), run.cmat.block(j - 1), run.mmat.block(j), n);
    const double* b = run.bmat.block_data(j);
    const double* m = run.mmat.block_data(j);
    double* d = run.dmat.block_data(j);
    for (int e = 0; e < nn; ++e) d[e] = b[e] - m[e];
    const VecView u = run.uvec.vec(j);
    MAT_VEC(run.gmat.block(j), run.wvec.vec(j - 1), u, n);
    const double* rj = rhs.column(j);
    double* w = run.wvec.column(j);
    for (int r = 0; r < n; ++r) w[r] = rj[r] - u.p[r];
  }
  if (!factor_invert(run, np)) return np;
  if (border) {
    // The border terms of points 1..np-2 (that of np-1 went into G(np)).
    double t[kMaxKitOrder];
    const VecView tv{t, 1};
    double* w = run.wvec.column(np);
    for (int k = 1; k <= np - 2; ++k) {
      MAT_VEC(run.g0_mat.block(k), run.wvec.vec(k), tv, n);
      for (int r = 0; r < n; ++r) w[r] = w[r] - t[r];
    }
  }

  // Back substitution. Multiplying every entry by 0 and summing keeps 0 as
  // long as all are finite and turns into NaN at the first one that is not.
  double nonfinite = 0.0;
  MAT_VEC(run.inv_d.block(np), run.wvec.vec(np), sol.vec(np), n);
  for (int r = 0; r < n; ++r) nonfinite += 0.0 * sol.column(np)[r];
  for (int j = np - 1; j >= 1; --j) {
    const VecView k = run.kvec.vec(j);
    const VecView h = run.hvec.vec(j);
    MAT_VEC(run.cmat.block(j), sol.vec(j + 1), k, n);
    const double* w = run.wvec.column(j);
    for (int r = 0; r < n; ++r) h.p[r] = w[r] - k.p[r];
    const VecView s = sol.vec(j);
    MAT_VEC(run.inv_d.block(j), h, s, n);
    for (int r = 0; r < n; ++r) nonfinite += 0.0 * s.p[r];
  }
  if (nonfinite != 0.0) return first_nonfinite_point(sol, n, np);  // NaN compares unequal too
  return 0;
}

void BLOCK_TRI_RESIDUAL(SurfaceRun& run, Table2<double>& rhs, Table2<double>& sol, int i) {
  check_block_system(run, rhs, sol);
  const int n = run.neq;
  const int np = run.np;
  if (np < 1) return;
  const bool border = bordered(run, i);
  for (int j = 1; j <= np; ++j) {
    double* rr = run.rrvec.column(j);
    const double* k1 = run.k1vec.column(j);
    const double* k2 = run.k2vec.column(j);
    const double* k3 = run.k3vec.column(j);
    MAT_VEC(run.bmat.block(j), sol.vec(j), run.k2vec.vec(j), n);
    if (j < np) {
      MAT_VEC(run.cmat.block(j), sol.vec(j + 1), run.k3vec.vec(j), n);
    } else if (border) {
      MAT_VEC(run.f0_mat.mat(), sol.vec(1), run.k3vec.vec(j), n);
    } else {
      for (int r = 0; r < n; ++r) run.k3vec(r + 1, j) = 0.0;
    }
    if (j > 1) {
      MAT_VEC(run.amat.block(j), sol.vec(j - 1), run.k1vec.vec(j), n);
      for (int r = 0; r < n; ++r) rr[r] = k1[r] + k2[r] + k3[r];
    } else {
      for (int r = 0; r < n; ++r) rr[r] = k2[r] + k3[r];
    }
    const double* rj = rhs.column(j);
    for (int r = 0; r < n; ++r) rr[r] = rr[r] - rj[r];
  }
}

}  // namespace sorvane::bl

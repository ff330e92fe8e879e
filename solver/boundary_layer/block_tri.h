// The block-tridiagonal system of a station: for grid points j = 1..np,
// A(j) z(j-1) + B(j) z(j) + C(j) z(j+1) = r(j) with neq by neq blocks
// amat, bmat, cmat of the run, solved by block Gaussian elimination with a
// pivoted LU factorisation and an explicit inverse of every diagonal block.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Solves the system of station i for right-hand side rhs into sol (both
// (neq, 821); points 1..np). In the coupled inverse modes (invmode 7 or 8)
// past xinv the last row also holds f0_mat times z(1) (the bordered form).
// Returns 0, or the first grid point j where the solve broke down; sol is
// then not a solution and must not be used:
// - the eliminated diagonal block D(j) cannot be inverted (its factorisation
//   flagged 65, its last pivot is negligible by the same test, or its
//   determinant is not finite): the solve stops there, sol is left as it was
//   and det(j) holds the block's determinant;
// - otherwise, the first point whose solution is not finite (a non-finite
//   right-hand side, or an overflow).
[[nodiscard]] int BLOCK_TRI_SOLVE(SurfaceRun& run, int i, Table2<double>& rhs,
                                  Table2<double>& sol);

// The shapes a block solve of order neq needs: the station system made,
// neq in the kit's range, np points within the block arrays and within rhs
// and sol, both of neq rows. Anything else is an internal fault: a message on
// standard error and an abort.
void check_block_system(SurfaceRun& run, Table2<double>& rhs, Table2<double>& sol);

// The first grid point 1..np whose n entries of sol are not all finite; 0
// when every one is.
int first_nonfinite_point(const Table2<double>& sol, int n, int np);

// rrvec(:, j) = A(j) sol(j-1) + B(j) sol(j) + C(j) sol(j+1) - rhs(:, j) for
// j = 1..np (no A term at 1, no C term at np), with f0_mat times sol(1) in
// the last row exactly when BLOCK_TRI_SOLVE solves the bordered form; the
// three products are kept in k1vec, k2vec, k3vec.
void BLOCK_TRI_RESIDUAL(SurfaceRun& run, Table2<double>& rhs, Table2<double>& sol, int i);

}  // namespace sorvane::bl

// The block-tridiagonal system of a station: for grid points j = 1..np,
// A(j) z(j-1) + B(j) z(j) + C(j) z(j+1) = r(j) with neq by neq blocks
// amat, bmat, cmat of the run, solved by block Gaussian elimination with a
// pivoted LU factorisation and an explicit inverse of every diagonal block.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Solves the system of station i for right-hand side rhs into sol (both
// (neq, 821); points 1..np). Returns 0, or the first grid point whose
// eliminated diagonal block is singular (its factorisation flagged 65); sol
// is then not a solution and must not be used.
[[nodiscard]] int BLOCK_TRI_SOLVE(SurfaceRun& run, int i, Table2<double>& rhs,
                                  Table2<double>& sol);

// rrvec(:, j) = A(j) sol(j-1) + B(j) sol(j) + C(j) sol(j+1) - rhs(:, j), with
// the border block of the coupled inverse modes in the last row.
void BLOCK_TRI_RESIDUAL(SurfaceRun& run, Table2<double>& rhs, Table2<double>& sol, int i);

}  // namespace sorvane::bl

// The Newton system of one boundary-layer station: Keller's box scheme across
// the layer and a three-level difference along the surface, for the stream
// function F, the velocity U and its normal derivative V at every grid point;
// the corrections, the start profiles of stations 2 and 3, the shift of the
// profile levels from one station to the next, and the growth of the grid at
// the outer edge. Nothing here allocates or writes a listing.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Temperature, density and viscosity ratios and the effective viscosity at
// every grid point of level 3, then the box quantities q, qp, their Jacobians,
// the box residuals rq, dfdx_wall, edge_res and edge_jac. dp is the pressure-
// gradient term of station i.
void BL_GAS_PROPERTIES(SurfaceRun& run, int i, double dp);

// Blocks amat, bmat, cmat and right-hand side rvec of station i at points
// 1..np with the wall rows and the edge row (U = ue(i) in direct mode, the
// edge momentum balance in the inverse region), and in the inverse region the
// second right-hand side eyvec.
void BL_ASSEMBLE(SurfaceRun& run, int i);

// Adds the solution sol (neq, 821) of the block system to level 3 and keeps
// the corrections in df, du, dv.
void BL_APPLY_CORRECTION(SurfaceRun& run, Table2<double>& sol);

// The correction of the inverse mode: adds xs + lambda*ys (xs alone when
// use_ys is false) to level 3 and keeps it in df, du, dv. Both solutions
// must cover the grid points in use.
void apply_combined_correction(SurfaceRun& run, const Table2<double>& xs,
                               const Table2<double>& ys, double lambda, bool use_ys);

// dumax = max |du(j)| over 1..np, jumax its first point (kept when no |du|
// exceeds 0; a correction that is not a number never becomes the maximum).
void BL_CORRECTION_MAX(SurfaceRun& run);

// Profile of station i at profile level `level` from the similarity solution
// of run.sim, scaled by sqrt(x(i)/ue(i)) (flag 1) or sqrt(x(i)) (flag 0),
// and the station's normal grid eta, deta, aa over all 821 points.
void BL_START_PROFILE(SurfaceRun& run, int i, int level, int flag);

// Moves levels 2, 3 to 1, 2 and makes the first guess of station n at level
// 3: the profile of station n-1 scaled by ue(n)/ue(n-1), with its properties.
void BL_SHIFT_LEVELS(SurfaceRun& run, int n);

// When |v(3, np)| exceeds 1e-4 the layer has outgrown its grid: np grows by 2
// and every level is extended (grew = 1). When np + 2 would exceed the 821
// points of the grid it does not grow and changes nothing: grew = 0 and
// grid_full = true. Otherwise grew = 0, grid_full = false.
void BL_EDGE_GROWTH(SurfaceRun& run, int& grew, bool& grid_full);

}  // namespace sorvane::bl

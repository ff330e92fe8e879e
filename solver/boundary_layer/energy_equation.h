// The five-variable (energy-equation) form of the station system: beside the
// stream function F, the velocity U and its normal derivative V of the
// three-variable form, the total enthalpy h = H/h0 and its normal derivative
// G at every grid point, with a compressible gas whose temperature follows
// from h and U. The equations, their boundary conditions and the rows of the
// block system are written out at the top of energy_equation.cpp.
//
// The run must hold neq = 5 when its station system is made: INPUTI_ALLOCATE,
// then run.neq = 5, then DIAG_3_ALLOCATE. A run made with another neq is a
// programming error here and stops the process with a message.
//
// Wall condition of station i, chosen by the wall temperature tww(i):
//   tww(i) > 0   the wall temperature is prescribed, tww(i) in kelvin (like
//                te and t0);
//   tww(i) <= 0  the wall is adiabatic (no heat flux: dT/deta = 0 there).
// The set-up leaves tww = 0, so a wall is adiabatic unless the caller gives
// it a temperature.
//
// Edge: U = ue(i) and h = 1. The edge velocity is always prescribed; the
// inverse-region rows (xinv, invmode) belong to the three-variable form and
// are not read here. For the momentum balance at the edge to hold, te(i)
// must be the static temperature of the edge state, t0 - (ue(i) u8)^2 /
// (2 cpgas), so that T/te = 1 there.
//
// Nothing here allocates or writes a listing.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

constexpr int kEnergyEquations = 5;  // neq of the five-variable form

// Properties of level 3 at station i, for j = 1..np: the static temperature
// T = t0 h - (U u8)^2/(2 cpgas), tte(j) = T/te(i), ccro(3, j) = roe8(i)/tte(j)
// and ccmu(3, j) = ccro(3, j) mu(T)/emue(i) with Sutherland's law; then
// BL_ENERGY_COEF(run, i, dp). Returns 0, or the first grid point whose
// temperature is not a positive finite number (h too low for the kinetic
// energy of U): the properties of the points before it are written, nothing
// else, and the station cannot be solved from this profile.
[[nodiscard]] int BL_COMPRESSIBLE_PROPERTIES(SurfaceRun& run, int i, double dp);

// From the current profiles and properties of level 3: the diffusivities
// bb(j) (momentum), ee(j) (energy) and dd(j) (dissipation), the box
// quantities q, qp of the five equations, their Jacobians dqdx, dqpdx (with
// the properties held fixed), the box residuals rq and dfdx_wall. dp is the
// pressure-gradient term of station i (as for BL_GAS_PROPERTIES).
void BL_ENERGY_COEF(SurfaceRun& run, int i, double dp);

// Blocks amat, bmat, cmat and right-hand side rvec of station i at points
// 1..np, with the wall rows (transpiration vww, wall velocity uww, wall
// temperature or adiabatic wall by tww) and the edge rows (U = ue(i), h = 1).
void BL_ASSEMBLE_ENERGY(SurfaceRun& run, int i);

// Solves the block-tridiagonal system of amat, bmat, cmat (order neq) for the
// right-hand side rhs into sol (both (neq, 821), points 1..np) by block
// elimination on slices of the block arrays. Returns 0, or the first grid
// point where the solve broke down, as BLOCK_TRI_SOLVE does: a diagonal
// block D(j) that cannot be inverted (the solve stops there, sol is left as
// it was, det(j) holds the block's determinant), or else the first point
// whose solution is not finite.
[[nodiscard]] int BL_MATRIX_SOLVE(SurfaceRun& run, Table2<double>& rhs, Table2<double>& sol);

// Adds the five-row solution sol to level 3 (F, U, V through
// BL_APPLY_CORRECTION, which keeps df, du, dv; then h and G) and sets dhmax =
// max |correction of h| over 1..np and jhmax its first point, by the rule of
// BL_CORRECTION_MAX (jhmax kept when no correction exceeds 0; a correction
// that is not a number never becomes the maximum). dumax, jumax are left to
// BL_CORRECTION_MAX.
void BL_APPLY_ENERGY_CORRECTION(SurfaceRun& run, Table2<double>& sol);

// Moves levels 2, 3 of h and G to levels 1, 2 (level 3 keeps its values as
// the first guess of the next station). BL_SHIFT_LEVELS does the same for
// the other profiles; a five-variable march calls both.
void BL_SHIFT_ENERGY_LEVELS(SurfaceRun& run);

}  // namespace sorvane::bl

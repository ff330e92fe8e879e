// The working state of one boundary-layer surface run (one element, one
// surface): the surface-run scalars, the station arrays, the normal grid and
// the three profile levels (the "Inputi" set), the arrays of the
// block-tridiagonal station system (the "diag_3" set) and the similarity
// start's arrays.
//
// A surface run makes one SurfaceRun, fills it and drops it at its end, so no
// two runs share storage and nothing of a run survives it but the result
// store of the problem state. Every routine of the boundary layer takes the
// run it works on explicitly.
//
// Index conventions: station i = 1..nx from the stagnation point; grid point
// j = 1..821 from the wall; profile levels 1, 2, 3 hold stations i-2, i-1, i
// while station i is solved; (r, c, j) is row r, column c of the 3 by 3 block
// of grid point j.
#pragma once

#include "solver/boundary_layer/similarity_start.h"
#include "solver/boundary_layer/tables.h"

namespace sorvane::bl {

constexpr int kGridPoints = 821;  // capacity of the normal grid and levels
constexpr int kProfileLevels = 3;

// Surface-run scalars, station arrays, normal grid and profile levels.
struct InputiSet {
  // Scalars.
  int neq = 3;          // variables per grid point of the station system
  int nxt = 0;          // stations of the surface, NX(k,s)
  int np = 0;           // grid points in use (grows by 2 with the layer)
  double etae = 0.0;    // outer edge of the normal coordinate
  double vlbl = 0.0;    // laminar grid growth ratio (takes vtbl when turbulent)
  double vtbl = 0.0;    // turbulent grid growth ratio
  double xtr = 0.0;     // transition position (arc length)
  double xinv = 0.0;    // start of the inverse region (arc length)
  int invmode = 0;      // 0 edge velocity prescribed, 2 skin friction
  int ninv = 0;         // station where the inverse region began, 0 if none
  int ntr = 0;          // set at the first turbulent station (its index - 2)
  int k_iter = 0;       // Newton passes of the current station
  int k_iterMax = 0;    // their limit (20)
  double dumax = 0.0;   // largest velocity correction of the last pass
  int jumax = 0;        // its grid point
  double cx0 = 0.0, cx1 = 0.0, cx2 = 0.0;  // x-derivative weights of i, i-1, i-2
  double cfsep = 0.0;   // separation threshold, copy of CFSEP
  double re = 0.0;      // Reynolds number REMILL*1e6
  double sqre = 0.0;    // its square root
  // Reference state and gas constants.
  double m8 = 0.0, t8 = 0.0, el = 0.0;
  double u8 = 0.0, mu8 = 0.0, nu8 = 0.0, ro8 = 0.0;
  double t0 = 0.0, rho0 = 0.0, h0 = 0.0;
  double rgas = 0.0, cpgas = 0.0, pr = 0.0, prt = 0.0;
  double et = 0.0;      // echoed as "ET="; nothing assigns it
  double dhmax = 0.0;   // largest energy correction (five-equation form)
  int jhmax = 0;

  // Station arrays, length nx.
  Table1<double> x, ue, eme, dpdx;
  Table1<double> te, roe, emue, roe8, emue8, enue8, te8, rx;
  Table1<double> uww, vww, tww;
  Table1<double> cfb, d1b, d2b, rov, h12;
  Table1<double> d1_bc, rv_bc, cf_bc;
  Table1<double> rtheta, rdels;

  // Normal grid and per-point arrays, kGridPoints.
  Table1<double> df, du, dv;
  Table1<double> bb, bbt, ee, dd, tte;
  Table1<double> eta, aa, deta;

  // Profile levels (level, j), (3, kGridPoints), zero-filled when made.
  Table2<double> f, u, v, b, ccro, ccmu;
  Table2<double> h, g;  // energy variables: 1 and 0 in the three-equation form

  bool inputi_allocated = false;
};

// The block-tridiagonal station system and the work of its solver.
struct Diag3Set {
  Table2<double> q, qp, rq;                          // (neq, 821)
  Table3<double> dqdx, dqpdx;                        // (neq, neq, 821)
  Table3<double> amat, bmat, cmat;                   // blocks of row j
  Table2<double> rvec, xvec, eyvec, yvec;            // (neq, 821)
  Table3<double> dmat, inv_d, gmat, mmat;            // block solver work
  Table2<double> wvec, uvec, kvec, hvec;             // (neq, 821)
  Table2<double> afmat;                              // (neq, neq)
  Table1<int> tvec;                                  // (neq)
  Table1<double> det;                                // (821)
  Table2<double> rrvec, k1vec, k2vec, k3vec;         // (neq, 821)
  Table2<double> f0_mat;                             // (neq, neq) border block
  Table3<double> g0_mat;                             // (neq, neq, 821) border chain

  bool diag3_allocated = false;
};

struct SurfaceRun : InputiSet, Diag3Set {
  // The similarity start of this run.
  Init2d sim;

  // Values that BL_GAS_PROPERTIES hands to BL_ASSEMBLE: the x-derivative of
  // F at the wall, and the residual and derivative of the edge momentum
  // balance (inverse region).
  double dfdx_wall = 0.0;
  double edge_res = 0.0;
  double edge_jac = 0.0;

  // Element (1-based k) and surface (1 upper, 2 lower) of the run.
  int element = 0;
  int surface = 0;
};

// Makes the Inputi arrays with station length nx (a negative nx counts as 0)
// and sets neq = 3. Making a set that is already made, or releasing one that
// is not, is a programming error and stops the process with a message.
void INPUTI_ALLOCATE(SurfaceRun& run, int nx);
void INPUTI_DEALLOCATE(SurfaceRun& run);
// Makes the diag_3 arrays for the run's current neq.
void DIAG_3_ALLOCATE(SurfaceRun& run);
void DIAG_3_DEALLOCATE(SurfaceRun& run);

}  // namespace sorvane::bl

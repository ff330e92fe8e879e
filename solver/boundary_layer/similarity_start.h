// Similarity start of a surface run: the plane stagnation-point (Hiemenz)
// profile f''' + f f'' + 1 - f'^2 = 0 (flag 1), or the flat-plate (Blasius)
// profile f''' + f f''/2 = 0 (flag 0), on a stretched normal grid, solved by
// Newton passes of Keller's box scheme with a 3 by 3 block elimination. Every
// pass appends its table to "init2d.OUT" in the working directory.
#pragma once

#include "solver/boundary_layer/tables.h"

namespace sorvane::bl {

constexpr int kSimPoints = 821;  // points of the similarity grid

// The similarity start's own arrays and scalars. A surface run owns one; the
// grid and profiles it leaves behind are read by the surface driver and by the
// start profiles of stations 2 and 3.
struct Init2d {
  Init2d();  // makes every fixed array with kSimPoints points, zero-filled

  // Grid: eta_sim(1) = 0, deta_sim(j) = eta_sim(j+1) - eta_sim(j),
  // a_sim(j) = deta_sim(j-1)/2 for j >= 2.
  Table1<double> eta_sim, deta_sim, a_sim;
  // Profiles f, u = f', v = f''; v_sim(1) is the wall shear.
  Table1<double> f_sim, u_sim, v_sim;
  // Coefficients and residuals of the linearised box equations.
  Table1<double> s1, s2, s3, s4, s5, s6, r1, r2, r3;
  // Corrections of the last pass.
  Table1<double> delf, delu, delv;

  double p1 = 0.0, p2 = 0.0;                  // equation parameters
  double tolerance = 9.999999974752427e-07;   // 1e-6 in single precision
  int pass_limit = 20;
  int passes = 0;                             // passes of the last call
  int block_order = 3;

  // Work of the closed-form elimination, per point j: the first two rows of
  // the eliminated diagonal block (d11 .. d23; its third row is that of the
  // system's own block) and of the reduced right-hand side (w1, w2; its
  // third entry is r3).
  Table1<double> d11, d12, d13, d21, d22, d23, w1, w2;

  // Full-block form of the same system, made by INIT2D_ALLOCATE (empty until
  // then). Blocks (3, 3, point): sub-diagonal a3, diagonal b3,
  // super-diagonal c3; vectors (3, point): unknowns xvc, right-hand sides
  // rvc, residual rrvc.
  Table3<double> a3, b3, c3;
  Table2<double> xvc, rvc, rrvc;
  // Elimination: eliminated diagonal blocks d3, their inverses inv_d3, the
  // factors g3 = a3(j) inv_d3(j-1) and products m3 = g3(j) c3(j-1); reduced
  // right-hand side wvc, the products uvc = g3(j) wvc(j-1),
  // kvc = c3(j) xvc(j+1) and hvc = wvc - kvc; the residual's three block
  // products k1vc, k2vc, k3vc; factor work block af with its pivots tvc, and
  // the determinant det3 of every d3.
  Table3<double> d3, inv_d3, g3, m3;
  Table2<double> wvc, uvc, kvc, hvc, k1vc, k2vc, k3vc;
  Table2<double> af;
  Table1<int> tvc;
  Table1<double> det3;
  // Further work arrays of the full-block form, made with the others; the
  // elimination above does not need them.
  Table3<double> inv_m, e3, w3m, a3f;
  Table2<double> e, u3, k3, h3;
  bool full_block_allocated = false;
};

// Computes the similarity solution with np points, spacing growth ratio vgp
// and outer edge etae; flag 0 Blasius, otherwise Hiemenz. Returns false, and
// changes nothing but the opening of "init2d.OUT", when np is outside
// 2..kSimPoints or vgp or etae is not a positive finite number. Returns false
// also when a pass gives a correction that is not a finite number (the
// arrays then hold that pass).
[[nodiscard]] bool INIT2D(Init2d& m, int np, double vgp, double etae, int flag);

// Stretched grid: first spacing etae/(np-1) when vgp - 1 <= 0.001, else
// (vgp-1) etae/(vgp^(np-1) - 1); every further spacing vgp times the one
// before, over all nmax points. Returns false, filling nothing, when np is
// outside 2..nmax (nmax at most the tables' size).
[[nodiscard]] bool INIT2D_GRID(int np, int nmax, double vgp, double etae, Table1<double>& deta,
                               Table1<double>& eta, Table1<double>& a);
// Whether the stretched grid of np points, growth ratio vgp and outer edge
// etae can carry the box equations: np within 2..kSimPoints, vgp and etae
// positive finite numbers, every spacing of points 1..np above 0 with a
// finite reciprocal, and a finite outer edge. A ratio far from 1 over many
// points fails it (2.5 over 821 points: the power overflows and the first
// spacing becomes 0; a small ratio makes the last spacings underflow), and
// INIT2D would then end in a non-finite pass.
[[nodiscard]] bool similarity_grid_usable(int np, double vgp, double etae);
// Cubic start profile on points 1..np (u = 0 at the wall, u = 1, v = 0 at
// eta(np)).
void INIT2D_START_PROFILE(int np, Table1<double>& eta, Table1<double>& f, Table1<double>& u,
                          Table1<double>& v);
// Coefficients s1 .. s6 and residuals r1 .. r3 of the linearised box
// equations of the profiles f, u, v.
void INIT2D_COEF(Init2d& m, double p1, double p2, int np, Table1<double>& deta,
                 Table1<double>& f, Table1<double>& u, Table1<double>& v);
// Closed-form block elimination of the linearised system: corrections into
// delf, delu, delv, added to f, u, v; u(1) is then set to 0.
void INIT2D_BLOCK_SOLVE(Init2d& m, int np, Table1<double>& a, Table1<double>& f,
                        Table1<double>& u, Table1<double>& v);

// Full-block form (nothing in the program calls these four).
// Makes the full-block arrays for np points with the block order; making
// them twice is a programming error and stops the process with a message.
void INIT2D_ALLOCATE(Init2d& m, int np);
// The system of INIT2D_COEF (s1 .. s6, r1 .. r3, a_sim) as full 3 by 3 blocks
// a3, b3, c3 and right-hand sides rvc, points 1..np.
void INIT2D_MATRIX_COEF(Init2d& m, int np);
// Solves the full-block system into xvc by block elimination with a pivoted
// LU factorisation and inverse of every diagonal block. Returns 0, or the
// first point whose eliminated diagonal block is singular (xvc is then not
// a solution).
[[nodiscard]] int INIT2D_MATRIX_FORWARD(Init2d& m, int np);
// Copies delf, delu, delv into xvc and writes the residual of the
// full-block system for them into rrvc.
void INIT2D_MATRIX_BACK(Init2d& m, int np);

}  // namespace sorvane::bl

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

  // Full-block form of the same system (INIT2D_ALLOCATE and the three
  // INIT2D_MATRIX_ routines): members added with those routines.
};

// Computes the similarity solution with np points, spacing growth ratio vgp
// and outer edge etae; flag 0 Blasius, otherwise Hiemenz. Returns false, and
// changes nothing but the opening of "init2d.OUT", when np is outside
// 2..kSimPoints.
[[nodiscard]] bool INIT2D(Init2d& m, int np, double vgp, double etae, int flag);

}  // namespace sorvane::bl

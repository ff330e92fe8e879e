// The inverse mode of a station: the correction xs + lambda*ys of the two
// solutions of the station system, with lambda (an additive change of the
// pressure-gradient term) chosen so that the prescribed quantity holds after
// the step; and the coupled system of modes 7 and 8, whose single solution
// meets the prescribed quantity through a border row.
//
// Every prescribed relation is linear in the correction, so lambda follows
// from one division: lambda = num/den with den the response of the relation
// to ys. A den of zero or not finite (ys does not move the quantity) leaves
// lambda undefined; the step then applies xs alone.
#include "solver/boundary_layer/inverse_mode.h"

#include <cmath>

#include "solver/boundary_layer/block_tri.h"
#include "solver/boundary_layer/box_rows.h"
#include "solver/boundary_layer/station_equations.h"

namespace sorvane::bl {
namespace {

// Mass-flux deficit d1_bc(k)*roe8(k)*ue(k) of station k (0 before station 1).
double deficit_flux(const SurfaceRun& r, int k) {
  if (k < 1) return 0.0;
  return r.d1_bc(k) * r.roe8(k) * r.ue(k);
}

// The deficit M_i that makes the three-level x-derivative of the deficit
// flux equal the prescribed transpiration rv_bc(i).
double prescribed_deficit(const SurfaceRun& r, int i) {
  return (r.rv_bc(i) - r.cx1 * deficit_flux(r, i - 1) - r.cx2 * deficit_flux(r, i - 2)) / r.cx0;
}

}  // namespace

// `value` is the prescribed wall shear of mode 2 (and of any mode outside
// 1..8); modes 1 and 4 take d1_bc(i), 3 and 5 rv_bc(i), 6 ue(i) from the
// station arrays.
bool BL_COMBINE_INVERSE(SurfaceRun& r, double value, Table2<double>& xs, Table2<double>& ys,
                        Table1<double>& /*a*/, int i) {
  const int np = r.np;
  check_index("grid points in use", np, kGridPoints);

  // Modes 7 and 8 solved the coupled system once: its solution is the step.
  if (r.invmode == 7 || r.invmode == 8) {
    BLOCK_TRI_RESIDUAL(r, r.rvec, xs, i);
    apply_combined_correction(r, xs, ys, 0.0, false);
    return true;
  }

  // Level-3 values the prescribed relations are written in.
  const double f_wall = r.f(3, 1), f_edge = r.f(3, np), u_edge = r.u(3, np);
  const double rho_edge = r.ccro(3, np), eta_edge = r.eta(np);
  // Mass flux between wall and edge after the step: its xs part and its
  // response to ys.
  const double flux_x = (f_edge + xs(1, np)) - (f_wall + xs(1, 1));
  const double flux_y = ys(1, np) - ys(1, 1);

  double num = 0.0, den = 0.0;
  switch (r.invmode) {
    case 1:
    case 4: {
      // Displacement thickness: rho*(U + dU)*(eta - d1) = (F + dF)_edge - (F + dF)_wall.
      const double thick = eta_edge - r.d1_bc(i);
      num = flux_x - rho_edge * (u_edge + xs(2, np)) * thick;
      den = rho_edge * ys(2, np) * thick - flux_y;
      break;
    }
    case 3:
    case 5: {
      // Transpiration: rho*eta*(U + dU) - [(F + dF)_edge - (F + dF)_wall] = M_i.
      num = prescribed_deficit(r, i) - rho_edge * eta_edge * (u_edge + xs(2, np)) + flux_x;
      den = rho_edge * eta_edge * ys(2, np) - flux_y;
      break;
    }
    case 6:
      // Edge velocity: U + dU = ue(i) at the edge.
      num = r.ue(i) - (u_edge + xs(2, np));
      den = ys(2, np);
      break;
    default:
      // Wall shear (mode 2): V + dV = 0.5*cf/ccmu at the wall.
      num = 0.5 * value / r.ccmu(3, 1) - r.v(3, 1) - xs(3, 1);
      den = ys(3, 1);
      break;
  }

  const double lambda = num / den;
  if (den == 0.0 || !std::isfinite(den) || !std::isfinite(lambda)) {
    apply_combined_correction(r, xs, ys, 0.0, false);
    return false;
  }
  apply_combined_correction(r, xs, ys, lambda, true);
  return true;
}

void BL_ASSEMBLE_COUPLED(SurfaceRun& r, int i) {
  const int np = r.np;
  check_index("grid points in use", np, kGridPoints);
  const int n = r.neq;
  const BoxRows box(r, n);

  // Border block: the last row couples to -dF(1).
  for (int c = 1; c <= n; ++c) {
    for (int a = 1; a <= n; ++a) r.f0_mat(a, c) = 0.0;
  }
  r.f0_mat(3, 1) = -1.0;

  for (int j = 1; j <= np; ++j) {
    const int k = j - 1;
    const auto [Aj, Bj, Cj, rj] = box.cleared(k);

    if (j == 1) {
      // Wall velocity.
      box.velocity_row(0, Bj, rj, r.u(3, 1), r.uww(i));
    } else {
      // F' = rho*U on the box below the point.
      box.below(k, 0, Aj, Bj, rj);
    }

    if (j < np) {
      // U' = V and momentum on the box above the point.
      box.above(k, 1, Bj, Cj, rj);
      box.above(k, 2, Bj, Cj, rj);
    } else {
      // Edge velocity, and the border row
      // dF(np) + D*dU(np) - dF(1) = -(F(np) + D*U(np) - F(1)) [- M_i].
      box.velocity_row(1, Bj, rj, r.u(3, np), r.ue(i));
      const double rho_edge = r.ccro(3, np), eta_edge = r.eta(np);
      const double d =
          r.invmode == 8 ? -eta_edge * rho_edge : (r.d1_bc(i) - eta_edge) * rho_edge;
      Bj[0 * n + 2] = 1.0;
      Bj[1 * n + 2] = d;
      rj[2] = -(r.f(3, np) + d * r.u(3, np) - r.f(3, 1));
      if (r.invmode == 8) rj[2] -= prescribed_deficit(r, i);
    }
  }
}

}  // namespace sorvane::bl

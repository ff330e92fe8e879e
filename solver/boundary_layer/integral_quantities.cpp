// Integral values of one station's converged profile.
#include "solver/boundary_layer/integral_quantities.h"

#include <cmath>

namespace sorvane::bl {

bool BL_INTEGRAL_QUANTITIES(SurfaceRun& r, int i, int k, std::string* cause) {
  auto fail = [cause](const char* why) {
    if (cause) *cause = why;
    return false;
  };
  const int N = r.np;
  const double ue = r.ue(i);
  const double roe8 = r.roe8(i);
  if (ue == 0.0) return fail("zero edge velocity");

  // Momentum integral of ccro u^2 by the trapezoidal rule, the wall value
  // taken as 0 (the wall velocity does not enter), and the mass integral.
  double A = 0.0;
  double gprev = 0.0;
  for (int j = 2; j <= N; ++j) {
    const double uj = r.u(k, j);
    const double gj = r.ccro(k, j) * uj * uj;
    A += r.aa(j) * (gprev + gj);
    gprev = gj;
  }
  const double F = r.f(k, N) - r.f(k, 1);

  const double d2b = r.el * (F - A / ue) / (ue * r.sqre * roe8);
  if (d2b == 0.0) return fail("zero momentum thickness");
  const double rtheta = r.roe(i) * ue * d2b * r.u8 / r.emue(i);
  const double d1_bc = r.eta(N) - F / (ue * roe8);
  const double d1b = r.el * d1_bc / r.sqre;
  const double rdels = r.roe(i) * ue * d1b * r.u8 / r.emue(i);
  const double cf_bc = 2.0 * r.ccmu(k, 1) * r.v(k, 1);
  const double cfb = cf_bc / (r.sqre * roe8 * ue * ue);

  // x-derivative of roe8 ue d1_bc through stations i, i-1, i-2 (a station
  // before the first one adds nothing).
  double rv_bc = r.cx0 * roe8 * ue * d1_bc;
  if (i - 1 >= 1) rv_bc += r.cx1 * r.roe8(i - 1) * r.ue(i - 1) * r.d1_bc(i - 1);
  if (i - 2 >= 1) rv_bc += r.cx2 * r.roe8(i - 2) * r.ue(i - 2) * r.d1_bc(i - 2);
  const double rov = rv_bc * r.roe(i) * r.u8 / r.sqre;
  const double h12 = d1b / d2b;
  // x-derivative of the wall stream function, always from the three levels.
  const double vww = r.cx0 * r.f(3, 1) + r.cx1 * r.f(2, 1) + r.cx2 * r.f(1, 1);

  for (double value : {d2b, rtheta, d1_bc, d1b, rdels, cf_bc, cfb, rv_bc, rov, h12, vww}) {
    if (!std::isfinite(value)) return fail("non-finite integral values");
  }

  r.d2b(i) = d2b;
  r.rtheta(i) = rtheta;
  r.d1_bc(i) = d1_bc;
  r.d1b(i) = d1b;
  r.rdels(i) = rdels;
  r.cf_bc(i) = cf_bc;
  r.cfb(i) = cfb;
  r.rv_bc(i) = rv_bc;
  r.rov(i) = rov;
  r.h12(i) = h12;
  r.vww(i) = vww;
  return true;
}

}  // namespace sorvane::bl

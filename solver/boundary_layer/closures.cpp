// Transition tests and the algebraic eddy-viscosity model of a surface run.
//
// The literal constants of the correlations are single-precision values: each
// is written as its float literal and used in double precision, so that the
// numbers are exactly those the correlations were fitted with in single
// precision. The four clamp values of the model constants are given with all
// their digits: they are the double values of the formulas at the clamp
// points, so both constants are continuous there.
#include "solver/boundary_layer/closures.h"

#include <cmath>

namespace sorvane::bl {
namespace {

constexpr double sp(float v) { return static_cast<double>(v); }

// Outer constant alpha(Rtheta): the cubic in log10(Rtheta) between 100 and
// 10000, its end values outside.
constexpr double kAlphaHigh = 0.016799973332135565;  // cubic at log10 = 4
constexpr double kAlphaLow = 0.04149999052705189;    // cubic at log10 = 2
// Inner constants below z = 0.001 Rtheta = 0.3: the formulas at z = 0.3.
constexpr double kKappa2Low = 0.3386947953279083;
constexpr double kAPlusLow = 38.844036612965404;

double outer_constant(double rtheta) {
  if (rtheta > 10000.0) return kAlphaHigh;
  // A Reynolds number that is not a number counts as a low one: it never
  // reaches the logarithm.
  if (!(rtheta >= 100.0)) return kAlphaLow;
  const double L = std::log10(rtheta);
  return sp(0.001f) * (sp(194.8f) - sp(128.6f) * L + sp(30.925f) * L * L - sp(2.475f) * L * L * L);
}

void inner_constants(double rtheta, double& kappa2, double& aplus) {
  const double z = sp(0.001f) * rtheta;
  if (!(z >= sp(0.3f))) {
    kappa2 = kKappa2Low;
    aplus = kAPlusLow;
    return;
  }
  aplus = 26.0 + 14.0 / (1.0 + z * z);
  const double kappa = sp(0.4f) + sp(0.19f) / (1.0 + sp(0.49f) * z * z);
  kappa2 = kappa * kappa;
}

// Intermittency of station i, growing from the origin m = ntr - 1 (three
// stations before the first turbulent station). G is the spot-formation
// measure: G > 10 counts as fully turbulent.
//
// Undefined values are resolved towards the fully turbulent limit that the
// formula approaches: an origin upstream of the first station (ntr not set),
// a zero edge velocity inside the integral of dx/ue, a zero edge viscosity or
// a zero (or negative) Reynolds number at the origin all make G infinite or
// undefined, and give gamma = 1. A station upstream of the origin (i < ntr)
// has an empty integral, G = 0 and gamma = 0.
double intermittency(const SurfaceRun& r, int i) {
  if (r.ntr < 2) return 1.0;
  if (i < r.ntr) return 0.0;
  const int m = r.ntr - 1;
  double S = 0.0;  // trapezoidal integral of dx/ue from x(m) to x(i)
  for (int l = m + 1; l <= i; ++l) {
    S += ((1.0 / r.ue(l - 1) + 1.0 / r.ue(l)) / 2.0) * (r.x(l) - r.x(l - 1));
  }
  const double U = r.ue(i) * r.u8;
  const double nu = r.emue(i) / r.roe(i);
  const double G = sp(0.000835f) * U * U * U * (r.x(i) - r.x(m)) * (S / r.u8) /
                   (nu * nu * std::pow(r.rx(m), sp(1.34f)));
  if (!std::isfinite(G)) return 1.0;
  if (G > 10.0) return 1.0;
  return 1.0 - std::exp(-G);
}

}  // namespace

void TRANSITION_CHECK(SurfaceRun& r, int k, int flag) {
  const double Rx = r.rx(k);
  // Both correlations hold for a positive Reynolds number only; at the
  // stagnation point (Rx = 0) the first would give a critical value of 0.
  if (!(Rx > 0.0)) return;
  const double R = flag == 1 ? sp(1.535f) * std::pow(Rx, sp(0.444f))
                             : sp(1.174f) * (1.0 + 22400.0 / Rx) * std::pow(Rx, sp(0.46f));
  if (r.rtheta(k) > R) r.xtr = r.x(k);
}

void BL_EDDY_VISCOSITY(SurfaceRun& r, int i) {
  const int N = r.np;
  if (N < 1) return;
  (void)r.b(3, N);  // checked access: the tables hold point N
  (void)r.eta(N);
  const double rtheta = r.rtheta(i - 1);
  const double alpha = outer_constant(rtheta);
  double kappa2 = 0.0, aplus = 0.0;
  inner_constants(rtheta, kappa2, aplus);

  const double* u3 = &r.u(3, 1);
  const double* v3 = &r.v(3, 1);
  const double* ro3 = &r.ccro(3, 1);
  const double* mu3 = &r.ccmu(3, 1);
  const double* eta = r.eta.data();
  const double* aa = r.aa.data();
  constexpr int L = kProfileLevels;  // stride of one grid point in a level table

  // Point of the largest shear (the first on ties), and the integral of u
  // with the wall velocity taken as 0.
  int jmax = 1;
  double vmax = std::fabs(v3[0]);
  double I = 0.0;
  double uprev = 0.0;
  for (int j = 2; j <= N; ++j) {
    const double vj = std::fabs(v3[(j - 1) * L]);
    if (vj > vmax) {
      vmax = vj;
      jmax = j;
    }
    const double uj = u3[(j - 1) * L];
    I += aa[j - 1] * (uprev + uj);
    uprev = uj;
  }
  const double delta = r.ue(i) * eta[N - 1] - I;  // ue times the displacement thickness
  const double gamma = intermittency(r, i);

  // Damping rate from the friction velocity of the largest shear.
  const double D = std::sqrt(r.sqre) * std::sqrt(vmax * mu3[(jmax - 1) * L]) / aplus;
  const double outer_base = alpha * r.sqre * delta * gamma;
  const double inner_base = kappa2 * r.sqre * gamma;

  double* b3 = &r.b(3, 1);
  bool inner = true;
  for (int j = 1; j <= N; ++j) {
    const int p = (j - 1) * L;
    const double rho = ro3[p];
    const double c = mu3[p];
    const double eo = outer_base * rho / c;
    double value = eo;
    if (inner) {
      const double e = eta[j - 1];
      const double damp = 1.0 - std::exp(-std::sqrt(rho) * D * e / c);
      const double ei = inner_base * e * e * damp * damp * std::fabs(v3[p]) * rho / c;
      if (!std::isfinite(ei) || !std::isfinite(eo)) {
        // A point whose coefficients give no finite value (a zero viscosity
        // ratio, a negative density ratio) gets no eddy viscosity and does
        // not decide where the outer layer begins.
        value = 0.0;
      } else if (ei < eo) {
        value = ei;
      } else {
        inner = false;  // from here on the outer value, never inner again
      }
    } else if (!std::isfinite(value)) {
      value = 0.0;
    }
    b3[p] = value;
  }
}

// Envelope amplification test: the amplification N of the most unstable
// Tollmien-Schlichting wave, linear in Rtheta from its critical value.
//
// flag 1, Drela and Giles (1987):
//   log10 Rtheta0 = (1.415/(H-1) - 0.489) tanh(20/(H-1) - 12.9) + 3.295/(H-1) + 0.44
//   dN/dRtheta    = 0.01 sqrt((2.4 H - 3.7 + 2.5 tanh(1.5 H - 4.65))^2 + 0.25)
// other flags, Drela's later fits of the same envelope, as used in XFOIL:
//   log10 Rtheta0 = 2.492 (1/(H-1))^0.43 + 0.7 (tanh(14/(H-1) - 9.24) + 1)
//   dN/dRtheta    = 0.028 (H-1) - 0.0345 exp(-(3.87/(H-1) - 2.52)^2)
// Transition where N = (Rtheta - Rtheta0) dN/dRtheta exceeds 9 past the
// critical value. A shape factor of 1 or less gives no finite critical value
// and no transition.
void TRANSITION_ENVELOPE(SurfaceRun& r, int k, int flag) {
  const double H = r.h12(k);
  if (!(H > 1.0)) return;
  const double hm = 1.0 / (H - 1.0);
  double log_r0 = 0.0, slope = 0.0;
  if (flag == 1) {
    log_r0 = (sp(1.415f) * hm - sp(0.489f)) * std::tanh(20.0 * hm - sp(12.9f)) + sp(3.295f) * hm +
             sp(0.44f);
    const double t = sp(2.4f) * H - sp(3.7f) + sp(2.5f) * std::tanh(sp(1.5f) * H - sp(4.65f));
    slope = sp(0.01f) * std::sqrt(t * t + sp(0.25f));
  } else {
    log_r0 =
        sp(2.492f) * std::pow(hm, sp(0.43f)) + sp(0.7f) * (std::tanh(14.0 * hm - sp(9.24f)) + 1.0);
    const double t = sp(3.87f) * hm - sp(2.52f);
    slope = sp(0.028f) * (H - 1.0) - sp(0.0345f) * std::exp(-t * t);
  }
  const double r0 = std::pow(10.0, log_r0);
  const double n = (r.rtheta(k) - r0) * slope;
  if (n > 9.0 && r.rtheta(k) > r0) r.xtr = r.x(k);
}

// H-Rx test of Wazzan, Gazley and Smith (1981): transition where log10 Rx
// exceeds a cubic in the shape factor.
void TRANSITION_H_REX(SurfaceRun& r, int k) {
  const double H = r.h12(k);
  const double limit =
      sp(3.3819f) * H * H * H - sp(26.7538f) * H * H + sp(64.8066f) * H - sp(40.4557f);
  if (std::log10(r.rx(k)) > limit) r.xtr = r.x(k);
}

}  // namespace sorvane::bl

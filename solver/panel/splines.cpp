// Contour splines and tube smoothing: the cubic spline fit of a contour, its
// evaluation, and the smoothing of a row of ordinates by a natural spline
// that stays inside a tube around them.
#include "solver/panel/splines.h"

#include <cmath>

#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {

namespace {

// Records of the smoothing on standard output.
struct SplineFormats {
  text::Format passLimit{"(/3X,10HKI GT 10*L,/)"};  // the pass limit 10*n was reached
};

const SplineFormats& formats() { return text::listing_table<SplineFormats>(); }

}  // namespace

void SPLINE_COEF(double e1, double e2, double h, int n, const double* x, const double* y,
                 double* M, int endFlag, SplineWork& work) {
  // The work arrays hold kSplinePoints points; a longer row would overrun
  // them (the reader refuses such contours, so this is only a guard).
  if (n < 1 || n > kSplinePoints) return;
  if (n == 1) {
    M[0] = endFlag == 1 ? 0.0 : e1;
    return;
  }

  // Rows j = 1..n as P(j)*M(j-1) + 2*M(j) + Q(j)*M(j+1) = R(j), 0-based here.
  double* H = work.H;
  double* P = work.P;
  double* Q = work.Q;
  double* R = work.R;
  double* D = work.D;
  double* U = work.U;
  double* Z = work.Z;

  for (int j = 0; j < n - 1; ++j) H[j] = h != 0.0 ? h : x[j + 1] - x[j];

  if (endFlag == 1) {
    Q[0] = 1.0;
    R[0] = 6.0 * ((y[1] - y[0]) / H[0] - e1) / H[0];
  } else {
    Q[0] = 0.0;
    R[0] = 2.0 * e1;
  }
  P[0] = 0.0;
  for (int j = 1; j < n - 1; ++j) {
    const double lambda = H[j] / (H[j - 1] + H[j]);
    Q[j] = lambda;
    P[j] = 1.0 - lambda;
    R[j] = 6.0 * ((y[j + 1] - y[j]) / H[j] - (y[j] - y[j - 1]) / H[j - 1]) /
           (H[j - 1] + H[j]);
  }
  if (endFlag == 1) {
    P[n - 1] = 1.0;
    R[n - 1] = 6.0 * (e2 - (y[n - 1] - y[n - 2]) / H[n - 2]) / H[n - 2];
  } else {
    P[n - 1] = 0.0;
    R[n - 1] = 2.0 * e2;
  }
  Q[n - 1] = 0.0;

  // Forward sweep without pivoting, then back substitution.
  D[0] = 2.0;
  Z[0] = 0.5 * R[0];
  for (int j = 1; j < n; ++j) {
    U[j - 1] = -Q[j - 1] / D[j - 1];
    D[j] = 2.0 + P[j] * U[j - 1];
    Z[j] = (R[j] - P[j] * Z[j - 1]) / D[j];
  }
  M[n - 1] = Z[n - 1];
  for (int j = n - 2; j >= 0; --j) M[j] = U[j] * M[j + 1] + Z[j];
}

void SPLINE_COEF(double e1, double e2, double h, int n, const double* x, const double* y,
                 double* M, int endFlag) {
  SplineWork work;
  SPLINE_COEF(e1, e2, h, n, x, y, M, endFlag, work);
}

void SPLINE_EVAL(int n, const double* x, const double* y, const double* M, double t,
                 double& value, double& slope, double& curvature) {
  if (n < 2) {  // a single point: a constant
    value = n == 1 ? y[0] : 0.0;
    slope = 0.0;
    curvature = 0.0;
    return;
  }
  // Interval i (0-based) with x(i) < t <= x(i+1). The search stops at the
  // last interval, so a t beyond x(n) is evaluated there instead of reading
  // past the end of the rows; a t below x(1) is evaluated on the first.
  int i = 0;
  while (i < n - 2 && t > x[i + 1]) ++i;

  const double A = x[i + 1] - t;
  const double B = t - x[i];
  const double H = x[i + 1] - x[i];
  const double Mi = M[i];
  const double Mj = M[i + 1];
  value = (Mi * A * A * A / 6.0 + Mj * B * B * B / 6.0 + (y[i] - Mi * H * H / 6.0) * A +
           (y[i + 1] - Mj * H * H / 6.0) * B) /
          H;
  slope = (Mj * B * B - Mi * A * A) * 0.5 / H + (y[i + 1] - y[i]) / H - (Mj - Mi) * H / 6.0;
  curvature = (Mi * A + Mj * B) / H;
}

void SPLINE_TUBE_SMOOTH(int n, const double* t, const double* y, const double* w, double* s,
                        SmoothWork& work) {
  if (n <= 0) return;
  // The work arrays hold kSmoothPoints points; a longer row is left as it
  // is (the reader refuses such contours, so this is only a guard).
  if (n > kSmoothPoints) {
    for (int i = 0; i < n; ++i) s[i] = y[i];
    return;
  }

  double* c = work.c;
  double* lo = work.lo;
  double* hi = work.hi;
  bool* held = work.held;
  double* d = work.d;
  double* r = work.r;
  double* sv = work.sv;
  double* at = work.at;
  double* ay = work.ay;
  double* aM = work.aM;
  int* ai = work.ai;

  for (int i = 0; i < n; ++i) {
    s[i] = c[i] = y[i];
    lo[i] = y[i] - w[i];
    hi[i] = y[i] + w[i];
    held[i] = w[i] <= 1e-6;
    d[i] = 0.0;
    r[i] = 1.0;
  }

  // The anchor list: the held points in order, with their current values.
  int na = 0;
  auto collect_anchors = [&]() {
    na = 0;
    for (int i = 0; i < n; ++i) {
      if (!held[i]) continue;
      at[na] = t[i];
      ay[na] = c[i];
      ai[na] = i;
      ++na;
    }
  };
  collect_anchors();

  int pass = 1;
  for (;;) {
    if (pass > 10 * n) {
      text::units().write(text::Units::std_unit(state().LUSTD), formats().passLimit, {});
      return;
    }
    // A spline needs two anchors; with fewer nothing can move.
    if (na < 2) return;
    SPLINE_COEF(0.0, 0.0, 0.0, na, at, ay, aM, 0, work.fit);
    ++pass;

    double rmin = 1.0;
    for (int i = 0; i < n; ++i) {
      if (held[i]) continue;
      double slope, curv;
      SPLINE_EVAL(na, at, ay, aM, t[i], sv[i], slope, curv);
      d[i] = sv[i] - c[i];
      if (std::fabs(d[i]) < 1e-8) {
        d[i] = 0.0;
        r[i] = 1.0;
      } else if (d[i] < 0.0) {
        r[i] = (lo[i] - c[i]) / d[i];
      } else if (d[i] > 0.0) {
        r[i] = (hi[i] - c[i]) / d[i];
      }
      if (r[i] < rmin) rmin = r[i];
    }

    bool newlyHeld = false;
    for (int i = 0; i < n; ++i) {
      if (held[i]) continue;
      s[i] = c[i] + rmin * d[i];
      if (std::fabs(r[i] - rmin) <= 1e-8) {
        held[i] = true;
        newlyHeld = true;
      }
    }
    if (!newlyHeld) return;

    for (int i = 0; i < n; ++i) c[i] = s[i];
    collect_anchors();
    SPLINE_COEF(0.0, 0.0, 0.0, na, at, ay, aM, 0, work.fit);

    // Release the anchors that the spline no longer presses against their
    // tube edge. An anchor without a neighbour on each side stays held.
    for (int a = 1; a < na - 1; ++a) {
      const int i = ai[a];
      if (w[i] < 1e-6) continue;
      const double Mbar =
          aM[a - 1] + (aM[a + 1] - aM[a - 1]) * (t[i] - at[a - 1]) / (at[a + 1] - at[a - 1]);
      const double Mi = aM[a];
      const bool atUpper = Mi > Mbar && hi[i] - c[i] <= 1e-6;
      const bool atLower = Mi < Mbar && lo[i] - c[i] >= -1e-6;
      if (!atUpper && !atLower) held[i] = false;
    }
    collect_anchors();
  }
}

void SPLINE_TUBE_SMOOTH(int n, const double* t, const double* y, const double* w, double* s) {
  SmoothWork work;
  SPLINE_TUBE_SMOOTH(n, t, y, w, s, work);
}

}  // namespace sorvane

// Contour splines and tube smoothing.
//
// Arrays are 1-based in the routines' description; here they are passed as
// pointers to element 1 (x[0] is x(1)). Every abscissa row must increase
// strictly. Capacities: SPLINE_COEF holds kSplinePoints (601) points,
// SPLINE_TUBE_SMOOTH kSmoothPoints (201); callers check them.
//
// The routines keep nothing between calls: their work arrays are an object
// the caller owns and passes in (the element geometry passes the ones of its
// own work object). The forms without a work argument make one of their own
// for the call.
#pragma once

#include "solver/state/problem_state.h"

namespace sorvane {

// Work of one spline fit: rows j = 1..n as P(j)*M(j-1) + 2*M(j) +
// Q(j)*M(j+1) = R(j), 0-based, and the sweep that solves them.
struct SplineWork {
  double H[kSplinePoints];  // intervals
  double P[kSplinePoints];  // sub-diagonal
  double Q[kSplinePoints];  // super-diagonal
  double R[kSplinePoints];  // right-hand side
  double D[kSplinePoints];  // sweep: pivots
  double U[kSplinePoints];  // sweep: multipliers
  double Z[kSplinePoints];  // sweep: reduced right-hand side
};

// Work of one tube smoothing: per point and for the anchor list, and the
// work of its spline fits.
struct SmoothWork {
  double c[kSmoothPoints];   // current values
  double lo[kSmoothPoints];  // lower tube bound
  double hi[kSmoothPoints];  // upper tube bound
  bool held[kSmoothPoints];  // held (anchor) or free
  double d[kSmoothPoints];   // step towards the spline
  double r[kSmoothPoints];   // fraction of the step to the tube edge
  double sv[kSmoothPoints];  // spline value
  double at[kSmoothPoints];  // anchors: abscissae
  double ay[kSmoothPoints];  // anchors: values
  double aM[kSmoothPoints];  // anchors: second derivatives
  int ai[kSmoothPoints];     // anchors: point index
  SplineWork fit;            // the anchors' spline
};

// Second derivatives M(1..n) of the interpolating cubic spline through
// (x, y). endFlag 1: e1, e2 are the end slopes; otherwise the end second
// derivatives. h != 0: every interval is h and x is not read.
void SPLINE_COEF(double e1, double e2, double h, int n, const double* x, const double* y,
                 double* M, int endFlag, SplineWork& work);
void SPLINE_COEF(double e1, double e2, double h, int n, const double* x, const double* y,
                 double* M, int endFlag);

// Value, slope and curvature of the spline at t. The interval search stops
// at the last interval (n-1), so a t beyond x(n) is evaluated there.
void SPLINE_EVAL(int n, const double* x, const double* y, const double* M, double t,
                 double& value, double& slope, double& curvature);

// Smoothed ordinates s(1..n): a natural spline kept inside the tube
// y(i) +- w(i). Writes "(/3X,10HKI GT 10*L,/)" to standard output when the pass
// limit 10*n is reached.
void SPLINE_TUBE_SMOOTH(int n, const double* t, const double* y, const double* w, double* s,
                        SmoothWork& work);
void SPLINE_TUBE_SMOOTH(int n, const double* t, const double* y, const double* w, double* s);

}  // namespace sorvane

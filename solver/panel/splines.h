// Contour splines and tube smoothing.
//
// Arrays are 1-based in the routines' description; here they are passed as
// pointers to element 1 (x[0] is x(1)). Every abscissa row must increase
// strictly. Capacities: SPLINE_COEF holds kSplinePoints (601) points,
// SPLINE_TUBE_SMOOTH kSmoothPoints (201); callers check them.
#pragma once

namespace sorvane {

// Second derivatives M(1..n) of the interpolating cubic spline through
// (x, y). endFlag 1: e1, e2 are the end slopes; otherwise the end second
// derivatives. h != 0: every interval is h and x is not read.
void SPLINE_COEF(double e1, double e2, double h, int n, const double* x, const double* y,
                 double* M, int endFlag);

// Value, slope and curvature of the spline at t. The interval search stops
// at the last interval (n-1), so a t beyond x(n) is evaluated there.
void SPLINE_EVAL(int n, const double* x, const double* y, const double* M, double t,
                 double& value, double& slope, double& curvature);

// Smoothed ordinates s(1..n): a natural spline kept inside the tube
// y(i) +- w(i). Writes "(/3X,10HKI GT 10*L,/)" to standard output when the pass
// limit 10*n is reached.
void SPLINE_TUBE_SMOOTH(int n, const double* t, const double* y, const double* w, double* s);

}  // namespace sorvane

// Element geometry: panel nodes of every element in its chord frame.
#pragma once

#include <string>

#include "solver/panel/splines.h"
#include "solver/state/problem_state.h"

namespace sorvane {

// Work arrays of one element pass (0-based: index i-1 holds row i; station
// arrays are indexed by j directly), with the work of its spline fit and
// tube smoothing. Every pass fills what it reads; nothing carries over from
// one pass to the next. The panel solution owns the one it passes in.
struct GeometryWork {
  static constexpr int kMaxNodes = kControlRows;          // N + 1 <= 600
  static constexpr int kMaxStations = kMaxNodes / 2 + 2;  // j = 0..m+1 with m <= 299

  double XP[kContourRows], YP1[kContourRows], YP[kContourRows];
  double TPC[kContourRows], DP[kContourRows], M[kContourRows];
  // Stations of the t > 0 branch (XT) and of the t < 0 branch (XTH; the same
  // as XT for even N while both branches end at the same trailing-edge x),
  // node ordinates, square roots of the stations, panel mid parameters and
  // slopes there.
  double XT[kMaxStations], XTH[kMaxStations];
  double YB[kMaxStations], YH[kMaxStations], TT[kMaxStations], SS[kMaxStations];
  double SB[kMaxStations], SH[kMaxStations];
  double TMB[kMaxStations], TMH[kMaxStations];
  double DB[kMaxStations], DH[kMaxStations];
  // Nodes 1..N+1 of the element (index i-1).
  double nodeX[kMaxNodes], nodeY[kMaxNodes], nodeT[kMaxNodes];
  SplineWork spline;   // the contour spline y(t)
  SmoothWork smooth;   // the tube smoothing
};

// Builds XPN0/YPN0 (and XPN/YPN, TP, TETC, DYDT, ILE, COSSWEPT, and with
// IPOS = 1 the placement values) for elements 1..NELEM from their contours.
// Returns "" or, for degenerate input (zero chord, contour rows out of order,
// too few points, a contour that encloses no area), one message naming the
// element and the fault (rows as the geometry file counts them); the values
// written may then be non-finite.
std::string GEOM(GeometryWork& work);
// The same with a work object of its own for the call.
std::string GEOM();

// The chord of element k's contour as panelled: the largest distance of one
// of its panel nodes XPN, YPN (rows 1..NPANELS(k)+1) from the midpoint of
// its trailing edge, the first and the last node. 0 when the element has no
// panels (or more nodes than the arrays hold).
double panelled_chord(int k);

}  // namespace sorvane

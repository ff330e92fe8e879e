// The leading-edge row of an element's contour: the trailing-edge midpoint
// the element frame is built from, the contour point farthest from it, and
// the check that a named row gives the element a chord.
#pragma once

#include <string>

namespace sorvane {

// Chord through the named leading-edge row, relative to the contour's
// extent from its trailing-edge midpoint, below which the row counts as
// mistyped. Measured on every example, every kept input and every exact case
// of the tests (the Williams two-element case, Karman-Trefftz and NACA
// sections, slat, main element and flap): the rows they name (or the point
// farthest from the trailing edge, where they leave the row open) give
// 0.9997 to 1, and every row within a twentieth of the contour's point count
// of the nose gives 0.97 or more. The rows next to the trailing edge give
// 0.00006 to 0.006 on those cosine-spaced tables, and about 0.1 on a table
// of ten evenly spaced stations per surface. A row whose chord is less than
// half the extent lies on the rear half of the contour: through it the
// element frame is tilted and shortened, and the element is placed and
// solved as another shape than its contour.
constexpr double kLeadingEdgeChordRatio = 0.5;

// A contour's trailing-edge midpoint (the mean of its first and last
// points) and its reach from there.
struct ContourReach {
  double xm = 0, ym = 0;  // trailing-edge midpoint
  int farthestRow = 0;    // 1-based row farthest from it (the first on ties; 0 for no points)
  double extent = 0;      // that distance
};

// x, y: contour rows 1..n at [0..n-1].
ContourReach contour_reach(const double* x, const double* y, int n);

// Distance from the trailing-edge midpoint of reach to contour row `row`
// (1-based): the chord of a frame whose leading edge is that row.
double chord_through_row(const ContourReach& reach, const double* x, const double* y, int row);

// Whether leading-edge row `row` (1-based) gives a chord of at least
// kLeadingEdgeChordRatio times the contour's extent. A contour whose
// distances are not finite passes: the solution reports it itself.
struct LeadingEdgeRowCheck {
  bool ok = true;
  double chord = 0;  // through the row
  ContourReach reach;
};
LeadingEdgeRowCheck check_leading_edge_row(const double* x, const double* y, int n, int row);

}  // namespace sorvane

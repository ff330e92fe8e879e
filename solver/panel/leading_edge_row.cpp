// The leading-edge row of an element's contour. The element geometry builds
// its frame from the trailing-edge midpoint and the leading-edge row (or,
// without a row, the point farthest from that midpoint); the geometry reader
// checks with the same distances that the row a file names gives a chord.
#include "solver/panel/leading_edge_row.h"

#include <cmath>

namespace sorvane {

ContourReach contour_reach(const double* x, const double* y, int n) {
  ContourReach r;
  if (n < 1) return r;
  r.xm = 0.5 * (x[0] + x[n - 1]);
  r.ym = 0.5 * (y[0] + y[n - 1]);
  double far = -1.0;
  for (int i = 0; i < n; ++i) {
    const double dx = x[i] - r.xm, dy = y[i] - r.ym;
    const double d2 = dx * dx + dy * dy;
    if (d2 > far) {
      far = d2;
      r.farthestRow = i + 1;
    }
  }
  r.extent = std::sqrt(far);
  return r;
}

double chord_through_row(const ContourReach& reach, const double* x, const double* y, int row) {
  const double dx = reach.xm - x[row - 1];
  const double dy = reach.ym - y[row - 1];
  return std::sqrt(dx * dx + dy * dy);
}

LeadingEdgeRowCheck check_leading_edge_row(const double* x, const double* y, int n, int row) {
  LeadingEdgeRowCheck c;
  if (n < 1 || row < 1 || row > n) return c;
  c.reach = contour_reach(x, y, n);
  c.chord = chord_through_row(c.reach, x, y, row);
  if (std::isfinite(c.chord) && std::isfinite(c.reach.extent))
    c.ok = !(c.chord < kLeadingEdgeChordRatio * c.reach.extent);
  return c;
}

}  // namespace sorvane

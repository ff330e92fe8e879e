// The counts the tables of the problem state can hold, each rule in one
// place: the geometry reader, the solvers and the windows ask these.
#pragma once

#include "solver/state/problem_state.h"

namespace sorvane {

// Panels of one element: 2 to kMaxPanels (nodes 1..N+1 and control points
// 1..N+1 must fit the tables).
constexpr bool panel_count_allowed(int npanels) {
  return npanels >= 2 && npanels <= kMaxPanels;
}

// Equations of the panel system, the sum of NPANELS(k) + 1 over the
// elements: at most kMaxEquations.
constexpr bool equation_count_allowed(int equations) { return equations <= kMaxEquations; }

// Elements of a configuration: 1 to kMaxElements.
constexpr bool element_count_allowed(int nelem) { return nelem >= 1 && nelem <= kMaxElements; }

// An element named by its index from 0 (the entries between subsystems):
// 0..kMaxElements-1.
constexpr bool element_index_allowed(int ielem) { return ielem >= 0 && ielem < kMaxElements; }

// Contour points of one element: the tube smoothing (ISMOOTH = 1) holds
// kSmoothPoints, the contour spline kSplinePoints.
constexpr int contour_point_capacity(int ismooth) {
  return ismooth == 1 ? kSmoothPoints : kSplinePoints;
}

// The elements a loop over the tables may visit: the count clamped to
// 0..kMaxElements.
constexpr int addressable_elements(int nelem) {
  return nelem < 0 ? 0 : (nelem > kMaxElements ? kMaxElements : nelem);
}

// The panels of an element whose rows a loop may visit: the count clamped to
// 0..kMaxPanels.
constexpr int addressable_panels(int npanels) {
  return npanels < 0 ? 0 : (npanels > kMaxPanels ? kMaxPanels : npanels);
}

}  // namespace sorvane

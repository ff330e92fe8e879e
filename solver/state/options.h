// The option flags of a geometry file (ICOMPR, ITE, IPOS, IBL) as the
// program applies them. A file may hold any integer in each flag; these
// functions are the one reading of every value, used by the solvers that act
// on a flag and by the windows that show it, so that a control always shows
// the choice the numbers were computed with.
#pragma once

namespace sorvane {

// Compressibility correction of the pressure coefficients. The values are
// the indices of the window's radios "No", "Prandtl-Glauret",
// "Karman-Tsien", "Laitone".
enum class Compressibility : int {
  kNone = 0,
  kPrandtlGlauert = 1,
  kKarmanTsien = 2,
  kLaitone = 3,
};

// ICOMPR 1, 2, 3: Prandtl-Glauert, Karman-Tsien, Laitone; any other value
// (0 is the window's "No"): no correction.
inline Compressibility compressibility_correction(int icompr) {
  switch (icompr) {
    case 1: return Compressibility::kPrandtlGlauert;
    case 2: return Compressibility::kKarmanTsien;
    case 3: return Compressibility::kLaitone;
    default: return Compressibility::kNone;
  }
}

// Trailing-edge condition of each element.
enum class TrailingEdge : int {
  kAdditionalPoint = 0,  // "Add.Point": a control point behind the trailing edge
  kEqualPressure = 1,    // "Cp EQ": the first and last vortex strengths sum to zero
};

// ITE 1: equal pressure; any other value (0 is the window's "Add.Point"):
// the additional control point.
inline TrailingEdge te_condition(int ite) {
  return ite == 1 ? TrailingEdge::kEqualPressure : TrailingEdge::kAdditionalPoint;
}

// IPOS 1: every solution derives XX, YY, XAX, YAX and DFL from the contour;
// any other value (0 from the window): the stored placement values are used.
inline bool placement_from_contour(int ipos) { return ipos == 1; }

// IBL 1 or -1: the file carries the boundary-layer record and the two
// transition positions of every element; any other value: it does not.
inline bool boundary_layer_records(int ibl) { return ibl == 1 || ibl == -1; }

// The window offers the boundary-layer run ("BL Calculation", "Re mill=",
// "Xtru=", "Xtrl=") for IBL 1 only: -1 carries the records without asking
// for the run, and any other value carries no records to run from.
inline bool boundary_layer_offered(int ibl) { return ibl == 1; }

}  // namespace sorvane

// The problem state: the one set of process-wide values through which the
// geometry reader, the panel solver, the boundary-layer solver and the windows
// exchange all their data.
//
// There is exactly one instance, returned by state(). It has static storage,
// starts zeroed and is never freed or cleared as a whole. Arrays are 1-based,
// first index fastest: X(i,k) is row i of element k; station arrays are
// (i,k,s) with station i, element k, surface s (1 upper, 2 lower).
//
// At the entries between subsystems elements count from 0; element_row() and
// surface_index() convert such an argument to the 1-based table index.
#pragma once

#include <vector>

#include "solver/state/arrays.h"

namespace sorvane {

// Capacities of the tables.
constexpr int kMaxElements = 5;
constexpr int kContourRows = 1200;        // contour table rows per element
constexpr int kSplinePoints = 601;        // points a contour spline holds
constexpr int kSmoothPoints = 201;        // points the tube smoothing holds
constexpr int kMirroredRows = 600;        // rows of a mirrored point table
constexpr int kNodeRows = 1200;           // panel node rows per element
constexpr int kControlRows = 600;         // control point rows per element
constexpr int kMaxPanels = 599;           // NPANELS(k) <= 599
constexpr int kMaxEquations = 1199;       // sum of NPANELS(k)+1
constexpr int kEliminationStore = 361210; // reals in the elimination store c
constexpr int kStations = 600;            // boundary-layer stations per surface
constexpr int kMaxLayerPoints = 821;      // points across the boundary layer
constexpr int kPathLength = 80;           // characters of the input path
// Characters of the solution's message and remark. The longest text the
// panel solution builds is the remark on a swept solution with five
// elements below Cp*: 287 characters with every number as wide as %g
// writes it.
constexpr int kSolutionTextLength = 320;

// Outcome of the last panel solution, so that the windows can say why no
// numbers are shown instead of showing non-finite ones.
enum class SolutionStatus : int {
  kNone = 0,     // no solution yet
  kOk = 1,       // the last solution is valid
  kFailed = 2,   // the last solution failed; SOLUTION_MESSAGE says why
};

struct ProblemState {
  // Flow conditions and reference values.
  double ALPHA;      // angle of attack, degrees
  double MACH;       // free-stream Mach number
  double SWEPT;      // sweep angle, degrees
  double BREF;       // reference chord of the configuration totals
  double REMILL;     // Reynolds number in millions
  double ALPHA_EFF;  // effective angle of attack, degrees
  double COSSWEPT;   // cosine of the sweep angle (single-precision pi)
  double PI;         // 3.141592653589793
  double RAD;        // PI/180
  double XREF, YREF; // moment reference point of the configuration

  // Options, counts and levels.
  int NELEM;     // number of elements, 1..5
  int ICOMPR;    // 1 Prandtl-Glauert, 2 Karman-Tsien, 3 Laitone, else none
  int ITE;       // 1 equal trailing-edge strengths, else additional point
  int IPOS;      // 1 placement from the contour, else stored values
  int IBL;       // 1 or -1: the file carries boundary-layer records
  int NCOMPUTE;  // solution counter
  int IPRINT;    // listing detail level
  int NRHS;      // right-hand sides of the panel system, always 1
  double DADD;   // distance of the additional control point

  // Per-element values, k = 1..5.
  Array1<double, kMaxElements> BELEM;  // chord as read
  Array1<double, kMaxElements> CHORD;  // panel solver's copy of BELEM
  Array1<double, kMaxElements> DFL;    // deflection, degrees
  Array1<double, kMaxElements> XAX, YAX;  // rotation axis, element frame
  Array1<double, kMaxElements> XX, YY;    // axis position, configuration
  Array1<double, kMaxElements> DXM, DYM;  // moment point offset from (XX,YY)
  Array1<int, kMaxElements> NPANELS;      // panels of the element
  Array2<double, kMaxElements, 2> XTR;    // transition (k, s): 1 upper, 2 lower
  Array1<int, kMaxElements> ILE;          // contour row of the leading edge
  Array1<int, kMaxElements> ISMOOTH;      // 1 = smooth the contour
  Array1<int, kMaxElements> NCONT;        // contour points stored
  // Kept by the reader only.
  Array1<int, kMaxElements> NROWS;        // rows of the point table
  Array1<int, kMaxElements> ITAB;         // point-table layout
  Array1<double, kMaxElements> SCALE;     // coordinate scale factor

  // Contour tables, rows 1..NCONT(k).
  Array2<double, kContourRows, kMaxElements> X0, Y0, D0;

  // Panel geometry, rows 1..NPANELS(k)+1.
  Array2<double, kNodeRows, kMaxElements> XPN0, YPN0;  // nodes, element frame
  Array2<double, kNodeRows, kMaxElements> XPN, YPN;    // nodes, configuration
  Array2<double, kControlRows, kMaxElements> XC, YC;   // control points
  Array2<double, kNodeRows, kMaxElements> XC0, YC0;    // panel midpoints
  Array2<double, kNodeRows, kMaxElements> TP;          // node parameter t
  Array2<double, kControlRows, kMaxElements> TETC, DYDT;  // listing values

  // Panel solution.
  Array2<double, kNodeRows, kMaxElements> VGAMMA;  // rows 1..NPANELS(k)
  Array2<double, kNodeRows, kMaxElements> CP;      // rows 1..NPANELS(k)
  Array1<double, kMaxElements> CY, CX, MZ, CMZ0, CYB, CYGAMMA;
  double CYS, CXS, CMS, CYGAMMAS;

  // Outcome of the last solution (not a table of the solvers: the windows
  // read it to decide whether the numbers above may be shown). Both texts
  // hold the longest message the solution builds whole (see
  // kSolutionTextLength).
  SolutionStatus SOLUTION_STATUS;
  FixedText<kSolutionTextLength> SOLUTION_MESSAGE;
  // A valid solution's remark (locally supersonic flow, outside the range of
  // the compressibility correction: the numbers stand); blank otherwise,
  // also after a failed solution.
  FixedText<kSolutionTextLength> SOLUTION_REMARK;

  // Elimination store: allocated once, before the first solution, never freed;
  // its size grows, within that allocation, to what the largest system solved
  // so far needed.
  std::vector<double> c;

  // Boundary-layer inputs.
  int NP;        // points across the layer
  double ETAE;   // outer edge of the transformed normal coordinate
  double VGP;    // growth ratio of the normal grid spacing
  double CFSEP;  // separation threshold on the skin friction

  // Boundary-layer result store (i, k, s). Stations 1 and 2 of a surface
  // (the stagnation point and the similarity start) hold the arc length S
  // and the edge velocity UE of the split only: the march computes the
  // layer from station 3 on (kFirstMarchedStation of the boundary layer's
  // entries), and CF, D1, D2, RV, H12 and VW keep 0 there.
  Array3<double, kStations, kMaxElements, 2> S, UE, CF, D1, D2, RV, H12, VW;
  Array2<int, kMaxElements, 2> NX;     // station count per surface
  Array2<double, kMaxElements, 2> XINV;  // start of the region past separation
  Array1<int, kMaxElements> NXMAX;     // max(NX(k,1), NX(k,2))
  // Stations 1..NXDONE(k,s) hold results of the last boundary-layer run of
  // the surface (NX when it ran to the end; fewer when it stopped early; 0
  // when it was refused or has not run since the split). Stations beyond
  // hold no result: a reader must not show them as current.
  Array2<int, kMaxElements, 2> NXDONE;
  // SOLVED(i,k,s) is 1 when station i (1..NXDONE(k,s)) has a solution of
  // its own, 0 when it had none and the store holds its first guess as a
  // stand-in. Readers must not show a stand-in as a result. Stations 1 and
  // 2 are marked 1 for their edge velocity, the only value they hold.
  Array3<int, kStations, kMaxElements, 2> SOLVED;

  // Listing units and names.
  int LUINP, LUCPF, LUOUT, LUGEO, LUSUM, LUSTD, LUDEB, LUBLF, LUBLN, LUBLIN;
  FixedText<kPathLength> INPUT_NAME;  // the input path as read
  FixedText<kPathLength> OUT_NAME, CPF_NAME, DEB_NAME, BLF_NAME, SUM_NAME,
      GEO_NAME, BLN_NAME;
};

// The one instance.
ProblemState& state();

// Entry argument (0-based element) to table index (1-based); the argument is
// checked against the capacity.
inline int element_row(int element) {
  check_index("element", element + 1, kMaxElements);
  return element + 1;
}
// Surface argument (0 upper, 1 lower) to table index (1, 2).
inline int surface_index(int surface) {
  check_index("surface", surface + 1, 2);
  return surface + 1;
}

}  // namespace sorvane

// Element geometry: every element's contour turned into its panel nodes in
// its own chord frame.
//
// Per element: chord frame from the leading-edge row and the trailing-edge
// midpoint, leading-edge row search, parameter t = -sqrt(x) before the
// leading edge and +sqrt(x) after it, optional tube smoothing, a natural
// cubic spline y(t), and nodes at half-cosine stations on both branches.
//
// Choices made here where the method itself leaves room:
//
// * First frame with ILE = 0 (the first solution after a file that leaves the
//   leading-edge row open): the leading-edge point of that frame is the
//   contour point farthest from the trailing-edge midpoint (the first on
//   ties). In such a frame no chord-frame x can be negative, so the row
//   search finds nothing and the middle row (n + 1)/2 is stored, as for a
//   mirrored table, whenever the parameter it gives increases strictly.
//   For a contour whose middle row lies farther from the frame's row than
//   that (surfaces of unequal point counts), the middle row would put points
//   of one branch on the other and the first solution would fail on a sound
//   contour; the frame's own row is stored instead.
//
// * Leading-edge row named by the file: the geometry reader refuses a row
//   whose chord is short against the contour's extent from the trailing-edge
//   midpoint (leading_edge_row.h), with the distances this frame uses. A row
//   that step 4 stores in its place has a negative x in the frame of the row
//   before it, so it lies farther from the trailing edge: every later frame
//   has a chord at least as long.
//
// * Odd panel counts N = 2m + 1: the t > 0 branch keeps its m half-cosine
//   intervals (stations XT(j), nodes 1..m+1); the t < 0 branch gets m + 1
//   intervals on its own stations XT'(j) = 0.5(1 - cos(j PI/(m+1))) XP(1),
//   j = 0..m+1, and nodes m+1..N+1, so nodes 1..N+1 keep their order. Even N
//   is untouched by this. The GEOM4 and GEOM5 tables then show in row j the
//   t > 0 branch at its station j and the t < 0 branch at its station j
//   (TPH = -sqrt(XT'(j)); the XT column is the t > 0 station), and one more
//   row m+2 for the t < 0 branch's last station, where the t > 0 columns
//   repeat that branch's last station (both last stations lie at the
//   trailing-edge x; see the next point for ends that keep their own).
//
// * Trailing-edge ends: step 3 puts both end points at the mean of their
//   chord-frame x, so that both branches end at the same station. On a
//   blunt trailing edge whose ends lie apart in x (a cambered section with
//   a base) a finely spaced contour can have the row next to one end at or
//   behind that mean, and the parameter would not increase there although
//   the rows are in order. Only then each branch keeps the x of its own end
//   point: the parameter is taken from the contour's own x, each branch
//   gets its half-cosine stations up to its own end (XT for the t > 0
//   branch up to XP(n), XTH for the t < 0 branch up to XP(1)), and the
//   trailing-edge nodes are the contour's end points themselves. Wherever
//   the mean gives an increasing parameter, nothing of this applies.
//
// * Placement with IPOS = 1: the chord angle listed is atan(ey/ex), between
//   -90 and 90 degrees; the deflection stored is minus the angle of the
//   chord direction itself, so an element whose trailing edge lies upstream
//   of its leading edge is placed back onto its contour instead of being
//   turned by 180 degrees.
//
// * Degenerate input (too few or too many contour points, a leading-edge row
//   outside the contour, a panel count outside 2..599, a contour point that
//   is not a finite number, a zero chord, contour rows out of order, a
//   contour that encloses no area) ends that element's
//   pass before its spline is fitted: its nodes and placement values are left
//   untouched, its rows are left out of the closing tables, and the other
//   elements are still processed. The first fault found is returned.
#include "solver/panel/element_geometry.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "solver/panel/leading_edge_row.h"
#include "solver/panel/splines.h"
#include "solver/panel/table_rows.h"
#include "solver/state/limits.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"
#include "solver/state/result.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {
namespace {

// 0.01 and 3.14159 as single-precision values, used in double arithmetic.
constexpr double kTubeHalfWidth = 0.009999999776482582;
constexpr double kPiSingle = 3.1415901184082031;

// Records of the element geometry, by their place in the listing: r1 to r13
// on the main listing (r6 on the smoothing listing).
struct GeometryFormats {
  text::Format r1a{"(//,20h     INPUT subr.GEOM)"};
  text::Format r1h{"(5h    I,9x,2hX0,13x,2hY0,12h   AeroFoil=,i3)"};
  text::Format rowF6{"(i5,8f15.6)"};
  text::Format r2a{"(//,65(1h-))"};
  text::Format r2b{"(11H YGOL RAZV=,1F9.6,10H    CHORD=,1F9.6,7H    X0=,1F9.6,7H    Y0=,1F9.6)"};
  text::Format r3h{"(5h    I,9x,2hXP,13x,2hYP,13x,2hX0,13x,2hY0)"};
  text::Format r4a{"(//,7H N0min=,i5,7H X0min=,f8.4,7H  X_le=,f8.4,7h  Y_le=,f8.4)"};
  text::Format r4h{"(/3H  I,8X,1HX,13X,1HY,13X,1HD,12X,2HXP,12X,2HYP,12X,2HDP,5x,5hGEOM1)"};
  text::Format r4row{"(I3,6E14.5)"};
  text::Format slash{"(/)"};
  text::Format r5h{"(5h    I,7x,2hTP,13X,2hXP,13X,3hYP1,12X,2hYP)"};
  text::Format r5row{"(I5,6E15.6)"};
  text::Format r6a{"(8h Element,i2,8h     NP=,i3,5x,5hGEOM2)"};
  text::Format r6h{"(5h    i,6x,2hxp,8x,2hyp,7x,3hyp1,8x,2htp,8x,2hdp)"};
  text::Format r6row{"(i5,5f10.6)"};
  text::Format r8h{
      "(5h    i,9x,3hTPB,12x,3hTPH,12x,3h XT,12x,3h YB,12x,3h YH,11x, 3h  S,12x,3h  T,12x,"
      "4hTPBC,11x,4hTPHC,12x,4hY1BC,11x,4hY1HC,5x,5hGEOM4)"};
  text::Format r8row{"(I5,11F15.6)"};
  text::Format r9{"(/15X,24HRADIUS OF LEADING EDGE =,E12.5)"};
  text::Format r10h{"(/5H    I,8X,2HXT,13X,2HYB,13X,2HYH,13X,2HTT,13X,2HSS,5x,5hGEOM5)"};
  text::Format r10row{"(I5,5f15.6)"};
  text::Format r11a{"(/4H XX=,f10.5,4H YY=,f10.5,5H XAX=,f10.5,5H YAX=,f10.5)"};
  text::Format r11h{"(/5H    I,9X,4HXPN0,11X,4HYPN0,11X,4HXPN1,11X,4HYPN1,5x,5hGEOM6)"};
  text::Format r12a{"(9hNcompute=,i2)"};
  text::Format r12b{"(12h   AeroFoil=,i3)"};
  text::Format r12h{"(/5H    I,9X,3HXPN,12X,3HYPN,12x,1hX,12x,1hY)"};
  text::Format r12row{"(I5,6F15.6)"};
  text::Format r13a{"(//,20h    OUTPUT subr.GEOM)"};
  text::Format r13h{"(5h    I,9x,2h X,13x,2h Y,12h   AeroFoil=,i3)"};
  text::Format r13row{"(i5,2f15.6)"};
};

const GeometryFormats& formats() { return text::listing_table<GeometryFormats>(); }

// Spline value and slope at t on the current (TPC, YP, M) spline.
struct SplinePoint {
  double value, slope;
};
SplinePoint eval(const GeometryWork& w, int n, double t) {
  double v = 0.0, sl = 0.0, cv = 0.0;
  SPLINE_EVAL(n, w.TPC, w.YP, w.M, t, v, sl, cv);
  return {v, sl};
}

// Whether t = -sqrt(x) for rows 1..ile and +sqrt(x) after them increases
// strictly along the contour.
bool parameter_increases(const double* XP, int n, int ile) {
  double prev = -std::sqrt(XP[0]);
  for (int i = 1; i < n; ++i) {
    const double t = (i + 1 <= ile) ? -std::sqrt(XP[i]) : std::sqrt(XP[i]);
    if (!(t > prev)) return false;
    prev = t;
  }
  return true;
}

// Where the two branches end at the trailing edge (step 3).
enum class TrailingEdgeEnds {
  kShared,  // both at the mean chord-frame x of the two end points
  kOwn,     // each at its own end point's x
};

// The chord-frame x of the two end points as the contour gives them, before
// step 3 (shifted with the other rows in step 4).
struct EndPoints {
  double first = 0, last = 0;  // rows 1 and n
};

// A number of a message, with digits enough to tell rows apart that lie
// close together.
std::string fine_number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.8g", v);
  return buf;
}

// The first pair of contour rows whose parameter does not increase, with the
// contour's own x (ends included), as one message: the rows as the file
// counts them and what is wrong with them. "" when the rows are in order.
// The message fits the solution's message line (240 characters with its
// "Solution failed: ").
std::string order_fault(const ProblemState& s, int k, const double* XP, int n,
                        const EndPoints& ends) {
  const int ile = s.ILE(k);
  auto x = [&](int i) { return i == 0 ? ends.first : i == n - 1 ? ends.last : XP[i]; };
  auto t = [&](int i) { return i + 1 <= ile ? -std::sqrt(x(i)) : std::sqrt(x(i)); };
  const TableRows rows = TableRows::of(s.ITAB(k), s.NROWS(k), n);
  for (int i = 0; i + 1 < n; ++i) {
    if (t(i + 1) > t(i)) continue;
    const std::string a = rows.name(i + 1), b = rows.name(i + 2);
    // Two rows at the smallest x (a crossing of the leading edge is only
    // refused there): the parameter, +-sqrt(x), is 0 at both.
    if (x(i) == 0.0 && x(i + 1) == 0.0)
      return element_text(k) + a + " and " + b +
             " both lie at the leading edge, the smallest x along the chord: only one row may";
    const std::string pair = element_text(k) + a + " and " + b + " are out of order: ";
    const std::string le = "the leading edge (" + rows.name(ile) + ")";
    const std::string went = x(i) == x(i + 1)
                                 ? ", but both lie at x = " + fine_number(x(i))
                                 : ", not go from " + fine_number(x(i)) + " to " +
                                       fine_number(x(i + 1));
    if (i + 2 <= ile)
      return pair + "x along the chord must fall from the trailing edge to " + le + went;
    return pair + "x along the chord must rise from " + le + " to the trailing edge" + went;
  }
  return "";
}

// The checks that need nothing but the stored counts.
std::string check_counts(const ProblemState& s, int k) {
  const int n = s.NCONT(k);
  const int N = s.NPANELS(k);
  if (n < 3) return element_text(k) + std::to_string(n) + " contour points (at least 3 are needed)";
  const int cap = contour_point_capacity(s.ISMOOTH(k));
  if (n > cap)
    return element_text(k) + std::to_string(n) + " contour points, more than the " +
           std::to_string(cap) +
           (s.ISMOOTH(k) == 1 ? " the contour smoothing holds" : " the contour spline holds");
  if (s.ILE(k) < 0 || s.ILE(k) > n)
    return element_text(k) + "leading-edge row " + std::to_string(s.ILE(k)) + " outside 1.." +
           std::to_string(n);
  if (!panel_count_allowed(N))
    return element_text(k) + std::to_string(N) + " panels (2 to " + std::to_string(kMaxPanels) +
           " are allowed)";
  const double* x0 = s.X0.column(k);
  const double* y0 = s.Y0.column(k);
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x0[i]) || !std::isfinite(y0[i]))
      return element_text(k) + "contour point " + std::to_string(i + 1) + " is not a finite number";
  }
  return "";
}

// The element in hand: its counts and contour columns.
struct Element {
  int k;               // element
  int n;               // contour points
  int N;               // panels
  const double* x0;    // contour, input frame
  const double* y0;
  const double* d0;    // third contour column (listing only)
};

// The chord frame of step 1.
struct Frame {
  bool firstFrame;  // the pass started without a leading-edge row
  int row;          // contour row of the leading-edge point
  double xl, yl;    // leading-edge point, input frame
  double c;         // chord
  double ex, ey;    // chord direction
  double theta;     // chord angle listed, degrees, -90..90
  double thetaDir;  // angle of the chord direction itself (placement)
};

// Stations of the two branches (step 5).
struct Branches {
  int m;     // intervals of the t > 0 branch, N/2
  bool odd;  // N odd
  int mh;    // intervals of the t < 0 branch
};

// 1. Frame. A pass that starts without a leading-edge row takes the point
// farthest from the trailing-edge midpoint.
std::string step1_frame(ProblemState& s, const Element& e, Frame* f) {
  // The same midpoint and distances as the reader's check of the row.
  const ContourReach reach = contour_reach(e.x0, e.y0, e.n);
  f->firstFrame = s.ILE(e.k) == 0;
  f->row = f->firstFrame ? reach.farthestRow : s.ILE(e.k);
  f->xl = e.x0[f->row - 1];
  f->yl = e.y0[f->row - 1];
  const double dx = reach.xm - f->xl;
  const double dy = reach.ym - f->yl;
  f->c = chord_through_row(reach, e.x0, e.y0, f->row);
  if (!std::isfinite(f->c))
    return element_text(e.k) + "the chord is too long to compute (check the contour points)";
  if (f->c == 0.0)
    return element_text(e.k) + "zero chord (trailing-edge midpoint on the leading-edge point)";
  f->ex = dx / f->c;
  f->ey = dy / f->c;
  f->theta = std::atan(f->ey / f->ex) / s.RAD;
  // Angle of the chord direction itself, for the placement (see the top).
  f->thetaDir = f->theta;
  if (f->ex == 0.0) {
    f->thetaDir = std::copysign(90.0, f->ey);
  } else if (f->ex < 0.0) {
    f->thetaDir = f->theta > 0.0 ? f->theta - 180.0 : f->theta + 180.0;
  }
  const GeometryFormats& r = formats();
  text::Units& u = text::units();
  u.write(s.LUOUT, r.r2a, {});
  u.write(s.LUOUT, r.r2b, {f->theta, f->c, f->xl, f->yl});
  return "";
}

// 2. Chord frame.
void step2_chord_frame(const ProblemState& s, const Element& e, const Frame& f,
                       GeometryWork& w) {
  for (int i = 0; i < e.n; ++i) {
    w.XP[i] = (e.x0[i] - f.xl) * f.ex + (e.y0[i] - f.yl) * f.ey;
    w.YP1[i] = w.YP[i] = (e.y0[i] - f.yl) * f.ex - (e.x0[i] - f.xl) * f.ey;
  }
  if (s.IPRINT > 1) {
    const GeometryFormats& r = formats();
    text::Units& u = text::units();
    u.write(s.LUOUT, r.r3h, {});
    for (int i = 0; i < e.n; ++i)
      u.write(s.LUOUT, r.rowF6, {i + 1, w.XP[i], w.YP[i], e.x0[i], e.y0[i]});
  }
}

// 3. Both trailing-edge points at their mean chord-frame x. Returns their
// own x.
EndPoints step3_trailing_edge(const Element& e, GeometryWork& w) {
  const EndPoints own{w.XP[0], w.XP[e.n - 1]};
  w.XP[0] = w.XP[e.n - 1] = 0.5 * (w.XP[0] + w.XP[e.n - 1]);
  return own;
}

// 4. Leading-edge row: the first row of the most negative x, and the shift
// of every x (the own end points' too) that makes it 0.
struct LeadingEdgeSearch {
  int n0min = 0;       // row of the most negative x (0 when none is negative)
  double x0min = 0.0;  // that x (0 when none is negative)
};
LeadingEdgeSearch step4_leading_edge_row(ProblemState& s, const Element& e, const Frame& f,
                                         GeometryWork& w, EndPoints* own) {
  const int n = e.n;
  LeadingEdgeSearch found;
  for (int i = 0; i < n; ++i) {
    if (w.XP[i] < found.x0min) {
      found.x0min = w.XP[i];
      found.n0min = i + 1;
    }
  }
  if (found.n0min > 0) {
    s.ILE(e.k) = found.n0min;
    for (int i = 0; i < n; ++i) w.XP[i] -= found.x0min;
    own->first -= found.x0min;
    own->last -= found.x0min;
  } else if (f.firstFrame) {
    const int mid = (n + 1) / 2;
    s.ILE(e.k) = parameter_increases(w.XP, n, mid) ? mid : f.row;
  }
  return found;
}

// After 4: where the branches end (see the top). The shared end stands
// wherever it gives an increasing parameter; otherwise the end points keep
// their own x when that makes the parameter increase. When neither does,
// the rows are out of order and step 6 says where.
TrailingEdgeEnds choose_trailing_edge_ends(const ProblemState& s, const Element& e,
                                           const EndPoints& own, GeometryWork& w) {
  const int n = e.n, ile = s.ILE(e.k);
  if (parameter_increases(w.XP, n, ile)) return TrailingEdgeEnds::kShared;
  const double shared = w.XP[0];
  w.XP[0] = own.first;
  w.XP[n - 1] = own.last;
  if (parameter_increases(w.XP, n, ile)) return TrailingEdgeEnds::kOwn;
  w.XP[0] = w.XP[n - 1] = shared;
  return TrailingEdgeEnds::kShared;
}

// The table of step 4, with the x the parameter is taken from.
void list_step4(const ProblemState& s, const Element& e, const Frame& f, const GeometryWork& w,
                const LeadingEdgeSearch& found) {
  if (s.IPRINT <= 0) return;
  const GeometryFormats& r = formats();
  text::Units& u = text::units();
  u.write(s.LUOUT, r.r4a, {found.n0min, found.x0min, f.xl, f.yl});
  u.write(s.LUOUT, r.r4h, {});
  for (int i = 0; i < e.n; ++i)
    u.write(s.LUOUT, r.r4row, {i + 1, w.XP[i], w.YP1[i], e.d0[i], w.XP[i], w.YP1[i], e.d0[i]});
  u.write(s.LUOUT, r.slash, {});
}

// 5. Stations per branch.
Branches step5_branches(const Element& e) {
  Branches b;
  b.m = e.N / 2;
  b.odd = (e.N % 2) != 0;
  b.mh = b.odd ? b.m + 1 : b.m;
  return b;
}

// 6. Parameter and tube; the parameter must increase strictly (the rows
// that do not are named with the contour's own x, see order_fault).
std::string step6_parameter(const ProblemState& s, const Element& e, const EndPoints& own,
                            GeometryWork& w) {
  const int n = e.n;
  const int ile = s.ILE(e.k);
  for (int i = 0; i < n; ++i) {
    w.TPC[i] = (i + 1 <= ile) ? -std::sqrt(w.XP[i]) : std::sqrt(w.XP[i]);
    w.DP[i] = kTubeHalfWidth;
  }
  const GeometryFormats& r = formats();
  text::Units& u = text::units();
  u.write(s.LUOUT, r.r5h, {});
  for (int i = 0; i < n; ++i)
    u.write(s.LUOUT, r.r5row, {i + 1, w.TPC[i], w.XP[i], w.YP1[i], w.YP[i], kTubeHalfWidth});
  w.DP[0] = w.DP[n - 1] = 0.0;
  for (int i = 0; i + 1 < n; ++i) {
    if (!(w.TPC[i + 1] > w.TPC[i])) {
      const std::string fault = order_fault(s, e.k, w.XP, n, own);
      return fault.empty() ? element_text(e.k) + "the contour parameter does not increase "
                                                 "strictly (check the point order)"
                           : fault;
    }
  }
  return "";
}

// Area the contour encloses, relative to the chord squared, below which its
// upper and lower surfaces count as coinciding. Measured: lines of zero
// thickness (upper = lower surface) enclose 0 when flat and 2e-18, 1e-17 and
// 1.1e-17 on camber lines of 2 %, 6 % and 10 % (rounding); NACA 00xx
// sections enclose about 0.685 t: 6.8e-3 at 1 % and 6.8e-4 at 0.1 %
// thickness, both of which solve soundly; the examples, the two-element
// exact case, the Karman-Trefftz sections and the sections of the tests
// enclose 4e-2 and more. Below about 1e-4 of the chord in thickness the
// panels of the two surfaces cross at odd panel counts (the surfaces take
// different stations) and the lift goes wrong: at 599 panels a NACA 00xx at
// 4 degrees gives CYS 0.445 at 1e-4 thickness (0.438 at 120 panels), 0.519
// at 1e-5 and 8.2 at 1e-7. The margin refuses sections thinner than about
// 1.5e-5 of the chord, 68 times thinner than the thinnest section of the
// tests and four thousand times thinner than any real one.
constexpr double kNoArea = 1e-5;

// After 6: the contour must enclose an area. Where its upper and lower
// surfaces coincide (a line of zero thickness, cambered or flat) the panel
// system is singular; rounding can leave its smallest pivot just large
// enough to pass, and the solution would then give meaningless numbers at
// some panel counts and be refused at others. The area is that of the
// contour points closed from the last back to the first (the trailing-edge
// gap), taken relative to the leading-edge point, so that an element far
// from the origin keeps the accuracy of its own size.
std::string check_enclosed_area(const Element& e, const Frame& f) {
  double twice = 0.0;
  for (int i = 0; i < e.n; ++i) {
    const int j = i + 1 < e.n ? i + 1 : 0;
    twice += (e.x0[i] - f.xl) * (e.y0[j] - f.yl) - (e.x0[j] - f.xl) * (e.y0[i] - f.yl);
  }
  const double ratio = 0.5 * std::fabs(twice) / f.c / f.c;
  if (ratio >= kNoArea) return "";
  return element_text(e.k) +
         "the contour encloses no area (less than 1e-05 of the chord squared): its upper and "
         "lower surfaces coincide or nearly so, and the panel system of such a section is "
         "singular";
}

// 7. Tube smoothing and its table; then the parameter table again.
void step7_smoothing(const ProblemState& s, const Element& e, GeometryWork& w) {
  const int n = e.n;
  const GeometryFormats& r = formats();
  text::Units& u = text::units();
  if (s.ISMOOTH(e.k) == 1) {
    SPLINE_TUBE_SMOOTH(n, w.TPC, w.YP1, w.DP, w.YP, w.smooth);
    const int len = s.GEO_NAME.trimmed_length();
    std::string err;
    if (!u.open_keep(s.LUGEO, std::string(s.GEO_NAME.c, len), &err)) {
      // The smoothing stands; only its table is lost, and the main listing
      // says so.
      u.write_text(s.LUOUT, "element " + std::to_string(e.k) +
                                ": the smoothing table cannot be written: " + err + "\n");
    }
    u.write(s.LUGEO, r.r6a, {e.k, n});
    u.write(s.LUGEO, r.r6h, {});
    for (int i = 0; i < n; ++i)
      u.write(s.LUGEO, r.r6row, {i + 1, w.XP[i], w.YP[i], w.YP1[i], w.TPC[i], w.DP[i]});
  }
  u.write(s.LUOUT, r.r5h, {});
  for (int i = 0; i < n; ++i)
    u.write(s.LUOUT, r.r5row, {i + 1, w.TPC[i], w.XP[i], w.YP1[i], w.YP[i]});
}

// 8. Natural spline y(t).
void step8_spline(const Element& e, GeometryWork& w) {
  SPLINE_COEF(0.0, 0.0, 0.0, e.n, w.TPC, w.YP, w.M, 0, w.spline);
}

// 9. Half-cosine stations; the last one of each branch is the x of its
// trailing-edge end (the same for both unless they keep their own ends).
void step9_stations(const ProblemState& s, const Element& e, const Branches& b,
                    TrailingEdgeEnds ends, GeometryWork& w) {
  const int m = b.m, mh = b.mh;
  const double xte = w.XP[e.n - 1];  // t > 0 branch: the rows after the leading edge
  const double xteh = w.XP[0];       // t < 0 branch: rows 1..ILE
  w.XT[0] = 0.0;
  for (int j = 1; j < m; ++j) w.XT[j] = 0.5 * (1.0 - std::cos(j * s.PI / m)) * xte;
  w.XT[m] = xte;
  if (b.odd || ends == TrailingEdgeEnds::kOwn) {
    w.XTH[0] = 0.0;
    for (int j = 1; j < mh; ++j) w.XTH[j] = 0.5 * (1.0 - std::cos(j * s.PI / mh)) * xteh;
    w.XTH[mh] = xteh;
  } else {
    for (int j = 0; j <= m; ++j) w.XTH[j] = w.XT[j];
  }
}

// 10. Nodes, and 12. the panel values listed beside them.
void step10_nodes(const ProblemState& s, const Element& e, const Branches& b,
                  GeometryWork& w) {
  const int n = e.n, m = b.m, mh = b.mh;
  for (int j = 0; j <= m; ++j) {
    const double sb = std::sqrt(w.XT[j]);
    w.SB[j] = sb;
    w.YB[j] = eval(w, n, +sb).value;
    w.nodeX[m - j] = w.XT[j];  // node m+1-j
    w.nodeY[m - j] = w.YB[j];
    w.nodeT[m - j] = +sb;
    const double tm = j == 0 ? 0.0 : std::sqrt(0.5 * (w.XT[j - 1] + w.XT[j]));
    w.TMB[j] = tm;
    w.DB[j] = eval(w, n, -tm).slope;
  }
  for (int j = 0; j <= mh; ++j) {
    const double sh = std::sqrt(w.XTH[j]);
    w.SH[j] = sh;
    w.YH[j] = eval(w, n, -sh).value;
    w.nodeX[m + j] = w.XTH[j];  // node m+1+j
    w.nodeY[m + j] = w.YH[j];
    w.nodeT[m + j] = -sh;
    const double tm = j == 0 ? 0.0 : std::sqrt(0.5 * (w.XTH[j - 1] + w.XTH[j]));
    w.TMH[j] = tm;
    w.DH[j] = eval(w, n, +tm).slope;
  }
  if (s.IPRINT > 2) {
    const GeometryFormats& r = formats();
    text::Units& u = text::units();
    u.write(s.LUOUT, r.r8h, {});
    for (int j = 0; j <= mh; ++j) {
      const int jb = j < m ? j : m;
      u.write(s.LUOUT, r.r8row,
              {j + 1, +w.SB[jb], -w.SH[j], w.XT[jb], w.YB[jb], w.YH[j],
               0.5 * (w.YB[jb] - w.YH[j]), 0.5 * (w.YB[jb] + w.YH[j]), -w.TMB[jb], +w.TMH[j],
               w.DB[jb], w.DH[j]});
    }
  }
}

// 11. Leading-edge radius from the slope at t = +0.
void step11_leading_edge_radius(const ProblemState& s, const Element& e,
                                const GeometryWork& w) {
  const double slope0 = eval(w, e.n, +0.0).slope;
  const double radius = 0.25 * slope0 * slope0;
  text::units().write(s.LUOUT, formats().r9, {radius});
}

// 12. Listing values of the panels.
void step12_panel_values(ProblemState& s, const Element& e, const Branches& b,
                         const GeometryWork& w) {
  const int m = b.m;
  double* TETC = s.TETC.column(e.k);
  double* DYDT = s.DYDT.column(e.k);
  for (int j = 1; j <= m; ++j) {  // panels m+1-j, t > 0 branch
    TETC[m - j] = -w.TMB[j];
    DYDT[m - j] = w.DB[j];
  }
  for (int j = 1; j <= b.mh; ++j) {  // panels m+j, t < 0 branch
    TETC[m + j - 1] = +w.TMH[j];
    DYDT[m + j - 1] = w.DH[j];
  }
  TETC[e.N] = 2.0 * s.PI;
}

// 13. Station values of the GEOM5 table (the nodes keep those of step 10).
void step13_station_table(const ProblemState& s, const Element& e, const Branches& b,
                          GeometryWork& w) {
  const int m = b.m, mh = b.mh;
  w.YB[0] = w.YH[0] = w.YP[s.ILE(e.k) - 1];
  w.YB[m] = w.YP1[e.n - 1];
  w.YH[mh] = w.YP1[0];
  if (s.IPRINT > 3) {
    const GeometryFormats& r = formats();
    text::Units& u = text::units();
    u.write(s.LUOUT, r.slash, {});
    u.write(s.LUOUT, r.r10h, {});
    for (int j = 0; j <= mh; ++j) {
      const int jb = j < m ? j : m;
      w.TT[j] = 0.5 * (w.YB[jb] - w.YH[j]);
      w.SS[j] = 0.5 * (w.YB[jb] + w.YH[j]);
      u.write(s.LUOUT, r.r10row, {j + 1, w.XT[jb], w.YB[jb], w.YH[j], w.TT[j], w.SS[j]});
    }
  }
}

// 14. Placement from the contour.
void step14_placement(ProblemState& s, const Element& e, const Frame& f, double x0min) {
  if (!placement_from_contour(s.IPOS)) return;
  const int k = e.k;
  s.XX(k) = f.xl;
  s.YY(k) = f.yl;
  // 0.0 - v rather than -v, so that a zero shift or angle is stored as +0
  // and not listed as "-0.000".
  s.XAX(k) = 0.0 - x0min;
  s.YAX(k) = 0.0;
  s.DFL(k) = 0.0 - f.thetaDir;
}

// 15. Cosine of the sweep angle with the single-precision pi.
void step15_cos_sweep(ProblemState& s) { s.COSSWEPT = std::cos(kPiSingle * s.SWEPT / 180.0); }

// 16. Nodes into the state.
void step16_nodes_to_state(ProblemState& s, const Element& e, const GeometryWork& w) {
  const int k = e.k;
  double* xpn0 = s.XPN0.column(k);
  double* ypn0 = s.YPN0.column(k);
  double* xpn = s.XPN.column(k);
  double* ypn = s.YPN.column(k);
  double* tp = s.TP.column(k);
  for (int i = 0; i <= e.N; ++i) {
    xpn0[i] = xpn[i] = w.nodeX[i];
    ypn0[i] = ypn[i] = w.nodeY[i];
    tp[i] = w.nodeT[i];
  }
  if (s.IPRINT > 3) {
    const GeometryFormats& r = formats();
    text::Units& u = text::units();
    u.write(s.LUOUT, r.r11a, {s.XX(k), s.YY(k), s.XAX(k), s.YAX(k)});
    u.write(s.LUOUT, r.r11h, {});
    for (int i = 0; i <= e.N; ++i)
      u.write(s.LUOUT, r.rowF6, {i + 1, xpn0[i], ypn0[i], xpn[i], ypn[i]});
  }
}

// One element pass (steps 1-16 with the listing records of the element).
// Returns "" or the fault that ended the pass early.
std::string element_pass(ProblemState& s, int k, GeometryWork& w) {
  std::string bad = check_counts(s, k);
  if (!bad.empty()) return bad;
  const Element e{k, s.NCONT(k), s.NPANELS(k), s.X0.column(k), s.Y0.column(k), s.D0.column(k)};

  Frame f{};
  bad = step1_frame(s, e, &f);
  if (!bad.empty()) return bad;
  step2_chord_frame(s, e, f, w);
  EndPoints own = step3_trailing_edge(e, w);
  const LeadingEdgeSearch found = step4_leading_edge_row(s, e, f, w, &own);
  const TrailingEdgeEnds ends = choose_trailing_edge_ends(s, e, own, w);
  list_step4(s, e, f, w, found);
  const double x0min = found.x0min;
  const Branches b = step5_branches(e);
  bad = step6_parameter(s, e, own, w);
  if (bad.empty()) bad = check_enclosed_area(e, f);
  if (!bad.empty()) return bad;
  step7_smoothing(s, e, w);
  step8_spline(e, w);
  step9_stations(s, e, b, ends, w);
  step10_nodes(s, e, b, w);
  step11_leading_edge_radius(s, e, w);
  step12_panel_values(s, e, b, w);
  step13_station_table(s, e, b, w);
  step14_placement(s, e, f, x0min);
  step15_cos_sweep(s);
  step16_nodes_to_state(s, e, w);
  return "";
}

}  // namespace

std::string GEOM(GeometryWork& work) {
  ProblemState& s = state();
  text::Units& u = text::units();
  const GeometryFormats& r = formats();

  if (s.NELEM > addressable_elements(s.NELEM))
    return "the configuration has " + std::to_string(s.NELEM) + " elements (at most " +
           std::to_string(kMaxElements) + ")";
  const int nelem = s.NELEM;

  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r.r1a, {});
    for (int k = 1; k <= nelem; ++k) {
      u.write(s.LUOUT, r.r1h, {k});
      const int n = s.NCONT(k);
      if (n < 0 || n > kContourRows) continue;  // reported by the element pass
      for (int i = 1; i <= n; ++i) u.write(s.LUOUT, r.rowF6, {i, s.X0(i, k), s.Y0(i, k)});
    }
  }

  std::string first;
  bool ok[kMaxElements + 1] = {};
  for (int k = 1; k <= nelem; ++k) {
    const std::string bad = element_pass(s, k, work);
    ok[k] = bad.empty();
    if (!ok[k] && first.empty()) first = bad;
  }
  // The same value every element pass computes; also set when no pass got
  // that far.
  step15_cos_sweep(s);

  u.write(s.LUOUT, r.r12a, {s.NCOMPUTE});
  for (int k = 1; k <= nelem; ++k) {
    const int N = s.NPANELS(k);
    if (N == 0 || !ok[k]) continue;
    u.write(s.LUOUT, r.r12b, {k});
    u.write(s.LUOUT, r.r12h, {});
    for (int i = 1; i <= N + 1; ++i)
      u.write(s.LUOUT, r.r12row, {i, s.XPN(i, k), s.YPN(i, k), s.XPN0(i, k), s.YPN0(i, k)});
  }
  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r.r13a, {});
    for (int k = 1; k <= nelem; ++k) {
      if (!ok[k]) continue;
      u.write(s.LUOUT, r.r13h, {k});
      for (int i = 1; i <= s.NPANELS(k) + 1; ++i)
        u.write(s.LUOUT, r.r13row, {i, s.XPN0(i, k), s.YPN0(i, k)});
    }
  }
  return first;
}

std::string GEOM() {
  GeometryWork work;
  return GEOM(work);
}

double panelled_chord(int k) {
  const ProblemState& s = state();
  const int n = s.NPANELS(k);
  if (n < 1 || n + 1 > kNodeRows) return 0.0;
  const double* x = s.XPN.column(k);
  const double* y = s.YPN.column(k);
  const double xte = 0.5 * (x[0] + x[n]), yte = 0.5 * (y[0] + y[n]);
  double chord = 0.0;
  for (int j = 0; j <= n; ++j) chord = std::fmax(chord, std::hypot(x[j] - xte, y[j] - yte));
  return chord;
}

}  // namespace sorvane

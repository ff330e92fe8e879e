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
// * Odd panel counts N = 2m + 1: the t > 0 branch keeps its m half-cosine
//   intervals (stations XT(j), nodes 1..m+1); the t < 0 branch gets m + 1
//   intervals on its own stations XT'(j) = 0.5(1 - cos(j PI/(m+1))) XP(1),
//   j = 0..m+1, and nodes m+1..N+1, so nodes 1..N+1 keep their order. Even N
//   is untouched by this. The GEOM4 and GEOM5 tables then show in row j the
//   t > 0 branch at its station j and the t < 0 branch at its station j
//   (TPH = -sqrt(XT'(j)); the XT column is the t > 0 station), and one more
//   row m+2 for the t < 0 branch's last station, where the t > 0 columns
//   repeat that branch's last station (both last stations lie at XP(1)).
//
// * Placement with IPOS = 1: the chord angle listed is atan(ey/ex), between
//   -90 and 90 degrees; the deflection stored is minus the angle of the
//   chord direction itself, so an element whose trailing edge lies upstream
//   of its leading edge is placed back onto its contour instead of being
//   turned by 180 degrees.
//
// * Degenerate input (too few or too many contour points, a leading-edge row
//   outside the contour, a panel count outside 2..599, a contour point that
//   is not a finite number, a zero chord, contour abscissae that do not
//   increase strictly) ends that element's pass before its spline is fitted:
//   its nodes and placement values are left untouched, its rows are left out
//   of the closing tables, and the other elements are still processed. The
//   first fault found is returned.
#include "solver/panel/element_geometry.h"

#include <cmath>
#include <string>

#include "solver/panel/splines.h"
#include "solver/state/limits.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {
namespace {

// 0.01 and 3.14159 as single-precision values, used in double arithmetic.
constexpr double kTubeHalfWidth = 0.009999999776482582;
constexpr double kPiSingle = 3.1415901184082031;

constexpr int kMaxNodes = kControlRows;            // N + 1 <= 600
constexpr int kMaxStations = kMaxNodes / 2 + 2;    // j = 0..m+1 with m <= 299

// Work arrays of one element pass (0-based: index i-1 holds row i; station
// arrays are indexed by j directly). Kept for the whole process.
struct Work {
  double XP[kContourRows], YP1[kContourRows], YP[kContourRows];
  double TPC[kContourRows], DP[kContourRows], M[kContourRows];
  // Stations of the t > 0 branch (XT) and of the t < 0 branch (XTH; the same
  // as XT for even N), node ordinates, square roots of the stations, panel
  // mid parameters and slopes there.
  double XT[kMaxStations], XTH[kMaxStations];
  double YB[kMaxStations], YH[kMaxStations], TT[kMaxStations], SS[kMaxStations];
  double SB[kMaxStations], SH[kMaxStations];
  double TMB[kMaxStations], TMH[kMaxStations];
  double DB[kMaxStations], DH[kMaxStations];
  // Nodes 1..N+1 of the element (index i-1).
  double nodeX[kMaxNodes], nodeY[kMaxNodes], nodeT[kMaxNodes];
};
Work w;

std::string fault(int k, const std::string& what) {
  return "element " + std::to_string(k) + ": " + what;
}

// Spline value and slope at t on the current (TPC, YP, M) spline.
struct SplinePoint {
  double value, slope;
};
SplinePoint eval(int n, double t) {
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

// The checks that need nothing but the stored counts.
std::string check_counts(const ProblemState& s, int k) {
  const int n = s.NCONT(k);
  const int N = s.NPANELS(k);
  if (n < 3) return fault(k, std::to_string(n) + " contour points (at least 3 are needed)");
  const int cap = contour_point_capacity(s.ISMOOTH(k));
  if (n > cap)
    return fault(k, std::to_string(n) + " contour points, more than the " +
                        std::to_string(cap) +
                        (s.ISMOOTH(k) == 1 ? " the contour smoothing holds"
                                           : " the contour spline holds"));
  if (s.ILE(k) < 0 || s.ILE(k) > n)
    return fault(k, "leading-edge row " + std::to_string(s.ILE(k)) + " outside 1.." +
                        std::to_string(n));
  if (!panel_count_allowed(N))
    return fault(k, std::to_string(N) + " panels (2 to " + std::to_string(kMaxPanels) +
                        " are allowed)");
  const double* x0 = s.X0.column(k);
  const double* y0 = s.Y0.column(k);
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x0[i]) || !std::isfinite(y0[i]))
      return fault(k, "contour point " + std::to_string(i + 1) + " is not a finite number");
  }
  return "";
}

// One element pass (steps 1-16 with the listing records of the element).
// Returns "" or the fault that ended the pass early.
std::string element_pass(ProblemState& s, int k) {
  text::Units& u = text::units();
  static const text::Format r2a("(//,65(1h-))");
  static const text::Format r2b(
      "(11H YGOL RAZV=,1F9.6,10H    CHORD=,1F9.6,7H    X0=,1F9.6,7H    Y0=,1F9.6)");
  static const text::Format r3h("(5h    I,9x,2hXP,13x,2hYP,13x,2hX0,13x,2hY0)");
  static const text::Format rowF6("(i5,8f15.6)");
  static const text::Format r4a(
      "(//,7H N0min=,i5,7H X0min=,f8.4,7H  X_le=,f8.4,7h  Y_le=,f8.4)");
  static const text::Format r4h(
      "(/3H  I,8X,1HX,13X,1HY,13X,1HD,12X,2HXP,12X,2HYP,12X,2HDP,5x,5hGEOM1)");
  static const text::Format r4row("(I3,6E14.5)");
  static const text::Format slash("(/)");
  static const text::Format r5h("(5h    I,7x,2hTP,13X,2hXP,13X,3hYP1,12X,2hYP)");
  static const text::Format r5row("(I5,6E15.6)");
  static const text::Format r6a("(8h Element,i2,8h     NP=,i3,5x,5hGEOM2)");
  static const text::Format r6h("(5h    i,6x,2hxp,8x,2hyp,7x,3hyp1,8x,2htp,8x,2hdp)");
  static const text::Format r6row("(i5,5f10.6)");
  static const text::Format r8h(
      "(5h    i,9x,3hTPB,12x,3hTPH,12x,3h XT,12x,3h YB,12x,3h YH,11x, 3h  S,12x,3h  T,12x,"
      "4hTPBC,11x,4hTPHC,12x,4hY1BC,11x,4hY1HC,5x,5hGEOM4)");
  static const text::Format r8row("(I5,11F15.6)");
  static const text::Format r9("(/15X,24HRADIUS OF LEADING EDGE =,E12.5)");
  static const text::Format r10h(
      "(/5H    I,8X,2HXT,13X,2HYB,13X,2HYH,13X,2HTT,13X,2HSS,5x,5hGEOM5)");
  static const text::Format r10row("(I5,5f15.6)");
  static const text::Format r11a("(/4H XX=,f10.5,4H YY=,f10.5,5H XAX=,f10.5,5H YAX=,f10.5)");
  static const text::Format r11h(
      "(/5H    I,9X,4HXPN0,11X,4HYPN0,11X,4HXPN1,11X,4HYPN1,5x,5hGEOM6)");

  std::string bad = check_counts(s, k);
  if (!bad.empty()) return bad;

  const int n = s.NCONT(k);
  const int N = s.NPANELS(k);
  const double* x0 = s.X0.column(k);
  const double* y0 = s.Y0.column(k);
  const double* d0 = s.D0.column(k);
  double* XP = w.XP;
  double* YP1 = w.YP1;
  double* YP = w.YP;
  double* TPC = w.TPC;
  double* DP = w.DP;

  // 1. Frame. A pass that starts without a leading-edge row takes the point
  // farthest from the trailing-edge midpoint.
  const double xm = 0.5 * (x0[0] + x0[n - 1]);
  const double ym = 0.5 * (y0[0] + y0[n - 1]);
  const bool firstFrame = s.ILE(k) == 0;
  int frameRow = s.ILE(k);
  if (firstFrame) {
    double far = -1.0;
    for (int i = 0; i < n; ++i) {
      const double ddx = x0[i] - xm, ddy = y0[i] - ym;
      const double d2 = ddx * ddx + ddy * ddy;
      if (d2 > far) {
        far = d2;
        frameRow = i + 1;
      }
    }
  }
  const double xl = x0[frameRow - 1];
  const double yl = y0[frameRow - 1];
  const double dx = xm - xl;
  const double dy = ym - yl;
  const double c = std::sqrt(dx * dx + dy * dy);
  if (!std::isfinite(c))
    return fault(k, "the chord is too long to compute (check the contour points)");
  if (c == 0.0) return fault(k, "zero chord (trailing-edge midpoint on the leading-edge point)");
  const double ex = dx / c;
  const double ey = dy / c;
  const double theta = std::atan(ey / ex) / s.RAD;
  // Angle of the chord direction itself, for the placement (see the top).
  double thetaDir = theta;
  if (ex == 0.0) {
    thetaDir = std::copysign(90.0, ey);
  } else if (ex < 0.0) {
    thetaDir = theta > 0.0 ? theta - 180.0 : theta + 180.0;
  }
  u.write(s.LUOUT, r2a, {});
  u.write(s.LUOUT, r2b, {theta, c, xl, yl});

  // 2. Chord frame.
  for (int i = 0; i < n; ++i) {
    XP[i] = (x0[i] - xl) * ex + (y0[i] - yl) * ey;
    YP1[i] = YP[i] = (y0[i] - yl) * ex - (x0[i] - xl) * ey;
  }
  if (s.IPRINT > 1) {
    u.write(s.LUOUT, r3h, {});
    for (int i = 0; i < n; ++i) u.write(s.LUOUT, rowF6, {i + 1, XP[i], YP[i], x0[i], y0[i]});
  }

  // 3. Both trailing-edge points at their mean chord-frame x.
  XP[0] = XP[n - 1] = 0.5 * (XP[0] + XP[n - 1]);

  // 4. Leading-edge row: the first row of the most negative x.
  int n0min = 0;
  double x0min = 0.0;
  for (int i = 0; i < n; ++i) {
    if (XP[i] < x0min) {
      x0min = XP[i];
      n0min = i + 1;
    }
  }
  if (n0min > 0) {
    s.ILE(k) = n0min;
    for (int i = 0; i < n; ++i) XP[i] -= x0min;
  } else if (firstFrame) {
    const int mid = (n + 1) / 2;
    s.ILE(k) = parameter_increases(XP, n, mid) ? mid : frameRow;
  }
  const int ile = s.ILE(k);
  if (s.IPRINT > 0) {
    u.write(s.LUOUT, r4a, {n0min, x0min, xl, yl});
    u.write(s.LUOUT, r4h, {});
    for (int i = 0; i < n; ++i)
      u.write(s.LUOUT, r4row, {i + 1, XP[i], YP1[i], d0[i], XP[i], YP1[i], d0[i]});
    u.write(s.LUOUT, slash, {});
  }

  // 5. Stations per branch.
  const int m = N / 2;
  const bool odd = (N % 2) != 0;
  const int mh = odd ? m + 1 : m;  // intervals of the t < 0 branch

  // 6. Parameter and tube.
  for (int i = 0; i < n; ++i) {
    TPC[i] = (i + 1 <= ile) ? -std::sqrt(XP[i]) : std::sqrt(XP[i]);
    DP[i] = kTubeHalfWidth;
  }
  u.write(s.LUOUT, r5h, {});
  for (int i = 0; i < n; ++i)
    u.write(s.LUOUT, r5row, {i + 1, TPC[i], XP[i], YP1[i], YP[i], kTubeHalfWidth});
  DP[0] = DP[n - 1] = 0.0;
  for (int i = 0; i + 1 < n; ++i) {
    if (!(TPC[i + 1] > TPC[i]))
      return fault(k, "the contour abscissae do not increase strictly at rows " +
                          std::to_string(i + 1) + "-" + std::to_string(i + 2) +
                          " (check the point order)");
  }

  // 7. Tube smoothing and its table.
  if (s.ISMOOTH(k) == 1) {
    SPLINE_TUBE_SMOOTH(n, TPC, YP1, DP, YP);
    const int len = s.GEO_NAME.trimmed_length();
    std::string err;
    if (!u.open_keep(s.LUGEO, std::string(s.GEO_NAME.c, len), &err)) {
      // The smoothing stands; only its table is lost, and the main listing
      // says so.
      u.write_text(s.LUOUT, "element " + std::to_string(k) +
                                ": the smoothing table cannot be written: " + err + "\n");
    }
    u.write(s.LUGEO, r6a, {k, n});
    u.write(s.LUGEO, r6h, {});
    for (int i = 0; i < n; ++i)
      u.write(s.LUGEO, r6row, {i + 1, XP[i], YP[i], YP1[i], TPC[i], DP[i]});
  }
  u.write(s.LUOUT, r5h, {});
  for (int i = 0; i < n; ++i) u.write(s.LUOUT, r5row, {i + 1, TPC[i], XP[i], YP1[i], YP[i]});

  // 8. Natural spline y(t).
  SPLINE_COEF(0.0, 0.0, 0.0, n, TPC, YP, w.M, 0);

  // 9. Half-cosine stations; the last one is the trailing-edge x itself.
  const double xte = XP[0];
  w.XT[0] = 0.0;
  for (int j = 1; j < m; ++j) w.XT[j] = 0.5 * (1.0 - std::cos(j * s.PI / m)) * xte;
  w.XT[m] = xte;
  if (odd) {
    w.XTH[0] = 0.0;
    for (int j = 1; j < mh; ++j) w.XTH[j] = 0.5 * (1.0 - std::cos(j * s.PI / mh)) * xte;
    w.XTH[mh] = xte;
  } else {
    for (int j = 0; j <= m; ++j) w.XTH[j] = w.XT[j];
  }

  // 10. Nodes, and 12. the panel values listed beside them.
  for (int j = 0; j <= m; ++j) {
    const double sb = std::sqrt(w.XT[j]);
    w.SB[j] = sb;
    w.YB[j] = eval(n, +sb).value;
    w.nodeX[m - j] = w.XT[j];  // node m+1-j
    w.nodeY[m - j] = w.YB[j];
    w.nodeT[m - j] = +sb;
    const double tm = j == 0 ? 0.0 : std::sqrt(0.5 * (w.XT[j - 1] + w.XT[j]));
    w.TMB[j] = tm;
    w.DB[j] = eval(n, -tm).slope;
  }
  for (int j = 0; j <= mh; ++j) {
    const double sh = std::sqrt(w.XTH[j]);
    w.SH[j] = sh;
    w.YH[j] = eval(n, -sh).value;
    w.nodeX[m + j] = w.XTH[j];  // node m+1+j
    w.nodeY[m + j] = w.YH[j];
    w.nodeT[m + j] = -sh;
    const double tm = j == 0 ? 0.0 : std::sqrt(0.5 * (w.XTH[j - 1] + w.XTH[j]));
    w.TMH[j] = tm;
    w.DH[j] = eval(n, +tm).slope;
  }
  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r8h, {});
    for (int j = 0; j <= mh; ++j) {
      const int jb = j < m ? j : m;
      u.write(s.LUOUT, r8row,
              {j + 1, +w.SB[jb], -w.SH[j], w.XT[jb], w.YB[jb], w.YH[j],
               0.5 * (w.YB[jb] - w.YH[j]), 0.5 * (w.YB[jb] + w.YH[j]), -w.TMB[jb], +w.TMH[j],
               w.DB[jb], w.DH[j]});
    }
  }

  // 11. Leading-edge radius from the slope at t = +0.
  const double slope0 = eval(n, +0.0).slope;
  const double radius = 0.25 * slope0 * slope0;
  u.write(s.LUOUT, r9, {radius});

  // 12. Listing values of the panels.
  double* TETC = s.TETC.column(k);
  double* DYDT = s.DYDT.column(k);
  for (int j = 1; j <= m; ++j) {  // panels m+1-j, t > 0 branch
    TETC[m - j] = -w.TMB[j];
    DYDT[m - j] = w.DB[j];
  }
  for (int j = 1; j <= mh; ++j) {  // panels m+j, t < 0 branch
    TETC[m + j - 1] = +w.TMH[j];
    DYDT[m + j - 1] = w.DH[j];
  }
  TETC[N] = 2.0 * s.PI;

  // 13. Station values of the GEOM5 table (the nodes keep those of step 10).
  w.YB[0] = w.YH[0] = YP[ile - 1];
  w.YB[m] = YP1[n - 1];
  w.YH[mh] = YP1[0];
  if (s.IPRINT > 3) {
    u.write(s.LUOUT, slash, {});
    u.write(s.LUOUT, r10h, {});
    for (int j = 0; j <= mh; ++j) {
      const int jb = j < m ? j : m;
      w.TT[j] = 0.5 * (w.YB[jb] - w.YH[j]);
      w.SS[j] = 0.5 * (w.YB[jb] + w.YH[j]);
      u.write(s.LUOUT, r10row, {j + 1, w.XT[jb], w.YB[jb], w.YH[j], w.TT[j], w.SS[j]});
    }
  }

  // 14. Placement from the contour.
  if (placement_from_contour(s.IPOS)) {
    s.XX(k) = xl;
    s.YY(k) = yl;
    // 0.0 - v rather than -v, so that a zero shift or angle is stored as +0
    // and not listed as "-0.000".
    s.XAX(k) = 0.0 - x0min;
    s.YAX(k) = 0.0;
    s.DFL(k) = 0.0 - thetaDir;
  }

  // 15. Cosine of the sweep angle with the single-precision pi.
  s.COSSWEPT = std::cos(kPiSingle * s.SWEPT / 180.0);

  // 16. Nodes into the state.
  double* xpn0 = s.XPN0.column(k);
  double* ypn0 = s.YPN0.column(k);
  double* xpn = s.XPN.column(k);
  double* ypn = s.YPN.column(k);
  double* tp = s.TP.column(k);
  for (int i = 0; i <= N; ++i) {
    xpn0[i] = xpn[i] = w.nodeX[i];
    ypn0[i] = ypn[i] = w.nodeY[i];
    tp[i] = w.nodeT[i];
  }
  if (s.IPRINT > 3) {
    u.write(s.LUOUT, r11a, {s.XX(k), s.YY(k), s.XAX(k), s.YAX(k)});
    u.write(s.LUOUT, r11h, {});
    for (int i = 0; i <= N; ++i)
      u.write(s.LUOUT, rowF6, {i + 1, xpn0[i], ypn0[i], xpn[i], ypn[i]});
  }
  return "";
}

}  // namespace

std::string GEOM() {
  ProblemState& s = state();
  text::Units& u = text::units();
  static const text::Format r1a("(//,20h     INPUT subr.GEOM)");
  static const text::Format r1h("(5h    I,9x,2hX0,13x,2hY0,12h   AeroFoil=,i3)");
  static const text::Format rowF6("(i5,8f15.6)");
  static const text::Format r12a("(9hNcompute=,i2)");
  static const text::Format r12b("(12h   AeroFoil=,i3)");
  static const text::Format r12h("(/5H    I,9X,3HXPN,12X,3HYPN,12x,1hX,12x,1hY)");
  static const text::Format r12row("(I5,6F15.6)");
  static const text::Format r13a("(//,20h    OUTPUT subr.GEOM)");
  static const text::Format r13h("(5h    I,9x,2h X,13x,2h Y,12h   AeroFoil=,i3)");
  static const text::Format r13row("(i5,2f15.6)");

  if (s.NELEM > addressable_elements(s.NELEM))
    return "the configuration has " + std::to_string(s.NELEM) + " elements (at most " +
           std::to_string(kMaxElements) + ")";
  const int nelem = s.NELEM;

  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r1a, {});
    for (int k = 1; k <= nelem; ++k) {
      u.write(s.LUOUT, r1h, {k});
      const int n = s.NCONT(k);
      if (n < 0 || n > kContourRows) continue;  // reported by the element pass
      for (int i = 1; i <= n; ++i) u.write(s.LUOUT, rowF6, {i, s.X0(i, k), s.Y0(i, k)});
    }
  }

  std::string first;
  bool ok[kMaxElements + 1] = {};
  for (int k = 1; k <= nelem; ++k) {
    const std::string bad = element_pass(s, k);
    ok[k] = bad.empty();
    if (!ok[k] && first.empty()) first = bad;
  }
  // The same value every element pass computes; also set when no pass got
  // that far.
  s.COSSWEPT = std::cos(kPiSingle * s.SWEPT / 180.0);

  u.write(s.LUOUT, r12a, {s.NCOMPUTE});
  for (int k = 1; k <= nelem; ++k) {
    const int N = s.NPANELS(k);
    if (N == 0 || !ok[k]) continue;
    u.write(s.LUOUT, r12b, {k});
    u.write(s.LUOUT, r12h, {});
    for (int i = 1; i <= N + 1; ++i)
      u.write(s.LUOUT, r12row, {i, s.XPN(i, k), s.YPN(i, k), s.XPN0(i, k), s.YPN0(i, k)});
  }
  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r13a, {});
    for (int k = 1; k <= nelem; ++k) {
      if (!ok[k]) continue;
      u.write(s.LUOUT, r13h, {k});
      for (int i = 1; i <= s.NPANELS(k) + 1; ++i)
        u.write(s.LUOUT, r13row, {i, s.XPN0(i, k), s.YPN0(i, k)});
    }
  }
  return first;
}

}  // namespace sorvane

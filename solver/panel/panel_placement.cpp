// Panel placement: every element's nodes from its chord frame into the
// configuration frame (turned by the deflection about the rotation axis, the
// axis put at its configuration position, y divided by COSSWEPT), the panel
// midpoints in both frames, and the additional control point behind each
// trailing edge.
//
// Row N+1 of XC0/YC0 (the chord-frame midpoints) belongs to no panel; it is
// set to node N+1 itself so that the listing shows a defined value.
//
// Degenerate input is reported, not computed through: a cosine of the sweep
// angle of 0 or not a number stops the placement; an element with a panel
// count outside 2..599 is skipped (its rows cannot be addressed); a node that
// is not a finite number, a panel of zero length or an additional control
// point on one of the element's own trailing-edge nodes is reported after the
// element has been placed. The other elements are still placed; the first
// fault found is returned.
#include "solver/panel/panel_placement.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "solver/panel/element_geometry.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"
#include "solver/state/result.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {
namespace {

// Distance below which the additional control point counts as lying on a
// node, relative to the element's size.
constexpr double kOnNode = 1e-12;

// Records of the placement on the main listing: r1, the input nodes (r2),
// each element placed (r3) and the output tables (r4).
struct PlacementFormats {
  text::Format r1{"(20h GEOM_PAN  Ncompute=,i3)"};
  text::Format r2a{"(//,24h     INPUT subr.GEOM_PAN)"};
  text::Format r2h{"(5h    I,9x,2h X,13x,2h Y,12h   AeroFoil=,i3)"};
  text::Format r2row{"(i5,8f15.6)"};
  text::Format r3a{"(10h  AirFoil=,i3)"};
  text::Format r3b{
      "(/6H FOIL=,i3,6X,5H Xax=,f8.3,5H Yax=,f8.3,5H  Xx=,f8.3,5H  Yx=,f8.3,5H Dfl=,f8.3)"};
  text::Format r3h{"(/5H    I,9X,3HXPN,12X,3HYPN,13X,2HXC,13X,2HYC,12X,4HTETC,12X,4HDYDT)"};
  text::Format r3row{"(I5,8F15.6)"};
  text::Format r4a{"(//,24h    OUTPUT subr.GEOM_PAN)"};
  text::Format r4h{"(6x,3hXax,7x,3HYax,7x,2hXx,8X,2hYx,8x,3HDfl)"};
  text::Format r4v{"(5f10.3)"};
  text::Format r4row{"(I5,6F15.6)"};
};

const PlacementFormats& formats() { return text::listing_table<PlacementFormats>(); }

std::string number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9g", v);
  return buf;
}

// Places element k (N in range) and returns "" or its fault.
std::string place(ProblemState& s, int k) {
  const int N = s.NPANELS(k);
  const double* xpn0 = s.XPN0.column(k);
  const double* ypn0 = s.YPN0.column(k);
  double* xpn = s.XPN.column(k);
  double* ypn = s.YPN.column(k);
  double* xc0 = s.XC0.column(k);
  double* yc0 = s.YC0.column(k);
  double* xc = s.XC.column(k);
  double* yc = s.YC.column(k);

  // 1. Rotation by minus the deflection: a positive deflection turns the
  // trailing edge down.
  const double delta = -s.DFL(k) * s.RAD;
  const double c = std::cos(delta);
  const double sn = std::sin(delta);
  const double xax = s.XAX(k), yax = s.YAX(k), xx = s.XX(k), yy = s.YY(k);
  const double cosswept = s.COSSWEPT;

  // 2. Nodes and chord-frame midpoints.
  for (int i = 0; i <= N; ++i) {
    const double dx = xpn0[i] - xax;
    const double dy = ypn0[i] - yax;
    xpn[i] = c * dx - sn * dy + xx;
    ypn[i] = (sn * dx + c * dy + yy) / cosswept;
  }
  for (int i = 0; i < N; ++i) {
    xc0[i] = 0.5 * (xpn0[i] + xpn0[i + 1]);
    yc0[i] = 0.5 * (ypn0[i] + ypn0[i + 1]);
  }
  xc0[N] = xpn0[N];
  yc0[N] = ypn0[N];

  // 3. Control points of the panels.
  for (int i = 0; i < N; ++i) {
    xc[i] = 0.5 * (xpn[i] + xpn[i + 1]);
    yc[i] = 0.5 * (ypn[i] + ypn[i + 1]);
  }

  // 4. Additional control point on the line from the midpoint of control
  // points 1 and N through the trailing-edge midpoint, DADD beyond it.
  const double xt = 0.5 * (xpn[0] + xpn[N]);
  const double yt = 0.5 * (ypn[0] + ypn[N]);
  const double xm = 0.5 * (xc[0] + xc[N - 1]);
  const double ym = 0.5 * (yc[0] + yc[N - 1]);
  const double phi = std::atan2(ym - yt, xt - xm);
  xc[N] = xt + s.DADD * std::cos(phi);
  yc[N] = yt - s.DADD * std::sin(phi);

  // Faults.
  for (int i = 0; i <= N; ++i) {
    if (!std::isfinite(xpn[i]) || !std::isfinite(ypn[i]))
      return element_text(k) + "node " + std::to_string(i + 1) + " is not a finite number";
  }
  for (int i = 0; i < N; ++i) {
    if (xpn[i] == xpn[i + 1] && ypn[i] == ypn[i + 1])
      return element_text(k) + "panel " + std::to_string(i + 1) + " has zero length (nodes " +
             std::to_string(i + 1) + " and " + std::to_string(i + 2) + " coincide)";
  }
  if (!std::isfinite(xc[N]) || !std::isfinite(yc[N]))
    return element_text(k) +
           "the additional control point is not a finite number (DADD = " + number(s.DADD) + ")";
  const double size = panelled_chord(k);
  const int ends[2] = {0, N};
  for (int e : ends) {
    if (std::hypot(xc[N] - xpn[e], yc[N] - ypn[e]) < kOnNode * size)
      return element_text(k) + "the additional control point lies on trailing-edge node " +
             std::to_string(e + 1) + " (DADD = " + number(s.DADD) +
             "; a closed trailing edge needs DADD other than 0)";
  }
  return "";
}

}  // namespace

std::string GEOM_PAN() {
  ProblemState& s = state();
  text::Units& u = text::units();
  const PlacementFormats& r = formats();

  u.write(s.LUOUT, r.r1, {s.NCOMPUTE});

  if (s.NELEM > addressable_elements(s.NELEM))
    return "the configuration has " + std::to_string(s.NELEM) + " elements (at most " +
           std::to_string(kMaxElements) + ")";
  if (!std::isfinite(s.COSSWEPT) || s.COSSWEPT == 0.0)
    return "the sweep angle gives a cosine of 0 or not a number (SWEPT = " + number(s.SWEPT) +
           ")";
  const int nelem = s.NELEM;

  std::string first;
  for (int k = 1; k <= nelem; ++k) {
    if (!panel_count_allowed(s.NPANELS(k)) && first.empty())
      first = element_text(k) + std::to_string(s.NPANELS(k)) + " panels (2 to " +
              std::to_string(kMaxPanels) + " are allowed)";
  }

  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r.r2a, {});
    for (int k = 1; k <= nelem; ++k) {
      if (!panel_count_allowed(s.NPANELS(k))) continue;
      u.write(s.LUOUT, r.r2h, {k});
      for (int i = 1; i <= s.NPANELS(k) + 1; ++i)
        u.write(s.LUOUT, r.r2row, {i, s.XPN0(i, k), s.YPN0(i, k)});
    }
  }

  for (int k = 1; k <= nelem; ++k) {
    const int N = s.NPANELS(k);
    if (!panel_count_allowed(N)) continue;
    const std::string bad = place(s, k);
    if (!bad.empty() && first.empty()) first = bad;
    if (s.IPRINT > 3) {
      u.write(s.LUOUT, r.r3a, {k});
      u.write(s.LUOUT, r.r3b, {k, s.XAX(k), s.YAX(k), s.XX(k), s.YY(k), s.DFL(k)});
      u.write(s.LUOUT, r.r3h, {});
      for (int i = 1; i <= N + 1; ++i)
        u.write(s.LUOUT, r.r3row,
                {i, s.XPN(i, k), s.YPN(i, k), s.XC(i, k), s.YC(i, k), s.TETC(i, k),
                 s.DYDT(i, k), s.XC0(i, k), s.YC0(i, k)});
    }
  }

  if (s.IPRINT > 2) {
    u.write(s.LUOUT, r.r4a, {});
    for (int k = 1; k <= nelem; ++k) {
      const int N = s.NPANELS(k);
      if (!panel_count_allowed(N)) continue;
      u.write(s.LUOUT, r.r3a, {k});
      u.write(s.LUOUT, r.r4h, {});
      u.write(s.LUOUT, r.r4v, {s.XAX(k), s.YAX(k), s.XX(k), s.YY(k), s.DFL(k)});
      u.write(s.LUOUT, r.r3h, {});
      for (int i = 1; i <= N + 1; ++i)
        u.write(s.LUOUT, r.r4row,
                {i, s.XPN(i, k), s.YPN(i, k), s.XC(i, k), s.YC(i, k), s.TETC(i, k),
                 s.DYDT(i, k)});
    }
  }
  return first;
}

}  // namespace sorvane

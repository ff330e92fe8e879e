// Stagnation split of one element into its two boundary-layer station lists.
//
// The arc length runs along the element's panel nodes from node 1; the
// stagnation point is the zero of the surface velocity, linear between the
// two control points of the last strict sign change. The upper list runs
// forward from there to control point N, the lower list backward to control
// point 1; both start with the stagnation point itself (S = 0, UE = 0). A
// control point within a quarter spacing of the stagnation point is left out
// of its list, so that the first two stations of a list are never nearly
// coincident.
//
// Refusals: an element without a strict sign change (or with fewer than two
// panels, or more than the 599 the tables hold) gets two empty lists; a list
// that cannot start a boundary layer (check_station_list) is left empty and
// the other one is kept. No non-finite value is stored.
//
// Debug listing: a split element gets the whole "Output from SXR" block. An
// element without a stagnation point gets the head of the block, the table
// of its control points (arc length from node 1, unshifted, since there is no
// stagnation point to count from) and the finish records; an element whose
// panel count is outside 1..599 gets no block.
#include <array>
#include <cmath>
#include <string>

#include "solver/boundary_layer/boundary_layer.h"
#include "solver/boundary_layer/input_setup.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {
namespace {

// Records of the "Output from SXR" block on the debug listing.
struct SplitFormats {
  text::Format dash30{"(30(1H-))"};
  text::Format start{"(23H Output from SXR, start)"};
  text::Format alpha{"(8H  Alpha=,F10.3)"};
  text::Format gapDash65{"(/,65(1H-))"};
  text::Format pointHead{"(58H  I         S             Ue              X              Y)"};
  text::Format dash65{"(65(1H-))"};
  text::Format pointRow{"(I3,4E15.4)"};
  text::Format icrit{"(8H  Icrit=,I5,10H    Scrit=,2E15.6)"};
  text::Format s1S2{"(7H    S1=,E15.6,7H    S2=,E15.6)"};
  text::Format gapDash30{"(/,30(1H-))"};
  text::Format upperHead{"(26H  I    S upper    Ue upper)"};
  text::Format lowerHead{"(26H  I    S lower    Ue lower)"};
  text::Format listRow{"(I3,4E12.4)"};
  text::Format finish{"(24H Output from SXR, finish)"};
};

const SplitFormats& formats() { return text::listing_table<SplitFormats>(); }

// Work of one call: arc lengths of the nodes (SN) and control points (SC),
// 1-based, and the two station lists before they are checked and stored.
struct SplitWork {
  int n = 0;                          // panels N
  std::array<double, kNodeRows + 1> SN;  // SN[j], j = 1..N+1
  std::array<double, kNodeRows + 1> SC;  // SC[j], j = 1..N
  int icrit = 0;                      // control point just before the stagnation point
  double scrit = 0.0;                 // arc length of the stagnation point from node 1
  double s1 = 0.0, s2 = 0.0;          // SC(Icrit), SC(Icrit+1) before the shift
  double a = 0.0, b = 0.0;            // the same after the shift
  // Lists: x[s][i-1], ue[s][i-1], i = 1..nx[s]; s = 0 upper, 1 lower.
  std::array<std::array<double, kStations>, 2> x, ue;
  std::array<int, 2> nx{};
};

// SN and SC of element k from its panel nodes.
void arc_lengths(const ProblemState& st, int k, SplitWork& w) {
  const double* xpn = st.XPN.column(k);
  const double* ypn = st.YPN.column(k);
  w.SN[1] = 0.0;
  for (int j = 1; j <= w.n; ++j) {
    const double dx = xpn[j] - xpn[j - 1];
    const double dy = ypn[j] - ypn[j - 1];
    w.SN[j + 1] = w.SN[j] + std::sqrt(dx * dx + dy * dy);
    w.SC[j] = (w.SN[j] + w.SN[j + 1]) * 0.5;
  }
}

// The largest j in 1..n-1 with v(j) * v(j+1) < 0; 0 when there is none.
int last_sign_change(const double* v, int n) {
  for (int j = n - 1; j >= 1; --j)
    if (v[j - 1] * v[j] < 0.0) return j;
  return 0;
}

// Stagnation point, shift of SC, near-stagnation drop and both lists.
void split(const double* vg, SplitWork& w) {
  const int ic = w.icrit;
  w.s1 = w.SC[ic];
  w.s2 = w.SC[ic + 1];
  w.scrit = w.SC[ic] - vg[ic - 1] * (w.SC[ic + 1] - w.SC[ic]) / (vg[ic] - vg[ic - 1]);
  for (int j = 1; j <= w.n; ++j) w.SC[j] -= w.scrit;
  w.a = w.SC[ic];
  w.b = w.SC[ic + 1];

  int du = 0, dl = 0;
  // A stagnation point within a quarter spacing of a control point drops
  // that point (a ratio of exactly 0.5 drops; 0/0 of coincident points does
  // not, and the list check then refuses the list).
  if (std::fabs((w.a + w.b) / (w.b - w.a)) >= 0.5) {
    if (w.b <= -w.a) du = 1;
    else dl = 1;
  }

  // Upper list: forward along the contour to control point N.
  const int nu = w.n - ic + 1 - du;
  w.nx[0] = nu;
  w.x[0][0] = 0.0;
  w.ue[0][0] = 0.0;
  for (int i = 2; i <= nu; ++i) {
    const int j = ic + du + i - 1;
    w.x[0][i - 1] = w.SC[j];
    w.ue[0][i - 1] = -vg[j - 1];
  }
  // Lower list: backward along the contour to control point 1.
  const int nl = ic + 1 - dl;
  w.nx[1] = nl;
  w.x[1][0] = 0.0;
  w.ue[1][0] = 0.0;
  for (int i = 2; i <= nl; ++i) {
    const int j = ic - dl - i + 2;
    w.x[1][i - 1] = -w.SC[j];
    w.ue[1][i - 1] = vg[j - 1];
  }
}

void empty_lists(ProblemState& st, int k) {
  for (int s = 1; s <= 2; ++s) {
    st.NX(k, s) = 0;
    st.XINV(k, s) = 0.0;
    st.NXDONE(k, s) = 0;
  }
  st.NXMAX(k) = 0;
}

void write_head(text::Units& u, int lu, const ProblemState& st) {
  u.write(lu, formats().dash30, {});
  u.write(lu, formats().start, {});
  u.write(lu, formats().alpha, {st.ALPHA_EFF});
  u.write(lu, formats().gapDash65, {});
  u.write(lu, formats().pointHead, {});
  u.write(lu, formats().dash65, {});
}

void write_points(text::Units& u, int lu, const ProblemState& st, int k, const SplitWork& w) {
  for (int j = 1; j <= w.n; ++j)
    u.write(lu, formats().pointRow, {j, w.SC[j], st.VGAMMA(j, k), st.XC0(j, k), st.YC0(j, k)});
  u.write(lu, formats().dash65, {});
}

void write_list(text::Units& u, int lu, const ProblemState& st, int k, int s) {
  u.write(lu, formats().gapDash30, {});
  u.write(lu, s == 1 ? formats().upperHead : formats().lowerHead, {});
  u.write(lu, formats().dash30, {});
  for (int i = 1; i <= st.NX(k, s); ++i) u.write(lu, formats().listRow, {i, st.S(i, k, s), st.UE(i, k, s)});
  u.write(lu, formats().dash30, {});
}

void write_finish(text::Units& u, int lu) {
  u.write(lu, formats().finish, {});
  u.write(lu, formats().dash30, {});
}

std::string element_name(int k) { return "Element " + std::to_string(k); }

}  // namespace

Result SXR(int ielem) {
  Result element = bl::check_element_index(ielem);
  if (!element) return element;
  ProblemState& st = state();
  const int k = ielem + 1;
  text::Units& u = text::units();
  const int lu = st.LUDEB;
  empty_lists(st, k);

  SplitWork w;
  w.n = st.NPANELS(k);
  if (w.n > addressable_panels(w.n))
    return Result::failure(element_name(k) + " has " + std::to_string(w.n) +
                           " panels, more than the " + std::to_string(kMaxPanels) +
                           " its boundary layer can hold; its boundary layer is not computed.");
  const std::string no_split = element_name(k) +
                               ": the surface velocity does not change sign, so there is no "
                               "stagnation point; its boundary layer is not computed.";
  if (addressable_panels(w.n) == 0) return Result::failure(no_split);

  arc_lengths(st, k, w);
  const double* vg = st.VGAMMA.column(k);
  w.icrit = last_sign_change(vg, w.n);
  if (w.icrit == 0) {
    write_head(u, lu, st);
    write_points(u, lu, st, k, w);
    write_finish(u, lu);
    return Result::failure(no_split);
  }

  split(vg, w);

  // Store the lists that can start a boundary layer; leave the others empty.
  std::string why;
  for (int s = 1; s <= 2; ++s) {
    const Result r = bl::check_station_list(ielem, s - 1, w.x[s - 1].data(), w.ue[s - 1].data(),
                                            w.nx[s - 1]);
    if (!r) {
      if (!why.empty()) why += '\n';
      why += r.message;
      continue;
    }
    const int n = w.nx[s - 1];
    double* S = st.S.column(k, s);
    double* UE = st.UE.column(k, s);
    for (int i = 0; i < n; ++i) {
      S[i] = w.x[s - 1][i];
      UE[i] = w.ue[s - 1][i];
    }
    st.NX(k, s) = n;
    st.XINV(k, s) = S[n - 1];
  }
  st.NXMAX(k) = st.NX(k, 1) >= st.NX(k, 2) ? st.NX(k, 1) : st.NX(k, 2);

  write_head(u, lu, st);
  write_points(u, lu, st, k, w);
  u.write(lu, formats().icrit, {w.icrit, w.scrit, (w.a + w.b) * 0.5});
  u.write(lu, formats().s1S2, {w.s1, w.s2});
  write_list(u, lu, st, k, 1);
  write_list(u, lu, st, k, 2);
  write_finish(u, lu);

  if (!why.empty()) return Result::failure(why);
  return Result::success();
}

}  // namespace sorvane

// The panel solution: one constant-strength vortex-panel system in
// stream-function form for all elements together, its row-wise elimination,
// surface velocities, pressure coefficients with the sweep and
// compressibility corrections, element forces, configuration totals and the
// listings of a solution.
#include "solver/panel/panel_solution.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "solver/panel/compressibility.h"
#include "solver/panel/element_forces.h"
#include "solver/panel/element_geometry.h"
#include "solver/panel/elimination.h"
#include "solver/panel/panel_placement.h"
#include "solver/panel/panel_solution_phases.h"
#include "solver/state/limits.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"
#include "solver/state/result.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {
namespace {

constexpr int kRows = 1200;         // rows of the influence matrix
constexpr int kLd = kRows + 1;      // N coefficient columns, then the right-hand side

// Records of the panel solution, in the order of the listing.
struct SolutionFormats {
  text::Format header{"(//17X,39H**** AIRFOIL'S CALCULATION RESULT *****)"};
  // Influence coefficients (IPRINT above 5).
  text::Format coefHead{
      "(5h    i,5h    j,8x,3HDEL,12x,3HRKP,12x,2HR1,12x,2HR2,12x,4HBETA,12x,3HRPN,12x,"
      "3HAPN,12x,3HBPN)"};
  text::Format coefDiag{"(2i5,2e15.5,2i5)"};
  text::Format coefOther{"(2i5,8e15.5,2i5,8e15.5)"};
  // The matrix (IPRINT 7).
  text::Format matrixFirst{"(i5,20e11.3)"};
  text::Format matrixMore{"(20E11.3)"};
  // Results.
  text::Format alphaOut{"(/31X,6HALPHA=,E11.3,5x,9hFOILPMG 0,/)"};
  text::Format alphaStd{"(/31X,6HALPHA=,E11.3,/)"};
  text::Format element{"(/33X,7HELEMENT,I3,/)"};
  text::Format columns{"(/12X,1HN,8X,1HX,12X,1HS,12X,1HV,11X,2HCP,/)"};
  text::Format airfoil{"(8H Airfoil,i2,8H  CHORD=,f12.3,10H     AIRCH)"};
  text::Format detailHead{
      "(5h    i,9x,3hXCT,12x,3hYCT,12x,3hCPT,12x,3hTET,11x,4hHTET,12x,3hDYD,12x,3hDEL)"};
  text::Format detail{"(I5,9F15.6)"};
  text::Format forces{"(/,10X,6H   CN=,E12.5,5X,6H   CT=,E12.5,5X,6H   MZ=,E12.5)"};
  text::Format coefs{
      "(10X,6H   CX=,E12.5,5X,6H   CY=,E12.5,5X,6H   MZ=,E12.5,5X,6H  ZMZ=,E12.5)"};
  text::Format raw{"(10X,6H CMZ0=,E12.5,5X,6H CY*B=,E12.5,5X,6H MZ*B=,E12.5)"};
  text::Format gamma{"(/32X,10HCY(GAMMA)=,E12.5,/)"};
  text::Format totals{"(10X,6H  CXS=,E12.5,5X,6H  CYS=,E12.5,5X,6H  CMS=,E12.5)"};
};

const SolutionFormats& formats() { return text::listing_table<SolutionFormats>(); }

// Work arrays of the panel solution: allocated at the first solution of the
// process and reused by every later one; nothing in a solution allocates.
// This is the one work object of the panel solver: the solution's phases use
// it, and it hands the element geometry its work explicitly.
struct Work {
  bool ready = false;
  std::vector<double> A;     // influence matrix, row-major, kRows x kLd
  std::vector<double> aa, bb;  // one equation for EQU, EQU's scratch
  std::vector<int> im1, im2;   // EQU's pivot bookkeeping
  std::vector<double> del;   // DEL(j,k): half panel lengths, (600,5)
  // Per-panel data, indexed by the panel's column (0-based).
  std::vector<double> pxm, pym, pcb, psb, ph;
  // Nodes of all elements, indexed like the variables (node j of element k
  // at off(k) + j - 1), and one row of log r^2 to them.
  std::vector<double> nx, ny, lg;
  // One element's values gathered for ELEMENT_FORCES (600 each).
  std::vector<double> ecp, exc, eyc, exn, eyn;
  std::vector<text::Item> items;  // the items of a matrix-listing record
  GeometryWork geometry;          // the element geometry's work (GEOM)
  // The system of the current solution.
  int n = 0;                  // equations
  int nelem = 0;
  int off[kMaxElements + 1] = {};  // off[k-1] = off(k); off[nelem] = N
  double a = 0.0;             // effective angle, radians
};

Work& work() {
  static Work w;
  return w;
}

double& DEL(Work& w, int j, int k) { return w.del[(k - 1) * kControlRows + (j - 1)]; }

void allocate(Work& w) {
  if (w.ready) return;
  // The influence matrix and the elimination store are reserved for the
  // largest system and their pages first touched as a solution needs them
  // (size_for): a small configuration does not pay for the page faults of
  // 14 MB it never uses.
  w.A.reserve(static_cast<std::size_t>(kRows) * kLd);
  w.aa.assign(kRows, 0.0);
  w.bb.assign(kRows, 0.0);
  w.im1.assign(kRows, 0);
  w.im2.assign(kRows, 0);
  w.del.assign(static_cast<std::size_t>(kControlRows) * kMaxElements, 0.0);
  for (auto* v : {&w.pxm, &w.pym, &w.pcb, &w.psb, &w.ph, &w.nx, &w.ny, &w.lg}) {
    v->assign(kRows + 1, 0.0);
  }
  for (auto* v : {&w.ecp, &w.exc, &w.eyc, &w.exn, &w.eyn}) v->assign(kControlRows, 0.0);
  w.items.assign(kLd, text::Item(0.0));
  ProblemState& s = state();
  if (s.c.capacity() < static_cast<std::size_t>(kEliminationStore)) s.c.reserve(kEliminationStore);
  w.ready = true;
}

// Grows the influence matrix to the rows of an N-equation system and the
// elimination store to what its elimination holds at its fullest, within
// the capacity reserved by allocate (nothing is allocated here).
void size_for(ProblemState& s, Work& w, int N) {
  const std::size_t rows = static_cast<std::size_t>(N) * kLd;
  if (w.A.size() < rows && w.A.capacity() >= rows) w.A.resize(rows);
  const std::size_t store = static_cast<std::size_t>(elimination_store_need(N + 1));
  if (s.c.size() < store && s.c.capacity() >= store) s.c.resize(store);
}

// Element and control point of equation r (1-based).
void locate(const Work& w, int r, int* k, int* i) {
  int e = 1;
  while (e < w.nelem && r > w.off[e]) ++e;
  *k = e;
  *i = r - w.off[e - 1];
}

bool finite(double v) { return std::isfinite(v); }

// The influence coefficient of a vortex panel on a control point at its own
// midpoint: h*(ln h - 1)/PI.
inline double self_coefficient(double h, double pi) { return h * (std::log(h) - 1.0) / pi; }

// Listing of every influence coefficient (IPRINT above 5), in the order of
// the panels, with the geometric values behind it.
void list_coefficients(ProblemState& s, Work& w) {
  const SolutionFormats& f = formats();
  const int N = w.n;
  for (int k = 1; k <= w.nelem; ++k) {
    const int np = s.NPANELS(k);
    for (int j = 1; j <= np; ++j) {
      const int col = w.off[k - 1] + j;
      const double x1 = s.XPN(j, k), y1 = s.YPN(j, k);
      const double x2 = s.XPN(j + 1, k), y2 = s.YPN(j + 1, k);
      const double beta = std::atan2(y2 - y1, x2 - x1);
      const double h = DEL(w, j, k);
      for (int kk = 1; kk <= w.nelem; ++kk) {
        text::units().write(s.LUOUT, f.coefHead, {});
        for (int i = 1; i <= s.NPANELS(kk) + 1; ++i) {
          const int row = w.off[kk - 1] + i;
          const double A = w.A[static_cast<std::size_t>(row - 1) * kLd + (col - 1)];
          if (row == col) {
            text::units().write(s.LUOUT, f.coefDiag, {j, i, h, A, row, col});
            continue;
          }
          const double xc = s.XC(i, kk), yc = s.YC(i, kk);
          const double r1s = (x1 - xc) * (x1 - xc) + (y1 - yc) * (y1 - yc);
          const double r2s = (x2 - xc) * (x2 - xc) + (y2 - yc) * (y2 - yc);
          const double DX = s.XC(j, k) - xc, DY = s.YC(j, k) - yc;
          const double rho = std::sqrt(DX * DX + DY * DY);
          const double theta = std::atan2(DY, DX) - beta;
          const double sv = rho * std::sin(theta), cv = rho * std::cos(theta);
          text::units().write(s.LUOUT, f.coefOther,
                              {j, i, h, A, std::sqrt(r1s), std::sqrt(r2s), theta, rho, sv, cv,
                               row, col, r1s, r2s, beta, h});
        }
      }
    }
  }
  (void)N;
}

// Matrix listing (IPRINT 7): per equation its number and coefficients and
// right-hand side, twenty values to a line.
void list_matrix(ProblemState& s, Work& w) {
  const SolutionFormats& f = formats();
  const int N = w.n;
  for (int r = 1; r <= N; ++r) {
    const double* row = &w.A[static_cast<std::size_t>(r - 1) * kLd];
    w.items[0] = text::Item(r);
    const int first = N + 1 < 20 ? N + 1 : 20;
    for (int j = 0; j < first; ++j) w.items[1 + j] = text::Item(row[j]);
    text::units().write(s.LUOUT, f.matrixFirst, w.items.data(), 1 + first);
    const int rest = N + 1 - first;
    if (rest > 0) {
      for (int j = 0; j < rest; ++j) w.items[j] = text::Item(row[first + j]);
      text::units().write(s.LUOUT, f.matrixMore, w.items.data(), rest);
    }
  }
}

Result fail(ProblemState& s, const std::string& message) {
  const std::string line = "Solution failed: " + message;
  text::units().write_text(s.LUOUT, line + "\n");
  // Standard output is unit 6 also before a file has set LUSTD.
  text::units().write_text(text::Units::std_unit(s.LUSTD), line + "\n");
  s.SOLUTION_STATUS = SolutionStatus::kFailed;
  s.SOLUTION_MESSAGE.assign(line.data(), line.size());
  // A remark belongs to a valid solution (the results may have been judged
  // before the fault was found).
  s.SOLUTION_REMARK.blank();
  text::units().flush_all();
  return Result::failure(line);
}

}  // namespace

namespace panel_phases {

std::string prepare() {
  ProblemState& s = state();
  Work& w = work();
  try {
    allocate(w);
  } catch (const std::bad_alloc&) {
    return "Allocation would exceed memory limit";
  }
  if (!element_count_allowed(s.NELEM)) {
    return "the number of elements is " + std::to_string(s.NELEM) + " (1 to " +
           std::to_string(kMaxElements) + " allowed)";
  }
  int n = 0;
  for (int k = 1; k <= s.NELEM; ++k) {
    const int np = s.NPANELS(k);
    if (!panel_count_allowed(np)) {
      return element_text(k) + std::to_string(np) + " panels (2 to " +
             std::to_string(kMaxPanels) + " allowed)";
    }
    const int cap = contour_point_capacity(s.ISMOOTH(k));
    if (s.NCONT(k) > cap) {
      return element_text(k) + std::to_string(s.NCONT(k)) + " contour points (at most " +
             std::to_string(cap) + (s.ISMOOTH(k) == 1 ? " with smoothing)" : ")");
    }
    if (!(s.CHORD(k) != 0.0) || !finite(s.CHORD(k))) {
      return element_text(k) + "the element chord BELEM is " + number_text(s.CHORD(k));
    }
    n += np + 1;
  }
  if (!equation_count_allowed(n)) {
    return "the panel system has " + std::to_string(n) + " equations (at most " +
           std::to_string(kMaxEquations) + "; reduce the panel counts)";
  }
  if (!(s.BREF != 0.0) || !finite(s.BREF)) {
    return "the reference chord BREF is " + number_text(s.BREF);
  }
  const Compressibility correction = compressibility_correction(s.ICOMPR);
  if (correction != Compressibility::kNone && !(std::fabs(s.MACH) < 1.0)) {
    return "Mach number " + number_text(s.MACH) + " is not below 1, which the " +
           correction_name(correction) + " correction requires";
  }
  s.ALPHA_EFF = std::asin(std::sin(s.RAD * s.ALPHA) / std::cos(s.RAD * s.SWEPT)) / s.RAD;
  // At 90 degrees and beyond no flow crosses the sections: cos(SWEPT) is
  // 6e-17 or negative, the ordinates divided by it blow up or turn over, and
  // the coefficients would come out as zeros that look valid.
  if (!(std::fabs(s.SWEPT) < 90.0)) {
    return "the sweep angle SWEPT = " + number_text(s.SWEPT) +
           " leaves no flow across the sections (cos(SWEPT) = " +
           number_text(std::cos(s.RAD * s.SWEPT)) +
           "); the sweep must lie between -90 and 90 degrees";
  }
  if (!finite(s.ALPHA_EFF)) {
    return "no effective angle of attack: sin(ALPHA) = sin(" + number_text(s.ALPHA) +
           ") is larger in magnitude than cos(SWEPT) = cos(" + number_text(s.SWEPT) + ")";
  }
  return "";
}

std::string assemble(int* nOut) {
  ProblemState& s = state();
  Work& w = work();
  const double PI = s.PI;

  // Offsets, nodes and per-panel values.
  w.nelem = s.NELEM;
  w.off[0] = 0;
  for (int k = 1; k <= w.nelem; ++k) w.off[k] = w.off[k - 1] + s.NPANELS(k) + 1;
  const int N = w.off[w.nelem];
  w.n = N;
  *nOut = N;
  size_for(s, w, N);
  for (int k = 1; k <= w.nelem; ++k) {
    const int np = s.NPANELS(k);
    const int o = w.off[k - 1];
    const double* xp = s.XPN.column(k);
    const double* yp = s.YPN.column(k);
    const double* xc = s.XC.column(k);
    const double* yc = s.YC.column(k);
    for (int j = 0; j <= np; ++j) {
      w.nx[o + j] = xp[j];
      w.ny[o + j] = yp[j];
    }
    for (int j = 0; j < np; ++j) {
      const double dx = xp[j + 1] - xp[j], dy = yp[j + 1] - yp[j];
      const double h = 0.5 * std::sqrt(dx * dx + dy * dy);
      DEL(w, j + 1, k) = h;
      w.ph[o + j] = h;
      w.pcb[o + j] = dx / (2.0 * h);
      w.psb[o + j] = dy / (2.0 * h);
      w.pxm[o + j] = xc[j];
      w.pym[o + j] = yc[j];
      if (!(h > 0.0) || !finite(h)) {
        return element_text(k) + "panel " + std::to_string(j + 1) +
               " has zero or non-finite length";
      }
    }
    // The psi column has no panel: give its slot harmless values.
    w.ph[o + np] = 1.0;
    w.pcb[o + np] = 1.0;
    w.psb[o + np] = 0.0;
    w.pxm[o + np] = 0.0;
    w.pym[o + np] = 0.0;
  }

  const double a = s.RAD * s.ALPHA_EFF;
  w.a = a;
  const bool equal_pressure = te_condition(s.ITE) == TrailingEdge::kEqualPressure;
  const double ca = std::cos(a), sa = std::sin(a);

  // Rows: one control point each. log r^2 to every node once per row; each
  // serves the two panels that share the node.
  double* lg = w.lg.data();
  const double* nx = w.nx.data();
  const double* ny = w.ny.data();
  for (int kk = 1; kk <= w.nelem; ++kk) {
    const int npk = s.NPANELS(kk);
    for (int i = 1; i <= npk + 1; ++i) {
      const int row = w.off[kk - 1] + i;
      double* A = &w.A[static_cast<std::size_t>(row - 1) * kLd];
      const double xc = s.XC(i, kk), yc = s.YC(i, kk);
      for (int q = 0; q < N; ++q) {
        const double ex = nx[q] - xc, ey = ny[q] - yc;
        lg[q] = std::log(ex * ex + ey * ey);
      }
      for (int k = 1; k <= w.nelem; ++k) {
        const int o = w.off[k - 1];
        const int np = s.NPANELS(k);
        const double* pxm = &w.pxm[o];
        const double* pym = &w.pym[o];
        const double* pcb = &w.pcb[o];
        const double* psb = &w.psb[o];
        const double* ph = &w.ph[o];
        const double* L = &lg[o];
        double* Ar = A + o;
        for (int j = 0; j < np; ++j) {
          const double DX = pxm[j] - xc, DY = pym[j] - yc;
          const double h = ph[j];
          const double c = DX * pcb[j] + DY * psb[j];
          const double sv = -DX * psb[j] + DY * pcb[j];
          const double T = std::atan2(2.0 * sv * h, c * c + sv * sv - h * h);
          Ar[j] = (2.0 * sv * T + (c + h) * L[j + 1] - (c - h) * L[j] - 4.0 * h) * 0.25 / PI;
          // A control point at the panel's own midpoint (its own row, or a
          // coincident point of another element) takes the closed form of
          // the same integral, so coincident geometry gives identical values.
          if (DX == 0.0 && DY == 0.0) Ar[j] = self_coefficient(h, PI);
        }
        Ar[np] = (k == kk) ? 1.0 : 0.0;  // psi(k)
      }
      A[N] = ca * yc - sa * xc;
      // A coefficient that is not a number (a control point on a node)
      // makes the whole row's sum non-finite.
      // The trailing-edge rows replaced below (ITE 1) do not count.
      double sum = 0.0;
      for (int q = 0; q <= N; ++q) sum += A[q];
      const bool replaced = equal_pressure && i == npk + 1;
      if (!replaced && !finite(sum)) {
        int bad = 0;
        for (int q = 0; q <= N && !bad; ++q) {
          if (!finite(A[q])) bad = q + 1;
        }
        int ke = 1, je = 1;
        locate(w, bad > 0 ? bad : 1, &ke, &je);
        return element_text(kk) + "influence coefficient of element " + std::to_string(ke) +
               ", panel " + std::to_string(je) + " at control point " + std::to_string(i) +
               " is not finite (a control point on a panel node?)";
      }
    }
  }

  if (s.IPRINT > 5) list_coefficients(s, w);

  // Trailing-edge condition: gamma(k,1) + gamma(k,NPANELS(k)) = 0.
  if (equal_pressure) {
    for (int k = 1; k <= w.nelem; ++k) {
      const int np = s.NPANELS(k);
      const int row = w.off[k - 1] + np + 1;
      double* A = &w.A[static_cast<std::size_t>(row - 1) * kLd];
      for (int q = 0; q <= N; ++q) A[q] = 0.0;
      A[w.off[k - 1]] = 1.0;
      A[w.off[k - 1] + np - 1] = 1.0;
    }
  }

  if (s.IPRINT == 7) list_matrix(s, w);
  return "";
}

std::string eliminate() {
  ProblemState& s = state();
  Work& w = work();
  const int N = w.n;
  double* aa = w.aa.data();
  for (int r = 1; r <= N; ++r) {
    const double* row = &w.A[static_cast<std::size_t>(r - 1) * kLd];
    std::memcpy(aa, row, sizeof(double) * static_cast<std::size_t>(N + 1));
    if (!EQU(aa, w.bb.data(), r, N + 1, w.im1.data(), w.im2.data())) {
      int k = 1, i = 1;
      locate(w, r, &k, &i);
      return element_text(k) + "the panel system is singular: zero, non-finite or negligible "
             "pivot at equation " + std::to_string(r) + " (control point " + std::to_string(i) +
             "); a contour of zero thickness or panels lying on one another make it so";
    }
  }
  for (int r = 1; r <= N; ++r) w.A[static_cast<std::size_t>(r - 1) * kLd + N] = aa[r - 1];
  (void)s;
  return "";
}

std::string results() {
  ProblemState& s = state();
  Work& w = work();
  text::Units& u = text::units();
  const SolutionFormats& f = formats();

  const int N = w.n;
  const double sinS = std::sin(s.RAD * s.SWEPT), cosS = std::cos(s.RAD * s.SWEPT);
  const double sin2 = sinS * sinS, cos2 = cosS * cosS;
  const double a = w.a;
  const CompressibilityCorrection correction =
      correction_at(compressibility_correction(s.ICOMPR), s.MACH);

  // The range of the correction, judged on the lowest Cp0 of every element
  // before anything of the solution is written: past the correction's pole
  // or below vacuum there is no solution; below the critical Cp the numbers
  // stand with a remark.
  LowestCp0 lowest[kMaxElements];
  for (int k = 1; k <= w.nelem; ++k) {
    const int o = w.off[k - 1];
    for (int i = 1; i <= s.NPANELS(k); ++i) {
      const double V = w.A[static_cast<std::size_t>(o + i - 1) * kLd + N];
      lowest[k - 1].take(i, (1.0 - sin2) - V * V * cos2);
    }
  }
  const CorrectionVerdict verdict = judge_correction(correction, s.SWEPT, lowest, w.nelem);
  if (verdict.range == CorrectionRange::kPastPole || verdict.range == CorrectionRange::kVacuum)
    return correction_message(verdict);
  if (verdict.range == CorrectionRange::kSupersonic) {
    const std::string remark = correction_message(verdict);
    s.SOLUTION_REMARK.assign(remark.data(), remark.size());
  }

  s.CMS = 0.0;
  s.CYGAMMAS = 0.0;
  s.CYS = 0.0;
  s.CXS = 0.0;
  u.write(s.LUOUT, f.alphaOut, {s.ALPHA_EFF});
  u.write(s.LUSTD, f.alphaStd, {s.ALPHA_EFF});
  for (int k = 1; k <= w.nelem; ++k) {
    const int np = s.NPANELS(k);
    const int o = w.off[k - 1];
    u.write(s.LUOUT, f.element, {k});
    u.write(s.LUOUT, f.columns, {});
    u.write(s.LUCPF, f.element, {k});
    u.write(s.LUSUM, f.element, {k});
    u.write(s.LUSTD, f.element, {k});
    u.write(s.LUOUT, f.airfoil, {k, s.CHORD(k)});
    if (s.IPRINT > 3) u.write(s.LUOUT, f.detailHead, {});
    const double sqc = std::sqrt(s.CHORD(k));
    double cyg = 0.0;
    for (int i = 1; i <= np; ++i) {
      const double V = w.A[static_cast<std::size_t>(o + i - 1) * kLd + N];
      s.VGAMMA(i, k) = V;
      const double cp0 = (1.0 - sin2) - V * V * cos2;
      const double cp = correction.apply(cp0);
      s.CP(i, k) = cp;
      cyg = cyg - V * DEL(w, i, k);
      if (s.IPRINT > 3) {
        u.write(s.LUOUT, f.detail,
                {o + i, s.XC(i, k), s.YC(i, k), cp, s.TETC(i, k) / sqc,
                 (s.TP(i + 1, k) - s.TP(i, k)) / sqc, s.DYDT(i, k), DEL(w, i, k), s.XPN(i, k),
                 s.YPN(i, k)});
      }
    }
    const int n = np + 1;
    if (s.IPRINT > 3) {
      u.write(s.LUOUT, f.detail,
              {n, s.XC(n, k), s.YC(n, k), s.XPN(n, k), s.YPN(n, k), s.XPN(n, k), s.YPN(n, k)});
    }
    s.CYGAMMA(k) = 4.0 * cyg / s.CHORD(k);

    // Gather the element for the force integration; row n holds the
    // additional control point and Cp 0.
    for (int i = 1; i <= np; ++i) w.ecp[i - 1] = s.CP(i, k);
    w.ecp[n - 1] = 0.0;
    std::memcpy(w.exc.data(), s.XC.column(k), sizeof(double) * n);
    std::memcpy(w.eyc.data(), s.YC.column(k), sizeof(double) * n);
    std::memcpy(w.exn.data(), s.XPN.column(k), sizeof(double) * n);
    std::memcpy(w.eyn.data(), s.YPN.column(k), sizeof(double) * n);
    double CN = 0, CT = 0, CX = 0, CY = 0, MZ0 = 0, MZ = 0;
    ELEMENT_FORCES(n, w.ecp.data(), w.exc.data(), w.eyc.data(), w.exn.data(), w.eyn.data(), a,
                   s.XREF, s.YREF, s.XX(k) + s.DXM(k), s.YY(k) + s.DYM(k), CN, CT, CX, CY, MZ0,
                   MZ);
    s.CY(k) = CY / s.CHORD(k);
    s.CYB(k) = CY;
    s.CX(k) = CX / s.CHORD(k);
    s.CMZ0(k) = MZ0;
    s.MZ(k) = MZ / s.CHORD(k) / s.CHORD(k);
    s.CYGAMMAS += s.CYGAMMA(k) * s.CHORD(k);
    s.CYS += s.CYB(k);
    s.CXS += s.CX(k) * s.CHORD(k);
    s.CMS += s.CMZ0(k);

    for (int unit : {s.LUSUM, s.LUSTD}) u.write(unit, f.forces, {CN, CT, MZ});
    for (int unit : {s.LUSUM, s.LUSTD}) u.write(unit, f.coefs, {s.CX(k), s.CY(k), s.MZ(k), MZ});
    for (int unit : {s.LUSUM, s.LUSTD}) u.write(unit, f.raw, {s.CMZ0(k), s.CYB(k), MZ});
    for (int unit : {s.LUSUM, s.LUSTD}) u.write(unit, f.gamma, {s.CYGAMMA(k)});
  }
  s.CYS = s.CYS / s.BREF;
  s.CXS = s.CXS / s.BREF;
  s.CYGAMMAS = s.CYGAMMAS / s.BREF;
  for (int unit : {s.LUSUM, s.LUSTD}) u.write(unit, f.totals, {s.CXS, s.CYS, s.CMS});
  for (int unit : {s.LUSUM, s.LUSTD}) u.write(unit, f.gamma, {s.CYGAMMAS});

  // Everything the windows show must be a number.
  for (int k = 1; k <= w.nelem; ++k) {
    for (int i = 1; i <= s.NPANELS(k); ++i) {
      if (!finite(s.VGAMMA(i, k)) || !finite(s.CP(i, k))) {
        return element_text(k) + "the velocity or Cp at control point " + std::to_string(i) +
               " is not finite";
      }
    }
    if (!finite(s.CY(k)) || !finite(s.CX(k)) || !finite(s.MZ(k)) || !finite(s.CMZ0(k)) ||
        !finite(s.CYB(k)) || !finite(s.CYGAMMA(k))) {
      return element_text(k) + "the element coefficients are not finite";
    }
  }
  if (!finite(s.CYS) || !finite(s.CXS) || !finite(s.CMS) || !finite(s.CYGAMMAS)) {
    return "the configuration totals are not finite";
  }
  return "";
}

const double* matrix() { return work().A.data(); }
int leading_dimension() { return kLd; }

}  // namespace panel_phases

Result FOILPMG() {
  ProblemState& s = state();
  s.SOLUTION_REMARK.blank();
  std::string fault = panel_phases::prepare();
  if (fault.empty()) fault = GEOM(work().geometry);
  if (fault.empty()) fault = GEOM_PAN();
  if (!fault.empty()) return fail(s, fault);
  text::units().write(s.LUOUT, formats().header, {});
  text::units().write(s.LUSTD, formats().header, {});
  int n = 0;
  fault = panel_phases::assemble(&n);
  if (fault.empty()) fault = panel_phases::eliminate();
  if (fault.empty()) fault = panel_phases::results();
  if (!fault.empty()) return fail(s, fault);
  s.SOLUTION_STATUS = SolutionStatus::kOk;
  s.SOLUTION_MESSAGE.blank();
  text::units().flush_all();
  Result done = Result::success();
  if (s.SOLUTION_REMARK.trimmed_length() > 0)
    done.warnings.emplace_back(s.SOLUTION_REMARK.c, s.SOLUTION_REMARK.trimmed_length());
  return done;
}

}  // namespace sorvane

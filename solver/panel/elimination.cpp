// Row-wise Gauss-Jordan elimination of the panel system.
//
// The equations arrive one per call. Each step reduces the new equation by
// the pivots chosen so far, picks its pivot among the columns not yet used,
// stores it normalised, and reduces the stored equations by the new pivot,
// dropping that column from them. The stored equations are packed end to
// end. The reduction of the stored equations by a step's pivot is made by
// the next step, in the same pass over the store that reduces the next
// equation (each stored value is read and written once per step, not read
// twice and written once): between steps i and i+1, equations k = 1..i-1
// hold the n - i + 1 columns unused before step i at (k-1)*(n-i+1)+1 ..
// k*(n-i+1), and equation i, normalised, the n - i columns unused after it,
// right after them. The last step makes its own reduction, so that after it
// every equation is down to its right-hand side, at position k. The values
// are those of a step-by-step reduction to the last bit: every subtraction
// is the same and comes in the same order.
//
// The pivot is the unused coefficient of largest magnitude (lowest column on
// ties). A pivot that is zero, not finite, or negligible against what formed
// it (see kNegligiblePivot) ends the elimination with a record on standard
// output and a false result.
#include "solver/panel/elimination.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {

namespace {

constexpr int kMaxColumns = 1200;  // n: 1199 variables and the right-hand side

// A singular system (a contour of zero thickness, two coincident panels)
// rarely gives an exact zero pivot: rounding leaves a remainder, and the
// solution then "succeeds" with values of 1e10 and more. So the pivot is
// measured against the size of what formed it: the new equation's own
// coefficient in the pivot column plus the magnitude of every amount the
// removal of the earlier pivots subtracted from it. A ratio at or below this
// margin means the equation is, within rounding, a combination of the
// earlier ones. The smallest ratio of a solution stays above 5e-4 for the
// examples and the exact test cases, and above 5e-5 for sections of 0.6 %
// thickness and more up to 1199 equations and chords of 0.001 to 1000;
// straight contours of zero thickness stay below 5e-9 at any panel count.
// Unlike a comparison with the largest coefficient of the equation, the
// ratio does not depend on the size of the chord (the psi column holds 1
// whatever the chord, the panel coefficients scale with it). Sections of
// about 0.1 % thickness and less come near the margin and may be refused as
// singular at some panel counts.
constexpr double kNegligiblePivot = 1e-7;

int std_unit() { return text::Units::std_unit(state().LUSTD); }

// Records of the elimination on standard output.
struct EliminationFormats {
  // A zero, non-finite or negligible pivot at step i.
  text::Format zeroPivot{
      "(3HON ,I3,14H  DELET  STEP ,44H MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO )"};
};

const EliminationFormats& formats() { return text::listing_table<EliminationFormats>(); }

void report_zero_pivot(int i) { text::units().write(std_unit(), formats().zeroPivot, {i}); }

void report_capacity(int i, int n, long need, long have) {
  char line[200];
  std::snprintf(line, sizeof line,
                " ELIMINATION STEP %d OF %d COLUMNS NEEDS %ld VALUES, THE STORE HOLDS %ld"
                " (AT MOST %d COLUMNS)\n",
                i, n, need, have, kMaxColumns);
  text::units().write_text(std_unit(), line);
}

void report_order(int i, int n) {
  char line[160];
  std::snprintf(line, sizeof line,
                " ELIMINATION STEP %d OF %d COLUMNS OUT OF ORDER: THE PIVOT LIST DOES NOT"
                " MATCH THE STEP\n",
                i, n);
  text::units().write_text(std_unit(), line);
}

// u(0..m-1) -= f0*c0 + f1*c1 + ..., subtracting the rows in order, so that
// every value sees the same sequence of roundings as a row-by-row sweep.
inline void reduce_by_rows(double* __restrict u, const double* __restrict c, int m,
                           const double* __restrict f, int rows) {
  int k = 0;
  for (; k + 4 <= rows; k += 4) {
    const double f0 = f[k], f1 = f[k + 1], f2 = f[k + 2], f3 = f[k + 3];
    const double* __restrict c0 = c + static_cast<long>(k) * m;
    const double* __restrict c1 = c0 + m;
    const double* __restrict c2 = c1 + m;
    const double* __restrict c3 = c2 + m;
    for (int j = 0; j < m; ++j) {
      double v = u[j];
      v -= f0 * c0[j];
      v -= f1 * c1[j];
      v -= f2 * c2[j];
      v -= f3 * c3[j];
      u[j] = v;
    }
  }
  for (; k < rows; ++k) {
    const double fk = f[k];
    const double* __restrict ck = c + static_cast<long>(k) * m;
    for (int j = 0; j < m; ++j) u[j] -= fk * ck[j];
  }
}

// dst(j) = src(j) - f*w(j), j = 0..len-1, with dst at or before src in the
// same store (the repacking moves every equation towards the front). Front
// to back, every write lands at or before the value it replaces and after
// every value already read; dst and src may overlap, so they carry no
// __restrict: the compiler checks their distance and vectorises when it
// allows.
inline void update_shift(double* dst, const double* src, const double* __restrict w,
                         double f, int len) {
  for (int j = 0; j < len; ++j) dst[j] = src[j] - f * w[j];
}

// The same update, with the new equation u reduced by the updated values on
// the way: v = src(j) - f*w(j) goes to dst(j), and u(j) -= g*v. The values
// are those of update_shift followed by reduce_by_rows over the row, to the
// last bit, with the row read and written once.
inline void update_shift_reduce(double* dst, const double* src, const double* __restrict w,
                                double f, double* __restrict u, double g, int len) {
  for (int j = 0; j < len; ++j) {
    const double v = src[j] - f * w[j];
    dst[j] = v;
    u[j] -= g * v;
  }
}

// The step's loops are plain element-wise multiplies and subtractions, so a
// build for the base instruction set gets a second copy for processors with
// 256-bit vectors, chosen once at load time. Neither copy fuses the multiply
// into the subtraction, so both give the same results to the last bit.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define SORVANE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SORVANE_VECTOR_CLONES
#endif
#if defined(__GNUC__)
#define SORVANE_ALWAYS_INLINE __attribute__((always_inline))
#else
#define SORVANE_ALWAYS_INLINE
#endif

// Brings the earlier equations up to date and reduces the new one by them,
// in one pass over the store.
//
// Between two steps the stored equations 1..i-2 still hold the m+1 columns
// that were unused before step i-1: the pivot of step i-1 (at position q of
// those columns) has not been removed from them yet. Equation i-1, the
// pivot row w of that step, already holds its m columns, after them. The
// pass removes the pivot from equation k (k = 1..i-2, in order), repacks it
// to m values at (k-1)*m, which is exactly step i-1's reduction, and
// subtracts f(k) times the result from u; then it moves w down to (i-2)*m
// and subtracts f(i-1)*w. Every value of u sees the subtractions in the
// order of the stored equations, as in a sweep over an up-to-date store.
// (Inlined into both copies of the step, so that it is built for both.)
SORVANE_ALWAYS_INLINE
inline void update_and_reduce(double* store, int m, int q, int rows, double* __restrict u,
                              const double* __restrict f) {
  const int old = m + 1;  // values of the equations not yet updated
  const double* w = store + static_cast<long>(rows - 1) * old;
  for (int k = 0; k < rows - 1; ++k) {
    const double* src = store + static_cast<long>(k) * old;
    double* dst = store + static_cast<long>(k) * m;
    const double fq = src[q];
    update_shift_reduce(dst, src, w, fq, u, f[k], q);
    update_shift_reduce(dst + q, src + q + 1, w + q, fq, u + q, f[k], m - q);
  }
  // w moves towards the front; the places overlap when m > rows - 1, so
  // the copy runs front to back.
  double* last = store + static_cast<long>(rows - 1) * m;
  if (last != w)
    for (int j = 0; j < m; ++j) last[j] = w[j];
  reduce_by_rows(u, last, m, f + rows - 1, 1);
}

// One step of the elimination on the given store of cap values.
SORVANE_VECTOR_CLONES
bool elimination_step(double* store, long cap, double* aa, double* bb, int i, int n,
                      int* im1, int* im2) {
  if (n < 2 || n > kMaxColumns || i < 1 || i > n - 1) {
    report_capacity(i, n, 0, cap);
    return false;
  }
  const int m = n - i + 1;  // unused columns before this step, right-hand side included
  // What the step holds at its fullest: the i-1 stored equations of m values
  // and the new one of m-1, or the equations as the previous step left them
  // (that step's own fullest; the larger in the second half).
  long need = static_cast<long>(i - 1) * m + (m - 1);
  if (i > 2) {
    const long held = static_cast<long>(i - 2) * (m + 1) + m;
    if (held > need) need = held;
  }
  if (store == nullptr || need > cap) {
    report_capacity(i, n, need, cap);
    return false;
  }

  if (i == 1)
    for (int j = 0; j < n; ++j) im2[j] = 0;

  // The new equation's unused columns, contiguous, in increasing order: the
  // columns of the stored equations.
  double* __restrict u = bb;
  int cols[kMaxColumns];  // the column (1-based) of each value of u
  int cnt = 0;
  for (int j = 0; j < n; ++j)
    if (im2[j] == 0) {
      if (cnt == m) break;
      cols[cnt] = j + 1;
      u[cnt++] = aa[j];
    }
  if (cnt != m) {  // the pivot bookkeeping does not match step i
    report_order(i, n);
    return false;
  }

  // Remove the earlier pivots. The factor of stored equation k is the new
  // equation's own coefficient at that equation's pivot column: pivot columns
  // are absent from every stored equation, so no reduction changes them.
  // The factors go to the tail of bb: u takes m of its n values and there
  // are i - 1 = n - m factors.
  const double* __restrict removed = bb + m;  // the factors f_k of the removal
  if (i > 1) {
    const int rows = i - 1;
    // The pivot list must be the one this elimination built (a step called
    // without its predecessors would index aa with stale columns).
    for (int k = 0; k < rows; ++k) {
      const int p = im1[k];
      if (p < 1 || p > n - 1 || im2[p - 1] != p) {
        report_order(i, n);
        return false;
      }
    }
    double* __restrict f = bb + m;
    for (int k = 0; k < rows; ++k) f[k] = aa[im1[k] - 1];
    if (rows == 1) {
      // The one stored equation is the pivot row of step 1, up to date.
      reduce_by_rows(u, store, m, f, rows);
    } else {
      // Position of the previous step's pivot among the m + 1 columns that
      // were unused before it: the unused columns below it.
      const int prev = im1[rows - 1];
      int q = 0;
      for (int j = 0; j < prev - 1; ++j) q += im2[j] == 0;
      update_and_reduce(store, m, q, rows, u, f);
    }
    for (int k = 0; k < rows; ++k) aa[im1[k] - 1] = 0.0;
  }

  // Pivot: the unused coefficient of largest magnitude, lowest column first.
  int q = 0;
  double best = std::fabs(u[0]);
  bool finite = std::isfinite(u[0]);
  for (int j = 1; j < m - 1; ++j) {
    const double a = std::fabs(u[j]);
    finite = finite && std::isfinite(a);
    if (a > best) {
      best = a;
      q = j;
    }
  }
  const double piv = u[q];
  if (!finite || !(best > 0.0)) {
    report_zero_pivot(i);
    return false;
  }
  const int p = cols[q];
  im1[i - 1] = p;
  im2[p - 1] = p;

  if (i > 1) {
    // Add up what formed the pivot: the coefficient as handed over (the
    // unused columns of aa are untouched) and every f_k * c_k(q) the removal
    // of the earlier pivots subtracted from it. A negligible pivot ends the
    // elimination here.
    double formed = std::fabs(aa[p - 1]);
    for (int k = 0; k < i - 1; ++k)
      formed += std::fabs(removed[k] * store[static_cast<long>(k) * m + q]);
    if (!(best > kNegligiblePivot * formed)) {
      report_zero_pivot(i);
      return false;
    }
  }

  // The new equation, normalised, without its pivot column: u(0..m-2).
  const int len = m - 1;
  for (int j = 0; j < q; ++j) u[j] = u[j] / piv;
  for (int j = q; j < len; ++j) u[j] = u[j + 1] / piv;

  if (i < n - 1) {
    // Stored after the earlier equations, which keep their m values: the
    // next step removes this pivot from them in the pass that reduces its
    // own equation.
    double* next = store + static_cast<long>(i - 1) * m;
    for (int j = 0; j < len; ++j) next[j] = u[j];
    return true;
  }

  // The last step: reduce the stored equations by the new pivot and repack
  // them from the front (equation k moves from (k-1)*m to (k-1)*(m-1)); then
  // every stored equation is down to its right-hand side.
  const double* __restrict w = u;
  for (int k = 0; k < i - 1; ++k) {
    const double* src = store + static_cast<long>(k) * m;
    double* dst = store + static_cast<long>(k) * len;
    const double f = src[q];
    update_shift(dst, src, w, f, q);
    update_shift(dst + q, src + q + 1, w + q, f, len - q);
  }
  double* last = store + static_cast<long>(i - 1) * len;
  for (int j = 0; j < len; ++j) last[j] = u[j];
  for (int k = 0; k < n - 1; ++k) aa[im1[k] - 1] = store[k];
  return true;
}

}  // namespace

long elimination_store_need(int n) {
  if (n < 2 || n > kMaxColumns) return 0;
  long most = 0;
  for (int i = 1; i <= n - 1; ++i) {
    const int m = n - i + 1;
    const long need = static_cast<long>(i - 1) * m + (m - 1);
    if (need > most) most = need;
  }
  return most;
}

bool EQU(double* aa, double* bb, int i, int n, int* im1, int* im2) {
  std::vector<double>& c = state().c;
  return elimination_step(c.empty() ? nullptr : c.data(), static_cast<long>(c.size()), aa,
                          bb, i, n, im1, im2);
}

void EQU_MAX_INDEX(const double* values, int count, int& result) {
  result = 1;
  for (int j = 1; j < count; ++j)
    if (values[j] > values[result - 1]) result = j + 1;
}

void EQU_MIN_INDEX(const double* values, int count, int& result) {
  result = 1;
  for (int j = 1; j < count; ++j)
    if (values[j] < values[result - 1]) result = j + 1;
}

bool EQU_STATIC(double* aa, double* bb, int i, int n, int* im1, int* im2) {
  static double store[kEliminationStore];
  return elimination_step(store, kEliminationStore, aa, bb, i, n, im1, im2);
}

void EQU_STATIC_MAX_INDEX(const double* values, int count, int& result) {
  result = 1;
  for (int j = 1; j < count; ++j)
    if (values[j] - values[result - 1] > 0.0) result = j + 1;
}

void EQU_STATIC_MIN_INDEX(const double* values, int count, int& result) {
  result = 1;
  for (int j = 1; j < count; ++j)
    if (values[j] - values[result - 1] < 0.0) result = j + 1;
}

}  // namespace sorvane

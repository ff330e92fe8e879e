// Row-wise Gauss-Jordan elimination of the panel system.
//
// The equations arrive one per call. Each step reduces the new equation by
// the pivots chosen so far, picks its pivot among the columns not yet used,
// stores it normalised, and reduces the stored equations by the new pivot,
// dropping that column from them. The stored equations are packed end to end:
// after step i, equation k (1..i) holds the n - i unused columns in
// increasing order (the right-hand side last) at positions
// (k-1)*(n-i)+1 .. k*(n-i) of the store.
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

int std_unit() {
  const int lu = state().LUSTD;
  return lu != 0 ? lu : text::Units::kStdout;
}

void report_zero_pivot(int i) {
  static const text::Format f(
      "(3HON ,I3,14H  DELET  STEP ,44H MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO )");
  text::units().write(std_unit(), f, {i});
}

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

// The step's loops are plain element-wise multiplies and subtractions, so a
// build for the base instruction set gets a second copy for processors with
// 256-bit vectors, chosen once at load time. Neither copy fuses the multiply
// into the subtraction, so both give the same results to the last bit.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define SORVANE_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define SORVANE_VECTOR_CLONES
#endif

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
  // and the new one of m-1.
  const long need = static_cast<long>(i - 1) * m + (m - 1);
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
    reduce_by_rows(u, store, m, f, rows);
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

  // The new equation, normalised, without its pivot column: u(0..m-2).
  const int len = m - 1;
  for (int j = 0; j < q; ++j) u[j] = u[j] / piv;
  for (int j = q; j < len; ++j) u[j] = u[j + 1] / piv;

  if (i > 1) {
    // Reduce the stored equations by the new pivot and repack them from the
    // front: equation k moves from (k-1)*m to (k-1)*(m-1).
    //
    // On the way, add up what formed the pivot: the coefficient as handed
    // over (the unused columns of aa are untouched) and every f_k * c_k(q)
    // the removal of the earlier pivots subtracted from it; c_k(q) is the
    // factor this loop reads anyway, so the sum costs no pass of its own.
    // A negligible pivot ends the step here, with the stored equations
    // already reduced: the elimination cannot go on after it.
    const double* __restrict w = u;
    const double* __restrict removed = bb + m;  // the factors f_k of the removal
    double formed = std::fabs(aa[p - 1]);
    for (int k = 0; k < i - 1; ++k) {
      const double* src = store + static_cast<long>(k) * m;
      double* dst = store + static_cast<long>(k) * len;
      const double f = src[q];
      formed += std::fabs(removed[k] * f);
      update_shift(dst, src, w, f, q);
      update_shift(dst + q, src + q + 1, w + q, f, len - q);
    }
    if (!(best > kNegligiblePivot * formed)) {
      report_zero_pivot(i);
      return false;
    }
  }
  double* last = store + static_cast<long>(i - 1) * len;
  for (int j = 0; j < len; ++j) last[j] = u[j];

  if (i == n - 1)  // every stored equation is down to its right-hand side
    for (int k = 0; k < n - 1; ++k) aa[im1[k] - 1] = store[k];
  return true;
}

}  // namespace

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

// The small matrix kit.
//
// Every routine is written once as a template on the order: N > 0 fixes the
// order at compile time, N = 0 takes it from the argument. The public routines
// run the N = 3 copy for order 3 (every run of the boundary layer) and the
// general copy otherwise. Both copies are the same source, so they do the same
// operations in the same order and give the same numbers; the fixed copy only
// lets the compiler unroll the loops of a 3 by 3 block, and the factorisation
// and the inverse work on a local copy of the block (see Local).
//
// Sums: every sum starts at 0 and takes its terms in increasing index order;
// an update "x - sum" subtracts the finished sum.
#include "solver/boundary_layer/matrix_inv.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "solver/text/units.h"

// A 3 by 3 block solve is one long chain of dependent operations; packing its
// scalars into vector registers only adds shuffles to that chain.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC optimize("no-tree-vectorize", "no-tree-slp-vectorize")
#endif

namespace sorvane::bl {
namespace {

// Smallest determinant magnitude the closed-form inverse accepts (1e-15 in
// single precision).
constexpr double kSmallDetLimit = 1.0000000036274937e-15;

[[noreturn]] void kit_fault(const char* what, int n) {
  std::fprintf(stderr, "internal error: %s (order %d)\n", what, n);
  std::abort();
}

// Element (i, j) of a view, 1-based.
inline double& at(const MatView& A, int i, int j) {
  return A.p[(i - 1) * A.rs + (j - 1) * A.cs];
}

template <int N>
inline int order(int n) {
  return N > 0 ? N : n;
}

template <int N>
void mat_vec(const MatView& A, const VecView& x, const VecView& y, int n_arg) {
  const int n = order<N>(n_arg);
  const double* __restrict a = A.p;
  const double* __restrict xp = x.p;
  double* __restrict yp = y.p;
  const int rs = A.rs, cs = A.cs, xs = x.st, ys = y.st;
  for (int i = 0; i < n; ++i) {
    double s = 0.0;
    for (int m = 0; m < n; ++m) s += a[i * rs + m * cs] * xp[m * xs];
    yp[i * ys] = s;
  }
}

// P = A B; row-outer (kRowOuter) or column-outer loop over the entries of P.
template <int N, bool kRowOuter>
void mat_mat(const MatView& A, const MatView& B, const MatView& P, int n_arg) {
  const int n = order<N>(n_arg);
  const double* __restrict a = A.p;
  const double* __restrict b = B.p;
  double* __restrict p = P.p;
  const int ars = A.rs, acs = A.cs, brs = B.rs, bcs = B.cs, prs = P.rs, pcs = P.cs;
  for (int outer = 0; outer < n; ++outer) {
    for (int inner = 0; inner < n; ++inner) {
      const int i = kRowOuter ? outer : inner;
      const int j = kRowOuter ? inner : outer;
      double s = 0.0;
      for (int m = 0; m < n; ++m) s += a[i * ars + m * acs] * b[m * brs + j * bcs];
      p[i * prs + j * pcs] = s;
    }
  }
}

// A matrix addressed in place through its view.
struct InPlace {
  MatView v;
  double& operator()(int i, int j) const { return at(v, i, j); }
};

// An N by N block held in local storage: the fixed-order copies load the
// block once, work on the local copy (which the compiler keeps in registers,
// free of the aliasing a strided view forces on it) and store it back. The
// arithmetic is the same as in place.
template <int N>
struct Local {
  double a[N * N];
  double& operator()(int i, int j) { return a[(j - 1) * N + (i - 1)]; }
  void load(const MatView& v) {
    for (int j = 1; j <= N; ++j)
      for (int i = 1; i <= N; ++i) (*this)(i, j) = at(v, i, j);
  }
  void store(const MatView& v) {
    for (int j = 1; j <= N; ++j)
      for (int i = 1; i <= N; ++i) at(v, i, j) = (*this)(i, j);
  }
};

template <class M>
inline void swap_rows(M& A, int k, int p, int n) {
  for (int j = 1; j <= n; ++j) {
    const double t = A(k, j);
    A(k, j) = A(p, j);
    A(p, j) = t;
  }
}

template <class M>
inline void swap_columns(M& A, int k, int p, int n) {
  for (int i = 1; i <= n; ++i) {
    const double t = A(i, k);
    A(i, k) = A(i, p);
    A(i, p) = t;
  }
}

// Exchanges row or column k with p > k through swap(q) with q = p. With the
// order N known, q is a constant of the unrolled loop, which keeps the block
// in registers: only q == p exchanges.
template <int N, class Swap>
inline void exchange(int k, int p, Swap swap) {
  if constexpr (N > 0) {
    for (int q = k + 1; q <= N; ++q)
      if (q == p) swap(q);
  } else {
    swap(p);
  }
}

// Pivoted factorisation of the matrix already in LU (see LU_PIVOT).
template <int N, class M>
void lu_pivot_core(M& LU, int* ipvt, double& det, int& iflag, int n_arg) {
  const int n = order<N>(n_arg);
  if (n == 1) {
    det = LU(1, 1);
    ipvt[0] = 1;
    return;
  }
  const double rn = static_cast<double>(n);
  for (int k = 1; k <= n - 1; ++k) {
    // Pivot: the first row of largest magnitude in column k.
    int p = k;
    double big = std::fabs(LU(k, k));
    for (int i = k + 1; i <= n; ++i) {
      const double t = std::fabs(LU(i, k));
      if (t > big) {
        big = t;
        p = i;
      }
    }
    if (rn + big == rn) {
      det = 0.0;
      iflag = kSingular;
      return;
    }
    if (p != k) {
      exchange<N>(k, p, [&](int q) { swap_rows(LU, k, q, n); });
      det = -det;
    }
    const double piv = LU(k, k);
    det = det * piv;
    ipvt[k - 1] = p;
    for (int i = k + 1; i <= n; ++i) LU(i, k) = LU(i, k) / piv;
    // Row k of U right of the diagonal.
    if (k >= 2) {
      for (int j = k + 1; j <= n; ++j) {
        double s = 0.0;
        for (int m = 1; m <= k - 1; ++m) s += LU(k, m) * LU(m, j);
        LU(k, j) = LU(k, j) - s;
      }
    }
    // Column k+1 on and below the diagonal, ready for the next pivot search.
    if (k + 1 < n) {
      for (int i = k + 1; i <= n; ++i) {
        double s = 0.0;
        for (int m = 1; m <= k; ++m) s += LU(i, m) * LU(m, k + 1);
        LU(i, k + 1) = LU(i, k + 1) - s;
      }
    }
  }
  // Last pivot, not tested.
  double s = 0.0;
  for (int m = 1; m <= n - 1; ++m) s += LU(n, m) * LU(m, n);
  LU(n, n) = LU(n, n) - s;
  det = det * LU(n, n);
  ipvt[n - 1] = n;
}

template <int N>
void lu_pivot(const MatView& A, const MatView& LU, int* ipvt, double& det, int& iflag,
              int n_arg) {
  const int n = order<N>(n_arg);
  det = 1.0;
  iflag = 0;
  if (n < 1) return;
  if constexpr (N > 0) {
    Local<N> f;
    f.load(A);
    lu_pivot_core<N>(f, ipvt, det, iflag, n);
    f.store(LU);  // also the unfinished factors of a singular matrix
  } else {
    if (A.p != LU.p || A.rs != LU.rs || A.cs != LU.cs) {
      for (int j = 1; j <= n; ++j)
        for (int i = 1; i <= n; ++i) at(LU, i, j) = at(A, i, j);
    }
    InPlace f{LU};
    lu_pivot_core<N>(f, ipvt, det, iflag, n);
  }
}

// Inverse from the pivoted factors already in A (see MAT_INVERSE_LU).
template <int N, class M>
void mat_inverse_lu_core(M& A, const int* ipvt, int n_arg) {
  const int n = order<N>(n_arg);
  // U^-1, row by row: row k reads its own inverted entries and the rows of U
  // below it.
  for (int k = 1; k <= n; ++k) {
    A(k, k) = 1.0 / A(k, k);
    for (int j = k + 1; j <= n; ++j) {
      double s = 0.0;
      for (int l = k; l <= j - 1; ++l) s += A(k, l) * A(l, j);
      A(k, j) = -s / A(j, j);
    }
  }
  if (n < 2) return;
  // Upper part times L^-1, the multipliers still below the diagonal.
  for (int j = n - 1; j >= 1; --j) {
    for (int i = 1; i <= j; ++i) {
      double s = 0.0;
      for (int l = j + 1; l <= n; ++l) s += A(i, l) * A(l, j);
      A(i, j) = A(i, j) - s;
    }
  }
  // Lower part: column k is built in w so that its multipliers stay readable.
  double w[kMaxKitOrder];
  for (int k = n - 1; k >= 1; --k) {
    for (int i = k + 1; i <= n; ++i) {
      double s = 0.0;
      for (int l = k + 1; l <= n; ++l) s += A(i, l) * A(l, k);
      w[i - 1] = -s;
    }
    for (int i = k + 1; i <= n; ++i) A(i, k) = w[i - 1];
  }
  // Undo the row exchanges as column exchanges, last first.
  for (int k = n - 1; k >= 1; --k) {
    const int p = ipvt[k - 1];
    if (p != k) exchange<N>(k, p, [&](int q) { swap_columns(A, k, q, n); });
  }
}

template <int N>
void mat_inverse_lu(const MatView& A, const int* ipvt, int n_arg) {
  const int n = order<N>(n_arg);
  if (n < 1) return;
  if (n > kMaxKitOrder) kit_fault("inverse of a block larger than the kit's work vector", n);
  if constexpr (N > 0) {
    Local<N> f;
    f.load(A);
    mat_inverse_lu_core<N>(f, ipvt, n);
    f.store(A);
  } else {
    InPlace f{A};
    mat_inverse_lu_core<N>(f, ipvt, n);
  }
}

}  // namespace

void MAT_VEC(MatView A, VecView x, VecView y, int n) {
  if (n == 3) mat_vec<3>(A, x, y, n);
  else mat_vec<0>(A, x, y, n);
}

void MAT_MAT(MatView A, MatView B, MatView P, int n) {
  if (n == 3) mat_mat<3, true>(A, B, P, n);
  else mat_mat<0, true>(A, B, P, n);
}

void MAT_MAT_B(MatView A, MatView B, MatView P, int n) {
  if (n == 3) mat_mat<3, false>(A, B, P, n);
  else mat_mat<0, false>(A, B, P, n);
}

void MAT_MAT_B_ENTRY(MatView A, MatView B, MatView P, int n) { MAT_MAT_B(A, B, P, n); }

void LU_NOPIVOT(int n, MatView A, MatView LU) {
  if (n < 1) return;
  for (int j = 1; j <= n; ++j) at(LU, 1, j) = at(A, 1, j);
  for (int k = 2; k <= n; ++k) {
    for (int j = 1; j <= k - 1; ++j) {
      double s = 0.0;
      for (int m = 1; m <= j - 1; ++m) s += at(LU, k, m) * at(LU, m, j);
      at(LU, k, j) = (at(A, k, j) - s) / at(LU, j, j);
    }
    for (int j = k; j <= n; ++j) {
      double s = 0.0;
      for (int m = 1; m <= k - 1; ++m) s += at(LU, k, m) * at(LU, m, j);
      at(LU, k, j) = at(A, k, j) - s;
    }
  }
}

void LU_NOPIVOT_SPLIT(int n, MatView A, MatView L, MatView U) {
  if (n < 1) return;
  for (int j = 1; j <= n; ++j) at(U, 1, j) = at(A, 1, j);
  for (int k = 2; k <= n; ++k) {
    for (int j = 1; j <= k - 1; ++j) {
      float s = 0.0f;
      for (int m = 1; m <= j - 1; ++m) s = static_cast<float>(s + at(L, k, m) * at(U, m, j));
      at(L, k, j) = (at(A, k, j) - s) / at(U, j, j);
    }
    for (int j = k; j <= n; ++j) {
      float s = 0.0f;
      for (int m = 1; m <= k - 1; ++m) s = static_cast<float>(s + at(L, k, m) * at(U, m, j));
      at(U, k, j) = at(A, k, j) - s;
    }
  }
}

void LU_PIVOT(MatView A, MatView LU, int* ipvt, double& det, int& iflag, int n) {
  if (n == 3) lu_pivot<3>(A, LU, ipvt, det, iflag, n);
  else lu_pivot<0>(A, LU, ipvt, det, iflag, n);
}

void LU_PIVOT_ENTRY(MatView A, MatView LU, int* ipvt, double& det, int& iflag, int n) {
  LU_PIVOT(A, LU, ipvt, det, iflag, n);
}

void MAT_INVERSE_LU(MatView A, const int* ipvt, int n) {
  if (n == 3) mat_inverse_lu<3>(A, ipvt, n);
  else mat_inverse_lu<0>(A, ipvt, n);
}

void MAT_INVERSE_LU_SLICE(MatView A, const int* ipvt, int n) { MAT_INVERSE_LU(A, ipvt, n); }

void MAT_VEC_SLICE(int k0, Table3<double>& A, int k2, Table2<double>& X, int k4,
                   Table2<double>& Y, int n) {
  if (n > A.dim1() || n > A.dim2() || n > X.rows() || n > Y.rows())
    kit_fault("block product larger than its tables", n);
  MAT_VEC(A.block(k0), X.vec(k2), Y.vec(k4), n);
}

void MAT_MAT_SLICE(int k0, Table3<double>& A, int k2, Table3<double>& B, int k4,
                   Table3<double>& P, int n) {
  if (n > A.dim1() || n > A.dim2() || n > B.dim1() || n > B.dim2() || n > P.dim1() ||
      n > P.dim2())
    kit_fault("block product larger than its tables", n);
  MAT_MAT_B(A.block(k0), B.block(k2), P.block(k4), n);
}

void MAT_INVERSE_SMALL(MatView A, MatView Ainv, double& det, int& iflag, int n) {
  switch (n) {
    case 1: {
      iflag = 0;
      at(Ainv, 1, 1) = 1.0 / at(A, 1, 1);
      det = at(A, 1, 1);
      if (std::fabs(det) < kSmallDetLimit) {
        det = 0.0;
        iflag = kSingular;
      }
      return;
    }
    case 2: {
      iflag = 0;
      det = at(A, 1, 1) * at(A, 2, 2) - at(A, 1, 2) * at(A, 2, 1);
      if (std::fabs(det) < kSmallDetLimit) {
        det = 0.0;
        iflag = kSingular;
        return;
      }
      at(Ainv, 1, 1) = at(A, 2, 2) / det;
      at(Ainv, 1, 2) = -at(A, 1, 2) / det;
      at(Ainv, 2, 1) = -at(A, 2, 1) / det;
      at(Ainv, 2, 2) = at(A, 1, 1) / det;
      return;
    }
    case 3: {
      iflag = 0;
      const double a11 = at(A, 1, 1), a12 = at(A, 1, 2), a13 = at(A, 1, 3);
      const double a21 = at(A, 2, 1), a22 = at(A, 2, 2), a23 = at(A, 2, 3);
      const double a31 = at(A, 3, 1), a32 = at(A, 3, 2), a33 = at(A, 3, 3);
      const double c11 = a22 * a33 - a32 * a23;
      det = a11 * c11 - a12 * (a21 * a33 - a31 * a23) + a13 * (a32 * a21 - a22 * a31);
      if (std::fabs(det) < kSmallDetLimit) {
        det = 0.0;
        iflag = kSingular;
        return;
      }
      // Cofactors C(r, c); the inverse is their transpose over det.
      const double c12 = -(a21 * a33 - a31 * a23);
      const double c13 = a32 * a21 - a22 * a31;
      const double c21 = -(a12 * a33 - a32 * a13);
      const double c22 = a11 * a33 - a31 * a13;
      const double c23 = -(a11 * a32 - a31 * a12);
      const double c31 = a12 * a23 - a22 * a13;
      const double c32 = -(a11 * a23 - a21 * a13);
      const double c33 = a11 * a22 - a21 * a12;
      at(Ainv, 1, 1) = c11 / det;
      at(Ainv, 1, 2) = c21 / det;
      at(Ainv, 1, 3) = c31 / det;
      at(Ainv, 2, 1) = c12 / det;
      at(Ainv, 2, 2) = c22 / det;
      at(Ainv, 2, 3) = c32 / det;
      at(Ainv, 3, 1) = c13 / det;
      at(Ainv, 3, 2) = c23 / det;
      at(Ainv, 3, 3) = c33 / det;
      return;
    }
    default:
      text::units().write_free(text::Units::kStdout,
                               {"This subroutine inverses matrixis of rank < 4"});
      return;
  }
}

}  // namespace sorvane::bl

// The boundary layer's kit of small dense square matrices (order n, 3 in
// every run, at most 5): products, LU factors without and with partial
// pivoting, the inverse from pivoted factors and a closed-form inverse for
// orders 1 to 3.
//
// Matrices and vectors are strided views (tables.h), so a block of a
// (3, 3, 821) array is passed in place. Outputs must not share storage with
// inputs. Pivot indices are 1-based rows: ipvt[k-1] is the row exchanged with
// row k at step k. The singular flag is 0 (regular) or 65 (singular).
// Nothing here allocates or keeps state between calls.
#pragma once

#include "solver/boundary_layer/tables.h"

namespace sorvane::bl {

constexpr int kSingular = 65;  // the singular flag ("A")
constexpr int kMaxKitOrder = 5;

// y = A x.
void MAT_VEC(MatView A, VecView x, VecView y, int n);
// P = A B, row by row of P.
void MAT_MAT(MatView A, MatView B, MatView P, int n);
// P = A B, column by column of P (the same numbers as MAT_MAT).
void MAT_MAT_B(MatView A, MatView B, MatView P, int n);
void MAT_MAT_B_ENTRY(MatView A, MatView B, MatView P, int n);

// Doolittle factors without pivoting: multipliers below the diagonal, U on
// and above it, in LU (A and LU may be the same storage). No pivot is tested.
void LU_NOPIVOT(int n, MatView A, MatView LU);
// The same into two arrays, each partial inner sum rounded to single
// precision; writes only the strict lower part of L and the upper part of U.
void LU_NOPIVOT_SPLIT(int n, MatView A, MatView L, MatView U);

// Pivoted factors of A into LU (A and LU may be the same storage), the pivot
// rows, the determinant (sign of the exchanges included) and the singular
// flag. A negligible pivot in columns 1..n-1 gives det = 0, iflag = 65 and
// stops the factorisation.
void LU_PIVOT(MatView A, MatView LU, int* ipvt, double& det, int& iflag, int n);
void LU_PIVOT_ENTRY(MatView A, MatView LU, int* ipvt, double& det, int& iflag, int n);

// Overwrites the pivoted factors in A with the inverse of the factorised
// matrix (n <= kMaxKitOrder; a larger n is a programming error and stops the
// process). Divides by the diagonal of U without a test.
void MAT_INVERSE_LU(MatView A, const int* ipvt, int n);
void MAT_INVERSE_LU_SLICE(MatView A, const int* ipvt, int n);

// Y(:, k4) = A(:, :, k0) X(:, k2).
void MAT_VEC_SLICE(int k0, Table3<double>& A, int k2, Table2<double>& X, int k4,
                   Table2<double>& Y, int n);
// P(:, :, k4) = A(:, :, k0) B(:, :, k2), column by column.
void MAT_MAT_SLICE(int k0, Table3<double>& A, int k2, Table3<double>& B, int k4,
                   Table3<double>& P, int n);

// Inverse and determinant by cofactors for n = 1, 2, 3, with iflag = 0;
// |det| below 1e-15 (single precision) gives det = 0 and iflag = 65 and
// leaves Ainv as it was (n = 1 stores 1/A(1, 1) before the test). Any other n
// writes a line to standard output and changes nothing.
void MAT_INVERSE_SMALL(MatView A, MatView Ainv, double& det, int& iflag, int n);

}  // namespace sorvane::bl

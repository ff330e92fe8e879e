// Row-wise Gauss-Jordan elimination of the panel system.
//
// Arrays are passed as pointers to element 1 (aa[0] is aa(1)). The store of
// the reduced equations is state().c, which must be allocated before the
// first step: kEliminationStore reals hold every system, and a system of n
// columns needs elimination_store_need(n) of them.
#pragma once

namespace sorvane {

// Step i (1..n-1) of the elimination of a system with n-1 variables and the
// right-hand side in column n: equation i is in aa(1..n). After step n-1,
// aa(1..n-1) holds the solution. Returns false, after writing the record
// "(3HON ,I3,14H  DELET  STEP ,44H MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO )"
// to standard output, when the pivot of step i is zero, not finite, or
// negligible against the coefficients that formed it (the equation is then a
// combination of the earlier ones within rounding); the elimination cannot
// go on then.
[[nodiscard]] bool EQU(double* aa, double* bb, int i, int n, int* im1, int* im2);

// Values the store holds at the fullest step of the elimination of a system
// of n columns (n - 1 variables and the right-hand side), 0 outside 2..1200:
// at most kEliminationStore.
long elimination_store_need(int n);

// Index (1-based) of the largest / smallest of values(1..count), first on
// ties; 1 when count < 2.
void EQU_MAX_INDEX(const double* values, int count, int& result);
void EQU_MIN_INDEX(const double* values, int count, int& result);

// The same step as EQU with the stored equations in a fixed array of its own
// (not called by the program).
[[nodiscard]] bool EQU_STATIC(double* aa, double* bb, int i, int n, int* im1, int* im2);
void EQU_STATIC_MAX_INDEX(const double* values, int count, int& result);
void EQU_STATIC_MIN_INDEX(const double* values, int count, int& result);

}  // namespace sorvane

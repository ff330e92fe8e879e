// Checks of a station's Newton system against a model of its equations
// written out in the test: the right-hand side against the model's
// residual, and every entry of the blocks A, B, C against central
// differences of the residual in the level-3 unknowns.
//
// The unknowns z and the residual g hold n values a grid point, point 1
// first: z[n*(j-1) + l - 1] is component l of point j.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl::station_test {

// The right-hand side of the n-row system equals want, row by row.
inline void expect_right_hand_side(const SurfaceRun& r, int n, const std::vector<double>& want) {
  for (std::size_t row = 0; row < want.size(); ++row) {
    const int j = static_cast<int>(row) / n + 1, m = static_cast<int>(row) % n + 1;
    EXPECT_NEAR(r.rvec(m, j), want[row], 1e-13 * (1.0 + std::fabs(want[row])))
        << "row " << m << " of point " << j;
  }
}

// Every block entry of the n-row system at points 1..np equals the central
// difference of rows(z) around z0; border(m, l, j, jc) is what the system
// adds outside the band (0 where it adds nothing). The equations are
// quadratic in z with the properties fixed and U > 0, so the differences
// are exact up to rounding. *checked counts the entries compared. Fatal at
// the first entry that differs (wrap the call in ASSERT_NO_FATAL_FAILURE).
template <class Rows, class Border>
void check_blocks_against_differences(const SurfaceRun& r, int n, const std::vector<double>& z0,
                                      Rows rows, Border border, int* checked) {
  const int np = r.np;
  double jmax = 0.0;
  for (int j = 1; j <= np; ++j)
    for (int a = 1; a <= n; ++a)
      for (int b = 1; b <= n; ++b)
        jmax = std::max({jmax, std::fabs(r.amat(a, b, j)), std::fabs(r.bmat(a, b, j)),
                         std::fabs(r.cmat(a, b, j))});
  const int size = n * np;
  *checked = 0;
  for (int col = 0; col < size; ++col) {
    const int jc = col / n + 1, l = col % n + 1;
    const double h = 1e-5 * std::max(1e-2, std::fabs(z0[col]));
    std::vector<double> zp = z0, zm = z0;
    zp[col] += h;
    zm[col] -= h;
    const std::vector<double> gp = rows(zp), gm = rows(zm);
    for (int row = 0; row < size; ++row) {
      const int j = row / n + 1, m = row % n + 1;
      const double fd = (gp[row] - gm[row]) / (2.0 * h);
      double block = 0.0;
      if (jc == j - 1) block = r.amat(m, l, j);
      if (jc == j) block = r.bmat(m, l, j);
      if (jc == j + 1) block = r.cmat(m, l, j);
      block += border(m, l, j, jc);
      ASSERT_NEAR(block, fd, 1e-7 * std::fabs(fd) + 1e-9 * jmax)
          << "row " << m << " of point " << j << ", component " << l << " of point " << jc;
      ++*checked;
    }
  }
}

// The blocks outside the band, A(1) and C(np), are zero.
inline void expect_no_blocks_outside_band(const SurfaceRun& r, int n) {
  for (int a = 1; a <= n; ++a)
    for (int b = 1; b <= n; ++b) {
      EXPECT_EQ(r.amat(a, b, 1), 0.0);
      EXPECT_EQ(r.cmat(a, b, r.np), 0.0);
    }
}

}  // namespace sorvane::bl::station_test

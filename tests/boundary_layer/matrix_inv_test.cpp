// The small matrix kit against hand-worked factors, exact inverses and
// products, and on strided views inside larger tables.
#include "solver/boundary_layer/matrix_inv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "tests/test_support.h"

namespace sorvane::bl {
namespace {

// An n by n column-major matrix with its view.
struct Mat {
  explicit Mat(int n_, double fill = 0.0) : n(n_), v(static_cast<std::size_t>(n_ * n_), fill) {}
  Mat(int n_, std::initializer_list<double> rows) : Mat(n_, std::vector<double>(rows)) {}
  Mat(int n_, const std::vector<double>& rows) : Mat(n_) {
    int k = 0;
    for (double x : rows) {
      (*this)(k / n + 1, k % n + 1) = x;
      ++k;
    }
  }
  double& operator()(int i, int j) { return v[static_cast<std::size_t>((j - 1) * n + (i - 1))]; }
  MatView view() { return MatView{v.data(), 1, n}; }
  int n;
  std::vector<double> v;
};

Mat product(Mat& a, Mat& b) {
  Mat p(a.n);
  for (int i = 1; i <= a.n; ++i)
    for (int j = 1; j <= a.n; ++j) {
      long double s = 0;
      for (int m = 1; m <= a.n; ++m) s += static_cast<long double>(a(i, m)) * b(m, j);
      p(i, j) = static_cast<double>(s);
    }
  return p;
}

// Determinant by expansion along the first row, in extended precision.
long double laplace_det(const std::vector<std::vector<long double>>& a) {
  const std::size_t n = a.size();
  if (n == 1) return a[0][0];
  long double d = 0;
  for (std::size_t c = 0; c < n; ++c) {
    std::vector<std::vector<long double>> m;
    for (std::size_t r = 1; r < n; ++r) {
      std::vector<long double> row;
      for (std::size_t k = 0; k < n; ++k)
        if (k != c) row.push_back(a[r][k]);
      m.push_back(row);
    }
    d += (c % 2 ? -1.0L : 1.0L) * a[0][c] * laplace_det(m);
  }
  return d;
}

long double laplace_det(Mat& a) {
  std::vector<std::vector<long double>> m(a.n, std::vector<long double>(a.n));
  for (int i = 1; i <= a.n; ++i)
    for (int j = 1; j <= a.n; ++j) m[i - 1][j - 1] = a(i, j);
  return laplace_det(m);
}

double distance_from_identity(Mat& p) {
  double worst = 0.0;
  for (int i = 1; i <= p.n; ++i)
    for (int j = 1; j <= p.n; ++j) worst = std::fmax(worst, std::fabs(p(i, j) - (i == j)));
  return worst;
}

Mat random_matrix(int n, std::mt19937& gen) {
  std::uniform_real_distribution<double> d(-1.0, 1.0);
  Mat a(n);
  for (double& x : a.v) x = d(gen);
  return a;
}

TEST(LuPivot, WorkedExampleGivesFactorsPivotsAndSignedDeterminant) {
  Mat a(3, {1, 2, 3, -3, 1, 0, 3, 5, 1});
  Mat lu(3);
  int ipvt[3] = {0, 0, 0};
  double det = 0.0;
  int iflag = -1;
  LU_PIVOT(a.view(), lu.view(), ipvt, det, iflag, 3);
  EXPECT_EQ(iflag, 0);
  EXPECT_EQ(ipvt[0], 2);
  EXPECT_EQ(ipvt[1], 3);
  EXPECT_EQ(ipvt[2], 3);
  EXPECT_NEAR(det, -47.0, 1e-13);
  // Worked by hand: rows (-3,1,0), (3,5,1), (1,2,3) after the exchanges.
  const double u[3][3] = {{-3, 1, 0}, {0, 6, 1}, {0, 0, 47.0 / 18.0}};
  const double l[3][3] = {{0, 0, 0}, {-1, 0, 0}, {-1.0 / 3.0, 7.0 / 18.0, 0}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      const double want = j >= i ? u[i - 1][j - 1] : l[i - 1][j - 1];
      EXPECT_NEAR(lu(i, j), want, 1e-15) << i << "," << j;
    }
  // The input is left alone when the factors go elsewhere.
  EXPECT_EQ(a(1, 1), 1.0);
  EXPECT_EQ(a(2, 1), -3.0);
}

TEST(LuPivot, InPlaceFactorsEqualSeparateOnes) {
  std::mt19937 gen(11);
  for (int n = 1; n <= 5; ++n) {
    Mat a = random_matrix(n, gen);
    Mat lu(n), in_place = a;
    int p1[5], p2[5];
    double d1, d2;
    int f1, f2;
    LU_PIVOT(a.view(), lu.view(), p1, d1, f1, n);
    LU_PIVOT(in_place.view(), in_place.view(), p2, d2, f2, n);
    EXPECT_EQ(lu.v, in_place.v) << n;
    EXPECT_EQ(d1, d2);
    EXPECT_EQ(f1, f2);
    for (int k = 0; k < n; ++k) EXPECT_EQ(p1[k], p2[k]);
  }
}

TEST(LuPivot, FactorsReproduceTheRowExchangedMatrix) {
  std::mt19937 gen(5);
  for (int n = 1; n <= 5; ++n) {
    Mat a = random_matrix(n, gen);
    Mat lu(n);
    int ipvt[5];
    double det;
    int iflag;
    LU_PIVOT(a.view(), lu.view(), ipvt, det, iflag, n);
    ASSERT_EQ(iflag, 0);
    // P A with the exchanges applied in order.
    Mat pa = a;
    for (int k = 1; k <= n; ++k)
      for (int j = 1; j <= n; ++j) std::swap(pa(k, j), pa(ipvt[k - 1], j));
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) {
        long double s = 0;
        for (int m = 1; m <= std::min(i, j); ++m)
          s += (m == i ? 1.0L : static_cast<long double>(lu(i, m))) * lu(m, j);
        EXPECT_NEAR(static_cast<double>(s), pa(i, j), 1e-14) << n << ":" << i << "," << j;
      }
    // Multipliers are bounded by 1 with partial pivoting.
    for (int j = 1; j < n; ++j)
      for (int i = j + 1; i <= n; ++i) EXPECT_LE(std::fabs(lu(i, j)), 1.0);
  }
}

TEST(LuPivot, SingularCases) {
  {
    // Zero first column: flagged at once, pivots untouched.
    Mat a(3, {0, 2, 3, 0, 1, 0, 0, 5, 1});
    Mat lu(3);
    int ipvt[3] = {-7, -7, -7};
    double det = 9.0;
    int iflag = 0;
    LU_PIVOT(a.view(), lu.view(), ipvt, det, iflag, 3);
    EXPECT_EQ(iflag, kSingular);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(ipvt[0], -7);
    EXPECT_EQ(ipvt[1], -7);
    EXPECT_EQ(ipvt[2], -7);
  }
  {
    // A first pivot so small that n + |pivot| == n counts as zero.
    Mat a(3, {1e-17, 2, 3, 0, 1, 0, -1e-17, 5, 1});
    Mat lu(3);
    int ipvt[3];
    double det;
    int iflag;
    LU_PIVOT(a.view(), lu.view(), ipvt, det, iflag, 3);
    EXPECT_EQ(iflag, kSingular);
    EXPECT_EQ(det, 0.0);
  }
  {
    // Zero second pivot: flagged at step 2, the first pivot kept.
    Mat a(3, {2, 1, 0, 4, 2, 1, 0, 0, 3});
    Mat lu(3);
    int ipvt[3] = {-7, -7, -7};
    double det;
    int iflag;
    LU_PIVOT(a.view(), lu.view(), ipvt, det, iflag, 3);
    EXPECT_EQ(iflag, kSingular);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(ipvt[0], 2);
    EXPECT_EQ(ipvt[1], -7);
  }
  {
    // Zero last pivot (after a row exchange): not tested, det 0, flag 0.
    Mat a(3, {0, 1, 1, 2, 0, 0, 0, 1, 1});
    Mat lu(3);
    int ipvt[3];
    double det = 9.0;
    int iflag = -1;
    LU_PIVOT(a.view(), lu.view(), ipvt, det, iflag, 3);
    EXPECT_EQ(iflag, 0);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(lu(3, 3), 0.0);
    EXPECT_EQ(ipvt[0], 2);
    EXPECT_EQ(ipvt[1], 2);
    EXPECT_EQ(ipvt[2], 3);
  }
  {
    // Order 1 is not tested either.
    Mat a(1, {0.0});
    int ipvt[1] = {-7};
    double det = 9.0;
    int iflag = -1;
    LU_PIVOT(a.view(), a.view(), ipvt, det, iflag, 1);
    EXPECT_EQ(iflag, 0);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(ipvt[0], 1);
  }
}

TEST(MatInverseLu, WorkedExampleMatchesTheAdjugate) {
  Mat a(3, {1, 2, 3, -3, 1, 0, 3, 5, 1});
  int ipvt[3];
  double det;
  int iflag;
  LU_PIVOT(a.view(), a.view(), ipvt, det, iflag, 3);
  MAT_INVERSE_LU(a.view(), ipvt, 3);
  const double adj[3][3] = {{-1, -13, 3}, {-3, 8, 9}, {18, -1, -7}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(a(i, j), adj[i - 1][j - 1] / 47.0, 1e-15);
}

TEST(MatInverseLu, InverseTimesMatrixIsIdentity) {
  struct Case {
    const char* name;
    int n;
    std::vector<double> rows;  // empty: random
  };
  const std::vector<Case> cases = {
      {"order 1", 1, {-2.5}},
      {"order 2 exchange", 2, {0.1, 1, 3, 2}},
      {"order 3 no exchange", 3, {4, 1, 0, 1, 5, 2, 0, 2, 6}},
      {"order 3 exchanges at both steps", 3, {1, 2, 3, -3, 1, 0, 3, 5, 1}},
      {"order 3 zero leading entry", 3, {0, 1, 2, 1, 0, 3, 4, -3, 8}},
      {"order 3 reversed rows", 3, {1, 2, 9, 1, 8, 3, 7, 1, 2}},
      {"order 3 one exchange", 3, {1, 2, 0, 5, 1, 1, 0, 1, 4}},
      {"order 4 random", 4, {}},
      {"order 4 random", 4, {}},
      {"order 5 random", 5, {}},
  };
  std::mt19937 gen(3);
  for (const Case& c : cases) {
    Mat a(c.n);
    if (c.rows.empty()) a = random_matrix(c.n, gen);
    else
      for (int k = 0; k < c.n * c.n; ++k) a(k / c.n + 1, k % c.n + 1) = c.rows[k];
    Mat inv(c.n);
    int ipvt[5];
    double det;
    int iflag;
    LU_PIVOT(a.view(), inv.view(), ipvt, det, iflag, c.n);
    ASSERT_EQ(iflag, 0) << c.name;
    const double want_det = static_cast<double>(laplace_det(a));
    EXPECT_NEAR(det, want_det, 1e-14 * std::fabs(want_det)) << c.name;
    MAT_INVERSE_LU(inv.view(), ipvt, c.n);
    Mat left(c.n), right(c.n);
    MAT_MAT_B(inv.view(), a.view(), left.view(), c.n);
    MAT_MAT_B(a.view(), inv.view(), right.view(), c.n);
    EXPECT_LT(distance_from_identity(left), 1e-14) << c.name;
    EXPECT_LT(distance_from_identity(right), 1e-14) << c.name;
  }
}

TEST(MatInverseSmall, KnownInverses) {
  {
    Mat a(1, {-4.0}), inv(1);
    double det = 0;
    int iflag = kSingular;
    MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, 1);
    EXPECT_EQ(iflag, 0);
    EXPECT_EQ(det, -4.0);
    EXPECT_EQ(inv(1, 1), -0.25);
  }
  {
    Mat a(2, {4, 7, 2, 6}), inv(2);
    double det = 0;
    int iflag = kSingular;
    MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, 2);
    EXPECT_EQ(iflag, 0);
    EXPECT_EQ(det, 10.0);
    EXPECT_EQ(inv(1, 1), 0.6);
    EXPECT_EQ(inv(1, 2), -0.7);
    EXPECT_EQ(inv(2, 1), -0.2);
    EXPECT_EQ(inv(2, 2), 0.4);
  }
  {
    Mat a(3, {1, 2, 3, -3, 1, 0, 3, 5, 1}), inv(3);
    double det = 0;
    int iflag = kSingular;
    MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, 3);
    EXPECT_EQ(iflag, 0);
    EXPECT_EQ(det, -47.0);
    const double adj[3][3] = {{-1, -13, 3}, {-3, 8, 9}, {18, -1, -7}};
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_EQ(inv(i, j), adj[i - 1][j - 1] / 47.0);
  }
}

TEST(MatInverseSmall, TinyDeterminantIsFlagged) {
  // Flagged, inverse untouched.
  const struct {
    const char* what;
    int n;
    std::vector<double> rows;
  } untouched[] = {
      {"det = 1e-16 with n = 2", 2, {1e-8, 0, 0, 1e-8}},
      {"n = 3 singular", 3, {1, 2, 3, 2, 4, 6, 0, 1, 1}},
  };
  for (const auto& c : untouched) {
    SCOPED_TRACE(c.what);
    Mat a(c.n, c.rows), inv(c.n, 5.0);
    double det = 1.0;
    int iflag = 0;
    MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, c.n);
    EXPECT_EQ(iflag, kSingular);
    EXPECT_EQ(det, 0.0);
    for (double x : inv.v) EXPECT_EQ(x, 5.0);
  }
  {
    // n = 1 stores the reciprocal before the test.
    Mat a(1, {1e-16}), inv(1, 5.0);
    double det = 1.0;
    int iflag = 0;
    MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, 1);
    EXPECT_EQ(iflag, kSingular);
    EXPECT_EQ(det, 0.0);
    EXPECT_EQ(inv(1, 1), 1e16);
  }
  {
    // Just above the threshold (1e-15 in single precision) is regular.
    Mat a(1, {1.0000000036274937e-15}), inv(1);
    double det = 0.0;
    int iflag = kSingular;
    MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, 1);
    EXPECT_EQ(iflag, 0);
    EXPECT_EQ(det, 1.0000000036274937e-15);
  }
}

TEST(MatInverseSmall, OtherOrdersWriteTheLineAndChangeNothing) {
  for (int n : {4, 0}) {
    Mat a(4, 1.0), inv(4, 5.0);
    double det = 2.0;
    int iflag = 7;
    std::string out;
    {
      testing::StdoutCapture cap;
      MAT_INVERSE_SMALL(a.view(), inv.view(), det, iflag, n);
      out = cap.text();
    }
    EXPECT_EQ(out, "This subroutine inverses matrixis of rank < 4\n") << n;
    EXPECT_EQ(det, 2.0);
    EXPECT_EQ(iflag, 7);
    for (double x : inv.v) EXPECT_EQ(x, 5.0);
  }
}

TEST(MatProducts, RowAndColumnOrderGiveTheSameNumbers) {
  {
    Mat a(3, {1, 2, 3, 4, 5, 6, 7, 8, 10}), b(3, {-1, 0, 2, 3, 1, -2, 0, 4, 1}), p(3), q(3);
    MAT_MAT(a.view(), b.view(), p.view(), 3);
    MAT_MAT_B(a.view(), b.view(), q.view(), 3);
    const double want[3][3] = {{5, 14, 1}, {11, 29, 4}, {17, 48, 8}};
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) EXPECT_EQ(p(i, j), want[i - 1][j - 1]);
    EXPECT_EQ(p.v, q.v);
  }
  std::mt19937 gen(7);
  for (int n = 1; n <= 5; ++n) {
    Mat a = random_matrix(n, gen), b = random_matrix(n, gen), p(n), q(n), r(n);
    MAT_MAT(a.view(), b.view(), p.view(), n);
    MAT_MAT_B(a.view(), b.view(), q.view(), n);
    MAT_MAT_B_ENTRY(a.view(), b.view(), r.view(), n);
    EXPECT_EQ(p.v, q.v) << n;  // bit for bit
    EXPECT_EQ(q.v, r.v) << n;
    Mat exact = product(a, b);
    for (int k = 0; k < n * n; ++k) EXPECT_NEAR(p.v[k], exact.v[k], 1e-15);
  }
  {
    Mat a(3, {1, 2, 3, 4, 5, 6, 7, 8, 10});
    double x[3] = {1, -1, 2}, y[3];
    MAT_VEC(a.view(), VecView{x, 1}, VecView{y, 1}, 3);
    EXPECT_EQ(y[0], 5.0);
    EXPECT_EQ(y[1], 11.0);
    EXPECT_EQ(y[2], 19.0);
  }
  {
    // Order 0 writes nothing.
    Mat a(2, 1.0), b(2, 1.0), p(2, 5.0);
    MAT_MAT(a.view(), b.view(), p.view(), 0);
    MAT_MAT_B(a.view(), b.view(), p.view(), 0);
    for (double x : p.v) EXPECT_EQ(x, 5.0);
  }
}

TEST(LuNopivot, FactorsAndSinglePrecisionSplit) {
  Mat a(3, {4, 3, 2, 2, 5, 1, 1, 2, 6});
  Mat lu(3);
  LU_NOPIVOT(3, a.view(), lu.view());
  // L U = A with the unit diagonal of L implied.
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      double s = 0;
      for (int m = 1; m <= std::min(i, j); ++m) s += (m == i ? 1.0 : lu(i, m)) * lu(m, j);
      EXPECT_NEAR(s, a(i, j), 1e-14) << i << "," << j;
    }
  EXPECT_EQ(lu(1, 1), 4.0);
  EXPECT_EQ(lu(2, 1), 0.5);
  EXPECT_EQ(lu(2, 2), 3.5);

  Mat same = a;
  LU_NOPIVOT(3, same.view(), same.view());
  EXPECT_EQ(same.v, lu.v);

  // The split form writes only its own halves and agrees to single precision.
  Mat l(3, 9.0), u(3, 9.0);
  LU_NOPIVOT_SPLIT(3, a.view(), l.view(), u.view());
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      if (j < i) {
        EXPECT_NEAR(l(i, j), lu(i, j), 1e-6);
        EXPECT_EQ(u(i, j), 9.0);
      } else {
        EXPECT_NEAR(u(i, j), lu(i, j), 1e-6 * std::fabs(lu(i, j)));
        EXPECT_EQ(l(i, j), 9.0);
      }
    }
  // Every partial inner sum is rounded to single precision; U(3, 3) is small
  // enough here for that rounding to show against the double factors.
  Mat b(3, {1, 0, 1, 0, 1, 1e-9, 1e-9, 1 + 1e-7, 3e-9});
  Mat l2(3), u2(3), lu2(3);
  LU_NOPIVOT_SPLIT(3, b.view(), l2.view(), u2.view());
  LU_NOPIVOT(3, b.view(), lu2.view());
  const float s = static_cast<float>(static_cast<float>(1e-9 * 1.0) + (1 + 1e-7) * 1e-9);
  EXPECT_EQ(u2(3, 3), 3e-9 - s);
  EXPECT_NE(u2(3, 3), lu2(3, 3));
}

TEST(MatrixKitViews, BlocksOfLargeTablesWorkInPlace) {
  // A block in the middle of a (3, 3, 821) table, its neighbours sentinels.
  Table3<double> t;
  t.make(3, 3, 821);
  for (int c = 1; c <= 821; ++c)
    for (int b = 1; b <= 3; ++b)
      for (int a = 1; a <= 3; ++a) t(a, b, c) = 100.0 + a + 10 * b;
  const double rows[9] = {1, 2, 3, -3, 1, 0, 3, 5, 1};
  for (int k = 0; k < 9; ++k) t(k / 3 + 1, k % 3 + 1, 400) = rows[k];

  Table3<double> inv;
  inv.make(3, 3, 821);
  int ipvt[3];
  double det;
  int iflag;
  LU_PIVOT(t.block(400), inv.block(820), ipvt, det, iflag, 3);
  EXPECT_EQ(iflag, 0);
  EXPECT_NEAR(det, -47.0, 1e-13);
  MAT_INVERSE_LU_SLICE(inv.block(820), ipvt, 3);
  const double adj[3][3] = {{-1, -13, 3}, {-3, 8, 9}, {18, -1, -7}};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(inv(i, j, 820), adj[i - 1][j - 1] / 47.0, 1e-15);
  for (int c : {819, 821})
    for (int b = 1; b <= 3; ++b)
      for (int a = 1; a <= 3; ++a) EXPECT_EQ(inv(a, b, c), 0.0);
  EXPECT_EQ(t(1, 1, 399), 111.0);
  EXPECT_EQ(t(1, 1, 401), 111.0);

  // Slices agree with the same products on views.
  Table2<double> x, y;
  x.make(3, 821);
  y.make(3, 821);
  x(1, 5) = 1;
  x(2, 5) = -1;
  x(3, 5) = 2;
  MAT_VEC_SLICE(400, t, 5, x, 7, y, 3);
  EXPECT_EQ(y(1, 7), 5.0);
  EXPECT_EQ(y(2, 7), -4.0);
  EXPECT_EQ(y(3, 7), 0.0);
  EXPECT_EQ(y(1, 6), 0.0);
  EXPECT_EQ(y(1, 8), 0.0);
  MAT_MAT_SLICE(400, t, 820, inv, 1, t, 3);
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_NEAR(t(i, j, 1), i == j ? 1.0 : 0.0, 1e-15);

  // A row of a table (stride 3) as a vector, and the transpose as a view.
  double xr[3] = {x(1, 5), x(2, 5), x(3, 5)};
  double yr[6] = {0, 0, 0, 0, 0, 0};
  MAT_VEC(MatView{t.block_data(400), 3, 1}, VecView{xr, 1}, VecView{yr, 2}, 3);
  // Transpose of rows (1,2,3), (-3,1,0), (3,5,1) times (1,-1,2).
  EXPECT_EQ(yr[0], 10.0);
  EXPECT_EQ(yr[2], 11.0);
  EXPECT_EQ(yr[4], 5.0);
  EXPECT_EQ(yr[1], 0.0);
  Table2<double> rowvec;
  rowvec.make(2, 3);
  for (int j = 1; j <= 3; ++j) rowvec(2, j) = xr[j - 1];
  MAT_VEC(t.block(400), VecView{rowvec.data() + 1, 2}, VecView{yr, 1}, 3);
  EXPECT_EQ(yr[0], 5.0);
  EXPECT_EQ(yr[1], -4.0);
  EXPECT_EQ(yr[2], 0.0);
}

TEST(MatrixKitEntries, SecondEntriesRunTheSameRoutines) {
  std::mt19937 gen(21);
  for (int n = 1; n <= 5; ++n) {
    Mat a = random_matrix(n, gen), f1(n), f2(n);
    int p1[5], p2[5];
    double d1, d2;
    int i1, i2;
    LU_PIVOT(a.view(), f1.view(), p1, d1, i1, n);
    LU_PIVOT_ENTRY(a.view(), f2.view(), p2, d2, i2, n);
    EXPECT_EQ(f1.v, f2.v);
    EXPECT_EQ(d1, d2);
    MAT_INVERSE_LU(f1.view(), p1, n);
    MAT_INVERSE_LU_SLICE(f2.view(), p2, n);
    EXPECT_EQ(f1.v, f2.v);
  }
}

}  // namespace
}  // namespace sorvane::bl

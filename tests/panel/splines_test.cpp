// Contour splines and tube smoothing: exact reproduction of cubics, the
// convergence order of the natural spline, evaluation at and beyond the
// knots, and the tube smoothing's edge cases and pass limit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "solver/panel/splines.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using testing::StdoutCapture;


struct Cubic {
  double a, b, c, d;  // a + b x + c x^2 + d x^3
  double f(double x) const { return a + x * (b + x * (c + x * d)); }
  double df(double x) const { return b + x * (2 * c + x * 3 * d); }
  double ddf(double x) const { return 2 * c + 6 * d * x; }
};

TEST(SplineCoef, TwoPointsNaturalIsStraight) {
  const double x[] = {0.0, 2.0}, y[] = {1.0, 5.0};
  double M[] = {99.0, 99.0};
  SPLINE_COEF(0.0, 0.0, 0.0, 2, x, y, M, 0);
  EXPECT_EQ(M[0], 0.0);
  EXPECT_EQ(M[1], 0.0);
  double v, s, k;
  SPLINE_EVAL(2, x, y, M, 0.5, v, s, k);
  EXPECT_DOUBLE_EQ(v, 2.0);
  EXPECT_DOUBLE_EQ(s, 2.0);
  EXPECT_EQ(k, 0.0);
}

// With h != 0 the abscissae are not read at all (a null row would crash).
TEST(SplineCoef, FixedIntervalIgnoresAbscissae) {
  const int n = 7;
  std::vector<double> x(n), y(n), Mh(n), Mx(n);
  for (int i = 0; i < n; ++i) {
    x[i] = 0.5 * i;
    y[i] = std::cos(1.3 * x[i]) + 0.1 * i * i;
  }
  SPLINE_COEF(0.2, -0.4, 0.5, n, nullptr, y.data(), Mh.data(), 1);
  SPLINE_COEF(0.2, -0.4, 0.0, n, x.data(), y.data(), Mx.data(), 1);
  for (int i = 0; i < n; ++i) EXPECT_EQ(Mh[i], Mx[i]) << i;
}

// End slopes of a cubic reproduce it exactly: values, slopes, curvatures,
// at the knots, between them, and beyond both ends (the last interval's
// polynomial is the cubic itself).
TEST(SplineCoef, ClampedEndsReproduceCubic) {
  const Cubic cases[] = {{1.0, 0.5, -2.0, 1.0}, {0.0, 0.0, 0.0, 1.0}, {-3.0, 2.0, 0.25, -0.7}};
  const std::vector<double> x = {-1.0, -0.7, -0.1, 0.0, 0.35, 0.9, 1.0, 1.6, 2.0};
  const int n = static_cast<int>(x.size());
  for (const Cubic& q : cases) {
    std::vector<double> y(n), M(n);
    for (int i = 0; i < n; ++i) y[i] = q.f(x[i]);
    SPLINE_COEF(q.df(x.front()), q.df(x.back()), 0.0, n, x.data(), y.data(), M.data(), 1);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(M[i], q.ddf(x[i]), 1e-11) << i;
    for (int s = 0; s <= 300; ++s) {
      const double t = -1.3 + 3.6 * s / 300.0;  // from below x(1) to beyond x(n)
      double v, sl, k;
      SPLINE_EVAL(n, x.data(), y.data(), M.data(), t, v, sl, k);
      EXPECT_NEAR(v, q.f(t), 1e-11) << t;
      EXPECT_NEAR(sl, q.df(t), 1e-10) << t;
      EXPECT_NEAR(k, q.ddf(t), 1e-10) << t;
    }
  }
}

// Natural spline through sin on [0, pi] (whose second derivative vanishes at
// both ends): the error is of fourth order, ~16 times smaller per halving.
TEST(SplineCoef, NaturalSplineConvergesFourthOrder) {
  auto max_error = [](int intervals) {
    const int n = intervals + 1;
    std::vector<double> x(n), y(n), M(n);
    for (int i = 0; i < n; ++i) {
      x[i] = M_PI * i / intervals;
      y[i] = std::sin(x[i]);
    }
    SPLINE_COEF(0.0, 0.0, 0.0, n, x.data(), y.data(), M.data(), 0);
    double err = 0.0;
    for (int s = 0; s <= 2000; ++s) {
      const double t = M_PI * s / 2000.0;
      double v, sl, k;
      SPLINE_EVAL(n, x.data(), y.data(), M.data(), t, v, sl, k);
      err = std::max(err, std::fabs(v - std::sin(t)));
    }
    return err;
  };
  const double e10 = max_error(10), e20 = max_error(20), e40 = max_error(40);
  EXPECT_GT(e10 / e20, 12.0);
  EXPECT_LT(e10 / e20, 20.0);
  EXPECT_GT(e20 / e40, 12.0);
  EXPECT_LT(e20 / e40, 20.0);
  EXPECT_LT(e40, 1e-6);
}

TEST(SplineEval, KnotsReturnTheirOrdinates) {
  const std::vector<double> x = {0.0, 0.1, 0.4, 0.45, 1.0, 2.5};
  const std::vector<double> y = {0.3, -1.0, 2.0, 2.2, 0.0, 4.0};
  const int n = static_cast<int>(x.size());
  std::vector<double> M(n);
  SPLINE_COEF(0.0, 0.0, 0.0, n, x.data(), y.data(), M.data(), 0);
  for (int i = 0; i < n; ++i) {
    double v, s, k;
    SPLINE_EVAL(n, x.data(), y.data(), M.data(), x[i], v, s, k);
    EXPECT_NEAR(v, y[i], 1e-14) << i;
    EXPECT_NEAR(k, M[i], 1e-12) << i;
  }
}

// A row longer than the work arrays is refused without touching anything.
TEST(SplineCoef, TooManyPointsWritesNothing) {
  const int n = kSplinePoints + 1;
  std::vector<double> x(n), y(n), M(n, 7.0);
  for (int i = 0; i < n; ++i) x[i] = i;
  SPLINE_COEF(0.0, 0.0, 0.0, n, x.data(), y.data(), M.data(), 0);
  for (double m : M) EXPECT_EQ(m, 7.0);
}

TEST(TubeSmooth, ZeroWidthsLeaveRowUnchanged) {
  const std::vector<double> t = {0.0, 0.2, 0.5, 0.6, 1.0};
  const std::vector<double> y = {1.0, 3.0, -2.0, 0.5, 1.0};
  const std::vector<double> w = {0.0, 1e-6, 0.0, 5e-7, 0.0};
  std::vector<double> s(5, 99.0);
  StdoutCapture out;
  SPLINE_TUBE_SMOOTH(5, t.data(), y.data(), w.data(), s.data());
  EXPECT_EQ(s, y);
  EXPECT_EQ(out.text(), "");
}

// A straight row with one point raised by 1 inside a tube of half-width 0.5:
// the point comes down to its lower edge, 0.5 above the line, and stays.
TEST(TubeSmooth, RaisedPointStopsAtItsLowerEdge) {
  const int n = 11, raised = 5;
  std::vector<double> t(n), y(n), w(n, 0.0), s(n);
  for (int i = 0; i < n; ++i) {
    t[i] = 0.1 * i;
    y[i] = 0.25 + 0.5 * t[i];
  }
  const double line = y[raised];
  y[raised] += 1.0;
  w[raised] = 0.5;
  StdoutCapture out;
  SPLINE_TUBE_SMOOTH(n, t.data(), y.data(), w.data(), s.data());
  EXPECT_NEAR(s[raised], line + 0.5, 1e-12);
  for (int i = 0; i < n; ++i) {
    if (i == raised) continue;
    EXPECT_EQ(s[i], y[i]) << i;
  }
  EXPECT_EQ(out.text(), "");
}

double roughness(const std::vector<double>& v) {
  double sum = 0.0;
  for (std::size_t i = 1; i + 1 < v.size(); ++i) {
    const double d2 = v[i + 1] - 2.0 * v[i] + v[i - 1];
    sum += d2 * d2;
  }
  return sum;
}

// A noisy smooth curve whose roughness is mostly noise: the result stays
// inside the tube, loses the noise (far smoother than the input) and is about
// as smooth as the noise-free curve.
TEST(TubeSmooth, NoisyCurveStaysInTubeAndGetsSmoother) {
  struct Case {
    int n;
    double amplitude, noise, width;
    unsigned seed;
  };
  const Case cases[] = {{61, 0.2, 0.004, 0.01, 1u},
                        {101, 1.0, 0.004, 0.01, 2u},
                        {201, 1.0, 0.003, 0.0075, 3u},
                        {201, 0.05, 0.002, 0.01, 4u}};
  for (const Case& c : cases) {
    std::mt19937 gen(c.seed);
    std::uniform_real_distribution<double> u(-1.0, 1.0);
    std::vector<double> t(c.n), truth(c.n), y(c.n), w(c.n, c.width), s(c.n);
    for (int i = 0; i < c.n; ++i) {
      t[i] = static_cast<double>(i) / (c.n - 1);
      truth[i] = c.amplitude * std::sin(2.0 * M_PI * t[i]) * (1.0 - 0.5 * t[i]);
      y[i] = truth[i] + c.noise * u(gen);
    }
    w.front() = w.back() = 0.0;
    StdoutCapture out;  // the pass limit may be reached; its values still hold
    SPLINE_TUBE_SMOOTH(c.n, t.data(), y.data(), w.data(), s.data());
    for (int i = 0; i < c.n; ++i) {
      ASSERT_TRUE(std::isfinite(s[i])) << c.n << " point " << i;
      EXPECT_LE(std::fabs(s[i] - y[i]), w[i] + 1e-12) << c.n << " point " << i;
    }
    EXPECT_EQ(s.front(), y.front());
    EXPECT_EQ(s.back(), y.back());
    EXPECT_LT(roughness(s), 0.2 * roughness(y)) << c.n;
    EXPECT_LT(roughness(s), 1.2 * roughness(truth)) << c.n;
  }
}

// A free point lying on the line through its anchors is held (r = 1), then
// let go again (it presses against neither edge), round after round, until
// the pass limit writes its record.
TEST(TubeSmooth, PassLimitWritesRecord) {
  const int n = 5;
  const std::vector<double> t = {0.0, 1.0, 2.0, 3.0, 4.0};
  const std::vector<double> y = {0.0, 0.0, 0.0, 0.0, 0.0};
  const std::vector<double> w = {0.0, 0.0, 0.5, 0.0, 0.0};
  std::vector<double> s(n, 99.0);
  StdoutCapture out;
  SPLINE_TUBE_SMOOTH(n, t.data(), y.data(), w.data(), s.data());
  EXPECT_EQ(out.text(), "\n   KI GT 10*L\n\n");
  EXPECT_EQ(s, y);
}

// More points than the work arrays hold: the row is returned unchanged.
TEST(TubeSmooth, TooManyPointsReturnsRow) {
  const int n = kSmoothPoints + 1;
  std::vector<double> t(n), y(n), w(n, 0.1), s(n);
  for (int i = 0; i < n; ++i) {
    t[i] = i;
    y[i] = (i % 2) ? 1.0 : -1.0;
  }
  SPLINE_TUBE_SMOOTH(n, t.data(), y.data(), w.data(), s.data());
  EXPECT_EQ(s, y);
}

}  // namespace
}  // namespace sorvane

// Similarity start: grid, Hiemenz and Blasius profiles against an
// independent shooting solution, the pass tables on "init2d.OUT", refused
// inputs, and the full-block form against the closed-form elimination.
#include "solver/boundary_layer/similarity_start.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane::bl {
namespace {

using sorvane::testing::read_lines;
using sorvane::testing::scratch_dir;
using sorvane::testing::write_file;

// ---------------------------------------------------------------------------
// Independent truth: f''' + p1 f f'' + p2 (1 - f'^2) = 0, f(0) = f'(0) = 0,
// f'(E) = 1, by RK4 shooting on f''(0) with bisection.

struct State3 {
  double f, u, v;
};

State3 rhs(const State3& y, double p1, double p2) {
  return {y.u, y.v, -p1 * y.f * y.v - p2 * (1.0 - y.u * y.u)};
}

State3 rk4_step(const State3& y, double h, double p1, double p2) {
  auto add = [](const State3& a, const State3& k, double s) {
    return State3{a.f + s * k.f, a.u + s * k.u, a.v + s * k.v};
  };
  const State3 k1 = rhs(y, p1, p2);
  const State3 k2 = rhs(add(y, k1, h / 2), p1, p2);
  const State3 k3 = rhs(add(y, k2, h / 2), p1, p2);
  const State3 k4 = rhs(add(y, k3, h), p1, p2);
  return {y.f + h / 6 * (k1.f + 2 * k2.f + 2 * k3.f + k4.f),
          y.u + h / 6 * (k1.u + 2 * k2.u + 2 * k3.u + k4.u),
          y.v + h / 6 * (k1.v + 2 * k2.v + 2 * k3.v + k4.v)};
}

// Integrates from 0 through the points eta[0] = 0 < eta[1] < ... with
// `sub` RK4 steps per interval; returns the state at every point.
std::vector<State3> integrate(double s, const std::vector<double>& eta, double p1, double p2,
                              int sub) {
  std::vector<State3> out;
  State3 y{0.0, 0.0, s};
  out.push_back(y);
  for (std::size_t j = 1; j < eta.size(); ++j) {
    const double h = (eta[j] - eta[j - 1]) / sub;
    for (int k = 0; k < sub; ++k) y = rk4_step(y, h, p1, p2);
    out.push_back(y);
  }
  return out;
}

// f''(0) such that f'(eta.back()) = 1, from a bracket [lo, hi] with a sign
// change of f'(E) - 1.
double shoot(const std::vector<double>& eta, double p1, double p2, double lo, double hi) {
  auto miss = [&](double s) { return integrate(s, eta, p1, p2, 40).back().u - 1.0; };
  double mlo = miss(lo);
  const double mhi = miss(hi);
  EXPECT_LT(mlo * mhi, 0.0) << "the bracket holds no root";
  for (int it = 0; it < 200 && hi - lo > 1e-14; ++it) {
    const double mid = 0.5 * (lo + hi);
    const double mm = miss(mid);
    if ((mm < 0) == (mlo < 0)) {
      lo = mid;
      mlo = mm;
    } else {
      hi = mid;
    }
  }
  return 0.5 * (lo + hi);
}

std::vector<double> grid_of(const Init2d& m, int np) {
  std::vector<double> eta;
  for (int j = 1; j <= np; ++j) eta.push_back(m.eta_sim(j));
  return eta;
}

// Runs in a scratch working directory, so that "init2d.OUT" lands there, and
// closes its unit (and drops a failure kept for it) at the end so that every
// test starts afresh.
class SimilarityStart : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = std::filesystem::current_path();
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = scratch_dir(std::string("init2d_") + info->name());
    std::filesystem::current_path(dir_);
    text::units().close(169);
  }
  void TearDown() override {
    text::units().close(169);
    text::units().forget_failures();
    std::filesystem::current_path(home_);
  }
  std::vector<std::string> table() {
    text::units().flush_all();
    return read_lines(dir_ + "/init2d.OUT");
  }

  std::filesystem::path home_;
  std::string dir_;
  // Init2d holds some 60 tables of 821 points: keep it off the stack.
  std::unique_ptr<Init2d> m_ = std::make_unique<Init2d>();
};

// ---------------------------------------------------------------------------
// Solutions.

// Largest differences of f, u, v from the shooting solution on the same grid.
struct ProfileError {
  double f = 0.0, u = 0.0, v = 0.0;
};

ProfileError profile_error(const Init2d& m, int np, double p1, double p2, double lo, double hi,
                           double wall_shear) {
  const std::vector<double> eta = grid_of(m, np);
  const double s = shoot(eta, p1, p2, lo, hi);
  EXPECT_NEAR(s, wall_shear, 2e-6);
  const std::vector<State3> exact = integrate(s, eta, p1, p2, 40);
  ProfileError e;
  for (int j = 1; j <= np; ++j) {
    e.f = std::max(e.f, std::fabs(m.f_sim(j) - exact[j - 1].f));
    e.u = std::max(e.u, std::fabs(m.u_sim(j) - exact[j - 1].u));
    e.v = std::max(e.v, std::fabs(m.v_sim(j) - exact[j - 1].v));
  }
  return e;
}

// Hiemenz (flag 1) and Blasius (flag 0): the published wall shear, the whole
// profile against the shooting solution, and second-order convergence of
// the box scheme (halving the spacings divides the error by about 4).
TEST_F(SimilarityStart, ProfilesMatchShootingWithSecondOrderError) {
  struct Case {
    const char* name;
    int flag;
    double etae, p1, p2, lo, hi, wall_shear;
  };
  for (const Case& c : {Case{"Hiemenz", 1, 8.0, 1.0, 1.0, 1.2, 1.3, 1.232588},
                        Case{"Blasius", 0, 10.0, 0.5, 0.0, 0.2, 0.6, 0.332057}}) {
    SCOPED_TRACE(c.name);
    Init2d& m = *m_;
    ASSERT_TRUE(INIT2D(m, 201, 1.02, c.etae, c.flag));
    EXPECT_EQ(m.p1, c.p1);
    EXPECT_EQ(m.p2, c.p2);
    EXPECT_LT(m.passes, 21);  // converged, not stopped by the limit
    EXPECT_LE(std::fabs(m.delv(1)), m.tolerance);
    EXPECT_NEAR(m.v_sim(1), c.wall_shear, 1e-4);
    const ProfileError coarse = profile_error(m, 201, c.p1, c.p2, c.lo, c.hi, c.wall_shear);
    EXPECT_LT(coarse.u, 5e-5);
    EXPECT_LT(coarse.f, 5e-5);
    EXPECT_LT(coarse.v, 1e-4);

    // Spacings halved: first spacing and growth per point both about half.
    ASSERT_TRUE(INIT2D(m, 401, 1.01, c.etae, c.flag));
    EXPECT_NEAR(m.v_sim(1), c.wall_shear, 2e-5);
    const ProfileError fine = profile_error(m, 401, c.p1, c.p2, c.lo, c.hi, c.wall_shear);
    EXPECT_GT(coarse.u / fine.u, 3.0) << coarse.u << " " << fine.u;
    EXPECT_GT(coarse.v / fine.v, 3.0) << coarse.v << " " << fine.v;
  }
}

// The boundary values hold exactly after every pass, not only at the end.
TEST_F(SimilarityStart, WallAndEdgeValuesExactAfterEveryPass) {
  struct Case {
    int np;
    double vgp, etae;
    double p1, p2;
  };
  for (const Case& c : {Case{61, 1.1, 8.0, 1.0, 1.0}, Case{201, 1.02, 8.0, 1.0, 1.0},
                        Case{31, 1.0, 6.0, 0.5, 0.0}, Case{2, 1.0, 8.0, 1.0, 1.0}}) {
    SCOPED_TRACE("np " + std::to_string(c.np) + " vgp " + std::to_string(c.vgp));
    Init2d& m = *m_;
    ASSERT_TRUE(INIT2D_GRID(c.np, kSimPoints, c.vgp, c.etae, m.deta_sim, m.eta_sim, m.a_sim));
    INIT2D_START_PROFILE(c.np, m.eta_sim, m.f_sim, m.u_sim, m.v_sim);
    EXPECT_EQ(m.u_sim(c.np), 1.0);
    for (int pass = 1; pass <= 8; ++pass) {
      INIT2D_COEF(m, c.p1, c.p2, c.np, m.deta_sim, m.f_sim, m.u_sim, m.v_sim);
      INIT2D_BLOCK_SOLVE(m, c.np, m.a_sim, m.f_sim, m.u_sim, m.v_sim);
      EXPECT_EQ(m.u_sim(1), 0.0) << "pass " << pass;
      EXPECT_EQ(m.f_sim(1), 0.0) << "pass " << pass;
      EXPECT_EQ(m.u_sim(c.np), 1.0) << "pass " << pass;
    }
  }
}

// The cubic start: u = 0 at the wall, u = 1 and v = 0 at the edge, and f, v
// its integral and derivative.
TEST_F(SimilarityStart, StartProfileIsTheCubic) {
  Init2d& m = *m_;
  ASSERT_TRUE(INIT2D_GRID(41, kSimPoints, 1.0, 4.0, m.deta_sim, m.eta_sim, m.a_sim));
  INIT2D_START_PROFILE(41, m.eta_sim, m.f_sim, m.u_sim, m.v_sim);
  EXPECT_EQ(m.f_sim(1), 0.0);
  EXPECT_EQ(m.u_sim(1), 0.0);
  EXPECT_NEAR(m.v_sim(1), 1.5 / 4.0, 1e-15);
  EXPECT_EQ(m.u_sim(41), 1.0);
  EXPECT_NEAR(m.v_sim(41), 0.0, 1e-15);
  EXPECT_NEAR(m.f_sim(41), 4.0 * 5.0 / 8.0, 1e-14);  // integral of u over [0, 4]
  for (int j = 2; j <= 40; ++j) {  // central differences of f and u
    const double h = m.deta_sim(1);
    EXPECT_NEAR((m.f_sim(j + 1) - m.f_sim(j - 1)) / (2 * h), m.u_sim(j), 1e-3);
    EXPECT_NEAR((m.u_sim(j + 1) - m.u_sim(j - 1)) / (2 * h), m.v_sim(j), 1e-3);
  }
}

// ---------------------------------------------------------------------------
// Grid.

TEST_F(SimilarityStart, GridSpacingsAndEdge) {
  struct Case {
    int np;
    double vgp, etae;
    bool uniform_first;  // first spacing etae/(np-1)
    int edge;            // -1 below etae, 0 equal, +1 above
  };
  const Case cases[] = {
      {31, 1.0, 8.0, true, 0},
      {31, 1.0005, 8.0, true, +1},
      {31, 0.95, 8.0, true, -1},
      {31, 1.2, 8.0, false, 0},
      {61, 1.1, 8.0, false, 0},
      // 1 + 1.00000003e-3 lies within the single-precision 0.001 of 1, but
      // not within the double 0.001.
      {41, 1.00100000003, 5.0, true, +1},
      {41, 1.0010001, 5.0, false, 0},
      {821, 1.01, 8.0, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("np " + std::to_string(c.np) + " vgp " + std::to_string(c.vgp));
    Init2d& m = *m_;
    ASSERT_TRUE(INIT2D_GRID(c.np, kSimPoints, c.vgp, c.etae, m.deta_sim, m.eta_sim, m.a_sim));
    const double V = c.vgp;
    const double first = c.uniform_first
                             ? c.etae / (c.np - 1)
                             : (V - 1) * c.etae / (std::pow(V, c.np - 1) - 1);
    EXPECT_NEAR(m.deta_sim(1), first, 1e-13 * first);
    EXPECT_EQ(m.eta_sim(1), 0.0);
    // Sum of the geometric series of spacings up to point np.
    const double expected_edge =
        V == 1.0 ? first * (c.np - 1) : first * (std::pow(V, c.np - 1) - 1) / (V - 1);
    EXPECT_NEAR(m.eta_sim(c.np), expected_edge, 1e-11 * c.etae);
    if (c.edge == 0) {
      EXPECT_NEAR(m.eta_sim(c.np), c.etae, 1e-12 * c.etae);
    } else if (c.edge > 0) {
      EXPECT_GT(m.eta_sim(c.np), c.etae * (1 + 1e-6));
    } else {
      EXPECT_LT(m.eta_sim(c.np), c.etae * (1 - 1e-6));
    }
    // The whole capacity is filled, consistently.
    for (int j = 2; j <= kSimPoints; ++j) {
      ASSERT_DOUBLE_EQ(m.deta_sim(j), V * m.deta_sim(j - 1)) << j;
      ASSERT_NEAR(m.eta_sim(j) - m.eta_sim(j - 1), m.deta_sim(j - 1), 1e-14 * m.eta_sim(j)) << j;
      ASSERT_EQ(m.a_sim(j), m.deta_sim(j - 1) / 2) << j;
    }
    const double far = V == 1.0 ? first * (kSimPoints - 1)
                                : first * (std::pow(V, kSimPoints - 1) - 1) / (V - 1);
    EXPECT_NEAR(m.eta_sim(kSimPoints), far, 1e-10 * std::fabs(far));
  }
}

// ---------------------------------------------------------------------------
// Refused inputs.

TEST_F(SimilarityStart, RefusedInputsChangeNothingAndEndNothing) {
  Init2d& m = *m_;
  ASSERT_TRUE(INIT2D(m, 61, 1.1, 8.0, 1));
  const int passes = m.passes;
  const std::vector<std::string> before_file = table();
  auto snapshot = [&]() {
    std::vector<double> all;
    for (Table1<double>* t : {&m.eta_sim, &m.deta_sim, &m.a_sim, &m.f_sim, &m.u_sim, &m.v_sim,
                              &m.s1, &m.s5, &m.r1, &m.r2, &m.r3, &m.delf, &m.delu, &m.delv})
      all.insert(all.end(), t->data(), t->data() + t->size());
    all.push_back(m.p1);
    all.push_back(m.p2);
    return all;
  };
  const std::vector<double> before = snapshot();
  struct Case {
    int np;
    double vgp, etae;
  };
  for (const Case& c : {Case{822, 1.1, 8.0}, Case{1, 1.1, 8.0}, Case{0, 1.0, 8.0},
                        Case{-5, 1.0, 8.0}, Case{61, 0.0, 8.0}, Case{61, -1.1, 8.0},
                        Case{61, 1.1, 0.0}, Case{61, 1.1, -8.0}, Case{61, NAN, 8.0},
                        Case{61, 1.1, INFINITY}}) {
    SCOPED_TRACE("np " + std::to_string(c.np) + " vgp " + std::to_string(c.vgp) + " etae " +
                 std::to_string(c.etae));
    EXPECT_FALSE(INIT2D(m, c.np, c.vgp, c.etae, 0));  // flag 0 would change p1, p2
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(m.passes, passes);
    EXPECT_EQ(table(), before_file);  // the file receives nothing
  }
  EXPECT_TRUE(text::units().is_open(169));
  // The grid routine itself refuses too, filling nothing.
  EXPECT_FALSE(INIT2D_GRID(822, kSimPoints, 1.1, 8.0, m.deta_sim, m.eta_sim, m.a_sim));
  EXPECT_FALSE(INIT2D_GRID(1, kSimPoints, 1.1, 8.0, m.deta_sim, m.eta_sim, m.a_sim));
  EXPECT_TRUE(snapshot() == before);
}

TEST_F(SimilarityStart, RefusedFirstCallStillCreatesTheFileEmpty) {
  write_file(dir_ + "/init2d.OUT", "old content\n");
  EXPECT_FALSE(INIT2D(*m_, 822, 1.1, 8.0, 1));
  EXPECT_TRUE(std::filesystem::exists(dir_ + "/init2d.OUT"));
  EXPECT_TRUE(table().empty());
}

TEST_F(SimilarityStart, FullCapacityRuns) {
  Init2d& m = *m_;
  ASSERT_TRUE(INIT2D(m, kSimPoints, 1.005, 12.0, 1));
  EXPECT_NEAR(m.eta_sim(kSimPoints), 12.0, 1e-10);
  EXPECT_NEAR(m.v_sim(1), 1.232588, 1e-4);
  EXPECT_EQ(m.u_sim(kSimPoints), 1.0);
  EXPECT_EQ(table().size(), static_cast<std::size_t>(m.passes) * (kSimPoints + 1));
}

// ---------------------------------------------------------------------------
// Pass tables on "init2d.OUT".

TEST_F(SimilarityStart, TablesReplaceOldFileThenAppendGroups) {
  write_file(dir_ + "/init2d.OUT", "left from an earlier run\n");
  Init2d& m = *m_;
  const int np = 31;
  ASSERT_TRUE(INIT2D(m, np, 1.1, 8.0, 1));
  const int first_passes = m.passes;
  ASSERT_GE(first_passes, 2);
  std::vector<std::string> lines = table();
  ASSERT_EQ(lines.size(), static_cast<std::size_t>(first_passes) * (np + 1));
  const std::string head =
      "  J         ETA              F              U              V          DELV ";
  ASSERT_EQ(head.size(), 75u);
  for (int p = 0; p < first_passes; ++p) {
    const std::string& h = lines[static_cast<std::size_t>(p) * (np + 1)];
    EXPECT_EQ(h, head) << "pass " << p + 1;
    for (int j = 1; j <= np; ++j) {
      const std::string& row = lines[static_cast<std::size_t>(p) * (np + 1) + j];
      ASSERT_EQ(row.size(), 3u + 5 * 15) << row;
      int jj = 0;
      double eta, f, u, v, dv;
      ASSERT_EQ(std::sscanf(row.c_str(), "%3d%15lf%15lf%15lf%15lf%15lf", &jj, &eta, &f, &u, &v,
                            &dv),
                6)
          << row;
      EXPECT_EQ(jj, j);
      EXPECT_NEAR(eta, m.eta_sim(j), 5e-7);
    }
  }
  // The last group holds the profile left behind.
  const std::size_t last = static_cast<std::size_t>(first_passes - 1) * (np + 1);
  for (int j = 1; j <= np; ++j) {
    double eta, f, u, v, dv;
    int jj;
    std::sscanf(lines[last + j].c_str(), "%3d%15lf%15lf%15lf%15lf%15lf", &jj, &eta, &f, &u, &v,
                &dv);
    EXPECT_NEAR(f, m.f_sim(j), 5e-7);
    EXPECT_NEAR(u, m.u_sim(j), 5e-7);
    EXPECT_NEAR(v, m.v_sim(j), 5e-7);
    EXPECT_NEAR(dv, m.delv(j), 5e-7);
  }
  EXPECT_EQ(lines[1], "  1       0.000000       0.000000       0.000000" +
                          lines[1].substr(48));

  // A second call (another surface run) appends its own group.
  auto m2 = std::make_unique<Init2d>();
  ASSERT_TRUE(INIT2D(*m2, 21, 1.0, 6.0, 1));
  lines = table();
  ASSERT_EQ(lines.size(),
            static_cast<std::size_t>(first_passes) * (np + 1) + m2->passes * (21 + 1));
  const std::size_t second = static_cast<std::size_t>(first_passes) * (np + 1);
  EXPECT_EQ(lines[second], head);
  EXPECT_EQ(lines[second + 21].substr(0, 18), " 21       6.000000");
}

// When the table file cannot be made the solution still stands; standard
// output says why the tables are missing.
TEST_F(SimilarityStart, UnwritableTableFileLosesOnlyTheTables) {
  std::filesystem::create_directory(dir_ + "/init2d.OUT");  // fopen fails on a directory
  Init2d& m = *m_;
  sorvane::testing::StdoutCapture out;
  ASSERT_TRUE(INIT2D(m, 61, 1.1, 8.0, 1));
  EXPECT_NEAR(m.v_sim(1), 1.232588, 1e-3);
  EXPECT_FALSE(text::units().is_open(169));
  // The loss is kept for whoever ends the run to report, once: a second
  // call neither tries the file again nor adds a line, and the station log
  // on standard output is not mixed with it.
  const std::vector<std::string> lost = {"cannot write the listing init2d.OUT: Is a directory"};
  EXPECT_EQ(text::units().failure_messages(), lost);
  ASSERT_TRUE(INIT2D(m, 61, 1.1, 8.0, 1));
  EXPECT_EQ(text::units().failure_messages(), lost);
  EXPECT_EQ(out.text(), "");
}

// A case that does not meet the tolerance (the flat plate on a coarse
// uniform grid reaching far out) stops after 21 passes, writes 21 tables and
// says nothing; its last profile stands.
TEST_F(SimilarityStart, PassLimitStopsAfterTwentyOnePasses) {
  Init2d& m = *m_;
  sorvane::testing::StdoutCapture out;
  ASSERT_TRUE(INIT2D(m, 61, 1.0, 30.0, 0));
  EXPECT_EQ(m.passes, 21);
  EXPECT_GT(std::fabs(m.delv(1)), 100 * m.tolerance);
  EXPECT_EQ(table().size(), 21u * 62u);
  EXPECT_EQ(out.text(), "");
  EXPECT_EQ(m.u_sim(1), 0.0);
  EXPECT_EQ(m.u_sim(61), 1.0);
}

// A grid whose first spacing underflows to 0 (2.5^820 overflows) gives a
// non-finite correction: the call says so instead of handing on the
// profile as a solution.
TEST_F(SimilarityStart, NonFiniteCorrectionFailsTheCall) {
  Init2d& m = *m_;
  EXPECT_FALSE(INIT2D(m, kSimPoints, 2.5, 8.0, 1));
  EXPECT_EQ(m.passes, 1);
  EXPECT_EQ(table().size(), static_cast<std::size_t>(kSimPoints + 1));
}

// ---------------------------------------------------------------------------
// Full-block form.

TEST_F(SimilarityStart, FullBlockSolveMatchesClosedForm) {
  struct Case {
    int np;
    double vgp, etae, p1, p2;
    int passes_before;  // closed-form passes made before the comparison
  };
  for (const Case& c : {Case{61, 1.1, 8.0, 1.0, 1.0, 0}, Case{61, 1.1, 8.0, 1.0, 1.0, 2},
                        Case{201, 1.02, 8.0, 1.0, 1.0, 1}, Case{31, 0.95, 10.0, 0.5, 0.0, 0},
                        Case{2, 1.0, 8.0, 1.0, 1.0, 0}}) {
    SCOPED_TRACE("np " + std::to_string(c.np) + " after " + std::to_string(c.passes_before));
    auto owner = std::make_unique<Init2d>();
    Init2d& m = *owner;
    ASSERT_TRUE(INIT2D_GRID(c.np, kSimPoints, c.vgp, c.etae, m.deta_sim, m.eta_sim, m.a_sim));
    INIT2D_START_PROFILE(c.np, m.eta_sim, m.f_sim, m.u_sim, m.v_sim);
    for (int p = 0; p < c.passes_before; ++p) {
      INIT2D_COEF(m, c.p1, c.p2, c.np, m.deta_sim, m.f_sim, m.u_sim, m.v_sim);
      INIT2D_BLOCK_SOLVE(m, c.np, m.a_sim, m.f_sim, m.u_sim, m.v_sim);
    }
    INIT2D_COEF(m, c.p1, c.p2, c.np, m.deta_sim, m.f_sim, m.u_sim, m.v_sim);
    INIT2D_BLOCK_SOLVE(m, c.np, m.a_sim, m.f_sim, m.u_sim, m.v_sim);

    INIT2D_ALLOCATE(m, c.np);
    INIT2D_MATRIX_COEF(m, c.np);
    ASSERT_EQ(INIT2D_MATRIX_FORWARD(m, c.np), 0);
    double scale = 0.0, worst = 0.0;
    for (int j = 1; j <= c.np; ++j) {
      const double closed[3] = {m.delf(j), m.delu(j), m.delv(j)};
      for (int k = 0; k < 3; ++k) {
        scale = std::max(scale, std::fabs(closed[k]));
        worst = std::max(worst, std::fabs(m.xvc(k + 1, j) - closed[k]));
      }
    }
    EXPECT_GT(scale, 0.0);
    EXPECT_LT(worst, 1e-12 * std::max(1.0, scale));

    // Residual of the closed-form corrections in the full-block system.
    INIT2D_MATRIX_BACK(m, c.np);
    double res = 0.0, rhs = 0.0;
    for (int j = 1; j <= c.np; ++j)
      for (int k = 1; k <= 3; ++k) {
        res = std::max(res, std::fabs(m.rrvc(k, j)));
        rhs = std::max(rhs, std::fabs(m.rvc(k, j)));
      }
    EXPECT_LT(res, 1e-11 * std::max(1.0, rhs));

    // A wrong correction shows in the residual.
    m.delv(c.np / 2 + 1) += 1e-6;
    INIT2D_MATRIX_BACK(m, c.np);
    res = 0.0;
    for (int j = 1; j <= c.np; ++j)
      for (int k = 1; k <= 3; ++k) res = std::max(res, std::fabs(m.rrvc(k, j)));
    EXPECT_GT(res, 1e-7);
  }
}

TEST_F(SimilarityStart, FullBlockArraysHaveTheirShapes) {
  Init2d& m = *m_;
  EXPECT_EQ(m.b3.dim3(), 0);  // nothing until allocated
  INIT2D_ALLOCATE(m, 61);
  for (Table3<double>* t : {&m.a3, &m.b3, &m.c3, &m.d3, &m.inv_d3, &m.g3, &m.m3, &m.inv_m, &m.e3,
                            &m.w3m, &m.a3f}) {
    EXPECT_EQ(t->dim1(), 3);
    EXPECT_EQ(t->dim2(), 3);
    EXPECT_EQ(t->dim3(), 61);
  }
  for (Table2<double>* t : {&m.xvc, &m.rvc, &m.rrvc, &m.wvc, &m.uvc, &m.kvc, &m.hvc, &m.k1vc,
                            &m.k2vc, &m.k3vc, &m.e, &m.u3, &m.k3, &m.h3}) {
    EXPECT_EQ(t->rows(), 3);
    EXPECT_EQ(t->cols(), 61);
  }
  EXPECT_EQ(m.af.rows(), 3);
  EXPECT_EQ(m.af.cols(), 3);
  EXPECT_EQ(m.tvc.size(), 3);
  EXPECT_EQ(m.det3.size(), 61);
}

TEST(SimilarityStartDeathTest, AllocatingTwiceStopsTheProcess) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(
      {
        auto m = std::make_unique<Init2d>();
        INIT2D_ALLOCATE(*m, 10);
        INIT2D_ALLOCATE(*m, 10);
      },
      "made twice");
}

}  // namespace
}  // namespace sorvane::bl

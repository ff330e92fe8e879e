// Profile and block-system dumps of the station solver, line by line on a
// small case, for three equations per point and for the five-equation form.
#include "solver/boundary_layer/dumps.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane::bl {
namespace {

using sorvane::testing::read_lines;
using sorvane::testing::scratch_dir;

std::string sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
std::string rule(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

// A station 3 of np points with the debug and profile listings open in a
// scratch directory. Every printed array holds distinct values so that a
// swapped column shows.
struct DumpRun {
  SurfaceRun r;
  std::string deb, bln;
  int old_deb, old_bln;

  DumpRun(const std::string& name, int neq, int np) {
    INPUTI_ALLOCATE(r, 4);
    r.neq = neq;
    DIAG_3_ALLOCATE(r);
    const std::string dir = scratch_dir(name);
    deb = dir + "/case.deb";
    bln = dir + "/case.bln";
    std::string err;
    EXPECT_TRUE(text::units().open(10, deb, &err)) << err;
    EXPECT_TRUE(text::units().open(12, bln, &err)) << err;
    old_deb = state().LUDEB;
    old_bln = state().LUBLN;
    state().LUDEB = 10;
    state().LUBLN = 12;

    r.np = np;
    r.x(3) = 0.0125;
    r.ue(3) = 1.5;
    r.eme(3) = 0.0;
    r.roe8(3) = 1.25;
    r.emue8(3) = 0.75;
    r.k_iter = 2;
    r.dumax = 1.25e-7;
    r.jumax = 2;
    const double eta[] = {0.0, 0.5, 1.5}, deta[] = {0.5, 1.0, 2.0}, aa[] = {0.0, 0.25, 0.5};
    const double f[] = {0.0, 0.125, 0.875}, u[] = {0.0, 0.5, 1.0}, v[] = {2.0, 1.5, -0.25};
    const double b[] = {0.0, 3.0, 7.0}, ro[] = {1.0, 1.125, 1.25}, tte[] = {1.5, 1.25, 1.0};
    const double h[] = {0.75, 0.875, 1.0}, g[] = {-0.5, -0.375, 0.0};
    for (int j = 1; j <= 3; ++j) {
      r.eta(j) = eta[j - 1];
      r.deta(j) = deta[j - 1];
      r.aa(j) = aa[j - 1];
      r.tte(j) = tte[j - 1];
      r.f(3, j) = f[j - 1];
      r.u(3, j) = u[j - 1];
      r.v(3, j) = v[j - 1];
      r.b(3, j) = b[j - 1];
      r.ccro(3, j) = ro[j - 1];
      r.h(3, j) = h[j - 1];
      r.g(3, j) = g[j - 1];
      // Level 2 must not be printed.
      r.f(2, j) = r.u(2, j) = r.v(2, j) = r.b(2, j) = r.ccro(2, j) = 9.0;
    }
    for (int j = 1; j <= np; ++j) {
      r.det(j) = 1000.0 * j;
      for (int row = 1; row <= neq; ++row) {
        r.q(row, j) = j + 0.1 * row;
        r.qp(row, j) = -(j + 0.1 * row);
        r.rq(row, j) = (10 * j + row) / 100.0;
        r.rvec(row, j) = -(j + 0.1 * row) * 1e-3;
        for (int c = 1; c <= neq; ++c) {
          r.dqdx(row, c, j) = 100 * j + 10 * row + c;
          r.dqpdx(row, c, j) = -(100 * j + 10 * row + c);
          r.amat(row, c, j) = j + 0.1 * row + 0.01 * c;
          r.bmat(row, c, j) = 10.0 * (j + 0.1 * row + 0.01 * c);
          r.cmat(row, c, j) = -(j + 0.1 * row + 0.01 * c);
        }
      }
    }
  }
  ~DumpRun() {
    text::units().close(10);
    text::units().close(12);
    state().LUDEB = old_deb;
    state().LUBLN = old_bln;
    DIAG_3_DEALLOCATE(r);
    INPUTI_DEALLOCATE(r);
  }
  void close() {
    text::units().close(10);
    text::units().close(12);
  }
};

const std::string kProfileHead3 = "    I" + sp(9) + "ETA" + sp(11) + "DETA" + sp(12) + "A" +
                                  sp(14) + "F" + sp(14) + "U" + sp(14) + "V" + sp(14) + "B" +
                                  sp(12) + "CCRO";
const std::string kProfileHead5 = "    I" + sp(9) + "ETA" + sp(11) + "DETA" + sp(12) + "A" +
                                  sp(14) + "F" + sp(14) + "U" + sp(14) + "V" + sp(14) + "H" +
                                  sp(14) + "G" + sp(14) + "B" + sp(12) + "CCRO" + sp(12) + "TTE";
const std::string kEqHead3 =
    "  j  k" + sp(6) + "Q" + sp(10) + "Qp" + sp(10) + "RQ" + sp(10) + "dQdx" + sp(68) + "dQpdx";
const std::string kEqHead5 =
    "  j  k" + sp(6) + "Q" + sp(10) + "Qp" + sp(10) + "RQ" + sp(10) + "dQdx" + sp(44) + "dQpdx";
std::string block_head(int n) {
  std::string s = "  j  k" + sp(6) + "A";
  for (int k = 1; k < n; ++k) s += sp(11) + "A";
  for (int k = 0; k < n; ++k) s += sp(11) + "B";
  for (int k = 0; k < n; ++k) s += sp(11) + "C";
  return s + sp(11) + "R";
}
const std::string kStateHead3 = kProfileHead3 + sp(10) + "T/TE-1";
const std::string kStateHead5 = "    I" + sp(9) + "ETA" + sp(11) + "DETA" + sp(12) + "A" + sp(14) +
                                "F" + sp(14) + "U" + sp(14) + "V" + sp(14) + "H" + sp(14) + "G" +
                                sp(14) + "B" + sp(12) + "CCRO" + sp(10) + "T/TE-1";

TEST(Dumps, ProfileTableOfThreeEquations) {
  DumpRun t("dumps_profile3", 3, 3);
  BL_PRINT_PROFILE(t.r, 3, 3);
  t.close();
  const std::vector<std::string> expected = {
      "",
      rule('=', 100),
      " IT=    2 NX=    3   X=    0.12500E-01  UE=    0.15000E+01  ME=    0.00000E+00",
      kProfileHead3,
      rule('-', 125),
      "    1"
      "     0.0000E+00     0.5000E+00     0.0000E+00     0.0000E+00"
      "     0.0000E+00     0.2000E+01     0.0000E+00     0.1000E+01",
      "    2"
      "     0.5000E+00     0.1000E+01     0.2500E+00     0.1250E+00"
      "     0.5000E+00     0.1500E+01     0.3000E+01     0.1125E+01",
      "    3"
      "     0.1500E+01     0.2000E+01     0.5000E+00     0.8750E+00"
      "     0.1000E+01    -0.2500E+00     0.7000E+01     0.1250E+01",
      rule('-', 125),
      "",
  };
  EXPECT_EQ(read_lines(t.bln), expected);
  EXPECT_TRUE(read_lines(t.deb).empty());
}

TEST(Dumps, BlockSystemOfThreeEquations) {
  DumpRun t("dumps_block3", 3, 3);
  BL_PRINT_BLOCK_SYSTEM(t.r, 3, 5, 3);
  t.close();
  const std::vector<std::string> lines = read_lines(t.deb);
  std::vector<std::string> expected = {
      "",
      rule('=', 125),
      "",
      " IT=    5 NX=    3   X=    0.12500E-01  UE=    0.15000E+01",
      "",
      kEqHead3,
      // j = 1: q, qp, rq, dqdx(r, 1..3), dqpdx(r, 1..3): nine values.
      "  1  1   0.110E+01  -0.110E+01   0.110E+00   0.111E+03   0.112E+03   0.113E+03"
      "  -0.111E+03  -0.112E+03  -0.113E+03",
      "     2   0.120E+01  -0.120E+01   0.120E+00   0.121E+03   0.122E+03   0.123E+03"
      "  -0.121E+03  -0.122E+03  -0.123E+03",
      "     3   0.130E+01  -0.130E+01   0.130E+00   0.131E+03   0.132E+03   0.133E+03"
      "  -0.131E+03  -0.132E+03  -0.133E+03",
      "  2  1   0.210E+01  -0.210E+01   0.210E+00   0.211E+03   0.212E+03   0.213E+03"
      "  -0.211E+03  -0.212E+03  -0.213E+03",
      "     2   0.220E+01  -0.220E+01   0.220E+00   0.221E+03   0.222E+03   0.223E+03"
      "  -0.221E+03  -0.222E+03  -0.223E+03",
      "     3   0.230E+01  -0.230E+01   0.230E+00   0.231E+03   0.232E+03   0.233E+03"
      "  -0.231E+03  -0.232E+03  -0.233E+03",
      "  3  1   0.310E+01  -0.310E+01   0.310E+00   0.311E+03   0.312E+03   0.313E+03"
      "  -0.311E+03  -0.312E+03  -0.313E+03",
      "     2   0.320E+01  -0.320E+01   0.320E+00   0.321E+03   0.322E+03   0.323E+03"
      "  -0.321E+03  -0.322E+03  -0.323E+03",
      "     3   0.330E+01  -0.330E+01   0.330E+00   0.331E+03   0.332E+03   0.333E+03"
      "  -0.331E+03  -0.332E+03  -0.333E+03",
      "",
      block_head(3),
      // First row: A, B, C rows, right-hand side and determinant (11 values);
      // the other rows without the determinant (10).
      "  1  1   0.111E+01   0.112E+01   0.113E+01   0.111E+02   0.112E+02   0.113E+02"
      "  -0.111E+01  -0.112E+01  -0.113E+01  -0.110E-02   0.100E+04",
      "     2   0.121E+01   0.122E+01   0.123E+01   0.121E+02   0.122E+02   0.123E+02"
      "  -0.121E+01  -0.122E+01  -0.123E+01  -0.120E-02",
      "     3   0.131E+01   0.132E+01   0.133E+01   0.131E+02   0.132E+02   0.133E+02"
      "  -0.131E+01  -0.132E+01  -0.133E+01  -0.130E-02",
      "  2  1   0.211E+01   0.212E+01   0.213E+01   0.211E+02   0.212E+02   0.213E+02"
      "  -0.211E+01  -0.212E+01  -0.213E+01  -0.210E-02   0.200E+04",
      "     2   0.221E+01   0.222E+01   0.223E+01   0.221E+02   0.222E+02   0.223E+02"
      "  -0.221E+01  -0.222E+01  -0.223E+01  -0.220E-02",
      "     3   0.231E+01   0.232E+01   0.233E+01   0.231E+02   0.232E+02   0.233E+02"
      "  -0.231E+01  -0.232E+01  -0.233E+01  -0.230E-02",
      "  3  1   0.311E+01   0.312E+01   0.313E+01   0.311E+02   0.312E+02   0.313E+02"
      "  -0.311E+01  -0.312E+01  -0.313E+01  -0.310E-02   0.300E+04",
      "     2   0.321E+01   0.322E+01   0.323E+01   0.321E+02   0.322E+02   0.323E+02"
      "  -0.321E+01  -0.322E+01  -0.323E+01  -0.320E-02",
      "     3   0.331E+01   0.332E+01   0.333E+01   0.331E+02   0.332E+02   0.333E+02"
      "  -0.331E+01  -0.332E+01  -0.333E+01  -0.330E-02",
      "",
      rule('=', 125),
      "",
      " IT=    5 NX=    3   X=    0.12500E-01  UE=    0.15000E+01 Roe/Ro8=    0.12500E+01"
      " Mue/Mu8=    0.75000E+00",
      "           dumax=    0.12500E-06    2 dhmax=    0.00000E+00    0",
      "",
      rule('=', 125),
      kStateHead3,
      rule('-', 125),
      "    1"
      "     0.0000E+00     0.5000E+00     0.0000E+00     0.0000E+00"
      "     0.0000E+00     0.2000E+01     0.0000E+00     0.1000E+01     0.5000E+00",
      "    2"
      "     0.5000E+00     0.1000E+01     0.2500E+00     0.1250E+00"
      "     0.5000E+00     0.1500E+01     0.3000E+01     0.1125E+01     0.2500E+00",
      "    3"
      "     0.1500E+01     0.2000E+01     0.5000E+00     0.8750E+00"
      "     0.1000E+01    -0.2500E+00     0.7000E+01     0.1250E+01     0.0000E+00",
      rule('-', 125),
      "",
  };
  ASSERT_EQ(lines.size(), expected.size());
  for (std::size_t n = 0; n < lines.size(); ++n) EXPECT_EQ(lines[n], expected[n]) << "line " << n;
  EXPECT_TRUE(read_lines(t.bln).empty());
}

// Five variables per point (the energy form): the wide profile tables with h,
// g and the temperature ratio, 13 values per equation row, 17 and 16 per
// block row, and the header variants.
TEST(Dumps, FiveEquationForm) {
  DumpRun t("dumps_five", 5, 2);
  BL_PRINT_PROFILE(t.r, 3, 3);
  BL_PRINT_BLOCK_SYSTEM(t.r, 3, 1, 3);
  t.close();

  const std::vector<std::string> profile = {
      "",
      rule('=', 100),
      " IT=    2 NX=    3   X=    0.12500E-01  UE=    0.15000E+01  ME=    0.00000E+00",
      rule('=', 170),
      kProfileHead5,
      rule('-', 170),
      "    1"
      "     0.0000E+00     0.5000E+00     0.0000E+00     0.0000E+00     0.0000E+00"
      "     0.2000E+01     0.7500E+00    -0.5000E+00     0.0000E+00     0.1000E+01"
      "     0.1500E+01",
      "    2"
      "     0.5000E+00     0.1000E+01     0.2500E+00     0.1250E+00     0.5000E+00"
      "     0.1500E+01     0.8750E+00    -0.3750E+00     0.3000E+01     0.1125E+01"
      "     0.1250E+01",
      rule('-', 170),
  };
  EXPECT_EQ(read_lines(t.bln), profile);

  const std::vector<std::string> d = read_lines(t.deb);
  // 6 opening lines, 2 x 5 equation rows, blank + header, 2 x 5 block rows,
  // 2 + 2 + 1 station lines, blank + rule, header, dash, 2 rows, dash, blank.
  ASSERT_EQ(d.size(), 6u + 10u + 2u + 10u + 5u + 2u + 2u + 2u + 2u);
  EXPECT_EQ(d[3], " IT=    1 NX=    3   X=    0.12500E-01  UE=    0.15000E+01");
  EXPECT_EQ(d[5], kEqHead5);
  EXPECT_EQ(d[6],
            "  1  1   0.110E+01  -0.110E+01   0.110E+00"
            "   0.111E+03   0.112E+03   0.113E+03   0.114E+03   0.115E+03"
            "  -0.111E+03  -0.112E+03  -0.113E+03  -0.114E+03  -0.115E+03");
  for (int n = 7; n <= 10; ++n) EXPECT_EQ(d[n].size(), 6u + 13u * 12u) << n;
  EXPECT_EQ(d[10].substr(0, 18), "     5   0.150E+01");
  EXPECT_EQ(d[11].substr(0, 6), "  2  1");
  EXPECT_EQ(d[16], "");
  EXPECT_EQ(d[17], block_head(5));
  EXPECT_EQ(d[18],
            "  1  1   0.111E+01   0.112E+01   0.113E+01   0.114E+01   0.115E+01"
            "   0.111E+02   0.112E+02   0.113E+02   0.114E+02   0.115E+02"
            "  -0.111E+01  -0.112E+01  -0.113E+01  -0.114E+01  -0.115E+01"
            "  -0.110E-02   0.100E+04");
  for (int n = 19; n <= 22; ++n) EXPECT_EQ(d[n].size(), 6u + 16u * 12u) << n;
  EXPECT_EQ(d[22].substr(d[22].size() - 12), "  -0.150E-02");
  EXPECT_EQ(d[23].size(), 6u + 17u * 12u);
  EXPECT_EQ(d[33], "");
  EXPECT_EQ(d[34], rule('=', 170));
  EXPECT_EQ(d[35], kStateHead5);
  EXPECT_EQ(d[36], rule('-', 170));
  EXPECT_EQ(d[37],
            "    1"
            "     0.0000E+00     0.5000E+00     0.0000E+00     0.0000E+00     0.0000E+00"
            "     0.2000E+01     0.7500E+00    -0.5000E+00     0.0000E+00     0.1000E+01"
            "     0.5000E+00");
  EXPECT_EQ(d[39], rule('-', 170));
  EXPECT_EQ(d[40], "");
}

// Four variables: the profile table keeps the narrow form (up to four), the
// profile of the block dump takes the wide one (any count but three).
TEST(Dumps, FourEquationsSplitBetweenTheTwoForms) {
  DumpRun t("dumps_four", 4, 2);
  BL_PRINT_PROFILE(t.r, 3, 3);
  BL_PRINT_BLOCK_SYSTEM(t.r, 3, 1, 3);
  t.close();
  const std::vector<std::string> p = read_lines(t.bln);
  ASSERT_EQ(p.size(), 9u);
  EXPECT_EQ(p[3], kProfileHead3);
  EXPECT_EQ(p[5].size(), 5u + 8u * 15u);

  const std::vector<std::string> d = read_lines(t.deb);
  ASSERT_EQ(d.size(), 6u + 8u + 2u + 8u + 13u);
  EXPECT_EQ(d[5], kEqHead3);
  EXPECT_EQ(d[6].size(), 6u + 11u * 12u);
  EXPECT_EQ(d[15], block_head(3));
  EXPECT_EQ(d[16].size(), 6u + 14u * 12u);
  EXPECT_EQ(d[17].size(), 6u + 13u * 12u);
  EXPECT_EQ(d[d.size() - 6], kStateHead5);
  EXPECT_EQ(d[d.size() - 4].size(), 5u + 11u * 15u);
  EXPECT_EQ(d[d.size() - 2], rule('-', 170));
}

}  // namespace
}  // namespace sorvane::bl

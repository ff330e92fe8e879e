// The geometry reader: listing names and units, the three point-table
// layouts, scaling, the boundary-layer records, and the refusals of bad
// input with the state left as it was.
#include "solver/panel/geometry_input.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using namespace sorvane::testing;

// One record of ten-character fields.
std::string rec(std::initializer_list<double> values) {
  std::string s;
  char buf[32];
  for (double v : values) {
    std::snprintf(buf, sizeof buf, "%10.5f", v);
    s += buf;
  }
  return s;
}

// A small valid file, assembled line by line so that a case can change one
// line (1-based numbers as in the messages). Without boundary-layer records:
//  1 title  2 record 1  3 -  4 record 2  5 -  6 record (a)  7 -  8 record (b)
//  9 -  10.. point table.
struct Geo {
  std::vector<std::string> lines;
  std::string text() const {
    std::string s;
    for (const std::string& l : lines) s += l + "\n";
    return s;
  }
  std::string& line(int n) { return lines[static_cast<std::size_t>(n - 1)]; }
};

Geo one_element(int ibl = 0) {
  Geo g;
  g.lines = {"test file", rec({0, 1, 0.005, 0, 0, 0, double(ibl)}), "flow",
             rec({4, 0, 0, 1, 0.25, 0})};
  if (ibl == 1 || ibl == -1) g.lines.insert(g.lines.end(), {"bl", rec({3, 8, 61, 1.1, 0})});
  g.lines.insert(g.lines.end(),
                 {"element a", rec({1, 2, 3, 0, 0, 0, 2, 1}), "element b",
                  ibl == 1 || ibl == -1 ? rec({0, 0, 0, 0, 0, 0.25, 0, 0.05, 0.3})
                           : rec({0, 0, 0, 0, 0, 0.25, 0}),
                  "table", rec({1, 0.01, 0}), rec({0, 0, 0}), rec({1, -0.01, 0})});
  return g;
}

// Each test runs in its own scratch directory (the listings of a path
// without a folder, and "InputBl.out", go to the working directory).
class GeometryInput : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("geo_") + info->test_suite_name() + "_" + info->name();
    for (char& c : name)
      if (c == '/') c = '_';
    dir_ = scratch_dir(name);
    old_ = fs::current_path();
    fs::current_path(dir_);
  }
  void TearDown() override {
    text::units().close_all();
    fs::current_path(old_);
  }

  Result load(const std::string& path, GeoFileRecord* out = nullptr) {
    GeoFileRecord r;
    std::string err;
    EXPECT_TRUE(make_geo_record(path, r, &err)) << err;
    Result res = READ_GEOMETRY(r);
    if (out) *out = r;
    return res;
  }
  Result load_text(const std::string& path, const std::string& text,
                       GeoFileRecord* out = nullptr) {
    write_file(path, text);
    return load(path, out);
  }

  std::string dir_;
  fs::path old_;
};

std::string trimmed(const FixedText<80>& t) { return std::string(t.c, t.trimmed_length()); }

TEST_F(GeometryInput, ListingNamesFromThePath) {
  fs::create_directories("runs/a.b");
  GeoFileRecord r;
  ASSERT_TRUE(load_text("runs/a.b/wing.dat", one_element().text(), &r).ok);
  EXPECT_EQ(r.outLength, 17);
  EXPECT_STREQ(r.outName, "runs/a.b/wing.out");
  const ProblemState& s = state();
  EXPECT_EQ(trimmed(s.INPUT_NAME), "runs/a.b/wing.dat");
  EXPECT_EQ(trimmed(s.OUT_NAME), "runs/a.b/wing.out");
  EXPECT_EQ(trimmed(s.CPF_NAME), "runs/a.b/wing.cpf");
  EXPECT_EQ(trimmed(s.DEB_NAME), "runs/a.b/wing.deb");
  EXPECT_EQ(trimmed(s.BLF_NAME), "runs/a.b/wing.blf");
  EXPECT_EQ(trimmed(s.SUM_NAME), "runs/a.b/wing.sum");
  EXPECT_EQ(trimmed(s.GEO_NAME), "runs/a.b/wing.geo");
  EXPECT_EQ(trimmed(s.BLN_NAME), "runs/a.b/wing.bln");
  EXPECT_EQ(s.OUT_NAME.c[79], ' ');  // padded with blanks
  for (const char* ext : {"out", "cpf", "deb", "blf", "sum", "bln"})
    EXPECT_TRUE(fs::exists(std::string("runs/a.b/wing.") + ext)) << ext;
  EXPECT_FALSE(fs::exists("runs/a.b/wing.geo"));  // opened later, by a smoothing pass
  EXPECT_TRUE(fs::exists("InputBl.out"));
  // Units of every listing.
  EXPECT_EQ(s.LUINP, 80);
  EXPECT_EQ(s.LUCPF, 81);
  EXPECT_EQ(s.LUOUT, 82);
  EXPECT_EQ(s.LUGEO, 83);
  EXPECT_EQ(s.LUSUM, 84);
  EXPECT_EQ(s.LUSTD, 6);
  EXPECT_EQ(s.LUDEB, 10);
  EXPECT_EQ(s.LUBLF, 11);
  EXPECT_EQ(s.LUBLN, 12);
  EXPECT_EQ(s.LUBLIN, 14);
  EXPECT_EQ(text::units().path(82), "runs/a.b/wing.out");
  EXPECT_EQ(text::units().path(14), "InputBl.out");

  // The "deb" listing holds the name records; the others are only opened.
  text::units().flush_all();
  const std::string pad(80, ' ');
  auto rec80 = [&](const std::string& n) { return n + pad.substr(n.size()) + "\n"; };
  EXPECT_EQ(read_file("runs/a.b/wing.deb"),
            "        17        14\n" + rec80("runs/a.b/wing.dat") + rec80("runs/a.b/wing.out") +
                rec80("runs/a.b/wing.cpf") + rec80("runs/a.b/wing.deb") +
                rec80("runs/a.b/wing.blf") + rec80("runs/a.b/wing.sum"));
  EXPECT_EQ(read_file("runs/a.b/wing.out"), "");
}

TEST_F(GeometryInput, PathWithoutDotGivesBareSuffixes) {
  GeoFileRecord r;
  ASSERT_TRUE(load_text("wing", one_element().text(), &r).ok);
  EXPECT_EQ(r.outLength, 3);
  EXPECT_STREQ(r.outName, "out");
  EXPECT_EQ(trimmed(state().OUT_NAME), "out");
  EXPECT_EQ(trimmed(state().GEO_NAME), "geo");
  for (const char* n : {"out", "cpf", "deb", "blf", "sum", "bln"}) EXPECT_TRUE(fs::exists(n)) << n;
}

TEST_F(GeometryInput, ConstantsAndRecords) {
  ProblemState& s = state();
  s.NCOMPUTE = 7;
  s.NRHS = 0;
  Geo g = one_element();
  g.line(2) = rec({2, 1, 0.0125, 3, 1, 1, 0});
  g.line(4) = rec({4, 0.3, 30, 1.5, 0.3, 0.1});
  g.line(6) = rec({0.8, 2, 3, 0, 0, 1, 2, 1});
  g.line(8) = rec({0.1, 0.2, 1.5, -0.25, 12.3, 0.25, 0.05});
  ASSERT_TRUE(load_text("c.dat", g.text()).ok);
  EXPECT_EQ(s.NCOMPUTE, 0);
  EXPECT_EQ(s.NRHS, 1);
  EXPECT_EQ(s.PI, 3.141592653589793);
  EXPECT_EQ(s.RAD, 3.141592653589793 / 180.0);
  EXPECT_EQ(s.IPRINT, 2);
  EXPECT_EQ(s.NELEM, 1);
  EXPECT_EQ(s.DADD, 0.0125);
  EXPECT_EQ(s.ICOMPR, 3);
  EXPECT_EQ(s.ITE, 1);
  EXPECT_EQ(s.IPOS, 1);
  EXPECT_EQ(s.IBL, 0);
  EXPECT_EQ(s.ALPHA, 4.0);
  EXPECT_EQ(s.MACH, 0.3);
  EXPECT_EQ(s.SWEPT, 30.0);
  EXPECT_EQ(s.BREF, 1.5);
  EXPECT_EQ(s.XREF, 0.3);
  EXPECT_EQ(s.YREF, 0.1);
  const double rad = s.RAD;
  EXPECT_DOUBLE_EQ(s.ALPHA_EFF, std::asin(std::sin(4 * rad) / std::cos(30 * rad)) / rad);
  EXPECT_EQ(s.BELEM(1), 0.8);
  EXPECT_EQ(s.CHORD(1), 0.8);
  EXPECT_EQ(s.ISMOOTH(1), 1);
  EXPECT_EQ(s.NPANELS(1), 2);  // 0 gives NROWS - 1
  EXPECT_EQ(s.XAX(1), 0.1);
  EXPECT_EQ(s.YAX(1), 0.2);
  EXPECT_EQ(s.XX(1), 1.5);
  EXPECT_EQ(s.YY(1), -0.25);
  EXPECT_EQ(s.DFL(1), 12.300000190734863);  // single precision
  EXPECT_EQ(s.DXM(1), 0.25);
  EXPECT_EQ(s.DYM(1), 0.05);
}

// Field text of record 1's IPRINT (single, truncated toward zero), of the
// panel count and of the deflection: what the state gets.
TEST_F(GeometryInput, FieldRule) {
  struct Case {
    const char* iprint;
    int want;
  } cases[] = {{"         3", 0},  // no point: 3e-5, truncated to 0
               {"        3.", 3}, {"       3.9", 3}, {"      -3.9", -3},
               {"    300000", 3},  // five implied decimals
               {"          ", 0}, {" 3 .  5   ", 3}, {"      4e-1", 0}, {"     0.2e2", 20}};
  for (const Case& c : cases) {
    Geo g = one_element();
    g.line(2) = std::string(c.iprint) + g.line(2).substr(10);
    ASSERT_TRUE(load_text("f.dat", g.text()).ok) << c.iprint;
    EXPECT_EQ(state().IPRINT, c.want) << "\"" << c.iprint << "\"";
  }
  // Panel count: an empty field is 0 and gives NROWS - 1; others truncate.
  struct Panels {
    const char* field;
    int want;
  } panels[] = {{"          ", 2}, {"       4.9", 4}, {"        6.", 6}};
  for (const Panels& p : panels) {
    Geo g = one_element();
    g.line(6) = g.line(6).substr(0, 30) + p.field + g.line(6).substr(40);
    ASSERT_TRUE(load_text("f.dat", g.text()).ok) << p.field;
    EXPECT_EQ(state().NPANELS(1), p.want) << p.field;
  }
  // A short line reads as padded with blanks.
  Geo g = one_element();
  g.line(8) = "       0.1";
  ASSERT_TRUE(load_text("f.dat", g.text()).ok);
  EXPECT_EQ(state().XAX(1), 0.1);
  EXPECT_EQ(state().DXM(1), 0.0);
}

TEST_F(GeometryInput, MirroredTable) {
  Geo g = one_element();
  g.line(6) = rec({1, 1, 3, 4, 0, 0, 0, 1});
  g.lines.resize(9);
  // Rows x, y upper, y lower, d lower, d upper.
  g.lines.insert(g.lines.end(), {rec({0, 0.0, -0.0, 7, 8}), rec({0.5, 0.1, -0.2, 3, 4}),
                                 rec({1, 0.01, -0.02, 5, 6})});
  ASSERT_TRUE(load_text("m.dat", g.text()).ok);
  const ProblemState& s = state();
  EXPECT_EQ(s.NCONT(1), 5);
  EXPECT_EQ(s.NROWS(1), 3);
  const double x[] = {1, 0.5, 0, 0.5, 1};
  const double y[] = {0.01, 0.1, 0.0, -0.2, -0.02};
  const double d[] = {6, 4, 8, 3, 5};  // row 1 of the table keeps (a, b, e)
  for (int i = 1; i <= 5; ++i) {
    EXPECT_EQ(s.X0(i, 1), x[i - 1]) << i;
    EXPECT_EQ(s.Y0(i, 1), y[i - 1]) << i;
    EXPECT_EQ(s.D0(i, 1), d[i - 1]) << i;
  }
  EXPECT_EQ(s.ILE(1), 0);
}

// The file lists the contour backwards; a leading-edge row counts in the
// file's order. (Rows 1 and 5 are the trailing edge: the reader refuses
// them, see the bad files.)
TEST_F(GeometryInput, ReversedTable) {
  for (int ile : {2, 0, 3, 4}) {
    Geo g = one_element();
    g.line(6) = rec({1, 3, 5, 0, 0, 0, double(ile), 1});
    g.lines.resize(9);
    g.lines.insert(g.lines.end(), {rec({1, -0.01, 1}), rec({0.2, -0.03, 2}), rec({0, 0, 3}),
                                   rec({0.2, 0.05, 4}), rec({1, 0.01, 5})});
    const Result res = load_text("r.dat", g.text());
    ASSERT_TRUE(res.ok) << res.message;
    const ProblemState& s = state();
    EXPECT_EQ(s.ILE(1), ile == 0 ? 0 : 6 - ile) << ile;
    EXPECT_EQ(s.NCONT(1), 5);
    EXPECT_EQ(s.NPANELS(1), 4);
    const double x[] = {1, 0.2, 0, 0.2, 1}, y[] = {0.01, 0.05, 0, -0.03, -0.01},
                 d[] = {5, 4, 3, 2, 1};
    for (int i = 1; i <= 5; ++i) {
      EXPECT_EQ(s.X0(i, 1), x[i - 1]);
      EXPECT_EQ(s.Y0(i, 1), y[i - 1]);
      EXPECT_EQ(s.D0(i, 1), d[i - 1]);
    }
  }
}

TEST_F(GeometryInput, BoundaryLayerRecords) {
  // The values of the records below, and IBL.
  auto expect_layer_values = [](int ibl) {
    const ProblemState& s = state();
    EXPECT_EQ(s.IBL, ibl);
    EXPECT_EQ(s.REMILL, 3.5);
    EXPECT_EQ(s.ETAE, 7.5);
    EXPECT_EQ(s.NP, 900);
    EXPECT_EQ(s.VGP, 1.2);
    EXPECT_EQ(s.CFSEP, 0.001);
    EXPECT_EQ(s.XTR(1, 1), 0.07);
    EXPECT_EQ(s.XTR(1, 2), 0.4);
  };
  for (int ibl : {1, -1}) {
    ProblemState& s = state();
    s.REMILL = s.ETAE = s.VGP = s.CFSEP = -9;
    s.NP = -9;
    Geo g = one_element(ibl);
    g.line(6) = rec({3.5, 7.5, 900, 1.2, 0.001});  // NP above 821 stays loadable
    g.line(10) = rec({0, 0, 0, 0, 0, 0.25, 0, 0.07, 0.4});
    ASSERT_TRUE(load_text("bl.dat", g.text()).ok) << ibl;
    expect_layer_values(ibl);
    EXPECT_EQ(s.NCONT(1), 3);
  }
  // A file without boundary-layer records keeps the earlier values.
  ASSERT_TRUE(load_text("plain.dat", one_element(2).text()).ok);  // IBL 2: no records
  expect_layer_values(2);
}

TEST_F(GeometryInput, ScalingAppliesToContourMomentPointAndTransition) {
  Geo g = one_element(1);
  g.line(8) = rec({1.5, 2, 3, 0, 0, 0, 2, 2.0});
  g.line(10) = rec({0.1, 0.2, 0.3, 0.4, 5, 0.25, 0.05, 0.07, 0.4});
  g.line(12) = rec({1, 0.01, 0.5});
  g.line(4) = rec({4, 0, 0, 1, 0.25, 0.125});
  ASSERT_TRUE(load_text("s.dat", g.text()).ok);
  const ProblemState& s = state();
  EXPECT_EQ(s.X0(1, 1), 2.0);
  EXPECT_EQ(s.Y0(1, 1), 0.02);
  EXPECT_EQ(s.Y0(3, 1), -0.02);
  EXPECT_EQ(s.D0(1, 1), 0.5);  // not scaled
  EXPECT_EQ(s.DXM(1), 0.5);
  EXPECT_EQ(s.DYM(1), 0.1);
  EXPECT_EQ(s.XTR(1, 1), 0.14);
  EXPECT_EQ(s.XTR(1, 2), 0.8);
  EXPECT_EQ(s.XAX(1), 0.1);
  EXPECT_EQ(s.YAX(1), 0.2);
  EXPECT_EQ(s.XX(1), 0.3);
  EXPECT_EQ(s.YY(1), 0.4);
  EXPECT_EQ(s.BELEM(1), 1.5);
  EXPECT_EQ(s.XREF, 0.25);
  EXPECT_EQ(s.YREF, 0.125);
  EXPECT_EQ(s.SCALE(1), 2.0);
}

TEST_F(GeometryInput, WindowsLineEndsAndTrailingLines) {
  Geo g = one_element();
  std::string crlf;
  for (const std::string& l : g.lines) crlf += l + "\r\n";
  crlf += "anything after the last record\r\n1x 2y\r\n";
  ASSERT_TRUE(load_text("w.dat", crlf).ok);
  EXPECT_EQ(state().X0(3, 1), 1.0);
  EXPECT_EQ(state().Y0(3, 1), -0.01);
}

TEST_F(GeometryInput, ElementsKeepTheirOwnValues) {
  Geo g = one_element();
  g.line(2) = rec({0, 2, 0.005, 0, 0, 0, 0});
  const std::vector<std::string> el(g.lines.begin() + 4, g.lines.end());
  g.lines.insert(g.lines.end(), el.begin(), el.end());
  g.line(6) = rec({1, 2, 3, 0, 0, 1, 2, 1});     // element 1 smoothed
  g.line(14) = rec({0.3, 2, 3, 10, 0, 0, 0, 3});  // element 2 not
  ASSERT_TRUE(load_text("two.dat", g.text()).ok);
  const ProblemState& s = state();
  EXPECT_EQ(s.NELEM, 2);
  EXPECT_EQ(s.ISMOOTH(1), 1);
  EXPECT_EQ(s.ISMOOTH(2), 0);
  EXPECT_EQ(s.NPANELS(2), 10);
  EXPECT_EQ(s.X0(1, 2), 3.0);
  EXPECT_EQ(s.BELEM(2), 0.3);
  EXPECT_EQ(s.ILE(2), 0);
}

// The largest inputs the tables hold still load.
TEST_F(GeometryInput, LoadsUpToTheCapacities) {
  Geo g = one_element();
  g.line(2) = rec({0, 5, 0.005, 0, 0, 0, 0});
  const std::vector<std::string> el(g.lines.begin() + 4, g.lines.end());
  for (int k = 2; k <= 5; ++k) g.lines.insert(g.lines.end(), el.begin(), el.end());
  // Elements 3 to 5 keep 2 panels: 600 + 590 + 3 * 3 = 1199 equations.
  g.line(6) = rec({1, 2, 3, 599, 0, 0, 2, 1});
  g.line(14) = rec({1, 2, 3, 589, 0, 0, 2, 1});
  ASSERT_TRUE(load_text("cap.dat", g.text()).ok);
  EXPECT_EQ(state().NELEM, 5);
  EXPECT_EQ(state().NPANELS(1), 599);

  // A mirrored table of 301 rows gives the 601 points a spline holds.
  Geo m = one_element();
  m.line(6) = rec({1, 1, 301, 0, 0, 0, 0, 1});
  m.lines.resize(9);
  for (int j = 0; j < 301; ++j) m.lines.push_back(rec({j / 300.0, 0.01, -0.01, 0, 0}));
  const Result res = load_text("m301.dat", m.text());
  ASSERT_TRUE(res.ok) << res.message;
  EXPECT_EQ(state().NCONT(1), 601);
  EXPECT_EQ(state().NPANELS(1), 300);
}

// Angle of attack 60 at sweep 60 has no effective angle. The file is sound
// and both angles can be edited in the window, so it loads; the solution
// says what is wrong, and a corrected angle solves.
TEST_F(GeometryInput, AnglePairWithoutEffectiveAngleLoadsAndTheSolutionFails) {
  std::FILE* listing = std::tmpfile();  // the solver's standard-output records
  text::units().redirect_stdout(listing);
  // The NACA 0012 example with record 2 (line 4) at alpha 60, sweep 60.
  Geo g;
  g.lines = read_lines(testing::source_path("examples/naca0012.dat"));
  g.line(4) = rec({60, 0, 60, 1, 0.25, 0});
  const Result res = load_text("angle.dat", g.text());
  ASSERT_TRUE(res.ok) << res.message;
  ProblemState& s = state();
  EXPECT_EQ(s.ALPHA, 60.0);
  EXPECT_EQ(s.SWEPT, 60.0);
  EXPECT_TRUE(std::isnan(s.ALPHA_EFF));
  FOILPMG();
  EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
  const std::string msg(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length());
  EXPECT_NE(msg.find("effective angle"), std::string::npos) << msg;
  s.ALPHA = 4;  // as the window's angle field does
  FOILPMG();
  EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk)
      << std::string(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length());
  EXPECT_TRUE(std::isfinite(s.ALPHA_EFF));
  text::units().redirect_stdout(nullptr);
  std::fclose(listing);
}

TEST_F(GeometryInput, NewLoadClosesTheGeoListing) {
  ASSERT_TRUE(load_text("a.dat", one_element().text()).ok);
  std::string err;
  ASSERT_TRUE(text::units().open(83, "a.geo", &err)) << err;
  ASSERT_TRUE(load_text("b.dat", one_element().text()).ok);
  EXPECT_FALSE(text::units().is_open(83));
}

// Bad files: each refused with its message, the state and the listings of
// the previous good load untouched.
struct BadCase {
  const char* name;
  std::string text;
  std::string message;  // expected fragment
};

std::vector<BadCase> bad_cases() {
  std::vector<BadCase> cases;
  auto with = [](int line, const std::string& text) {
    Geo g = one_element();
    g.line(line) = text;
    return g.text();
  };
  auto cut = [](int keep) {
    Geo g = one_element();
    g.lines.resize(static_cast<std::size_t>(keep));
    return g.text();
  };
  auto table = [](double itab, int rows, double ismooth = 0, double npanels = 10) {
    Geo g = one_element();
    g.line(6) = rec({1, itab, double(rows), npanels, 0, ismooth, 0, 1});
    g.lines.resize(9);
    for (int j = 0; j < rows; ++j) g.lines.push_back(rec({1.0 - j * 1e-4, 0, 0, 0, 0}));
    return g.text();
  };
  auto three_elements = [](double np1, double np2, double np3) {
    Geo g = one_element();
    g.line(2) = rec({0, 3, 0.005, 0, 0, 0, 0});
    const std::vector<std::string> el(g.lines.begin() + 4, g.lines.end());
    g.lines.insert(g.lines.end(), el.begin(), el.end());
    g.lines.insert(g.lines.end(), el.begin(), el.end());
    g.line(6) = rec({1, 2, 3, np1, 0, 0, 2, 1});
    g.line(14) = rec({1, 2, 3, np2, 0, 0, 2, 1});
    g.line(22) = rec({1, 2, 3, np3, 0, 0, 2, 1});
    return g.text();
  };
  cases.push_back({"seven elements", with(2, rec({0, 7, 0.005, 0, 0, 0, 0})),
                   "bad.dat, line 2 (record 1): the element count is 7; it must be 1 to 5"});
  cases.push_back({"no elements", with(2, rec({0, 0, 0.005, 0, 0, 0, 0})),
                   "line 2 (record 1): the element count is 0; it must be 1 to 5"});
  cases.push_back({"element count without point",
                   with(2, rec({0}) + "         1" + rec({0.005, 0, 0, 0, 0})),
                   "the element count is 0; it must be 1 to 5 (the field reads 1e-05: write whole "
                   "numbers with a decimal point"});
  cases.push_back({"not a number", with(6, rec({1, 2}) + "        1x" + rec({0, 0, 0, 2, 1})),
                   "bad.dat, line 6 (element 1 parameter record): field 3 (columns 21-30) \"1x\" "
                   "is not a number"});
  cases.push_back({"not a number in a row", with(11, "   0.0   abc"),
                   "line 11 (element 1 point table, row 2): field 1 (columns 1-10)"});
  cases.push_back({"empty file", "", "bad.dat: the file is empty"});
  cases.push_back({"ends after the title", cut(1),
                   "bad.dat, line 2: the file ends before record 1"});
  cases.push_back({"ends before the table heading", cut(8),
                   "bad.dat, line 9: the file ends before the heading line of the point table "
                   "of element 1"});
  cases.push_back({"ends before the table", cut(9),
                   "bad.dat, line 10: the file ends before the point table of element 1 "
                   "(expected 3 rows)"});
  cases.push_back({"ends in the table", cut(11),
                   "bad.dat, line 12: the file ends in the point table of element 1 after 2 of "
                   "3 rows"});
  cases.push_back({"ends before the second element", [] {
                     Geo g = one_element();
                     g.line(2) = rec({0, 2, 0.005, 0, 0, 0, 0});
                     return g.text();
                   }(),
                   "line 13: the file ends before the heading line of element 2 parameter record"});
  cases.push_back({"ends before the bl record", [] {
                     Geo g = one_element(1);
                     g.lines.resize(5);
                     return g.text();
                   }(),
                   "line 6: the file ends before the boundary-layer record"});
  cases.push_back({"one row", with(6, rec({1, 2, 1, 0, 0, 0, 0, 1})),
                   "line 6 (element 1 parameter record): field 3 (columns 21-30) the point table "
                   "has 1 row; it needs at least 2"});
  cases.push_back({"zero rows", with(6, rec({1, 2, 0, 0, 0, 0, 0, 1})),
                   "field 3 (columns 21-30) the row count 0 is not a positive whole number"});
  cases.push_back({"negative rows", with(6, rec({1, 2, -3, 0, 0, 0, 0, 1})),
                   "the row count -3 is not a positive whole number"});
  cases.push_back({"fractional rows", with(6, rec({1, 2, 2.5, 0, 0, 0, 0, 1})),
                   "the row count 2.5 is not a positive whole number"});
  cases.push_back({"rows without point", with(6, rec({1, 2}) + "         3" + rec({0, 0, 0, 0, 1})),
                   "the row count 3e-05 is not a positive whole number (write whole numbers with a "
                   "decimal point"});
  cases.push_back({"mirrored 601 rows", table(1, 601),
                   "a mirrored point table has 601 rows; it may have at most 600"});
  cases.push_back({"mirrored 302 rows", table(1, 302),
                   "the contour has 603 points; the contour spline holds 601 (a mirrored table"});
  cases.push_back({"602 contour rows", table(2, 602),
                   "the contour has 602 points; the contour spline holds 601"});
  cases.push_back({"smoothed 202 rows", table(3, 202, 1),
                   "the contour has 202 points; the contour spline holds 201 with smoothing"});
  cases.push_back({"one panel", with(6, rec({1, 2, 3, 1, 0, 0, 2, 1})),
                   "field 4 (columns 31-40) the panel count is 1; it must be 2 to 599"});
  cases.push_back({"one panel from the row count", [] {
                     Geo g = one_element();
                     g.line(6) = rec({1, 2, 2, 0, 0, 0, 0, 1});
                     g.lines.resize(11);
                     return g.text();
                   }(),
                   "the panel count is 1; it must be 2 to 599"});
  cases.push_back({"600 panels", with(6, rec({1, 2, 3, 600, 0, 0, 2, 1})),
                   "the panel count is 600; it must be 2 to 599"});
  cases.push_back({"negative panels", with(6, rec({1, 2, 3, -4, 0, 0, 2, 1})),
                   "the panel count is -4"});
  cases.push_back({"panels without point", with(6, rec({1, 2, 3}) + "       120" + rec({0, 0, 2, 1})),
                   "the panel count is 0; it must be 2 to 599 (the field reads 0.0012"});
  cases.push_back({"1200 equations at element 3", three_elements(599, 596, 2),
                   "line 22 (element 3 parameter record): field 4 (columns 31-40) the panel counts "
                   "(plus one per element) of elements 1 to 3 add up to 1200"});
  cases.push_back({"1200 equations", three_elements(599, 599, 2),
                   "line 14 (element 2 parameter record): field 4 (columns 31-40) the panel counts "
                   "(plus one per element) of elements 1 to 2 add up to 1200; the panel system "
                   "holds 1199 equations"});
  cases.push_back({"leading edge beyond the table", with(6, rec({1, 2, 3, 0, 0, 0, 4, 1})),
                   "field 7 (columns 61-70) the leading-edge row is 4; it must be 0 (found by the "
                   "program) or 1 to 3"});
  cases.push_back({"negative leading edge", with(6, rec({1, 2, 3, 0, 0, 0, -1, 1})),
                   "the leading-edge row is -1"});
  cases.push_back({"leading edge on the trailing edge", with(6, rec({1, 2, 3, 0, 0, 0, 3, 1})),
                   "bad.dat, line 6 (element 1 parameter record): field 7 (columns 61-70) the "
                   "leading-edge row 3 gives a chord of 0.01, but the contour reaches 1 from its "
                   "trailing edge"});
  cases.push_back({"reversed table, leading edge on the trailing edge",
                   with(6, rec({1, 3, 3, 0, 0, 0, 1, 1})),
                   "the leading-edge row 1 gives a chord of 0.01, but the contour reaches 1 from "
                   "its trailing edge (the chord through the leading-edge row must be at least "
                   "half of that): name the row of the nose (the point farthest from the trailing "
                   "edge is row 2)"});
  cases.push_back({"integer out of range", with(2, rec({0, 1, 0.005, 0, 0, 0}) + "   3.0e+10"),
                   "line 2 (record 1): field 7 (columns 61-70) holds 3e+10, which is not an "
                   "integer in range"});
  cases.push_back({"tab in a field", with(2, "\t0.0" + rec({1, 0.005, 0, 0, 0, 0})),
                   "line 2 (record 1): field 1 (columns 1-10) holds a tab character"});
  return cases;
}

TEST_F(GeometryInput, RefusesBadFilesAndKeepsTheState) {
  // A good load first; every refusal must leave exactly this behind.
  Geo good = one_element(1);
  good.line(2) = rec({1, 1, 0.02, 1, 1, 0, 1});
  good.line(4) = rec({6.5, 0.2, 0, 1, 0.25, 0});
  ASSERT_TRUE(load_text("good.dat", good.text()).ok);
  ProblemState& s = state();
  s.NCOMPUTE = 4;
  const std::string out_before = trimmed(s.OUT_NAME);

  // The cases that do not exist as bad.dat on purpose use their own path.
  for (const BadCase& c : bad_cases()) {
    SCOPED_TRACE(c.name);
    GeoFileRecord r;
    write_file("bad.dat", c.text);
    std::string err;
    ASSERT_TRUE(make_geo_record("bad.dat", r, &err));
    r.outLength = -77;
    const Result res = READ_GEOMETRY(r);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find(c.message), std::string::npos) << res.message;
    EXPECT_EQ(r.outLength, -77);  // the record is not filled either
    EXPECT_EQ(s.NELEM, 1);
    EXPECT_EQ(s.ALPHA, 6.5);
    EXPECT_EQ(s.IBL, 1);
    EXPECT_EQ(s.NCOMPUTE, 4);
    EXPECT_EQ(s.X0(1, 1), 1.0);
    EXPECT_EQ(s.NCONT(1), 3);
    EXPECT_EQ(s.NPANELS(1), 2);
    EXPECT_EQ(trimmed(s.OUT_NAME), out_before);
    EXPECT_FALSE(fs::exists("bad.out"));  // refused before any listing is opened
    EXPECT_FALSE(fs::exists("bad.deb"));
    EXPECT_EQ(text::units().path(82), "good.out");
  }

  // Missing file, a folder, an over-long path, a listing extension.
  struct PathCase {
    std::string path;
    std::string message;
  } paths[] = {
      {"missing.dat", "missing.dat: cannot open the geometry file: No such file or directory"},
      {"folder.dat", "folder.dat: this is a folder, not a geometry file"},
  };
  fs::create_directory("folder.dat");
  for (const PathCase& p : paths) {
    const Result res = load(p.path);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find(p.message), std::string::npos) << res.message;
  }
  EXPECT_EQ(s.NELEM, 1);
  EXPECT_EQ(s.ALPHA, 6.5);
  EXPECT_EQ(text::units().path(82), "good.out");
}

TEST_F(GeometryInput, RefusesPathsLongerThanTheRecord) {
  const std::string long_path = std::string(77, 'a') + ".dat";  // 81 characters
  GeoFileRecord r;
  std::string err;
  EXPECT_FALSE(make_geo_record(long_path, r, &err));
  EXPECT_NE(err.find("the path has 81 characters; the limit is 80"), std::string::npos) << err;
  // Exactly 80 fits.
  EXPECT_TRUE(make_geo_record(std::string(76, 'a') + ".dat", r, &err));
  EXPECT_EQ(r.pathLength, 80);
  // A record whose length says more than it holds.
  ASSERT_TRUE(make_geo_record("x.dat", r, &err));
  r.pathLength = 95;
  const Result res = READ_GEOMETRY(r);
  EXPECT_FALSE(res.ok);
  EXPECT_NE(res.message.find("the limit is 80"), std::string::npos) << res.message;
  // 80 characters whose listing names would not fit: refused, not cut.
  const std::string tight = std::string(78, 'b') + ".d";
  write_file(tight, one_element().text());
  const Result res2 = load(tight);
  EXPECT_FALSE(res2.ok);
  EXPECT_NE(res2.message.find("would have 82 characters; the limit is 80"), std::string::npos)
      << res2.message;
  EXPECT_FALSE(fs::exists(std::string(78, 'b') + ".deb"));
}

TEST_F(GeometryInput, NeverOverwritesTheInput) {
  const std::string text = one_element().text();
  for (const char* name : {"wing.out", "wing.CPF", "wing.Deb", "wing.blf", "wing.SUM", "wing.bln",
                           "wing.geo", "InputBl.out", "out", "DEB"}) {
    SCOPED_TRACE(name);
    write_file(name, text);
    const Result res = load(name);
    EXPECT_FALSE(res.ok);
    EXPECT_NE(res.message.find("overwrite"), std::string::npos) << res.message;
    EXPECT_EQ(read_file(name), text);  // not truncated
  }
  // A listing that is a link to the input.
  write_file("real.dat", text);
  ASSERT_EQ(::symlink("real.dat", "link.cpf"), 0);
  const Result res = load("link.dat");  // missing: only the .cpf link exists
  EXPECT_FALSE(res.ok);
  ASSERT_EQ(::symlink("real.dat", "link2.dat"), 0);
  fs::remove("link.cpf");
  ASSERT_EQ(::symlink("link2.dat", "link2.out"), 0);
  const Result res2 = load("link2.dat");
  EXPECT_FALSE(res2.ok);
  EXPECT_NE(res2.message.find("would overwrite the input file"), std::string::npos)
      << res2.message;
  EXPECT_EQ(read_file("real.dat"), text);
}

TEST_F(GeometryInput, ReadOnlyFolderForTheListings) {
  ASSERT_TRUE(load_text("good.dat", one_element().text()).ok);
  fs::create_directory("ro");
  Geo g = one_element();
  g.line(2) = rec({0, 1, 0.005, 0, 0, 0, 0});
  g.line(4) = rec({9, 0, 0, 1, 0.25, 0});
  write_file("ro/wing.dat", g.text());
  ::chmod("ro", 0555);
  if (::access("ro", W_OK) == 0) {
    ::chmod("ro", 0755);
    GTEST_SKIP() << "running with rights that ignore a read-only folder";
  }
  const Result res = load("ro/wing.dat");
  ::chmod("ro", 0755);
  EXPECT_FALSE(res.ok);
  EXPECT_NE(res.message.find("cannot create the listing ro/wing.deb: Permission denied"),
            std::string::npos)
      << res.message;
  EXPECT_EQ(state().ALPHA, 4.0);  // the state of good.dat
  EXPECT_EQ(text::units().path(82), "good.out");
  EXPECT_TRUE(text::units().is_open(10));
}

TEST_F(GeometryInput, ListingInTheWayOfTheWorkingFolder) {
  ASSERT_TRUE(load_text("good.dat", one_element().text()).ok);
  Geo g = one_element();
  g.line(4) = rec({9, 0, 0, 1, 0.25, 0});
  // A working folder where "InputBl.out" cannot be created: the listings
  // already probed beside the input are removed again.
  fs::create_directories("in");
  write_file("in/w.dat", g.text());
  fs::remove("InputBl.out");
  fs::create_directory("InputBl.out");  // a folder in its place
  const Result res2 = load("in/w.dat");
  EXPECT_FALSE(res2.ok);
  EXPECT_NE(res2.message.find("cannot create the listing InputBl.out"), std::string::npos)
      << res2.message;
  EXPECT_FALSE(fs::exists("in/w.deb"));
  EXPECT_FALSE(fs::exists("in/w.out"));
  EXPECT_EQ(state().ALPHA, 4.0);
}

TEST_F(GeometryInput, LoadsEveryExample) {
  const std::vector<fs::path> examples = geometry_files("examples");
  EXPECT_EQ(examples.size(), 3u);
  for (const fs::path& example : examples) {
    const std::string name = example.filename().string();
    SCOPED_TRACE(name);
    fs::copy_file(example, name, fs::copy_options::overwrite_existing);
    GeoFileRecord r;
    const Result res = load(name, &r);
    ASSERT_TRUE(res.ok) << res.message;
    const ProblemState& s = state();
    ASSERT_GE(s.NELEM, 1);
    int equations = 0;
    for (int k = 1; k <= s.NELEM; ++k) {
      const int n = s.NCONT(k);
      EXPECT_GE(s.NPANELS(k), 2);
      EXPECT_EQ(s.NPANELS(k) % 2, 0);  // even: every node placed
      equations += s.NPANELS(k) + 1;
      // Contour from the trailing edge around the leading edge and back:
      // x strictly monotone on each branch.
      const int ile = s.ILE(k) != 0 ? s.ILE(k) : (n + 1) / 2;
      for (int i = 2; i <= ile; ++i) EXPECT_LT(s.X0(i, k), s.X0(i - 1, k)) << k << " " << i;
      for (int i = ile + 1; i <= n; ++i) EXPECT_GT(s.X0(i, k), s.X0(i - 1, k)) << k << " " << i;
      // Upper surface first.
      EXPECT_GT(s.Y0(ile / 2, k), s.Y0(n - ile / 2, k));
    }
    EXPECT_LE(equations, kMaxEquations);
    if (name == "main_flap.dat") {
      EXPECT_EQ(s.NELEM, 2);
      EXPECT_EQ(s.IBL, 1);
      EXPECT_EQ(s.NP, 61);
      EXPECT_EQ(s.REMILL, 3.0);
      EXPECT_EQ(s.IPOS, 0);
      EXPECT_EQ(s.ITAB(1), 2);
      EXPECT_NEAR(s.XTR(2, 1), 0.3 * 0.05, 1e-12);  // scaled with the flap
    } else if (name == "naca0012.dat") {
      EXPECT_EQ(s.NELEM, 1);
      EXPECT_EQ(s.ITAB(1), 1);
      EXPECT_EQ(s.NCONT(1), 2 * s.NROWS(1) - 1);
      EXPECT_EQ(s.IPOS, 1);
    } else if (name == "slat_main_flap.dat") {
      EXPECT_EQ(s.NELEM, 3);
      EXPECT_EQ(s.ITAB(1), 2);
      EXPECT_NE(s.ITAB(2), 1);
      EXPECT_NE(s.ITAB(2), 2);
    }
  }
}

TEST_F(GeometryInput, InputName) {
  std::string name, out;
  char arg0[] = "prog", arg1[] = "wing";
  char* argv[] = {arg0, arg1};
  GET_INPUT_NAME(1, name, out, "out ", 2, argv);
  EXPECT_EQ(name, "wing.dat");
  EXPECT_EQ(out, "wing.out");
  name = "a.b.c";
  GET_INPUT_NAME(0, name, out, " cpf ");
  EXPECT_EQ(name, "a.b.c");
  EXPECT_EQ(out, "a.cpf");  // up to the first "."
  name = "plain";
  GET_INPUT_NAME(2, name, out, "sum");
  EXPECT_EQ(out, "sum");

  // From standard input: the prompt on unit 6, "(a30)" of the answer.
  struct StdinCase {
    const char* input;
    const char* name;
  } cases[] = {{"\n", "fpg.dat"},
               {"", "fpg.dat"},
               {"case.inp\r\n", "case.inp"},
               {"abcdefghijklmnopqrstuvwxyz0123456789.dat\n", "abcdefghijklmnopqrstuvwxyz0123.dat"},
               {"run7   \n", "run7.dat"}};
  for (const StdinCase& c : cases) {
    write_file("stdin.txt", c.input);
    std::FILE* prompt = std::tmpfile();
    text::units().redirect_stdout(prompt);
    const int saved = ::dup(0);
    std::FILE* in = std::fopen("stdin.txt", "r");
    ::dup2(::fileno(in), 0);
    std::clearerr(stdin);
    GET_INPUT_NAME(1, name, out, "out", 1, argv);
    ::dup2(saved, 0);
    ::close(saved);
    std::fclose(in);
    std::clearerr(stdin);
    text::units().redirect_stdout(nullptr);
    EXPECT_EQ(name, c.name) << c.input;
    std::rewind(prompt);
    char buf[128] = {};
    ASSERT_NE(std::fgets(buf, sizeof buf, prompt), nullptr);
    std::fclose(prompt);
    EXPECT_NE(std::string(buf).find("enter the name of input file:"), std::string::npos);
  }
}

}  // namespace
}  // namespace sorvane

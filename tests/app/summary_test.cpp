// "Save Result": the numbered summary file, its columns, and the panel
// geometry table.
#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <filesystem>

#include "app/summary_rows.h"
#include "tests/app/window_fixture.h"

namespace sorvane::testing {
namespace {

using W = Sorvane_2D;

TEST(SummaryRows, PointRowWithNegativeValues) {
  const std::string row =
      sorvane::gui::summary_point_row(1, 0.5, -0.02, 0.49, -0.01, -1.25, 1.5, 1.0);
  std::string expected(92, ' ');
  expected.replace(4, 1, "1");
  expected.replace(7, 10, "0.50000000");
  expected.replace(21, 11, "-0.02000000");
  expected.replace(37, 10, "0.49000000");
  expected.replace(51, 11, "-0.01000000");
  expected.replace(66, 11, "-1.25000000");
  expected.replace(82, 10, "1.50000000");
  EXPECT_EQ(row, expected);
  // Row numbers end at position 4; a negative zero keeps the unsigned place;
  // the y columns carry the sweep factor while the sign test does not.
  const std::string r2 =
      sorvane::gui::summary_point_row(123, -0.25, 0.5, 0.0, -0.0, 0.0, -2.0, 0.5);
  EXPECT_EQ(r2.substr(0, 5), "  123");
  EXPECT_EQ(r2.substr(7, 11), "-0.25000000");
  EXPECT_EQ(r2.substr(22, 10), "0.25000000");
  EXPECT_EQ(r2.substr(52, 10), "0.00000000");
  EXPECT_EQ(r2.substr(81, 11), "-2.00000000");
  // The last row of an element has no Cp and V(Gamma) and no trailing blanks.
  const std::string last = sorvane::gui::summary_point_row(41, 1, 0, 1.01, 0, 0, 0, 1, false);
  EXPECT_EQ(last.size(), 62u);
  EXPECT_EQ(sorvane::gui::geometry_point_row(2, 0.5, -0.02, 0.49, -0.01, -1.25).size(), 77u);
}

class SummaryTest : public WindowTest {
 protected:
  std::string dir;
  std::string loadFlap(const std::string& name) {
    const std::string path = example_copy(name, "main_flap.dat");
    dir = std::filesystem::path(path).parent_path().string();
    EXPECT_TRUE(load(path)) << window->lastError.text();
    return path;
  }
};

TEST_F(SummaryTest, FileLayoutForTwoElementsOfFortyPanels) {
  const std::string path = loadFlap("sum40");
  setField(window->elements[0].npanelsField, "40");
  setField(window->elements[1].npanelsField, "40");
  send(W::ID_NPANELS);
  setSpinner(window->alphaSpinner, -4);
  send(W::ID_ALPHA);
  setSpinner(window->machSpinner, 0.2);
  send(W::ID_MACH);
  ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
  send(W::ID_SAVE_RESULT);
  EXPECT_EQ(window->errorCount, 0) << window->lastError.text();

  const std::vector<std::string> lines = read_lines(dir + "/main_flap_1.sum");
  ASSERT_EQ(lines.size(), 117u);
  EXPECT_EQ(lines[0], std::string(92, '-'));
  EXPECT_EQ(lines[1].substr(0, 13 + path.size()), "Input File:  " + path);
  EXPECT_EQ(lines[1].size(), 104u);
  EXPECT_EQ(lines[3], "  Alpha     Mach      Swept     Bref     Nelements");
  EXPECT_EQ(lines[4], "  -4.0000   0.2000    0.00      1.0000      2");
  EXPECT_EQ(lines[5], std::string(92, '-'));
  EXPECT_EQ(lines[9].substr(0, 6), "     1");
  EXPECT_EQ(lines[9].size(), 89u);

  // Point rows of element 1 (lines 13..53): values where the columns say,
  // one place earlier when negative.
  const ProblemState& s = state();
  const int starts[6] = {7, 22, 37, 52, 67, 82};
  const bool shifts[6] = {false, true, false, true, true, true};
  for (int j = 1; j <= 40; ++j) {
    const std::string& row = lines[12 + j];
    const double values[6] = {s.XPN(j, 1), s.YPN(j, 1), s.XC(j, 1),
                              s.YC(j, 1),  s.CP(j, 1),  s.VGAMMA(j, 1)};
    for (int c = 0; c < 6; ++c) {
      const bool negative = values[c] < 0;
      const int pos = (negative && shifts[c]) ? starts[c] - 1 : starts[c];
      ASSERT_LT(static_cast<std::size_t>(pos + 1), row.size());
      if (negative) {
        EXPECT_EQ(row[pos], '-') << "row " << j << " column " << c;
      }
      EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(row[negative ? pos + 1 : pos])))
          << "row " << j << " column " << c << ": " << row;
      if (pos > 0) {
        EXPECT_EQ(row[pos - 1], ' ');
      }
    }
  }
  // The value lines: each value's text from its position, whatever its sign.
  auto value_line = [](std::size_t blanks,
                       std::initializer_list<std::tuple<int, double, int>> values) {
    std::string line(blanks, ' ');
    for (const auto& v : values) {
      char text[64];
      std::snprintf(text, sizeof text, "%.*f", std::get<2>(v), std::get<1>(v));
      line.replace(std::get<0>(v), std::strlen(text), text);
    }
    return line;
  };
  std::string axes = value_line(89, {{11, s.XAX(1), 4}, {21, s.YAX(1), 4}, {41, s.XX(1), 4},
                                     {51, s.YY(1), 4}, {62, s.DFL(1), 2}, {72, s.BELEM(1), 4}});
  axes[5] = '1';
  EXPECT_EQ(lines[9], axes);
  EXPECT_EQ(lines[57], value_line(89, {{2, s.CY(1), 4}, {17, s.CX(1), 6}, {32, s.MZ(1), 4},
                                       {48, s.CYGAMMA(1), 4}, {63, s.CYB(1), 4},
                                       {77, s.CMZ0(1), 4}}));
  EXPECT_EQ(lines[115], value_line(89, {{2, s.CYS, 4}, {17, s.CXS, 6}, {32, s.CMS, 4},
                                        {48, s.CYGAMMAS, 4}}));
  EXPECT_EQ(lines[12 + 41].size(), 62u);  // last node and additional point
  EXPECT_EQ(lines[54], std::string(92, '-'));
  EXPECT_EQ(lines[55], "                      Summury data of the element  1 ");
  EXPECT_EQ(lines[58], std::string(92, '='));
  EXPECT_EQ(lines[113], "  Summury data of the multielement configuration");
  EXPECT_EQ(lines[116], std::string(92, '='));
}

TEST_F(SummaryTest, NumberedNamesAndAnUncreatableFile) {
  // Before a load there is nothing to save: no file, no count.
  send(W::ID_SAVE_RESULT);
  EXPECT_EQ(window->saveCounter, 0);
  EXPECT_FALSE(std::filesystem::exists("_1.sum"));

  loadFlap("sumnames");
  for (int i = 0; i < 10; ++i) send(W::ID_SAVE_RESULT);
  EXPECT_TRUE(std::filesystem::exists(dir + "/main_flap_10.sum"));
  EXPECT_TRUE(std::filesystem::exists(dir + "/main_flap_1.sum"));
  EXPECT_EQ(window->outPath, FX::FXString((dir + "/main_flap_10.sum").c_str()));

  // The directory goes away: the counter still advances and the box names the file.
  std::filesystem::remove_all(dir);
  send(W::ID_SAVE_RESULT);
  EXPECT_EQ(window->saveCounter, 11);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_NE(window->lastError.find("main_flap_11.sum"), -1) << window->lastError.text();
  std::filesystem::create_directories(dir);
  send(W::ID_SAVE_RESULT);
  EXPECT_TRUE(std::filesystem::exists(dir + "/main_flap_12.sum"));

  // The panel-geometry table, named the same way with its own counter.
  window->writeGeometryFile();
  const std::vector<std::string> geo = read_lines(dir + "/main_flap_1.geo");
  const int n1 = state().NPANELS(1), n2 = state().NPANELS(2);
  ASSERT_EQ(geo.size(), static_cast<std::size_t>(1 + 2 * 2 + n1 + 1 + n2 + 1));
  EXPECT_EQ(geo[0], "******* PANEL GEOMETRY OF AIRFOIL *******");
  EXPECT_EQ(geo[1], "  ELEMENT 1 ");

  // A name whose extension is not four characters long still loses exactly
  // its last four characters.
  {
    Sorvane_2D other(&test_app());
    other.quietErrors = true;
    other.create();
    const std::string other_dir = scratch_dir("sumshort");
    const std::string shortName = other_dir + "/main_flap.in";
    write_file(shortName, read_file(source_path("examples/main_flap.dat")));
    ASSERT_TRUE(other.openFile(shortName.c_str())) << other.lastError.text();
    other.handle(&other, FXSEL(FX::SEL_COMMAND, W::ID_SAVE_RESULT), nullptr);
    EXPECT_EQ(other.outPath, FX::FXString((other_dir + "/main_fla_1.sum").c_str()));
    EXPECT_TRUE(std::filesystem::exists(other_dir + "/main_fla_1.sum"));
  }
}

}  // namespace
}  // namespace sorvane::testing

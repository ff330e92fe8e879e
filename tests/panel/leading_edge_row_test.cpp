// The leading-edge row a geometry file names: a row next to the trailing
// edge (or on it, or on the rear half of the contour) is refused at load with
// one message naming the file, the line, the element, the row, the chord
// through it and the contour's extent from its trailing edge; the rows around
// the nose of an ordinary slat, main element and flap, in every table layout,
// with smoothing on and off and with a scale factor, load and solve with the
// element's chord.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "solver/panel/geometry_input.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/example_copy.h"
#include "tests/load_and_solve.h"
#include "tests/panel/solution_cases.h"
#include "tests/solved_example.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

namespace fs = std::filesystem;
using testing::example_copy;
using testing::read_file;
using testing::set_field;

// Index (0-based) of the parameter record of element k (1-based): the line
// after the k-th heading that names BELEM.
std::size_t parameter_line(const std::vector<std::string>& lines, int k) {
  int seen = 0;
  for (std::size_t i = 0; i + 1 < lines.size(); ++i)
    if (lines[i].find("BELEM") != std::string::npos && ++seen == k) return i + 1;
  ADD_FAILURE() << "no parameter record of element " << k;
  return 0;
}

std::string whole(double v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d.", static_cast<int>(v));
  return buf;
}

// A copy of an example in scratch folder dir with element k's leading-edge
// row (field 7) set to ile and its smoothing flag (field 6) to ismooth.
std::string with_row(const std::string& dir, const std::string& example, int k, int ile,
                     int ismooth = 0) {
  return example_copy(dir, example, [&](std::vector<std::string>& lines) {
    std::string& rec = lines[parameter_line(lines, k)];
    set_field(rec, 6, whole(ile));
    set_field(rec, 5, whole(ismooth));
  });
}

// The chords of the "YGOL RAZV=" records of the main listing, in the order
// written (element 1 first in every solution).
std::vector<double> listed_chords(const std::string& out) {
  std::vector<double> chords;
  const std::string key = "    CHORD=";
  for (std::size_t p = out.find(" YGOL RAZV="); p != std::string::npos;
       p = out.find(" YGOL RAZV=", p + 1)) {
    const std::size_t c = out.find(key, p);
    if (c == std::string::npos) break;
    chords.push_back(std::stod(out.substr(c + key.size(), 9)));
  }
  return chords;
}

// The number after `after` in a message (NaN when it is not there).
double number_after(const std::string& message, const std::string& after) {
  const std::size_t p = message.find(after);
  if (p == std::string::npos) return NAN;
  return std::stod(message.substr(p + after.size()));
}

std::string solution_message() {
  const auto& m = state().SOLUTION_MESSAGE;
  return std::string(m.c, m.trimmed_length());
}

class LeadingEdgeRow : public testing::SolvedExampleTest {
 protected:
  LeadingEdgeRow() : SolvedExampleTest("ler_") {}
};

// The flap of the main and flap example with its leading-edge row typed as
// 2 instead of 80 used to solve to a flap of chord 0.000119 and a lift of
// 1.53 instead of 2.79.
TEST_F(LeadingEdgeRow, MistypedFlapRowOfTheMainAndFlapExampleIsRefused) {
  solve("main_flap.dat");
  ProblemState& s = state();
  ASSERT_NEAR(s.CYS, 2.79, 0.01);
  const double lift = s.CYS;
  const int ile2 = s.ILE(2), ncompute = s.NCOMPUTE;

  const std::string path = with_row("ler_flap2", "main_flap.dat", 2, 2);
  const std::string refused = testing::load_geometry(path);
  EXPECT_EQ(refused,
            path +
                ", line 134 (element 2 parameter record): field 7 (columns 61-70) the "
                "leading-edge row 2 gives a chord of 0.000119, but the contour reaches 0.3 from "
                "its trailing edge (the chord through the leading-edge row must be at least half "
                "of that): name the row of the nose (the point farthest from the trailing edge "
                "is row 80), or 0 to let the program find it");
  // Nothing of the refused file reached the state or the listings.
  EXPECT_EQ(s.CYS, lift);
  EXPECT_EQ(s.ILE(2), ile2);
  EXPECT_EQ(s.NCOMPUTE, ncompute);
  EXPECT_EQ(s.NCONT(2), 161);
  EXPECT_FALSE(fs::exists(fs::path(path).replace_extension(".out")));
  EXPECT_EQ(text::units().path(82), "main_flap.out");
}

// Mistyped rows: next to the trailing edge on either surface, the trailing
// edge itself, a row on the rear half; in the three table layouts (the
// reversed one names its rows in the file's order, in the message too), with
// smoothing and with a scale factor; the first, middle or last element.
struct MistypedCase {
  const char* name;
  const char* example;
  int element, ile, ismooth;
  int line;              // of the parameter record, 1-based
  double chord, extent;  // as the message must give them
  const char* farthest;  // the row the message proposes, as the file counts it
};

const MistypedCase kMistyped[] = {
    // Main and flap, three-value rows in contour order; flap scaled by 0.3.
    {"flap_lower_next_to_te", "main_flap.dat", 2, 160, 0, 134, 0.000117, 0.3, "row 80)"},
    {"flap_te", "main_flap.dat", 2, 161, 0, 134, 0.0, 0.3, "row 80)"},
    {"main_upper_next_to_te", "main_flap.dat", 1, 2, 0, 8, 0.000698, 1.0, "row 60)"},
    {"main_rear_half", "main_flap.dat", 1, 25, 0, 8, 0.351, 1.0, "row 60)"},
    {"main_smoothed", "main_flap.dat", 1, 120, 1, 8, 0.0007, 1.0, "row 60)"},
    // Slat (scaled by 0.15), main listed backwards, flap.
    {"slat_next_to_te", "slat_main_flap.dat", 1, 2, 0, 6, 0.000108, 0.15, "row 59)"},
    {"slat_smoothed", "slat_main_flap.dat", 1, 120, 1, 6, 0.000108, 0.15, "row 59)"},
    {"reversed_first_row", "slat_main_flap.dat", 2, 2, 0, 132, 0.000698, 1.0, "row 62)"},
    {"reversed_last_row", "slat_main_flap.dat", 2, 121, 0, 132, 0.0, 1.0, "row 62)"},
    {"reversed_smoothed", "slat_main_flap.dat", 2, 120, 1, 132, 0.000698, 1.0, "row 62)"},
    {"three_elements_flap", "slat_main_flap.dat", 3, 2, 0, 258, 0.000119, 0.3, "row 80)"},
    // Mirrored rows: the row counts the 121 contour points; the nose is the
    // table's first row, contour point 61.
    {"mirrored_upper", "naca0012.dat", 1, 2, 0, 6, 0.000698, 1.0,
     "table row 1, point 61 of the contour: give 61,"},
    {"mirrored_lower_smoothed", "naca0012.dat", 1, 120, 1, 6, 0.000698, 1.0,
     "table row 1, point 61 of the contour: give 61,"},
    {"mirrored_te", "naca0012.dat", 1, 1, 0, 6, 0.0, 1.0,
     "table row 1, point 61 of the contour: give 61,"},
};

TEST_F(LeadingEdgeRow, RefusesARowAwayFromTheNose) {
  for (const MistypedCase& c : kMistyped) {
    SCOPED_TRACE(c.name);
    const std::string path =
        with_row(std::string("ler_") + c.name, c.example, c.element, c.ile, c.ismooth);
    const std::string message = testing::load_geometry(path);
    const std::string place = path + ", line " + std::to_string(c.line) + " (element " +
                              std::to_string(c.element) +
                              " parameter record): field 7 (columns 61-70) the leading-edge row " +
                              std::to_string(c.ile) + " gives a chord of ";
    ASSERT_EQ(message.rfind(place, 0), 0u) << message;
    // Three significant digits of the chord and of the extent.
    EXPECT_NEAR(number_after(message, "gives a chord of "), c.chord, 0.005 * c.chord) << message;
    EXPECT_NEAR(number_after(message, "the contour reaches "), c.extent, 0.005 * c.extent)
        << message;
    EXPECT_NE(message.find(std::string("the point farthest from the trailing edge is ") +
                           c.farthest),
              std::string::npos)
        << message;
    EXPECT_FALSE(fs::exists(fs::path(path).replace_extension(".out")));
  }
}

// A mirrored table of 151 rows counts its leading-edge row along the 301
// contour points: 1 is the trailing edge, and the message names the rows as
// the table holds them. The nose is the table's first row (not "row 151",
// the table's last one, at the trailing edge).
TEST_F(LeadingEdgeRow, MirroredTableRows) {
  cases::Config c;
  c.elements = {cases::naca00_mirrored(12, 151)};
  const struct {
    int ile;
    const char* given;  // where the row given lies
  } rows[] = {{1, "1 is the upper point of the last table row"},
              {2, "2 is the upper point of table row 150"},
              {300, "300 is the lower point of table row 150"}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.ile);
    c.elements[0].ile = r.ile;
    const std::string message = cases::load(c, dir_, "mirrored");
    const std::string after = "field 7 (columns 61-70) ";
    ASSERT_NE(message.find(after), std::string::npos) << message;
    const std::string said = message.substr(message.find(after) + after.size());
    const std::string chord = said.substr(0, said.find(", but"));
    EXPECT_EQ(said.substr(chord.size()),
              ", but the contour reaches 1 from its trailing edge (the chord through the "
              "leading-edge row must be at least half of that): in a mirrored table the "
              "leading-edge row counts the 301 contour points, upper surface first, so " +
                  std::string(r.given) +
                  "; the point farthest from the trailing edge is table row 1, point 151 of the "
                  "contour: give 151, or 0 to let the program find it")
        << message;
    EXPECT_EQ(message.find("row 151"), std::string::npos) << message;
  }
  c.elements[0].ile = 151;
  EXPECT_EQ(cases::solve(c, dir_, "mirrored"), "");
}

// A coarse table of ten evenly spaced stations per surface: the row next to
// the trailing edge still gives only about a tenth of the chord, and is
// refused; the rows at the nose of the same table solve.
TEST_F(LeadingEdgeRow, CoarseTable) {
  cases::Element e;
  for (int j = 10; j >= -10; --j) {
    const double x = std::abs(j) / 10.0;
    const double t = 0.6 * (0.2969 * std::sqrt(x) - 0.1260 * x - 0.3516 * x * x +
                            0.2843 * x * x * x - 0.1036 * x * x * x * x);
    e.x.push_back(x);
    e.y.push_back(j >= 0 ? t : -t);
  }
  e.npanels = 20;
  cases::Config c;
  c.alpha = 4;
  for (int row : {2, 20}) {
    SCOPED_TRACE(row);
    e.ile = row;
    c.elements = {e};
    const std::string message = cases::load(c, dir_, "coarse");
    EXPECT_NE(message.find("the leading-edge row " + std::to_string(row) + " gives a chord of "),
              std::string::npos)
        << message;
    const double chord = number_after(message, "gives a chord of ");
    EXPECT_GT(chord, 0.09);
    EXPECT_LT(chord, 0.11);
    EXPECT_EQ(number_after(message, "the contour reaches "), 1.0) << message;
  }
  for (int row : {0, 10, 11, 12}) {
    SCOPED_TRACE(row);
    e.ile = row;
    c.elements = {e};
    EXPECT_EQ(cases::solve(c, dir_, "coarse"), "");
  }
}

// Sensible rows: the nose and two rows either side of it, or 0, in each
// element of the examples (slat, main element listed backwards, flap; main
// and flap in contour order; a mirrored table), smoothing off and on. Each
// loads and solves, and the first solution's frame has the element's chord
// (the examples put the nose at 0 and the trailing edge at 1 before their
// scale factor, so the chord is the scale factor) within the few tenths of a
// percent by which the rows beside the nose are nearer the trailing edge.
struct SensibleCase {
  const char* example;
  int element;
  int nose;     // the file's own row (in the file's count)
  double chord; // the element's chord
};

const SensibleCase kSensible[] = {
    {"main_flap.dat", 1, 60, 1.0},        {"main_flap.dat", 2, 80, 0.3},
    {"slat_main_flap.dat", 1, 59, 0.15},  {"slat_main_flap.dat", 2, 62, 1.0},
    {"slat_main_flap.dat", 3, 80, 0.3},   {"naca0012.dat", 1, 61, 1.0},
};

TEST_F(LeadingEdgeRow, RowsAtTheNoseLoadAndSolve) {
  int n = 0;
  for (const SensibleCase& c : kSensible) {
    for (int ismooth : {0, 1}) {
      for (int offset : {-2, -1, 0, 1, 2, 99}) {
        const int row = offset == 99 ? 0 : c.nose + offset;
        SCOPED_TRACE(std::string(c.example) + " element " + std::to_string(c.element) +
                     " row " + std::to_string(row) + " smoothing " + std::to_string(ismooth));
        const std::string path =
            with_row("ler_nose" + std::to_string(n++), c.example, c.element, row, ismooth);
        const std::string loaded = testing::load_geometry(path);
        ASSERT_EQ(loaded, "");
        ASSERT_EQ(testing::solve_loaded(), "") << solution_message();
        const ProblemState& s = state();
        EXPECT_TRUE(std::isfinite(s.CYS));
        text::units().flush_all();
        const std::vector<double> chords =
            listed_chords(read_file(fs::path(path).replace_extension(".out").string()));
        ASSERT_EQ(chords.size(), static_cast<std::size_t>(s.NELEM));
        EXPECT_NEAR(chords[c.element - 1], c.chord, 0.005 * c.chord);
        text::units().close_all();
      }
    }
  }
}

// The solve_geometry driver on the mistyped main and flap file: status 2 and
// the reader's message, no listing.
class LeadingEdgeRowDriver : public testing::DriverTest {};

TEST_F(LeadingEdgeRowDriver, MistypedRowGivesStatus2) {
  const std::string path = with_row("ler_driver", "main_flap.dat", 2, 2);
  const std::string dir = fs::path(path).parent_path().string();
  EXPECT_EQ(testing::run_solve_geometry(dir, "main_flap.dat"), 2);
  const std::string err = read_file(dir + "/stderr.txt");
  EXPECT_NE(err.find("main_flap.dat, line 134 (element 2 parameter record): field 7 (columns "
                     "61-70) the leading-edge row 2 gives a chord of 0.000119, but the contour "
                     "reaches 0.3 from its trailing edge"),
            std::string::npos)
      << err;
  EXPECT_FALSE(fs::exists(dir + "/main_flap.out"));
}

}  // namespace
}  // namespace sorvane

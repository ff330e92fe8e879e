// The range of the compressibility corrections, checked against the
// formulas written here on their own (gamma = 1.4, Laitone's 0.2 exact):
// every solution's corrected Cp, its pole, the vacuum limit and the critical
// Cp of the Mach number normal to the sweep. The velocities come from the
// same configuration solved without a correction (the panel solution itself
// is incompressible).
//   Prandtl-Glauert  Cp = Cp0 / beta
//   Karman-Tsien     Cp = Cp0 / (beta + M^2 / (2 (1 + beta)) Cp0)
//   Laitone          Cp = Cp0 / (beta + M^2 (1 + 0.2 M^2) / (2 beta) Cp0)
//   vacuum           Cp = -2 / (gamma M^2)   (p = 0)
//   critical         Cp* = 2 / (gamma M^2) [((2 + (gamma - 1) Mn^2) / (gamma + 1))^3.5 - 1],
//                    Mn = M cos(sweep)
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "solver/panel/compressibility.h"
#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/example_copy.h"
#include "tests/load_and_solve.h"
#include "tests/test_support.h"

namespace sorvane {
namespace {

using namespace sorvane::testing;

enum class Expect { kSubsonic, kSupersonic, kVacuum, kPastPole };

struct Case {
  const char* file;
  double alpha, mach;
  int icompr;  // 1 Prandtl-Glauert, 2 Karman-Tsien, 3 Laitone
  double sweep;
  Expect expect;
};

const char* const kNames[] = {"", "Prandtl-Glauert", "Karman-Tsien", "Laitone"};

std::string field10(double v) {
  char text[16];
  std::snprintf(text, sizeof text, "%10.5f", v);
  return text;
}

std::string file_with(const Case& c, int icompr, const std::string& dir) {
  return example_copy(dir, c.file, [&](std::vector<std::string>& lines) {
    set_field(lines[1], 3, field10(icompr));
    set_field(lines[3], 0, field10(c.alpha));
    set_field(lines[3], 1, field10(c.mach));
    set_field(lines[3], 2, field10(c.sweep));
  });
}

// Whether text names "control point p" (not a longer number).
bool names_point(const std::string& text, int p) {
  const std::string key = "control point " + std::to_string(p);
  const std::size_t at = text.find(key);
  return at != std::string::npos &&
         (at + key.size() == text.size() || !std::isdigit(text[at + key.size()]));
}

TEST(CompressibilityRange, CorrectedCasesAgainstTheFormulas) {
  const Case cases[] = {
      // The suction peak of a NACA 0012 at 10 degrees: past Laitone's pole,
      // below vacuum with Karman-Tsien and Prandtl-Glauert.
      {"naca0012.dat", 10, 0.5, 3, 0, Expect::kPastPole},
      {"naca0012.dat", 10, 0.5, 2, 0, Expect::kVacuum},
      {"naca0012.dat", 10, 0.5, 1, 0, Expect::kVacuum},
      // Two elements, the flap's peak past the Karman-Tsien pole.
      {"main_flap.dat", 8, 0.5, 2, 0, Expect::kPastPole},
      // Locally supersonic: the numbers stand, with a remark.
      {"naca0012.dat", 6, 0.5, 2, 0, Expect::kSupersonic},
      {"naca0012.dat", 6, 0.5, 1, 0, Expect::kSupersonic},
      {"naca0012.dat", 7, 0.5, 2, 30, Expect::kSupersonic},
      // Swept high-lift configurations with several elements below Cp*: the
      // remark names the Mach number normal to the sweep and the count of
      // elements (its end was once cut at 240 characters).
      {"main_flap.dat", 0, 0.7, 1, 30, Expect::kSupersonic},
      {"main_flap.dat", 0, 0.6, 1, 30, Expect::kSupersonic},
      {"slat_main_flap.dat", 0, 0.7, 1, 30, Expect::kSupersonic},
      {"slat_main_flap.dat", 4, 0.45, 2, 30, Expect::kSupersonic},
      // Below the unswept Cp* (-2.133 at Mach 0.5) but above the one of the
      // Mach number normal to a sweep of 30 degrees (-2.280): subsonic.
      {"naca0012.dat", 5, 0.5, 2, 30, Expect::kSubsonic},
      // Subsonic everywhere.
      {"naca0012.dat", 2, 0.3, 1, 0, Expect::kSubsonic},
      {"naca0012.dat", 2, 0.3, 2, 0, Expect::kSubsonic},
      {"naca0012.dat", 2, 0.3, 3, 0, Expect::kSubsonic},
  };
  const double gamma = 1.4;
  const double deg = std::acos(-1.0) / 180.0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.alpha) + " degrees, Mach " +
                 std::to_string(c.mach) + ", " + kNames[c.icompr] + ", sweep " +
                 std::to_string(c.sweep));
    // The velocities, from the solution without a correction.
    ASSERT_EQ(load_and_solve(file_with(c, 0, "range_plain")), "");
    ProblemState& s = state();
    const int nelem = s.NELEM;
    std::vector<std::vector<double>> cp0(nelem);
    for (int k = 1; k <= nelem; ++k)
      for (int i = 1; i <= s.NPANELS(k); ++i) {
        const double v = s.VGAMMA(i, k);
        const double cs = std::cos(c.sweep * deg);
        cp0[k - 1].push_back(cs * cs * (1 - v * v));
      }
    text::units().close_all();

    // What the formulas say: the point of the lowest Cp0 (and, where the
    // correction has a value everywhere, of the lowest Cp).
    const double m = c.mach, b = std::sqrt(1 - m * m);
    auto denominator = [&](double x) {
      switch (c.icompr) {
        case 2: return b + m * m / (2 * (1 + b)) * x;
        case 3: return b + m * m * (1 + 0.2 * m * m) / (2 * b) * x;
        default: return b;
      }
    };
    const double vacuum = -2 / (gamma * m * m);
    const double mn = m * std::cos(c.sweep * deg);
    const double critical =
        2 / (gamma * m * m) *
        (std::pow((2 + (gamma - 1) * mn * mn) / (gamma + 1), gamma / (gamma - 1)) - 1);
    int ke = 0, pe = 0;
    double lowest = 0;
    bool past_pole = false;
    for (int k = 1; k <= nelem; ++k)
      for (int i = 1; i <= static_cast<int>(cp0[k - 1].size()); ++i) {
        const double x = cp0[k - 1][i - 1];
        if (!(denominator(x) > 0)) past_pole = true;
        if (ke == 0 || x < lowest) ke = k, pe = i, lowest = x;
      }
    const double lowest_cp = lowest / denominator(lowest);
    const Expect formulas = past_pole               ? Expect::kPastPole
                            : lowest_cp < vacuum    ? Expect::kVacuum
                            : lowest_cp < critical  ? Expect::kSupersonic
                                                    : Expect::kSubsonic;
    ASSERT_EQ(static_cast<int>(formulas), static_cast<int>(c.expect))
        << "the case does not show what it is meant to (lowest Cp0 " << lowest << ", Cp "
        << lowest_cp << ", vacuum " << vacuum << ", Cp* " << critical << ")";
    if (c.sweep != 0 && c.expect == Expect::kSubsonic) {
      ASSERT_LT(lowest_cp, 2 / (gamma * m * m) *
                               (std::pow((2 + (gamma - 1) * m * m) / (gamma + 1), 3.5) - 1));
    }

    // What the solution says.
    ASSERT_EQ(load_geometry(file_with(c, c.icompr, "range_corrected")), "");
    const Result r = FOILPMG();
    const std::string element = "element " + std::to_string(ke) + ":";
    switch (c.expect) {
      case Expect::kPastPole:
      case Expect::kVacuum: {
        ASSERT_FALSE(r.ok);
        EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
        EXPECT_EQ(r.message.rfind("Solution failed: ", 0), 0u) << r.message;
        EXPECT_NE(r.message.find(kNames[c.icompr]), std::string::npos) << r.message;
        EXPECT_NE(r.message.find(element), std::string::npos) << r.message;
        EXPECT_TRUE(names_point(r.message, pe)) << pe << ": " << r.message;
        EXPECT_NE(r.message.find(c.expect == Expect::kVacuum ? "vacuum limit" : "has no value"),
                  std::string::npos)
            << r.message;
        break;
      }
      case Expect::kSupersonic:
      case Expect::kSubsonic: {
        ASSERT_TRUE(r.ok) << r.message;
        EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk);
        for (int k = 1; k <= nelem; ++k)
          for (int i = 1; i <= s.NPANELS(k); ++i) {
            const double x = cp0[k - 1][i - 1];
            EXPECT_NEAR(s.CP(i, k), x / denominator(x), 1e-8 * (1 + std::fabs(x)))
                << "element " << k << ", point " << i;
          }
        if (c.expect == Expect::kSubsonic) {
          EXPECT_TRUE(r.warnings.empty()) << r.warnings[0];
          break;
        }
        ASSERT_EQ(r.warnings.size(), 1u);
        const std::string& w = r.warnings[0];
        EXPECT_NE(w.find("locally supersonic"), std::string::npos) << w;
        EXPECT_NE(w.find(kNames[c.icompr]), std::string::npos) << w;
        EXPECT_NE(w.find(element), std::string::npos) << w;
        EXPECT_TRUE(names_point(w, pe)) << pe << ": " << w;
        // The free-stream Mach number, then (with a sweep) the one normal
        // to it, then (for more than one) the count of elements whose
        // lowest Cp lies below Cp*; the state holds the remark whole.
        int below = 0;
        for (int k = 1; k <= nelem; ++k) {
          double lowest_k = 0;
          for (double x : cp0[k - 1]) lowest_k = std::fmin(lowest_k, x / denominator(x));
          below += lowest_k < critical;
        }
        char text[160];
        std::snprintf(text, sizeof text, " at Mach %g", m);
        std::string end = text;
        if (c.sweep != 0) {
          std::snprintf(text, sizeof text, " (normal to the sweep of %g degrees: Mach %g)",
                        c.sweep, mn);
          end += text;
        }
        if (below > 1) end += "; " + std::to_string(below) + " elements reach below Cp*";
        ASSERT_GE(w.size(), end.size()) << w;
        EXPECT_EQ(w.substr(w.size() - end.size()), end) << w;
        EXPECT_EQ(w.find(" at Mach "), w.size() - end.size()) << w;
        EXPECT_EQ(std::string(s.SOLUTION_REMARK.c, s.SOLUTION_REMARK.trimmed_length()), w);
        break;
      }
    }
    text::units().close_all();
  }
}

// Every message a verdict can give fits whole in the state's texts, at its
// widest: each number as wide as %g writes a double, the last control point
// of the last element, five elements below Cp*, every correction's name.
TEST(CompressibilityRange, WidestMessagesFitTheirStateTexts) {
  CorrectionVerdict v;
  v.element = kMaxElements;
  v.point = kMaxPanels;
  v.cp0 = v.cp = v.limit = -1.23457e+300;
  v.mach = -1.23457e-300;
  v.sweep_deg = -1.23457e+300;
  v.supersonic_elements = kMaxElements;
  const int room = static_cast<int>(sizeof state().SOLUTION_REMARK.c);
  ASSERT_EQ(room, static_cast<int>(sizeof state().SOLUTION_MESSAGE.c));
  for (Compressibility kind : {Compressibility::kPrandtlGlauert, Compressibility::kKarmanTsien,
                               Compressibility::kLaitone}) {
    v.kind = kind;
    for (CorrectionRange range :
         {CorrectionRange::kPastPole, CorrectionRange::kVacuum, CorrectionRange::kSupersonic}) {
      v.range = range;
      const std::string m = correction_message(v);
      // A failure's message is written after "Solution failed: ".
      const int length = static_cast<int>(m.size()) +
                         (range == CorrectionRange::kSupersonic ? 0 : 17);
      EXPECT_LE(length, room) << m;
    }
  }
}

// Without a correction nothing is judged: at Mach 0.5 the NACA 0012 at 10
// degrees has Cp0 below the vacuum limit of Mach 0.5, and the solution
// stands as specified, without a remark.
TEST(CompressibilityRange, NoCorrectionTakesNoCheck) {
  const Case c{"naca0012.dat", 10, 0.5, 0, 0, Expect::kSubsonic};
  ASSERT_EQ(load_geometry(file_with(c, 0, "range_none")), "");
  const Result r = FOILPMG();
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_TRUE(r.warnings.empty());
  double lowest = 0;
  for (int i = 1; i <= state().NPANELS(1); ++i) lowest = std::fmin(lowest, state().CP(i, 1));
  EXPECT_LT(lowest, -2 / (1.4 * 0.25));
  text::units().close_all();
}

}  // namespace
}  // namespace sorvane

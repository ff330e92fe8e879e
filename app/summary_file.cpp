// "Save Result": the numbered summary file beside the input file, and the
// panel-geometry table written the same way (no caller).
#include <fstream>
#include <string>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "app/summary_rows.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;
using sorvane::gui::overlay;

namespace {

// The input path less its last four characters, "_", the number, suffix.
FXString numbered_name(const FXString& input, int number, const char* suffix) {
  const FXint keep = input.length() > 4 ? input.length() - 4 : 0;
  return input.left(keep) + "_" + sorvane::gui::string_from_int(number) + suffix;
}

std::string str(const FXString& s) { return std::string(s.text(), s.length()); }

// One line and its line end, flushed.
void put(std::ofstream& out, const std::string& line) { out << line << '\n' << std::flush; }

}  // namespace

long Sorvane_2D::onCmdSaveResult(FXObject*, FXSelector, void*) {
  // The button is enabled only after a load; a message sent before one has
  // no solution to save (and no input name to number the file after).
  if (!loaded) return 1;
  saveCounter += 1;
  writeSummaryFile();
  return 1;
}

void Sorvane_2D::writeSummaryFile() {
  const ProblemState& s = state();
  outPath = numbered_name(inputPath, saveCounter, ".sum");
  if (s.SOLUTION_STATUS == SolutionStatus::kFailed) {
    // A failed solution leaves no numbers worth keeping.
    showError("Save Result", "The last solution failed; " + outPath + " is not written.");
    return;
  }
  std::ofstream out(str(outPath), std::ios::out | std::ios::trunc);
  if (!out) {
    showError("Save Result", "The summary file " + outPath + " cannot be created.");
    return;
  }
  const int ne = sorvane::addressable_elements(s.NELEM);

  put(out, str(ruleLine));
  std::string inputLine = str(inputFileLine);
  overlay(inputLine, 13, str(inputPath));
  put(out, inputLine);
  put(out, str(ruleLine));
  put(out, str(flowHeading));
  {
    std::string line = sorvane::gui::value_line(
        44, {{2, s.ALPHA, 4}, {12, s.MACH, 4}, {22, s.SWEPT, 2}, {32, s.BREF, 4}});
    line += std::to_string(s.NELEM);
    put(out, line);
  }

  for (int k = 1; k <= ne; ++k) {
    put(out, str(ruleLine));
    put(out, str(axisHeading1));
    put(out, str(axisHeading2));
    put(out, str(axisHeading3));
    {
      std::string line = sorvane::gui::value_line(
          89, {{11, s.XAX(k), 4}, {21, s.YAX(k), 4}, {41, s.XX(k), 4}, {51, s.YY(k), 4},
               {62, s.DFL(k), 2}, {72, s.BELEM(k), 4}});
      overlay(line, 5, std::to_string(k));
      put(out, line);
    }
    put(out, str(ruleLine));
    put(out, str(pointHeading));
    put(out, str(ruleLine));
    const int n = s.NPANELS(k);
    for (int j = 1; j <= n + 1 && j <= sorvane::kControlRows; ++j) {
      // The last row is the last node and the additional control point: the
      // solution gives no Cp or V(Gamma) there, so none is written.
      const bool panel = j <= n;
      put(out, sorvane::gui::summary_point_row(j, s.XPN(j, k), s.YPN(j, k), s.XC(j, k),
                                               s.YC(j, k), panel ? s.CP(j, k) : 0.0,
                                               panel ? s.VGAMMA(j, k) : 0.0, s.COSSWEPT, panel));
    }
    put(out, str(ruleLine));
    std::string title = str(elementTitle);
    overlay(title, 51, std::to_string(k));
    put(out, title);
    put(out, str(elementCoefficientHeading));
    put(out, sorvane::gui::value_line(89, {{2, s.CY(k), 4},
                                           {17, s.CX(k), 6},
                                           {32, s.MZ(k), 4},
                                           {48, s.CYGAMMA(k), 4},
                                           {63, s.CYB(k), 4},
                                           {77, s.CMZ0(k), 4}}));
    put(out, str(doubleRuleLine));
  }

  put(out, str(configurationTitle));
  put(out, str(configurationCoefficientHeading));
  put(out, sorvane::gui::value_line(
      89, {{2, s.CYS, 4}, {17, s.CXS, 6}, {32, s.CMS, 4}, {48, s.CYGAMMAS, 4}}));
  put(out, str(doubleRuleLine));
  out.close();
  if (!out) showError("Save Result", "The summary file " + outPath + " was not written completely.");
}

void Sorvane_2D::writeGeometryFile() {
  const ProblemState& s = state();
  reportCounter += 1;
  geoPath = numbered_name(inputPath, reportCounter, ".geo");
  std::ofstream out(str(geoPath), std::ios::out | std::ios::trunc);
  if (!out) {
    showError("Panel geometry", "The file " + geoPath + " cannot be created.");
    return;
  }
  put(out, "******* PANEL GEOMETRY OF AIRFOIL *******");
  const int ne = sorvane::addressable_elements(s.NELEM);
  for (int k = 1; k <= ne; ++k) {
    std::string title = "  ELEMENT   ";
    overlay(title, 10, std::to_string(k));
    put(out, title);
    put(out, "    N     XPN            YPN            XC             YC             Cp");
    const int n = s.NPANELS(k);
    for (int j = 1; j <= n + 1 && j <= sorvane::kControlRows; ++j) {
      const bool panel = j <= n;
      put(out, sorvane::gui::geometry_point_row(j, s.XPN(j, k), s.YPN(j, k), s.XC0(j, k),
                                                s.YC0(j, k), panel ? s.CP(j, k) : 0.0, panel));
    }
  }
  out.close();
  if (!out) showError("Panel geometry", "The file " + geoPath + " was not written completely.");
}

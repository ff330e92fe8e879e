// The recompute cycle: every input handler copies its value into the problem
// state, runs the panel solution, refreshes the window and counts the
// solution. Edits before a file is loaded are ignored.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "app/number_text.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/limits.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;
using sorvane::gui::string_from_double;
using sorvane::gui::string_from_int;
using sorvane::gui::to_int;

namespace {

// A result as its display text; a non-finite value is shown as nothing.
FXString display(double value, int decimals) {
  return std::isfinite(value) ? string_from_double(value, decimals) : FXString();
}

// Whether the typed panel counts of the n present elements can be solved:
// every count within 2..kMaxPanels and their equations within the panel
// system's. The first fault found is the message.
sorvane::Result panel_counts_allowed(const int* typed, int n) {
  int equations = 0;
  for (int i = 0; i < n; ++i) {
    if (!sorvane::panel_count_allowed(typed[i]))
      return sorvane::Result::failure(
          "Npanels= " + std::to_string(typed[i]) + " of element " +
          std::to_string(i + 1) + " is outside 2.." + std::to_string(sorvane::kMaxPanels) + ".");
    equations += typed[i] + 1;
  }
  if (!sorvane::equation_count_allowed(equations))
    return sorvane::Result::failure("The panel counts give " + std::to_string(equations) +
                                    " equations (the sum of Npanels+1); at most " +
                                    std::to_string(sorvane::kMaxEquations) + " are possible.");
  return sorvane::Result::success();
}

// Why the last solution failed: the solver's message reads "Solution
// failed: <reason>"; the label and the box say that once.
FXString failure_reason(const ProblemState& s) {
  FXString reason(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length());
  const FXString lead("Solution failed: ");
  if (reason.left(lead.length()) == lead) reason.erase(0, lead.length());
  return reason;
}

// Lines joined by sep.
FXString joined(const std::vector<std::string>& lines, const char* sep) {
  FXString text;
  for (const std::string& l : lines) {
    if (!text.empty()) text += sep;
    text += l.c_str();
  }
  return text;
}

}  // namespace

std::vector<std::string> Sorvane_2D::takeNewListingFailures() {
  sorvane::text::units().flush_all();
  std::vector<std::string> fresh;
  for (const std::string& m : sorvane::text::units().failure_messages()) {
    if (std::find(shownListingFailures.begin(), shownListingFailures.end(), m) !=
        shownListingFailures.end())
      continue;
    fresh.push_back(m);
    shownListingFailures.push_back(m);
  }
  return fresh;
}

void Sorvane_2D::updateStatusLabel() {
  const ProblemState& s = state();
  FXString text;
  if (s.SOLUTION_STATUS == SolutionStatus::kFailed) {
    text = "Solution failed: " + failure_reason(s);
  } else if (s.SOLUTION_REMARK.trimmed_length() > 0) {
    // A valid solution with a remark (locally supersonic flow): the numbers
    // stay shown, and the field says what they are worth.
    text = "Remark: " + FXString(s.SOLUTION_REMARK.c, s.SOLUTION_REMARK.trimmed_length());
  }
  const FXString lost = joined(sorvane::text::units().failure_messages(), "; ");
  if (!lost.empty()) text += (text.empty() ? "" : "; ") + lost;
  configurationLabel->setStatus(text.empty() ? configurationText : text);
}

void Sorvane_2D::recompute() {
  sorvane::FOILPMG();
  refreshResults();
  state().NCOMPUTE += 1;
}

long Sorvane_2D::onCmdAlpha(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  state().ALPHA = alphaSpinner->getValue();
  recompute();
  return 1;
}

long Sorvane_2D::onCmdMach(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  state().MACH = machSpinner->getValue();
  recompute();
  return 1;
}

long Sorvane_2D::onCmdSwept(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  state().SWEPT = sweptSpinner->getValue();
  recompute();
  return 1;
}

// Reads a real-number field. A text that is empty, no number or beyond the
// range of numbers is refused (the toolkit's conversion would make 0 or
// infinity of it): the field gets its previous value back, one box says
// what was typed and why it cannot be used, and false is returned.
bool Sorvane_2D::readRealField(FXTextField* field, FXString& text, double previous,
                               double& value, const char* name) {
  const FXString typed = field->getText();
  double v = 0.0;
  const sorvane::gui::NumberText outcome = sorvane::gui::read_number_text(typed, v);
  if (outcome != sorvane::gui::NumberText::kNumber) {
    text = string_from_double(previous, 4);
    field->setText(text, FALSE);
    showError("Input", sorvane::gui::refused_number_message(name, typed, outcome,
                                                            "The previous value is kept."));
    return false;
  }
  text = typed;
  value = v;
  return true;
}

long Sorvane_2D::onCmdReynolds(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  double v = remillValue;
  if (!readRealField(remillField, remillText, remillValue, v, "Re mill=")) return 1;
  state().REMILL = v;
  remillValue = v;
  recompute();
  return 1;
}

long Sorvane_2D::onCmdNpanels(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  ProblemState& s = state();
  const int n = sorvane::addressable_elements(s.NELEM);
  // A count outside its range or a total beyond the panel system's
  // equations is refused as a whole.
  int typed[sorvane::kMaxElements] = {};
  for (int i = 0; i < n; ++i) typed[i] = to_int(elements[i].npanelsField->getText());
  const sorvane::Result counts = panel_counts_allowed(typed, n);
  if (!counts) {
    for (int i = 0; i < n; ++i) {
      ElementTab& t = elements[i];
      t.npanelsText = string_from_int(t.npanelsValue);
      t.npanelsField->setText(t.npanelsText, FALSE);
    }
    showError("Npanels", FXString(counts.message.c_str()) + " The previous values are kept.");
    return 1;
  }
  for (int i = 0; i < n; ++i) {
    ElementTab& t = elements[i];
    t.npanelsText = t.npanelsField->getText();
    s.NPANELS(i + 1) = typed[i];
    t.npanelsValue = typed[i];
  }
  recompute();
  return 1;
}

// "Xtru=" (surface 1) or "Xtrl=" (surface 2) of every present element into the
// state and the window's own values; a field that does not hold a number
// refuses the whole edit.
void Sorvane_2D::transitionEdit(int surface, FXTextField* ElementTab::*field,
                                FXString ElementTab::*text, double ElementTab::*value,
                                const char* label) {
  if (!loaded) return;
  const int n = sorvane::addressable_elements(state().NELEM);
  double v[sorvane::kMaxElements];
  for (int i = 0; i < n; ++i) {
    ElementTab& t = elements[i];
    v[i] = t.*value;
    if (!readRealField(t.*field, t.*text, t.*value, v[i], label)) return;
  }
  for (int i = 0; i < n; ++i) {
    state().XTR(i + 1, surface) = v[i];
    elements[i].*value = v[i];
  }
  recompute();
}

long Sorvane_2D::onCmdXtru(FXObject*, FXSelector, void*) {
  transitionEdit(1, &ElementTab::xtruField, &ElementTab::xtruText, &ElementTab::xtruValue,
                 "Xtru=");
  return 1;
}

long Sorvane_2D::onCmdXtrl(FXObject*, FXSelector, void*) {
  transitionEdit(2, &ElementTab::xtrlField, &ElementTab::xtrlText, &ElementTab::xtrlValue,
                 "Xtrl=");
  return 1;
}

// The placement spinners of every present element into the state; with the
// panel counts and transition positions the window holds when asked.
void Sorvane_2D::elementPlacementToState(bool withPanelsAndTransition) {
  ProblemState& s = state();
  const int n = sorvane::addressable_elements(s.NELEM);
  for (int i = 0; i < n; ++i) {
    const int k = i + 1;
    ElementTab& t = elements[i];
    t.angleSpinner->setIncrement(angleStepSpinner->getValue());
    s.DFL(k) = t.angleSpinner->getValue();
    s.XAX(k) = t.xfSpinner->getValue();
    s.YAX(k) = t.yfSpinner->getValue();
    s.XX(k) = t.xcSpinner->getValue();
    s.YY(k) = t.ycSpinner->getValue();
    if (withPanelsAndTransition) {
      s.NPANELS(k) = t.npanelsValue;
      s.XTR(k, 1) = t.xtruValue;
      s.XTR(k, 2) = t.xtrlValue;
    }
  }
}

void Sorvane_2D::setPlacementRange(FXRealSpinner* spinner, int p, double value) {
  double lo = kPlacementRanges[p][0], hi = kPlacementRanges[p][1];
  if (std::isfinite(value)) {
    lo = std::min(lo, value);
    hi = std::max(hi, value);
  }
  spinner->setRange(lo, hi, FALSE);
}

void Sorvane_2D::showPlacementInEffect() {
  ProblemState& s = state();
  const bool fromContour = sorvane::placement_from_contour(s.IPOS);
  const int n = sorvane::addressable_elements(s.NELEM);
  for (int i = 0; i < n; ++i) {
    const int k = i + 1;
    const ElementTab& t = elements[i];
    // "Xf=", "Yf=", "Xc=", "Yc=", "Angle=": the spinners and the values in
    // effect.
    const std::array<FXRealSpinner*, 5> spinners = t.placementSpinners();
    const double inEffect[5] = {s.XAX(k), s.YAX(k), s.XX(k), s.YY(k), s.DFL(k)};
    for (int p = 0; p < 5; ++p) {
      FXRealSpinner* const spinner = spinners[p];
      if (!fromContour) {
        // Stored placement values: the user's, edited within the ranges.
        // Back from the contours, the range takes the stored value (the
        // one the spinner shows), so that re-enabling clamps nothing.
        if (!spinner->isEnabled()) {
          setPlacementRange(spinner, p, inEffect[p]);
          spinner->enable();
          spinner->setTipText(FXString());
        }
        continue;
      }
      // The solution derived the placement from the contour: shown as it
      // is, beyond the editing range too (the spinner takes no edit).
      setPlacementRange(spinner, p, inEffect[p]);
      spinner->setValue(inEffect[p], FALSE);
      spinner->disable();
      spinner->setTipText(kPlacementFromContourTip);
    }
  }
}

long Sorvane_2D::onCmdElementParam(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  elementPlacementToState(true);
  recompute();
  return 1;
}

long Sorvane_2D::onCmdElementPosition1(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  elementPlacementToState(false);
  recompute();
  return 1;
}
long Sorvane_2D::onCmdElementPosition2(FXObject* o, FXSelector s, void* p) {
  return onCmdElementPosition1(o, s, p);
}
long Sorvane_2D::onCmdElementPosition3(FXObject* o, FXSelector s, void* p) {
  return onCmdElementPosition1(o, s, p);
}
long Sorvane_2D::onCmdElementPosition4(FXObject* o, FXSelector s, void* p) {
  return onCmdElementPosition1(o, s, p);
}

long Sorvane_2D::onCmdCompressibility(FXObject*, FXSelector sel, void*) {
  if (!loaded) return 1;
  const int choice = FXSELID(sel) - ID_COMPR_NONE;
  for (int i = 0; i < 4; ++i) compressibilityRadio[i]->setCheck(i == choice, FALSE);
  state().ICOMPR = choice;
  recompute();
  return 1;
}

long Sorvane_2D::onCmdTECondition(FXObject*, FXSelector sel, void*) {
  if (!loaded) return 1;
  const bool addPoint = FXSELID(sel) == ID_TE_ADD_POINT;
  addPointRadio->setCheck(addPoint, FALSE);
  cpEqualRadio->setCheck(!addPoint, FALSE);
  state().ITE = addPoint ? 0 : 1;
  recompute();
  return 1;
}

long Sorvane_2D::onCmdAxisSource(FXObject*, FXSelector sel, void*) {
  if (!loaded) return 1;
  state().IPOS = FXSELID(sel) == ID_AXIS_FROM_FILE ? 0 : 1;
  recompute();
  return 1;
}

void Sorvane_2D::refreshResults() {
  ProblemState& s = state();
  const int n = sorvane::addressable_elements(s.NELEM);

  // 1. The window's own values of the panel counts, transition positions and
  // Reynolds number go back into the state.
  if (n > 0) {
    for (int i = 0; i < n; ++i) {
      const ElementTab& t = elements[i];
      s.XTR(i + 1, 1) = t.xtruValue;
      s.NPANELS(i + 1) = t.npanelsValue;
      s.XTR(i + 1, 2) = t.xtrlValue;
    }
    s.REMILL = remillValue;
  }
  showPlacementInEffect();

  // 2. Plot at once.
  computePlotBounds();
  drawGrid();
  drawPressureCurves();
  drawGeometry();

  // 3., 4. Result strings; after a failed solution there are no results to
  // show, only the reason. "Multielement configuration:" also names every
  // listing that lost records (the numbers stand: only a listing was lost),
  // and a box says each such loss once.
  const bool failed = s.SOLUTION_STATUS == SolutionStatus::kFailed;
  const FXString lost = joined(takeNewListingFailures(), "\n");
  updateStatusLabel();
  if (failed) {
    cliftText = cliftGammaText = cdragText = cmzText = FXString();
    brefText = display(s.BREF, 4);
    for (int i = 0; i < sorvane::kMaxElements; ++i) {
      ElementTab& t = elements[i];
      t.elementCliftText = t.elementCliftGammaText = t.elementCliftBText = FXString();
      t.elementCdragText = t.elementCmz0Text = t.elementCmzText = FXString();
      t.belemText = i < n ? display(s.BELEM(i + 1), 4) : FXString();
    }
    if (!failureShown) {
      failureShown = true;
      showError("Solution failed", "The panel solution failed: " + failure_reason(s) +
                                       (lost.empty() ? FXString() : "\n" + lost));
    } else if (!lost.empty()) {
      showError("Listings", lost);
    }
    return;
  }
  failureShown = false;
  if (!lost.empty()) showError("Listings", lost);
  cliftText = display(s.CYS, 4);
  cliftGammaText = display(s.CYGAMMAS, 4);
  cdragText = display(s.CXS, 6);
  cmzText = display(s.CMS, 4);
  brefText = display(s.BREF, 4);
  for (int i = 0; i < n; ++i) {
    const int k = i + 1;
    ElementTab& t = elements[i];
    t.elementCliftText = display(s.CY(k), 4);
    t.elementCliftGammaText = display(s.CYGAMMA(k), 4);
    t.elementCliftBText = display(s.CYB(k), 4);
    t.elementCdragText = display(s.CX(k), 6);
    t.elementCmz0Text = display(s.CMZ0(k), 6);
    t.elementCmzText = display(s.MZ(k), 4);
    t.belemText = display(s.BELEM(k), 4);
  }
}

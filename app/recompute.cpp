// The recompute cycle: every input handler copies its value into the problem
// state, runs the panel solution, refreshes the window and counts the
// solution. Edits before a file is loaded are ignored.
#include <cmath>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;
using sorvane::gui::string_from_double;
using sorvane::gui::string_from_int;
using sorvane::gui::to_double;
using sorvane::gui::to_int;

namespace {

int present_elements() {
  const int n = state().NELEM;
  return n < 0 ? 0 : (n > 5 ? 5 : n);
}

// A result as its display text; a non-finite value is shown as nothing.
FXString display(double value, int decimals) {
  return std::isfinite(value) ? string_from_double(value, decimals) : FXString();
}

}  // namespace

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

// Reads a real-number field. A text that gives no finite number is refused:
// the field gets its previous value back and false is returned.
bool Sorvane_2D::readRealField(FXTextField* field, FXString& text, double previous,
                               double& value, const char* name) {
  const FXString typed = field->getText();
  const double v = to_double(typed);
  if (!std::isfinite(v)) {
    text = string_from_double(previous, 4);
    field->setText(text, FALSE);
    showError("Input", FXString(name) + " \"" + typed + "\" is not a finite number.");
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
  const int n = present_elements();
  // Check every element's count first: a count outside 2..599 or a total
  // beyond the panel system's 1199 equations is refused as a whole.
  int typed[5] = {};
  int equations = 0;
  FXString fault;
  for (int i = 0; i < n; ++i) {
    typed[i] = to_int(npanelsField[i]->getText());
    equations += typed[i] + 1;
    if (fault.empty() && (typed[i] < 2 || typed[i] > sorvane::kMaxPanels))
      fault = "Npanels= " + string_from_int(typed[i]) + " of element " + string_from_int(i + 1) +
              " is outside 2.." + string_from_int(sorvane::kMaxPanels) + ".";
  }
  if (fault.empty() && equations > sorvane::kMaxEquations)
    fault = "The panel counts give " + string_from_int(equations) +
            " equations (the sum of Npanels+1); at most " +
            string_from_int(sorvane::kMaxEquations) + " are possible.";
  if (!fault.empty()) {
    for (int i = 0; i < n; ++i) {
      npanelsText[i] = string_from_int(npanelsValue[i]);
      npanelsField[i]->setText(npanelsText[i], FALSE);
    }
    showError("Npanels", fault + " The previous values are kept.");
    return 1;
  }
  for (int i = 0; i < n; ++i) {
    npanelsText[i] = npanelsField[i]->getText();
    s.NPANELS(i + 1) = typed[i];
    npanelsValue[i] = typed[i];
  }
  recompute();
  return 1;
}

// "Xtru=" (surface 1) or "Xtrl=" (surface 2) of every present element into the
// state and the window's own values; a field that does not hold a number
// refuses the whole edit.
void Sorvane_2D::transitionEdit(int surface, FXTextField* const* fields, FXString* texts,
                                double* values, const char* label) {
  if (!loaded) return;
  const int n = present_elements();
  double v[5];
  for (int i = 0; i < n; ++i) {
    v[i] = values[i];
    if (!readRealField(fields[i], texts[i], values[i], v[i], label)) return;
  }
  for (int i = 0; i < n; ++i) {
    state().XTR(i + 1, surface) = v[i];
    values[i] = v[i];
  }
  recompute();
}

long Sorvane_2D::onCmdXtru(FXObject*, FXSelector, void*) {
  transitionEdit(1, xtruField, xtruText, xtruValue, "Xtru=");
  return 1;
}

long Sorvane_2D::onCmdXtrl(FXObject*, FXSelector, void*) {
  transitionEdit(2, xtrlField, xtrlText, xtrlValue, "Xtrl=");
  return 1;
}

// The placement spinners of every present element into the state; with the
// panel counts and transition positions the window holds when asked.
void Sorvane_2D::elementPlacementToState(bool withPanelsAndTransition) {
  ProblemState& s = state();
  const int n = present_elements();
  for (int i = 0; i < n; ++i) {
    const int k = i + 1;
    angleSpinner[i]->setIncrement(angleStepSpinner->getValue());
    s.DFL(k) = angleSpinner[i]->getValue();
    s.XAX(k) = xfSpinner[i]->getValue();
    s.YAX(k) = yfSpinner[i]->getValue();
    s.XX(k) = xcSpinner[i]->getValue();
    s.YY(k) = ycSpinner[i]->getValue();
    if (withPanelsAndTransition) {
      s.NPANELS(k) = npanelsValue[i];
      s.XTR(k, 1) = xtruValue[i];
      s.XTR(k, 2) = xtrlValue[i];
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
  const int n = present_elements();

  // 1. The window's own values of the panel counts, transition positions and
  // Reynolds number go back into the state.
  if (n > 0) {
    for (int i = 0; i < n; ++i) {
      s.XTR(i + 1, 1) = xtruValue[i];
      s.NPANELS(i + 1) = npanelsValue[i];
      s.XTR(i + 1, 2) = xtrlValue[i];
    }
    s.REMILL = remillValue;
  }

  // 2. Plot at once.
  computePlotBounds();
  drawGrid();
  drawPressureCurves();
  drawGeometry();

  // 3., 4. Result strings; after a failed solution there are no results to
  // show, only the reason.
  const bool failed = s.SOLUTION_STATUS == SolutionStatus::kFailed;
  if (failed) {
    const FXString reason(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length());
    cliftText = cliftGammaText = cdragText = cmzText = FXString();
    brefText = display(s.BREF, 4);
    for (int i = 0; i < 5; ++i) {
      elementCliftText[i] = elementCliftGammaText[i] = elementCliftBText[i] = FXString();
      elementCdragText[i] = elementCmz0Text[i] = elementCmzText[i] = FXString();
      belemText[i] = i < n ? display(s.BELEM(i + 1), 4) : FXString();
    }
    configurationLabel->setText("Solution failed: " + reason);
    if (!failureShown) {
      failureShown = true;
      showError("Solution failed", "The panel solution failed: " + reason);
    }
    return;
  }
  if (failureShown) {
    failureShown = false;
    configurationLabel->setText(configurationText);
  }
  cliftText = display(s.CYS, 4);
  cliftGammaText = display(s.CYGAMMAS, 4);
  cdragText = display(s.CXS, 6);
  cmzText = display(s.CMS, 4);
  brefText = display(s.BREF, 4);
  for (int i = 0; i < n; ++i) {
    const int k = i + 1;
    elementCliftText[i] = display(s.CY(k), 4);
    elementCliftGammaText[i] = display(s.CYGAMMA(k), 4);
    elementCliftBText[i] = display(s.CYB(k), 4);
    elementCdragText[i] = display(s.CX(k), 6);
    elementCmz0Text[i] = display(s.CMZ0(k), 6);
    elementCmzText[i] = display(s.MZ(k), 4);
    belemText[i] = display(s.BELEM(k), 4);
  }
}

// The boundary-layer dialog's handlers: element, surface and quantity
// choice, repainting, and "Recalculate", which applies the shown element's
// transition positions and the Reynolds number, hands them to the main
// window and runs the boundary layer again.
#include <cmath>

#include "app/bl_dialog.h"
#include "app/main_window.h"
#include "app/number_text.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::state;
using sorvane::gui::NumberText;
using sorvane::gui::read_number_text;
using sorvane::gui::read_positive_number_text;
using sorvane::gui::refused_number_message;
using sorvane::gui::string_from_double;

bool BlCalc_2D::elementFromSpinner() {
  currentElement = elementSpinner->getValue() - 1;
  if (currentElement >= elementCount) currentElement = elementCount - 1;
  if (currentElement < 0) currentElement = 0;
  return elementCount >= 1;
}

long BlCalc_2D::onCmdElement(FXObject*, FXSelector, void*) {
  if (!elementFromSpinner()) return 1;
  const int k = currentElement + 1;
  colorSwatch->setBackColor(fxcolorfromname(elementColor[currentElement]));
  // The transition positions of the run this dialog shows.
  strValue[0] = ownRun.surface[k - 1][0].xtr;
  strValue[1] = ownRun.surface[k - 1][1].xtr;
  drawPlots();
  return 1;
}

long BlCalc_2D::onPaintPlots(FXObject*, FXSelector, void*) {
  drawPlots();
  return 1;
}

long BlCalc_2D::onCmdSurface(FXObject*, FXSelector sel, void*) {
  if (!elementFromSpinner()) return 1;
  // The toolkit has checked the clicked button already.
  if (FXSELID(sel) == ID_UPPER_SURFACE) {
    surfaceRadio[1]->setCheck(FALSE);
    shownSurface[currentElement] = 0;
  } else {
    surfaceRadio[0]->setCheck(FALSE);
    shownSurface[currentElement] = 1;
  }
  drawPlots();
  return 1;
}

void BlCalc_2D::quantityChosen(int surface, int code) {
  if (!elementFromSpinner()) return;
  plottedQuantity[surface][currentElement] = code;
  drawPlots();
}

long BlCalc_2D::onCmdUpperQuantity(FXObject*, FXSelector sel, void*) {
  quantityChosen(0, FXSELID(sel) - ID_UPPER_CF);
  return 1;
}

long BlCalc_2D::onCmdLowerQuantity(FXObject*, FXSelector sel, void*) {
  quantityChosen(1, FXSELID(sel) - ID_LOWER_CF);
  return 1;
}

// A value into a field of the main window (four decimals, without
// notification) and into the window's own copy of it.
void BlCalc_2D::passOn(FXTextField* field, double& stored, double value) {
  scratchText = string_from_double(value, 4);
  field->setText(scratchText, FALSE);
  stored = value;
}

long BlCalc_2D::onCmdRecalculate(FXObject*, FXSelector, void*) {
  if (!mainWindow || elementCount < 1) return 1;
  const int e = currentElement, k = e + 1;

  // Whether the fields' texts can be used is read from the texts
  // themselves: the bound values are the toolkit's conversions of them,
  // which make 0 of an empty field or of a text that is no number and
  // infinity of one beyond the range of numbers. The Reynolds number must
  // be a number above 0, the transition positions numbers; otherwise
  // nothing is applied, and the dialog holds again the values of the run it
  // shows, so that neither its next drawing nor its closing passes a
  // refused text on. A usable text is applied as the number it says; where
  // it is the field's own display of its value (six digits of a value the
  // program set and the user did not touch), the value itself is applied.
  struct Checked {
    const char* label;
    FXTextField* field;
    double* value;
    double previous;
    bool positive;
  };
  const Checked checked[] = {
      {"Re(mill) =", reynoldsField, &reynoldsValue, ownRun.remill, true},
      {"Str u=", strField[0], &strValue[0], ownRun.surface[e][0].xtr, false},
      {"Str l=", strField[1], &strValue[1], ownRun.surface[e][1].xtr, false},
  };
  for (const Checked& c : checked) {
    const FXString typed = c.field->getText();
    double number = 0.0;
    const NumberText outcome =
        c.positive ? read_positive_number_text(typed, number) : read_number_text(typed, number);
    if (outcome == NumberText::kNumber) {
      if (typed != FXStringVal(*c.value)) *c.value = number;
      continue;
    }
    for (const Checked& other : checked) *other.value = other.previous;
    mainWindow->showErrorOver(
        this, "Recalculate",
        refused_number_message(c.label, typed, outcome, "Nothing was changed."));
    return 1;
  }

  // Into the state, and the run with the new values.
  ProblemState& s = state();
  const double before[3] = {s.XTR(k, 1), s.XTR(k, 2), s.REMILL};
  s.XTR(k, 2) = strValue[1];
  s.XTR(k, 1) = strValue[0];
  s.REMILL = reynoldsValue;
  mainWindow->runBoundaryLayer();

  if (!mainWindow->blRun.storeWritten) {
    // Refused as a whole (a Reynolds number whose run overflows, a failed
    // panel solution): no run took the values. As with a refused text,
    // nothing is changed: the state keeps the values before, the main
    // window is not told, and the dialog's fields show its own run again.
    s.XTR(k, 1) = before[0];
    s.XTR(k, 2) = before[1];
    s.REMILL = before[2];
    reynoldsValue = ownRun.remill;
    drawPlots();  // the fields of the shown run
    if (!mainWindow->blRun.failures.empty())
      mainWindow->blRun.failures.back() += " Nothing was changed.";
    mainWindow->reportBoundaryLayerRun(this);
    return 1;
  }

  // Into the main window's fields and its own values, without
  // notification: the main window neither recomputes nor redraws, and its
  // next recompute keeps these values.
  Sorvane_2D::ElementTab& tab = mainWindow->elements[e];
  passOn(mainWindow->remillField, mainWindow->remillValue, reynoldsValue);
  passOn(tab.xtruField, tab.xtruValue, strValue[0]);
  passOn(tab.xtrlField, tab.xtrlValue, strValue[1]);

  // This run is now the one the dialog shows; the plots, then what the run
  // said.
  ownRun.take(elementCount);
  drawPlots();
  mainWindow->reportBoundaryLayerRun(this);
  return 1;
}

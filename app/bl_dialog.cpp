// The boundary-layer dialog: class registration, message map, the widget
// tree, the per-element state, the value ranges and the radio rules.
#include "app/bl_dialog.h"

#include <algorithm>
#include <iterator>

#include "app/main_window.h"
#include "app/widget_kit.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::state;

static_assert(BlCalc_2D::ID_CANVAS_QUANTITY > static_cast<int>(FXDialogBox::ID_ACCEPT),
              "the dialog's identifiers must follow the toolkit's");
static_assert(BlCalc_2D::ID_UPPER_H12 - BlCalc_2D::ID_UPPER_CF == 4 &&
                  BlCalc_2D::ID_LOWER_CF - BlCalc_2D::ID_UPPER_CF ==
                      BlCalc_2D::kPlottedQuantities &&
                  BlCalc_2D::ID_LOWER_H12 - BlCalc_2D::ID_LOWER_CF == 4,
              "each quantity group is consecutive, Cf to H12");
static_assert(BlCalc_2D::ID_UPPER_SURFACE == BlCalc_2D::ID_LOWER_H12 + 1 &&
                  BlCalc_2D::ID_LOWER_SURFACE == BlCalc_2D::ID_UPPER_SURFACE + 1 &&
                  BlCalc_2D::ID_ELEMENT == BlCalc_2D::ID_LOWER_SURFACE + 1 &&
                  BlCalc_2D::ID_RECALCULATE == BlCalc_2D::ID_ELEMENT + 2,
              "identifier order and gaps");

// The message map, searched in this order.
FXDEFMAP(BlCalc_2D) BlCalc_2DMap[] = {
    FXMAPFUNC(SEL_PAINT, BlCalc_2D::ID_CANVAS_QUANTITY, BlCalc_2D::onPaintPlots),
    FXMAPFUNC(SEL_PAINT, BlCalc_2D::ID_CANVAS_UE, BlCalc_2D::onPaintPlots),
    FXMAPFUNCS(SEL_COMMAND, BlCalc_2D::ID_UPPER_SURFACE, BlCalc_2D::ID_LOWER_SURFACE,
               BlCalc_2D::onCmdSurface),
    FXMAPFUNCS(SEL_COMMAND, BlCalc_2D::ID_UPPER_CF, BlCalc_2D::ID_UPPER_H12,
               BlCalc_2D::onCmdUpperQuantity),
    FXMAPFUNCS(SEL_COMMAND, BlCalc_2D::ID_LOWER_CF, BlCalc_2D::ID_LOWER_H12,
               BlCalc_2D::onCmdLowerQuantity),
    FXMAPFUNC(SEL_COMMAND, BlCalc_2D::ID_ELEMENT, BlCalc_2D::onCmdElement),
    FXMAPFUNC(SEL_COMMAND, BlCalc_2D::ID_RECALCULATE, BlCalc_2D::onCmdRecalculate),
};

FXIMPLEMENT(BlCalc_2D, FXDialogBox, BlCalc_2DMap, ARRAYNUMBER(BlCalc_2DMap))

namespace {

using sorvane::gui::label;

// A label and a real-number field bound to its value's data target.
FXTextField* field(FXComposite* parent, const char* text, int columns, FXDataTarget& target) {
  return sorvane::gui::real_field(parent, text, columns, &target, FXDataTarget::ID_VALUE);
}

}  // namespace

BlCalc_2D::BlCalc_2D() {}

BlCalc_2D::BlCalc_2D(Sorvane_2D* owner)
    : FXDialogBox(owner, "BL calculation. Multielement aerofoil", DECOR_ALL, 500, 500, 800, 630,
                  10, 10, 10, 10, 4, 4) {
  // Values bound to their fields.
  reynoldsTarget.connect(reynoldsValue);
  for (int j = 0; j < 2; ++j) {
    strTarget[j].connect(strValue[j]);
    ssepTarget[j].connect(ssepValue[j]);
    xsepTarget[j].connect(xsepValue[j]);
  }
  scratchText = FXString();
  mainWindow = owner;

  // The widget tree.
  FXVerticalFrame* outer = new FXVerticalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);

  FXHorizontalFrame* legend = new FXHorizontalFrame(outer, LAYOUT_RIGHT | LAYOUT_FILL_Y);
  transitionLegend =
      new FXLabel(legend, "Blue circle label - Pos.of transition.", nullptr, JUSTIFY_RIGHT);
  transitionLegend->setTextColor(FXRGB(0, 0, 255));
  separationLegend =
      new FXLabel(legend, "      Red circle label - Pos.of separation ", nullptr, JUSTIFY_RIGHT);
  separationLegend->setTextColor(FXRGB(255, 0, 0));

  FXHorizontalFrame* body = new FXHorizontalFrame(outer, LAYOUT_FILL_X | LAYOUT_FILL_Y);
  FXVerticalFrame* left = new FXVerticalFrame(body, PACK_UNIFORM_WIDTH | LAYOUT_FILL_Y);
  FXVerticalFrame* controls = new FXVerticalFrame(left, 0);

  {
    FXHorizontalFrame* row = new FXHorizontalFrame(controls, LAYOUT_FILL_Y);
    reynoldsField = field(row, "Re(mill) =", 7, reynoldsTarget);
    label(row, " ");
  }
  {
    FXHorizontalFrame* row = new FXHorizontalFrame(controls, LAYOUT_FILL_Y);
    label(row, "N elem.=");
    elementSpinner =
        new FXSpinner(row, 2, this, ID_ELEMENT, SPIN_CYCLIC | sorvane::gui::kSpinnerStyle);
    // A spinner cannot hold an empty range; the dialog is made for at
    // least one element.
    const int n = sorvane::addressable_elements(state().NELEM);
    elementSpinner->setRange(1, n > 0 ? n : 1, FALSE);
    colorSwatch = label(row, "   ");
  }

  const char* surfaceNames[2] = {"Upper surf.", "Lower surf."};
  const char* quantityNames[kPlottedQuantities] = {"Cf(x)", "D1(x)", "D2(x)", "RV(x)", "H12(x)"};
  const char* rowNames[2][3] = {{"Str u=", "Ssep u", "Xsep u"}, {"Str l=", "Ssep l", "Xsep l"}};
  for (int j = 0; j < 2; ++j) {
    surfaceRadio[j] = new FXRadioButton(controls, surfaceNames[j], this,
                                        j == 0 ? ID_UPPER_SURFACE : ID_LOWER_SURFACE,
                                        RADIOBUTTON_NORMAL | LAYOUT_CENTER_Y);
    FXVerticalFrame* inGroup =
        new FXVerticalFrame(sorvane::gui::group(controls, ""), LAYOUT_FILL_Y);
    const int first = j == 0 ? ID_UPPER_CF : ID_LOWER_CF;
    for (int q = 0; q < kPlottedQuantities; ++q)
      quantityRadio[q][j] =
          new FXRadioButton(inGroup, quantityNames[q], this, first + q, RADIOBUTTON_NORMAL);
    FXMatrix* values = sorvane::gui::matrix(inGroup, 2);
    strField[j] = field(values, rowNames[j][0], 9, strTarget[j]);
    ssepField[j] = field(values, rowNames[j][1], 9, ssepTarget[j]);
    xsepField[j] = field(values, rowNames[j][2], 9, xsepTarget[j]);
    ssepField[j]->setEditable(FALSE);
    xsepField[j]->setEditable(FALSE);
  }

  {
    FXVerticalFrame* frame = new FXVerticalFrame(controls, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    // Width and height are given but not fixed: the toolkit sizes the
    // button to its text.
    recalculateButton = new FXButton(frame, "Recalculate", nullptr, this, ID_RECALCULATE,
                                     sorvane::gui::kButtonStyle, 0, 0, 300, 40);
  }
  new FXHorizontalFrame(left, LAYOUT_FILL_X | LAYOUT_FILL_Y);

  {
    FXVerticalFrame* plots =
        new FXVerticalFrame(body, FRAME_GROOVE | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    ueCanvas = sorvane::gui::plot_canvas(plots, this, ID_CANVAS_UE);
    quantityCanvas = sorvane::gui::plot_canvas(plots, this, ID_CANVAS_QUANTITY);
    quantityCanvas->disable();  // still painted
  }

  // Element colours, the per-element state and its radios, the run it
  // shows and its ranges.
  std::copy(std::begin(sorvane::gui::kElementColors), std::end(sorvane::gui::kElementColors),
            elementColor);
  allocateArrays();
  initElementState();
  updateRadios();
  ownRun.take(elementCount);
  collectRanges();

  // The fields, the swatch and the spinner of the current element.
  if (elementCount > 0) {
    loadSurfaceFields(currentElement + 1);
    colorSwatch->setBackColor(fxcolorfromname(elementColor[currentElement]));
  }
  reynoldsValue = state().REMILL;
  elementSpinner->setValue(currentElement + 1, FALSE);
}

BlCalc_2D::~BlCalc_2D() {
  // Only a dialog made on results carries a Reynolds number of its own; the
  // factory's empty object leaves the state alone.
  if (mainWindow) state().REMILL = reynoldsValue;
  // The fields outlive the data targets (the base destroys the widgets
  // after the members): they must not reach them on the way out.
  if (reynoldsField) reynoldsField->setTarget(nullptr);
  for (int j = 0; j < 2; ++j) {
    if (strField[j]) strField[j]->setTarget(nullptr);
    if (ssepField[j]) ssepField[j]->setTarget(nullptr);
    if (xsepField[j]) xsepField[j]->setTarget(nullptr);
  }
}

void BlCalc_2D::placeOnScreen() {
  const FXint screenWidth = getApp()->getRootWindow()->getWidth();
  const FXint screenHeight = getApp()->getRootWindow()->getHeight();
  FXint w = getWidth(), h = getHeight();
  if (getDefaultWidth() > w) w = getDefaultWidth();
  if (getDefaultHeight() > h) h = getDefaultHeight();
  if (w > screenWidth) w = screenWidth;
  if (h > screenHeight) h = screenHeight;
  FXint x = getX(), y = getY();
  if (x + w > screenWidth) x = screenWidth - w > 0 ? screenWidth - w : 0;
  if (y + h > screenHeight) y = screenHeight - h > 0 ? screenHeight - h : 0;
  position(x, y, w, h);
}

void BlCalc_2D::allocateArrays() {
  elementCount = sorvane::addressable_elements(state().NELEM);
  shownSurface.resize(elementCount);
  for (int j = 0; j < 2; ++j) plottedQuantity[j].resize(elementCount);
  for (int q = 0; q < Q_COUNT; ++q)
    for (int j = 0; j < 2; ++j) {
      rangeMin[q][j].resize(elementCount);
      rangeMax[q][j].resize(elementCount);
    }
}

void BlCalc_2D::initElementState() {
  // The element of the main window's current tab; a tab beyond the present
  // elements (never shown after a load) gives the last one.
  currentElement = 0;
  if (mainWindow && mainWindow->elementTabBook)
    currentElement = mainWindow->elementTabBook->getCurrent();
  if (currentElement >= elementCount) currentElement = elementCount - 1;
  if (currentElement < 0) currentElement = 0;
  for (int e = 0; e < elementCount; ++e) {
    shownSurface[e] = 0;
    plottedQuantity[0][e] = 0;
    plottedQuantity[1][e] = 0;
  }
}

BlCalc_2D::StationArray& BlCalc_2D::stationArray(int q) {
  ProblemState& s = state();
  StationArray* const arrays[Q_COUNT] = {&s.S, &s.UE, &s.CF, &s.D1, &s.D2, &s.RV, &s.H12};
  return *arrays[q];
}

void BlCalc_2D::RunPicture::take(int elements) {
  const ProblemState& st = state();
  remill = st.REMILL;
  for (int e = 0; e < sorvane::kMaxElements; ++e) {
    const int k = e + 1;
    chord[e] = e < elements ? st.BELEM(k) : 0.0;
    for (int j = 0; j < 2; ++j) {
      Surface& r = surface[e][j];
      r = Surface();
      if (e >= elements) continue;
      const int s = j + 1;
      const int n = sorvane::gui::computed_stations(k, s);
      r.stations = n;
      for (int q = 0; q < Q_COUNT; ++q) {
        const double* column = stationArray(q).column(k, s);
        r.values[q].assign(column, column + n);
      }
      const int* solved = st.SOLVED.column(k, s);
      r.solved.resize(n);
      for (int i = 0; i < n; ++i) r.solved[i] = solved[i] != 0 ? 1 : 0;
      r.listed = st.NX(k, s);
      r.arcLength = r.listed >= 1 && r.listed <= sorvane::kStations ? st.S(r.listed, k, s) : 0.0;
      r.xinv = st.XINV(k, s);
      r.xtr = st.XTR(k, s);
    }
  }
}

void BlCalc_2D::collectRanges() {
  for (int j = 0; j < 2; ++j) {
    for (int e = 0; e < elementCount; ++e) {
      // Only the stations the run computed. The arc length of every one of
      // them is known from the split, so the x range reaches the stations
      // without a solution too (their ticks stay inside the plot); their
      // other values are first guesses and set no range.
      const RunPicture::Surface& r = ownRun.surface[e][j];
      sorvane::gui::findMinMax(r.values[Q_S].data(), rangeMin[Q_S][j][e], rangeMax[Q_S][j][e],
                               r.stations);
      for (int q = Q_UE; q < Q_COUNT; ++q)
        sorvane::gui::findMinMaxSolved(r.values[q].data(), r.solved.data(), rangeMin[q][j][e],
                                       rangeMax[q][j][e], r.stations);
    }
  }
}

void BlCalc_2D::loadSurfaceFields(int k) {
  if (k < 1 || k > sorvane::kMaxElements) return;
  for (int j = 0; j < 2; ++j) {
    const RunPicture::Surface& r = ownRun.surface[k - 1][j];
    strValue[j] = r.xtr;
    ssepValue[j] = r.xinv;
    // Separation along the chord: the chord less the arc length from the
    // separation point to the trailing edge. The arc is longer than the
    // chord, so a separation near the stagnation point (or a surface that
    // stopped there) would come out ahead of the element: the position is
    // kept within the chord. A surface without stations has none.
    const double chord = ownRun.chord[k - 1];
    xsepValue[j] = r.listed >= 1 && r.listed <= sorvane::kStations
                       ? std::min(std::max(chord - (r.arcLength - r.xinv), 0.0), chord)
                       : 0.0;
  }
}

void BlCalc_2D::updateRadios() {
  setSurfaceRadios(0);
  setSurfaceRadios(1);
  enableRadios();
}

void BlCalc_2D::setSurfaceRadios(int j) {
  if (elementCount < 1) return;
  const int e = currentElement;
  const bool upper = shownSurface[e] == 0;
  surfaceRadio[0]->setCheck(upper, FALSE);
  surfaceRadio[1]->setCheck(!upper, FALSE);
  const int q = plottedQuantity[j][e];
  for (int i = 0; i < kPlottedQuantities; ++i) quantityRadio[i][j]->setCheck(i == q, FALSE);
}

void BlCalc_2D::enableRadios() {
  if (elementCount < 1) return;
  surfaceRadio[0]->enable();
  surfaceRadio[1]->enable();
  const int shown = shownSurface[currentElement] == 0 ? 0 : 1;
  for (int i = 0; i < kPlottedQuantities; ++i) {
    // Wall transpiration ("RV(x)") is never offered.
    if (i == 3)
      quantityRadio[i][shown]->disable();
    else
      quantityRadio[i][shown]->enable();
    quantityRadio[i][1 - shown]->disable();
  }
}

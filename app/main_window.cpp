// The main window: class registration, message map, construction of the
// widget tree, and the handlers that work on the layout alone.
#include "app/main_window.h"

#include <string>

#include "app/bl_dialog.h"
#include "app/fox_compat.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::gui::string_from_int;

static_assert(static_cast<int>(Sorvane_2D::ID_CANVAS) > static_cast<int>(FXMainWindow::ID_LAST),
              "the window's identifiers must follow the toolkit's");
static_assert(Sorvane_2D::ID_CANVAS == 0x40 && Sorvane_2D::ID_OPEN == 0x42 &&
                  Sorvane_2D::ID_ABOUT == 0x45 && Sorvane_2D::ID_REYNOLDS == 0x5E,
              "identifier values");
static_assert(Sorvane_2D::ID_COMPR_LAITONE - Sorvane_2D::ID_COMPR_NONE == 3 &&
                  Sorvane_2D::ID_TE_CP_EQUAL - Sorvane_2D::ID_TE_ADD_POINT == 1 &&
                  Sorvane_2D::ID_AXIS_FROM_GEOMETRY - Sorvane_2D::ID_AXIS_FROM_FILE == 1,
              "radio identifiers are consecutive");

// The message map, searched in this order.
FXDEFMAP(Sorvane_2D) Sorvane_2DMap[] = {
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ABOUT, Sorvane_2D::onCmdAbout),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ALGORITHM, Sorvane_2D::onCmdAlgorithm),
    FXMAPFUNC(SEL_PAINT, Sorvane_2D::ID_CANVAS, Sorvane_2D::onPaintCanvas),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_OPEN, Sorvane_2D::onCmdOpen),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_NPANELS, Sorvane_2D::onCmdNpanels),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ELEMENT_TABS, Sorvane_2D::onCmdElementTab),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ALPHA, Sorvane_2D::onCmdAlpha),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_MACH, Sorvane_2D::onCmdMach),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_SWEPT, Sorvane_2D::onCmdSwept),
    FXMAPFUNCS(SEL_COMMAND, Sorvane_2D::ID_COMPR_NONE, Sorvane_2D::ID_COMPR_LAITONE,
               Sorvane_2D::onCmdCompressibility),
    FXMAPFUNCS(SEL_COMMAND, Sorvane_2D::ID_TE_ADD_POINT, Sorvane_2D::ID_TE_CP_EQUAL,
               Sorvane_2D::onCmdTECondition),
    FXMAPFUNCS(SEL_COMMAND, Sorvane_2D::ID_AXIS_FROM_FILE, Sorvane_2D::ID_AXIS_FROM_GEOMETRY,
               Sorvane_2D::onCmdAxisSource),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ELEMENT_PARAM, Sorvane_2D::onCmdElementParam),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ANGLE_STEP, Sorvane_2D::onCmdAngleStep),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_POSITION_STEP, Sorvane_2D::onCmdPositionStep),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ELEMENT_POSITION_1, Sorvane_2D::onCmdElementPosition1),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ELEMENT_POSITION_2, Sorvane_2D::onCmdElementPosition2),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ELEMENT_POSITION_3, Sorvane_2D::onCmdElementPosition3),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_ELEMENT_POSITION_4, Sorvane_2D::onCmdElementPosition4),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_SAVE_RESULT, Sorvane_2D::onCmdSaveResult),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_BL_CALCULATION, Sorvane_2D::onCmdBLCalculation),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_XTRU, Sorvane_2D::onCmdXtru),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_XTRL, Sorvane_2D::onCmdXtrl),
    FXMAPFUNC(SEL_COMMAND, Sorvane_2D::ID_REYNOLDS, Sorvane_2D::onCmdReynolds),
};

FXIMPLEMENT(Sorvane_2D, FXMainWindow, Sorvane_2DMap, ARRAYNUMBER(Sorvane_2DMap))

namespace {

constexpr FXuint kLabelStyle = JUSTIFY_RIGHT | LAYOUT_CENTER_X | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW;
constexpr FXuint kSpinnerStyle = FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW;
constexpr FXuint kFieldStyle =
    FRAME_SUNKEN | FRAME_THICK | LAYOUT_CENTER_X | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW;
constexpr FXuint kGroupStyle = GROUPBOX_TITLE_LEFT | FRAME_RIDGE | LAYOUT_FILL_X;
constexpr FXuint kMatrixStyle = MATRIX_BY_COLUMNS | LAYOUT_SIDE_LEFT | LAYOUT_FILL_Y;

FXGroupBox* group(FXComposite* parent, const char* title) {
  return new FXGroupBox(parent, title, kGroupStyle);
}
FXMatrix* matrix(FXComposite* parent, int columns) {
  return new FXMatrix(parent, columns, kMatrixStyle);
}
void label(FXComposite* parent, const char* text) {
  new FXLabel(parent, text, nullptr, kLabelStyle);
}
FXRealSpinner* spinner(FXComposite* parent, const char* text, int columns, FXObject* target,
                       FXSelector id, double lo, double hi, double increment,
                       double granularity) {
  label(parent, text);
  FXRealSpinner* s = new FXRealSpinner(parent, columns, target, id, kSpinnerStyle);
  s->setRange(lo, hi, FALSE);
  s->setIncrement(increment);
  s->setGranularity(granularity);
  return s;
}
FXTextField* realField(FXComposite* parent, const char* text, int columns, FXObject* target,
                       FXSelector id) {
  label(parent, text);
  return new FXTextField(parent, columns, target, id, kFieldStyle | TEXTFIELD_REAL);
}
FXRadioButton* radio(FXComposite* parent, const char* text, FXObject* target, FXSelector id) {
  return new FXRadioButton(parent, text, target, id, RADIOBUTTON_NORMAL);
}

}  // namespace

Sorvane_2D::Sorvane_2D() {}

Sorvane_2D::Sorvane_2D(FXApp* app)
    : FXMainWindow(app, "Multi Element Airfoil Calculation", nullptr, nullptr, DECOR_ALL, 0, 0,
                   800, 830, 0, 0, 0, 0, 0, 0) {
  // 1. Display strings bound to their data targets.
  brefTarget.connect(brefText);
  cliftTarget.connect(cliftText);
  cdragTarget.connect(cdragText);
  cmzTarget.connect(cmzText);
  cliftGammaTarget.connect(cliftGammaText);
  for (int i = 0; i < 5; ++i) {
    belemTarget[i].connect(belemText[i]);
    elementCliftTarget[i].connect(elementCliftText[i]);
    elementCliftGammaTarget[i].connect(elementCliftGammaText[i]);
    elementCdragTarget[i].connect(elementCdragText[i]);
    elementCliftBTarget[i].connect(elementCliftBText[i]);
    elementCmzTarget[i].connect(elementCmzText[i]);
    elementCmz0Target[i].connect(elementCmz0Text[i]);
  }
  currentElement = 0;

  // 2. Tooltips stay up until the pointer leaves the control.
  new FXToolTip(getApp(), TOOLTIP_PERMANENT);

  // 3. Menu.
  menubar = new FXMenuBar(this, LAYOUT_FILL_X);
  filemenu = new FXMenuPane(this);
  openCommand =
      new FXMenuCommand(filemenu, "&Open...\tCtl-O\tOpen document file.", nullptr, this, ID_OPEN);
  new FXMenuCommand(filemenu, "&About", nullptr, this, ID_ABOUT);
  new FXMenuCommand(filemenu, "&Algorithm", nullptr, this, ID_ALGORITHM);
  new FXMenuCommand(filemenu, "&Quit\tCtl-Q", nullptr, getApp(), FXApp::ID_QUIT);
  new FXMenuTitle(menubar, "&File", nullptr, filemenu);

  // 4. Separator under the menu.
  new FXVerticalSeparator(this, SEPARATOR_GROOVE | LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 1, 1);

  // 5. Main frame and its left column.
  FXHorizontalFrame* mainFrame = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
  FXVerticalFrame* left = new FXVerticalFrame(mainFrame, 0);

  // 6. Configuration label.
  configurationLabel =
      new FXLabel(group(left, "Multielement configuration:"), "", nullptr, kLabelStyle);

  // 7. Flow conditions and configuration results.
  {
    FXHorizontalFrame* row =
        new FXHorizontalFrame(left, FRAME_RIDGE | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXMatrix* in = matrix(group(row, "Input Data:"), 2);
    alphaSpinner = spinner(in, "Alpha=", 5, this, ID_ALPHA, -85, 85, 0.1, 0.001);
    machSpinner = spinner(in, "Mach=", 5, this, ID_MACH, 0, 0.8, 0.02, 0.001);
    sweptSpinner = spinner(in, "Swept=", 5, this, ID_SWEPT, 0, 85, 1, 0.001);
    realField(in, "B ref=", 7, &brefTarget, FXDataTarget::ID_VALUE);
    remillField = realField(in, "Re mill=", 7, this, ID_REYNOLDS);

    FXMatrix* out = matrix(group(row, "Output Data:"), 2);
    realField(out, "Clift=", 10, &cliftTarget, FXDataTarget::ID_VALUE);
    realField(out, "Cdrag=", 10, &cdragTarget, FXDataTarget::ID_VALUE);
    realField(out, "Cmz=", 10, &cmzTarget, FXDataTarget::ID_VALUE);
    realField(out, "Clift(g)=", 10, &cliftGammaTarget, FXDataTarget::ID_VALUE);
  }

  // 8. Options.
  {
    FXHorizontalFrame* row =
        new FXHorizontalFrame(left, FRAME_RIDGE | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXMatrix* compr = matrix(group(row, "Compressibility Correction:"), 2);
    const char* names[4] = {"No", "Prandtl-Glauret", "Karman-Tsien", "Laitone"};
    for (int i = 0; i < 4; ++i)
      compressibilityRadio[i] = radio(compr, names[i], this, ID_COMPR_NONE + i);
    FXMatrix* te = matrix(group(row, "TE condition:"), 1);
    addPointRadio = radio(te, "Add.Point", this, ID_TE_ADD_POINT);
    cpEqualRadio = radio(te, "Cp EQ", this, ID_TE_CP_EQUAL);
    addPointRadio->setTipText("Additional control point after t.e.");
    cpEqualRadio->setTipText("Equality Cp on upper and lower s. on t.e.");
  }

  // 9. Step spinners.
  {
    FXMatrix* steps = matrix(group(left, "Delta Position & Delta angle:"), 4);
    positionStepSpinner =
        spinner(steps, "XY=", 6, this, ID_POSITION_STEP, 0.0001, 0.1, 0.01, 0.001);
    angleStepSpinner = spinner(steps, "Angle=", 6, this, ID_ANGLE_STEP, 0.0001, 5, 0.01, 0.001);
    positionStepSpinner->setValue(0.01, FALSE);
    angleStepSpinner->setValue(0.1, FALSE);
  }

  // 10. Element tab book, tabs down the left side.
  elementTabBook = new FXTabBook(group(left, "ELEMENT:"), this, ID_ELEMENT_TABS,
                                 PACK_UNIFORM_WIDTH | PACK_UNIFORM_HEIGHT | LAYOUT_FILL_X |
                                     LAYOUT_FILL_Y | LAYOUT_RIGHT);
  elementTabBook->setTabStyle(TABBOOK_LEFTTABS);

  // 11. One tab per element.
  for (int i = 0; i < 5; ++i) {
    elementTab[i] = new FXTabItem(elementTabBook, string_from_int(i + 1), nullptr, TAB_TOP_NORMAL);
    elementTab[i]->setTabOrientation(TAB_LEFT);
    FXGroupBox* page = group(elementTabBook, "");

    FXMatrix* gen = matrix(group(page, "Gen.Param."), 4);
    realField(gen, "B elem=", 8, &belemTarget[i], FXDataTarget::ID_VALUE);
    label(gen, "Npanels=");
    npanelsField[i] = new FXTextField(gen, 8, this, ID_NPANELS, kFieldStyle | TEXTFIELD_INTEGER);
    xtruField[i] = realField(gen, "Xtru=", 7, this, ID_XTRU);
    xtrlField[i] = realField(gen, "Xtrl=", 7, this, ID_XTRL);

    FXHorizontalFrame* axes =
        new FXHorizontalFrame(group(page, "Axes"), LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXMatrix* inElement = matrix(group(axes, "Pos in Element"), 2);
    xfSpinner[i] = spinner(inElement, "Xf=", 7, this, ID_ELEMENT_PARAM, -1, 2, 0.01, 0.0001);
    yfSpinner[i] = spinner(inElement, "Yf=", 7, this, ID_ELEMENT_PARAM, -0.5, 0.5, 0.01, 0.01);
    FXMatrix* inConfiguration = matrix(group(axes, "Pos in G.C.S"), 2);
    xcSpinner[i] = spinner(inConfiguration, "Xc=", 7, this, ID_ELEMENT_PARAM, -1, 2, 0.01, 0.01);
    ycSpinner[i] =
        spinner(inConfiguration, "Yc=", 7, this, ID_ELEMENT_PARAM, -10, 10, 0.01, 0.01);
    angleSpinner[i] =
        spinner(inConfiguration, "Angle=", 7, this, ID_ELEMENT_PARAM, -85, 85, 0.5, 0.001);

    FXMatrix* out = matrix(group(page, "Output for Element"), 4);
    realField(out, "Clift=", 10, &elementCliftTarget[i], FXDataTarget::ID_VALUE);
    realField(out, "Clift(g)=", 10, &elementCliftGammaTarget[i], FXDataTarget::ID_VALUE);
    realField(out, "Cdrag=", 10, &elementCdragTarget[i], FXDataTarget::ID_VALUE);
    realField(out, "Clift*b=", 10, &elementCliftBTarget[i], FXDataTarget::ID_VALUE);
    realField(out, "Cmz=", 10, &elementCmzTarget[i], FXDataTarget::ID_VALUE);
    realField(out, "Cmzo=", 10, &elementCmz0Target[i], FXDataTarget::ID_VALUE);
  }

  // 12. Command buttons.
  {
    FXHorizontalFrame* buttons = new FXHorizontalFrame(left, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    const FXuint style = FRAME_RAISED | FRAME_THICK | JUSTIFY_BOTTOM | LAYOUT_CENTER_X;
    saveResultButton = new FXButton(buttons, "Save Result", nullptr, this, ID_SAVE_RESULT, style);
    blCalculationButton =
        new FXButton(buttons, "BL Calculation", nullptr, this, ID_BL_CALCULATION, style);
  }

  // 13. Plot canvas: disabled (no input), still painted.
  {
    FXVerticalFrame* right = new FXVerticalFrame(mainFrame, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    canvas = new FXCanvas(right, this, ID_CANVAS,
                          FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y);
    canvas->setDefaultCursor(getApp()->getDefaultCursor(DEF_CROSSHAIR_CURSOR));
    canvas->disable();
  }

  // 14. Start values and the summary file's line templates.
  sorvane::state().NCOMPUTE = 0;
  reportCounter = 0;
  saveCounter = 0;
  ruleLine = FXString('-', 92);
  inputFileLine = FXString("Input File:") + FXString(' ', 93);
  doubleRuleLine = FXString('=', 92);
  flowHeading = "  Alpha     Mach      Swept     Bref     Nelements";
  axisHeading1 = "          Position of Axis               Position of Axis in C.S.";
  axisHeading2 = "         in C.S. of Element             Multielement configuration.";
  axisHeading3 =
      " Ielement    Xf        Yf                  Xc        Yc       Angle   B element";
  pointHeading =
      "    N     XPN            YPN            XC             YC             Cp           "
      "V(Gamma)";
  elementCoefficientHeading =
      "   Clift          Cdrag           Cmz          Clift(g)       Clift*b          Cmzo";
  elementTitle = "                      Summury data of the element    ";
  configurationCoefficientHeading = "   Clifts         Cdrags          Cmzs         Clifts(g)";
  configurationTitle = "  Summury data of the multielement configuration";
  elementColor[0] = "Black";
  elementColor[1] = "Red";
  elementColor[2] = "Blue";
  elementColor[3] = "Green";
  elementColor[4] = "Brown";

  // 15. Nothing to save or to march before a file is loaded.
  saveResultButton->disable();
  blCalculationButton->disable();
}

Sorvane_2D::~Sorvane_2D() {
  delete filemenu;
  filemenu = nullptr;
  // The boundary-layer dialogs this window opened stay until it ends. The
  // toolkit does not delete owned windows with their owner, and a dialog
  // left behind would hold a dangling owner and main window: they end here
  // (each writes its Reynolds number into the state on the way). A window
  // the factory made has no widgets and opened none.
  FXWindow* w = canvas ? getApp()->getRootWindow()->getFirst() : nullptr;
  while (w) {
    FXWindow* next = w->getNext();
    BlCalc_2D* dialog = dynamic_cast<BlCalc_2D*>(w);
    if (dialog && dialog->getOwner() == this) delete dialog;
    w = next;
  }
  blDialog = nullptr;
}

void Sorvane_2D::create() {
  FXMainWindow::create();
  // The frame is 800 by 830. With a larger normal font than the layout was
  // made for, the left column does not fit and "Save Result" and "BL
  // Calculation" would fall below the window's edge; the window then opens
  // just high enough to show them (never beyond the screen). The height is
  // taken with a line of text in the configuration label, which is empty
  // until a file is loaded: the loaded window must fit as well.
  const FXint needed = loadedHeight();
  if (needed > getHeight()) {
    const FXint screen = getApp()->getRootWindow()->getHeight();
    resize(getWidth(), needed < screen ? needed : screen);
  }
  show(PLACEMENT_SCREEN);
}

FXint Sorvane_2D::loadedHeight() {
  const FXString shown = configurationLabel->getText();
  if (shown.empty()) configurationLabel->setText("X");
  const FXint height = getDefaultHeight();
  if (shown.empty()) configurationLabel->setText(shown);
  return height;
}

void Sorvane_2D::showError(const FXString& caption, const FXString& text) {
  showErrorOver(this, caption, text);
}

void Sorvane_2D::showErrorOver(FXWindow* owner, const FXString& caption, const FXString& text) {
  ++errorCount;
  lastError = text;
  if (quietErrors) return;
  FXMessageBox::error(owner ? owner : this, MBOX_OK, caption.text(), "%s", text.text());
}

void Sorvane_2D::showInformation(const FXString& caption, const FXString& text) {
  showInformationOver(this, caption, text);
}

void Sorvane_2D::showInformationOver(FXWindow* owner, const FXString& caption,
                                     const FXString& text) {
  lastInformation = text;
  if (quietErrors) return;
  FXMessageBox::information(owner ? owner : this, MBOX_OK, caption.text(), "%s", text.text());
}

long Sorvane_2D::onCmdElementTab(FXObject*, FXSelector, void*) {
  currentElement = elementTabBook->getCurrent();
  return 1;
}

long Sorvane_2D::onCmdAngleStep(FXObject*, FXSelector, void*) {
  const double v = angleStepSpinner->getValue();
  sweptSpinner->setIncrement(v);
  alphaSpinner->setIncrement(v);
  const int n = sorvane::state().NELEM;
  for (int i = 0; i < n && i < 5; ++i) angleSpinner[i]->setIncrement(v);
  return 1;
}

long Sorvane_2D::onCmdPositionStep(FXObject*, FXSelector, void*) {
  const double v = positionStepSpinner->getValue();
  const int n = sorvane::state().NELEM;
  for (int i = 0; i < n && i < 5; ++i) {
    xfSpinner[i]->setIncrement(v);
    yfSpinner[i]->setIncrement(v);
    xcSpinner[i]->setIncrement(v);
    ycSpinner[i]->setIncrement(v);
  }
  return 1;
}

long Sorvane_2D::onCmdAbout(FXObject*, FXSelector, void*) {
  showInformation("About", "Ver.2.1.\n Author: Sorvane_2D developers.");
  return 1;
}

long Sorvane_2D::onCmdAlgorithm(FXObject*, FXSelector, void*) {
  showInformation("Algorithm",
                  "Multi-element vortex-panel method in stream-function form,\n"
                  "\" Potential Flow Velocity Distributions on Multi-Component Airfoil "
                  "Sections\" \n"
                  "Canadian Aeronautics and Space Journal, Vol. 22, Sept. 1976, pp. 243-256.");
  return 1;
}

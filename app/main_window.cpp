// The main window: class registration, message map, construction of the
// widget tree, and the handlers that work on the layout alone.
#include "app/main_window.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "app/bl_dialog.h"
#include "app/fox_compat.h"
#include "app/message_box.h"
#include "app/widget_kit.h"
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

using sorvane::gui::group;
using sorvane::gui::label;
using sorvane::gui::matrix;
using sorvane::gui::real_field;

FXRealSpinner* spinner(FXComposite* parent, const char* text, int columns, FXObject* target,
                       FXSelector id, double lo, double hi, double increment,
                       double granularity) {
  label(parent, text);
  FXRealSpinner* s =
      new FXRealSpinner(parent, columns, target, id, sorvane::gui::kSpinnerStyle);
  s->setRange(lo, hi, FALSE);
  s->setIncrement(increment);
  s->setGranularity(granularity);
  return s;
}

FXRadioButton* radio(FXComposite* parent, const char* text, FXObject* target, FXSelector id) {
  return new FXRadioButton(parent, text, target, id, RADIOBUTTON_NORMAL);
}

}  // namespace

Sorvane_2D::Sorvane_2D() {}

Sorvane_2D::Sorvane_2D(FXApp* app)
    : FXMainWindow(app, "Multi Element Airfoil Calculation", nullptr, nullptr, DECOR_ALL, 0, 0,
                   800, 830, 0, 0, 0, 0, 0, 0) {
  connectDisplayStrings();
  currentElement = 0;

  // Tooltips stay up until the pointer leaves the control.
  new FXToolTip(getApp(), TOOLTIP_PERMANENT);

  buildMenuBar();

  // The main frame: the left column of inputs and results, the canvas right
  // of it.
  FXHorizontalFrame* mainFrame = new FXHorizontalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
  FXVerticalFrame* left = new FXVerticalFrame(mainFrame, 0);
  buildConfigurationGroup(left);
  buildFlowGroups(left);
  buildOptionGroups(left);
  buildStepSpinners(left);
  buildElementTabs(left);
  buildCommandButtons(left);
  buildCanvas(mainFrame);

  setStartValues();
  // Nothing to save or to march before a file is loaded.
  saveResultButton->disable();
  blCalculationButton->disable();
}

void Sorvane_2D::ElementTab::connectTargets() {
  belemTarget.connect(belemText);
  elementCliftTarget.connect(elementCliftText);
  elementCliftGammaTarget.connect(elementCliftGammaText);
  elementCdragTarget.connect(elementCdragText);
  elementCliftBTarget.connect(elementCliftBText);
  elementCmzTarget.connect(elementCmzText);
  elementCmz0Target.connect(elementCmz0Text);
}

// Every display string bound to its data target.
void Sorvane_2D::connectDisplayStrings() {
  brefTarget.connect(brefText);
  cliftTarget.connect(cliftText);
  cdragTarget.connect(cdragText);
  cmzTarget.connect(cmzText);
  cliftGammaTarget.connect(cliftGammaText);
  for (ElementTab& t : elements) t.connectTargets();
}

// The "&File" menu, and the separator under the menu bar.
void Sorvane_2D::buildMenuBar() {
  menubar = new FXMenuBar(this, LAYOUT_FILL_X);
  filemenu = new FXMenuPane(this);
  openCommand =
      new FXMenuCommand(filemenu, "&Open...\tCtl-O\tOpen document file.", nullptr, this, ID_OPEN);
  new FXMenuCommand(filemenu, "&About", nullptr, this, ID_ABOUT);
  new FXMenuCommand(filemenu, "&Algorithm", nullptr, this, ID_ALGORITHM);
  new FXMenuCommand(filemenu, "&Quit\tCtl-Q", nullptr, getApp(), FXApp::ID_QUIT);
  new FXMenuTitle(menubar, "&File", nullptr, filemenu);

  new FXVerticalSeparator(this, SEPARATOR_GROOVE | LAYOUT_FILL_X, 0, 0, 0, 0, 0, 0, 1, 1);
}

// "Multielement configuration:": where the element positions come from,
// empty until a file is loaded; later also why a solution failed or which
// listings lost records. The label keeps the width of the longer of the two
// texts of the positions whatever it shows, so a long status moves no
// control.
void Sorvane_2D::buildConfigurationGroup(FXComposite* left) {
  configurationLabel = new sorvane::gui::StatusLabel(group(left, "Multielement configuration:"),
                                                     kPositionsFromFile, sorvane::gui::kLabelStyle);
}

// Flow conditions ("Input Data:") and the configuration's results ("Output
// Data:") side by side.
void Sorvane_2D::buildFlowGroups(FXComposite* left) {
  FXHorizontalFrame* row = new FXHorizontalFrame(left, FRAME_RIDGE | LAYOUT_FILL_X | LAYOUT_FILL_Y);
  FXMatrix* in = matrix(group(row, "Input Data:"), 2);
  alphaSpinner = spinner(in, "Alpha=", 5, this, ID_ALPHA, -85, 85, 0.1, 0.001);
  machSpinner = spinner(in, "Mach=", 5, this, ID_MACH, 0, 0.8, 0.02, 0.001);
  sweptSpinner = spinner(in, "Swept=", 5, this, ID_SWEPT, 0, 85, 1, 0.001);
  real_field(in, "B ref=", 7, &brefTarget, FXDataTarget::ID_VALUE);
  remillField = real_field(in, "Re mill=", 7, this, ID_REYNOLDS);

  FXMatrix* out = matrix(group(row, "Output Data:"), 2);
  real_field(out, "Clift=", 10, &cliftTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Cdrag=", 10, &cdragTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Cmz=", 10, &cmzTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Clift(g)=", 10, &cliftGammaTarget, FXDataTarget::ID_VALUE);
}

// The options: compressibility correction and trailing-edge condition; no
// radio button is set.
void Sorvane_2D::buildOptionGroups(FXComposite* left) {
  FXHorizontalFrame* row = new FXHorizontalFrame(left, FRAME_RIDGE | LAYOUT_FILL_X | LAYOUT_FILL_Y);
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

// The step spinners under "Delta Position & Delta angle:".
void Sorvane_2D::buildStepSpinners(FXComposite* left) {
  FXMatrix* steps = matrix(group(left, "Delta Position & Delta angle:"), 4);
  positionStepSpinner = spinner(steps, "XY=", 6, this, ID_POSITION_STEP, 0.0001, 0.1, 0.01, 0.001);
  angleStepSpinner = spinner(steps, "Angle=", 6, this, ID_ANGLE_STEP, 0.0001, 5, 0.01, 0.001);
  positionStepSpinner->setValue(0.01, FALSE);
  angleStepSpinner->setValue(0.1, FALSE);
}

// The element tab book in "ELEMENT:", tabs down the left side, with one tab
// per element the state can hold.
void Sorvane_2D::buildElementTabs(FXComposite* left) {
  elementTabBook = new FXTabBook(group(left, "ELEMENT:"), this, ID_ELEMENT_TABS,
                                 PACK_UNIFORM_WIDTH | PACK_UNIFORM_HEIGHT | LAYOUT_FILL_X |
                                     LAYOUT_FILL_Y | LAYOUT_RIGHT);
  elementTabBook->setTabStyle(TABBOOK_LEFTTABS);
  for (int e = 0; e < sorvane::kMaxElements; ++e) buildElementTab(elementTabBook, e);
}

// Tab e: its general parameters, its axis placement and its results.
void Sorvane_2D::buildElementTab(FXTabBook* book, int e) {
  ElementTab& t = elements[e];
  t.tab = new FXTabItem(book, string_from_int(e + 1), nullptr, TAB_TOP_NORMAL);
  t.tab->setTabOrientation(TAB_LEFT);
  FXGroupBox* page = group(book, "");

  FXMatrix* gen = matrix(group(page, "Gen.Param."), 4);
  real_field(gen, "B elem=", 8, &t.belemTarget, FXDataTarget::ID_VALUE);
  label(gen, "Npanels=");
  t.npanelsField = new FXTextField(gen, 8, this, ID_NPANELS,
                                   sorvane::gui::kFieldStyle | TEXTFIELD_INTEGER);
  t.xtruField = real_field(gen, "Xtru=", 7, this, ID_XTRU);
  t.xtrlField = real_field(gen, "Xtrl=", 7, this, ID_XTRL);

  FXHorizontalFrame* axes =
      new FXHorizontalFrame(group(page, "Axes"), LAYOUT_FILL_X | LAYOUT_FILL_Y);
  FXMatrix* inElement = matrix(group(axes, "Pos in Element"), 2);
  const auto& r = kPlacementRanges;
  t.xfSpinner =
      spinner(inElement, "Xf=", 7, this, ID_ELEMENT_PARAM, r[0][0], r[0][1], 0.01, 0.0001);
  t.yfSpinner =
      spinner(inElement, "Yf=", 7, this, ID_ELEMENT_PARAM, r[1][0], r[1][1], 0.01, 0.01);
  FXMatrix* inConfiguration = matrix(group(axes, "Pos in G.C.S"), 2);
  t.xcSpinner =
      spinner(inConfiguration, "Xc=", 7, this, ID_ELEMENT_PARAM, r[2][0], r[2][1], 0.01, 0.01);
  t.ycSpinner =
      spinner(inConfiguration, "Yc=", 7, this, ID_ELEMENT_PARAM, r[3][0], r[3][1], 0.01, 0.01);
  t.angleSpinner = spinner(inConfiguration, "Angle=", 7, this, ID_ELEMENT_PARAM, r[4][0],
                           r[4][1], 0.5, 0.001);

  FXMatrix* out = matrix(group(page, "Output for Element"), 4);
  real_field(out, "Clift=", 10, &t.elementCliftTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Clift(g)=", 10, &t.elementCliftGammaTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Cdrag=", 10, &t.elementCdragTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Clift*b=", 10, &t.elementCliftBTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Cmz=", 10, &t.elementCmzTarget, FXDataTarget::ID_VALUE);
  real_field(out, "Cmzo=", 10, &t.elementCmz0Target, FXDataTarget::ID_VALUE);
}

// "Save Result" and "BL Calculation" at the foot of the left column.
void Sorvane_2D::buildCommandButtons(FXComposite* left) {
  FXHorizontalFrame* buttons = new FXHorizontalFrame(left, LAYOUT_FILL_X | LAYOUT_FILL_Y);
  saveResultButton = new FXButton(buttons, "Save Result", nullptr, this, ID_SAVE_RESULT,
                                  sorvane::gui::kButtonStyle);
  blCalculationButton = new FXButton(buttons, "BL Calculation", nullptr, this,
                                     ID_BL_CALCULATION, sorvane::gui::kButtonStyle);
}

// The plot canvas right of the left column: disabled (no input), still
// painted.
void Sorvane_2D::buildCanvas(FXComposite* mainFrame) {
  FXVerticalFrame* right = new FXVerticalFrame(mainFrame, LAYOUT_FILL_X | LAYOUT_FILL_Y);
  canvas = sorvane::gui::plot_canvas(right, this, ID_CANVAS);
  canvas->disable();
}

// Start values: no solution yet, no report, the summary file's line
// templates and the element colours.
void Sorvane_2D::setStartValues() {
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
  std::copy(std::begin(sorvane::gui::kElementColors), std::end(sorvane::gui::kElementColors),
            elementColor);
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
  sorvane::gui::show_message_box(owner ? owner : this, sorvane::gui::MessageKind::kError, caption,
                                 text);
}

void Sorvane_2D::showInformation(const FXString& caption, const FXString& text) {
  showInformationOver(this, caption, text);
}

void Sorvane_2D::showInformationOver(FXWindow* owner, const FXString& caption,
                                     const FXString& text) {
  lastInformation = text;
  if (quietErrors) return;
  sorvane::gui::show_message_box(owner ? owner : this, sorvane::gui::MessageKind::kInformation,
                                 caption, text);
}

long Sorvane_2D::onCmdElementTab(FXObject*, FXSelector, void*) {
  currentElement = elementTabBook->getCurrent();
  return 1;
}

long Sorvane_2D::onCmdAngleStep(FXObject*, FXSelector, void*) {
  const double v = angleStepSpinner->getValue();
  sweptSpinner->setIncrement(v);
  alphaSpinner->setIncrement(v);
  const int n = sorvane::addressable_elements(sorvane::state().NELEM);
  for (int i = 0; i < n; ++i) elements[i].angleSpinner->setIncrement(v);
  return 1;
}

long Sorvane_2D::onCmdPositionStep(FXObject*, FXSelector, void*) {
  const double v = positionStepSpinner->getValue();
  const int n = sorvane::addressable_elements(sorvane::state().NELEM);
  for (int i = 0; i < n; ++i) {
    ElementTab& t = elements[i];
    t.xfSpinner->setIncrement(v);
    t.yfSpinner->setIncrement(v);
    t.xcSpinner->setIncrement(v);
    t.ycSpinner->setIncrement(v);
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

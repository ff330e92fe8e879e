// The main window: flow conditions, options, element tabs, results, the plot
// canvas and the summary writer. Every input edit after a file is loaded
// copies the value into the problem state, runs the panel solution and
// refreshes the results and the plot.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/fox_compat.h"
#include "app/status_label.h"
#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/limits.h"
#include "solver/state/result.h"

class BlCalc_2D;

class Sorvane_2D : public FX::FXMainWindow {
  FXDECLARE(Sorvane_2D)

 protected:
  // For the toolkit's factory: the base and the members, no widgets.
  Sorvane_2D();

 public:
  // Message identifiers. They continue the toolkit's main-window identifiers;
  // the values are fixed (0x41 and 0x44 belong to no identifier).
  enum {
    ID_CANVAS = 0x40,
    ID_OPEN = 0x42,
    ID_NPANELS = 0x43,
    ID_ABOUT = 0x45,
    ID_ALGORITHM = 0x46,
    ID_ELEMENT_TABS = 0x47,
    ID_ALPHA = 0x48,
    ID_MACH = 0x49,
    ID_SWEPT = 0x4A,
    ID_COMPR_NONE = 0x4B,
    ID_COMPR_PRANDTL_GLAUERT = 0x4C,
    ID_COMPR_KARMAN_TSIEN = 0x4D,
    ID_COMPR_LAITONE = 0x4E,
    ID_TE_ADD_POINT = 0x4F,
    ID_TE_CP_EQUAL = 0x50,
    ID_AXIS_FROM_FILE = 0x51,
    ID_AXIS_FROM_GEOMETRY = 0x52,
    ID_ELEMENT_PARAM = 0x53,
    ID_ANGLE_STEP = 0x54,
    ID_POSITION_STEP = 0x55,
    ID_ELEMENT_POSITION_1 = 0x56,
    ID_ELEMENT_POSITION_2 = 0x57,
    ID_ELEMENT_POSITION_3 = 0x58,
    ID_ELEMENT_POSITION_4 = 0x59,
    ID_SAVE_RESULT = 0x5A,
    ID_BL_CALCULATION = 0x5B,
    ID_XTRU = 0x5C,
    ID_XTRL = 0x5D,
    ID_REYNOLDS = 0x5E,
    ID_LAST
  };

  // The texts of "Multielement configuration:" after a load: where the
  // element positions come from.
  static constexpr const char* kPositionsFromFile =
      "from input file, values: XX,YY,XAX,YAX DFL for each elements";
  static constexpr const char* kPositionsFromGeometry = "from geometry of airfoils ";
  // The ranges of an element's placement spinners, low and high, in the
  // order "Xf=", "Yf=", "Xc=", "Yc=", "Angle=".
  static constexpr double kPlacementRanges[5][2] = {
      {-1, 2}, {-0.5, 0.5}, {-1, 2}, {-10, 10}, {-85, 85}};
  // The tooltip of the placement spinners while the placement comes from
  // the contours, which is why they take no edit.
  static constexpr const char* kPlacementFromContourTip =
      "Placed from its contour at every solution (IPOS = 1 in the file): shows the "
      "placement in effect and takes no edit.";

  explicit Sorvane_2D(FX::FXApp* app);
  virtual ~Sorvane_2D();
  virtual void create();
  // Height the window needs for its whole widget tree in the loaded state.
  FX::FXint loadedHeight();

  // Handlers (toolkit form: sender, selector, message data; each returns 1).
  long onCmdAbout(FX::FXObject*, FX::FXSelector, void*);
  long onCmdAlgorithm(FX::FXObject*, FX::FXSelector, void*);
  long onPaintCanvas(FX::FXObject*, FX::FXSelector, void*);
  long onCmdOpen(FX::FXObject*, FX::FXSelector, void*);
  long onCmdNpanels(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElementTab(FX::FXObject*, FX::FXSelector, void*);
  long onCmdAlpha(FX::FXObject*, FX::FXSelector, void*);
  long onCmdMach(FX::FXObject*, FX::FXSelector, void*);
  long onCmdSwept(FX::FXObject*, FX::FXSelector, void*);
  long onCmdCompressibility(FX::FXObject*, FX::FXSelector, void*);
  long onCmdTECondition(FX::FXObject*, FX::FXSelector, void*);
  long onCmdAxisSource(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElementParam(FX::FXObject*, FX::FXSelector, void*);
  long onCmdAngleStep(FX::FXObject*, FX::FXSelector, void*);
  long onCmdPositionStep(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElementPosition1(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElementPosition2(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElementPosition3(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElementPosition4(FX::FXObject*, FX::FXSelector, void*);
  long onCmdSaveResult(FX::FXObject*, FX::FXSelector, void*);
  long onCmdBLCalculation(FX::FXObject*, FX::FXSelector, void*);
  long onCmdXtru(FX::FXObject*, FX::FXSelector, void*);
  long onCmdXtrl(FX::FXObject*, FX::FXSelector, void*);
  long onCmdReynolds(FX::FXObject*, FX::FXSelector, void*);
  // Paint handler of a second canvas the window does not create.
  long onPaintSecondCanvas(FX::FXObject*, FX::FXSelector, void*);

  // Everything "&Open..." does after its file dialog: read the file, set the
  // controls from it and run the first solution. False (with an error box and
  // the window unchanged) when the path is refused or the file cannot be read.
  bool openFile(const FX::FXString& path);

  // Recompute cycle pieces.
  void refreshResults();
  void loadControlsFromSolver();

  // Main plot. The drawing routines draw on the canvas, or on the drawable
  // given to renderPlot (an off-screen image, for instance).
  void computePlotBounds();
  void drawGrid();
  void drawPressureCurves();
  void drawGeometry();
  void drawCurve(FX::FXDC& dc, int first, int end, const double* x, const double* y,
                 int dashed, const char* color);
  void drawContour(FX::FXDC& dc, int first, int end, const double* x, const double* y,
                   int dashed, const char* color);
  void drawMarker(FX::FXDC& dc, double x, double y, int width, int height, int small,
                  const char* color);
  // Polyline through points first..end-1, y multiplied by yFactor.
  void drawPolyline(FX::FXDC& dc, int first, int end, const double* x, const double* y,
                    double yFactor, int dashed, const char* color);
  void drawPointMarks(FX::FXDC& dc, int first, int end, const double* x, const double* y,
                      int small, const char* color);
  void renderPlot(FX::FXDrawable* target);

  // Boundary-layer run: the stagnation split and the upper and lower surface
  // of every element, in that order. Its messages are kept in blRun.
  void runBoundaryLayer();
  // Shows the messages of the last run in one box over owner: an error box
  // when an entry failed (its messages, then the remarks), an information
  // box when there are only remarks, nothing otherwise.
  void reportBoundaryLayerRun(FX::FXWindow* owner);
  // The listings (standard output among them) that lost records and have
  // not yet been named in a box, after flushing every listing; from now on
  // they count as named. The listing kit keeps the failures.
  std::vector<std::string> takeNewListingFailures();
  // "Multielement configuration:": the reason of a failed solution and
  // every listing that lost records, or where the positions come from. A
  // text longer than the field is shown shortened; the whole text is the
  // field's tooltip (and is said in a box as well).
  void updateStatusLabel();
  // An error box over owner (see quietErrors).
  void showErrorOver(FX::FXWindow* owner, const FX::FXString& caption, const FX::FXString& text);

  // Summary file and the panel-geometry table.
  void writeSummaryFile();
  void writeGeometryFile();

  // The widgets and values of one element tab, indexed by the 0-based
  // element: its inputs, the window's own copies of the values a boundary-
  // layer run or a refused edit must not lose, and its result fields with
  // the strings they show.
  struct ElementTab {
    FX::FXTabItem* tab = nullptr;              // "1" .. the last element
    FX::FXTextField* npanelsField = nullptr;   // "Npanels="
    FX::FXTextField* xtruField = nullptr;      // "Xtru=": XTR(k,1), upper surface
    FX::FXTextField* xtrlField = nullptr;      // "Xtrl=": XTR(k,2), lower surface
    FX::FXRealSpinner* xfSpinner = nullptr;    // "Xf=", "Yf=": axis in the element
    FX::FXRealSpinner* yfSpinner = nullptr;
    FX::FXRealSpinner* xcSpinner = nullptr;    // "Xc=", "Yc=", "Angle=": in the
    FX::FXRealSpinner* ycSpinner = nullptr;    // configuration
    FX::FXRealSpinner* angleSpinner = nullptr;

    // The window's own panel count and transition positions, and the texts
    // put into their fields.
    int npanelsValue = 0;
    double xtruValue = 0.0;
    double xtrlValue = 0.0;
    FX::FXString npanelsText, xtruText, xtrlText;

    // Display strings of the result fields ("B elem=", "Output for
    // Element") and the data targets that bind the fields to them.
    FX::FXString belemText, elementCliftText, elementCliftGammaText, elementCdragText,
        elementCliftBText, elementCmzText, elementCmz0Text;
    FX::FXDataTarget belemTarget, elementCliftTarget, elementCliftGammaTarget,
        elementCdragTarget, elementCliftBTarget, elementCmzTarget, elementCmz0Target;

    // Binds every data target to its display string.
    void connectTargets();
    // "Xf=", "Yf=", "Xc=", "Yc=", "Angle=", in the order of kPlacementRanges.
    std::array<FX::FXRealSpinner*, 5> placementSpinners() const {
      return {xfSpinner, yfSpinner, xcSpinner, ycSpinner, angleSpinner};
    }
  };

  // Widgets and values, in this order; the boundary-layer dialog and the
  // window tests read them.
  FX::FXMenuBar* menubar = nullptr;
  FX::FXMenuPane* filemenu = nullptr;
  FX::FXMenuCommand* openCommand = nullptr;
  // "Multielement configuration:": shortened to its room, whole in its
  // tooltip.
  sorvane::gui::StatusLabel* configurationLabel = nullptr;
  FX::FXRealSpinner* alphaSpinner = nullptr;
  FX::FXRealSpinner* machSpinner = nullptr;
  FX::FXRealSpinner* sweptSpinner = nullptr;
  FX::FXRadioButton* compressibilityRadio[4] = {};
  FX::FXRadioButton* addPointRadio = nullptr;
  FX::FXRadioButton* cpEqualRadio = nullptr;
  FX::FXRealSpinner* positionStepSpinner = nullptr;
  FX::FXRealSpinner* angleStepSpinner = nullptr;
  FX::FXButton* saveResultButton = nullptr;
  FX::FXButton* blCalculationButton = nullptr;
  FX::FXCanvas* canvas = nullptr;
  ElementTab elements[sorvane::kMaxElements];

  // Data targets of the configuration's display strings.
  FX::FXDataTarget brefTarget, cliftTarget, cdragTarget, cmzTarget, cliftGammaTarget;

  double remillValue = 0.0;

  FX::FXString configurationText;
  FX::FXString cliftText, cliftGammaText, cdragText, cmzText, brefText;
  FX::FXString inputPath, outPath, geoPath;
  double plotXMin = 0, plotXMax = 0, plotYMax = 0, plotCpMin = 0, plotCpMax = 0;
  BlCalc_2D* blDialog = nullptr;
  FX::FXTabBook* elementTabBook = nullptr;
  int currentElement = 0;
  int reportCounter = 0;
  FX::FXString remillText;
  FX::FXTextField* remillField = nullptr;
  const char* elementColor[sorvane::kMaxElements] = {};
  double cpAxisStart = 0;
  int saveCounter = 0;
  int blSurface = 0;
  double plotOffsetX = 0, plotRefY = 0, plotScaleX = 1, plotScaleY = 1;

  // Report line templates of the summary file.
  FX::FXString ruleLine, inputFileLine, doubleRuleLine, flowHeading, axisHeading1,
      axisHeading2, axisHeading3, pointHeading, elementCoefficientHeading, elementTitle,
      configurationCoefficientHeading, configurationTitle;

  // Whether a file has been read: edits before that are ignored.
  bool loaded = false;
  // With quietErrors set, error and information boxes are not shown; their
  // text is kept in lastError / lastInformation instead (window tests).
  bool quietErrors = false;
  FX::FXString lastError, lastInformation;
  int errorCount = 0;
  // The listing failures already named in a box, each once.
  std::vector<std::string> shownListingFailures;

  // What the last boundary-layer run reported: the messages of entries that
  // failed and the remarks of entries that went on, each text once, in call
  // order; and whether any surface holds a result to show.
  struct BoundaryLayerRun {
    std::vector<std::string> failures, warnings;
    bool anyResult = false;
    // The run reached the split: the result store holds this run (false
    // when it was refused as a whole and the store is as it was).
    bool storeWritten = false;
    // Some surface of the run has stations without a solution, which the
    // dialog's plots leave out.
    bool unsolvedStations = false;
  };
  BoundaryLayerRun blRun;
  // The boundary-layer solver's entries the run calls (element from 0;
  // surface 0 upper, 1 lower). Tests put stand-ins here.
  std::function<sorvane::Result(int)> blSplitEntry = sorvane::SXR;
  std::function<sorvane::Result(int, int)> blSurfaceEntry = sorvane::FOIL_BL2D;

 private:
  // Input cycle after an edit: solution, refresh, count.
  void recompute();
  void showError(const FX::FXString& caption, const FX::FXString& text);
  void showInformation(const FX::FXString& caption, const FX::FXString& text);
  void showInformationOver(FX::FXWindow* owner, const FX::FXString& caption,
                           const FX::FXString& text);
  void elementPlacementToState(bool withPanelsAndTransition);
  // Gives a placement spinner its range p of kPlacementRanges, widened to
  // take a finite value beyond it: the spinner then shows that value as it
  // is, so that an edit of any element's spinner, which copies every
  // spinner into the state, moves no element the user did not touch. Edits
  // stay within the widened range.
  static void setPlacementRange(FX::FXRealSpinner* spinner, int p, double value);
  // The placement spinners of every present element after a solution:
  // with the placement taken from the contours, they show the placement
  // the solution derived and are disabled, with the reason as their
  // tooltip; otherwise they are enabled, with the ranges they edit in
  // (widened to the stored values, see setPlacementRange).
  void showPlacementInEffect();
  // "Xtru=" (surface 1) or "Xtrl=" (surface 2) of every present element:
  // the tab's field, text and value of that surface.
  void transitionEdit(int surface, FX::FXTextField* ElementTab::*field,
                      FX::FXString ElementTab::*text, double ElementTab::*value,
                      const char* label);
  bool readRealField(FX::FXTextField* field, FX::FXString& text, double previous,
                     double& value, const char* name);
  // Where the drawing routines draw: the canvas, or renderPlot's target.
  FX::FXDrawable* plotTarget() const;
  // The main plot's pixel column of x and row of y.
  double plotColumn(double x) const;
  double plotRow(double y) const;

  // The constructor's steps, in its order.
  void connectDisplayStrings();
  void buildMenuBar();
  void buildConfigurationGroup(FX::FXComposite* left);
  void buildFlowGroups(FX::FXComposite* left);
  void buildOptionGroups(FX::FXComposite* left);
  void buildStepSpinners(FX::FXComposite* left);
  void buildElementTabs(FX::FXComposite* left);
  void buildElementTab(FX::FXTabBook* book, int e);
  void buildCommandButtons(FX::FXComposite* left);
  void buildCanvas(FX::FXComposite* mainFrame);
  void setStartValues();
  FX::FXDrawable* drawTarget = nullptr;
  // The last failure shown in a box, so that a repeated failure is not shown
  // again at every arrow click.
  bool failureShown = false;

  Sorvane_2D(const Sorvane_2D&) = delete;
  Sorvane_2D& operator=(const Sorvane_2D&) = delete;
};

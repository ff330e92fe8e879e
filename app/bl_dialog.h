// The boundary-layer dialog: the result of a boundary-layer run for one
// element and one surface at a time. The upper plot shows the edge velocity,
// the lower one the chosen quantity (skin friction, displacement or momentum
// thickness, shape factor), both against the arc length from the stagnation
// point, with the transition and separation points marked. "Recalculate"
// applies the shown element's transition positions and the Reynolds number
// and runs the boundary layer again.
#pragma once

#include <vector>

#include "app/fox_compat.h"
#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/problem_state.h"

class Sorvane_2D;

class BlCalc_2D : public FX::FXDialogBox {
  FXDECLARE(BlCalc_2D)

 protected:
  // For the toolkit's factory: the base and the members, no widgets, no arrays.
  BlCalc_2D();

 public:
  // Message identifiers. They continue the toolkit dialog's identifiers,
  // keeping their order and the gaps between them (FXDialogBox::ID_LAST + 0,
  // + 3 .. + 8 and + 22 belong to no control). FOX 1.6, which we build on,
  // ends the dialog's own identifiers at 0x3E, so the canvases are 0x3F and
  // 0x40, the quantity radios 0x47 to 0x50, the surface radios 0x51 and 0x52,
  // the element spinner 0x53 and "Recalculate" 0x55 (with a toolkit whose
  // dialog identifiers end at 0x41 the same offsets give 0x42 .. 0x58).
  enum {
    ID_CANVAS_QUANTITY = FX::FXDialogBox::ID_LAST + 1,
    ID_CANVAS_UE = FX::FXDialogBox::ID_LAST + 2,
    ID_UPPER_CF = FX::FXDialogBox::ID_LAST + 9,
    ID_UPPER_D1,
    ID_UPPER_D2,
    ID_UPPER_RV,
    ID_UPPER_H12,
    ID_LOWER_CF,
    ID_LOWER_D1,
    ID_LOWER_D2,
    ID_LOWER_RV,
    ID_LOWER_H12,
    ID_UPPER_SURFACE,
    ID_LOWER_SURFACE,
    ID_ELEMENT,
    ID_RECALCULATE = FX::FXDialogBox::ID_LAST + 23,
    ID_LAST
  };

  // Station quantities of the ranges, in this order; the lower plot shows
  // one of those from Q_CF on (its quantity code counts from there).
  enum { Q_S = 0, Q_UE, Q_CF, Q_D1, Q_D2, Q_RV, Q_H12, Q_COUNT };
  static constexpr int kPlottedQuantities = Q_COUNT - Q_CF;
  // The station array of quantity q (Q_S .. Q_H12) in the problem state.
  using StationArray = sorvane::Array3<double, sorvane::kStations, sorvane::kMaxElements, 2>;
  static StationArray& stationArray(int q);
  // The first station (1-based) at which quantity q (Q_S .. Q_H12) holds a
  // result of the run: the arc length and the edge velocity, which the
  // split sets, from the stagnation point on; the layer's own quantities
  // from the first station the march computes (the march writes nothing
  // at stations 1 and 2: the store keeps 0 there).
  static int firstResultStation(int q);

  // What a dialog draws and shows of one boundary-layer run, per element
  // and surface. The problem state holds the results of the last run only,
  // and every run (another dialog's "Recalculate", "BL Calculation" again)
  // rewrites them; a dialog is the picture of its own run: the run it was
  // opened on, or its own last "Recalculate". So it keeps a copy of that
  // run's results and draws from it, not from the state.
  struct RunPicture {
    struct Surface {
      // Stations with results of the run (1..NXDONE within the list), and
      // their values: values[q][i - 1] is quantity q (Q_S .. Q_H12) of
      // station i.
      int stations = 0;
      std::vector<double> values[Q_COUNT];
      // Per station (same indexing): 1 when it has a solution of its own,
      // 0 when the store held its first guess as a stand-in.
      std::vector<char> solved;
      int listed = 0;         // NX: stations of the surface's list
      double arcLength = 0;   // S of the list's last station
      double xinv = 0;        // start of the region past separation
      double xtr = 0;         // transition position
    };
    Surface surface[sorvane::kMaxElements][2];  // [element from 0][0 upper, 1 lower]
    double chord[sorvane::kMaxElements] = {};   // BELEM, for "Xsep"
    double remill = 0;                          // the run's Reynolds number in millions

    // The results of the first `elements` elements as the state holds them.
    void take(int elements);
  };

  // A dialog on the results in the problem state, for the element of the
  // owner's current tab. Draws nothing and runs no solver.
  explicit BlCalc_2D(Sorvane_2D* owner);
  // Writes the dialog's Reynolds number into the problem state.
  virtual ~BlCalc_2D();

  // The dialog opens at (500, 500), 800 by 630. When its content needs more
  // room (a larger normal font than the layout was made for) it grows to
  // its content, and when it would reach beyond the screen there it moves
  // up and left just enough to show all of it, "Recalculate" included.
  void placeOnScreen();

  // Handlers (toolkit form: sender, selector, message data; each returns 1).
  long onPaintPlots(FX::FXObject*, FX::FXSelector, void*);
  long onCmdSurface(FX::FXObject*, FX::FXSelector, void*);
  long onCmdUpperQuantity(FX::FXObject*, FX::FXSelector, void*);
  long onCmdLowerQuantity(FX::FXObject*, FX::FXSelector, void*);
  long onCmdElement(FX::FXObject*, FX::FXSelector, void*);
  long onCmdRecalculate(FX::FXObject*, FX::FXSelector, void*);

  // Construction pieces.
  void allocateArrays();
  void initElementState();
  void collectRanges();
  // Transition and separation values of element k, from the run the dialog
  // shows, into the bound fields.
  void loadSurfaceFields(int k);

  // Radio rules: check the shown surface and its quantities, enable only the
  // shown surface's choosable quantities ("RV(x)" never).
  void updateRadios();
  void setSurfaceRadios(int j);
  void enableRadios();

  // Plots. drawAxes, drawMarker and drawCurve draw with the context they are
  // given, in the mapping that the last drawAxes set.
  void drawAxes(FX::FXDC& dc, FX::FXCanvas* canvas, int surface, double xmin, double xmax,
                double ymin, double ymax, const FX::FXString& title);
  void drawMarker(FX::FXDC& dc, double x, double y, int width, int height, int small,
                  const char* color);
  void drawCurve(FX::FXDC& dc, int first, int end, const double* xs, const double* ys,
                 int dashed, const char* color);
  // The curve of ys over the arc length from station `first` on (1-based;
  // firstResultStation of the quantity drawn).
  void drawElementCurve(FX::FXCanvas* canvas, int element, int surface, const double* ys,
                        int first);
  void drawUeCurveBlack(int element, int surface, const double* ys);
  void drawPlots();
  // The left margin of a plot whose y range is ymin..ymax: 45 pixels, or
  // as wide as its widest y label and the gap before the plot area need (a
  // negative label of four decimals, or one of five, is wider than 45
  // pixels in the normal font), at most a third of the canvas's width.
  int labelMargin(double ymin, double ymax);
  // The wider labelMargin of the two plots the dialog shows (the edge
  // velocity and the chosen quantity of the shown element and surface).
  int shownMargin();
  // The quantity code of the lower plot of the shown element and surface.
  int shownQuantity() const;

  // Widgets; they belong to the toolkit's widget tree.
  Sorvane_2D* mainWindow = nullptr;
  FX::FXLabel* transitionLegend = nullptr;
  FX::FXLabel* separationLegend = nullptr;
  FX::FXTextField* reynoldsField = nullptr;
  FX::FXSpinner* elementSpinner = nullptr;
  FX::FXLabel* colorSwatch = nullptr;
  FX::FXRadioButton* surfaceRadio[2] = {};
  FX::FXRadioButton* quantityRadio[kPlottedQuantities][2] = {};
  FX::FXTextField* strField[2] = {};
  FX::FXTextField* ssepField[2] = {};
  FX::FXTextField* xsepField[2] = {};
  FX::FXButton* recalculateButton = nullptr;
  FX::FXCanvas* ueCanvas = nullptr;
  FX::FXCanvas* quantityCanvas = nullptr;

  // Values shown by the fields, per surface (0 upper, 1 lower).
  double strValue[2] = {};   // transition, arc length from the stagnation point
  double ssepValue[2] = {};  // separation, arc length
  double xsepValue[2] = {};  // separation along the chord
  double reynoldsValue = 0;  // Reynolds number in millions

  FX::FXDataTarget reynoldsTarget;
  FX::FXDataTarget strTarget[2];
  FX::FXDataTarget ssepTarget[2];
  FX::FXDataTarget xsepTarget[2];

  const char* elementColor[sorvane::kMaxElements] = {};
  int currentElement = 0;  // 0-based element shown
  int elementCount = 0;    // NELEM when the dialog was made

  // Per element (elementCount entries).
  std::vector<int> shownSurface;        // 0 upper, 1 lower
  std::vector<int> plottedQuantity[2];  // per surface: 0 CF, 1 D1, 2 D2, 3 RV, 4 H12
  // The run this dialog shows (taken at construction and after its own
  // "Recalculate").
  RunPicture ownRun;

  // Per quantity (Q_S .. Q_H12) and surface, per element.
  std::vector<double> rangeMin[Q_COUNT][2];
  std::vector<double> rangeMax[Q_COUNT][2];

  FX::FXString scratchText;

  // Mapping of the plot drawn last.
  double axisXMin = 0, axisYMin = 0;
  double scaleX = 1, scaleY = 1;
  int originX = 45, originY = 0;
  // Axis values of that plot: raised maxima, steps and label counts (nx,
  // ny; the x grid has nx + 2 lines, the y grid ny + 1).
  double axisXMax = 0, axisYMax = 0, stepX = 0.2, stepY = 0.2;
  int countX = -1, countY = -1;
  // Whether x and y of that plot map to pixels (a finite, positive scale).
  bool xMapped = false, yMapped = false;

 private:
  // The curve of ys over the arc length of the element's surface, through
  // the stations with a solution only, and the ticks of those without.
  void drawStationCurve(FX::FXCanvas* canvas, int element, int surface, const double* ys,
                        int first, const char* color);
  // A short upright dash at a station with a solution but no neighbour
  // with one.
  void drawLoneStation(FX::FXDC& dc, double x, double y, const char* color);
  // Grey ticks across the x axis at the stations without a solution.
  void drawUnsolvedTicks(FX::FXDC& dc, const RunPicture::Surface& run);
  // currentElement from the element spinner, within the present elements;
  // false when the dialog has no element.
  bool elementFromSpinner();
  // The quantity code of the lower plot chosen for surface 0 (upper) or 1.
  void quantityChosen(int surface, int code);
  // A value handed to a field of the main window and its stored copy.
  void passOn(FX::FXTextField* field, double& stored, double value);
  // The plot mapping of the plot drawn last: pixel column of x, row of y.
  double plotColumn(double x) const;
  double plotRow(double y) const;

  BlCalc_2D(const BlCalc_2D&) = delete;
  BlCalc_2D& operator=(const BlCalc_2D&) = delete;
};

namespace sorvane::gui {

// Raises a positive axis maximum to the next multiple above it of a step of
// 1, 0.5 or 0.2 times a power of ten and returns that step. Leaves both as
// they were for 0, negative or non-finite values, values that scale to
// exactly 1 and values needing ten or more scalings by ten.
void niceScale(double& value, double& step);
void niceScaleCopy(double& value, double& step);

// Smallest and largest of n values, seeded with 1000 and -1000; a value that
// is not a number changes neither.
void findMinMax(const double* values, double& minimum, double& maximum, int n);
// The same over the values whose solved entry is not 0 (all of them when
// solved is null): a station that holds a stand-in for a solution is no
// result and sets no range.
void findMinMaxSolved(const double* values, const char* solved, double& minimum,
                      double& maximum, int n);

// Colour of the ticks that mark stations without a solution: a grey that is
// none of the element colours.
constexpr const char* kUnsolvedColor = "DimGray";

// Placeholders of the dialog's plot family; they do nothing.
void emptyStub();
void emptyStubArg(int);

// Stations of surface s (1 upper, 2 lower) of element k that hold results of
// the last boundary-layer run, within the station list and the store.
int computed_stations(int k, int s);
// A surface shows curves when at least this many stations were computed.
constexpr int kResultStations = 3;
// The first station the march computes (stations before it carry only the
// arc length and the edge velocity of the split).
using sorvane::kFirstMarchedStation;

}  // namespace sorvane::gui

// The boundary-layer dialog's two plots: the edge velocity above, the chosen
// quantity below, both against the arc length from the stagnation point, on
// a dashed grid with nice steps, with the separation (red) and transition
// (blue) points marked on y = 0; then the fields of the shown element.
#include <algorithm>
#include <cmath>

#include "app/bl_dialog.h"
#include "app/plot_drawing.h"
#include "app/plot_support.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::state;
using namespace sorvane::gui;

namespace sorvane::gui {

void niceScale(double& value, double& step) {
  double v = value;
  int n = 1;      // attempt counter
  double f = 1;   // power of ten of the scalings so far
  for (;;) {
    if (v < 1) {
      v = v * 10;
      f = std::pow(0.1, n);
      if (++n == 11) return;
    } else if (v > 10) {
      v = v / 10;
      f = std::pow(10.0, n);
      if (++n == 11) return;
    } else if (v > 1) {
      break;
    } else {  // exactly 1, or not a number
      if (++n == 11) return;
    }
  }
  const double t = std::trunc(v);
  if (t > 4) {
    step = f;
    value = (t + 1) * f;
  } else if (t >= 2) {
    step = 0.5 * f;
    value = (std::trunc(2 * v) + 1) * step;
  } else {
    step = 0.2 * f;
    value = (std::trunc(v / 0.2) + 1) * step;
  }
}

void niceScaleCopy(double& value, double& step) { niceScale(value, step); }

void findMinMax(const double* values, double& minimum, double& maximum, int n) {
  findMinMaxSolved(values, nullptr, minimum, maximum, n);
}

void findMinMaxSolved(const double* values, const char* solved, double& minimum,
                      double& maximum, int n) {
  minimum = 1000;
  maximum = -1000;
  for (int i = 0; i < n; ++i) {
    if (solved && !solved[i]) continue;
    const double v = values[i];
    if (minimum > v) minimum = v;
    if (v > maximum) maximum = v;
  }
}

void emptyStub() {}
void emptyStubArg(int) {}

int computed_stations(int k, int s) {
  const ProblemState& st = state();
  int n = st.NXDONE(k, s);
  if (n > st.NX(k, s)) n = st.NX(k, s);
  if (n > sorvane::kStations) n = sorvane::kStations;
  return n < 0 ? 0 : n;
}

}  // namespace sorvane::gui

namespace {

// Margins of both plots; the left one is the least: it widens where a y
// label needs more room (BlCalc_2D::labelMargin).
constexpr int kLeft = 45, kRight = 5, kTop = 5, kBottom = 20;

// A scale that maps: finite and positive, from a finite minimum.
bool maps(double scale, double minimum) {
  return std::isfinite(scale) && scale > 0 && std::isfinite(minimum);
}

// The value axis of a plot whose range is ymin..ymax: the maximum raised to
// the next multiple of its step, and the count of grid lines above the
// first (-1 for none).
struct ValueAxis {
  double top, step;
  int count;
};
ValueAxis value_axis(double ymin, double ymax) {
  ValueAxis y{ymax, 0.2, -1};
  sorvane::gui::niceScale(y.top, y.step);
  y.count = bounded_count((y.top - ymin) / y.step);
  return y;
}

// Titles of the lower plot by quantity code (0 Cf .. 4 H12).
const char* const kQuantityTitle[BlCalc_2D::kPlottedQuantities] = {"Cf(X)", "D1(X)", "D2(X)",
                                                                  "RV(X)", "H12(X)"};

}  // namespace

void BlCalc_2D::drawAxes(FXDC& dc, FXCanvas* canvas, int surface, double xmin, double xmax,
                         double ymin, double ymax, const FXString& title) {
  // Both plots are laid out with the upper canvas's size; the background
  // covers the whole of the canvas drawn, which the layout may have made
  // larger than the upper one (its rows beyond would keep whatever lay on
  // the screen there).
  const int W = ueCanvas->getWidth(), H = ueCanvas->getHeight();
  dc.setForeground(fxcolorfromname("White"));
  dc.fillRectangle(0, 0, canvas ? std::max(W, canvas->getWidth()) : W,
                   canvas ? std::max(H, canvas->getHeight()) : H);

  axisXMin = xmin;
  axisXMax = xmax;
  axisYMin = ymin;
  const ValueAxis y = value_axis(ymin, ymax);
  axisYMax = y.top;
  stepY = y.step;
  countY = y.count;
  // The x range spans the data exactly, the y range up to the raised maximum.
  const double xRange = axisXMax - axisXMin;
  const double yRange = axisYMax - axisYMin;
  stepX = 0.2;
  sorvane::gui::niceScale(axisXMax, stepX);
  countX = bounded_count(xRange / stepX);
  // The left margin takes the widest y label of this plot and of the two
  // plots the dialog shows, so that both plots keep one arc-length axis.
  const int left = std::max(labelMargin(ymin, ymax), shownMargin());
  scaleX = (W - left - kRight) / xRange;
  scaleY = (H - kTop - kBottom) / yRange;
  originX = left;
  originY = H - kBottom;

  // A surface without a result shows the frame of its plot area and its
  // title; otherwise each axis is drawn when its range maps to pixels (a
  // zero, negative or non-finite range does not).
  const int j = surface == 0 ? 0 : 1;
  const bool result = currentElement >= 0 && currentElement < elementCount &&
                      ownRun.surface[currentElement][j].stations >= kResultStations;
  xMapped = result && maps(scaleX, axisXMin);
  yMapped = result && maps(scaleY, axisYMin);

  dc.setForeground(fxcolorfromname("Orange"));
  dc.setLineStyle(LINE_ONOFF_DASH);
  if (!result) {
    if (W - left - kRight > 0 && H - kTop - kBottom > 0)
      dc.drawRectangle(left, kTop, W - left - kRight, H - kTop - kBottom);
  }
  if (xMapped)
    draw_vertical_lines(dc, countX + 1, originY, kTop,
                        [&](int i) { return i * stepX * scaleX + left; });
  if (yMapped)
    draw_horizontal_lines(dc, countY, left, W - kRight,
                          [&](int i) { return (H - kBottom) - i * stepY * scaleY; });

  dc.setLineStyle(LINE_SOLID);
  FXFont* const font = getApp()->getNormalFont();
  dc.setFont(font);
  dc.setForeground(fxcolorfromname("Black"));
  // Each label with the decimals its axis's step needs. The y labels stand
  // at a hundredth of the width, unless some label of the axis would reach
  // the plot area from there: then all of them end just left of it.
  if (yMapped) {
    const AxisLabels labels = AxisLabels::of(axisYMin, stepY, countY);
    draw_row_labels_left_of(
        dc, *font, countY, static_cast<int>(0.01 * W), left,
        [&](int i) { return (H - kBottom) - scaleY * (i * stepY); },
        [&](int i) { return FXString(labels.text(axisYMin + i * stepY).c_str()); });
  }
  if (xMapped) {
    const AxisLabels labels = AxisLabels::of(axisXMin, stepX, countX);
    draw_column_labels(
        dc, countX, static_cast<int>(0.99 * H), [&](int i) { return left + scaleX * (i * stepX); },
        [&](int i) { return FXString(labels.text(axisXMin + i * stepX).c_str()); });
  }
  dc.drawText(static_cast<int>(0.9 * W), static_cast<int>(0.99 * H), title);

  if (xMapped && yMapped) {
    drawMarker(dc, ownRun.surface[currentElement][j].xinv, 0, W, H, 0, "Red");
    drawMarker(dc, strValue[j], 0, W, H, 0, "Blue");
  }
}

void BlCalc_2D::drawMarker(FXDC& dc, double x, double y, int, int, int small,
                           const char* color) {
  if (!xMapped || !yMapped) return;
  const double d = small == 1 ? 2 : 8;
  dc.setForeground(fxcolorfromname(color));
  draw_marker(dc, plotColumn(x), plotRow(y), d, d);
}

void BlCalc_2D::drawCurve(FXDC& dc, int first, int end, const double* xs, const double* ys,
                          int dashed, const char* color) {
  // Nothing is drawn into a plot whose axes do not map.
  const int last = xMapped && yMapped ? end : first;
  draw_polyline(dc, first, last, dashed, color, [&](int j, int& px, int& py) {
    return to_pixel(plotColumn(xs[j]), px) && to_pixel(plotRow(ys[j]), py);
  });
}

double BlCalc_2D::plotColumn(double x) const { return originX + (x - axisXMin) * scaleX; }

double BlCalc_2D::plotRow(double y) const { return originY - (y - axisYMin) * scaleY; }

int BlCalc_2D::firstResultStation(int q) {
  return q == Q_S || q == Q_UE ? 1 : sorvane::gui::kFirstMarchedStation;
}

void BlCalc_2D::drawStationCurve(FXCanvas* canvas, int element, int surface, const double* ys,
                                 int first, const char* color) {
  if (!canvas || !canvas->id() || element < 0 || element >= elementCount) return;
  const RunPicture::Surface& run = ownRun.surface[element][surface == 0 ? 0 : 1];
  // Only the stations of the shown run, and only for a surface with a result.
  const int n = run.stations >= kResultStations ? run.stations : 0;
  const double* xs = run.values[Q_S].data();
  FXDCWindow dc(canvas);
  // A station without a solution holds a first guess, not a result: the
  // curve runs through each stretch of stations with a solution and breaks
  // at the others. A station with a solution between two without one has
  // no neighbour to join; it is shown as a short upright dash at its value.
  // Stations before `first` hold no result of the quantity at all.
  for (int from = std::max(first - 1, 0); from < n;) {
    if (!run.solved[from]) {
      ++from;
      continue;
    }
    int end = from + 1;
    while (end < n && run.solved[end]) ++end;
    if (end - from >= 2)
      drawCurve(dc, from, end, xs, ys, 0, color);
    else
      drawLoneStation(dc, xs[from], ys[from], color);
    from = end;
  }
  if (n > 0) drawUnsolvedTicks(dc, run);
}

void BlCalc_2D::drawLoneStation(FXDC& dc, double x, double y, const char* color) {
  // Upright, in the station's own column: it reaches no column of the
  // stations without a solution beside it.
  if (!xMapped || !yMapped) return;
  int px = 0, py = 0;
  if (!to_pixel(plotColumn(x), px) || !to_pixel(plotRow(y), py)) return;
  dc.setLineStyle(LINE_SOLID);
  dc.setForeground(fxcolorfromname(color));
  dc.drawLine(px, py - 2, px, py + 2);
}

void BlCalc_2D::drawUnsolvedTicks(FXDC& dc, const RunPicture::Surface& run) {
  // Where the run has no result: ticks across the x axis, in a grey that no
  // element has, so that they cannot be read as values.
  if (!xMapped) return;
  dc.setLineStyle(LINE_SOLID);
  dc.setForeground(fxcolorfromname(kUnsolvedColor));
  for (int i = 0; i < run.stations; ++i) {
    int px = 0;
    if (run.solved[i] || !to_pixel(plotColumn(run.values[Q_S][i]), px)) continue;
    dc.drawLine(px, originY - 4, px, originY + 4);
  }
}

void BlCalc_2D::drawElementCurve(FXCanvas* canvas, int element, int surface, const double* ys,
                                 int first) {
  if (element < 0 || element >= elementCount) return;
  drawStationCurve(canvas, element, surface, ys, first, elementColor[element]);
}

void BlCalc_2D::drawUeCurveBlack(int element, int surface, const double* ys) {
  drawStationCurve(ueCanvas, element, surface, ys, firstResultStation(Q_UE), "Black");
}

int BlCalc_2D::labelMargin(double ymin, double ymax) {
  const ValueAxis y = value_axis(ymin, ymax);
  if (!maps((ueCanvas->getHeight() - kTop - kBottom) / (y.top - ymin), ymin)) return kLeft;
  const AxisLabels labels = AxisLabels::of(ymin, y.step, y.count);
  const FXFont* font = getApp()->getNormalFont();
  int widest = 0;
  for (int i = 0; i <= y.count; ++i)
    widest = std::max(widest, font->getTextWidth(FXString(labels.text(ymin + i * y.step).c_str())));
  return std::min(std::max(kLeft, widest + kLabelGap),
                  std::max(kLeft, ueCanvas->getWidth() / 3));
}

int BlCalc_2D::shownQuantity() const {
  const int e = currentElement;
  const int q = plottedQuantity[shownSurface[e] == 0 ? 0 : 1][e];
  return q < 0 || q >= kPlottedQuantities ? 0 : q;
}

int BlCalc_2D::shownMargin() {
  if (currentElement < 0 || currentElement >= elementCount) return kLeft;
  const int e = currentElement;
  const int s = shownSurface[e] == 0 ? 0 : 1;
  const int q = shownQuantity();
  return std::max(labelMargin(rangeMin[Q_UE][s][e], rangeMax[Q_UE][s][e]),
                  labelMargin(rangeMin[Q_CF + q][s][e], rangeMax[Q_CF + q][s][e]));
}

void BlCalc_2D::drawPlots() {
  if (elementCount < 1 || !ueCanvas || !ueCanvas->id() || !quantityCanvas->id()) return;
  FXDCWindow ueDc(ueCanvas);
  updateRadios();
  const int e = currentElement, k = e + 1;
  const int s = shownSurface[e] == 0 ? 0 : 1;
  drawAxes(ueDc, ueCanvas, s, rangeMin[Q_S][s][e], rangeMax[Q_S][s][e], rangeMin[Q_UE][s][e],
           rangeMax[Q_UE][s][e], "Ue(X)");
  const RunPicture::Surface& run = ownRun.surface[e][s];
  drawElementCurve(ueCanvas, e, s, run.values[Q_UE].data(), firstResultStation(Q_UE));

  FXDCWindow quantityDc(quantityCanvas);
  const int q = shownQuantity();
  drawAxes(quantityDc, quantityCanvas, s, rangeMin[Q_S][s][e], rangeMax[Q_S][s][e],
           rangeMin[Q_CF + q][s][e], rangeMax[Q_CF + q][s][e], kQuantityTitle[q]);
  drawElementCurve(quantityCanvas, e, s, run.values[Q_CF + q].data(),
                   firstResultStation(Q_CF + q));

  // The markers above used the transition positions as they were; the
  // fields now show those of the shown run.
  loadSurfaceFields(k);
}

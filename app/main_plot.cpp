// The main plot: Cp of every element against x (negative Cp upwards) on a
// dashed grid, and the element contours at true shape with a marker at each
// rotation axis, both in one x scale.
#include <algorithm>
#include <cmath>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "app/plot_support.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;
using sorvane::gui::bounded_count;
using sorvane::gui::to_pixel;

namespace {

int present_elements() {
  const int n = state().NELEM;
  return n < 0 ? 0 : (n > 5 ? 5 : n);
}

bool solution_failed() { return state().SOLUTION_STATUS == SolutionStatus::kFailed; }

// A finite, non-zero scale factor.
double safe_scale(double scale) { return std::isfinite(scale) && scale != 0.0 ? scale : 1.0; }

}  // namespace

FXDrawable* Sorvane_2D::plotTarget() const {
  return drawTarget ? drawTarget : static_cast<FXDrawable*>(canvas);
}

void Sorvane_2D::computePlotBounds() {
  const ProblemState& s = state();
  plotXMin = 1000;
  plotXMax = -1000;
  plotYMax = -1000;
  plotCpMin = 1000;
  plotCpMax = -1000;
  const int ne = present_elements();
  for (int k = 1; k <= ne; ++k) {
    const int n = std::min(s.NPANELS(k), sorvane::kMaxPanels);
    if (n <= 0) continue;
    for (int j = 1; j <= n; ++j) {
      const double x = s.XPN(j, k), y = s.YPN(j, k);
      if (x < plotXMin) plotXMin = x;
      if (x > plotXMax) plotXMax = x;
      if (y > plotYMax) plotYMax = y;
    }
    const int skip = sorvane::gui::cp_end_skip(n);
    for (int j = skip + 1; j <= n - skip; ++j) {
      const double cp = s.CP(j, k);
      if (cp < plotCpMin) plotCpMin = cp;
      if (cp > plotCpMax) plotCpMax = cp;
    }
  }
}

void Sorvane_2D::drawGrid() {
  FXDrawable* target = plotTarget();
  if (!target || !target->id()) return;
  FXDCWindow dc(target);
  const int W = target->getWidth(), H = target->getHeight();
  dc.setForeground(fxcolorfromname("White"));
  dc.fillRectangle(0, 0, W, H);

  const sorvane::gui::CpAxis axis = sorvane::gui::cp_axis_for(plotCpMin);
  cpAxisStart = axis.start;
  const double d = axis.step;
  const int nx = bounded_count((plotXMax - plotXMin) / 0.1);
  const int ny = bounded_count((plotCpMax - cpAxisStart) / d);

  // A zero (or missing) extent would divide by zero: the grid is then drawn
  // for an extent of one unit.
  plotScaleX = safe_scale((W - 30 - 5) / sorvane::gui::safe_extent(plotXMax - plotXMin));
  plotScaleY = safe_scale(0.98 * H / sorvane::gui::safe_extent(plotCpMax - cpAxisStart));
  plotOffsetX = 30 / plotScaleX;
  const double rightEnd = (W - 5) / plotScaleX;

  dc.setForeground(fxcolorfromname("Orange"));
  plotRefY = cpAxisStart + 0.01;
  dc.setLineStyle(LINE_ONOFF_DASH);
  int p0, p1, p2;
  for (int i = 0; i <= nx + 1; ++i) {
    if (to_pixel((0.1 * i + plotOffsetX) * plotScaleX, p0))
      dc.drawLine(p0, static_cast<int>(0.99 * H), p0, static_cast<int>(0.01 * H));
  }
  for (int i = 0; i <= ny; ++i) {
    if (to_pixel((i * d + cpAxisStart - plotRefY) * plotScaleY, p0) &&
        to_pixel(plotOffsetX * plotScaleX, p1) && to_pixel(rightEnd * plotScaleX, p2))
      dc.drawLine(p1, p0, p2, p0);
  }

  dc.setLineStyle(LINE_SOLID);
  dc.setFont(getApp()->getNormalFont());
  dc.setForeground(fxcolorfromname("Black"));
  for (int i = 0; i <= ny; ++i) {
    const double v = i * d + cpAxisStart;
    if (to_pixel((v - plotRefY) * plotScaleY, p0))
      dc.drawText(static_cast<int>(0.01 * W), p0, sorvane::gui::string_from_double(v, 1));
  }
}

void Sorvane_2D::drawPressureCurves() {
  FXDrawable* target = plotTarget();
  if (!target || !target->id()) return;
  plotRefY = cpAxisStart + 0.01;
  if (solution_failed()) return;  // no Cp of a failed solution
  FXDCWindow dc(target);
  ProblemState& s = state();
  const int ne = present_elements();
  for (int k = 1; k <= ne; ++k)
    drawCurve(dc, 0, std::min(s.NPANELS(k), sorvane::kMaxPanels), s.XC.column(k),
              s.CP.column(k), 0, elementColor[k - 1]);
}

void Sorvane_2D::drawPolyline(FXDC& dc, int first, int end, const double* x, const double* y,
                              double yFactor, int dashed, const char* color) {
  dc.setLineStyle(dashed == 1 ? LINE_ONOFF_DASH : LINE_SOLID);
  dc.setForeground(fxcolorfromname(color));
  int px0 = 0, py0 = 0;
  bool previous = false;
  for (int j = first; j < end; ++j) {
    int px, py;
    const bool ok = to_pixel((x[j] - plotXMin + plotOffsetX) * plotScaleX, px) &&
                    to_pixel((y[j] * yFactor - plotRefY) * plotScaleY, py);
    if (ok && previous) dc.drawLine(px0, py0, px, py);
    px0 = px;
    py0 = py;
    previous = ok;
  }
  dc.setLineStyle(LINE_SOLID);
}

void Sorvane_2D::drawCurve(FXDC& dc, int first, int end, const double* x, const double* y,
                           int dashed, const char* color) {
  drawPolyline(dc, first, end, x, y, 1.0, dashed, color);
}

// The stored y are divided by the sweep cosine; the contour is drawn with its
// true y.
void Sorvane_2D::drawContour(FXDC& dc, int first, int end, const double* x, const double* y,
                             int dashed, const char* color) {
  drawPolyline(dc, first, end, x, y, state().COSSWEPT, dashed, color);
}

void Sorvane_2D::drawGeometry() {
  FXDrawable* target = plotTarget();
  if (!target || !target->id()) return;
  plotScaleY = -plotScaleX;
  const int W = target->getWidth(), H = target->getHeight();
  plotRefY = plotYMax + 0.01;
  if (solution_failed()) return;  // the panel geometry may be incomplete
  FXDCWindow dc(target);
  ProblemState& s = state();
  const int ne = present_elements();
  for (int k = 1; k <= ne; ++k) {
    drawContour(dc, 0, std::min(s.NPANELS(k), sorvane::kMaxPanels) + 1, s.XPN.column(k),
                s.YPN.column(k), 0, elementColor[k - 1]);
    drawMarker(dc, xcSpinner[k - 1]->getValue(), ycSpinner[k - 1]->getValue(), W, H, 0,
               "Magenta");
  }
}

void Sorvane_2D::drawMarker(FXDC& dc, double x, double y, int width, int height, int small,
                            const char* color) {
  const double a = small == 1 ? 2 : 8;
  const double b = height > 0 ? a * width / height : a;
  dc.setForeground(fxcolorfromname(color));
  const double px = (x - plotXMin + plotOffsetX) * plotScaleX;
  const double py = (y - plotRefY) * plotScaleY;
  int x0, x1, y0, y1, cx, cy, ex, ey;
  if (!to_pixel(px - a, x0) || !to_pixel(px + a, x1) || !to_pixel(py, cy) ||
      !to_pixel(px, cx) || !to_pixel(py - b, y0) || !to_pixel(py + b, y1) ||
      !to_pixel(px - a / 2, ex) || !to_pixel(py - b / 2, ey))
    return;
  dc.drawLine(x0, cy, x1, cy);
  dc.drawLine(cx, y0, cx, y1);
  dc.drawEllipse(ex, ey, static_cast<int>(a), static_cast<int>(b));
}

void Sorvane_2D::drawPointMarks(FXDC& dc, int first, int end, const double* x, const double* y,
                                int small, const char* color) {
  const double h = small == 1 ? 2 : 4;
  dc.setForeground(fxcolorfromname(color));
  for (int j = first; j < end; ++j) {
    const double px = (x[j] - plotXMin + plotOffsetX) * plotScaleX;
    const double py = (y[j] - plotRefY) * plotScaleY;
    int x0, x1, y0, y1, cx, cy;
    if (!to_pixel(px - h, x0) || !to_pixel(px + h, x1) || !to_pixel(py - h, y0) ||
        !to_pixel(py + h, y1) || !to_pixel(px, cx) || !to_pixel(py, cy))
      continue;
    dc.drawLine(x0, cy, x1, cy);
    dc.drawLine(cx, y0, cx, y1);
  }
}

long Sorvane_2D::onPaintCanvas(FXObject*, FXSelector, void* ptr) {
  {
    FXDCWindow dc(canvas, static_cast<FXEvent*>(ptr));
    const FXEvent* ev = static_cast<FXEvent*>(ptr);
    dc.setForeground(fxcolorfromname("White"));
    if (ev)
      dc.fillRectangle(ev->rect.x, ev->rect.y, ev->rect.w, ev->rect.h);
    else
      dc.fillRectangle(0, 0, canvas->getWidth(), canvas->getHeight());
  }
  if (state().NCOMPUTE != 0 && loaded) {
    drawGrid();
    drawPressureCurves();
    drawGeometry();
  }
  return 1;
}

long Sorvane_2D::onPaintSecondCanvas(FXObject* sender, FXSelector, void*) {
  FXCanvas* second = dynamic_cast<FXCanvas*>(sender);
  if (!second || !second->id()) return 1;
  {
    FXDCWindow dc(second);
    dc.setForeground(fxcolorfromname("Yellow"));
    dc.fillRectangle(0, 0, second->getWidth(), second->getHeight());
  }
  second->setHeight(second->getWidth() / 4);
  FXDrawable* saved = drawTarget;
  drawTarget = second;
  drawGeometry();
  drawTarget = saved;
  return 1;
}

void Sorvane_2D::renderPlot(FXDrawable* target) {
  FXDrawable* saved = drawTarget;
  drawTarget = target;
  computePlotBounds();
  drawGrid();
  drawPressureCurves();
  drawGeometry();
  drawTarget = saved;
}

// The main plot: Cp of every element against x (negative Cp upwards) on a
// dashed grid, and the element contours at true shape with a marker at each
// rotation axis, both in one x scale.
#include <cmath>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "app/plot_drawing.h"
#include "app/plot_support.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;
using sorvane::gui::bounded_count;
using sorvane::gui::to_pixel;

namespace {

bool solution_failed() { return state().SOLUTION_STATUS == SolutionStatus::kFailed; }

// A finite, non-zero scale factor.
double safe_scale(double scale) { return std::isfinite(scale) && scale != 0.0 ? scale : 1.0; }

}  // namespace

FXDrawable* Sorvane_2D::plotTarget() const {
  return drawTarget ? drawTarget : static_cast<FXDrawable*>(canvas);
}

double Sorvane_2D::plotColumn(double x) const { return (x - plotXMin + plotOffsetX) * plotScaleX; }

double Sorvane_2D::plotRow(double y) const { return (y - plotRefY) * plotScaleY; }

void Sorvane_2D::computePlotBounds() {
  const ProblemState& s = state();
  plotXMin = 1000;
  plotXMax = -1000;
  plotYMax = -1000;
  plotCpMin = 1000;
  plotCpMax = -1000;
  const int ne = sorvane::addressable_elements(s.NELEM);
  for (int k = 1; k <= ne; ++k) {
    const int n = sorvane::addressable_panels(s.NPANELS(k));
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
  // Vertical lines 0.1 apart in x from plotXMin; horizontal ones and their
  // labels at the Cp steps, the lines from the left margin to the right one.
  auto cpStep = [&](int i) { return i * d + cpAxisStart; };
  auto cpRow = [&](int i) { return (cpStep(i) - plotRefY) * plotScaleY; };
  sorvane::gui::draw_vertical_lines(dc, nx + 1, static_cast<int>(0.99 * H),
                                    static_cast<int>(0.01 * H),
                                    [&](int i) { return (0.1 * i + plotOffsetX) * plotScaleX; });
  int x0, x1;
  if (to_pixel(plotOffsetX * plotScaleX, x0) && to_pixel(rightEnd * plotScaleX, x1))
    sorvane::gui::draw_horizontal_lines(dc, ny, x0, x1, cpRow);

  dc.setLineStyle(LINE_SOLID);
  dc.setFont(getApp()->getNormalFont());
  dc.setForeground(fxcolorfromname("Black"));
  sorvane::gui::draw_row_labels(dc, ny, static_cast<int>(0.01 * W), cpRow, [&](int i) {
    return sorvane::gui::string_from_double(cpStep(i), 1);
  });
}

void Sorvane_2D::drawPressureCurves() {
  FXDrawable* target = plotTarget();
  if (!target || !target->id()) return;
  plotRefY = cpAxisStart + 0.01;
  if (solution_failed()) return;  // no Cp of a failed solution
  FXDCWindow dc(target);
  ProblemState& s = state();
  const int ne = sorvane::addressable_elements(s.NELEM);
  for (int k = 1; k <= ne; ++k)
    drawCurve(dc, 0, sorvane::addressable_panels(s.NPANELS(k)), s.XC.column(k), s.CP.column(k),
              0, elementColor[k - 1]);
}

void Sorvane_2D::drawPolyline(FXDC& dc, int first, int end, const double* x, const double* y,
                              double yFactor, int dashed, const char* color) {
  sorvane::gui::draw_polyline(dc, first, end, dashed, color, [&](int j, int& px, int& py) {
    return to_pixel(plotColumn(x[j]), px) && to_pixel(plotRow(y[j] * yFactor), py);
  });
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
  const int ne = sorvane::addressable_elements(s.NELEM);
  for (int k = 1; k <= ne; ++k) {
    const ElementTab& t = elements[k - 1];
    drawContour(dc, 0, sorvane::addressable_panels(s.NPANELS(k)) + 1, s.XPN.column(k),
                s.YPN.column(k), 0, elementColor[k - 1]);
    drawMarker(dc, t.xcSpinner->getValue(), t.ycSpinner->getValue(), W, H, 0, "Magenta");
  }
}

void Sorvane_2D::drawMarker(FXDC& dc, double x, double y, int width, int height, int small,
                            const char* color) {
  const double a = small == 1 ? 2 : 8;
  const double b = height > 0 ? a * width / height : a;
  dc.setForeground(fxcolorfromname(color));
  sorvane::gui::draw_marker(dc, plotColumn(x), plotRow(y), a, b);
}

void Sorvane_2D::drawPointMarks(FXDC& dc, int first, int end, const double* x, const double* y,
                                int small, const char* color) {
  const double h = small == 1 ? 2 : 4;
  dc.setForeground(fxcolorfromname(color));
  for (int j = first; j < end; ++j)
    sorvane::gui::draw_cross(dc, plotColumn(x[j]), plotRow(y[j]), h, h);
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

// Drawing pieces that both windows' plots share.
#include "app/plot_drawing.h"

namespace sorvane::gui {

bool draw_cross(FX::FXDC& dc, double px, double py, double a, double b) {
  int x0, x1, y0, y1, cx, cy;
  if (!to_pixel(px - a, x0) || !to_pixel(px + a, x1) || !to_pixel(py, cy) ||
      !to_pixel(px, cx) || !to_pixel(py - b, y0) || !to_pixel(py + b, y1))
    return false;
  dc.drawLine(x0, cy, x1, cy);
  dc.drawLine(cx, y0, cx, y1);
  return true;
}

void draw_marker(FX::FXDC& dc, double px, double py, double a, double b) {
  int ex, ey;
  if (!to_pixel(px - a / 2, ex) || !to_pixel(py - b / 2, ey)) return;
  if (draw_cross(dc, px, py, a, b))
    dc.drawEllipse(ex, ey, static_cast<int>(a), static_cast<int>(b));
}

}  // namespace sorvane::gui

// Drawing pieces that both windows' plots share: polylines that break where a
// point does not map to a pixel, crosses and circled markers, grid lines and
// axis labels. Every position is a plot coordinate in pixels, handed to the
// toolkit through to_pixel (truncated, clamped, never a non-finite value).
#pragma once

#include <vector>

#include "app/fox_compat.h"
#include "app/plot_support.h"

namespace sorvane::gui {

// A polyline through the points first..end-1. point(j, px, py) gives the
// pixel of point j, false when it does not map; such a point breaks the
// line. Dashed when dashed is 1, solid otherwise; the line style is solid
// afterwards.
template <class Point>
void draw_polyline(FX::FXDC& dc, int first, int end, int dashed, const char* color,
                   Point point) {
  dc.setLineStyle(dashed == 1 ? FX::LINE_ONOFF_DASH : FX::LINE_SOLID);
  dc.setForeground(FX::fxcolorfromname(color));
  int px0 = 0, py0 = 0;
  bool previous = false;
  for (int j = first; j < end; ++j) {
    int px = 0, py = 0;
    const bool ok = point(j, px, py);
    if (ok && previous) dc.drawLine(px0, py0, px, py);
    px0 = px;
    py0 = py;
    previous = ok;
  }
  dc.setLineStyle(FX::LINE_SOLID);
}

// A cross on the point (px, py): a half-width a across, a half-height b up
// and down. False, with nothing drawn, when the point does not map.
bool draw_cross(FX::FXDC& dc, double px, double py, double a, double b);

// The cross and an ellipse a wide and b high in the box from
// (px - a/2, py - b/2).
void draw_marker(FX::FXDC& dc, double px, double py, double a, double b);

// Vertical lines from row y0 to row y1 at the columns column(i), i = 0..last;
// a column that does not map is left out.
template <class Column>
void draw_vertical_lines(FX::FXDC& dc, int last, int y0, int y1, Column column) {
  int p;
  for (int i = 0; i <= last; ++i)
    if (to_pixel(column(i), p)) dc.drawLine(p, y0, p, y1);
}

// Horizontal lines from column x0 to column x1 at the rows row(i),
// i = 0..last; a row that does not map is left out.
template <class Row>
void draw_horizontal_lines(FX::FXDC& dc, int last, int x0, int x1, Row row) {
  int p;
  for (int i = 0; i <= last; ++i)
    if (to_pixel(row(i), p)) dc.drawLine(x0, p, x1, p);
}

// Labels text(i), i = 0..last, starting in the columns column(i), with their
// base lines on the rows row(i).
template <class Column, class Row, class Text>
void draw_labels_at(FX::FXDC& dc, int last, Column column, Row row, Text text) {
  int p;
  for (int i = 0; i <= last; ++i)
    if (to_pixel(row(i), p)) dc.drawText(column(i), p, text(i));
}

// Labels text(i), i = 0..last, in column x with their base lines on the rows
// row(i).
template <class Row, class Text>
void draw_row_labels(FX::FXDC& dc, int last, int x, Row row, Text text) {
  draw_labels_at(dc, last, [x](int) { return x; }, row, text);
}

// The labels of a y axis, text(i) for i = 0..last, with their base lines on
// the rows row(i), left of a plot whose area starts in column edge: in
// column x when all of them end clear of the plot there, right-aligned to
// its edge otherwise (row_label_columns), their widths in font.
template <class Row, class Text>
void draw_row_labels_left_of(FX::FXDC& dc, const FX::FXFont& font, int last, int x, int edge,
                             Row row, Text text) {
  std::vector<FX::FXString> texts;
  std::vector<int> widths;
  for (int i = 0; i <= last; ++i) {
    texts.push_back(text(i));
    widths.push_back(font.getTextWidth(texts.back()));
  }
  const std::vector<int> columns = row_label_columns(widths, x, edge);
  draw_labels_at(
      dc, last, [&](int i) { return columns[i]; }, row, [&](int i) { return texts[i]; });
}

// Labels text(i), i = 0..last, with their base lines on row y, starting in
// the columns column(i).
template <class Column, class Text>
void draw_column_labels(FX::FXDC& dc, int last, int y, Column column, Text text) {
  int p;
  for (int i = 0; i <= last; ++i)
    if (to_pixel(column(i), p)) dc.drawText(p, y, text(i));
}

}  // namespace sorvane::gui

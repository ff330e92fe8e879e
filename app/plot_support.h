// Pure helpers of the plots: the Cp axis ladder and the end skip of the Cp
// range of the main plot, the safe conversion of plot coordinates to pixels,
// the bound on grid and label loops of every plot and the number labels of
// the boundary-layer plots' axes, with the columns they start in.
#pragma once

#include <string>
#include <vector>

namespace sorvane::gui {

// Top of the Cp axis and the spacing of its grid lines and labels.
struct CpAxis {
  double start;  // Cp at the top of the axis (negative)
  double step;   // Cp between grid lines
};

// The axis for the smallest Cp shown: the first rung of the ladder whose
// bound lies strictly below cpMin.
CpAxis cp_axis_for(double cpMin);

// Panels at each end of an element that the Cp range leaves out: 0 up to 15
// panels, 2 from 16 to 31, 4 from 32 on.
int cp_end_skip(int npanels);

// A plot coordinate as a pixel: truncated toward zero and clamped to the
// range the window system's 16-bit coordinates hold. Returns false (and 0)
// for a non-finite value, which the caller must not draw.
bool to_pixel(double value, int& pixel);

// A count of grid lines or labels for a loop: -1 (nothing) when not finite,
// never more than 2000, so a degenerate extent cannot spin a loop.
int bounded_count(double count);

// A scale factor that can be divided by and multiplied with: a zero,
// non-finite or vanishing extent is replaced by 1.
double safe_extent(double extent);

// Number labels of an axis whose grid lines stand at first + i * step,
// i = 0..last: fixed-point texts ("%.*f") with the decimals the step needs,
// three at least, so that every label reads its own grid line's value and
// no two read the same. A step of 0.0005 takes four decimals, 5e-5 five;
// a step that is a multiple of 0.001 keeps three, unless its lines fall on
// halves of the last decimal, where rounding would give two lines one
// label or skip one (0.0005, 0.0015, ... read 0.001, 0.002, 0.002 at three
// decimals): such an axis takes the next decimal.
struct AxisLabels {
  int decimals;  // decimals of every label of the axis

  static AxisLabels of(double first, double step, int last);
  // The label of the value v; a label that reads 0 has no sign.
  std::string text(double v) const;
};

// The columns where the labels of a y axis start, from their text widths in
// pixels: all in `column` when every one of them drawn there ends at least
// kLabelGap pixels left of the plot's left edge `edge` (short labels, such
// as those of three decimals, stay where they always were); otherwise each
// label right-aligned to end kLabelGap pixels left of the edge, never left
// of column 0, so that the labels of an axis with longer texts keep out of
// the plot area as far as the margin allows.
constexpr int kLabelGap = 2;
std::vector<int> row_label_columns(const std::vector<int>& widths, int column, int edge);

// The fewest decimals (at least three, at most 15) that write step exactly
// enough: step * 10^decimals is a whole number within a millionth.
int step_decimals(double step);

}  // namespace sorvane::gui

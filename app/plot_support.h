// Pure helpers of the plots: the Cp axis ladder and the end skip of the Cp
// range of the main plot, the safe conversion of plot coordinates to pixels
// and the bound on grid and label loops of every plot.
#pragma once

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

}  // namespace sorvane::gui

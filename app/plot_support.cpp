// Pure helpers of the plots.
#include "app/plot_support.h"

#include <algorithm>
#include <cmath>

namespace sorvane::gui {

CpAxis cp_axis_for(double cpMin) {
  struct Rung {
    double above, start, step;
  };
  static const Rung ladder[] = {
      {-0.5, -0.8, 0.1}, {-0.75, -1.0, 0.1}, {-1.0, -1.5, 0.1}, {-1.5, -2.0, 0.1},
      {-2.0, -2.5, 0.1}, {-2.5, -3.0, 0.2},  {-3.0, -3.5, 0.2}, {-3.5, -4.0, 0.2},
      {-4.0, -4.5, 0.5}, {-4.5, -5.0, 0.5},  {-5.0, -5.5, 0.5}, {-5.5, -6.0, 0.5},
      {-6.0, -6.5, 0.5}, {-6.5, -7.0, 0.5},  {-7.0, -7.5, 0.5}, {-7.5, -8.0, 0.5},
  };
  for (const Rung& r : ladder)
    if (cpMin > r.above) return {r.start, r.step};
  return {-10.0, 1.0};
}

int cp_end_skip(int npanels) {
  if (npanels <= 15) return 0;
  if (npanels <= 31) return 2;
  return 4;
}

bool to_pixel(double value, int& pixel) {
  constexpr double kLow = -16000.0, kHigh = 16000.0;
  if (!std::isfinite(value)) {
    pixel = 0;
    return false;
  }
  if (value < kLow) value = kLow;
  if (value > kHigh) value = kHigh;
  pixel = static_cast<int>(value);
  return true;
}

int bounded_count(double count) {
  if (!std::isfinite(count)) return -1;
  return static_cast<int>(std::max(-1.0, std::min(count, 2000.0)));
}

double safe_extent(double extent) {
  if (!std::isfinite(extent) || std::fabs(extent) < 1e-12) return 1.0;
  return extent;
}

}  // namespace sorvane::gui

// Pure helpers of the plots.
#include "app/plot_support.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

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

namespace {

constexpr int kLeastDecimals = 3, kMostDecimals = 15;

}  // namespace

int step_decimals(double step) {
  if (!std::isfinite(step) || !(step > 0)) return kLeastDecimals;
  int d = kLeastDecimals;
  double scaled = step * std::pow(10.0, d);
  while (d < kMostDecimals && std::fabs(scaled - std::round(scaled)) > 1e-6 * scaled) {
    ++d;
    scaled = step * std::pow(10.0, d);
  }
  return d;
}

std::string AxisLabels::text(double v) const {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, v);
  std::string label = buffer;
  // A line a rounding step below 0 (or -0 itself) reads 0: written without
  // a sign, like the zero line of any other axis.
  if (label[0] == '-' && label.find_first_not_of("0.", 1) == std::string::npos) label.erase(0, 1);
  return label;
}

std::vector<int> row_label_columns(const std::vector<int>& widths, int column, int edge) {
  const int end = edge - kLabelGap;  // the last label column is end - 1
  const bool fit = std::all_of(widths.begin(), widths.end(),
                               [&](int w) { return column + w <= end; });
  std::vector<int> columns;
  columns.reserve(widths.size());
  for (int w : widths) columns.push_back(fit ? column : std::max(0, end - w));
  return columns;
}

AxisLabels AxisLabels::of(double first, double step, int last) {
  AxisLabels labels{step_decimals(step)};
  if (!std::isfinite(first) || !std::isfinite(step) || !(step > 0)) return labels;
  // Each label must read a step more than the one before it, to within its
  // last decimal: a line on a half of that decimal can round either way.
  for (; labels.decimals < kMostDecimals; ++labels.decimals) {
    const double unit = std::pow(10.0, -labels.decimals);
    bool even = true;
    double before = std::strtod(labels.text(first).c_str(), nullptr);
    for (int i = 1; i <= last && even; ++i) {
      const double now = std::strtod(labels.text(first + i * step).c_str(), nullptr);
      even = std::fabs((now - before) - step) < 0.5 * unit;
      before = now;
    }
    if (even) break;
  }
  return labels;
}

}  // namespace sorvane::gui

// Pure builders of the summary file's value lines.
#include "app/summary_rows.h"

#include <cstdio>

namespace sorvane::gui {

std::string fixed_text(double value, int decimals) {
  if (value == 0.0) value = 0.0;  // -0.0 becomes +0.0
  char buf[512];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
  return buf;
}

void overlay(std::string& line, std::size_t pos, const std::string& text) {
  if (line.size() < pos + text.size()) line.resize(pos + text.size(), ' ');
  line.replace(pos, text.size(), text);
}

std::string value_line(std::size_t blanks, std::initializer_list<LineValue> values) {
  std::string line(blanks, ' ');
  for (const LineValue& v : values) overlay(line, v.position, fixed_text(v.value, v.decimals));
  return line;
}

std::string table_row(int n, std::size_t blanks, const RowValue* values, std::size_t count,
                      int decimals) {
  std::string row(blanks, ' ');
  const std::string number = std::to_string(n);
  overlay(row, number.size() < 5 ? 5 - number.size() : 0, number);
  for (std::size_t i = 0; i < count; ++i) {
    const RowValue& v = values[i];
    const std::size_t pos = (v.negative && v.shiftIfNegative) ? v.position - 1 : v.position;
    if (row.size() < pos) row.resize(pos, ' ');
    row.replace(pos, 12, fixed_text(v.shown, decimals));
  }
  return row;
}

std::string summary_point_row(int n, double xpn, double ypn, double xc, double yc, double cp,
                              double vgamma, double cosSwept, bool hasSolution) {
  const RowValue values[6] = {
      {xpn, xpn < 0.0, 7, false},           {ypn * cosSwept, ypn < 0.0, 22, true},
      {xc, xc < 0.0, 37, false},            {yc * cosSwept, yc < 0.0, 52, true},
      {cp, cp < 0.0, 67, true},             {vgamma, vgamma < 0.0, 82, true},
  };
  std::string row = table_row(n, 94, values, hasSolution ? 6 : 4, 8);
  if (!hasSolution) row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

std::string geometry_point_row(int n, double xpn, double ypn, double xc0, double yc0,
                               double cp, bool hasSolution) {
  const RowValue values[5] = {
      {xpn, xpn < 0.0, 7, false}, {ypn, ypn < 0.0, 22, true}, {xc0, xc0 < 0.0, 37, false},
      {yc0, yc0 < 0.0, 52, true}, {cp, cp < 0.0, 67, true},
  };
  std::string row = table_row(n, 80, values, hasSolution ? 5 : 4, 8);
  if (!hasSolution) row.erase(row.find_last_not_of(' ') + 1);
  return row;
}

}  // namespace sorvane::gui

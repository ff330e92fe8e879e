// Pure builders of the summary file's value lines: fixed-point texts put into
// lines of blanks at given positions.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace sorvane::gui {

// "%.*f" text of a value; a negative zero is written as zero so that it takes
// the position of a non-negative value with the same width.
std::string fixed_text(double value, int decimals);

// Writes text over line from position pos on, as many characters as the text
// has; the line grows only where the text runs past its end.
void overlay(std::string& line, std::size_t pos, const std::string& text);

// A value line: `blanks` blanks with each value's "%.*f" text written over
// them from its position.
struct LineValue {
  std::size_t position;
  double value;
  int decimals;
};
std::string value_line(std::size_t blanks, std::initializer_list<LineValue> values);

// A table row: the row number right-aligned to end at position 4, then each
// value's text replacing the 12 characters from its position (fewer where the
// row ends earlier). Positions are where non-negative values start; a value
// below zero starts one earlier when its column shifts (shiftIfNegative).
struct RowValue {
  double shown;            // value written
  bool negative;           // sign test (before any factor)
  std::size_t position;    // start of a non-negative value
  bool shiftIfNegative;    // a negative value starts at position - 1
};
std::string table_row(int n, std::size_t blanks, const RowValue* values, std::size_t count,
                      int decimals);

// Point row of the summary file (8 decimals): XPN, YPN*cosSwept, XC,
// YC*cosSwept, Cp, V(Gamma). Without hasSolution the row ends after YC (the
// last row of an element, where the panel solution defines no Cp).
std::string summary_point_row(int n, double xpn, double ypn, double xc, double yc, double cp,
                              double vgamma, double cosSwept, bool hasSolution = true);

// Row of the panel-geometry table (8 decimals): XPN, YPN, XC0, YC0, Cp.
std::string geometry_point_row(int n, double xpn, double ypn, double xc0, double yc0,
                               double cp, bool hasSolution = true);

}  // namespace sorvane::gui

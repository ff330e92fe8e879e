// The rows of an element's point table as the geometry file counts them.
#include "solver/panel/table_rows.h"

namespace sorvane {

TableRows TableRows::of(int itab, int nrows, int ncont) {
  TableRows t;
  t.nrows = nrows;
  t.ncont = ncont;
  if (itab == 1 && nrows >= 1 && ncont == 2 * nrows - 1)
    t.layout = Layout::kMirrored;
  else if (itab != 1 && itab != 2 && ncont == nrows)
    t.layout = Layout::kReversed;
  else
    t.layout = Layout::kContourOrder;
  return t;
}

int TableRows::file_row(int row) const {
  switch (layout) {
    case Layout::kMirrored:
      return row <= nrows ? nrows + 1 - row : row + 1 - nrows;
    case Layout::kReversed:
      return nrows + 1 - row;
    case Layout::kContourOrder:
      break;
  }
  return row;
}

std::string TableRows::mirrored_row(int row) const {
  const int r = file_row(row);
  return r == nrows ? "the last table row" : "table row " + std::to_string(r);
}

std::string TableRows::name(int row) const {
  if (layout != Layout::kMirrored) return "row " + std::to_string(file_row(row));
  if (row == nrows) return "table row 1";
  return mirrored_row(row) + (row < nrows ? " (upper)" : " (lower)");
}

std::string TableRows::point(int row) const {
  if (layout != Layout::kMirrored || row == nrows) return name(row);
  return (row < nrows ? "the upper point of " : "the lower point of ") + mirrored_row(row);
}

}  // namespace sorvane

// The rows of an element's point table as the geometry file counts them.
// The reader stores a table in contour order (a reversed table backwards,
// a mirrored one as two contour points per row about the leading edge);
// messages about contour rows name the row the user finds in the file.
#pragma once

#include <string>

namespace sorvane {

struct TableRows {
  enum class Layout {
    kMirrored,      // row j: the points at x_j of both surfaces, row 1 the leading edge
    kContourOrder,  // row j is contour row j
    kReversed,      // row j is contour row nrows + 1 - j
  };
  Layout layout = Layout::kContourOrder;
  int nrows = 0;  // rows of the table
  int ncont = 0;  // contour rows they give

  // From the layout flag ITAB (1 mirrored, 2 contour order, any other value
  // reversed) and the counts. Counts that do not fit the layout (a contour
  // put together without a file) are taken in contour order.
  static TableRows of(int itab, int nrows, int ncont);

  // The table row that holds contour row `row` (1-based).
  int file_row(int row) const;
  // Contour row `row` as a message names it, in the file's count: "row 15";
  // in a mirrored table "table row 1" (the leading edge), "table row 6
  // (upper)" or "table row 6 (lower)" ("the last table row (upper)" for a
  // point at the trailing edge).
  std::string name(int row) const;
  // The same in words, for a message that explains the mirrored count:
  // "the upper point of table row 6" ("of the last table row" at the
  // trailing edge); other layouts and the leading edge as name() has them.
  std::string point(int row) const;

 private:
  // "table row 6", or "the last table row" for the row at the trailing edge.
  std::string mirrored_row(int row) const;
};

}  // namespace sorvane

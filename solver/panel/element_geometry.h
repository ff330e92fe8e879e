// Element geometry: panel nodes of every element in its chord frame.
#pragma once

#include <string>

namespace sorvane {

// Builds XPN0/YPN0 (and XPN/YPN, TP, TETC, DYDT, ILE, COSSWEPT, and with
// IPOS = 1 the placement values) for elements 1..NELEM from their contours.
// Returns "" or, for degenerate input (zero chord, contour abscissae that do
// not increase strictly, too few points), one message naming the element and
// the fault; the values written may then be non-finite.
std::string GEOM();

}  // namespace sorvane

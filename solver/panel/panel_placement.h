// Panel placement: element nodes into the configuration frame.
#pragma once

#include <string>

namespace sorvane {

// Moves the nodes of elements 1..NELEM into the configuration frame (XPN,
// YPN), and derives XC0/YC0, the control points XC/YC and the additional
// control point behind each trailing edge. Returns "" or one message naming
// the element and the fault (fewer than 2 panels, a zero-length panel, a
// control point on a node).
std::string GEOM_PAN();

}  // namespace sorvane

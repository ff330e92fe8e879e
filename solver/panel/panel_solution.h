// The panel solver's solution entry.
#pragma once

#include "solver/state/result.h"

namespace sorvane {

// Computes the inviscid flow about the whole configuration for the current
// inputs of the problem state: element geometry, panel placement, the panel
// system, its elimination, Cp, forces and the listings. Leaves
// state().SOLUTION_STATUS = kOk, or kFailed with SOLUTION_MESSAGE naming the
// element and the fault (degenerate geometry, Mach number, angle, pivot),
// and returns the same outcome: a failure's message is the line
// "Solution failed: ..." that SOLUTION_MESSAGE holds. A valid solution that
// is locally supersonic also leaves its remark in SOLUTION_REMARK and in
// the result's warnings; every other outcome leaves SOLUTION_REMARK blank.
// After its first call the solution allocates nothing unless it fails or
// has a remark. Not [[nodiscard]]: the windows read the outcome from the
// state, so a caller may leave the result unread.
Result FOILPMG();

}  // namespace sorvane

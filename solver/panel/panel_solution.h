// The panel solver's solution entry.
#pragma once

namespace sorvane {

// Computes the inviscid flow about the whole configuration for the current
// inputs of the problem state: element geometry, panel placement, the panel
// system, its elimination, Cp, forces and the listings. Leaves
// state().SOLUTION_STATUS = kOk, or kFailed with SOLUTION_MESSAGE naming the
// element and the fault (degenerate geometry, Mach number, angle, pivot).
void FOILPMG();

}  // namespace sorvane

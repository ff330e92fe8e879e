// The boundary-layer solver's entries for the windows and the test driver.
// Elements count from 0 here; surface 0 is the upper, 1 the lower surface.
#pragma once

#include "solver/state/result.h"

namespace sorvane {

// The first station of a surface that the march computes. Stations 1 and 2
// (the stagnation point and the similarity start) carry only the arc length
// and the edge velocity of the split in the result store.
constexpr int kFirstMarchedStation = 3;

// The check of a boundary-layer run's inputs that is the same for every
// surface (NP, the Reynolds number REMILL * 1e6, ETAE, VGP and their normal
// grid), with the message that FOIL_BL2D would give. Made before the first
// split of a run, so that a run that would be refused leaves the result
// store as it was.
[[nodiscard]] Result check_boundary_layer_run();

// Splits element ielem of the current panel solution at its stagnation point
// into the upper and lower station lists of the result store (S, UE, NX,
// NXMAX, XINV; NXDONE 0) and writes the "Output from SXR" block to the debug
// listing. Fails, with both lists of the element left empty (NX 0, XINV 0),
// when the surface velocity has no strict sign change; a surface whose list
// cannot start a boundary layer (fewer than three stations, or equal arc
// lengths or equal edge velocities at stations 1 and 2) is left empty and
// named in the message, and the other surface is kept.
[[nodiscard]] Result SXR(int ielem);

// Marches the boundary layer of one surface from the stagnation point to the
// trailing edge and leaves the station results in the result store. Refused,
// before anything is made or written, when NP is outside 2..821, the
// Reynolds number REMILL * 1e6 is not a finite number above 0 or the
// surface's station list cannot start a boundary layer.
// A station that cannot be solved stops the surface at the last good
// station (NXDONE says where); the result then fails with a message naming
// element, surface, station and cause.
[[nodiscard]] Result FOIL_BL2D(int ielem, int isurf);

}  // namespace sorvane

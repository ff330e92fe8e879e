// Closures of the station equations: the transition criterion and the
// two-layer algebraic eddy viscosity with its low-Reynolds-number corrections
// and intermittency; two further transition tests that the solver does not
// call.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Moves xtr to x(k) when the momentum-thickness Reynolds number of station k
// exceeds the critical value of its Reynolds number rx(k) (flag 1: 1.535
// Rx^0.444; other flags: 1.174 (1 + 22400/Rx) Rx^0.46).
void TRANSITION_CHECK(SurfaceRun& run, int k, int flag);

// Eddy viscosity b(3, 1..np) of station i (ratio to the molecular
// viscosity).
void BL_EDDY_VISCOSITY(SurfaceRun& run, int i);

// Envelope amplification test (N > 9) and the H-Rex test; not called by the
// march.
void TRANSITION_ENVELOPE(SurfaceRun& run, int k, int flag);
void TRANSITION_H_REX(SurfaceRun& run, int k);

}  // namespace sorvane::bl

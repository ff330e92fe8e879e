// The surface driver: one boundary-layer surface run from the similarity
// start to the last station (the entry FOIL_BL2D of boundary_layer.h), and
// the separation test it makes before a station is solved.
#pragma once

#include <functional>

#include "solver/boundary_layer/surface_run.h"
#include "solver/state/result.h"

namespace sorvane::bl {

// Called after station i is finished (integral values computed, copied to
// the store), before the levels move on: tests look at the converged station.
using StationHook = std::function<void(const SurfaceRun& run, int i)>;

// FOIL_BL2D on a run the caller provides (fresh), with an optional hook.
[[nodiscard]] Result FOIL_BL2D(SurfaceRun& run, int ielem, int isurf, const StationHook& hook = nullptr);

// Separation test before station i: where the square of the skin friction,
// extrapolated through stations i-2 and i-1, reaches (cfsep/sqre)^2 between
// x(i-1) and x(i), a laminar layer turns turbulent at i (xtr = x(i)) and a
// turbulent layer enters the inverse mode (cf_bc(i..nxt) = cfsep, xinv at
// the separation point, ninv = i).
void SEPARATION_CHECK(int& ninv, double& xinv, double& xtr, int i, int nxt, Table1<double>& x,
                      Table1<double>& cfb, Table1<double>& cf_bc, double cfsep, double sqre);

}  // namespace sorvane::bl

// Integral values of one station's converged profile: thicknesses, shape
// factor, skin friction, thickness Reynolds numbers, equivalent wall
// transpiration, and the solver-scaled values the inverse mode prescribes.
#pragma once

#include <string>

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Fills d2b, rtheta, d1_bc, d1b, rdels, cf_bc, cfb, rv_bc, rov, h12 and vww
// of station i from profile level k. Returns false, with the cause in *cause
// and station i left unwritten, when a value would not be finite (a zero
// edge velocity or momentum thickness).
[[nodiscard]] bool BL_INTEGRAL_QUANTITIES(SurfaceRun& run, int i, int k, std::string* cause);

}  // namespace sorvane::bl

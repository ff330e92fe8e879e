// Diagnostic listings of the station solver: the profile table of a station
// on the profile listing (.bln, unit LUBLN) and the equations, block system
// and profile of one Newton pass on the debug listing (.deb, unit LUDEB).
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

void BL_PRINT_PROFILE(SurfaceRun& run, int i, int k);
void BL_PRINT_BLOCK_SYSTEM(SurfaceRun& run, int i, int it, int k);

}  // namespace sorvane::bl

// The inverse mode of a station past turbulent separation: the wall shear
// (or another quantity of the layer) is prescribed and the edge velocity
// follows from the solution. The driver runs mode 2 (skin friction); modes 1
// and 3 to 8 are kept for other prescribed quantities and selected by
// run.invmode.
#pragma once

#include "solver/boundary_layer/surface_run.h"

namespace sorvane::bl {

// Combines the two solutions of the station system, xs (for rvec) and ys
// (for eyvec), into the correction xs + lambda*ys that meets the prescribed
// value of station i (mode 2: the wall shear cf_bc(i)), keeps it in df, du,
// dv and adds it to level 3. `a` (the half spacings) is not used. Returns
// false, after applying xs alone (lambda = 0), when lambda is undefined
// (ys(3, 1), or the corresponding response of the other modes, is zero or not
// finite).
[[nodiscard]] bool BL_COMBINE_INVERSE(SurfaceRun& run, double value, Table2<double>& xs,
                                      Table2<double>& ys, Table1<double>& a, int i);

// The coupled system of modes 7 and 8 (prescribed displacement thickness or
// transpiration) in amat, bmat, cmat, rvec, with the border block f0_mat
// coupling the last row to z(1).
void BL_ASSEMBLE_COUPLED(SurfaceRun& run, int i);

}  // namespace sorvane::bl

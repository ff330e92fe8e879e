// Stagnation split of one element into its two boundary-layer station lists.
#include "solver/boundary_layer/boundary_layer.h"

namespace sorvane {

Result SXR(int) { return Result::failure("The boundary-layer calculation is not built yet."); }

}  // namespace sorvane

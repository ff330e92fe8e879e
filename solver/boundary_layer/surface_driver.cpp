// The surface driver of the boundary layer.
#include "solver/boundary_layer/surface_driver.h"

#include "solver/boundary_layer/boundary_layer.h"

namespace sorvane {

Result FOIL_BL2D(int, int) {
  return Result::failure("The boundary-layer calculation is not built yet.");
}

}  // namespace sorvane

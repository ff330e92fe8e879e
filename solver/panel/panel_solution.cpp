// Placeholder until the panel solution lands.
#include "solver/panel/panel_solution.h"
namespace sorvane {
void FOILPMG() {}
}  // namespace sorvane

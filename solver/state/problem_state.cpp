#include "solver/state/problem_state.h"

namespace sorvane {

namespace {
// Zero-initialised at static initialisation: every member starts at 0.
ProblemState the_state{};
}  // namespace

ProblemState& state() { return the_state; }

}  // namespace sorvane

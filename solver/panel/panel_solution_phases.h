// The phases of the panel solution, exposed for the benchmark and the tests.
//
// FOILPMG runs them in this order: prepare (input checks and the work arrays),
// GEOM and GEOM_PAN, assemble, eliminate, results. Each phase works on the
// process-wide work arrays of the panel solution; the phases after assemble
// expect the earlier ones to have run for the same inputs.
#pragma once

#include <string>

namespace sorvane::panel_phases {

// Allocates the work arrays once and checks the inputs that would make the
// solution meaningless or unsafe (counts, capacities, Mach number, effective
// angle, chords). Returns "" or one message naming the element and the fault.
std::string prepare();

// Influence coefficients, psi columns, right-hand sides and the trailing-edge
// rows for the current panel geometry (GEOM and GEOM_PAN must have run).
// Returns "" or a message; *n receives the number of equations.
std::string assemble(int* n);

// Hands the assembled equations to EQU one at a time and copies the solution
// into the right-hand-side column. Returns "" or a message.
std::string eliminate();

// Velocities, Cp, element forces, totals and their listings; then checks the
// results are finite. Returns "" or a message.
std::string results();

// The assembled system (before elimination the coefficients and right-hand
// side, after it the solution in the right-hand-side column): row r (0-based)
// starts at matrix() + r * leading_dimension(); columns 0..n-1 coefficients,
// column n the right-hand side.
const double* matrix();
int leading_dimension();

}  // namespace sorvane::panel_phases

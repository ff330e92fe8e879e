// Set-up of a surface run: the check of its inputs, the reference and edge
// state, the station lists copied from the result store, the boundary-
// condition arrays, and the echo on "InputBl.out".
#pragma once

#include <string>

#include "solver/boundary_layer/surface_run.h"
#include "solver/state/result.h"

namespace sorvane::bl {

// The surface a message is about: "Element k, upper surface" (k = ielem + 1;
// "lower" for isurf 1).
std::string surface_text(int ielem, int isurf);

// The one check of a surface run's inputs, made before anything is made or
// written (its first part, the same for every surface of a run, is
// check_boundary_layer_run of boundary_layer.h): NP within 2..821, the
// Reynolds number REMILL * 1e6 finite and above 0, ETAE and VGP finite and
// above 0 and together with NP giving a usable similarity grid, and the
// surface's station list (at least three stations, x(2) != x(1), ue(2) !=
// ue(1), all finite). Messages about NP, REMILL, ETAE and VGP name no surface (they are
// the same for every surface of a run); a message about a list names
// element and surface.
[[nodiscard]] Result check_surface_run_inputs(int ielem, int isurf);

// The element part of that check, also made by the stagnation split: ielem
// (from 0) must name a row of the tables.
[[nodiscard]] Result check_element_index(int ielem);

// The list part of that check, on a list given by its first n arc lengths
// x[0..n-1] and edge velocities ue[0..n-1] (the stagnation split checks its
// lists with it before they reach the store). The message names element
// ielem + 1 and the surface ("upper" for isurf 0, "lower" for 1).
[[nodiscard]] Result check_station_list(int ielem, int isurf, const double* x, const double* ue, int n);

// The local Reynolds number of station i of a set-up run for an edge
// velocity ue: ue x rho_e / mu_e in the run's reference units. The set-up
// gives rx(i) with the station's prescribed edge velocity.
double local_reynolds(const SurfaceRun& run, int i, double ue);

// Makes the run's Inputi set for element ielem (from 0), surface isurf (0
// upper, 1 lower), fixes constants and reference state, copies the station
// list, computes the edge state of every station and fills the boundary-
// condition arrays; echoes all of it to "InputBl.out" (unit LUBLIN) and one
// record to standard output. Expects check_surface_run_inputs to have
// accepted the surface. The station arrays get NXMAX(k) entries (the same
// for both surfaces), or the surface's own count if that is larger.
void BL_INPUT_SETUP(SurfaceRun& run, int ielem, int isurf);

// Edge state of one station from the reference state (h0 and x are not
// used): edge Mach number, temperature, density and viscosity, and their
// ratios to the reference values.
void EDGE_STATE(double& rgas, double& cpgas, double& t0, double& rho0, double& m8,
                double& u8, double& h0, double& t8, double& ro8, double& mu8, double& ue,
                double& eme, double& x, double& te, double& roe, double& emue, double& roe8,
                double& emue8, double& enue8, double& te8);

// Boundary-condition fills that no path of the solver calls.
// f(i1..i2) from f(i1-1) by a quadratic whose start slope is r1 times the
// slope through f(i1-2), f(i1-1) and whose end slope is r2 times it.
void BC_QUADRATIC_FILL(int i1, int i2, double r1, double r2, Table1<double>& f,
                       Table1<double>& x);
// Extrapolates the zero of f through stations i-2, i-1 into xs; when x(i)
// lies beyond it, fills g(i..n) by the quadratic of BC_QUADRATIC_FILL and
// sets iout = i.
void BC_EXTRAPOLATE_FILL(int& iout, double& xs, int i, int n, double r1, double r2,
                         Table1<double>& x, Table1<double>& f, Table1<double>& g);

}  // namespace sorvane::bl

// Force and moment integration of one element.
#pragma once

namespace sorvane {

// n nodes (NPANELS + 1); arrays passed as pointers to element 1. Writes the
// element's pressure table and force records to unit LUCPF.
void ELEMENT_FORCES(int n, const double* CP, const double* XC, const double* YC,
                    const double* XP, const double* YP, double alpha, double xref,
                    double yref, double xe, double ye, double& CN, double& CT, double& CX,
                    double& CY, double& MZ0, double& MZ);

// r*cos(t) and r*sin(t) in single precision (not called by the program).
float POLAR_X(float r, float t);
float POLAR_Y(float r, float t);

}  // namespace sorvane

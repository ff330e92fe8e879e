// Force and moment integration of one element: the pressure coefficients
// summed over the panels into the normal and tangential force of the node
// frame, the moments about two points, and the forces across and along the
// free stream. Also writes the element's pressure table and force line to the
// .cpf listing, after the sums (the listing holds nothing else in between).
#include "solver/panel/element_forces.h"

#include <cmath>

#include "solver/state/problem_state.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {
namespace {

// Records of the element's table on the .cpf listing.
struct ForceFormats {
  text::Format heading{"(5h    I,10x,2hXC,13x,2hYC,13x,2hCP,13x,2hXP,13x,2hYP)"};
  text::Format row{"(I5,8F15.8)"};
  text::Format forceHeading{"(7x,2hCN,13x,2hCT,13x,2hCX,13x,2hCY,13x,3hMZ0,13x,2hMZ)"};
  text::Format forces{"(8E15.8)"};
};

const ForceFormats& formats() { return text::listing_table<ForceFormats>(); }

// The sums over the panels and the forces across and along the stream.
void integrate(int n, const double* CP, const double* XC, const double* YC, const double* XP,
               const double* YP, double alpha, double xref, double yref, double xe, double ye,
               double& CN, double& CT, double& CX, double& CY, double& MZ0, double& MZ) {
  CN = 0.0;
  CT = 0.0;
  MZ0 = 0.0;
  MZ = 0.0;
  for (int i = 0; i < n - 1; ++i) {
    const double dx = XP[i + 1] - XP[i];
    const double dy = YP[i + 1] - YP[i];
    CN = CN - CP[i] * dx;
    CT = CT + CP[i] * dy;
    MZ0 = MZ0 + CP[i] * ((XC[i] - xref) * dx + (YC[i] - yref) * dy);
    MZ = MZ + CP[i] * ((XC[i] - xe) * dx + (YC[i] - ye) * dy);
  }
  CX = CT * std::cos(alpha) + CN * std::sin(alpha);
  CY = CN * std::cos(alpha) - CT * std::sin(alpha);
}

}  // namespace

void ELEMENT_FORCES(int n, const double* CP, const double* XC, const double* YC,
                    const double* XP, const double* YP, double alpha, double xref,
                    double yref, double xe, double ye, double& CN, double& CT, double& CX,
                    double& CY, double& MZ0, double& MZ) {
  integrate(n, CP, XC, YC, XP, YP, alpha, xref, yref, xe, ye, CN, CT, CX, CY, MZ0, MZ);

  const ForceFormats& f = formats();
  text::Units& units = text::units();
  const int lu = state().LUCPF;
  units.write(lu, f.heading, {});
  for (int i = 0; i < n; ++i) units.write(lu, f.row, {i + 1, XC[i], YC[i], CP[i], XP[i], YP[i]});
  units.write(lu, f.forceHeading, {});
  units.write(lu, f.forces, {CN, CT, CX, CY, MZ0, MZ});
}

float POLAR_X(float r, float t) { return r * std::cos(t); }
float POLAR_Y(float r, float t) { return r * std::sin(t); }

}  // namespace sorvane

// The problem state the tests of the element routines (geometry and
// placement) start from.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "solver/state/limits.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"

namespace sorvane::testing {

constexpr double kPi = 3.141592653589793;

// One element (NELEM = 1), angles in radians from PI, no sweep stretch,
// every listing record at level 0, the additional control point dadd
// beyond the trailing edge, pass ncompute; every element unplaced and
// without panels; the main listing (unit 82) open on the file out.
inline void set_element_state(double dadd, int ncompute, const std::string& out) {
  ProblemState& s = state();
  s.NELEM = 1;
  s.PI = kPi;
  s.RAD = kPi / 180.0;
  s.COSSWEPT = 1.0;
  s.DADD = dadd;
  s.IPRINT = 0;
  s.NCOMPUTE = ncompute;
  for (int k = 1; k <= kMaxElements; ++k) {
    s.XX(k) = s.YY(k) = s.XAX(k) = s.YAX(k) = s.DFL(k) = 0.0;
    s.NPANELS(k) = 0;
  }
  s.LUOUT = 82;
  std::string err;
  ASSERT_TRUE(text::units().open(82, out, &err)) << err;
}

}  // namespace sorvane::testing

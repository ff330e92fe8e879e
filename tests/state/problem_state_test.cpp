// The problem state: index conventions, storage order and checked access.
#include "solver/state/problem_state.h"

#include <gtest/gtest.h>

namespace sorvane {
namespace {

TEST(ProblemState, OneInstance) { EXPECT_EQ(&state(), &state()); }

TEST(ProblemState, EntryIndicesCountFromZero) {
  EXPECT_EQ(element_row(0), 1);
  EXPECT_EQ(element_row(4), 5);
  EXPECT_EQ(surface_index(0), 1);
  EXPECT_EQ(surface_index(1), 2);
  // Element argument 0 addresses the first column of a per-element table.
  ProblemState& s = state();
  EXPECT_EQ(&s.X0(1, element_row(0)), s.X0.column(1));
  EXPECT_EQ(&s.X0(1, element_row(0)), &s.X0.v[0]);
  // Surface argument 1 addresses the lower-surface half of a station array.
  EXPECT_EQ(&s.S(1, element_row(0), surface_index(1)), &s.S.v[kStations * kMaxElements]);
}

TEST(ProblemState, FirstIndexVariesFastest) {
  ProblemState& s = state();
  // Contour table (1200, 5): row i of element k at (k-1)*1200 + i-1.
  EXPECT_EQ(&s.X0(2, 1) - &s.X0(1, 1), 1);
  EXPECT_EQ(&s.X0(1, 2) - &s.X0(1, 1), kContourRows);
  EXPECT_EQ(&s.X0(kContourRows, kMaxElements), &s.X0.v[kContourRows * kMaxElements - 1]);
  // Station array (600, 5, 2): station, then element, then surface.
  EXPECT_EQ(&s.UE(2, 1, 1) - &s.UE(1, 1, 1), 1);
  EXPECT_EQ(&s.UE(1, 2, 1) - &s.UE(1, 1, 1), kStations);
  EXPECT_EQ(&s.UE(1, 1, 2) - &s.UE(1, 1, 1), kStations * kMaxElements);
  // Station 600 of element 5, lower surface, is the last position.
  EXPECT_EQ(&s.UE(kStations, kMaxElements, 2), &s.UE.v[kStations * kMaxElements * 2 - 1]);
  EXPECT_EQ(s.UE.column(5, 2) + kStations - 1, &s.UE(kStations, 5, 2));
  // XTR (5, 2): element fastest.
  EXPECT_EQ(&s.XTR(1, 2) - &s.XTR(1, 1), kMaxElements);
  // A write lands where a reader with the same triple looks.
  s.CF(37, 3, 2) = 0.125;
  EXPECT_EQ(s.CF.column(3, 2)[36], 0.125);
  s.CF(37, 3, 2) = 0.0;
}

TEST(ProblemState, ExtentsMatchTheCapacities) {
  const ProblemState& s = state();
  EXPECT_EQ(sizeof(s.X0.v) / sizeof(double), 1200u * 5u);
  EXPECT_EQ(sizeof(s.XC.v) / sizeof(double), 600u * 5u);
  EXPECT_EQ(sizeof(s.VGAMMA.v) / sizeof(double), 1200u * 5u);
  EXPECT_EQ(sizeof(s.S.v) / sizeof(double), 600u * 5u * 2u);
  EXPECT_EQ(sizeof(s.NX.v) / sizeof(int), 10u);
  EXPECT_EQ(s.INPUT_NAME.size, 80);
}

using ProblemStateDeathTest = ::testing::Test;

TEST_F(ProblemStateDeathTest, OutOfRangeIndicesStop) {
  ::testing::FLAGS_gtest_death_test_style = "threadsafe";
  ProblemState& s = state();
  EXPECT_DEATH(s.X0(0, 1) = 1.0, "row index 0 outside 1..1200");
  EXPECT_DEATH(s.X0(1201, 1) = 1.0, "row index 1201 outside 1..1200");
  EXPECT_DEATH(s.X0(1, 6) = 1.0, "column index 6 outside 1..5");
  EXPECT_DEATH(s.XC(601, 1) = 1.0, "row index 601 outside 1..600");
  EXPECT_DEATH(s.S(601, 1, 1) = 1.0, "row index 601");
  EXPECT_DEATH(s.S(1, 6, 1) = 1.0, "element index 6");
  EXPECT_DEATH(s.S(1, 1, 3) = 1.0, "surface index 3");
  EXPECT_DEATH(s.BELEM(6) = 1.0, "row index 6 outside 1..5");
  EXPECT_DEATH(s.UE.column(1, 0), "surface index 0");
  EXPECT_DEATH(element_row(5), "element index 6 outside 1..5");
  EXPECT_DEATH(element_row(-1), "element index 0");
  EXPECT_DEATH(surface_index(2), "surface index 3 outside 1..2");
}

}  // namespace
}  // namespace sorvane

// Writing records allocates nothing once the output buffer has grown: the
// listings are written at every solution, inside the recompute cycle.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "solver/text/format.h"
#include "solver/text/units.h"
#include "tests/allocation_count.h"
#include "tests/test_support.h"

namespace sorvane::text {
namespace {

TEST(Allocation, FormatWriteAllocatesNothing) {
  static const Format row("(I5,8F15.8)");
  static const Format coeffs("(/,10X,6H   CN=,E12.5,5X,6H   CT=,E12.5,5X,6H   MZ=,E12.5)");
  static const Format names("(A5,A)");
  static const Format reverting("(I5,20E11.3/(20E11.3))");
  std::vector<Item> many = {1};
  for (int k = 1; k < 46; ++k) many.push_back(0.1 * k);
  std::string out;
  out.reserve(1 << 16);
  sorvane::testing::AllocationCount allocations;
  for (int i = 0; i < 100; ++i) {
    out.clear();
    row.write(out, {i, 0.25, -1.0 / 3.0, 1e10, 0.0, -7.5});
    coeffs.write(out, {1.23456, -1.23456e-4});
    names.write(out, {"a long text that is longer than the field", "free"});
    reverting.write(out, many.data(), many.size());
    write_free(out, {"IT=", i, 0.5});
  }
  EXPECT_EQ(allocations.count(), 0);
}

TEST(Allocation, UnitWritesReuseOneBuffer) {
  const std::string dir = sorvane::testing::scratch_dir("allocation_units");
  static const Format row("(I5,8F15.8)");
  Units u;
  std::string error;
  ASSERT_TRUE(u.open(10, dir + "/a.out", &error)) << error;
  for (int i = 0; i < 10; ++i) u.write(10, row, {i, 0.5, 0.25});  // buffers grow
  {
    sorvane::testing::AllocationCount allocations;
    for (int i = 0; i < 1000; ++i) u.write(10, row, {i, 0.5, 0.25, -0.125});
    EXPECT_EQ(allocations.count(), 0);
  }
  u.close_all();
  EXPECT_EQ(sorvane::testing::read_lines(dir + "/a.out").size(), 1010u);
}

}  // namespace
}  // namespace sorvane::text

// Ten-character fields read under the F10.5 rule.
#include "solver/text/fields.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace sorvane::text {
namespace {

TEST(ReadField, NumbersAsWrittenOrWithFiveImpliedDecimals) {
  struct Case {
    const char* field;
    double expected;
  };
  const std::vector<Case> cases = {
      {"3", 3e-5},             // no point: five implied decimals
      {"         3", 3e-5},
      {"3.", 3.0},
      {"  1 2.5  ", 12.5},     // blanks inside are ignored
      {"-.5", -0.5},
      {"+7.", 7.0},
      {"1.5E2", 150.0},
      {"1.5e-2", 0.015},
      {"1.5D2", 150.0},
      {"1.5d+2", 150.0},
      {"1.5+3", 1500.0},       // sign-only exponent
      {"2.5-1", 0.25},
      {"12345", 0.12345},
      {"-12345", -0.12345},
      {"100000", 1.0},
      {"2e1", 2e-4},           // no point: scaled by 1e-5, then the exponent
      {"", 0.0},
      {"          ", 0.0},
      {"0.", 0.0},
      {"1.5\r", 1.5},          // a Windows line end counts as blank
      {"1.5e-999", 0.0},       // underflow reads as zero
  };
  for (const Case& c : cases) {
    double v = -1.0;
    std::string error;
    EXPECT_TRUE(read_field(c.field, 0, &v, &error)) << '"' << c.field << "\": " << error;
    EXPECT_EQ(v, c.expected) << '"' << c.field << '"';
  }
}

TEST(ReadField, NonNumbersAreRefused) {
  const char* bad[] = {"12a.5", "1.2.3", "-", "+", ".", "1.5E", "E5", "1.5e+", "--1", "1,5",
                       "1.5E2.", "1e5e5", "0x10", "inf", "nan", "9e99999"};
  for (const char* f : bad) {
    double v = 7.0;
    std::string error;
    EXPECT_FALSE(read_field(f, 0, &v, &error)) << f << " read as " << v;
    EXPECT_NE(error.find("is not a number"), std::string::npos) << error;
  }
}

TEST(ReadField, MessageNamesFieldColumnsAndText) {
  const std::string line = "       1.0       2.0     12a.5";
  double v = 0.0;
  std::string error;
  EXPECT_TRUE(read_field(line, 1, &v, &error));
  EXPECT_EQ(v, 2.0);
  EXPECT_FALSE(read_field(line, 2, &v, &error));
  EXPECT_EQ(error, "field 3 (columns 21-30) \"12a.5\" is not a number");
}

TEST(ReadField, TabHasItsOwnMessage) {
  double v = 0.0;
  std::string error;
  EXPECT_FALSE(read_field("1.0\t2.0", 0, &v, &error));
  EXPECT_NE(error.find("field 1 (columns 1-10)"), std::string::npos) << error;
  EXPECT_NE(error.find("tab"), std::string::npos) << error;
}

TEST(ReadFields, ShortLineIsPaddedWithBlanks) {
  double v[5] = {9, 9, 9, 9, 9};
  std::string error;
  ASSERT_TRUE(read_fields("  1.0     2.        3", 5, v, &error)) << error;
  EXPECT_EQ(v[0], 1.0);
  EXPECT_EQ(v[1], 2.0);
  EXPECT_EQ(v[2], 3e-5);
  EXPECT_EQ(v[3], 0.0);
  EXPECT_EQ(v[4], 0.0);
  ASSERT_TRUE(read_fields("", 3, v, &error));
  EXPECT_EQ(v[0], 0.0);
}

TEST(ReadFields, NineFieldsAndTheFirstFaultStops) {
  std::string line;
  for (int k = 1; k <= 9; ++k) line += "      " + std::to_string(k) + ".0 ";
  double v[9];
  std::string error;
  ASSERT_TRUE(read_fields(line, 9, v, &error)) << error;
  for (int k = 0; k < 9; ++k) EXPECT_EQ(v[k], k + 1.0);
  line.replace(45, 1, "x");  // inside field 5
  EXPECT_FALSE(read_fields(line, 9, v, &error));
  EXPECT_NE(error.find("field 5 (columns 41-50)"), std::string::npos) << error;
  EXPECT_FALSE(read_fields(line, 10, v, &error));
}

TEST(Single, RoundsToFloat) {
  EXPECT_EQ(to_single(0.01), 0.009999999776482582);
  EXPECT_EQ(to_single(3.14159), 3.1415901184082031);
  EXPECT_EQ(to_single(0.5), 0.5);
  EXPECT_TRUE(std::isinf(to_single(1e39)));
  EXPECT_TRUE(std::isnan(to_single(std::numeric_limits<double>::quiet_NaN())));
}

TEST(Single, IntegersTruncateTowardZero) {
  struct Case {
    double v;
    int expected;
  };
  const std::vector<Case> cases = {
      {3e-5, 0},  // "3" without a point
      {3.0, 3},        {2.7, 2},          {-2.7, -2},
      {2.99999999, 3},  // rounds to the float 3.0 first
      {600.0, 600},    {-0.4, 0},
  };
  for (const Case& c : cases) {
    int n = -99;
    EXPECT_TRUE(single_to_int(c.v, &n)) << c.v;
    EXPECT_EQ(n, c.expected) << c.v;
  }
  int n = 0;
  EXPECT_FALSE(single_to_int(3e9, &n));
  EXPECT_FALSE(single_to_int(-3e9, &n));
  EXPECT_FALSE(single_to_int(std::numeric_limits<double>::quiet_NaN(), &n));
  EXPECT_FALSE(single_to_int(std::numeric_limits<double>::infinity(), &n));
  EXPECT_FALSE(single_to_int(1e39, &n));
}

TEST(ReadField, TheThreeReadsAsZeroAsInteger) {
  double v = 0.0;
  std::string error;
  ASSERT_TRUE(read_field("         3", 0, &v, &error));
  int n = -1;
  ASSERT_TRUE(single_to_int(v, &n));
  EXPECT_EQ(n, 0);
}

}  // namespace
}  // namespace sorvane::text

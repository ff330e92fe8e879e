// Records written from format strings, checked against hand-written lines.
#include "solver/text/format.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <limits>
#include <stdexcept>
#include <string>
#include <vector>

namespace sorvane::text {
namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

std::string sp(int n) { return std::string(static_cast<std::size_t>(n), ' '); }
std::string rep(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

std::string write(const char* format, const std::vector<Item>& items) {
  Format f(format);
  std::string out;
  f.write(out, items.data(), items.size());
  return out;
}

struct RecordCase {
  const char* name;
  const char* format;
  std::vector<Item> items;
  std::string expected;
};

TEST(FormatRecords, HandWrittenRecords) {
  const std::vector<RecordCase> cases = {
      {"literal heading with a quote, after two empty lines",
       "(//17X,39H**** AIRFOIL'S CALCULATION RESULT *****)", {},
       "\n\n" + sp(17) + "**** AIRFOIL'S CALCULATION RESULT *****\n"},
      {"E fields between literals",
       "(/,10X,6H   CN=,E12.5,5X,6H   CT=,E12.5,5X,6H   MZ=,E12.5)",
       {1.23456, -1.23456e-4, 0.0},
       "\n" + sp(10) + "   CN= 0.12346E+01" + sp(5) + "   CT=-0.12346E-03" + sp(5) +
           "   MZ= 0.00000E+00\n"},
      {"stop rule: literal before the first unfilled descriptor is written",
       "(/,10X,6H   CN=,E12.5,5X,6H   CT=,E12.5,5X,6H   MZ=,E12.5)", {1.23456},
       "\n" + sp(10) + "   CN= 0.12346E+01" + sp(5) + "   CT=\n"},
      {"stop rule with no items at all", "(10X,6H   CN=,E12.5)", {}, sp(10) + "   CN=\n"},
      {"stop rule: blanks before the stopping descriptor are written", "(I5,5X,I5)", {1},
       "    1     \n"},
      {"lower-case f; too wide gives asterisks", "(5f10.3)",
       {1.0, -2.5, 0.0004, 123456.789, 1234567.0},
       "     1.000    -2.500     0.000123456.789**********\n"},
      {"trailing X writes nothing", "(1H ,6HNXT  =,I3,14X)", {5}, " NXT  =  5\n"},
      {"integer too wide", "(1H ,6HNXT  =,I3,14X)", {1234}, " NXT  =***\n"},
      {"H literals ending in blanks",
       "(3HON ,I3,14H  DELET  STEP ,44H MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO )", {7},
       "ON   7  DELET  STEP  MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO \n"},
      {"lower-case h, x and i", "(5h    I,9x,2hX0,13x,2hY0,12h   AeroFoil=,i3)", {2},
       "    I" + sp(9) + "X0" + sp(13) + "Y0   AeroFoil=  2\n"},
      {"slash first and before the closing parenthesis", "(/3X,10HKI GT 10*L,/)", {},
       "\n   KI GT 10*L\n\n"},
      {"repeated group of one literal", "(//,65(1h-))", {}, "\n\n" + rep('-', 65) + "\n"},
      {"repeated group then a slash", "(50(1H-),/)", {}, rep('-', 50) + "\n\n"},
      {"a lone slash writes two empty lines", "(/)", {}, "\n\n"},
      {"leading slashes then a stop", "(//I3)", {}, "\n\n\n"},
      {"no items: one empty record", "(I5)", {}, "\n"},
      {"slash after the last item is still written", "(I5/)", {1}, "    1\n\n"},
      {"a slash drops the trailing X of its record", "(I2,3X/I2)", {1, 2}, " 1\n 2\n"},
      {"repeat count on a slash", "(I1,2/I1)", {1, 2}, "1\n\n2\n"},
      {"blanks between descriptors, never inside H", "(11x, 3h  S,12x,3h  T)", {},
       sp(11) + "  S" + sp(12) + "  T\n"},
      {"H takes commas and parentheses", "(6h(a,b),i2)", {3}, "(a,b), 3\n"},
      {"H literal followed by X without a comma", "(5hUw(I)5x,5hTw(I))", {},
       "Uw(I)     Tw(I)\n"},
      {"quoted literal with a doubled quote", "('it''s',I2)", {4}, "it's 4\n"},
      {"repeat count 1 on F", "(11H YGOL RAZV=,1F9.6,10H    CHORD=,1F9.6)", {0.5, 1.0},
       " YGOL RAZV= 0.500000    CHORD= 1.000000\n"},
      {"repeat counts on I and E", "(2i5,2e15.5,2i5)", {1, 2, 0.5, -0.25, 3, 4},
       "    1    2    0.50000E+00   -0.25000E+00    3    4\n"},
      {"nested groups", "(2(I1,2(1H.)))", {1, 2}, "1..2..\n"},
      {"A with and without a width", "(A5,A2,1H|,A)", {"ab", "xyz", "free text"},
       "   abxy|free text\n"},
      {"real item to I is truncated toward zero", "(2I5)", {3.9, -3.9}, "    3   -3\n"},
      {"NaN item to I fills the field", "(I5)", {kNaN}, "*****\n"},
      {"int items to F and E are converted", "(F6.2,E11.4)", {3, -2}, "  3.00-0.2000E+01\n"},
      {"text items to number fields", "(I3,F5.1)", {"x", "y"}, "********\n"},
      {"row of a listing table", "(I5,8F15.8)", {12, 0.25, -1.0 / 3.0},
       "   12     0.25000000    -0.33333333\n"},
      {"colon stops when the items are used up", "(I2,:,3H ab,I2)", {1}, " 1\n"},
      {"unsigned and long items", "(3I4)", {7u, std::size_t{12}, -5L}, "   7  12  -5\n"},
      {"blanks may follow a count but do not join digits", "(2I2, 3X,I1)", {1, 2, 3},
       " 1 2   3\n"},
      {"two-line record with slash inside",
       "(1H ,6HNXT  =,I3,14X,6HNP2  =,I3/1H ,6HETAE =,E14.6/)", {3, 4, 2.5},
       " NXT  =  3" + sp(14) + "NP2  =  4\n ETAE =  0.250000E+01\n\n"},
  };
  for (const RecordCase& c : cases) {
    EXPECT_EQ(write(c.format, c.items), c.expected) << c.name << ": " << c.format;
  }
}

TEST(FormatRecords, UpperAndLowerCaseAreTheSame) {
  const std::vector<Item> items = {1, 2, 0.5, -0.25, 7.0, 3};
  EXPECT_EQ(write("(2i5,2e15.5,f8.3,i4)", items), write("(2I5,2E15.5,F8.3,I4)", items));
  EXPECT_EQ(write("(3ha,B,2x,a3)", {"xyz"}), write("(3Ha,B,2X,A3)", {"xyz"}));
}

TEST(FormatRecords, WriteAppendsToTheCallersString) {
  static const Format f("(I3)");
  std::string out = "kept\n";
  f.write(out, {1});
  f.write(out, {2});
  EXPECT_EQ(out, "kept\n  1\n  2\n");
  EXPECT_EQ(f.format({3}), "  3\n");
  EXPECT_EQ(f.source(), "(I3)");
}

TEST(FormatReversion, RestartsAtTheLastTopLevelGroup) {
  // 1 + 45 items: I5 and 20 values, then 20, then 5.
  std::vector<Item> items = {7};
  for (int k = 1; k <= 45; ++k) items.push_back(0.5 * k);
  const std::string out = write("(I5,20E11.3/(20E11.3))", items);
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t p; (p = out.find('\n', start)) != std::string::npos; start = p + 1)
    lines.push_back(out.substr(start, p - start));
  ASSERT_EQ(start, out.size()) << "the output ends with a newline";
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 5u + 20 * 11);
  EXPECT_EQ(lines[1].size(), 20u * 11);
  EXPECT_EQ(lines[2].size(), 5u * 11);
  EXPECT_EQ(lines[0].substr(0, 16), "    7  0.500E+00");
  EXPECT_EQ(lines[1].substr(0, 11), "  0.105E+02");  // item 21 is 10.5
  EXPECT_EQ(lines[2], "  0.205E+02  0.210E+02  0.215E+02  0.220E+02  0.225E+02");
}

TEST(FormatReversion, SmallCases) {
  const std::vector<RecordCase> cases = {
      {"inner group restarts alone", "(I3,2F5.1/(2F5.1))", {1, 1.0, 2.0, 3.0, 4.0, 5.0},
       "  1  1.0  2.0\n  3.0  4.0\n  5.0\n"},
      {"no inner group: whole format again", "(I3,2F5.1)", {1, 1.0, 2.0, 2, 3.0, 4.0},
       "  1  1.0  2.0\n  2  3.0  4.0\n"},
      {"the group keeps its repeat count", "(I2,2(I2,1H;))", {1, 2, 3, 4, 5},
       " 1 2; 3;\n 4; 5;\n"},
      {"restart point is the last top-level group", "(I1,(I2),1H|,(I3))", {1, 2, 3, 4},
       "1 2|  3\n  4\n"},
      {"extra items without any descriptor are ignored", "(1Hx)", {1, 2}, "x\n"},
  };
  for (const RecordCase& c : cases) {
    EXPECT_EQ(write(c.format, c.items), c.expected) << c.name << ": " << c.format;
  }
}

struct FieldCase {
  double v;
  int w, d;
  const char* expected;
};

TEST(FieldWriters, EForm) {
  const std::vector<FieldCase> cases = {
      {1.23456, 11, 5, "0.12346E+01"},
      {1.23456, 12, 5, " 0.12346E+01"},
      {-1.23456e-4, 13, 5, " -0.12346E-03"},
      {-1.23456e-4, 12, 5, "-0.12346E-03"},
      {0.0, 11, 5, "0.00000E+00"},
      {0.0, 12, 5, " 0.00000E+00"},
      {-0.0, 12, 5, "-0.00000E+00"},
      {9.999996, 11, 5, "0.10000E+02"},   // rounding carries into a new digit
      {-0.999999, 12, 5, "-0.10000E+01"},
      {0.1, 11, 5, "0.10000E+00"},
      {1.23456, 10, 5, ".12346E+01"},      // no room for the leading zero
      {-1.23456, 11, 5, "-.12346E+01"},
      {1.23456, 9, 5, "*********"},
      {1.0 / 3.0, 15, 8, " 0.33333333E+00"},
      {0.5, 11, 3, "  0.500E+00"},
      {123456.0, 12, 5, " 0.12346E+06"},
      {1e99, 12, 5, " 0.10000+100"},       // three exponent digits drop the E
      {-2.5e-101, 12, 5, "-0.25000-100"},
      {2.5e-100, 12, 5, " 0.25000E-99"},
      {1e-101, 12, 5, " 0.10000-100"},
      {kNaN, 10, 3, "       NaN"},
      {kInf, 10, 3, "  Infinity"},
      {-kInf, 10, 3, " -Infinity"},
      {kInf, 5, 3, "  Inf"},
      {kNaN, 2, 1, "**"},
  };
  for (const FieldCase& c : cases) {
    std::string out;
    put_e(out, c.v, c.w, c.d);
    EXPECT_EQ(out, c.expected) << "E" << c.w << "." << c.d << " of " << c.v;
  }
}

TEST(FieldWriters, FForm) {
  const std::vector<FieldCase> cases = {
      {0.5, 10, 5, "   0.50000"},
      {0.5, 7, 5, "0.50000"},
      {0.5, 6, 5, ".50000"},
      {0.5, 5, 5, "*****"},
      {-0.5, 8, 5, "-0.50000"},
      {-0.5, 7, 5, "-.50000"},
      {-0.5, 6, 5, "******"},
      {-1e-7, 8, 5, "-0.00000"},     // rounds to zero, keeps its sign
      {-0.0, 8, 5, "-0.00000"},
      {-2.5, 10, 3, "    -2.500"},
      {123.456, 6, 2, "123.46"},
      {123.456, 5, 2, "*****"},
      {2.6, 5, 0, "   3."},
      {0.125e-3, 15, 8, "     0.00012500"},
      {1e300, 15, 3, "***************"},
      {kNaN, 10, 5, "       NaN"},
      {-kInf, 8, 3, "    -Inf"},
  };
  for (const FieldCase& c : cases) {
    std::string out;
    put_f(out, c.v, c.w, c.d);
    EXPECT_EQ(out, c.expected) << "F" << c.w << "." << c.d << " of " << c.v;
  }
}

TEST(FieldWriters, IForm) {
  struct Case {
    long long v;
    int w;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {42, 5, "   42"}, {-42, 3, "-42"}, {-420, 3, "***"}, {0, 1, "0"},
      {1234567890123LL, 13, "1234567890123"},
  };
  for (const Case& c : cases) {
    std::string out;
    put_int(out, c.v, c.w);
    EXPECT_EQ(out, c.expected) << "I" << c.w << " of " << c.v;
  }
}

TEST(FieldWriters, FieldsMatchTheCLibrary) {
  // Rounding must agree with printf's correctly rounded conversion.
  for (int k = 1; k <= 2000; ++k) {
    const double v = std::sin(k * 1.7) * std::pow(10.0, (k % 13) - 6);
    char ref[64];
    std::snprintf(ref, sizeof ref, "%15.6f", v);
    std::string out;
    put_f(out, v, 15, 6);
    EXPECT_EQ(out, ref) << v;
    // E: rebuild the reference from %.*e.
    std::snprintf(ref, sizeof ref, "%.4e", std::fabs(v));
    const int x = std::atoi(ref + 7) + 1;
    char expected[64];
    std::snprintf(expected, sizeof expected, "%s0.%c%.4sE%c%02d", v < 0 ? "-" : "", ref[0],
                  ref + 2, x < 0 ? '-' : '+', x < 0 ? -x : x);
    std::string e;
    put_e(e, v, static_cast<int>(std::string(expected).size()), 5);
    EXPECT_EQ(e, expected) << v;
  }
}

TEST(FreeForm, ItemsSeparatedByBlanks) {
  std::string out;
  write_free(out, {"IT=", 3, 0.1, -2.5e-7, kNaN});
  EXPECT_EQ(out, "IT= 3 0.1 -2.5e-07 NaN\n");
  out.clear();
  write_free(out, {});
  EXPECT_EQ(out, "\n");
}

TEST(FormatParse, MalformedFormatsThrow) {
  const char* bad[] = {
      "",        "I5",       "(I5",     "(Q5)",      "(F10)",   "(F10.)",  "(I)",
      "(5H)",    "(I5))",    "(I5) x",  "(E12.5.3)", "('abc)",  "(H)",     "(2(I5)",
      "(0I5)",   "(F5.7)",   "(I5,,",   "(3)",      "(I1 0)",  "(F1 0.5)",
  };
  for (const char* f : bad) {
    EXPECT_THROW(Format{f}, std::invalid_argument) << f;
  }
  try {
    Format f("(I5,Q3)");
    ADD_FAILURE() << "no exception";
  } catch (const std::invalid_argument& e) {
    EXPECT_NE(std::string(e.what()).find("(I5,Q3)"), std::string::npos) << e.what();
    EXPECT_NE(std::string(e.what()).find("position"), std::string::npos) << e.what();
  }
}

TEST(FormatSpeed, ListingRowIsCheap) {
  static const Format f("(I5,8F15.8)");
  std::string out;
  out.reserve(1 << 20);
  const int n = 20000;
  const auto t0 = std::chrono::steady_clock::now();
  for (int i = 0; i < n; ++i) {
    if (out.size() > (1 << 19)) out.clear();
    f.write(out, {i, 0.001 * i, -0.5, 1.25, 3.0e-3, -7.75});
  }
  const double ns =
      std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count() / n;
  std::printf("(I5,8F15.8) with 6 items: %.0f ns per record\n", ns);
  // Generous bound (sanitizer builds are slow); the optimised build is far below.
  EXPECT_LT(ns, 20000.0);
}

// Every format string of the panel solver's listings, copied exactly.
const char* const kListingFormats[] = {
    "(//,20h     INPUT subr.GEOM)",
    "(5h    I,9x,2hX0,13x,2hY0,12h   AeroFoil=,i3)",
    "(i5,8f15.6)",
    "(//,65(1h-))",
    "(11H YGOL RAZV=,1F9.6,10H    CHORD=,1F9.6,7H    X0=,1F9.6,7H    Y0=,1F9.6)",
    "(5h    I,9x,2hXP,13x,2hYP,13x,2hX0,13x,2hY0)",
    "(//,7H N0min=,i5,7H X0min=,f8.4,7H  X_le=,f8.4,7h  Y_le=,f8.4)",
    "(/3H  I,8X,1HX,13X,1HY,13X,1HD,12X,2HXP,12X,2HYP,12X,2HDP,5x,5hGEOM1)",
    "(I3,6E14.5)",
    "(/)",
    "(5h    I,7x,2hTP,13X,2hXP,13X,3hYP1,12X,2hYP)",
    "(I5,6E15.6)",
    "(8h Element,i2,8h     NP=,i3,5x,5hGEOM2)",
    "(5h    i,6x,2hxp,8x,2hyp,7x,3hyp1,8x,2htp,8x,2hdp)",
    "(i5,5f10.6)",
    "(5h    i,9x,3hTPB,12x,3hTPH,12x,3h XT,12x,3h YB,12x,3h YH,11x, 3h  S,12x,3h  T,12x,4hTPBC,11x,4hTPHC,12x,4hY1BC,11x,4hY1HC,5x,5hGEOM4)",
    "(I5,11F15.6)",
    "(/15X,24HRADIUS OF LEADING EDGE =,E12.5)",
    "(/5H    I,8X,2HXT,13X,2HYB,13X,2HYH,13X,2HTT,13X,2HSS,5x,5hGEOM5)",
    "(I5,5f15.6)",
    "(/4H XX=,f10.5,4H YY=,f10.5,5H XAX=,f10.5,5H YAX=,f10.5)",
    "(/5H    I,9X,4HXPN0,11X,4HYPN0,11X,4HXPN1,11X,4HYPN1,5x,5hGEOM6)",
    "(9hNcompute=,i2)",
    "(12h   AeroFoil=,i3)",
    "(/5H    I,9X,3HXPN,12X,3HYPN,12x,1hX,12x,1hY)",
    "(I5,6F15.6)",
    "(//,20h    OUTPUT subr.GEOM)",
    "(5h    I,9x,2h X,13x,2h Y,12h   AeroFoil=,i3)",
    "(i5,2f15.6)",
    "(/3X,10HKI GT 10*L,/)",
    "(20h GEOM_PAN  Ncompute=,i3)",
    "(//,24h     INPUT subr.GEOM_PAN)",
    "(10h  AirFoil=,i3)",
    "(/6H FOIL=,i3,6X,5H Xax=,f8.3,5H Yax=,f8.3,5H  Xx=,f8.3,5H  Yx=,f8.3,5H Dfl=,f8.3)",
    "(/5H    I,9X,3HXPN,12X,3HYPN,13X,2HXC,13X,2HYC,12X,4HTETC,12X,4HDYDT)",
    "(I5,8F15.6)",
    "(//,24h    OUTPUT subr.GEOM_PAN)",
    "(6x,3hXax,7x,3HYax,7x,2hXx,8X,2hYx,8x,3HDfl)",
    "(5f10.3)",
    "(//17X,39H**** AIRFOIL'S CALCULATION RESULT *****)",
    "(5h    i,5h    j,8x,3HDEL,12x,3HRKP,12x,2HR1,12x,2HR2,12x,4HBETA,12x,3HRPN,12x,3HAPN,12x,3HBPN)",
    "(2i5,2e15.5,2i5)",
    "(2i5,8e15.5,2i5,8e15.5)",
    "(i5,20e11.3)",
    "(/31X,6HALPHA=,E11.3,5x,9hFOILPMG 0,/)",
    "(/31X,6HALPHA=,E11.3,/)",
    "(/33X,7HELEMENT,I3,/)",
    "(/12X,1HN,8X,1HX,12X,1HS,12X,1HV,11X,2HCP,/)",
    "(8H Airfoil,i2,8H  CHORD=,f12.3,10H     AIRCH)",
    "(5h    i,9x,3hXCT,12x,3hYCT,12x,3hCPT,12x,3hTET,11x,4hHTET,12x,3hDYD,12x,3hDEL)",
    "(I5,9F15.6)",
    "(/,10X,6H   CN=,E12.5,5X,6H   CT=,E12.5,5X,6H   MZ=,E12.5)",
    "(10X,6H   CX=,E12.5,5X,6H   CY=,E12.5,5X,6H   MZ=,E12.5,5X,6H  ZMZ=,E12.5)",
    "(10X,6H CMZ0=,E12.5,5X,6H CY*B=,E12.5,5X,6H MZ*B=,E12.5)",
    "(/32X,10HCY(GAMMA)=,E12.5,/)",
    "(10X,6H  CXS=,E12.5,5X,6H  CYS=,E12.5,5X,6H  CMS=,E12.5)",
    "(3HON ,I3,14H  DELET  STEP ,44H MAKS  ELEMENT  OF  MATR  LINE  EQUAL  ZERO )",
    "(5h    I,10x,2hXC,13x,2hYC,13x,2hCP,13x,2hXP,13x,2hYP)",
    "(I5,8F15.8)",
    "(7x,2hCN,13x,2hCT,13x,2hCX,13x,2hCY,13x,3hMZ0,13x,2hMZ)",
    "(8E15.8)",
};

// Formats of the geometry reader and the boundary-layer listings.
const char* const kOtherFormats[] = {
    "(9F10.5)",
    "(5F10.5)",
    "(3F10.5)",
    "(a30)",
    "(2i10)",
    "(a80)",
    "(30(1H-))",
    "(23H Output from SXR, start)",
    "(8H  Alpha=,F10.3)",
    "(/,65(1H-))",
    "(58H  I         S             Ue              X              Y)",
    "(65(1H-))",
    "(I3,4E15.4)",
    "(8H  Icrit=,I5,10H    Scrit=,2E15.6)",
    "(7H    S1=,E15.6,7H    S2=,E15.6)",
    "(/,30(1H-))",
    "(26H  I    S upper    Ue upper)",
    "(I3,4E12.4)",
    "(26H  I    S lower    Ue lower)",
    "(24H Output from SXR, finish)",
    "(4H Re=,F15.3,8H    XTR=,F10.3,8H   XINV=,F10.3)",
    "(4H NP=,I5,8H   ETAE=,F10.3,7H   VGP=,F10.3)",
    "(/,50(1H=))",
    "(50H    I         ETA           DETA              A   )",
    "(50(1H-))",
    "(I5,4E15.4)",
    "(50(1H-),/)",
    "(5h   NX,8x,1hX,10x,9hVFOL or V,9x,2hCF,13x,2hTF,11x,8hTF_EXACT)",
    "(19h k_iter > k_iterMax,4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,2e15.5)",
    "(/,5h   NX,7x,1hX,10x,2hUE,10x,2hME,10x,2hD1,9x,3hROV,10x,2hCF,8x,5hDUmax,4x,5hJUmax,1x,5hKiter,1x,2hNP ,1x,4hNINV,1x,4hKTBL)",
    "(i5,7e12.5,5i5,2e15.5)",
    "(i5,7e12.5,5i5)",
    "(50h Input data for calculation of BL on upper surface)",
    "(50h Input data for calculation of BL on lower surface)",
    "(10h    ielem=,i3)",
    "(10h    CFSEP=,f10.3)",
    "(1H ,5X,2HM8,10X,2HT8,10X,2HA8,10X,2HU8,10X,3HMU8,9X,3HNU8,9X,3HRO8)",
    "(1H ,7E12.4)",
    "(3x,1hI,9x,1hX,13x,2hUE,13x,2hME,12x,4hROE8,11x,5hEMUE8,10x,5hENUE8,11x,3hTE8)",
    "(1H ,I3,8E15.4)",
    "(4x,1hi,4x,4hX(I),6x,5hUE(I),5x,6hEME(I),3x,8hD1_BC(I),2x,8hCF_BC(I), 2x,8hRV_BC(I),4x,5hVw(I),5x,5hUw(I)5x,5hTw(I))",
    "(I5,10F10.5)",
    "(40X,10HNUMBER RE=,E12.4)",
    "(46X,3HET=,E12.4)",
    "(1H ,6HNXT  =,I3,14X,6HNP2  =,I3,5X,6HXTR  =,E14.6/1H ,6HETAE =,E14.6,3X,              6HVLBL =,E14.6,3X,6HVTBL= ,E14.6,3X,6HNU   =,E14.6/)",
    "(/,100(1H=))",
    "(4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,e15.5,5h  ME=,e15.5,i5)",
    "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hB,12x,4hCCRO)",
    "(125(1H-))",
    "(I5,8E15.4)",
    "(125(1H-),/)",
    "(170(1H=))",
    "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hH,14x,1hG,14x,1hB,12x,4hCCRO,12x,3hTTE)",
    "(170(1H-))",
    "(I5,14E15.4)",
    "(/,125(1H=))",
    "(/,4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,2e15.5,i5)",
    "(/6h  j  k,6x,1hQ,10x,2hQp,10x,2hRQ,10x,4hdQdx,68x,5hdQpdx)",
    "(2i3,25E12.3)",
    "(3x,i3,25E12.3)",
    "(/6h  j  k,6x,1hA,11x,1hA,11x,1hA,11x,1hB,11x,1hB,11x,1hB,11x,1hC,11x,1hC,11x,1hC,11x,1hR)",
    "(/6h  j  k,6x,1hA,11x,1hA,11x,1hA,11x,1hA,11x,1hA,11x,1hB,11x,1hB,11x,1hB,11x,1hB,11x,1hB,11x,1hC,11x,1hC,11x,1hC,11x,1hC,11x,1hC,11x,1hR)",
    "(2i3,26E12.3)",
    "(/,4h IT=,i5,4h NX=,i5,5h   X=,e15.5,5h  UE=,e15.5,9h Roe/Ro8=,e15.5,9h Mue/Mu8=,e15.5)",
    "(10x,7h dumax=,e15.5,i5,7h dhmax=,e15.5,i5)",
    "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hB,12x,4hCCRO,10x,6hT/TE-1)",
    "(I5,9E15.4)",
    "(/,170(1H=))",
    "(5H    I,9x,3hETA,11x,4hDETA,12x,1hA,14x,1hF,14x,1hU,14x,1hV,14x,1hH,14x,1hG,14x,1hB,12x,4hCCRO,10x, 6hT/TE-1)",
    "(I5,11E15.4)",
    "(170(1H-),/)",
};

TEST(FormatParse, EveryListingFormatParses) {
  for (const char* pattern : kListingFormats) {
    EXPECT_NO_THROW(Format{pattern}) << pattern;
  }
  for (const char* pattern : kOtherFormats) {
    EXPECT_NO_THROW(Format{pattern}) << pattern;
  }
}

TEST(FormatParse, ListingFormatsWriteWithFewItems) {
  // With one item each format writes up to its second data descriptor; with
  // no items, up to its first. Neither may throw or lose the final newline.
  for (const char* pattern : kListingFormats) {
    const Format f(pattern);
    const std::string none = f.format({});
    const std::string one = f.format({1.5});
    ASSERT_FALSE(none.empty()) << pattern;
    EXPECT_EQ(none.back(), '\n') << pattern;
    EXPECT_EQ(one.back(), '\n') << pattern;
  }
}

}  // namespace
}  // namespace sorvane::text

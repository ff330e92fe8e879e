#include "app/number_text.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace sorvane::gui {

namespace {

bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Whether [first, end) is written as a decimal number: digits with at most
// one point, then optionally an exponent with digits. strtod alone would
// also take "inf", "nan" and hexadecimal forms.
bool decimal_form(const char* first, const char* end) {
  const char* p = first;
  if (p < end && (*p == '+' || *p == '-')) ++p;
  int digits = 0;
  while (p < end && *p >= '0' && *p <= '9') ++p, ++digits;
  if (p < end && *p == '.') {
    ++p;
    while (p < end && *p >= '0' && *p <= '9') ++p, ++digits;
  }
  if (digits == 0) return false;
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    if (p < end && (*p == '+' || *p == '-')) ++p;
    int exponentDigits = 0;
    while (p < end && *p >= '0' && *p <= '9') ++p, ++exponentDigits;
    if (exponentDigits == 0) return false;
  }
  return p == end;
}

}  // namespace

NumberText read_number_text(const FX::FXString& text, double& value) {
  const char* first = text.text();
  const char* end = first + text.length();
  while (first < end && blank(*first)) ++first;
  while (end > first && blank(end[-1])) --end;
  if (first == end) return NumberText::kEmpty;
  if (!decimal_form(first, end)) return NumberText::kNotANumber;
  const std::string digits(first, end);
  errno = 0;
  const double v = std::strtod(digits.c_str(), nullptr);
  // Too large gives infinity; too small gives 0 (a number written with
  // only zeros is 0 without a range error). A result in the subnormal
  // range is still a number that can be held.
  if (!std::isfinite(v) || (errno == ERANGE && v == 0.0)) return NumberText::kBeyondRange;
  value = v;
  return NumberText::kNumber;
}

NumberText read_positive_number_text(const FX::FXString& text, double& value) {
  double v = 0.0;
  const NumberText outcome = read_number_text(text, v);
  if (outcome != NumberText::kNumber) return outcome;
  if (!(v > 0.0)) return NumberText::kNotAboveZero;
  value = v;
  return NumberText::kNumber;
}

const char* number_text_fault(NumberText outcome) {
  switch (outcome) {
    case NumberText::kNumber:
      return "";
    case NumberText::kEmpty:
      return "it is empty";
    case NumberText::kNotANumber:
      return "it is not a number";
    case NumberText::kBeyondRange:
      return "it is beyond the range of numbers the program can hold";
    case NumberText::kNotAboveZero:
      return "it is not above 0";
  }
  return "";
}

FX::FXString refused_number_message(const char* label, const FX::FXString& text,
                                    NumberText outcome, const char* consequence) {
  return FX::FXString(label) + " \"" + text + "\" cannot be used: " + number_text_fault(outcome) +
         ". " + consequence;
}

}  // namespace sorvane::gui

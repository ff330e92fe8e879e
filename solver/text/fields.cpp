// Ten-character real fields read under the F10.5 rule.
#include "solver/text/fields.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <system_error>

namespace sorvane::text {

namespace {

constexpr int kWidth = 10;
constexpr int kImpliedDecimals = 5;

std::string where(int field) {
  const int first = kWidth * field + 1;
  return "field " + std::to_string(field + 1) + " (columns " + std::to_string(first) + "-" +
         std::to_string(first + kWidth - 1) + ")";
}

bool is_blank(char c) { return c == ' ' || c == '\r' || c == '\n'; }

// Parses the blank-free text of a field. Accepts [sign] digits [. digits]
// with at least one digit, then an optional exponent: E, D, e or d with an
// optional sign, or a sign alone ("1.5+3"), followed by digits.
bool parse(const char* s, int n, double* value) {
  int p = 0;
  bool neg = false;
  if (p < n && (s[p] == '+' || s[p] == '-')) neg = s[p++] == '-';
  char mant[16];  // digits only (a field holds at most 10 characters)
  int m = 0;
  int frac = 0;
  bool point = false;
  while (p < n) {
    const char c = s[p];
    if (c >= '0' && c <= '9') {
      mant[m++] = c;
      if (point) ++frac;
      ++p;
    } else if (c == '.' && !point) {
      point = true;
      ++p;
    } else {
      break;
    }
  }
  if (m == 0) return false;
  long exp10 = 0;
  if (p < n) {
    const char c = s[p];
    if (c == 'e' || c == 'E' || c == 'd' || c == 'D') {
      ++p;
      if (p < n && (s[p] == '+' || s[p] == '-')) ++p;
    } else if (c == '+' || c == '-') {
      ++p;
    } else {
      return false;
    }
    const bool eneg = s[p - 1] == '-';
    if (p >= n) return false;
    long x = 0;
    while (p < n) {
      if (s[p] < '0' || s[p] > '9') return false;
      x = x * 10 + (s[p++] - '0');
    }
    exp10 = eneg ? -x : x;
  }
  // Without a point the digits carry five implied decimals.
  exp10 -= point ? frac : kImpliedDecimals;
  // digits "e" exponent, converted without any locale.
  char text[40];
  int t = 0;
  for (int i = 0; i < m; ++i) text[t++] = mant[i];
  text[t++] = 'e';
  auto r = std::to_chars(text + t, text + sizeof text, exp10);
  double v = 0.0;
  auto res = std::from_chars(text, r.ptr, v);
  if (res.ec == std::errc::result_out_of_range) {
    // Underflow reads as 0; overflow is refused.
    bool all_zero = true;
    for (int i = 0; i < m; ++i) all_zero = all_zero && mant[i] == '0';
    if (all_zero || exp10 < 0) v = 0.0;
    else return false;
  } else if (res.ec != std::errc() || res.ptr != r.ptr || !std::isfinite(v)) {
    return false;
  }
  *value = neg ? -v : v;
  return true;
}

}  // namespace

bool read_field(std::string_view line, int field, double* value, std::string* error) {
  *value = 0.0;
  if (field < 0) {
    if (error) *error = "field " + std::to_string(field + 1) + " does not exist";
    return false;
  }
  const std::size_t start = static_cast<std::size_t>(kWidth) * static_cast<std::size_t>(field);
  const std::string_view raw =
      start < line.size() ? line.substr(start, static_cast<std::size_t>(kWidth)) : std::string_view();
  char text[kWidth];
  int n = 0;
  for (char c : raw) {
    if (c == '\t') {
      if (error)
        *error = where(field) +
                 " holds a tab character; the fields are counted in columns, use blanks instead";
      return false;
    }
    if (!is_blank(c)) text[n++] = c;
  }
  if (n == 0) return true;  // an empty field reads as 0
  if (parse(text, n, value)) return true;
  *value = 0.0;
  if (error) {
    std::size_t b = 0, e = raw.size();
    while (b < e && is_blank(raw[b])) ++b;
    while (e > b && is_blank(raw[e - 1])) --e;
    *error = where(field) + " \"" + std::string(raw.substr(b, e - b)) + "\" is not a number";
  }
  return false;
}

bool read_fields(std::string_view line, int count, double* values, std::string* error) {
  if (count < 0 || count > 9) {
    if (error) *error = "a record holds at most 9 fields, not " + std::to_string(count);
    return false;
  }
  for (int k = 0; k < count; ++k)
    if (!read_field(line, k, &values[k], error)) return false;
  return true;
}

double to_single(double v) {
  if (!std::isfinite(v)) return v;
  // Beyond the largest float (after round-to-nearest) the single value is
  // infinite; converting such a double directly would be undefined.
  const double max = static_cast<double>(FLT_MAX);
  if (std::fabs(v) > max) {
    const double half_ulp = std::ldexp(1.0, 103);  // half the spacing at FLT_MAX
    return std::copysign(std::fabs(v) >= max + half_ulp ? HUGE_VAL : max, v);
  }
  return static_cast<double>(static_cast<float>(v));
}

bool single_to_int(double v, int* out) {
  if (!std::isfinite(v)) return false;
  const double t = std::trunc(to_single(v));
  if (!std::isfinite(t) || t < static_cast<double>(INT_MIN) || t > static_cast<double>(INT_MAX))
    return false;
  *out = static_cast<int>(t);
  return true;
}

}  // namespace sorvane::text

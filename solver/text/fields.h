// Reading ten-character real fields ("(9F10.5)" records).
//
// A field is read under the F10.5 rule: with a decimal point it is read as
// written (an exponent is allowed); without one it is an integer times 1e-5;
// blanks inside a field are ignored; an empty field is 0; a line shorter than
// its fields reads as if padded with blanks.
#pragma once

#include <string>
#include <string_view>

namespace sorvane::text {

// Reads the field at 0-based index `field` (columns 10*field .. 10*field+9)
// of line. Returns false with a message in *error when the field is not a
// number.
bool read_field(std::string_view line, int field, double* value, std::string* error);

// Reads `count` fields (at most 9) into values[0..count-1].
bool read_fields(std::string_view line, int count, double* values, std::string* error);

// A value marked "single": rounded to single precision.
double to_single(double v);
// An integer item read as single: rounded to single precision, then
// truncated toward zero. Values outside the 32-bit range give false.
bool single_to_int(double v, int* out);

}  // namespace sorvane::text

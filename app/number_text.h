// What a number field holds: its text read as one real number, or why the
// text gives none. The windows read the texts of their fields through this,
// not through the toolkit's conversion, which makes 0 of a text that is no
// number and infinity of one beyond the range of numbers.
#pragma once

#include "app/fox_compat.h"

namespace sorvane::gui {

enum class NumberText {
  kNumber,        // one finite real number, blanks around it allowed
  kEmpty,         // nothing but blanks
  kNotANumber,    // anything else, "inf" and "nan" among them
  kBeyondRange,   // written as a number, but too large (or too small) to be held
  kNotAboveZero,  // a number, 0 or negative, where one above 0 is needed
};

// Reads text; value is set only for kNumber. Never gives kNotAboveZero.
NumberText read_number_text(const FX::FXString& text, double& value);

// As read_number_text, and kNotAboveZero for a number that is not above 0.
NumberText read_positive_number_text(const FX::FXString& text, double& value);

// Why a refused text cannot be used, for a message: "it is empty", "it is
// not a number", ... (empty for kNumber).
const char* number_text_fault(NumberText outcome);

// The one message of a field that refused its text:
//   <label> "<text>" cannot be used: <fault>. <consequence>
FX::FXString refused_number_message(const char* label, const FX::FXString& text,
                                    NumberText outcome, const char* consequence);

}  // namespace sorvane::gui

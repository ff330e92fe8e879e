// The few places where the toolkit release we build against (FOX 1.6) names
// things differently from the later series: number to text and text to
// number. Window code converts through these helpers only.
#pragma once

#include <fx.h>

// The toolkit defines PI as a macro; the problem state has a member of that
// name. Window code uses the state's value.
#undef PI

namespace sorvane::gui {

// Fixed-point text with the given count of decimals ("%.*f").
inline FX::FXString string_from_double(double value, int decimals) {
  return FX::FXStringVal(value, decimals, FALSE);
}

// Plain decimal text of an integer.
inline FX::FXString string_from_int(int value) { return FX::FXStringVal(value, 10); }

// Integer of a text in base 10 (0 for a text that is not a number).
inline int to_int(const FX::FXString& text) { return FX::FXIntVal(text, 10); }

}  // namespace sorvane::gui

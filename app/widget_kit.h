// The styles and small widget makers that both windows build with, and the
// element colours both windows draw in.
#pragma once

#include "app/fox_compat.h"
#include "solver/state/problem_state.h"

namespace sorvane::gui {

// A label before its control: right-justified, centred in its cell.
constexpr FX::FXuint kLabelStyle =
    FX::JUSTIFY_RIGHT | FX::LAYOUT_CENTER_X | FX::LAYOUT_CENTER_Y | FX::LAYOUT_FILL_ROW;
// A spinner in a matrix cell.
constexpr FX::FXuint kSpinnerStyle =
    FX::FRAME_SUNKEN | FX::FRAME_THICK | FX::LAYOUT_CENTER_Y | FX::LAYOUT_FILL_ROW;
// A text field in a matrix cell; the caller adds its input mode (real or
// integer).
constexpr FX::FXuint kFieldStyle = FX::FRAME_SUNKEN | FX::FRAME_THICK | FX::LAYOUT_CENTER_X |
                                   FX::LAYOUT_CENTER_Y | FX::LAYOUT_FILL_ROW;
// A titled group, ridged, as wide as its parent.
constexpr FX::FXuint kGroupStyle = FX::GROUPBOX_TITLE_LEFT | FX::FRAME_RIDGE | FX::LAYOUT_FILL_X;
// A matrix filled row by row, label then control.
constexpr FX::FXuint kMatrixStyle =
    FX::MATRIX_BY_COLUMNS | FX::LAYOUT_SIDE_LEFT | FX::LAYOUT_FILL_Y;
// A command button sized to its text.
constexpr FX::FXuint kButtonStyle =
    FX::FRAME_RAISED | FX::FRAME_THICK | FX::JUSTIFY_BOTTOM | FX::LAYOUT_CENTER_X;
// A plot canvas that takes all the room it is given.
constexpr FX::FXuint kCanvasStyle =
    FX::FRAME_SUNKEN | FX::FRAME_THICK | FX::LAYOUT_FILL_X | FX::LAYOUT_FILL_Y;

// The colour names of the elements, first to last, in both windows' plots.
constexpr const char* kElementColors[sorvane::kMaxElements] = {"Black", "Red", "Blue", "Green",
                                                               "Brown"};

inline FX::FXGroupBox* group(FX::FXComposite* parent, const char* title) {
  return new FX::FXGroupBox(parent, title, kGroupStyle);
}

inline FX::FXMatrix* matrix(FX::FXComposite* parent, int columns) {
  return new FX::FXMatrix(parent, columns, kMatrixStyle);
}

inline FX::FXLabel* label(FX::FXComposite* parent, const char* text) {
  return new FX::FXLabel(parent, text, nullptr, kLabelStyle);
}

// A label and a real-number field after it.
inline FX::FXTextField* real_field(FX::FXComposite* parent, const char* text, int columns,
                                   FX::FXObject* target, FX::FXSelector id) {
  label(parent, text);
  return new FX::FXTextField(parent, columns, target, id, kFieldStyle | FX::TEXTFIELD_REAL);
}

// A canvas with the cross-hair cursor.
inline FX::FXCanvas* plot_canvas(FX::FXComposite* parent, FX::FXObject* target,
                                 FX::FXSelector id) {
  FX::FXCanvas* c = new FX::FXCanvas(parent, target, id, kCanvasStyle);
  c->setDefaultCursor(parent->getApp()->getDefaultCursor(FX::DEF_CROSSHAIR_CURSOR));
  return c;
}

}  // namespace sorvane::gui

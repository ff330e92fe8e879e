// The program's message boxes. Every error and information box is made
// here, so that each lies within the screen and every word of its text can
// be read: the text is broken into lines that fit the screen's width, and a
// text that would then be taller than the screen is shown in a scrolled,
// read-only text instead of the toolkit's message box.
#pragma once

#include "app/fox_compat.h"

namespace sorvane::gui {

enum class MessageKind { kError, kInformation };

// Room kept free between a box and each edge of the screen (the window
// manager's frame and title bar go there).
constexpr FX::FXint kScreenMargin = 40;

// text broken into lines no wider than width pixels in font: at blanks, and
// a word wider than that in pieces. Its own line breaks are kept; the
// blanks at a break are dropped.
FX::FXString wrap_to_width(FX::FXFont* font, const FX::FXString& text, FX::FXint width);

// The box that shows text over owner ("OK" closes it), neither created nor
// shown: a toolkit message box with the text broken to fit the screen, or,
// when that would be taller than the screen allows, a dialog with the text
// in a scrolled, read-only, word-wrapped text. The caller deletes it.
FX::FXDialogBox* make_message_box(FX::FXWindow* owner, MessageKind kind,
                                  const FX::FXString& caption, const FX::FXString& text);

// Gives a created box its size and place: centred over its owner, moved
// and, where need be, shrunk so that it lies within the screen.
void place_message_box(FX::FXTopWindow* box);

// Shows text in a box over owner and returns when it is closed.
void show_message_box(FX::FXWindow* owner, MessageKind kind, const FX::FXString& caption,
                      const FX::FXString& text);

}  // namespace sorvane::gui

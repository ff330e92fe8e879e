// A one-line label for a status whose text can be far longer than the room
// it has (a failed solution, every listing that lost records). Its size does
// not follow its text: it is always as wide as the widest text it is made
// for shows, so no control of the window moves or changes size whatever the
// text. A text that fits is drawn whole and centred; a longer one is drawn
// shortened to the label's width, ending in "...", and the whole text is
// the label's tooltip.
#pragma once

#include "app/fox_compat.h"

namespace sorvane::gui {

class StatusLabel : public FX::FXLabel {
  FXDECLARE(StatusLabel)

 protected:
  StatusLabel() {}

 public:
  // widest: the text whose width the label keeps.
  StatusLabel(FX::FXComposite* parent, const FX::FXString& widest, FX::FXuint opts);

  // Shows text (getText() returns it whole) and makes it the tooltip.
  void setStatus(const FX::FXString& text);
  // The text as drawn at the label's present width: the whole text on one
  // line (line breaks as blanks), or its longest start that fits with "...".
  FX::FXString shownText() const;

  // The width of the widest text on one line, whatever the text shown.
  virtual FX::FXint getDefaultWidth();
  // One line of text, whatever the text holds.
  virtual FX::FXint getDefaultHeight();

  long onPaint(FX::FXObject*, FX::FXSelector, void*);

 private:
  FX::FXString widest;
};

}  // namespace sorvane::gui

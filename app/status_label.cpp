// The status label: one line of a fixed width, a text that does not fit
// shortened with "...", the whole text in the tooltip.
#include "app/status_label.h"

using namespace FX;

namespace sorvane::gui {

FXDEFMAP(StatusLabel) StatusLabelMap[] = {
    FXMAPFUNC(SEL_PAINT, 0, StatusLabel::onPaint),
};

FXIMPLEMENT(StatusLabel, FXLabel, StatusLabelMap, ARRAYNUMBER(StatusLabelMap))

namespace {

const FXString kEllipsis("...");

// The text on one line: line breaks and tabs as blanks.
FXString one_line(const FXString& text) {
  FXString line(text);
  for (FXint i = 0; i < line.length(); ++i)
    if (line[i] == '\n' || line[i] == '\r' || line[i] == '\t') line[i] = ' ';
  return line;
}

// The longest start of line that fits into width pixels with "..." after
// it (cut between characters, not inside one), or line itself when it fits.
FXString shortened(const FXFont* font, const FXString& line, FXint width) {
  if (font->getTextWidth(line) <= width) return line;
  FXint lo = 0, hi = line.length();  // line.left(lo) + "..." fits
  while (lo < hi) {
    const FXint mid = (lo + hi + 1) / 2;
    if (font->getTextWidth(line.left(mid) + kEllipsis) <= width)
      lo = mid;
    else
      hi = mid - 1;
  }
  // A cut inside a character of several bytes goes back to its start.
  while (lo > 0 && lo < line.length() && (static_cast<FXuchar>(line[lo]) & 0xC0) == 0x80) --lo;
  return line.left(lo) + kEllipsis;
}

}  // namespace

StatusLabel::StatusLabel(FXComposite* parent, const FXString& widestText, FXuint opts)
    : FXLabel(parent, FXString(), nullptr, opts), widest(widestText) {}

void StatusLabel::setStatus(const FXString& text) {
  setText(text);
  setTipText(text);
}

FXString StatusLabel::shownText() const {
  const FXString line = one_line(label);
  if (!font) return line;
  return shortened(font, line, width - padleft - padright - (border << 1));
}

FXint StatusLabel::getDefaultWidth() {
  const FXString shown = label;
  label = one_line(widest);
  const FXint w = FXLabel::getDefaultWidth();
  label = shown;
  return w;
}

FXint StatusLabel::getDefaultHeight() {
  const FXString shown = label;
  label = one_line(shown.empty() ? widest : shown);
  const FXint h = FXLabel::getDefaultHeight();
  label = shown;
  return h;
}

long StatusLabel::onPaint(FXObject* sender, FXSelector sel, void* ptr) {
  // The toolkit's label drawing, for the time it draws with the line as
  // shown in place of the text, centred as a label sized to its text would
  // be.
  const FXString whole = label;
  const FXint hot = hotoff;
  const FXuint style = options;
  label = shownText();
  hotoff = -1;
  options &= ~JUSTIFY_HZ_APART;
  const long handled = FXLabel::onPaint(sender, sel, ptr);
  label = whole;
  hotoff = hot;
  options = style;
  return handled;
}

}  // namespace sorvane::gui

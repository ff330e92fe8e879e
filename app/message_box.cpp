#include "app/message_box.h"

#include <algorithm>
#include <string>

namespace FX {
// The toolkit's own images of its error and information boxes (GIF data in
// its library).
extern const unsigned char erroricon[];
extern const unsigned char infoicon[];
}  // namespace FX

using namespace FX;

namespace sorvane::gui {

namespace {

// Width in pixels of the bytes [first, first + n) in font.
FXint width_of(FXFont* font, const char* first, FXint n) {
  return n > 0 ? font->getTextWidth(first, n) : 0;
}

// Length of the longest start of [first, first + n) that fits width, at
// least one character; a character's bytes (UTF-8) stay together.
FXint fitting_prefix(FXFont* font, const char* first, FXint n, FXint width) {
  FXint fit = 0;
  FXint next = 0;
  while (next < n) {
    FXint end = next + 1;
    while (end < n && (static_cast<unsigned char>(first[end]) & 0xC0) == 0x80) ++end;
    if (fit > 0 && width_of(font, first, end) > width) break;
    fit = end;
    next = end;
  }
  return fit;
}

// One line of text (no line break in it) broken to width, appended to out.
void wrap_line(FXFont* font, const std::string& line, FXint width, std::string& out) {
  std::string current;  // the line being filled
  std::size_t i = 0;
  const std::size_t n = line.size();
  auto flush = [&] {
    out += current;
    out += '\n';
    current.clear();
  };
  while (i < n) {
    // The blanks before the next word, then the word.
    std::size_t wordStart = i;
    while (wordStart < n && line[wordStart] == ' ') ++wordStart;
    std::size_t wordEnd = wordStart;
    while (wordEnd < n && line[wordEnd] != ' ') ++wordEnd;
    const std::string blanks = line.substr(i, wordStart - i);
    std::string word = line.substr(wordStart, wordEnd - wordStart);
    i = wordEnd;
    if (word.empty()) break;  // blanks at the end of the line go
    const std::string joined = current + blanks + word;
    if (width_of(font, joined.c_str(), static_cast<FXint>(joined.size())) <= width) {
      current = joined;
      continue;
    }
    // The word goes to a line of its own; the blanks at the break go.
    if (!current.empty()) flush();
    // A word wider than a whole line goes in pieces.
    while (width_of(font, word.c_str(), static_cast<FXint>(word.size())) > width) {
      const FXint piece =
          fitting_prefix(font, word.c_str(), static_cast<FXint>(word.size()), width);
      current = word.substr(0, piece);
      flush();
      word.erase(0, piece);
    }
    current = word;
  }
  out += current;
}

// The box's image, made for the box and deleted with it.
FXIcon* make_icon(FXApp* app, MessageKind kind) {
  return new FXGIFIcon(app, kind == MessageKind::kError ? erroricon : infoicon);
}

// The toolkit's message box with an "OK" button, owning its image.
class PlainMessageBox : public FXMessageBox {
 public:
  PlainMessageBox(FXWindow* owner, const FXString& caption, const FXString& text, FXIcon* icon)
      : FXMessageBox(owner, caption, text, icon, MBOX_OK | DECOR_TITLE | DECOR_BORDER),
        icon_(icon) {}
  ~PlainMessageBox() override { delete icon_; }

 private:
  FXIcon* icon_;
};

// The text in a scrolled, read-only, word-wrapped text with the box's image
// left of it and "OK" under it.
class ScrolledMessageBox : public FXDialogBox {
 public:
  ScrolledMessageBox(FXWindow* owner, const FXString& caption, const FXString& text,
                     FXIcon* icon)
      : FXDialogBox(owner, caption, DECOR_TITLE | DECOR_BORDER | DECOR_RESIZE, 0, 0, 0, 0, 10,
                    10, 10, 10, 10, 10),
        icon_(icon) {
    FXVerticalFrame* content = new FXVerticalFrame(this, LAYOUT_FILL_X | LAYOUT_FILL_Y);
    FXHorizontalFrame* info =
        new FXHorizontalFrame(content, LAYOUT_FILL_X | LAYOUT_FILL_Y, 0, 0, 0, 0, 0, 0, 0, 0);
    new FXLabel(info, FXString::null, icon, ICON_BEFORE_TEXT | LAYOUT_TOP | LAYOUT_LEFT);
    FXHorizontalFrame* textFrame =
        new FXHorizontalFrame(info, FRAME_SUNKEN | FRAME_THICK | LAYOUT_FILL_X | LAYOUT_FILL_Y,
                              0, 0, 0, 0, 0, 0, 0, 0);
    text_ = new FXText(textFrame, nullptr, 0,
                       TEXT_READONLY | TEXT_WORDWRAP | HSCROLLING_OFF | LAYOUT_FILL_X |
                           LAYOUT_FILL_Y);
    text_->setText(text);
    new FXHorizontalSeparator(content, SEPARATOR_GROOVE | LAYOUT_FILL_X);
    FXHorizontalFrame* buttons =
        new FXHorizontalFrame(content, LAYOUT_FILL_X | PACK_UNIFORM_WIDTH);
    FXButton* ok = new FXButton(buttons, "&OK", nullptr, this, ID_ACCEPT,
                                BUTTON_INITIAL | BUTTON_DEFAULT | FRAME_RAISED | FRAME_THICK |
                                    LAYOUT_CENTER_X,
                                0, 0, 0, 0, 20, 20);
    ok->setFocus();
  }
  ~ScrolledMessageBox() override { delete icon_; }

  FXText* text() const { return text_; }

 private:
  FXIcon* icon_;
  FXText* text_ = nullptr;
};

// The widest line of text in font.
FXint widest_line(FXFont* font, const FXString& text) {
  FXint widest = 0, start = 0;
  const FXint n = text.length();
  for (FXint i = 0; i <= n; ++i)
    if (i == n || text[i] == '\n') {
      widest = std::max(widest, width_of(font, text.text() + start, i - start));
      start = i + 1;
    }
  return widest;
}

FXint screen_width(FXApp* app) { return app->getRootWindow()->getWidth(); }
FXint screen_height(FXApp* app) { return app->getRootWindow()->getHeight(); }

}  // namespace

FXString wrap_to_width(FXFont* font, const FXString& text, FXint width) {
  const std::string all(text.text(), text.length());
  std::string out;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = all.find('\n', start);
    wrap_line(font, all.substr(start, end == std::string::npos ? std::string::npos : end - start),
              width, out);
    if (end == std::string::npos) break;
    out += '\n';
    start = end + 1;
  }
  return FXString(out.c_str(), static_cast<FXint>(out.size()));
}

FXDialogBox* make_message_box(FXWindow* owner, MessageKind kind, const FXString& caption,
                              const FXString& text) {
  FXApp* app = owner->getApp();
  FXFont* font = app->getNormalFont();
  const FXint maxWidth = screen_width(app) - 2 * kScreenMargin;
  const FXint maxHeight = screen_height(app) - 2 * kScreenMargin;

  // What a message box needs beside its text: its image, the spacing and
  // the frames, measured on a box without text.
  FXint chrome = 0;
  {
    FXIcon* probeIcon = make_icon(app, kind);
    PlainMessageBox probe(owner, caption, FXString::null, probeIcon);
    chrome = probe.getDefaultWidth();
  }
  // The text of a scrolled box has the scroll bar and the text's margins
  // beside it as well.
  const FXint scrolledChrome = chrome + app->getScrollBarSize() + 16;
  const FXint lineWidth = std::max(maxWidth - scrolledChrome, 1);

  const FXString wrapped = wrap_to_width(font, text, lineWidth);
  FXDialogBox* box = new PlainMessageBox(owner, caption, wrapped, make_icon(app, kind));
  if (box->getDefaultHeight() <= maxHeight) return box;
  delete box;
  ScrolledMessageBox* scrolled =
      new ScrolledMessageBox(owner, caption, wrapped, make_icon(app, kind));
  // As wide as its longest line needs, as high as the screen allows.
  const FXint width =
      std::min(maxWidth, widest_line(font, wrapped) + scrolledChrome);
  scrolled->resize(std::max(width, scrolled->getDefaultWidth()), maxHeight);
  return scrolled;
}

void place_message_box(FXTopWindow* box) {
  FXApp* app = box->getApp();
  const FXint screenW = screen_width(app), screenH = screen_height(app);
  // A box that was given no size takes the size its content asks for.
  FXint w = box->getWidth() > 1 ? box->getWidth() : box->getDefaultWidth();
  FXint h = box->getHeight() > 1 ? box->getHeight() : box->getDefaultHeight();
  w = std::max(1, std::min(w, screenW - 2 * kScreenMargin));
  h = std::max(1, std::min(h, screenH - 2 * kScreenMargin));
  // Centred over the owner where it has one, else on the screen.
  FXint x = (screenW - w) / 2, y = (screenH - h) / 2;
  if (FXWindow* owner = box->getOwner()) {
    FXint ox = 0, oy = 0;
    owner->translateCoordinatesTo(ox, oy, app->getRootWindow(), 0, 0);
    x = ox + (owner->getWidth() - w) / 2;
    y = oy + (owner->getHeight() - h) / 2;
  }
  x = std::max(kScreenMargin, std::min(x, screenW - kScreenMargin - w));
  y = std::max(kScreenMargin, std::min(y, screenH - kScreenMargin - h));
  box->position(x, y, w, h);
}

void show_message_box(FXWindow* owner, MessageKind kind, const FXString& caption,
                      const FXString& text) {
  FXDialogBox* box = make_message_box(owner, kind, caption, text);
  box->create();
  place_message_box(box);
  box->execute(PLACEMENT_DEFAULT);
  delete box;
}

}  // namespace sorvane::gui

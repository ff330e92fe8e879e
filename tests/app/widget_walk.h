// A walk over a window's widget tree, depth first, that keeps one line per
// widget of interest: its kind, its texts, the columns, the style checks that
// fail ("!style") and the target and message it sends to. The kinds both
// windows have are described here; a window's test describes its own kinds
// (spinners, tabs, canvases, frames) in `own` and `rest`.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/fox_compat.h"

namespace sorvane::testing {

inline std::string hex(FX::FXuint v) {
  std::ostringstream o;
  o << std::hex << v;
  return o.str();
}

class WidgetWalk {
 public:
  virtual ~WidgetWalk() = default;

  // "@name:message" of a widget: the name the test gave its target ("?" for
  // one it did not name) and the message in hexadecimal.
  std::string target(FX::FXWindow* c) const {
    auto it = names.find(c->getTarget());
    return "@" + (it == names.end() ? std::string("?") : it->second) + ":" +
           hex(c->getSelector());
  }

  void walk(FX::FXWindow* parent) {
    for (FX::FXWindow* c = parent->getFirst(); c; c = c->getNext())
      if (!own(c) && !common(c)) rest(c);
  }

  std::map<const FX::FXObject*, std::string> names;
  std::vector<std::string> items;
  std::vector<FX::FXTextField*> fields;

 protected:
  // A widget the window's test describes before the common kinds (a kind
  // derived from one of them, or one of its own); true when handled.
  virtual bool own(FX::FXWindow*) { return false; }
  // A widget of no kind described: a frame, say.
  virtual void rest(FX::FXWindow*) {}

 private:
  bool common(FX::FXWindow* c) {
    using namespace FX;
    if (auto* f = dynamic_cast<FXTextField*>(c)) {
      const FXuint st = f->getTextStyle();
      std::string d = "F" + std::to_string(f->getNumColumns()) +
                      ((st & TEXTFIELD_INTEGER) ? "I" : (st & TEXTFIELD_REAL) ? "R" : "?") +
                      target(f) + (f->isEditable() ? "" : "-ro");
      if (f->getLayoutHints() != (LAYOUT_CENTER_X | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW) ||
          f->getFrameStyle() != (FRAME_SUNKEN | FRAME_THICK))
        d += "!style";
      items.push_back(d);
      fields.push_back(f);
    } else if (auto* r = dynamic_cast<FXRadioButton*>(c)) {
      items.push_back("R:" + std::string(r->getText().text()) + target(r) +
                      (r->getLayoutHints() == LAYOUT_CENTER_Y ? "|cy" : ""));
    } else if (auto* b = dynamic_cast<FXButton*>(c)) {
      std::string d = "B:" + std::string(b->getText().text()) + target(b);
      if (b->getFrameStyle() != (FRAME_RAISED | FRAME_THICK) ||
          b->getLayoutHints() != LAYOUT_CENTER_X || b->getJustify() != JUSTIFY_BOTTOM)
        d += "!style";
      items.push_back(d);
    } else if (auto* l = dynamic_cast<FXLabel*>(c)) {
      // Label style, or right-justified only ("/r": a legend).
      std::string d = "L:" + std::string(l->getText().text());
      if (l->getJustify() != JUSTIFY_RIGHT)
        d += "!style";
      else if (l->getLayoutHints() == 0)
        d += "/r";
      else if (l->getLayoutHints() != (LAYOUT_CENTER_X | LAYOUT_CENTER_Y | LAYOUT_FILL_ROW))
        d += "!style";
      items.push_back(d);
    } else if (auto* g = dynamic_cast<FXGroupBox*>(c)) {
      std::string d = "G:" + std::string(g->getText().text());
      if (g->getFrameStyle() != FRAME_RIDGE || g->getLayoutHints() != LAYOUT_FILL_X ||
          g->getGroupBoxStyle() != GROUPBOX_TITLE_LEFT)
        d += "!style";
      items.push_back(d);
      walk(g);
    } else if (auto* m = dynamic_cast<FXMatrix*>(c)) {
      std::string d = "M" + std::to_string(m->getNumColumns());
      if (m->getMatrixStyle() != MATRIX_BY_COLUMNS ||
          m->getLayoutHints() != (LAYOUT_SIDE_LEFT | LAYOUT_FILL_Y))
        d += "!style";
      items.push_back(d);
      walk(m);
    } else {
      return false;
    }
    return true;
  }
};

// The walked lines against the expected ones, line by line ("(none)" where
// one list is shorter).
inline void expect_lines(const std::vector<std::string>& walked,
                         const std::vector<std::string>& expected) {
  for (std::size_t i = 0; i < expected.size() || i < walked.size(); ++i)
    EXPECT_EQ(i < walked.size() ? walked[i] : "(none)",
              i < expected.size() ? expected[i] : "(none)")
        << "widget " << i;
}

}  // namespace sorvane::testing

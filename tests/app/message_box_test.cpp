// The program's message boxes on a 1280 by 1024 screen: long texts are
// broken to fit, a text too tall for the screen goes into a scrolled text,
// and every box lies within the screen and shows every word of its text.
// The boxes are made and placed as the program does, then shown modelessly
// and measured; one is caught while the real "BL Calculation" shows it
// modally.
#include <cctype>
#include <string>
#include <vector>

#include "app/message_box.h"
#include "tests/app/window_fixture.h"

namespace sorvane::testing {
namespace {

using namespace FX;
using sorvane::gui::MessageKind;

// What a box shows of its text: the message label of a toolkit box or the
// text of a scrolled box, with the widget that shows it.
struct Shown {
  FXString text;
  FXWindow* widget = nullptr;
  FXText* scrolled = nullptr;
  FXButton* ok = nullptr;
};

void find_shown(FXWindow* parent, Shown& shown) {
  for (FXWindow* c = parent->getFirst(); c; c = c->getNext()) {
    if (auto* b = dynamic_cast<FXButton*>(c)) {
      if (b->getText() == "OK") shown.ok = b;
    } else if (auto* t = dynamic_cast<FXText*>(c)) {
      shown.scrolled = t;
      shown.widget = t;
      shown.text = t->getText();
    } else if (auto* l = dynamic_cast<FXLabel*>(c)) {
      if (!l->getText().empty()) {
        shown.widget = l;
        shown.text = l->getText();
      }
    }
    find_shown(c, shown);
  }
}

std::vector<std::string> words_of(const FXString& text) {
  std::vector<std::string> words;
  std::string w;
  for (FXint i = 0; i <= text.length(); ++i) {
    const char c = i < text.length() ? text[i] : ' ';
    if (std::isspace(static_cast<unsigned char>(c))) {
      if (!w.empty()) words.push_back(w);
      w.clear();
    } else {
      w += c;
    }
  }
  return words;
}

std::string without_blanks(const FXString& text) {
  std::string out;
  for (const std::string& w : words_of(text)) out += w;
  return out;
}

// Width of the widest line of text in the normal font.
FXint widest(const FXString& text) {
  FXFont* font = test_app().getNormalFont();
  FXint most = 0, start = 0;
  for (FXint i = 0; i <= text.length(); ++i)
    if (i == text.length() || text[i] == '\n') {
      if (i > start) most = std::max(most, font->getTextWidth(text.text() + start, i - start));
      start = i + 1;
    }
  return most;
}

// The box lies within the 1280 by 1024 screen; the widget with the text
// lies within the box and is wide enough for its widest line; the text
// holds every word of the message, in order (a word too wide for a line may
// be broken, and then holds all of its characters), and words that fit a
// line whole are shown whole.
void expect_readable(FXTopWindow* box, const FXString& message, const char* what) {
  SCOPED_TRACE(what);
  ASSERT_EQ(test_app().getRootWindow()->getWidth(), 1280);
  ASSERT_EQ(test_app().getRootWindow()->getHeight(), 1024);
  EXPECT_GE(box->getX(), 0);
  EXPECT_GE(box->getY(), 0);
  EXPECT_LE(box->getX() + box->getWidth(), 1280);
  EXPECT_LE(box->getY() + box->getHeight(), 1024);
  Shown shown;
  find_shown(box, shown);
  ASSERT_NE(shown.widget, nullptr);
  EXPECT_NE(shown.ok, nullptr);
  FXint wx = 0, wy = 0;
  shown.widget->translateCoordinatesTo(wx, wy, box, 0, 0);
  EXPECT_GE(wx, 0);
  EXPECT_LE(wx + shown.widget->getWidth(), box->getWidth());
  EXPECT_LE(wy + shown.widget->getHeight(), box->getHeight());
  const FXint room = shown.scrolled ? shown.scrolled->getViewportWidth() -
                                          shown.scrolled->getMarginLeft() -
                                          shown.scrolled->getMarginRight()
                                    : shown.widget->getWidth();
  EXPECT_LE(widest(shown.text), room);
  EXPECT_EQ(without_blanks(shown.text), without_blanks(message));
  const std::vector<std::string> words = words_of(shown.text);
  FXFont* font = test_app().getNormalFont();
  for (const std::string& w : words_of(message)) {
    if (font->getTextWidth(w.c_str(), static_cast<FXuint>(w.size())) > room) continue;
    EXPECT_NE(std::find(words.begin(), words.end(), w), words.end()) << w;
  }
}

std::string numbered_words(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += (i ? " " : "") + ("station" + std::to_string(i));
  return s;
}

TEST_F(WindowTest, LongMessagesAreShownWithinTheScreen) {
  std::string lines;
  for (int i = 1; i <= 200; ++i)
    lines += "Remark: Element 1, upper surface: station " + std::to_string(i) +
             " had no solution.\n";
  const std::string word = "/scratch/" + std::string(3000, 'q') + "/main_flap.blf";
  const struct Case {
    const char* what;
    std::string text;
    MessageKind kind;
    bool scrolled;
  } cases[] = {
      {"one very long line of words", numbered_words(400), MessageKind::kInformation, false},
      {"an over-long word", "Listing " + word + " lost records.", MessageKind::kError, false},
      {"many lines", lines, MessageKind::kInformation, true},
      {"many long lines", lines + numbered_words(3000), MessageKind::kError, true},
      {"a short text", "Ver.2.1.\n Author: Sorvane_2D developers.", MessageKind::kInformation,
       false},
  };
  // Over the main window and over a window far off in a corner.
  FXMainWindow corner(&test_app(), "corner", nullptr, nullptr, DECOR_ALL, 1100, 900, 150, 100);
  corner.create();
  for (FXWindow* owner : {static_cast<FXWindow*>(window), static_cast<FXWindow*>(&corner)}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(owner == window ? "over the main window" : "over the corner window");
      const FXString message(c.text.c_str());
      FXDialogBox* box = sorvane::gui::make_message_box(owner, c.kind, "Caption", message);
      box->create();
      sorvane::gui::place_message_box(box);
      box->show(PLACEMENT_DEFAULT);
      settle();
      expect_readable(box, message, c.what);
      Shown shown;
      find_shown(box, shown);
      EXPECT_EQ(shown.scrolled != nullptr, c.scrolled) << c.what;
      if (shown.scrolled) {
        EXPECT_FALSE(shown.scrolled->isEditable()) << c.what;
        EXPECT_TRUE(shown.scrolled->getTextStyle() & TEXT_WORDWRAP) << c.what;
      }
      // A text that fits is shown as it is.
      if (std::string(c.what) == "a short text") {
        EXPECT_EQ(shown.text, message);
      }
      box->hide();
      delete box;
      settle();
    }
  }
}

// Catches the modal box the program shows when the modal loop has nothing
// else to do: measures it against the text the window keeps of it, then
// closes it.
class BoxCatcher : public FXObject {
  FXDECLARE(BoxCatcher)
 public:
  long onChore(FXObject*, FXSelector, void*) {
    if (auto* box = dynamic_cast<FXTopWindow*>(test_app().getModalWindow())) {
      ++caught;
      message = window->lastError.empty() ? window->lastInformation : window->lastError;
      expect_readable(box, message, "the box of the boundary-layer run");
      test_app().stopModal(box, 0);
    }
    return 1;
  }
  enum { ID_CHORE = 1 };
  Sorvane_2D* window = nullptr;
  FXString message;
  int caught = 0;
};

FXDEFMAP(BoxCatcher) BoxCatcherMap[] = {
    FXMAPFUNC(SEL_CHORE, BoxCatcher::ID_CHORE, BoxCatcher::onChore),
};
FXIMPLEMENT(BoxCatcher, FXObject, BoxCatcherMap, ARRAYNUMBER(BoxCatcherMap))

// The run whose box once reached far beyond the screen: the flap example at
// 10 degrees with Re mill= 1e-9, whose messages make lines of about 1900
// pixels.
TEST_F(WindowTest, BoundaryLayerRunBoxLiesWithinTheScreen) {
  ASSERT_TRUE(load(example_copy("box_on_screen", "main_flap.dat"))) << window->lastError.text();
  window->alphaSpinner->setValue(10.0, FALSE);
  send(Sorvane_2D::ID_ALPHA);
  setField(window->remillField, "1e-9");
  send(Sorvane_2D::ID_REYNOLDS);
  ASSERT_DOUBLE_EQ(state().REMILL, 1e-9);

  BoxCatcher catcher;
  catcher.window = window;
  window->quietErrors = false;
  test_app().addChore(&catcher, BoxCatcher::ID_CHORE);
  EXPECT_EQ(send(Sorvane_2D::ID_BL_CALCULATION), 1);
  test_app().removeChore(&catcher, BoxCatcher::ID_CHORE);
  window->quietErrors = true;
  ASSERT_EQ(catcher.caught, 1);
  // The window keeps the text unbroken: its lines are wider than the
  // screen.
  EXPECT_GT(widest(catcher.message), 1280) << catcher.message.text();
  settle();
}

}  // namespace
}  // namespace sorvane::testing

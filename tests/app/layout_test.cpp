// The widget tree of the main window in its order: group titles, labels,
// column counts, styles, the messages each control sends, and the result
// fields showing their display strings through the data targets.
#include <map>
#include <string>
#include <vector>

#include "tests/app/widget_walk.h"
#include "tests/app/window_fixture.h"

namespace sorvane::testing {
namespace {

using namespace FX;
using W = Sorvane_2D;

// One line per widget of interest, depth first. Spinners are not entered
// (their text field and arrows are the toolkit's).
class TreeWalk : public WidgetWalk {
 public:
  explicit TreeWalk(W* w) {
    names[w] = "win";
    names[&w->brefTarget] = "bref";
    names[&w->cliftTarget] = "clift";
    names[&w->cdragTarget] = "cdrag";
    names[&w->cmzTarget] = "cmz";
    names[&w->cliftGammaTarget] = "cliftg";
    for (int i = 0; i < 5; ++i) {
      const std::string n = std::to_string(i);
      names[&w->elements[i].belemTarget] = "belem" + n;
      names[&w->elements[i].elementCliftTarget] = "eclift" + n;
      names[&w->elements[i].elementCliftGammaTarget] = "ecliftg" + n;
      names[&w->elements[i].elementCdragTarget] = "ecdrag" + n;
      names[&w->elements[i].elementCliftBTarget] = "ecliftb" + n;
      names[&w->elements[i].elementCmzTarget] = "ecmz" + n;
      names[&w->elements[i].elementCmz0Target] = "ecmz0" + n;
    }
  }

 protected:
  bool own(FXWindow* c) override {
    if (auto* s = dynamic_cast<FXRealSpinner*>(c)) {
      std::string d = "S" + std::to_string(s->getNumColumns()) + target(s);
      if (s->getLayoutHints() != (LAYOUT_CENTER_Y | LAYOUT_FILL_ROW) ||
          s->getFrameStyle() != (FRAME_SUNKEN | FRAME_THICK))
        d += "!style";
      items.push_back(d);
    } else if (auto* t = dynamic_cast<FXTabItem*>(c)) {
      items.push_back("T:" + std::string(t->getText().text()) +
                      (t->getTabOrientation() == TAB_LEFT ? "" : "!orientation"));
    } else if (auto* cv = dynamic_cast<FXCanvas*>(c)) {
      items.push_back("C" + target(cv));
    } else if (!dynamic_cast<FXMenuBar*>(c)) {  // the menu has its own checks
      return false;
    }
    return true;
  }
  void rest(FXWindow* c) override {
    if (dynamic_cast<FXComposite*>(c)) walk(c);
  }
};

std::vector<std::string> expected_tree() {
  const std::string dt = ":" + hex(FXDataTarget::ID_VALUE);
  const std::string real10 = "F10R@";
  std::vector<std::string> e = {
      "G:Multielement configuration:", "L:",
      "G:Input Data:", "M2",
      "L:Alpha=", "S5@win:" + hex(W::ID_ALPHA),
      "L:Mach=", "S5@win:" + hex(W::ID_MACH),
      "L:Swept=", "S5@win:" + hex(W::ID_SWEPT),
      "L:B ref=", "F7R@bref" + dt,
      "L:Re mill=", "F7R@win:" + hex(W::ID_REYNOLDS),
      "G:Output Data:", "M2",
      "L:Clift=", real10 + "clift" + dt,
      "L:Cdrag=", real10 + "cdrag" + dt,
      "L:Cmz=", real10 + "cmz" + dt,
      "L:Clift(g)=", real10 + "cliftg" + dt,
      "G:Compressibility Correction:", "M2",
      "R:No@win:" + hex(W::ID_COMPR_NONE),
      "R:Prandtl-Glauret@win:" + hex(W::ID_COMPR_PRANDTL_GLAUERT),
      "R:Karman-Tsien@win:" + hex(W::ID_COMPR_KARMAN_TSIEN),
      "R:Laitone@win:" + hex(W::ID_COMPR_LAITONE),
      "G:TE condition:", "M1",
      "R:Add.Point@win:" + hex(W::ID_TE_ADD_POINT),
      "R:Cp EQ@win:" + hex(W::ID_TE_CP_EQUAL),
      "G:Delta Position & Delta angle:", "M4",
      "L:XY=", "S6@win:" + hex(W::ID_POSITION_STEP),
      "L:Angle=", "S6@win:" + hex(W::ID_ANGLE_STEP),
      "G:ELEMENT:",
  };
  const std::string param = "@win:" + hex(W::ID_ELEMENT_PARAM);
  for (int i = 0; i < 5; ++i) {
    const std::string n = std::to_string(i);
    const std::vector<std::string> tab = {
        "T:" + std::to_string(i + 1), "G:",
        "G:Gen.Param.", "M4",
        "L:B elem=", "F8R@belem" + n + dt,
        "L:Npanels=", "F8I@win:" + hex(W::ID_NPANELS),
        "L:Xtru=", "F7R@win:" + hex(W::ID_XTRU),
        "L:Xtrl=", "F7R@win:" + hex(W::ID_XTRL),
        "G:Axes",
        "G:Pos in Element", "M2", "L:Xf=", "S7" + param, "L:Yf=", "S7" + param,
        "G:Pos in G.C.S", "M2", "L:Xc=", "S7" + param, "L:Yc=", "S7" + param,
        "L:Angle=", "S7" + param,
        "G:Output for Element", "M4",
        "L:Clift=", real10 + "eclift" + n + dt,
        "L:Clift(g)=", real10 + "ecliftg" + n + dt,
        "L:Cdrag=", real10 + "ecdrag" + n + dt,
        "L:Clift*b=", real10 + "ecliftb" + n + dt,
        "L:Cmz=", real10 + "ecmz" + n + dt,
        "L:Cmzo=", real10 + "ecmz0" + n + dt,
    };
    e.insert(e.end(), tab.begin(), tab.end());
  }
  e.push_back("B:Save Result@win:" + hex(W::ID_SAVE_RESULT));
  e.push_back("B:BL Calculation@win:" + hex(W::ID_BL_CALCULATION));
  e.push_back("C@win:" + hex(W::ID_CANVAS));
  return e;
}

TEST_F(WindowTest, WidgetTreeInOrderWithItsTextsStylesAndMessages) {
  TreeWalk t(window);
  t.walk(window);
  expect_lines(t.items, expected_tree());
  EXPECT_EQ(window->elementTabBook->getTabStyle(), static_cast<FXuint>(TABBOOK_LEFTTABS));
  EXPECT_EQ(window->elementTabBook->getTarget(), window);
  EXPECT_EQ(window->elementTabBook->getSelector(), static_cast<FXSelector>(W::ID_ELEMENT_TABS));
  EXPECT_EQ(window->openCommand->getText(), FXString("&Open...").substitute("&", ""));
  EXPECT_EQ(window->openCommand->getAccelText(), FXString("Ctl-O"));
  EXPECT_EQ(window->openCommand->getHelpText(), FXString("Open document file."));
  EXPECT_EQ(window->openCommand->getSelector(), static_cast<FXSelector>(W::ID_OPEN));
}

TEST_F(WindowTest, ResultFieldsShowTheirDisplayStrings) {
  // Every string gets its own text; after the toolkit's update pass each
  // bound field shows the text of its own string.
  std::vector<std::pair<FXString*, std::string>> strings = {
      {&window->brefText, "bref"}, {&window->cliftText, "clift"}, {&window->cdragText, "cdrag"},
      {&window->cmzText, "cmz"}, {&window->cliftGammaText, "cliftg"}};
  for (int i = 0; i < 5; ++i) {
    const std::string n = std::to_string(i);
    strings.push_back({&window->elements[i].belemText, "belem" + n});
    strings.push_back({&window->elements[i].elementCliftText, "eclift" + n});
    strings.push_back({&window->elements[i].elementCliftGammaText, "ecliftg" + n});
    strings.push_back({&window->elements[i].elementCdragText, "ecdrag" + n});
    strings.push_back({&window->elements[i].elementCliftBText, "ecliftb" + n});
    strings.push_back({&window->elements[i].elementCmzText, "ecmz" + n});
    strings.push_back({&window->elements[i].elementCmz0Text, "ecmz0" + n});
  }
  int v = 1;
  std::map<std::string, FXString> shown;
  for (auto& s : strings) {
    *s.first = FXStringVal(v++) + ".5";
    shown[s.second] = *s.first;
  }
  TreeWalk t(window);
  t.walk(window);
  settle();
  int bound = 0;
  for (FXTextField* f : t.fields) {
    auto it = t.names.find(f->getTarget());
    if (it == t.names.end() || it->second == "win") continue;
    ++bound;
    EXPECT_EQ(f->getText(), shown[it->second]) << it->second;
  }
  EXPECT_EQ(bound, 5 + 5 * 7);
}

// "Save Result" and "BL Calculation" at the foot of the left column lie
// wholly inside the window at the size it opens with, before a load and
// after it (the configuration label then holds a line of text): the column
// gets all the height it asks for.
TEST_F(WindowTest, BottomButtonsFullyVisibleBeforeAndAfterALoad) {
  auto check = [&](const char* when) {
    settle();
    FXWindow* column = window->saveResultButton->getParent()->getParent();
    int cx = 0, cy = 0;
    column->translateCoordinatesTo(cx, cy, window, 0, 0);
    EXPECT_GE(column->getHeight(), column->getDefaultHeight()) << when;
    EXPECT_LE(cy + column->getHeight(), window->getHeight()) << when;
    for (FXButton* b : {window->saveResultButton, window->blCalculationButton}) {
      int x = 0, y = 0;
      b->translateCoordinatesTo(x, y, window, 0, 0);
      EXPECT_EQ(b->getHeight(), b->getDefaultHeight()) << when;
      // Inside the column's padding, so not on the window's edge.
      EXPECT_LE(y + b->getHeight() + static_cast<FXPacker*>(column)->getPadBottom(),
                cy + column->getHeight())
          << when;
      EXPECT_LT(y + b->getHeight(), window->getHeight()) << when;
    }
  };
  const int opened = window->getHeight();
  check("at start");
  ASSERT_TRUE(load(example_copy("buttons", "main_flap.dat"))) << window->lastError.text();
  EXPECT_FALSE(window->configurationLabel->getText().empty());
  check("after a load");
  EXPECT_EQ(window->getHeight(), opened);  // the window does not jump
}

}  // namespace
}  // namespace sorvane::testing

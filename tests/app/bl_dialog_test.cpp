// The boundary-layer dialog as it is made: registration and message map,
// the widget tree with its texts, styles and messages, the start state for
// the main window's current element, the value ranges, the destructor, and
// independent dialogs.
#include <set>
#include <sstream>

#include "tests/app/bl_fixture.h"
#include "tests/app/widget_walk.h"

namespace sorvane::testing {
namespace {

using namespace FX;
using D = BlCalc_2D;
using Handler = long (BlCalc_2D::*)(FXObject*, FXSelector, void*);

const D::FXMapEntry* entry_for(FXuint type, FXuint id) {
  return static_cast<const D::FXMapEntry*>(D::metaClass.search(FXSEL(type, id)));
}

TEST(DialogMessageMap, SevenEntriesInOrderWithTheirIdentifiers) {
  // The identifiers continue the toolkit dialog's with their gaps.
  const FXuint last = FXDialogBox::ID_LAST;
  EXPECT_EQ(last, 0x3Eu);  // the toolkit release the program is built on
  EXPECT_GT(D::ID_CANVAS_QUANTITY, static_cast<int>(FXDialogBox::ID_ACCEPT));
  const int offsets[] = {D::ID_CANVAS_QUANTITY - last, D::ID_CANVAS_UE - last,
                         D::ID_UPPER_CF - last,        D::ID_UPPER_H12 - last,
                         D::ID_LOWER_CF - last,        D::ID_LOWER_H12 - last,
                         D::ID_UPPER_SURFACE - last,   D::ID_LOWER_SURFACE - last,
                         D::ID_ELEMENT - last,         D::ID_RECALCULATE - last};
  const int expected[] = {1, 2, 9, 13, 14, 18, 19, 20, 21, 23};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(offsets[i], expected[i]) << i;

  struct Row {
    FXuint type, first, last;
    Handler handler;
  };
  const Row table[7] = {
      {SEL_PAINT, D::ID_CANVAS_QUANTITY, D::ID_CANVAS_QUANTITY, &D::onPaintPlots},
      {SEL_PAINT, D::ID_CANVAS_UE, D::ID_CANVAS_UE, &D::onPaintPlots},
      {SEL_COMMAND, D::ID_UPPER_SURFACE, D::ID_LOWER_SURFACE, &D::onCmdSurface},
      {SEL_COMMAND, D::ID_UPPER_CF, D::ID_UPPER_H12, &D::onCmdUpperQuantity},
      {SEL_COMMAND, D::ID_LOWER_CF, D::ID_LOWER_H12, &D::onCmdLowerQuantity},
      {SEL_COMMAND, D::ID_ELEMENT, D::ID_ELEMENT, &D::onCmdElement},
      {SEL_COMMAND, D::ID_RECALCULATE, D::ID_RECALCULATE, &D::onCmdRecalculate},
  };
  const D::FXMapEntry* first = entry_for(SEL_PAINT, D::ID_CANVAS_QUANTITY);
  ASSERT_NE(first, nullptr);
  for (int r = 0; r < 7; ++r)
    for (FXuint id = table[r].first; id <= table[r].last; ++id) {
      const D::FXMapEntry* e = entry_for(table[r].type, id);
      ASSERT_NE(e, nullptr) << "entry " << r + 1;
      EXPECT_EQ(e - first, r) << "entry " << r + 1;
      EXPECT_TRUE(e->func == table[r].handler) << "entry " << r + 1;
      EXPECT_EQ(e->keylo, FXSEL(table[r].type, table[r].first));
      EXPECT_EQ(e->keyhi, FXSEL(table[r].type, table[r].last));
    }
  std::set<const D::FXMapEntry*> found;
  for (FXuint type = 0; type < SEL_LAST; ++type)
    for (FXuint id = 0; id < 0x100; ++id)
      if (const D::FXMapEntry* e = entry_for(type, id)) found.insert(e);
  EXPECT_EQ(found.size(), 7u);
  // The gaps and the crossed types belong to no entry.
  for (int gap : {0, 3, 4, 5, 6, 7, 8, 22})
    EXPECT_EQ(entry_for(SEL_COMMAND, last + gap), nullptr) << gap;
  EXPECT_EQ(entry_for(SEL_COMMAND, D::ID_CANVAS_UE), nullptr);
  EXPECT_EQ(entry_for(SEL_PAINT, D::ID_RECALCULATE), nullptr);

  EXPECT_STREQ(D::metaClass.getClassName(), "BlCalc_2D");
  EXPECT_EQ(D::metaClass.getBaseClass(), &FXDialogBox::metaClass);
  EXPECT_EQ(FXMetaClass::getMetaClassFromName("BlCalc_2D"), &D::metaClass);
  test_app();
  // The factory makes a dialog without widgets or arrays (not deleted: a
  // shell needs the application only deserialisation would give it).
  FXObject* made = D::metaClass.makeInstance();
  ASSERT_NE(made, nullptr);
  D* d = dynamic_cast<D*>(made);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->ueCanvas, nullptr);
  EXPECT_EQ(d->mainWindow, nullptr);
  EXPECT_EQ(d->elementCount, 0);
  EXPECT_TRUE(d->shownSurface.empty());
}

// One line per widget of interest, depth first; frames are listed with their
// layout hints, frame style and packing.
struct DialogWalk : WidgetWalk {
  explicit DialogWalk(D* d) {
    names[d] = "dlg";
    names[&d->reynoldsTarget] = "re";
    for (int j = 0; j < 2; ++j) {
      names[&d->strTarget[j]] = "str" + std::to_string(j);
      names[&d->ssepTarget[j]] = "ssep" + std::to_string(j);
      names[&d->xsepTarget[j]] = "xsep" + std::to_string(j);
    }
  }

 protected:
  bool own(FXWindow* c) override {
    if (auto* s = dynamic_cast<FXSpinner*>(c)) {
      std::string d = "S" + std::to_string(s->getNumColumns()) + target(s);
      if (s->getLayoutHints() != (LAYOUT_CENTER_Y | LAYOUT_FILL_ROW) ||
          s->getFrameStyle() != (FRAME_SUNKEN | FRAME_THICK) ||
          s->getSpinnerStyle() != SPIN_CYCLIC)
        d += "!style";
      items.push_back(d);
    } else if (auto* cv = dynamic_cast<FXCanvas*>(c)) {
      items.push_back("C" + target(cv) + (cv->isEnabled() ? "" : "-off"));
    } else {
      return false;
    }
    return true;
  }
  void rest(FXWindow* c) override {
    if (auto* p = dynamic_cast<FXPacker*>(c)) {
      std::ostringstream o;
      o << (dynamic_cast<FXHorizontalFrame*>(p) ? "H" : "V") << std::hex << p->getLayoutHints()
        << "/" << p->getFrameStyle() << "/" << p->getPackingHints();
      items.push_back(o.str());
      walk(p);
    }
  }
};

std::vector<std::string> expected_dialog_tree() {
  const std::string dt = ":" + hex(FXDataTarget::ID_VALUE);
  auto frame = [](bool horizontal, FXuint hints, FXuint frameStyle = 0, FXuint packing = 0) {
    return (horizontal ? "H" : "V") + hex(hints) + "/" + hex(frameStyle) + "/" + hex(packing);
  };
  std::vector<std::string> e = {
      frame(false, LAYOUT_FILL_X | LAYOUT_FILL_Y),
      frame(true, LAYOUT_RIGHT | LAYOUT_FILL_Y),
      "L:Blue circle label - Pos.of transition./r",
      "L:      Red circle label - Pos.of separation /r",
      frame(true, LAYOUT_FILL_X | LAYOUT_FILL_Y),
      frame(false, LAYOUT_FILL_Y, 0, PACK_UNIFORM_WIDTH),
      frame(false, 0),
      frame(true, LAYOUT_FILL_Y),
      "L:Re(mill) =", "F7R@re" + dt, "L: ",
      frame(true, LAYOUT_FILL_Y),
      "L:N elem.=", "S2@dlg:" + hex(D::ID_ELEMENT), "L:   ",
  };
  const char* surface[2] = {"Upper surf.", "Lower surf."};
  const char* names[5] = {"Cf(x)", "D1(x)", "D2(x)", "RV(x)", "H12(x)"};
  const char* rows[2][3] = {{"Str u=", "Ssep u", "Xsep u"}, {"Str l=", "Ssep l", "Xsep l"}};
  for (int j = 0; j < 2; ++j) {
    const std::string n = std::to_string(j);
    e.push_back("R:" + std::string(surface[j]) + "@dlg:" +
                hex(j == 0 ? D::ID_UPPER_SURFACE : D::ID_LOWER_SURFACE) + "|cy");
    e.push_back("G:");
    e.push_back(frame(false, LAYOUT_FILL_Y));
    for (int q = 0; q < 5; ++q)
      e.push_back("R:" + std::string(names[q]) + "@dlg:" +
                  hex((j == 0 ? D::ID_UPPER_CF : D::ID_LOWER_CF) + q));
    e.push_back("M2");
    e.push_back("L:" + std::string(rows[j][0]));
    e.push_back("F9R@str" + n + dt);
    e.push_back("L:" + std::string(rows[j][1]));
    e.push_back("F9R@ssep" + n + dt + "-ro");
    e.push_back("L:" + std::string(rows[j][2]));
    e.push_back("F9R@xsep" + n + dt + "-ro");
  }
  e.push_back(frame(false, LAYOUT_FILL_X | LAYOUT_FILL_Y));
  e.push_back("B:Recalculate@dlg:" + hex(D::ID_RECALCULATE));
  e.push_back(frame(true, LAYOUT_FILL_X | LAYOUT_FILL_Y));
  e.push_back(frame(false, LAYOUT_FILL_X | LAYOUT_FILL_Y, FRAME_GROOVE));
  e.push_back("C@dlg:" + hex(D::ID_CANVAS_UE));
  e.push_back("C@dlg:" + hex(D::ID_CANVAS_QUANTITY) + "-off");
  return e;
}

TEST_F(BlWindowTest, WidgetTreeInOrderWithItsTextsStylesAndMessages) {
  loadTwo("bltree");
  D* d = click();
  ASSERT_NE(d, nullptr);
  DialogWalk t(d);
  t.walk(d);
  expect_lines(t.items, expected_dialog_tree());

  // The frame: owned by the main window, at (500, 500), 800 by 630, or as
  // much larger as its content needs, moved up and left as far as needed to
  // lie on the screen.
  EXPECT_EQ(d->getTitle(), FXString("BL calculation. Multielement aerofoil"));
  EXPECT_EQ(d->getOwner(), window);
  EXPECT_EQ(d->getDecorations(), static_cast<FXuint>(DECOR_ALL));
  const int sw = test_app().getRootWindow()->getWidth();
  const int sh = test_app().getRootWindow()->getHeight();
  const int w = std::max(800, d->getDefaultWidth()), h = std::max(630, d->getDefaultHeight());
  EXPECT_EQ(d->getWidth(), std::min(w, sw));
  EXPECT_EQ(d->getHeight(), std::min(h, sh));
  EXPECT_EQ(d->getX(), std::max(0, std::min(500, sw - d->getWidth())));
  EXPECT_EQ(d->getY(), std::max(0, std::min(500, sh - d->getHeight())));
  EXPECT_LE(d->getY() + d->getHeight(), sh);
  // Made with the frame's own values before it is placed.
  D* fresh = new D(window);
  EXPECT_EQ(fresh->getX(), 500);
  EXPECT_EQ(fresh->getY(), 500);
  EXPECT_EQ(fresh->getWidth(), 800);
  EXPECT_EQ(fresh->getHeight(), 630);
  delete fresh;
  EXPECT_EQ(d->getPadLeft(), 10);
  EXPECT_EQ(d->getPadRight(), 10);
  EXPECT_EQ(d->getPadTop(), 10);
  EXPECT_EQ(d->getPadBottom(), 10);
  EXPECT_EQ(d->getHSpacing(), 4);
  EXPECT_EQ(d->getVSpacing(), 4);
  EXPECT_TRUE(d->shown());
  EXPECT_TRUE(window->shown());

  // Legend colours; the spinner's range; the cursors.
  EXPECT_EQ(d->transitionLegend->getTextColor(), FXRGB(0, 0, 255));
  EXPECT_EQ(d->separationLegend->getTextColor(), FXRGB(255, 0, 0));
  FXint lo = 0, hi = 0;
  d->elementSpinner->getRange(lo, hi);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 2);
  FXCursor* cross = test_app().getDefaultCursor(DEF_CROSSHAIR_CURSOR);
  EXPECT_EQ(d->ueCanvas->getDefaultCursor(), cross);
  EXPECT_EQ(d->quantityCanvas->getDefaultCursor(), cross);
  EXPECT_EQ(d->recalculateButton->getWidth(), d->recalculateButton->getDefaultWidth());
  EXPECT_EQ(d->recalculateButton->getHeight(), d->recalculateButton->getDefaultHeight());
  // Every control is inside the dialog at its size.
  int bx = 0, by = 0;
  d->recalculateButton->translateCoordinatesTo(bx, by, d, 0, 0);
  EXPECT_LE(by + d->recalculateButton->getHeight(), d->getHeight());
  EXPECT_GT(d->quantityCanvas->getHeight(), 100);
  EXPECT_GT(d->ueCanvas->getWidth(), 300);
}

TEST_F(BlWindowTest, OpensOnTheMainWindowsCurrentTab) {
  loadThree("bltab3");
  window->elementTabBook->setCurrent(2, TRUE);  // tab "3", through the tab handler
  ASSERT_EQ(window->currentElement, 2);
  D* d = click();
  ASSERT_NE(d, nullptr);
  const ProblemState& s = state();
  EXPECT_EQ(d->currentElement, 2);
  EXPECT_EQ(d->elementCount, 3);
  EXPECT_EQ(d->elementSpinner->getValue(), 3);
  EXPECT_EQ(d->colorSwatch->getBackColor(), fxcolorfromname("Blue"));
  // The file's 0.07 and 0.15, in the flap's scale of 0.3.
  EXPECT_DOUBLE_EQ(d->strValue[0], 0.07 * 0.3);
  EXPECT_DOUBLE_EQ(d->strValue[1], 0.15 * 0.3);
  for (int j = 0; j < 2; ++j) {
    EXPECT_DOUBLE_EQ(d->strValue[j], s.XTR(3, j + 1));
    EXPECT_DOUBLE_EQ(d->ssepValue[j], s.XINV(3, j + 1));
    // No separation: Ssep is the surface length and Xsep the chord.
    EXPECT_DOUBLE_EQ(d->ssepValue[j], s.S(s.NX(3, j + 1), 3, j + 1));
    EXPECT_NEAR(d->xsepValue[j], s.BELEM(3), 1e-12);
  }
  EXPECT_DOUBLE_EQ(d->reynoldsValue, s.REMILL);
  EXPECT_DOUBLE_EQ(s.REMILL, 2.5);
  // The fields show the values.
  EXPECT_DOUBLE_EQ(FXDoubleVal(d->reynoldsField->getText()), 2.5);
  EXPECT_DOUBLE_EQ(FXDoubleVal(d->strField[0]->getText()), s.XTR(3, 1));
  EXPECT_DOUBLE_EQ(FXDoubleVal(d->strField[1]->getText()), s.XTR(3, 2));
  EXPECT_NEAR(FXDoubleVal(d->xsepField[1]->getText()), s.BELEM(3), 1e-5);
  EXPECT_NEAR(FXDoubleVal(d->ssepField[0]->getText()), s.XINV(3, 1), 1e-5);

  // Start state of every element: upper surface, Cf on both surfaces; the
  // radios say so, and only the upper quantities but RV can be chosen.
  for (int e = 0; e < 3; ++e) {
    EXPECT_EQ(d->shownSurface[e], 0);
    EXPECT_EQ(d->plottedQuantity[0][e], 0);
    EXPECT_EQ(d->plottedQuantity[1][e], 0);
  }
  EXPECT_TRUE(d->surfaceRadio[0]->getCheck());
  EXPECT_FALSE(d->surfaceRadio[1]->getCheck());
  for (int j = 0; j < 2; ++j)
    for (int q = 0; q < 5; ++q) {
      EXPECT_EQ(d->quantityRadio[q][j]->getCheck(), q == 0) << q << " " << j;
      EXPECT_EQ(d->quantityRadio[q][j]->isEnabled(), j == 0 && q != 3) << q << " " << j;
    }
  EXPECT_TRUE(d->surfaceRadio[0]->isEnabled());
  EXPECT_TRUE(d->surfaceRadio[1]->isEnabled());
}

// A surface that stopped early shows its separation at the last station it
// computed, inside the element: the arc from the stagnation point is longer
// than the chord, so near the stagnation point the chord position "chord
// less the arc to the trailing edge" would lie ahead of the element.
TEST_F(BlWindowTest, StoppedSurfaceShowsItsSeparationInsideTheElement) {
  loadTwo("blstopsep");
  fake.stopAt[{0, 0}] = 2;   // upper surface of element 1, at its first station
  fake.stopAt[{0, 1}] = 30;  // lower surface, halfway
  D* d = click();
  ASSERT_NE(d, nullptr);
  const ProblemState& s = state();
  const double chord = s.BELEM(1);
  ASSERT_GT(s.S(60, 1, 1) - s.S(2, 1, 1), chord);
  EXPECT_DOUBLE_EQ(d->ssepValue[0], s.S(2, 1, 1));
  EXPECT_DOUBLE_EQ(d->xsepValue[0], 0.0);
  EXPECT_DOUBLE_EQ(d->ssepValue[1], s.S(30, 1, 2));
  EXPECT_NEAR(d->xsepValue[1], chord - (s.S(60, 1, 2) - s.S(30, 1, 2)), 1e-12);
  for (int j = 0; j < 2; ++j) {
    EXPECT_GE(d->xsepValue[j], 0.0);
    EXPECT_LE(d->xsepValue[j], chord);
  }
}

// The ranges cover the stations the run computed; of those without a
// solution (first guesses, here far above every result) only the arc
// length counts.
TEST_F(BlWindowTest, RangesCoverTheComputedAndSolvedStations) {
  loadTwo("blranges");
  fake.stopAt[{1, 0}] = 25;  // element 2, upper surface stops after station 25
  std::vector<int> unsolved = {10, 11, 12, 13, 14};
  for (int i = 55; i <= 60; ++i) unsolved.push_back(i);
  fake.unsolved[{0, 1}] = unsolved;  // element 1, lower surface, up to its end
  fake.unsolved[{1, 0}] = {7, 8};
  fake.standIn = 9.0;
  D* d = click();
  ASSERT_NE(d, nullptr);
  const ProblemState& s = state();
  // Over every computed station for the arc length, the solved ones else.
  auto range_of = [&](const auto& a, int k, int j, int n, double& lo, double& hi) {
    const bool arcLength = &a == &s.S;
    lo = 1e300;
    hi = -1e300;
    for (int i = 1; i <= n; ++i) {
      if (!arcLength && s.SOLVED(i, k, j) == 0) continue;
      lo = std::min(lo, a(i, k, j));
      hi = std::max(hi, a(i, k, j));
    }
  };
  for (int k = 1; k <= 2; ++k)
    for (int j = 1; j <= 2; ++j) {
      const int n = (k == 2 && j == 1) ? 25 : s.NX(k, j);
      double lo, hi;
      range_of(s.S, k, j, n, lo, hi);
      EXPECT_DOUBLE_EQ(d->rangeMin[D::Q_S][j - 1][k - 1], lo);
      EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_S][j - 1][k - 1], hi);
      EXPECT_DOUBLE_EQ(lo, 0.0);  // the stagnation point is counted
      range_of(s.UE, k, j, n, lo, hi);
      EXPECT_DOUBLE_EQ(d->rangeMin[D::Q_UE][j - 1][k - 1], lo);
      EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_UE][j - 1][k - 1], hi);
      range_of(s.H12, k, j, n, lo, hi);
      EXPECT_DOUBLE_EQ(d->rangeMin[D::Q_H12][j - 1][k - 1], lo);
      EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_H12][j - 1][k - 1], hi);
      range_of(s.CF, k, j, n, lo, hi);
      EXPECT_DOUBLE_EQ(d->rangeMin[D::Q_CF][j - 1][k - 1], lo);
      EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_CF][j - 1][k - 1], hi);
    }
  // Stopped early: the arc length covers only the computed stations.
  EXPECT_LT(d->rangeMax[D::Q_S][0][1], s.S(s.NX(2, 1), 2, 1));
  // Stations without a solution hold stand-ins beyond every result: no
  // range reaches them, but the arc length reaches the last station.
  for (int q = D::Q_UE; q < D::Q_COUNT; ++q)
    for (int e = 0; e < 2; ++e)
      for (int j = 0; j < 2; ++j) EXPECT_LT(d->rangeMax[q][j][e], *fake.standIn) << q;
  EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_S][1][0], s.S(60, 1, 2));

  // A surface without computed stations keeps the seeds for every quantity;
  // a value that is not a number changes neither end.
  state().NXDONE(1, 2) = 0;
  state().UE(3, 1, 1) = std::nan("");
  D* f = new D(window);
  for (int q = 0; q < D::Q_COUNT; ++q) {
    EXPECT_EQ(f->rangeMin[q][1][0], 1000.0) << q;
    EXPECT_EQ(f->rangeMax[q][1][0], -1000.0) << q;
  }
  EXPECT_DOUBLE_EQ(f->rangeMin[D::Q_UE][0][0], 0.0);
  EXPECT_DOUBLE_EQ(f->rangeMax[D::Q_UE][0][0], d->rangeMax[D::Q_UE][0][0]);
  delete f;
  double lo = 0, hi = 0;
  const double values[] = {0.5, std::nan(""), -2.0, 7.0, std::nan("")};
  sorvane::gui::findMinMax(values, lo, hi, 5);
  EXPECT_EQ(lo, -2.0);
  EXPECT_EQ(hi, 7.0);
  sorvane::gui::findMinMax(values, lo, hi, 0);
  EXPECT_EQ(lo, 1000.0);
  EXPECT_EQ(hi, -1000.0);
}

TEST_F(BlWindowTest, ReynoldsNumberReachesTheStateOnlyAtTheEnd) {
  loadTwo("blre");
  D* d = click();
  ASSERT_NE(d, nullptr);
  type(d->reynoldsField, "4.25");
  EXPECT_DOUBLE_EQ(d->reynoldsValue, 4.25);
  EXPECT_DOUBLE_EQ(state().REMILL, 3.0);  // typing changes no state
  // The end of the dialog writes it back.
  delete d;
  window->blDialog = nullptr;
  EXPECT_DOUBLE_EQ(state().REMILL, 4.25);
}

TEST_F(BlWindowTest, TwoDialogsAreIndependent) {
  loadTwo("bltwo");
  D* a = click();
  fake.scale = 2.0;  // the second run gives other edge velocities
  D* b = click();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  ASSERT_NE(a, b);
  EXPECT_EQ(window->blDialog, b);
  EXPECT_NE(a->rangeMax[D::Q_UE][0][0], b->rangeMax[D::Q_UE][0][0]);
  EXPECT_NE(&a->shownSurface[0], &b->shownSurface[0]);
  // Choices in the second leave the first alone.
  b->elementSpinner->setValue(2);
  to(b, D::ID_ELEMENT);
  clickRadio(b->surfaceRadio[1]);
  clickRadio(b->quantityRadio[4][1]);
  type(b->reynoldsField, "7");
  EXPECT_EQ(b->currentElement, 1);
  EXPECT_EQ(b->shownSurface[1], 1);
  EXPECT_EQ(b->plottedQuantity[1][1], 4);
  EXPECT_EQ(a->currentElement, 0);
  EXPECT_EQ(a->shownSurface[1], 0);
  EXPECT_EQ(a->plottedQuantity[1][1], 0);
  EXPECT_DOUBLE_EQ(a->reynoldsValue, 3.0);
  // Closing the second hides it; the first stays as it was and still works.
  EXPECT_EQ(b->handle(b, FXSEL(SEL_COMMAND, FXDialogBox::ID_CANCEL), nullptr), 1);
  settle();
  EXPECT_FALSE(b->shown());
  EXPECT_TRUE(a->shown());
  EXPECT_EQ(window->blDialog, b);
  clickRadio(a->surfaceRadio[1]);
  EXPECT_EQ(a->shownSurface[0], 1);
}

TEST_F(BlWindowTest, ClosingTheMainWindowWithDialogsOpenEndsCleanly) {
  loadTwo("blclose");
  D* a = click();
  D* b = click();
  ASSERT_NE(a, nullptr);
  ASSERT_NE(b, nullptr);
  a->reynoldsValue = 2.5;
  b->reynoldsValue = 2.5;
  settle();
  // The close box: the toolkit deletes the main window and with it the
  // dialogs it owns; each writes its Reynolds number back on the way.
  state().REMILL = 0;
  EXPECT_TRUE(window->close(TRUE));
  window = nullptr;
  settle();
  EXPECT_DOUBLE_EQ(state().REMILL, 2.5);
  for (FXWindow* w = test_app().getRootWindow()->getFirst(); w; w = w->getNext())
    EXPECT_EQ(dynamic_cast<D*>(w), nullptr);
}

}  // namespace
}  // namespace sorvane::testing

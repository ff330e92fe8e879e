// The frame of the main window: registration, message map, construction and
// start state, the information boxes and the end of the event loop.
#include <algorithm>
#include <set>

#include "tests/app/window_fixture.h"

namespace sorvane::testing {
namespace {

using FX::FXSelector;
using W = Sorvane_2D;
using Handler = long (Sorvane_2D::*)(FX::FXObject*, FX::FXSelector, void*);

// Sends the quit command's message to its target when its timer fires.
class QuitPress : public FX::FXObject {
  FXDECLARE(QuitPress)
 public:
  QuitPress() = default;
  explicit QuitPress(FX::FXMenuCommand* c) : command(c) {}
  long onTimeout(FX::FXObject*, FX::FXSelector, void*) {
    sent = true;
    command->getTarget()->handle(command, FXSEL(FX::SEL_COMMAND, command->getSelector()), nullptr);
    return 1;
  }
  FX::FXMenuCommand* command = nullptr;
  bool sent = false;
};
FXDEFMAP(QuitPress) QuitPressMap[] = {FXMAPFUNC(FX::SEL_TIMEOUT, 0, QuitPress::onTimeout)};
FXIMPLEMENT(QuitPress, FX::FXObject, QuitPressMap, ARRAYNUMBER(QuitPressMap))

const W::FXMapEntry* entry_for(FX::FXuint type, FX::FXuint id) {
  return static_cast<const W::FXMapEntry*>(W::metaClass.search(FXSEL(type, id)));
}

TEST(MessageMap, TwentyFourEntriesInOrderWithTheirIdentifiers) {
  struct Row {
    FX::FXuint type;
    FX::FXuint first, last;
    Handler handler;
  };
  const Row table[24] = {
      {FX::SEL_COMMAND, 0x45, 0x45, &W::onCmdAbout},
      {FX::SEL_COMMAND, 0x46, 0x46, &W::onCmdAlgorithm},
      {FX::SEL_PAINT, 0x40, 0x40, &W::onPaintCanvas},
      {FX::SEL_COMMAND, 0x42, 0x42, &W::onCmdOpen},
      {FX::SEL_COMMAND, 0x43, 0x43, &W::onCmdNpanels},
      {FX::SEL_COMMAND, 0x47, 0x47, &W::onCmdElementTab},
      {FX::SEL_COMMAND, 0x48, 0x48, &W::onCmdAlpha},
      {FX::SEL_COMMAND, 0x49, 0x49, &W::onCmdMach},
      {FX::SEL_COMMAND, 0x4A, 0x4A, &W::onCmdSwept},
      {FX::SEL_COMMAND, 0x4B, 0x4E, &W::onCmdCompressibility},
      {FX::SEL_COMMAND, 0x4F, 0x50, &W::onCmdTECondition},
      {FX::SEL_COMMAND, 0x51, 0x52, &W::onCmdAxisSource},
      {FX::SEL_COMMAND, 0x53, 0x53, &W::onCmdElementParam},
      {FX::SEL_COMMAND, 0x54, 0x54, &W::onCmdAngleStep},
      {FX::SEL_COMMAND, 0x55, 0x55, &W::onCmdPositionStep},
      {FX::SEL_COMMAND, 0x56, 0x56, &W::onCmdElementPosition1},
      {FX::SEL_COMMAND, 0x57, 0x57, &W::onCmdElementPosition2},
      {FX::SEL_COMMAND, 0x58, 0x58, &W::onCmdElementPosition3},
      {FX::SEL_COMMAND, 0x59, 0x59, &W::onCmdElementPosition4},
      {FX::SEL_COMMAND, 0x5A, 0x5A, &W::onCmdSaveResult},
      {FX::SEL_COMMAND, 0x5B, 0x5B, &W::onCmdBLCalculation},
      {FX::SEL_COMMAND, 0x5C, 0x5C, &W::onCmdXtru},
      {FX::SEL_COMMAND, 0x5D, 0x5D, &W::onCmdXtrl},
      {FX::SEL_COMMAND, 0x5E, 0x5E, &W::onCmdReynolds},
  };
  const W::FXMapEntry* first = entry_for(FX::SEL_COMMAND, 0x45);
  ASSERT_NE(first, nullptr);
  for (int r = 0; r < 24; ++r) {
    for (FX::FXuint id = table[r].first; id <= table[r].last; ++id) {
      const W::FXMapEntry* e = entry_for(table[r].type, id);
      ASSERT_NE(e, nullptr) << "entry " << r + 1;
      EXPECT_EQ(e - first, r) << "entry " << r + 1 << " out of order";
      EXPECT_TRUE(e->func == table[r].handler) << "entry " << r + 1;
      EXPECT_EQ(e->keylo, FXSEL(table[r].type, table[r].first));
      EXPECT_EQ(e->keyhi, FXSEL(table[r].type, table[r].last));
    }
  }
  // Nothing else is mapped: every type and identifier finds one of the 24.
  std::set<const W::FXMapEntry*> found;
  for (FX::FXuint type = 0; type < FX::SEL_LAST; ++type)
    for (FX::FXuint id = 0; id < 0x100; ++id)
      if (const W::FXMapEntry* e = entry_for(type, id)) found.insert(e);
  EXPECT_EQ(found.size(), 24u);
  // The gaps and the crossed types belong to no entry.
  EXPECT_EQ(entry_for(FX::SEL_COMMAND, 0x41), nullptr);
  EXPECT_EQ(entry_for(FX::SEL_COMMAND, 0x44), nullptr);
  EXPECT_EQ(entry_for(FX::SEL_COMMAND, W::ID_CANVAS), nullptr);
  EXPECT_EQ(entry_for(FX::SEL_PAINT, W::ID_OPEN), nullptr);
}

TEST(MessageMap, ClassRecordAndFactory) {
  EXPECT_STREQ(W::metaClass.getClassName(), "Sorvane_2D");
  EXPECT_EQ(W::metaClass.getBaseClass(), &FX::FXMainWindow::metaClass);
  EXPECT_EQ(FX::FXMetaClass::getMetaClassFromName("Sorvane_2D"), &W::metaClass);
  EXPECT_GT(static_cast<int>(W::ID_CANVAS), static_cast<int>(FX::FXMainWindow::ID_LAST));
  test_app();
  // The factory makes a window without widgets.
  FX::FXObject* made = W::metaClass.makeInstance();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made->getMetaClass(), &W::metaClass);
  Sorvane_2D* w = dynamic_cast<Sorvane_2D*>(made);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->canvas, nullptr);
  EXPECT_EQ(w->filemenu, nullptr);
  // Not deleted: the toolkit's shell destructor needs the application that
  // only deserialisation would give a factory-made object.
}

TEST_F(WindowTest, UnmappedMessagesGoToTheBase) {
  const long before = state().NCOMPUTE;
  // A command with the canvas identifier and a paint with the open identifier
  // are the base window's business; neither opens a dialog nor paints.
  EXPECT_EQ(send(W::ID_CANVAS, FX::SEL_COMMAND),
            window->FXMainWindow::handle(window, FXSEL(FX::SEL_COMMAND, W::ID_CANVAS), nullptr));
  EXPECT_EQ(send(W::ID_OPEN, FX::SEL_PAINT), 0);
  EXPECT_EQ(state().NCOMPUTE, before);
  EXPECT_EQ(window->errorCount, 0);
  EXPECT_TRUE(window->openCommand->isEnabled());
}

TEST_F(WindowTest, FrameAndStartState) {
  EXPECT_EQ(window->getTitle(), FX::FXString("Multi Element Airfoil Calculation"));
  EXPECT_EQ(window->getWidth(), 800);
  // 830 high, or just high enough for the whole left column of the loaded
  // window (the buttons at its foot must be visible) when the font needs
  // more, within the screen.
  const int sw = test_app().getRootWindow()->getWidth();
  const int sh = test_app().getRootWindow()->getHeight();
  const int expected = std::min(std::max(830, window->loadedHeight()), sh);
  EXPECT_GE(window->loadedHeight(), window->getDefaultHeight());
  EXPECT_EQ(window->getHeight(), expected);
  int bx = 0, by = 0;
  window->saveResultButton->translateCoordinatesTo(bx, by, window, 0, 0);
  EXPECT_LE(by + window->saveResultButton->getHeight(), window->getHeight());
  // Centred on the screen.
  EXPECT_NEAR(window->getX(), (sw - 800) / 2, 2);
  EXPECT_NEAR(window->getY(), (sh - expected) / 2, 2);

  for (FX::FXRadioButton* r : window->compressibilityRadio) EXPECT_FALSE(r->getCheck());
  EXPECT_FALSE(window->addPointRadio->getCheck());
  EXPECT_FALSE(window->cpEqualRadio->getCheck());
  EXPECT_FALSE(window->saveResultButton->isEnabled());
  EXPECT_FALSE(window->blCalculationButton->isEnabled());
  EXPECT_FALSE(window->canvas->isEnabled());
  EXPECT_TRUE(window->openCommand->isEnabled());
  EXPECT_TRUE(window->remillField->isEnabled());
  EXPECT_EQ(state().NCOMPUTE, 0);
  EXPECT_EQ(window->currentElement, 0);
  EXPECT_EQ(window->saveCounter, 0);
  EXPECT_EQ(window->reportCounter, 0);
  for (const Sorvane_2D::ElementTab& t : window->elements) EXPECT_TRUE(t.tab->shown());
  EXPECT_EQ(window->addPointRadio->getTipText(), FX::FXString("Additional control point after t.e."));
  EXPECT_EQ(window->cpEqualRadio->getTipText(),
            FX::FXString("Equality Cp on upper and lower s. on t.e."));
  EXPECT_EQ(window->configurationLabel->getText(), FX::FXString(""));

  struct Spin {
    FX::FXRealSpinner* s;
    double lo, hi, inc, gran, value;
  };
  const Spin spins[] = {
      {window->alphaSpinner, -85, 85, 0.1, 0.001, 0},
      {window->machSpinner, 0, 0.8, 0.02, 0.001, 0},
      {window->sweptSpinner, 0, 85, 1, 0.001, 0},
      {window->positionStepSpinner, 0.0001, 0.1, 0.01, 0.001, 0.01},
      {window->angleStepSpinner, 0.0001, 5, 0.01, 0.001, 0.1},
      {window->elements[4].xfSpinner, -1, 2, 0.01, 0.0001, 0},
      {window->elements[4].yfSpinner, -0.5, 0.5, 0.01, 0.01, 0},
      {window->elements[0].xcSpinner, -1, 2, 0.01, 0.01, 0},
      {window->elements[2].ycSpinner, -10, 10, 0.01, 0.01, 0},
      {window->elements[3].angleSpinner, -85, 85, 0.5, 0.001, 0},
  };
  for (const Spin& sp : spins) {
    double lo, hi;
    sp.s->getRange(lo, hi);
    EXPECT_DOUBLE_EQ(lo, sp.lo);
    EXPECT_DOUBLE_EQ(hi, sp.hi);
    EXPECT_DOUBLE_EQ(sp.s->getIncrement(), sp.inc);
    EXPECT_DOUBLE_EQ(sp.s->getGranularity(), sp.gran);
    EXPECT_DOUBLE_EQ(sp.s->getValue(), sp.value);
  }
  // The step spinners keep to their ranges.
  window->positionStepSpinner->setValue(0.0, FALSE);
  EXPECT_DOUBLE_EQ(window->positionStepSpinner->getValue(), 0.0001);
  window->angleStepSpinner->setValue(9.0, FALSE);
  EXPECT_DOUBLE_EQ(window->angleStepSpinner->getValue(), 5.0);
}

TEST_F(WindowTest, AboutAlgorithmAndTabSelection) {
  EXPECT_EQ(send(W::ID_ABOUT), 1);
  EXPECT_EQ(window->lastInformation, FX::FXString("Ver.2.1.\n Author: Sorvane_2D developers."));
  EXPECT_EQ(send(W::ID_ALGORITHM), 1);
  const FX::FXString text = window->lastInformation;
  EXPECT_EQ(text.contains('\n'), 2);
  EXPECT_EQ(text.section('\n', 1),
            FX::FXString("\" Potential Flow Velocity Distributions on Multi-Component Airfoil "
                         "Sections\" "));
  EXPECT_EQ(text.section('\n', 2),
            FX::FXString("Canadian Aeronautics and Space Journal, Vol. 22, Sept. 1976, pp. 243-256."));
  EXPECT_EQ(text.section('\n', 0).right(1), FX::FXString(","));

  window->elementTabBook->setCurrent(2, FALSE);
  EXPECT_EQ(send(W::ID_ELEMENT_TABS), 1);
  EXPECT_EQ(window->currentElement, 2);
}

TEST_F(WindowTest, QuitEndsTheEventLoopWithZero) {
  FX::FXMenuCommand* quit = nullptr;
  for (FX::FXWindow* c = window->filemenu->getFirst(); c; c = c->getNext()) {
    auto* m = dynamic_cast<FX::FXMenuCommand*>(c);
    if (m && m->getText() == "Quit") quit = m;
  }
  ASSERT_NE(quit, nullptr);
  EXPECT_EQ(quit->getAccelText(), FX::FXString("Ctl-Q"));
  EXPECT_EQ(quit->getTarget(), &test_app());
  EXPECT_EQ(quit->getSelector(), static_cast<FX::FXSelector>(FX::FXApp::ID_QUIT));
  // The command's message, sent from inside the loop, ends it; run returns 0.
  QuitPress press(quit);
  test_app().addTimeout(&press, 0, 20);
  EXPECT_EQ(test_app().run(), 0);
  EXPECT_TRUE(press.sent);
}

}  // namespace
}  // namespace sorvane::testing

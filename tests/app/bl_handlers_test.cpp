// The boundary-layer dialog's handlers, driven through its message map and
// its controls: the cyclic element spinner, the per-element choice of
// surface and quantity, the radio rules after every drawing, the typed
// transition positions, and "Recalculate" with its hand-over to the main
// window and its refusals.
#include <cmath>
#include <functional>
#include <limits>

#include "tests/app/bl_fixture.h"

namespace sorvane::testing {
namespace {

using namespace FX;
using D = BlCalc_2D;
using W = Sorvane_2D;

// The radio rules hold: the shown surface of the current element checked,
// each surface's own quantity checked, only the shown surface's quantities
// but "RV(x)" enabled.
void expect_radio_rules(D* d, const char* after) {
  const int e = d->currentElement, shown = d->shownSurface[e];
  EXPECT_EQ(d->surfaceRadio[0]->getCheck(), shown == 0) << after;
  EXPECT_EQ(d->surfaceRadio[1]->getCheck(), shown == 1) << after;
  for (int j = 0; j < 2; ++j)
    for (int q = 0; q < 5; ++q) {
      EXPECT_EQ(d->quantityRadio[q][j]->getCheck(), q == d->plottedQuantity[j][e])
          << after << ": " << q << " " << j;
      EXPECT_EQ(d->quantityRadio[q][j]->isEnabled(), j == shown && q != 3)
          << after << ": " << q << " " << j;
    }
}

TEST_F(BlWindowTest, ElementSpinnerIsCyclicAndLoadsTheElement) {
  loadThree("blcyclic");
  window->elementTabBook->setCurrent(2, TRUE);
  D* d = click();
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->elementSpinner->getValue(), 3);
  d->strValue[0] = 9.0;  // typed, not applied: the new element's value replaces it
  // One step up from 3 through the spinner's own notification gives 1.
  d->elementSpinner->increment(TRUE);
  EXPECT_EQ(d->elementSpinner->getValue(), 1);
  EXPECT_EQ(d->currentElement, 0);
  EXPECT_EQ(d->colorSwatch->getBackColor(), fxcolorfromname("Black"));
  EXPECT_DOUBLE_EQ(d->strValue[0], state().XTR(1, 1));
  EXPECT_DOUBLE_EQ(d->strValue[1], state().XTR(1, 2));
  EXPECT_DOUBLE_EQ(d->ssepValue[0], state().XINV(1, 1));
  expect_radio_rules(d, "element 1");
  // And down from 1 back to 3.
  d->elementSpinner->decrement(TRUE);
  EXPECT_EQ(d->elementSpinner->getValue(), 3);
  EXPECT_EQ(d->currentElement, 2);
  EXPECT_EQ(d->colorSwatch->getBackColor(), fxcolorfromname("Blue"));
  d->elementSpinner->increment(TRUE);
  d->elementSpinner->increment(TRUE);
  EXPECT_EQ(d->colorSwatch->getBackColor(), fxcolorfromname("Red"));
  // The main window's current element does not follow the dialog.
  EXPECT_EQ(window->currentElement, 2);
}

TEST_F(BlWindowTest, SurfaceAndQuantityAreKeptPerElementAndSurface) {
  loadThree("blmemory");
  D* d = click();
  ASSERT_NE(d, nullptr);
  // Element 1: lower surface, "D2(x)".
  clickRadio(d->surfaceRadio[1]);
  expect_radio_rules(d, "lower surface");
  clickRadio(d->quantityRadio[2][1]);
  EXPECT_EQ(d->plottedQuantity[1][0], 2);
  // The lower plot is drawn last: it shows D2 of the lower surface.
  EXPECT_DOUBLE_EQ(d->axisYMin, d->rangeMin[D::Q_D2][1][0]);
  // Element 2 is at its start.
  d->elementSpinner->setValue(2);
  to(d, D::ID_ELEMENT);
  EXPECT_EQ(d->shownSurface[1], 0);
  EXPECT_EQ(d->plottedQuantity[0][1], 0);
  EXPECT_DOUBLE_EQ(d->axisYMin, d->rangeMin[D::Q_CF][0][1]);
  expect_radio_rules(d, "element 2");
  // Back on element 1: lower surface with D2 again.
  d->elementSpinner->setValue(1);
  to(d, D::ID_ELEMENT);
  EXPECT_TRUE(d->surfaceRadio[1]->getCheck());
  EXPECT_TRUE(d->quantityRadio[2][1]->getCheck());
  EXPECT_DOUBLE_EQ(d->axisYMin, d->rangeMin[D::Q_D2][1][0]);
  expect_radio_rules(d, "element 1 again");

  // Element 3: H12 on the upper surface; the lower surface keeps its own
  // choice (Cf at the start); back on the upper surface H12 again.
  d->elementSpinner->setValue(3);
  to(d, D::ID_ELEMENT);
  clickRadio(d->quantityRadio[4][0]);
  EXPECT_DOUBLE_EQ(d->axisYMin, d->rangeMin[D::Q_H12][0][2]);
  clickRadio(d->surfaceRadio[1]);
  EXPECT_EQ(d->shownSurface[2], 1);
  EXPECT_TRUE(d->quantityRadio[0][1]->getCheck());
  EXPECT_DOUBLE_EQ(d->axisYMin, d->rangeMin[D::Q_CF][1][2]);
  clickRadio(d->surfaceRadio[0]);
  EXPECT_FALSE(d->surfaceRadio[1]->getCheck());
  EXPECT_TRUE(d->quantityRadio[4][0]->getCheck());
  EXPECT_DOUBLE_EQ(d->axisYMin, d->rangeMin[D::Q_H12][0][2]);
  expect_radio_rules(d, "element 3");
}

TEST_F(BlWindowTest, WallTranspirationCanNeverBeChosen) {
  loadTwo("blrv");
  D* d = click();
  ASSERT_NE(d, nullptr);
  // After every kind of drawing both "RV(x)" radios are disabled.
  struct Step {
    const char* what;
    std::function<void()> act;
  };
  const Step steps[] = {
      {"paint upper", [&] { to(d, D::ID_CANVAS_UE, SEL_PAINT, d->ueCanvas); }},
      {"paint lower", [&] { to(d, D::ID_CANVAS_QUANTITY, SEL_PAINT, d->quantityCanvas); }},
      {"element", [&] { d->elementSpinner->increment(TRUE); }},
      {"lower surface", [&] { clickRadio(d->surfaceRadio[1]); }},
      {"lower H12", [&] { clickRadio(d->quantityRadio[4][1]); }},
      {"upper surface", [&] { clickRadio(d->surfaceRadio[0]); }},
      {"upper D1", [&] { clickRadio(d->quantityRadio[1][0]); }},
      {"recalculate", [&] { to(d, D::ID_RECALCULATE); }},
  };
  for (const Step& s : steps) {
    s.act();
    EXPECT_FALSE(d->quantityRadio[3][0]->isEnabled()) << s.what;
    EXPECT_FALSE(d->quantityRadio[3][1]->isEnabled()) << s.what;
    expect_radio_rules(d, s.what);
  }
}

TEST_F(BlWindowTest, TypedTransitionIsDrawnOnceAndAppliedOnlyByRecalculate) {
  loadTwo("bltyped");
  D* d = click();
  ASSERT_NE(d, nullptr);
  const double before = state().XTR(1, 1);
  type(d->strField[0], "0.25");
  EXPECT_DOUBLE_EQ(d->strValue[0], 0.25);
  EXPECT_DOUBLE_EQ(state().XTR(1, 1), before);
  // A repaint draws the marker at the typed value, then the field shows the
  // state's value again.
  to(d, D::ID_CANVAS_UE, SEL_PAINT, d->ueCanvas);
  EXPECT_DOUBLE_EQ(d->strValue[0], before);
  EXPECT_DOUBLE_EQ(state().XTR(1, 1), before);
  settle();
  EXPECT_DOUBLE_EQ(FXDoubleVal(d->strField[0]->getText()), before);
}

TEST_F(BlWindowTest, RecalculateHandsTheValuesToTheMainWindowAndRunsAgain) {
  loadThree("blrecalc");
  window->elementTabBook->setCurrent(1, TRUE);  // element 2
  D* d = click();
  ASSERT_NE(d, nullptr);
  ProblemState& s = state();
  const double other[2][2] = {{s.XTR(1, 1), s.XTR(1, 2)}, {s.XTR(3, 1), s.XTR(3, 2)}};
  const double lower = s.XTR(2, 2);
  const int count = s.NCOMPUTE;
  const std::string alphaBefore = window->cliftText.text();
  fake.calls.clear();

  type(d->reynoldsField, "3");
  type(d->strField[0], "0.25");
  EXPECT_EQ(to(d, D::ID_RECALCULATE), 1);
  // The state, the main window's fields (four decimals) and its own values.
  EXPECT_DOUBLE_EQ(s.REMILL, 3.0);
  EXPECT_DOUBLE_EQ(s.XTR(2, 1), 0.25);
  EXPECT_DOUBLE_EQ(s.XTR(2, 2), lower);
  EXPECT_EQ(window->remillField->getText(), FXString("3.0000"));
  EXPECT_EQ(window->elements[1].xtruField->getText(), FXString("0.2500"));
  EXPECT_EQ(window->elements[1].xtrlField->getText(), sorvane::gui::string_from_double(lower, 4));
  EXPECT_DOUBLE_EQ(window->remillValue, 3.0);
  EXPECT_DOUBLE_EQ(window->elements[1].xtruValue, 0.25);
  EXPECT_DOUBLE_EQ(window->elements[1].xtrlValue, lower);
  // Only the shown element's transition changed.
  EXPECT_DOUBLE_EQ(s.XTR(1, 1), other[0][0]);
  EXPECT_DOUBLE_EQ(s.XTR(1, 2), other[0][1]);
  EXPECT_DOUBLE_EQ(s.XTR(3, 1), other[1][0]);
  EXPECT_DOUBLE_EQ(s.XTR(3, 2), other[1][1]);
  EXPECT_EQ(window->elements[0].xtruField->getText(),
            sorvane::gui::string_from_double(other[0][0], 4));
  // The whole run again, with the new values; no panel solution.
  const std::vector<std::string> order = {"split 0", "upper 0", "lower 0", "split 1", "upper 1",
                                          "lower 1", "split 2", "upper 2", "lower 2"};
  EXPECT_EQ(fake.log(), order);
  for (const auto& c : fake.calls) EXPECT_DOUBLE_EQ(c.remill, 3.0) << c.what;
  EXPECT_DOUBLE_EQ(fake.calls[4].xtr, 0.25);
  EXPECT_EQ(s.NCOMPUTE, count);
  EXPECT_EQ(window->cliftText.text(), alphaBefore);
  EXPECT_EQ(window->blSurface, 1);
  EXPECT_EQ(window->errorCount, 0);
  // The plots keep the ranges of the dialog's construction.
  const double uMax = d->rangeMax[D::Q_UE][0][1];
  fake.scale = 3.0;
  to(d, D::ID_RECALCULATE);
  EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_UE][0][1], uMax);
  EXPECT_DOUBLE_EQ(d->axisXMin, d->rangeMin[D::Q_S][0][1]);
  fake.scale = 1.0;

  // A later "Alpha=" change and "BL Calculation" still run with them.
  window->alphaSpinner->setValue(5.0);
  send(W::ID_ALPHA);
  EXPECT_EQ(s.NCOMPUTE, count + 1);
  fake.calls.clear();
  D* again = click();
  ASSERT_NE(again, nullptr);
  for (const auto& c : fake.calls) EXPECT_DOUBLE_EQ(c.remill, 3.0) << c.what;
  EXPECT_DOUBLE_EQ(fake.calls[4].xtr, 0.25);
  EXPECT_DOUBLE_EQ(fake.calls[5].xtr, lower);
  EXPECT_DOUBLE_EQ(again->reynoldsValue, 3.0);
}

// "Re(mill) =" as typed: what "Recalculate" reads is the field's text, not
// the toolkit's conversion of it (which makes 0 of an empty field or of
// "abc" and infinity of "1e999"). A usable text reaches the state, the main
// window and the run; any other is refused with one message that quotes it
// and says why, and changes nothing. The texts are set without the field's
// notification, so the bound value still holds the one before.
TEST_F(BlWindowTest, RecalculateReadsTheReynoldsNumberAsTyped) {
  loadTwo("blrefuse");
  D* d = click();
  ASSERT_NE(d, nullptr);
  ProblemState& s = state();
  const double remill = s.REMILL, xtr = s.XTR(1, 1);
  const FXString field = window->remillField->getText();
  const struct {
    const char* typed;
    double accepted;  // 0: refused
    const char* why;  // the reason the message gives for a refused text
  } cases[] = {
      {"0.2", 0.2, nullptr},
      {" 3.5 ", 3.5, nullptr},
      {"1e-9", 1e-9, nullptr},
      {"", 0, "it is empty"},
      {"   ", 0, "it is empty"},
      {"abc", 0, "it is not a number"},
      {"1.5x", 0, "it is not a number"},
      {"1e", 0, "it is not a number"},
      {"-", 0, "it is not a number"},
      {"inf", 0, "it is not a number"},
      {"nan", 0, "it is not a number"},
      {"1e999", 0, "it is beyond the range of numbers"},
      {"1e-999", 0, "it is beyond the range of numbers"},
      {"0", 0, "it is not above 0"},
      {"-0", 0, "it is not above 0"},
      {"-1", 0, "it is not above 0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("\"") + c.typed + "\"");
    fake.calls.clear();
    const int errors = window->errorCount;
    d->reynoldsField->setText(c.typed, FALSE);
    EXPECT_EQ(to(d, D::ID_RECALCULATE), 1);
    if (c.accepted > 0) {
      EXPECT_EQ(window->errorCount, errors);
      EXPECT_DOUBLE_EQ(s.REMILL, c.accepted);
      EXPECT_DOUBLE_EQ(d->reynoldsValue, c.accepted);
      EXPECT_DOUBLE_EQ(window->remillValue, c.accepted);
      EXPECT_EQ(window->remillField->getText(), sorvane::gui::string_from_double(c.accepted, 4));
      ASSERT_FALSE(fake.calls.empty());
      for (const auto& call : fake.calls) EXPECT_DOUBLE_EQ(call.remill, c.accepted) << call.what;
      // The dialog's drawing and the toolkit's updates rewrite the field
      // from the bound value: the next "Recalculate" still runs with it.
      settle();
      fake.calls.clear();
      EXPECT_EQ(to(d, D::ID_RECALCULATE), 1);
      ASSERT_FALSE(fake.calls.empty());
      EXPECT_DOUBLE_EQ(fake.calls[0].remill, c.accepted);
      // The next case starts from the values before.
      d->reynoldsField->setText(sorvane::gui::string_from_double(remill, 4), FALSE);
      to(d, D::ID_RECALCULATE);
      ASSERT_DOUBLE_EQ(s.REMILL, remill);
      window->remillField->setText(field, FALSE);
      continue;
    }
    EXPECT_EQ(window->errorCount, errors + 1);
    EXPECT_EQ(window->lastError.find(FXString("Re(mill) = \"") + c.typed + "\" cannot be used: "),
              0)
        << window->lastError.text();
    EXPECT_NE(window->lastError.find(c.why), -1) << window->lastError.text();
    EXPECT_NE(window->lastError.find("Nothing was changed."), -1);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_DOUBLE_EQ(s.REMILL, remill);
    EXPECT_DOUBLE_EQ(s.XTR(1, 1), xtr);
    EXPECT_EQ(window->remillField->getText(), field);
    EXPECT_DOUBLE_EQ(window->remillValue, remill);
    EXPECT_DOUBLE_EQ(window->elements[0].xtruValue, xtr);
    // The dialog holds the number in use again: closing it passes nothing
    // of the refused text on.
    EXPECT_DOUBLE_EQ(d->reynoldsValue, remill);
  }
  // The whole message of one, typed with Enter: the bound value has taken
  // the toolkit's 0 of it, and is given back the number in use.
  type(d->reynoldsField, "abc");
  ASSERT_DOUBLE_EQ(d->reynoldsValue, 0.0);
  to(d, D::ID_RECALCULATE);
  EXPECT_EQ(window->lastError,
            FXString("Re(mill) = \"abc\" cannot be used: it is not a number. Nothing was changed."));
  EXPECT_DOUBLE_EQ(d->reynoldsValue, remill);
  EXPECT_DOUBLE_EQ(s.REMILL, remill);

  // The transition positions are read from their texts the same way (any
  // number); a value the program set and the field shows to six digits is
  // applied exactly.
  d->reynoldsField->setText(sorvane::gui::string_from_double(remill, 4), FALSE);
  const struct {
    const char* label;
    int surface;
    const char* typed;
    const char* why;  // nullptr: accepted
  } positions[] = {
      {"Str u=", 0, "abc", "it is not a number"},
      {"Str l=", 1, "", "it is empty"},
      {"Str l=", 1, "1e999", "it is beyond the range of numbers"},
      {"Str u=", 0, "0.25", nullptr},
      {"Str l=", 1, "-0.5", nullptr},
  };
  for (const auto& c : positions) {
    SCOPED_TRACE(std::string(c.label) + " \"" + c.typed + "\"");
    const double before = s.XTR(1, c.surface + 1);
    const int errors = window->errorCount;
    fake.calls.clear();
    d->strField[c.surface]->setText(c.typed, FALSE);
    to(d, D::ID_RECALCULATE);
    if (c.why) {
      EXPECT_EQ(window->errorCount, errors + 1);
      EXPECT_EQ(window->lastError.find(FXString(c.label) + " \"" + c.typed + "\" cannot be used: " +
                                       c.why),
                0)
          << window->lastError.text();
      EXPECT_TRUE(fake.calls.empty());
      EXPECT_DOUBLE_EQ(s.XTR(1, c.surface + 1), before);
      EXPECT_DOUBLE_EQ(s.REMILL, remill);
      d->strField[c.surface]->setText(FXStringVal(before), FALSE);
    } else {
      EXPECT_EQ(window->errorCount, errors);
      ASSERT_FALSE(fake.calls.empty());
      ASSERT_GE(fake.calls.size(), 3u);  // split 0, upper 0, lower 0, ...
      EXPECT_DOUBLE_EQ(fake.calls[1 + c.surface].xtr, std::atof(c.typed));
      EXPECT_DOUBLE_EQ(s.XTR(1, c.surface + 1), std::atof(c.typed));
    }
  }
  // An exact value shown to six digits.
  const double exact = 0.0516633123456;
  d->strValue[0] = exact;
  settle();  // the data target shows it in the field
  ASSERT_EQ(d->strField[0]->getText(), FXStringVal(exact));
  ASSERT_NE(FXDoubleVal(d->strField[0]->getText()), exact);
  to(d, D::ID_RECALCULATE);
  EXPECT_EQ(s.XTR(1, 1), exact);
}

// A "Recalculate" whose run is refused as a whole runs nothing and changes
// nothing, as a refused text does: one box gives the reason and says so,
// the state and the main window keep their values, and the dialog's fields
// show its own run again (not "1E+308" over the curves of Re 3). Refused
// for the typed values (a Reynolds number whose run overflows) and for a
// panel solution that failed after the dialog was opened.
TEST_F(BlWindowTest, RecalculateRefusedAsAWholeChangesNothing) {
  loadTwo("blrefwhole");
  D* d = click();
  ASSERT_NE(d, nullptr);
  ProblemState& s = state();
  const double remill = s.REMILL, xtru = s.XTR(1, 1), xtrl = s.XTR(1, 2);
  const FXString mainRe = window->remillField->getText();
  const FXString mainXtru = window->elements[0].xtruField->getText();
  const double shownStr = d->strValue[0];
  ASSERT_EQ(d->reynoldsValue, remill);
  const struct {
    const char* what;
    const char* typed;
    std::function<void()> before;
    const char* reason;
  } cases[] = {
      {"a Reynolds number whose run overflows", "1e308", [] {}, "Reynolds number"},
      {"a failed panel solution", "5",
       [&] {
         s.MACH = 1.0;  // as a file can give it: the spinner ends at 0.8
         send(W::ID_COMPR_PRANDTL_GLAUERT);
         ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
       },
       "valid panel solution"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    c.before();
    fake.calls.clear();
    const int errors = window->errorCount;
    type(d->reynoldsField, c.typed);
    type(d->strField[0], "0.25");
    EXPECT_EQ(to(d, D::ID_RECALCULATE), 1);
    EXPECT_TRUE(fake.calls.empty());
    EXPECT_EQ(window->errorCount, errors + 1);
    EXPECT_NE(window->lastError.find(c.reason), -1) << window->lastError.text();
    EXPECT_NE(window->lastError.find("Nothing was changed."), -1) << window->lastError.text();
    EXPECT_DOUBLE_EQ(s.REMILL, remill);
    EXPECT_DOUBLE_EQ(s.XTR(1, 1), xtru);
    EXPECT_DOUBLE_EQ(s.XTR(1, 2), xtrl);
    EXPECT_EQ(window->remillField->getText(), mainRe);
    EXPECT_EQ(window->elements[0].xtruField->getText(), mainXtru);
    EXPECT_DOUBLE_EQ(window->remillValue, remill);
    EXPECT_DOUBLE_EQ(window->elements[0].xtruValue, xtru);
    // The fields show the dialog's own run (and closing it passes on that
    // run's Reynolds number).
    EXPECT_DOUBLE_EQ(d->reynoldsValue, remill);
    EXPECT_DOUBLE_EQ(d->strValue[0], shownStr);
    settle();
    EXPECT_EQ(d->reynoldsField->getText(), FXStringVal(remill));
    EXPECT_EQ(d->strField[0]->getText(), FXStringVal(shownStr));
  }
}

TEST_F(BlWindowTest, RecalculateThatFailsShowsOneBoxAndKeepsTheDialog) {
  loadTwo("blrefail");
  D* d = click();
  ASSERT_NE(d, nullptr);
  fake.runFailure = "REMILL must be above 0.";  // the same for every surface
  const int errors = window->errorCount;
  to(d, D::ID_RECALCULATE);
  EXPECT_EQ(window->errorCount, errors + 1);
  EXPECT_EQ(window->lastError, FXString("REMILL must be above 0."));
  EXPECT_TRUE(d->shown());
  EXPECT_EQ(window->blDialog, d);
}

}  // namespace
}  // namespace sorvane::testing

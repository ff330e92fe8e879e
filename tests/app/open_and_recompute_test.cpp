// Opening a geometry file through the window and the recompute cycle behind
// every input control.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "tests/app/window_fixture.h"
#include "tests/boundary_layer/bl_cases.h"

namespace sorvane::testing {
namespace {

using W = Sorvane_2D;
using FX::FXString;

// Decimals of a displayed number ("-0.012346" has 6).
int decimals(const FXString& text) {
  const int dot = text.find('.');
  return dot < 0 ? 0 : text.length() - dot - 1;
}

TEST_F(WindowTest, EditsBeforeAnyLoadAreIgnored) {
  ProblemState& s = state();
  const double alpha = s.ALPHA;
  const int icompr = s.ICOMPR, count = s.NCOMPUTE;
  setSpinner(window->alphaSpinner, 3.0);
  EXPECT_EQ(send(W::ID_ALPHA), 1);
  EXPECT_EQ(send(W::ID_COMPR_KARMAN_TSIEN), 1);
  EXPECT_EQ(send(W::ID_ELEMENT_PARAM), 1);
  EXPECT_EQ(send(W::ID_NPANELS), 1);
  EXPECT_EQ(s.ALPHA, alpha);
  EXPECT_EQ(s.ICOMPR, icompr);
  EXPECT_EQ(s.NCOMPUTE, count);
  EXPECT_EQ(window->errorCount, 0);
  // The step spinners only set increments: before a load just Alpha and Swept.
  setSpinner(window->angleStepSpinner, 0.25);
  send(W::ID_ANGLE_STEP);
  EXPECT_DOUBLE_EQ(window->alphaSpinner->getIncrement(), 0.25);
  EXPECT_DOUBLE_EQ(window->sweptSpinner->getIncrement(), 0.25);
}

TEST_F(WindowTest, TwoElementFileSetsTheLoadedState) {
  ASSERT_TRUE(load(example_copy("load2", "main_flap.dat"))) << window->lastError.text();
  ProblemState& s = state();
  ASSERT_EQ(s.NELEM, 2);
  EXPECT_EQ(s.NCOMPUTE, 1);
  EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk);
  EXPECT_TRUE(window->elements[0].tab->shown());
  EXPECT_TRUE(window->elements[1].tab->shown());
  for (int i = 2; i < 5; ++i) EXPECT_FALSE(window->elements[i].tab->shown()) << i;
  EXPECT_FALSE(window->openCommand->isEnabled());
  EXPECT_TRUE(window->saveResultButton->isEnabled());
  // IBL = 1: the boundary-layer controls stay available.
  EXPECT_TRUE(window->blCalculationButton->isEnabled());
  EXPECT_TRUE(window->remillField->isEnabled());
  EXPECT_TRUE(window->elements[1].xtruField->isEnabled());
  EXPECT_EQ(window->elements[0].xtruField->getText(), FXString("0.0500"));
  EXPECT_EQ(window->elements[0].xtrlField->getText(), FXString("0.3000"));
  EXPECT_EQ(window->remillField->getText(), FXString("3.0000"));
  EXPECT_EQ(window->elements[0].npanelsField->getText(), FXString("120"));
  EXPECT_DOUBLE_EQ(window->alphaSpinner->getValue(), 4.0);
  EXPECT_DOUBLE_EQ(window->elements[1].xcSpinner->getValue(), s.XX(2));
  EXPECT_DOUBLE_EQ(window->elements[1].ycSpinner->getValue(), s.YY(2));
  EXPECT_NE(s.XX(2), 0.0);
  for (int i = 0; i < 2; ++i) {
    EXPECT_DOUBLE_EQ(window->elements[i].angleSpinner->getIncrement(), 0.1);
    EXPECT_DOUBLE_EQ(window->elements[i].angleSpinner->getGranularity(), 0.01);
  }
  EXPECT_DOUBLE_EQ(window->elements[2].angleSpinner->getIncrement(), 0.5);  // absent element
  // Options as read: no compressibility correction, additional point, stored placement.
  EXPECT_TRUE(window->compressibilityRadio[0]->getCheck());
  for (int i = 1; i < 4; ++i) EXPECT_FALSE(window->compressibilityRadio[i]->getCheck());
  EXPECT_TRUE(window->addPointRadio->getCheck());
  EXPECT_FALSE(window->cpEqualRadio->getCheck());
  EXPECT_EQ(window->configurationLabel->getText(),
            FXString("from input file, values: XX,YY,XAX,YAX DFL for each elements"));

  // Display decimals: Cdrag and Cmzo 6, the others 4.
  EXPECT_EQ(decimals(window->cliftText), 4);
  EXPECT_EQ(decimals(window->cliftGammaText), 4);
  EXPECT_EQ(decimals(window->cdragText), 6);
  EXPECT_EQ(decimals(window->cmzText), 4);
  EXPECT_EQ(window->brefText, FXString("1.0000"));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(decimals(window->elements[i].elementCliftText), 4);
    EXPECT_EQ(decimals(window->elements[i].elementCliftGammaText), 4);
    EXPECT_EQ(decimals(window->elements[i].elementCliftBText), 4);
    EXPECT_EQ(decimals(window->elements[i].elementCdragText), 6);
    EXPECT_EQ(decimals(window->elements[i].elementCmz0Text), 6);
    EXPECT_EQ(decimals(window->elements[i].elementCmzText), 4);
  }
  EXPECT_EQ(window->elements[0].belemText, FXString("1.0000"));
  char expected[64];
  std::snprintf(expected, sizeof expected, "%.6f", s.CX(1));
  EXPECT_EQ(window->elements[0].elementCdragText, FXString(expected));
  // The result fields show their strings through the data targets.
  test_app().forceRefresh();
  settle();
  EXPECT_TRUE(window->cliftText.length() > 0);

  // BL Calculation runs without a crash: a dialog on the results, or one box
  // that says why there is none.
  const int errors = window->errorCount;
  EXPECT_EQ(send(W::ID_BL_CALCULATION), 1);
  EXPECT_TRUE(window->blDialog != nullptr || window->errorCount == errors + 1);
}

TEST_F(WindowTest, FileWithoutBoundaryLayerRecordsDisablesItsControls) {
  ASSERT_TRUE(load(example_copy("load3", "slat_main_flap.dat"))) << window->lastError.text();
  ASSERT_EQ(state().NELEM, 3);
  EXPECT_FALSE(window->remillField->isEnabled());
  EXPECT_FALSE(window->blCalculationButton->isEnabled());
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(window->elements[i].xtruField->isEnabled());
    EXPECT_FALSE(window->elements[i].xtrlField->isEnabled());
  }
  EXPECT_TRUE(window->elements[3].xtruField->isEnabled());  // absent elements are left alone
  EXPECT_TRUE(window->elements[2].tab->shown());
  EXPECT_FALSE(window->elements[3].tab->shown());
}

TEST_F(WindowTest, EachInputRunsOneSolution) {
  ASSERT_TRUE(load(example_copy("cycle", "main_flap.dat")));
  ProblemState& s = state();
  const FXString lift = window->cliftText;

  setSpinner(window->alphaSpinner, 2.5);
  send(W::ID_ALPHA);
  EXPECT_DOUBLE_EQ(s.ALPHA, 2.5);
  EXPECT_EQ(s.NCOMPUTE, 2);
  EXPECT_NE(window->cliftText, lift);

  setSpinner(window->machSpinner, 0.2);
  send(W::ID_MACH);
  EXPECT_DOUBLE_EQ(s.MACH, 0.2);
  setSpinner(window->sweptSpinner, 30);
  send(W::ID_SWEPT);
  EXPECT_DOUBLE_EQ(s.SWEPT, 30);
  EXPECT_EQ(s.NCOMPUTE, 4);

  // Radio groups: one choice each, set by the handler.
  send(W::ID_COMPR_KARMAN_TSIEN);
  EXPECT_EQ(s.ICOMPR, 2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(window->compressibilityRadio[i]->getCheck(), i == 2);
  send(W::ID_COMPR_NONE);
  EXPECT_EQ(s.ICOMPR, 0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(window->compressibilityRadio[i]->getCheck(), i == 0);
  send(W::ID_TE_CP_EQUAL);
  EXPECT_EQ(s.ITE, 1);
  EXPECT_TRUE(window->cpEqualRadio->getCheck());
  EXPECT_FALSE(window->addPointRadio->getCheck());
  send(W::ID_TE_ADD_POINT);
  EXPECT_EQ(s.ITE, 0);
  EXPECT_TRUE(window->addPointRadio->getCheck());
  EXPECT_FALSE(window->cpEqualRadio->getCheck());
  // The axis-source identifiers have no control but reach their handler.
  send(W::ID_AXIS_FROM_GEOMETRY);
  EXPECT_EQ(s.IPOS, 1);
  send(W::ID_AXIS_FROM_FILE);
  EXPECT_EQ(s.IPOS, 0);
  EXPECT_EQ(s.NCOMPUTE, 4 + 6);

  // "Xtru=" of tab 1: the upper surface only.
  const double lower = s.XTR(1, 2);
  setField(window->elements[0].xtruField, "0.3");
  send(W::ID_XTRU);
  EXPECT_DOUBLE_EQ(s.XTR(1, 1), 0.3);
  EXPECT_DOUBLE_EQ(window->elements[0].xtruValue, 0.3);
  EXPECT_DOUBLE_EQ(s.XTR(1, 2), lower);
  setField(window->remillField, "6");
  send(W::ID_REYNOLDS);
  EXPECT_DOUBLE_EQ(s.REMILL, 6.0);
  EXPECT_DOUBLE_EQ(window->remillValue, 6.0);

  // A transition position moved in the state (as a boundary-layer run does)
  // is put back by the next refresh; so are the panel counts.
  s.XTR(1, 1) = 0.77;
  s.NPANELS(2) = 10;
  send(W::ID_MACH);
  EXPECT_DOUBLE_EQ(s.XTR(1, 1), 0.3);
  EXPECT_EQ(s.NPANELS(2), window->elements[1].npanelsValue);
}

// "Re mill=", "Xtru=" and "Xtrl=" as typed: a text that is empty, no
// number or beyond the range of numbers is refused with one message that
// quotes it and says why; the field shows its previous value again and
// nothing is solved. Any number is taken, 0 among them ("BL Calculation"
// says what it cannot use).
TEST_F(WindowTest, RealFieldsReadTheirTextAsTyped) {
  ASSERT_TRUE(load(example_copy("typed", "main_flap.dat")));
  ProblemState& s = state();
  using Field = FX::FXTextField*;
  const struct {
    const char* label;
    Field field;
    FX::FXSelector id;
    double* inState;
    double* ownValue;
  } fields[] = {
      {"Re mill=", window->remillField, W::ID_REYNOLDS, &s.REMILL, &window->remillValue},
      {"Xtru=", window->elements[0].xtruField, W::ID_XTRU, &s.XTR(1, 1),
       &window->elements[0].xtruValue},
      {"Xtrl=", window->elements[1].xtrlField, W::ID_XTRL, &s.XTR(2, 2),
       &window->elements[1].xtrlValue},
  };
  const struct {
    const char* typed;
    bool accepted;
    double value;
    const char* why;
  } cases[] = {
      {"0.2", true, 0.2, nullptr},
      {" 6 ", true, 6.0, nullptr},
      {"0", true, 0.0, nullptr},
      {"-1e-3", true, -1e-3, nullptr},
      {"", false, 0, "it is empty"},
      {"abc", false, 0, "it is not a number"},
      {"2,5", false, 0, "it is not a number"},
      {"1e999", false, 0, "it is beyond the range of numbers the program can hold"},
  };
  for (const auto& f : fields)
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(f.label) + " \"" + c.typed + "\"");
      const double before = *f.ownValue;
      const int count = s.NCOMPUTE, errors = window->errorCount;
      setField(f.field, c.typed);
      EXPECT_EQ(send(f.id), 1);
      if (c.accepted) {
        EXPECT_EQ(window->errorCount, errors);
        EXPECT_DOUBLE_EQ(*f.inState, c.value);
        EXPECT_DOUBLE_EQ(*f.ownValue, c.value);
        EXPECT_EQ(s.NCOMPUTE, count + 1);
        // Back to the value before, for the next case.
        setField(f.field, sorvane::gui::string_from_double(before, 4).text());
        send(f.id);
        continue;
      }
      EXPECT_EQ(window->errorCount, errors + 1);
      EXPECT_EQ(window->lastError,
                FXString(f.label) + " \"" + c.typed + "\" cannot be used: " + c.why +
                    ". The previous value is kept.");
      EXPECT_EQ(s.NCOMPUTE, count);
      EXPECT_DOUBLE_EQ(*f.inState, before);
      EXPECT_DOUBLE_EQ(*f.ownValue, before);
      EXPECT_EQ(f.field->getText(), sorvane::gui::string_from_double(before, 4));
    }
}

TEST_F(WindowTest, ElementEditCopiesEveryPresentElement) {
  ASSERT_TRUE(load(example_copy("element", "main_flap.dat")));
  ProblemState& s = state();
  setSpinner(window->elements[1].xcSpinner, 0.98);
  setSpinner(window->elements[0].xfSpinner, 0.25);
  setSpinner(window->angleStepSpinner, 0.2);
  s.NPANELS(1) = 30;
  s.XTR(2, 2) = 0.9;
  send(W::ID_ELEMENT_PARAM);
  EXPECT_DOUBLE_EQ(s.XX(2), 0.98);
  EXPECT_DOUBLE_EQ(s.XAX(1), 0.25);
  EXPECT_DOUBLE_EQ(s.DFL(2), window->elements[1].angleSpinner->getValue());
  EXPECT_EQ(s.NPANELS(1), 120);
  EXPECT_DOUBLE_EQ(s.XTR(2, 2), window->elements[1].xtrlValue);
  // The element angle spinners take the angle step.
  EXPECT_DOUBLE_EQ(window->elements[0].angleSpinner->getIncrement(), 0.2);
  EXPECT_DOUBLE_EQ(window->elements[1].angleSpinner->getIncrement(), 0.2);
  EXPECT_EQ(s.NCOMPUTE, 2);
}

TEST_F(WindowTest, StepSpinnersSetTheIncrementsOfPresentElements) {
  ASSERT_TRUE(load(example_copy("steps", "main_flap.dat")));
  setSpinner(window->angleStepSpinner, 0.25);
  send(W::ID_ANGLE_STEP);
  EXPECT_DOUBLE_EQ(window->alphaSpinner->getIncrement(), 0.25);
  EXPECT_DOUBLE_EQ(window->sweptSpinner->getIncrement(), 0.25);
  EXPECT_DOUBLE_EQ(window->elements[0].angleSpinner->getIncrement(), 0.25);
  EXPECT_DOUBLE_EQ(window->elements[1].angleSpinner->getIncrement(), 0.25);
  EXPECT_DOUBLE_EQ(window->elements[2].angleSpinner->getIncrement(), 0.5);
  EXPECT_DOUBLE_EQ(window->machSpinner->getIncrement(), 0.02);
  // One arrow click moves Alpha by the new step.
  const double before = window->alphaSpinner->getValue();
  window->alphaSpinner->increment(TRUE);
  EXPECT_DOUBLE_EQ(state().ALPHA, before + 0.25);

  setSpinner(window->positionStepSpinner, 0.05);
  send(W::ID_POSITION_STEP);
  for (int i = 0; i < 2; ++i) {
    EXPECT_DOUBLE_EQ(window->elements[i].xfSpinner->getIncrement(), 0.05);
    EXPECT_DOUBLE_EQ(window->elements[i].yfSpinner->getIncrement(), 0.05);
    EXPECT_DOUBLE_EQ(window->elements[i].xcSpinner->getIncrement(), 0.05);
    EXPECT_DOUBLE_EQ(window->elements[i].ycSpinner->getIncrement(), 0.05);
    EXPECT_DOUBLE_EQ(window->elements[i].angleSpinner->getIncrement(), 0.25);
  }
  EXPECT_DOUBLE_EQ(window->elements[2].xcSpinner->getIncrement(), 0.01);
}

// A click on one of a spinner's arrows (FX::ARROW_UP or FX::ARROW_DOWN), as
// the pointer gives it.
void click_arrow(FX::FXRealSpinner* spinner, FX::FXuint direction) {
  for (FX::FXWindow* c = spinner->getFirst(); c; c = c->getNext()) {
    auto* arrow = dynamic_cast<FX::FXArrowButton*>(c);
    if (!arrow || !(arrow->getArrowStyle() & direction)) continue;
    FX::FXEvent ev;
    ev.code = FX::LEFTBUTTON;
    ev.win_x = ev.win_y = 2;
    ev.type = FX::SEL_LEFTBUTTONPRESS;
    arrow->handle(arrow, FXSEL(FX::SEL_LEFTBUTTONPRESS, 0), &ev);
    ev.type = FX::SEL_LEFTBUTTONRELEASE;
    arrow->handle(arrow, FXSEL(FX::SEL_LEFTBUTTONRELEASE, 0), &ev);
    return;
  }
  ADD_FAILURE() << "no such arrow";
}

void click_up(FX::FXRealSpinner* spinner) { click_arrow(spinner, FX::ARROW_UP); }

// An element's "Xf=", "Yf=", "Xc=", "Yc=", "Angle=".
std::array<FX::FXRealSpinner*, 5> spinners_of(const W::ElementTab& t) {
  return {t.xfSpinner, t.yfSpinner, t.xcSpinner, t.ycSpinner, t.angleSpinner};
}

// The placement values of element k in the state, in the order of the
// spinners ("Xf=", "Yf=", "Xc=", "Yc=", "Angle=").
std::vector<double> placement_of(int k) {
  const ProblemState& s = state();
  return {s.XAX(k), s.YAX(k), s.XX(k), s.YY(k), s.DFL(k)};
}

// A file placed from its stored values (IPOS = 0) may put an element beyond
// the range a spinner edits in. The spinner shows the value as it is, its
// range widened to take it, so that the next click on any element's
// placement spinner (which copies every spinner into the state) leaves the
// element where the file put it, and "Save Result" writes it there. The
// flap of examples/main_flap.dat (element 2) at "Xc=" 2.5 and "Yf=" 0.6,
// and each of its five values beyond each end of its range. An arrow click
// on the widened spinner itself stays within the widened range; spinners
// whose values lie within their ranges keep them exactly.
TEST_F(WindowTest, PlacementBeyondASpinnerRangeIsShownAndKeptAsRead) {
  struct Case {
    const char* what;
    std::vector<std::pair<int, double>> flap;  // placement value (field of the record), value
  };
  const Case cases[] = {
      {"Xc= 2.5 and Yf= 0.6", {{2, 2.5}, {1, 0.6}}},
      {"Xf= below -1", {{0, -1.5}}},   {"Xf= above 2", {{0, 2.5}}},
      {"Yf= below -0.5", {{1, -0.6}}}, {"Yf= above 0.5", {{1, 0.6}}},
      {"Xc= below -1", {{2, -1.5}}},   {"Xc= above 2", {{2, 2.5}}},
      {"Yc= below -10", {{3, -12}}},   {"Yc= above 10", {{3, 12}}},
      {"Angle= below -85", {{4, -90}}}, {"Angle= above 85", {{4, 90}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    if (state().NCOMPUTE != 0) freshWindow();  // one file per window
    const std::string path = example_copy("beyond", "main_flap.dat", [&](std::vector<std::string>& l) {
      // The record after the second placement heading is the flap's.
      int headings = 0;
      for (std::size_t i = 0; i + 1 < l.size(); ++i)
        if (l[i].find("XAX") != std::string::npos && ++headings == 2) {
          for (const auto& [field, value] : c.flap) set_field(l[i + 1], field, field10(value));
          break;
        }
    });
    ASSERT_TRUE(load(path)) << window->lastError.text();
    ProblemState& s = state();
    ASSERT_EQ(s.IPOS, 0);
    const std::vector<double> main = placement_of(1), flap = placement_of(2);
    for (const auto& [field, value] : c.flap) ASSERT_DOUBLE_EQ(flap[field], value);

    // Every spinner shows the state's value; a value beyond its range
    // widens it just so far, the others keep their ranges.
    for (int k = 1; k <= 2; ++k) {
      const std::array<FX::FXRealSpinner*, 5> spinners = spinners_of(window->elements[k - 1]);
      const std::vector<double> read = k == 1 ? main : flap;
      for (int p = 0; p < 5; ++p) {
        SCOPED_TRACE("element " + std::to_string(k) + ", spinner " + std::to_string(p));
        EXPECT_DOUBLE_EQ(spinners[p]->getValue(), read[p]);
        double lo = 0, hi = 0;
        spinners[p]->getRange(lo, hi);
        EXPECT_EQ(lo, std::min(W::kPlacementRanges[p][0], read[p]));
        EXPECT_EQ(hi, std::max(W::kPlacementRanges[p][1], read[p]));
      }
    }

    // One click on element 1's "Angle=": only that value changes.
    FX::FXRealSpinner* const mainAngle = window->elements[0].angleSpinner;
    click_up(mainAngle);
    EXPECT_EQ(s.NCOMPUTE, 2);
    std::vector<double> clicked = main;
    clicked[4] += 0.1;
    for (int p = 0; p < 5; ++p) {
      EXPECT_NEAR(placement_of(1)[p], clicked[p], 1e-9) << p;
      EXPECT_DOUBLE_EQ(placement_of(2)[p], flap[p]) << p;
    }

    // "Save Result": the flap's placement line holds the file's values.
    send(W::ID_SAVE_RESULT);
    const std::vector<std::string> lines = read_lines(path.substr(0, path.size() - 4) + "_1.sum");
    // Each element's placement line follows the last line of the headings
    // above it, which line 8 is for element 1.
    ASSERT_GT(lines.size(), 9u);
    const auto heading = std::find(lines.begin() + 9, lines.end(), lines[8]);
    ASSERT_TRUE(heading != lines.end() && heading + 1 != lines.end());
    std::istringstream row(*(heading + 1));
    std::string k, written[5];
    row >> k >> written[0] >> written[1] >> written[2] >> written[3] >> written[4];
    EXPECT_EQ(k, "2");
    using sorvane::gui::string_from_double;
    for (int p = 0; p < 5; ++p)
      EXPECT_EQ(written[p], string_from_double(flap[p], p == 4 ? 2 : 4).text()) << p;

    // The widened spinner clamps at the value of the file: a click outward
    // leaves the flap where it is.
    for (const auto& [field, value] : c.flap) {
      FX::FXRealSpinner* const spinner = spinners_of(window->elements[1])[field];
      click_arrow(spinner, value > W::kPlacementRanges[field][1] ? FX::ARROW_UP : FX::ARROW_DOWN);
      EXPECT_DOUBLE_EQ(spinner->getValue(), value);
      EXPECT_DOUBLE_EQ(placement_of(2)[field], value);
    }
  }
}

// A copy of examples/naca0012.dat (placed from its contour, IPOS = 1) with
// the contour moved by dx along x and dy up.
std::string moved_naca0012(const std::string& dir, double dx, double dy) {
  return example_copy(dir, "naca0012.dat", [&](std::vector<std::string>& l) {
    for (std::size_t i = 9; i < l.size(); ++i) {
      set_field(l[i], 0, field10(std::atof(l[i].substr(0, 10).c_str()) + dx));
      set_field(l[i], 1, field10(std::atof(l[i].substr(10, 10).c_str()) + dy));
      set_field(l[i], 2, field10(std::atof(l[i].substr(20, 10).c_str()) + dy));
    }
  });
}

// With the placement taken from the contours (IPOS = 1) every solution
// derives the element's "Xf=", "Yf=", "Xc=", "Yc=" and "Angle=" anew: the
// spinners show the placement in effect after every solution and take no
// edit (disabled, the reason in their tooltip): ten clicks on "Angle="
// change nothing, and "Save Result" writes what they show. The same for a
// contour placed beyond the spinners' ranges (examples/naca0012.dat moved
// by 3 along x and 12 up: "Xc=" ends at 2, "Yc=" at 10 for editing).
TEST_F(WindowTest, PlacementFromTheContourIsShownAndTakesNoEdit) {
  const struct {
    const char* what;
    double dx, dy;
  } cases[] = {{"examples/naca0012.dat", 0, 0}, {"moved beyond the ranges", 3, 12}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    if (state().NCOMPUTE != 0) freshWindow();  // one file per window
    const std::string path = moved_naca0012("ipos1", c.dx, c.dy);
    ASSERT_TRUE(load(path)) << window->lastError.text();
    ProblemState& s = state();
    ASSERT_EQ(s.IPOS, 1);
    const W::ElementTab& t = window->elements[0];
    FX::FXRealSpinner* const spinners[5] = {t.xfSpinner, t.yfSpinner, t.xcSpinner, t.ycSpinner,
                                            t.angleSpinner};
    auto expect_in_effect = [&](const char* after) {
      const double inEffect[5] = {s.XAX(1), s.YAX(1), s.XX(1), s.YY(1), s.DFL(1)};
      for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(spinners[i]->getValue(), inEffect[i]) << after << ", spinner " << i;
        EXPECT_FALSE(spinners[i]->isEnabled()) << after << ", spinner " << i;
        EXPECT_EQ(spinners[i]->getTipText(), FXString(W::kPlacementFromContourTip))
            << after << ", spinner " << i;
      }
    };
    expect_in_effect("the load");
    // The pointer over the disabled "Angle=": the tooltip gets the reason.
    {
      FX::FXToolTip tip(&test_app());
      FX::FXWindow* entry = t.angleSpinner->getFirst();
      FX::FXEvent ev;
      ev.type = FX::SEL_ENTER;
      ev.code = FX::CROSSINGNORMAL;
      ev.state = 0;
      entry->handle(entry, FXSEL(FX::SEL_ENTER, 0), &ev);
      EXPECT_EQ(entry->handle(&tip, FXSEL(FX::SEL_QUERY_TIP, 0), nullptr), 1);
      EXPECT_EQ(tip.getText(), FXString(W::kPlacementFromContourTip));
    }
    EXPECT_NEAR(s.XX(1), c.dx, 1e-3);
    EXPECT_NEAR(s.YY(1), c.dy, 1e-3);

    const int count = s.NCOMPUTE;
    const double angle = t.angleSpinner->getValue();
    for (int i = 0; i < 10; ++i) click_up(t.angleSpinner);
    settle();
    EXPECT_EQ(t.angleSpinner->getValue(), angle);
    EXPECT_EQ(s.NCOMPUTE, count);

    // A value that reaches the spinner all the same is gone after the next
    // solution, which takes the placement from the contour again.
    setSpinner(t.angleSpinner, angle + 1);
    setSpinner(t.xcSpinner, c.dx + 0.5);
    send(W::ID_ELEMENT_PARAM);
    expect_in_effect("an element edit");
    setSpinner(window->alphaSpinner, 2.0);
    send(W::ID_ALPHA);
    expect_in_effect("an Alpha= edit");

    // "Save Result": the element's placement line holds what they show.
    send(W::ID_SAVE_RESULT);
    const std::vector<std::string> lines =
        read_lines(path.substr(0, path.size() - 4) + "_1.sum");
    ASSERT_GT(lines.size(), 9u);
    std::istringstream row(lines[9]);
    std::string k, xf, yf, xc, yc, deflection;
    row >> k >> xf >> yf >> xc >> yc >> deflection;
    using sorvane::gui::string_from_double;
    EXPECT_EQ(xf, string_from_double(t.xfSpinner->getValue(), 4).text());
    EXPECT_EQ(yf, string_from_double(t.yfSpinner->getValue(), 4).text());
    EXPECT_EQ(xc, string_from_double(t.xcSpinner->getValue(), 4).text());
    EXPECT_EQ(yc, string_from_double(t.ycSpinner->getValue(), 4).text());
    EXPECT_EQ(deflection, string_from_double(t.angleSpinner->getValue(), 2).text());
  }

  // Stored placement values (IPOS = 0): the spinners edit them.
  freshWindow();
  ASSERT_TRUE(load(example_copy("ipos0", "main_flap.dat"))) << window->lastError.text();
  const W::ElementTab& flap = window->elements[1];
  for (FX::FXRealSpinner* sp :
       {flap.xfSpinner, flap.yfSpinner, flap.xcSpinner, flap.ycSpinner, flap.angleSpinner}) {
    EXPECT_TRUE(sp->isEnabled());
    EXPECT_TRUE(sp->getTipText().empty());
  }
  const double deflection = state().DFL(2);
  for (int i = 0; i < 10; ++i) click_up(flap.angleSpinner);
  EXPECT_NEAR(state().DFL(2), deflection + 1.0, 1e-9);
  EXPECT_NEAR(flap.angleSpinner->getValue(), deflection + 1.0, 1e-9);
}

// Back from the contours to the stored values (IPOS 1, then 0): the
// spinners take edits again and keep showing the placement they showed,
// which the state holds, beyond the editing ranges too (the contour moved
// by 3 along x and 12 up: "Xc=" about 3, "Yc=" about 12), so that the next
// click on "Angle=" turns the element and moves it nowhere.
TEST_F(WindowTest, PlacementBackFromTheContourKeepsItsValues) {
  ASSERT_TRUE(load(moved_naca0012("ipos10", 3, 12))) << window->lastError.text();
  ProblemState& s = state();
  ASSERT_EQ(s.IPOS, 1);
  send(W::ID_AXIS_FROM_FILE);
  ASSERT_EQ(s.IPOS, 0);
  const W::ElementTab& t = window->elements[0];
  const std::vector<double> stored = placement_of(1);
  ASSERT_GT(stored[2], 2.5);
  ASSERT_GT(stored[3], 11.5);
  const std::array<FX::FXRealSpinner*, 5> spinners = spinners_of(t);
  for (int p = 0; p < 5; ++p) {
    EXPECT_TRUE(spinners[p]->isEnabled()) << p;
    EXPECT_DOUBLE_EQ(spinners[p]->getValue(), stored[p]) << p;
  }
  click_up(t.angleSpinner);
  const std::vector<double> after = placement_of(1);
  for (int p = 0; p < 4; ++p) EXPECT_DOUBLE_EQ(after[p], stored[p]) << p;
  EXPECT_NEAR(after[4], stored[4] + 0.1, 1e-9);
}

TEST_F(WindowTest, PanelCountsOutsideTheCapacitiesAreRefused) {
  ASSERT_TRUE(load(example_copy("npanels", "main_flap.dat")));
  ProblemState& s = state();
  const int flap = window->elements[1].npanelsValue;
  struct Case {
    const char* first;
    const char* second;
  };
  const Case refused[] = {{"1", nullptr}, {"600", nullptr}, {"0", nullptr}, {"", nullptr},
                          {"-5", nullptr}, {"599", "599"}};
  for (const Case& c : refused) {
    setField(window->elements[0].npanelsField, c.first);
    if (c.second) setField(window->elements[1].npanelsField, c.second);
    const int errors = window->errorCount;
    send(W::ID_NPANELS);
    EXPECT_EQ(window->errorCount, errors + 1) << c.first;
    EXPECT_EQ(window->elements[0].npanelsField->getText(), FXString("120")) << c.first;
    EXPECT_EQ(window->elements[1].npanelsField->getText(), sorvane::gui::string_from_int(flap));
    EXPECT_EQ(s.NPANELS(1), 120);
    EXPECT_EQ(window->elements[0].npanelsValue, 120);
    EXPECT_EQ(s.NCOMPUTE, 1) << c.first;
  }
  // 598 + 1 + 600 = 1199 equations is the largest system.
  setField(window->elements[0].npanelsField, "598");
  setField(window->elements[1].npanelsField, "599");
  const int errors = window->errorCount;
  send(W::ID_NPANELS);
  EXPECT_EQ(window->errorCount, errors);
  EXPECT_EQ(s.NPANELS(1), 598);
  EXPECT_EQ(s.NPANELS(2), 599);
  EXPECT_EQ(s.NCOMPUTE, 2);
}

TEST_F(WindowTest, UnreadableFilesLeaveTheWindowAsItWas) {
  const int count = state().NCOMPUTE;
  const std::string dir = scratch_dir("badfile");
  // Missing, malformed, and a path longer than the reader's 80 characters.
  write_file(dir + "/bad.dat", "title\nnot a number at all\n");
  const std::string longPath = dir + "/" + std::string(90, 'x') + ".dat";
  for (const std::string& path : {dir + "/missing.dat", dir + "/bad.dat", longPath}) {
    const int errors = window->errorCount;
    EXPECT_FALSE(load(path)) << path;
    EXPECT_EQ(window->errorCount, errors + 1);
    EXPECT_GT(window->lastError.length(), 0);
    EXPECT_TRUE(window->openCommand->isEnabled());
    EXPECT_FALSE(window->saveResultButton->isEnabled());
    EXPECT_FALSE(window->loaded);
    EXPECT_TRUE(window->elements[4].tab->shown());
    EXPECT_EQ(window->inputPath, FXString());
    EXPECT_EQ(state().NCOMPUTE, count);
  }
  EXPECT_NE(window->lastError.find("80"), -1) << window->lastError.text();
  // Another file can still be opened.
  EXPECT_TRUE(load(example_copy("goodafter", "naca0012.dat")));
  EXPECT_EQ(state().NELEM, 1);
  EXPECT_FALSE(window->elements[1].tab->shown());
}

TEST_F(WindowTest, FailedSolutionShowsItsReasonAndNoNumbers) {
  // A zero reference chord makes the solution fail.
  const std::string path = example_copy("failing", "main_flap.dat", [](std::vector<std::string>& l) {
    set_field(l[3], 3, "0.00000");
  });
  ASSERT_TRUE(load(path)) << window->lastError.text();
  ProblemState& s = state();
  ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->configurationLabel->getText().left(17), FXString("Solution failed: "));
  // The reason is said once, not "Solution failed: Solution failed: ...".
  EXPECT_EQ(window->configurationLabel->getText().find("failed: Solution failed"), -1);
  EXPECT_EQ(window->lastError.find("failed: Solution failed"), -1) << window->lastError.text();
  EXPECT_NE(window->lastError.find("The panel solution failed: the reference chord BREF is 0"), -1)
      << window->lastError.text();
  EXPECT_EQ(window->cliftText, FXString());
  EXPECT_EQ(window->cdragText, FXString());
  EXPECT_EQ(window->elements[0].elementCliftText, FXString());
  EXPECT_EQ(window->elements[1].elementCmz0Text, FXString());
  // The same failure again: no second box.
  send(W::ID_ALPHA);
  EXPECT_EQ(window->errorCount, 1);
  // Saving is refused rather than writing stale numbers.
  send(W::ID_SAVE_RESULT);
  EXPECT_EQ(window->errorCount, 2);
  // Once the solution works again the numbers and the label come back.
  s.BREF = 1.0;
  send(W::ID_ALPHA);
  EXPECT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk);
  EXPECT_EQ(window->configurationLabel->getText(), window->configurationText);
  EXPECT_GT(window->cliftText.length(), 0);
  EXPECT_EQ(window->errorCount, 2);
}

// A correction past its pole is no solution: the window shows why and no
// numbers (and draws no Cp curve whose axis would run to +100). Locally
// supersonic flow is a valid solution: the numbers stay, and
// "Multielement configuration:" carries the remark. A subsonic corrected
// solution shows the field's own text again.
TEST_F(WindowTest, CompressibilityCorrectionOutOfRange) {
  const std::string path =
      example_copy("compr_range", "naca0012.dat", [](std::vector<std::string>& l) {
        set_field(l[1], 3, "3.00000");   // Laitone
        set_field(l[3], 0, "10.00000");  // Alpha
        set_field(l[3], 1, "0.50000");   // Mach
      });
  ASSERT_TRUE(load(path)) << window->lastError.text();
  ProblemState& s = state();
  ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
  const FXString failed = window->configurationLabel->getText();
  EXPECT_EQ(failed.left(17), FXString("Solution failed: ")) << failed.text();
  EXPECT_NE(window->lastError.find("the Laitone correction has no value at control point"), -1)
      << window->lastError.text();
  EXPECT_EQ(window->cliftText, FXString());
  EXPECT_EQ(window->cdragText, FXString());
  EXPECT_EQ(window->elements[0].elementCliftText, FXString());

  // Karman-Tsien at 6 degrees: supersonic at the suction peak.
  setSpinner(window->alphaSpinner, 6.0);
  send(W::ID_ALPHA);
  send(W::ID_COMPR_KARMAN_TSIEN);
  ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk);
  ASSERT_EQ(s.ICOMPR, 2);
  const FXString remark = window->configurationLabel->getText();
  EXPECT_EQ(remark.left(8), FXString("Remark: ")) << remark.text();
  EXPECT_NE(remark.find("locally supersonic, where the Karman-Tsien correction does not hold: "
                        "element 1: Cp -3.8"),
            -1)
      << remark.text();
  EXPECT_GT(window->cliftText.length(), 0);
  EXPECT_GT(window->elements[0].elementCliftText.length(), 0);

  // Mach 0.3 at 2 degrees: subsonic; the field's own text is back.
  setSpinner(window->alphaSpinner, 2.0);
  send(W::ID_ALPHA);
  setSpinner(window->machSpinner, 0.3);
  send(W::ID_MACH);
  ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk);
  EXPECT_EQ(window->configurationLabel->getText(), window->configurationText);
  EXPECT_GT(window->cliftText.length(), 0);

  // The flap example swept 30 degrees at Mach 0.7 with Prandtl-Glauert:
  // both elements below Cp*. The field holds the remark whole (shown
  // shortened, whole in its tooltip), up to its count of elements.
  freshWindow();
  const std::string swept =
      example_copy("compr_swept", "main_flap.dat", [](std::vector<std::string>& l) {
        set_field(l[1], 3, "1.00000");   // Prandtl-Glauert
        set_field(l[3], 0, "0.00000");   // Alpha
        set_field(l[3], 1, "0.70000");   // Mach
        set_field(l[3], 2, "30.00000");  // Swept
      });
  ASSERT_TRUE(load(swept)) << window->lastError.text();
  ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
  const FXString whole = window->configurationLabel->getText();
  const FXString end(
      " at Mach 0.7 (normal to the sweep of 30 degrees: Mach 0.606218); 2 elements reach below "
      "Cp*");
  EXPECT_EQ(whole.left(8), FXString("Remark: ")) << whole.text();
  EXPECT_EQ(whole.right(end.length()), end) << whole.text();
  EXPECT_EQ(window->configurationLabel->getTipText(), whole);
}

}  // namespace
}  // namespace sorvane::testing

namespace sorvane::testing {
namespace {

// Everything a solution leaves for the windows, to compare two solutions
// value for value.
std::vector<double> solution_values() {
  const ProblemState& s = state();
  std::vector<double> v = {s.CYS, s.CXS, s.CMS, s.CYGAMMAS, s.ALPHA_EFF, s.COSSWEPT};
  for (int k = 1; k <= s.NELEM; ++k) {
    for (double x : {s.CY(k), s.CX(k), s.MZ(k), s.CMZ0(k), s.CYB(k), s.CYGAMMA(k), s.XX(k),
                     s.YY(k), s.XAX(k), s.YAX(k), s.DFL(k)})
      v.push_back(x);
    for (int i = 1; i <= s.NPANELS(k); ++i) {
      v.push_back(s.CP(i, k));
      v.push_back(s.VGAMMA(i, k));
      v.push_back(s.XPN(i, k));
      v.push_back(s.YPN(i, k));
    }
  }
  return v;
}

// Option values outside the documented ones: every control shows the choice
// the solvers apply (ICOMPR outside 1..3 "No", ITE other than 1 "Add.Point",
// IPOS other than 1 the stored-values text, "BL Calculation" for IBL 1 only),
// and such a file solves exactly as with the value its controls show:
// choosing the shown controls again recomputes the very same numbers, and so
// does the file written with those values. The Mach number is 0.1, so that
// a wrong correction would change every Cp while every corrected solution
// stays subsonic (at 0.3 the suction peaks of these high-lift
// configurations are locally supersonic, and the field says so instead).
TEST_F(WindowTest, OptionControlsShowWhatTheSolverApplies) {
  const char* const stored = "from input file, values: XX,YY,XAX,YAX DFL for each elements";
  const char* const contour = "from geometry of airfoils ";
  struct Case {
    const char* file;
    const char *icompr, *ite, *ipos, *ibl;
    int radio;                  // the compressibility radio shown
    bool cpEqual;               // "Cp EQ" shown
    bool fromContour;           // the geometry text shown
    bool bl;                    // boundary-layer controls enabled
    const char* shownIbl;       // the IBL of the file written with the shown values
  };
  const Case cases[] = {
      {"main_flap.dat", "5.", "2.", "2.", "-1.", 0, false, false, false, "-1."},
      {"main_flap.dat", "-1.", "-1.", "1.", "1.", 0, false, true, true, "1."},
      {"main_flap.dat", "3.", "1.", "-3.", "1.", 3, true, false, true, "1."},
      {"main_flap.dat", "4.", "7.", "0.", "-1.", 0, false, false, false, "-1."},
      // IBL 2: no boundary-layer records, and no run offered.
      {"slat_main_flap.dat", "2.", "3.", "5.", "2.", 2, false, false, false, "0."},
      {"slat_main_flap.dat", "1.", "0.", "0.", "0.", 1, false, false, false, "0."},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " ICOMPR " + c.icompr + " ITE " + c.ite + " IPOS " +
                 c.ipos + " IBL " + c.ibl);
    const auto flags = [](const char* icompr, const char* ite, const char* ipos,
                          const char* ibl) {
      return [=](std::vector<std::string>& l) {
        set_field(l[1], 3, icompr);
        set_field(l[1], 4, ite);
        set_field(l[1], 5, ipos);
        set_field(l[1], 6, ibl);
        set_field(l[3], 1, "0.10000");
      };
    };
    freshWindow();
    const std::string path = example_copy("flags" + std::to_string(n++), c.file,
                                          flags(c.icompr, c.ite, c.ipos, c.ibl));
    ASSERT_TRUE(load(path)) << window->lastError.text();
    ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
    for (int i = 0; i < 4; ++i)
      EXPECT_EQ(window->compressibilityRadio[i]->getCheck(), i == c.radio) << i;
    EXPECT_EQ(window->cpEqualRadio->getCheck(), c.cpEqual);
    EXPECT_EQ(window->addPointRadio->getCheck(), !c.cpEqual);
    const FX::FXString label(c.fromContour ? contour : stored);
    EXPECT_EQ(window->configurationLabel->getText(), label);
    EXPECT_EQ(window->configurationText, label);
    EXPECT_EQ(window->blCalculationButton->isEnabled(), c.bl);
    EXPECT_EQ(window->remillField->isEnabled(), c.bl);
    EXPECT_EQ(window->elements[0].xtruField->isEnabled(), c.bl);
    EXPECT_EQ(window->elements[1].xtrlField->isEnabled(), c.bl);
    EXPECT_EQ(state().NCOMPUTE, 1);
    const std::vector<double> loaded = solution_values();

    // The shown choices, made again through their handlers.
    send(W::ID_COMPR_NONE + c.radio);
    send(c.cpEqual ? W::ID_TE_CP_EQUAL : W::ID_TE_ADD_POINT);
    send(c.fromContour ? W::ID_AXIS_FROM_GEOMETRY : W::ID_AXIS_FROM_FILE);
    ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
    EXPECT_EQ(state().ICOMPR, c.radio);
    EXPECT_EQ(solution_values(), loaded);

    // The same file written with the shown values, solved on its own.
    const std::string radio = std::to_string(c.radio) + ".";
    const std::string shown = example_copy("shown" + std::to_string(n), c.file,
                                           flags(radio.c_str(), c.cpEqual ? "1." : "0.",
                                                 c.fromContour ? "1." : "0.", c.shownIbl));
    GeoFileRecord record;
    ASSERT_TRUE(make_geo_record(shown, record, nullptr));
    ASSERT_TRUE(READ_GEOMETRY(record));
    FOILPMG();
    ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
    EXPECT_EQ(solution_values(), loaded);
  }
}

// A file whose solution fails (a sweep of 90 degrees leaves no flow across
// the sections; a contour of zero thickness encloses no area) shows
// the reason instead of numbers, and a corrected sweep solves again.
TEST_F(WindowTest, DegenerateInputsShowTheirFailure) {
  // Short names: the reader takes paths of at most 80 characters.
  const std::string dir = scratch_dir("degen");
  const std::string sweep = dir + "/sweep90.dat";
  write_file(sweep, read_file(source_path("tests/data/degenerate/naca0012_sweep_90.dat")));
  ASSERT_TRUE(load(sweep)) << window->lastError.text();
  ProblemState& s = state();
  ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kFailed);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError.left(27), FXString("The panel solution failed: "));
  EXPECT_NE(window->lastError.find("the sweep angle SWEPT = 90 leaves no flow"), -1)
      << window->lastError.text();
  EXPECT_EQ(window->configurationLabel->getText().left(17), FXString("Solution failed: "));
  EXPECT_NE(window->configurationLabel->getText().find("between -90 and 90 degrees"), -1);
  EXPECT_EQ(window->cliftText, FXString());
  EXPECT_EQ(window->elements[0].elementCliftText, FXString());

  setSpinner(window->sweptSpinner, 30.0);
  send(W::ID_SWEPT);
  EXPECT_DOUBLE_EQ(s.SWEPT, 30.0);
  ASSERT_EQ(s.SOLUTION_STATUS, SolutionStatus::kOk) << s.SOLUTION_MESSAGE.c;
  EXPECT_EQ(window->configurationLabel->getText(), window->configurationText);
  EXPECT_GT(window->cliftText.length(), 0);
  // ALPHA 0 on a symmetric section: no lift, also when swept.
  EXPECT_NEAR(s.CYS, 0.0, 1e-6);
  EXPECT_EQ(window->errorCount, 1);

  freshWindow();
  const std::string flat = dir + "/flat.dat";
  write_file(flat, read_file(source_path("tests/data/degenerate/flat_plate_two_rows.dat")));
  ASSERT_TRUE(load(flat)) << window->lastError.text();
  ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kFailed);
  EXPECT_NE(window->lastError.find("the contour encloses no area"), -1)
      << window->lastError.text();
  EXPECT_EQ(window->cliftText, FXString());
}

}  // namespace
}  // namespace sorvane::testing

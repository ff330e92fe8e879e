// "BL Calculation": the order of the solver calls, the surfaces left out,
// one new modeless dialog per click, and the one box that reports a refused
// or partly failed run.
#include "tests/app/bl_fixture.h"
#include "tests/boundary_layer/bl_cases.h"

namespace sorvane::testing {
namespace {

using namespace FX;
using D = BlCalc_2D;
using W = Sorvane_2D;

TEST_F(BlWindowTest, SplitThenUpperThenLowerForEveryElementThenOneDialog) {
  loadThree("blorder");
  D* d = click();
  ASSERT_NE(d, nullptr);
  const std::vector<std::string> order = {"split 0", "upper 0", "lower 0", "split 1", "upper 1",
                                          "lower 1", "split 2", "upper 2", "lower 2"};
  EXPECT_EQ(fake.log(), order);
  EXPECT_EQ(window->blSurface, 1);
  EXPECT_EQ(window->errorCount, 0);
  EXPECT_TRUE(window->lastInformation.empty());
  EXPECT_TRUE(d->shown());
  EXPECT_EQ(d->getOwner(), window);
  // The run solves no panel problem.
  EXPECT_EQ(state().NCOMPUTE, 1);
  // The main window stays usable: an edit still recomputes.
  window->alphaSpinner->setValue(6.0);
  send(W::ID_ALPHA);
  EXPECT_EQ(state().NCOMPUTE, 2);
}

TEST_F(BlWindowTest, EachClickOpensOneMoreDialogOnTheResultsOfItsRun) {
  loadTwo("blclicks");
  D* first = click();
  const double firstTop = first ? first->rangeMax[D::Q_UE][0][0] : 0;
  // A new solution between the clicks: the second dialog shows the boundary
  // layer of the new one, the first keeps its own until it draws again.
  window->alphaSpinner->setValue(8.0);
  send(W::ID_ALPHA);
  fake.scale = 1.5;
  D* second = click();
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(window->blDialog, second);
  EXPECT_DOUBLE_EQ(first->rangeMax[D::Q_UE][0][0], firstTop);
  EXPECT_DOUBLE_EQ(second->rangeMax[D::Q_UE][0][0], 1.5 * firstTop);
  EXPECT_TRUE(first->shown());
  EXPECT_TRUE(second->shown());
  int dialogs = 0;
  for (FXWindow* w = test_app().getRootWindow()->getFirst(); w; w = w->getNext())
    dialogs += dynamic_cast<D*>(w) != nullptr;
  EXPECT_EQ(dialogs, 2);
}

TEST_F(BlWindowTest, SurfaceWithoutAStationListIsNotMarched) {
  loadThree("blskip");
  fake.listLength[{1, 1}] = 2;  // element 2, lower surface
  D* d = click();
  ASSERT_NE(d, nullptr);  // the other surfaces have results
  const std::vector<std::string> order = {"split 0", "upper 0", "lower 0", "split 1",
                                          "upper 1", "split 2", "upper 2", "lower 2"};
  EXPECT_EQ(fake.log(), order);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError, FXString("Element 2: the lower surface has no station list."));
}

TEST_F(BlWindowTest, RefusedRunShowsOneBoxAndOpensNoDialog) {
  loadTwo("blrefused");
  // Every surface refused with the same reason: the reason once.
  fake.runFailure = "The Reynolds number REMILL = 0 is not above 0.";
  EXPECT_EQ(click(), nullptr);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError,
            FXString("The Reynolds number REMILL = 0 is not above 0.\n"
                     "No surface has a boundary-layer result: no dialog is opened."));
  EXPECT_EQ(fake.log().size(), 6u);
  // No stagnation point on any element: the splits' messages, no surface run.
  fake.calls.clear();
  fake.runFailure.clear();
  fake.splitFailure = "No stagnation point: the surface velocity does not change sign.";
  EXPECT_EQ(click(), nullptr);
  EXPECT_EQ(window->errorCount, 2);
  EXPECT_EQ(fake.log(), (std::vector<std::string>{"split 0", "split 1"}));
  EXPECT_EQ(window->lastError.find("No stagnation point"), 0);
  EXPECT_EQ(window->blDialog, nullptr);
}

// A run that the solver refuses as a whole ("Re mill=" 0, or 1e308, whose
// Reynolds number overflows) is refused before the first split, in one
// line: the station lists and results an open dialog draws stay as they
// were, and so does the dialog.
TEST_F(BlWindowTest, RefusedRunLeavesTheResultsOfOpenDialogs) {
  loadTwo("blkeep");
  D* d = click();
  ASSERT_NE(d, nullptr);
  const ProblemState& s = state();
  const std::vector<double> ue(&s.UE(1, 1, 1), &s.UE(1, 1, 1) + 60);
  const double top = d->rangeMax[D::Q_UE][0][0];
  const struct {
    const char* typed;
    double remill;
    const char* line;
  } refused[] = {
      {"0", 0.0, "The boundary layer needs a finite Reynolds number above 0; Re mill= is 0."},
      {"1e308", 1e308,
       "The boundary layer needs a finite Reynolds number above 0; Re mill= is 1e+308, whose "
       "Reynolds number (Re mill= times 1e6) is beyond the range of numbers."},
  };
  for (const auto& r : refused) {
    SCOPED_TRACE(r.typed);
    fake.calls.clear();
    window->remillField->setText(r.typed);
    send(W::ID_REYNOLDS);
    ASSERT_EQ(s.REMILL, r.remill);
    const int errors = window->errorCount;
    EXPECT_EQ(click(), nullptr);
    EXPECT_TRUE(fake.calls.empty());  // not even a split
    EXPECT_EQ(window->errorCount, errors + 1);
    // The one line, then the line that says no dialog opens.
    EXPECT_EQ(window->lastError,
              FXString(r.line) + "\nNo surface has a boundary-layer result: no dialog is opened.")
        << window->lastError.text();
    for (int k = 1; k <= 2; ++k)
      for (int j = 1; j <= 2; ++j) {
        EXPECT_EQ(s.NX(k, j), 60);
        EXPECT_EQ(sorvane::gui::computed_stations(k, j), 60);
      }
    EXPECT_EQ(std::vector<double>(&s.UE(1, 1, 1), &s.UE(1, 1, 1) + 60), ue);
    d->drawPlots();
    EXPECT_DOUBLE_EQ(d->rangeMax[D::Q_UE][0][0], top);
  }
}

TEST_F(BlWindowTest, PartlyFailedRunListsFailuresThenRemarksAndOpensTheDialog) {
  loadTwo("blpartly");
  fake.stopAt[{1, 0}] = 20;
  fake.stopAt[{0, 1}] = 35;
  fake.warning[{0, 0}] = "The normal grid could not grow further.";
  fake.warning[{1, 1}] = "The normal grid could not grow further.";
  fake.warning[{1, 0}] = "Inverse mode from station 18.";
  D* d = click();
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError, FXString("Element 1, lower surface: station 36 did not converge.\n"
                                        "Element 2, upper surface: station 21 did not converge.\n"
                                        "\n"
                                        "Remark: The normal grid could not grow further.\n"
                                        "Remark: Inverse mode from station 18."));
  EXPECT_EQ(state().NXDONE(2, 1), 20);
  // Remarks alone are shown in an information box.
  fake.stopAt.clear();
  const int errors = window->errorCount;
  window->lastInformation = "";
  ASSERT_NE(click(), nullptr);
  EXPECT_EQ(window->errorCount, errors);
  EXPECT_EQ(window->lastInformation, FXString("Remark: The normal grid could not grow further.\n"
                                              "Remark: Inverse mode from station 18."));
}

TEST_F(BlWindowTest, NoRunOnAFailedPanelSolution) {
  loadTwo("blfailedpanel");
  // A Mach number of 1 with a compressibility correction has no solution.
  window->compressibilityRadio[1]->setCheck(TRUE);
  send(W::ID_COMPR_PRANDTL_GLAUERT);
  window->machSpinner->setRange(0, 2);
  window->machSpinner->setValue(1.2);
  send(W::ID_MACH);
  ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kFailed);
  const int errors = window->errorCount;
  EXPECT_EQ(click(), nullptr);
  EXPECT_TRUE(fake.calls.empty());
  EXPECT_EQ(window->errorCount, errors + 1);
  EXPECT_EQ(window->lastError.find("The boundary layer needs a valid panel solution"), 0);
}

// The entries of the solver itself on a file that asks for 900 points
// across the layer (more than the 821 the solver holds): one box, no
// dialog, and the program goes on.
TEST_F(WindowTest, LayerPointsBeyondCapacityAreRefusedInOneBox) {
  ASSERT_TRUE(load(example_copy("blnp900", "main_flap.dat", [](std::vector<std::string>& l) {
    set_field(l[5], 2, "900.00000");
  })));
  ASSERT_EQ(state().NP, 900);
  // No results of earlier tests in the store.
  for (int k = 1; k <= 5; ++k)
    for (int j = 1; j <= 2; ++j) state().NX(k, j) = state().NXDONE(k, j) = 0;
  const int errors = window->errorCount;
  EXPECT_EQ(send(W::ID_BL_CALCULATION), 1);
  settle();
  EXPECT_EQ(window->errorCount, errors + 1);
  EXPECT_EQ(window->blDialog, nullptr);
  EXPECT_FALSE(window->lastError.empty());
  EXPECT_NE(window->lastError.find("no dialog is opened"), -1);
  // Still usable.
  window->alphaSpinner->setValue(2.0);
  send(W::ID_ALPHA);
  EXPECT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
}

// The real boundary layer of thin sections at incidence, whose layers
// separate close behind the nose and have stations without a solution (the
// run's box lists them): the dialog shows no value that no layer could
// have. Its ranges, over every station it draws, keep the displacement
// thickness within a tenth of the chord and the edge velocity within 1.5
// times the largest one of the panel solution's surface, and are finite.
TEST_F(WindowTest, RealRunShowsNoStationThatNoLayerCouldHave) {
  window->blSplitEntry = sorvane::SXR;
  window->blSurfaceEntry = sorvane::FOIL_BL2D;
  struct Case {
    double thickness, alpha;
    int npanels;
  };
  for (const Case& c : {Case{0.06, 6, 200}, Case{0.03, 8, 120}}) {
    SCOPED_TRACE("NACA 00" + std::to_string(static_cast<int>(c.thickness * 100)));
    NacaCase n;
    n.thickness = c.thickness;
    n.alpha = c.alpha;
    n.npanels = c.npanels;
    const std::string path = scratch_dir("bl_possible") + "/case.dat";
    write_file(path, naca_geometry(n));
    // One file per window: a fresh window for each case.
    if (state().NCOMPUTE != 0) {
      freshWindow();
      window->blSplitEntry = sorvane::SXR;
      window->blSurfaceEntry = sorvane::FOIL_BL2D;
    }
    ASSERT_TRUE(load(path)) << window->lastError.text();
    double ue_max[2] = {0, 0};
    ASSERT_TRUE(sorvane::SXR(0).ok);
    for (int j = 1; j <= 2; ++j)
      for (int i = 1; i <= state().NX(1, j); ++i)
        ue_max[j - 1] = std::max(ue_max[j - 1], state().UE(i, 1, j));
    EXPECT_EQ(send(W::ID_BL_CALCULATION), 1);
    settle();
    D* d = window->blDialog;
    ASSERT_NE(d, nullptr) << window->lastError.text();
    EXPECT_NE(window->lastInformation.find("had no solution: stations "), -1)
        << window->lastInformation.text();
    // The solver's remark says what it did; the window adds how it shows them.
    EXPECT_NE(window->lastInformation.find("The plots leave the stations without a solution out "
                                           "of their curves and mark each with a grey tick"),
              -1)
        << window->lastInformation.text();
    for (int s = 0; s <= 1; ++s) {
      SCOPED_TRACE(s == 0 ? "upper surface" : "lower surface");
      ASSERT_GE(sorvane::gui::computed_stations(1, s + 1), 3);
      for (int q = D::Q_S; q < D::Q_COUNT; ++q) {
        EXPECT_TRUE(std::isfinite(d->rangeMin[q][s][0])) << "quantity " << q;
        EXPECT_TRUE(std::isfinite(d->rangeMax[q][s][0])) << "quantity " << q;
      }
      EXPECT_LE(d->rangeMax[D::Q_D1][s][0], 0.1);
      EXPECT_GE(d->rangeMin[D::Q_D1][s][0], 0.0);
      EXPECT_LE(d->rangeMax[D::Q_UE][s][0], 1.5 * ue_max[s]);
      EXPECT_GE(d->rangeMin[D::Q_UE][s][0], 0.0);
    }
  }
}

// examples/main_flap.dat at 4 degrees and Re 0.1 million: in the inverse
// region of the main element's upper surface three stations once converged
// on an edge velocity of 3e-9 to 2e-20 (on a surface whose edge velocity is
// about 2) and the dialog drew them as solved, on Ue = 0. No station the
// dialog holds as solved has an edge velocity below a thousandth of the
// surface's largest.
TEST_F(WindowTest, NoCollapsedEdgeVelocityIsShownAsSolved) {
  window->blSplitEntry = sorvane::SXR;
  window->blSurfaceEntry = sorvane::FOIL_BL2D;
  const std::string path =
      example_copy("bl_collapsed", "main_flap.dat", [](std::vector<std::string>& lines) {
        set_field(lines[3], 0, field10(4));
        set_field(lines[5], 0, field10(0.1));
      });
  ASSERT_TRUE(load(path)) << window->lastError.text();
  EXPECT_EQ(send(W::ID_BL_CALCULATION), 1);
  settle();
  D* d = window->blDialog;
  ASSERT_NE(d, nullptr) << window->lastError.text();
  int unsolved = 0;
  for (int k = 0; k < state().NELEM; ++k) {
    for (int s = 0; s <= 1; ++s) {
      const D::RunPicture::Surface& p = d->ownRun.surface[k][s];
      const std::vector<double>& ue = p.values[D::Q_UE];
      ASSERT_GE(p.stations, 3);
      const double largest = *std::max_element(ue.begin(), ue.begin() + p.stations);
      for (int i = 3; i <= p.stations; ++i) {
        if (!p.solved[i - 1]) {
          ++unsolved;
          continue;
        }
        EXPECT_GT(ue[i - 1], 1e-3 * largest)
            << "element " << k + 1 << ", surface " << s + 1 << ", station " << i;
      }
    }
  }
  EXPECT_GT(unsolved, 0);
}

TEST_F(WindowTest, NothingRunsBeforeAFileIsLoaded) {
  int calls = 0;
  window->blSplitEntry = [&](int) {
    ++calls;
    return Result::success();
  };
  EXPECT_EQ(send(W::ID_BL_CALCULATION), 1);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(window->blDialog, nullptr);
  EXPECT_EQ(window->errorCount, 0);
}

}  // namespace
}  // namespace sorvane::testing

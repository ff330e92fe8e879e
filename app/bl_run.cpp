// "BL Calculation": the boundary layer of both surfaces of every element from
// the current panel solution, one box with what the run reported, and a new
// modeless dialog on the results.
#include <algorithm>

#include "app/bl_dialog.h"
#include "app/main_window.h"
#include "solver/boundary_layer/boundary_layer.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;

namespace {

void add_once(std::vector<std::string>& list, const std::string& text) {
  if (std::find(list.begin(), list.end(), text) == list.end()) list.push_back(text);
}

// The messages of one entry into the run's lists.
void collect(Sorvane_2D::BoundaryLayerRun& run, const sorvane::Result& r) {
  if (!r.ok)
    add_once(run.failures,
             r.message.empty() ? std::string("A boundary-layer entry failed.") : r.message);
  for (const std::string& w : r.warnings) add_once(run.warnings, w);
}

}  // namespace

void Sorvane_2D::runBoundaryLayer() {
  blRun = BoundaryLayerRun();
  if (!loaded) return;
  ProblemState& s = state();
  const int n = sorvane::addressable_elements(s.NELEM);
  if (n <= 0) return;
  // The split reads the surface velocity of the panel solution: after a
  // failed solution there is none to read.
  if (s.SOLUTION_STATUS != SolutionStatus::kOk) {
    blRun.failures.push_back(
        "The boundary layer needs a valid panel solution; the last solution failed: " +
        std::string(s.SOLUTION_MESSAGE.c, s.SOLUTION_MESSAGE.trimmed_length()));
    return;
  }
  // A run that would be refused is refused before the first split: the
  // split rewrites the station lists that open dialogs draw.
  const sorvane::Result inputs = sorvane::check_boundary_layer_run();
  if (!inputs) {
    blRun.failures.push_back(inputs.message);
    return;
  }
  blRun.storeWritten = true;
  for (int e = 0; e < n; ++e) {
    collect(blRun, blSplitEntry(e));
    for (int surface = 0; surface < 2; ++surface) {
      blSurface = surface;
      // A surface the split left without a station list has nothing to
      // march; the split has said why.
      if (s.NX(e + 1, surface + 1) < sorvane::gui::kResultStations) continue;
      collect(blRun, blSurfaceEntry(e, blSurface));
      // Only a surface marched now counts, not what an earlier run left.
      const int computed = sorvane::gui::computed_stations(e + 1, surface + 1);
      if (computed >= sorvane::gui::kResultStations) blRun.anyResult = true;
      for (int i = sorvane::gui::kFirstMarchedStation; i <= computed; ++i)
        if (s.SOLVED(i, e + 1, surface + 1) == 0) blRun.unsolvedStations = true;
    }
  }
  // Listings that lost records during the run are reported with it.
  for (const std::string& lost : takeNewListingFailures()) add_once(blRun.failures, lost);
  updateStatusLabel();
}

void Sorvane_2D::reportBoundaryLayerRun(FXWindow* owner) {
  if (blRun.failures.empty() && blRun.warnings.empty()) return;
  FXString text;
  for (const std::string& f : blRun.failures) {
    if (!text.empty()) text += "\n";
    text += f.c_str();
  }
  if (!blRun.warnings.empty() && !text.empty()) text += "\n";
  for (const std::string& w : blRun.warnings) {
    if (!text.empty()) text += "\n";
    text += FXString("Remark: ") + w.c_str();
  }
  // The solver says what it did with stations without a solution; the
  // window says how it shows them.
  if (blRun.unsolvedStations && blRun.anyResult)
    text += "\nThe plots leave the stations without a solution out of their curves and mark "
            "each with a grey tick on the arc-length axis.";
  if (!blRun.failures.empty())
    showErrorOver(owner, "BL Calculation", text);
  else
    showInformationOver(owner, "BL Calculation", text);
}

long Sorvane_2D::onCmdBLCalculation(FXObject*, FXSelector, void*) {
  if (!loaded) return 1;
  runBoundaryLayer();
  FXWindow* owner = this;
  if (blRun.anyResult) {
    // The dialog reads the results just computed. Earlier dialogs stay
    // open and usable; the window keeps the newest.
    blDialog = new BlCalc_2D(this);
    blDialog->create();
    blDialog->placeOnScreen();
    blDialog->show(PLACEMENT_DEFAULT);
    owner = blDialog;
  } else if (sorvane::addressable_elements(state().NELEM) > 0) {
    blRun.failures.push_back("No surface has a boundary-layer result: no dialog is opened.");
  }
  reportBoundaryLayerRun(owner);
  return 1;
}

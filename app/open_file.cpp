// "&Open...": choose a geometry file, have the panel solver read it, set the
// window's controls from what was read and run the first solution.
#include <array>
#include <string>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/limits.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"
#include "solver/state/result.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::state;
using sorvane::gui::string_from_double;
using sorvane::gui::string_from_int;

namespace {

// The geometry file at path read into the problem state. The reader's record
// holds 80 characters of path: a longer one is refused before it is read.
[[nodiscard]] sorvane::Result read_geometry(const FXString& path) {
  const std::string name(path.text(), path.length());
  sorvane::GeoFileRecord record;
  std::string refused;
  if (!sorvane::make_geo_record(name, record, &refused))
    return sorvane::Result::failure(refused.empty() ? "The path " + name + " cannot be used."
                                                    : refused);
  return sorvane::READ_GEOMETRY(record);
}

}  // namespace

long Sorvane_2D::onCmdOpen(FXObject*, FXSelector, void*) {
  FXFileDialog dialog(this, "Open Input Geometry file", 0, 0, 0, 500, 300);
  dialog.setPatternList("Files (*.dat)");
  if (!dialog.execute(PLACEMENT_CURSOR)) return 1;  // cancelled: nothing changes
  const FXString chosen = dialog.getFilename();
  fxmessage("File=%s\n", chosen.text());
  openFile(chosen);
  return 1;
}

bool Sorvane_2D::openFile(const FXString& path) {
  const sorvane::Result read = read_geometry(path);
  if (!read) {
    // The reader leaves the state untouched; so does the window, and
    // "&Open..." stays available for another file.
    showError("Open Input Geometry file", FXString(read.message.c_str()));
    return false;
  }
  inputPath = path;
  ProblemState& s = state();

  // The option controls show what the solvers apply, whatever value the
  // file holds (a value outside the documented ones shows the choice it
  // falls back to).
  const int compr = static_cast<int>(sorvane::compressibility_correction(s.ICOMPR));
  for (int i = 0; i < 4; ++i) compressibilityRadio[i]->setCheck(i == compr, FALSE);
  const bool addPoint =
      sorvane::te_condition(s.ITE) == sorvane::TrailingEdge::kAdditionalPoint;
  addPointRadio->setCheck(addPoint, FALSE);
  cpEqualRadio->setCheck(!addPoint, FALSE);

  // Where the element positions come from.
  configurationText =
      sorvane::placement_from_contour(s.IPOS) ? kPositionsFromGeometry : kPositionsFromFile;
  configurationLabel->setStatus(configurationText);

  // Boundary-layer controls only where the run is offered.
  if (sorvane::boundary_layer_offered(s.IBL)) {
    blCalculationButton->enable();
  } else {
    remillField->disable();
    blCalculationButton->disable();
    const int n = sorvane::addressable_elements(s.NELEM);
    for (int i = 0; i < n; ++i) {
      elements[i].xtruField->disable();
      elements[i].xtrlField->disable();
    }
  }

  loaded = true;
  loadControlsFromSolver();

  saveResultButton->enable();
  openCommand->disable();
  return true;
}

void Sorvane_2D::loadControlsFromSolver() {
  ProblemState& s = state();
  sorvane::FOILPMG();

  const int n = sorvane::addressable_elements(s.NELEM);
  for (int i = n; i < sorvane::kMaxElements; ++i) elements[i].tab->hide();

  alphaSpinner->setValue(s.ALPHA, FALSE);
  machSpinner->setValue(s.MACH, FALSE);
  sweptSpinner->setValue(s.SWEPT, FALSE);

  remillValue = s.REMILL;
  remillText = string_from_double(s.REMILL, 4);
  remillField->setText(remillText, FALSE);

  for (int k = 1; k <= n; ++k) {
    ElementTab& t = elements[k - 1];
    // Every placement spinner shows the file's value as it is: its range
    // widened where the value lies beyond it, before the value is set.
    const std::array<FXRealSpinner*, 5> spinners = t.placementSpinners();
    const double placement[5] = {s.XAX(k), s.YAX(k), s.XX(k), s.YY(k), s.DFL(k)};
    for (int p = 0; p < 5; ++p) setPlacementRange(spinners[p], p, placement[p]);
    t.angleSpinner->setIncrement(0.1);
    t.angleSpinner->setGranularity(0.01);

    t.angleSpinner->setValue(s.DFL(k), FALSE);
    t.xfSpinner->setValue(s.XAX(k), FALSE);
    t.yfSpinner->setValue(s.YAX(k), FALSE);
    t.xcSpinner->setValue(s.XX(k), FALSE);
    t.ycSpinner->setValue(s.YY(k), FALSE);

    t.npanelsValue = s.NPANELS(k);
    t.npanelsText = string_from_int(s.NPANELS(k));
    t.npanelsField->setText(t.npanelsText, FALSE);

    t.xtruValue = s.XTR(k, 1);
    t.xtruText = string_from_double(s.XTR(k, 1), 4);
    t.xtruField->setText(t.xtruText, FALSE);

    t.xtrlValue = s.XTR(k, 2);
    t.xtrlText = string_from_double(s.XTR(k, 2), 4);
    t.xtrlField->setText(t.xtrlText, FALSE);
  }

  refreshResults();
  s.NCOMPUTE = 1;
}

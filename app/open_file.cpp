// "&Open...": choose a geometry file, have the panel solver read it, set the
// window's controls from what was read and run the first solution.
#include <string>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "solver/panel/geometry_input.h"
#include "solver/panel/panel_solution.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::state;
using sorvane::gui::string_from_double;
using sorvane::gui::string_from_int;

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
  // The reader's record holds 80 characters of path; a longer one is refused.
  sorvane::GeoFileRecord record;
  std::string refused;
  if (!sorvane::make_geo_record(std::string(path.text(), path.length()), record, &refused)) {
    showError("Open Input Geometry file", refused.empty()
                                              ? "The path " + path + " cannot be used."
                                              : FXString(refused.c_str()));
    return false;
  }
  const sorvane::Result read = sorvane::READ_GEOMETRY(record);
  if (!read.ok) {
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
  configurationText = sorvane::placement_from_contour(s.IPOS)
                          ? "from geometry of airfoils "
                          : "from input file, values: XX,YY,XAX,YAX DFL for each elements";
  configurationLabel->setText(configurationText);

  // Boundary-layer controls only where the run is offered.
  if (sorvane::boundary_layer_offered(s.IBL)) {
    blCalculationButton->enable();
  } else {
    remillField->disable();
    blCalculationButton->disable();
    for (int i = 0; i < s.NELEM && i < 5; ++i) {
      xtruField[i]->disable();
      xtrlField[i]->disable();
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

  const int n = s.NELEM < 0 ? 0 : (s.NELEM > 5 ? 5 : s.NELEM);
  for (int k = n + 1; k <= 5; ++k) elementTab[k - 1]->hide();

  alphaSpinner->setValue(s.ALPHA, FALSE);
  machSpinner->setValue(s.MACH, FALSE);
  sweptSpinner->setValue(s.SWEPT, FALSE);

  remillValue = s.REMILL;
  remillText = string_from_double(s.REMILL, 4);
  remillField->setText(remillText, FALSE);

  for (int k = 1; k <= n; ++k) {
    const int i = k - 1;
    angleSpinner[i]->setRange(-85, 85, FALSE);
    angleSpinner[i]->setIncrement(0.1);
    angleSpinner[i]->setGranularity(0.01);

    angleSpinner[i]->setValue(s.DFL(k), FALSE);
    xfSpinner[i]->setValue(s.XAX(k), FALSE);
    yfSpinner[i]->setValue(s.YAX(k), FALSE);
    xcSpinner[i]->setValue(s.XX(k), FALSE);
    ycSpinner[i]->setValue(s.YY(k), FALSE);

    npanelsValue[i] = s.NPANELS(k);
    npanelsText[i] = string_from_int(s.NPANELS(k));
    npanelsField[i]->setText(npanelsText[i], FALSE);

    xtruValue[i] = s.XTR(k, 1);
    xtruText[i] = string_from_double(s.XTR(k, 1), 4);
    xtruField[i]->setText(xtruText[i], FALSE);

    xtrlValue[i] = s.XTR(k, 2);
    xtrlText[i] = string_from_double(s.XTR(k, 2), 4);
    xtrlField[i]->setText(xtrlText[i], FALSE);
  }

  refreshResults();
  s.NCOMPUTE = 1;
}

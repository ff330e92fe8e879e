// Speed of the boundary-layer window work for examples/main_flap.dat (two
// elements): one "BL Calculation" click (the run of both surfaces of both
// elements, the dialog's construction and its first paint, flushed to the
// display) and one "Recalculate" in the dialog (the run and both plots).
// Run under a display (xvfb-run).
//
// Argument 0 times the boundary-layer solver itself; argument 1 puts
// made-up results in the store instead of running it, which times the
// window's own share (the dialog, its ranges and its plots). Each benchmark
// reads back from the display that the dialog drew a curve (a dialog
// without results draws an empty frame in far less time).
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>

#include "app/bl_dialog.h"
#include "bench/window_bench_support.h"
#include "solver/state/problem_state.h"

namespace {

using sorvane::bench::app;

std::string bench_copy() {
  namespace fs = std::filesystem;
  const fs::path p = sorvane::bench::scratch_dir("sorvane_bl_");
  fs::copy_file(fs::path(SORVANE_SOURCE_DIR) / "examples" / "main_flap.dat", p / "main_flap.dat");
  return (p / "main_flap.dat").string();
}

// Made-up results: as many stations as the panel counts give a surface.
sorvane::Result made_up_split(int e) {
  sorvane::ProblemState& st = sorvane::state();
  const int k = e + 1;
  for (int s = 1; s <= 2; ++s) {
    const int n = std::min(st.NPANELS(k) / 2 + 1, sorvane::kStations);
    st.NX(k, s) = n;
    for (int i = 1; i <= n; ++i) {
      const double x = static_cast<double>(i - 1) / (n - 1);
      st.S(i, k, s) = st.BELEM(k) * x;
      st.UE(i, k, s) = 1.5 * std::sqrt(x) * (1 - 0.3 * x);
      st.CF(i, k, s) = 0.008 * (1 - x) * (1 - x);
      st.D1(i, k, s) = 0.001 + 0.01 * x * x;
      st.H12(i, k, s) = 2.6 - x;
      st.D2(i, k, s) = st.D1(i, k, s) / st.H12(i, k, s);
      st.RV(i, k, s) = 0;
    }
    st.XINV(k, s) = st.S(n, k, s);
    st.NXDONE(k, s) = 0;
  }
  st.NXMAX(k) = std::max(st.NX(k, 1), st.NX(k, 2));
  return sorvane::Result::success();
}

// The surface run: every station computed, each with a solution of its own.
sorvane::Result made_up_surface(int e, int surface) {
  sorvane::ProblemState& st = sorvane::state();
  const int k = e + 1, s = surface + 1;
  st.NXDONE(k, s) = st.NX(k, s);
  for (int i = 1; i <= st.NX(k, s); ++i) st.SOLVED(i, k, s) = 1;
  return sorvane::Result::success();
}

// A main window with the example loaded, no results of an earlier benchmark
// in the store, and for argument 1 the made-up entries; or nullptr (the
// benchmark then reports why).
Sorvane_2D* loaded_window(benchmark::State& st, const std::string& path) {
  Sorvane_2D* window = sorvane::bench::loaded_window(st, path);
  if (!window) return nullptr;
  sorvane::ProblemState& s = sorvane::state();
  for (int k = 1; k <= sorvane::kMaxElements; ++k)
    for (int j = 1; j <= 2; ++j) s.NX(k, j) = s.NXDONE(k, j) = 0;
  if (st.range(0) == 1) {
    window->blSplitEntry = made_up_split;
    window->blSurfaceEntry = made_up_surface;
  }
  return window;
}

// Handles what the display has to say (mapping, exposure), lets the fields
// show their values (as the event loop does when it is idle: "Recalculate"
// reads the dialog's field texts) and paints.
void to_display() {
  app->flush(TRUE);
  app->runWhileEvents();
  app->forceRefresh();
  app->repaint();
  app->flush(TRUE);
}

// Whether the dialog's upper plot on the display holds a curve: pixels of
// the shown element's colour inside the plot area (off the margins, where
// the labels are).
bool curve_drawn(BlCalc_2D* dialog) {
  FX::FXCanvas* canvas = dialog->ueCanvas;
  const int w = canvas->getWidth(), h = canvas->getHeight();
  FX::FXImage image(app, nullptr, FX::IMAGE_KEEP, w, h);
  image.create();
  {
    FX::FXDCWindow dc(&image);
    dc.drawArea(canvas, 0, 0, w, h, 0, 0);
  }
  image.restore();
  const FX::FXColor colour =
      FX::fxcolorfromname(dialog->elementColor[dialog->currentElement]) & 0x00FFFFFF;
  int pixels = 0;
  for (int y = 6; y < h - 21; ++y)
    for (int x = 46; x < w - 5; ++x) pixels += (image.getPixel(x, y) & 0x00FFFFFF) == colour;
  return pixels > 100;
}

void counters(benchmark::State& st) {
  const sorvane::ProblemState& s = sorvane::state();
  int stations = 0;
  for (int k = 1; k <= s.NELEM; ++k) stations += s.NXDONE(k, 1) + s.NXDONE(k, 2);
  st.counters["elements"] = s.NELEM;
  st.counters["stations"] = stations;
}

void BM_BLCalculationClick(benchmark::State& st) {
  const std::string path = bench_copy();
  Sorvane_2D* window = loaded_window(st, path);
  if (!window) return;
  bool drawn = false;  // checked once, untimed
  for (auto _ : st) {
    window->handle(window, FXSEL(FX::SEL_COMMAND, Sorvane_2D::ID_BL_CALCULATION), nullptr);
    BlCalc_2D* dialog = window->blDialog;
    if (!dialog) {
      st.SkipWithError(("no boundary-layer result: " + std::string(window->lastError.text()))
                           .c_str());
      break;
    }
    to_display();
    st.PauseTiming();
    if (!drawn && !(drawn = curve_drawn(dialog))) {
      st.SkipWithError("the dialog drew no curve");
      delete dialog;
      window->blDialog = nullptr;
      break;
    }
    delete dialog;
    window->blDialog = nullptr;
    app->runWhileEvents();
    st.ResumeTiming();
  }
  counters(st);
  delete window;
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_BLCalculationClick)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Recalculate(benchmark::State& st) {
  const std::string path = bench_copy();
  Sorvane_2D* window = loaded_window(st, path);
  if (!window) return;
  window->handle(window, FXSEL(FX::SEL_COMMAND, Sorvane_2D::ID_BL_CALCULATION), nullptr);
  BlCalc_2D* dialog = window->blDialog;
  if (!dialog) {
    st.SkipWithError(("no boundary-layer result: " + std::string(window->lastError.text()))
                         .c_str());
  } else {
    to_display();
    for (auto _ : st) {
      dialog->handle(dialog, FXSEL(FX::SEL_COMMAND, BlCalc_2D::ID_RECALCULATE), nullptr);
      app->flush(TRUE);  // the drawing reaches the display
    }
    // A refused "Recalculate" (a field without a number) runs nothing.
    if (window->errorCount != 0)
      st.SkipWithError(("Recalculate refused: " + std::string(window->lastError.text())).c_str());
    else if (!curve_drawn(dialog))
      st.SkipWithError("the dialog drew no curve");
    counters(st);
  }
  delete window;
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}
BENCHMARK(BM_Recalculate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return sorvane::bench::run_window_benchmarks(argc, argv, "window_bl_bench");
}

// Speed of one arrow click on "Alpha=" in the main window: the handler, the
// panel solution, the refresh of the results and the drawing of the plot
// (flushed to the display), for the Williams main aerofoil with flap at 200
// panels an element. Run under a display (xvfb-run).
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench/window_bench_support.h"
#include "solver/state/problem_state.h"
#include "tests/panel/solution_cases.h"

namespace {

using sorvane::bench::app;

void BM_AlphaArrowClick(benchmark::State& st) {
  const std::string dir = sorvane::bench::scratch_dir("sorvane_click_");
  const std::string path = dir + "/williams.dat";
  {
    const sorvane::cases::Config c = sorvane::cases::williams(
        std::string(SORVANE_SOURCE_DIR) + "/tests/data/williams", 300, 200, 0, 0.002);
    std::FILE* f = std::fopen(path.c_str(), "w");
    const std::string text = sorvane::cases::geometry_text(c);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  Sorvane_2D* window = sorvane::bench::loaded_window(st, path);
  if (!window) return;
  double alpha = 0.0;
  for (auto _ : st) {
    // One click up, the next one down, so the angle stays near the case's.
    alpha = alpha == 0.0 ? window->alphaSpinner->getIncrement() : 0.0;
    window->alphaSpinner->setValue(alpha, FALSE);
    window->handle(window->alphaSpinner, FXSEL(FX::SEL_COMMAND, Sorvane_2D::ID_ALPHA), nullptr);
    app->flush(TRUE);  // the drawing reaches the display
  }
  st.counters["panels"] = sorvane::state().NPANELS(1) + sorvane::state().NPANELS(2);
  st.counters["ok"] = sorvane::state().SOLUTION_STATUS == sorvane::SolutionStatus::kOk;
  delete window;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_AlphaArrowClick)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

int main(int argc, char** argv) {
  return sorvane::bench::run_window_benchmarks(argc, argv, "window_click_bench");
}

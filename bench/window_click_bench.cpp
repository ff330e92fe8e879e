// Speed of one arrow click on "Alpha=" in the main window: the handler, the
// panel solution, the refresh of the results and the drawing of the plot
// (flushed to the display), for the Williams main aerofoil with flap at 200
// panels an element. Run under a display (xvfb-run).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/main_window.h"
#include "solver/state/problem_state.h"
#include "solver/text/units.h"
#include "tests/panel/solution_cases.h"

namespace {

FX::FXApp* app = nullptr;

std::string bench_dir() {
  namespace fs = std::filesystem;
  fs::path p = fs::temp_directory_path() / ("sorvane_click_" + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

void BM_AlphaArrowClick(benchmark::State& st) {
  static std::FILE* devnull = std::fopen("/dev/null", "w");
  sorvane::text::units().redirect_stdout(devnull);
  const std::string dir = bench_dir();
  const std::string path = dir + "/williams.dat";
  {
    const sorvane::cases::Config c = sorvane::cases::williams(
        std::string(SORVANE_SOURCE_DIR) + "/tests/data/williams", 300, 200, 0, 0.002);
    std::FILE* f = std::fopen(path.c_str(), "w");
    const std::string text = sorvane::cases::geometry_text(c);
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
  }
  Sorvane_2D* window = new Sorvane_2D(app);
  window->quietErrors = true;
  window->create();
  app->runWhileEvents();
  if (!window->openFile(path.c_str())) {
    st.SkipWithError(window->lastError.text());
    delete window;
    return;
  }
  app->runWhileEvents();
  app->flush(TRUE);
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
  ::benchmark::Initialize(&argc, argv);
  int fxargc = 1;
  char name[] = "window_click_bench";
  char* fxargv[] = {name, nullptr};
  app = new FX::FXApp("Sorvane_2D_bench", "FOX Sorvane_2D");
  app->init(fxargc, fxargv, TRUE);
  app->create();
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}

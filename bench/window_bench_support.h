// What the window benchmarks share: the toolkit application (one a
// process), a scratch directory, a main window with a geometry file loaded,
// and the program's main. Run under a display (xvfb-run).
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/main_window.h"
#include "solver/text/units.h"

namespace sorvane::bench {

inline FX::FXApp* app = nullptr;

// A new, empty directory under the system's temporary one, named after the
// prefix and the process.
inline std::string scratch_dir(const std::string& prefix) {
  namespace fs = std::filesystem;
  const fs::path p = fs::temp_directory_path() / (prefix + std::to_string(::getpid()));
  fs::remove_all(p);
  fs::create_directories(p);
  return p.string();
}

// A main window with the geometry file at path loaded and drawn, the
// listings' standard output going nowhere; nullptr, with the benchmark told
// why, when the file cannot be opened.
inline Sorvane_2D* loaded_window(benchmark::State& st, const std::string& path) {
  static std::FILE* devnull = std::fopen("/dev/null", "w");
  sorvane::text::units().redirect_stdout(devnull);
  Sorvane_2D* window = new Sorvane_2D(app);
  window->quietErrors = true;
  window->create();
  app->runWhileEvents();
  if (!window->openFile(path.c_str())) {
    st.SkipWithError(window->lastError.text());
    delete window;
    return nullptr;
  }
  app->runWhileEvents();
  app->flush(TRUE);
  return window;
}

// The benchmarks' arguments, then the toolkit's application named `name`,
// then every benchmark.
inline int run_window_benchmarks(int argc, char** argv, const char* name) {
  ::benchmark::Initialize(&argc, argv);
  int fxargc = 1;
  std::string program = name;
  char* fxargv[] = {program.data(), nullptr};
  app = new FX::FXApp("Sorvane_2D_bench", "FOX Sorvane_2D");
  app->init(fxargc, fxargv, TRUE);
  app->create();
  ::benchmark::RunSpecifiedBenchmarks();
  ::benchmark::Shutdown();
  return 0;
}

}  // namespace sorvane::bench

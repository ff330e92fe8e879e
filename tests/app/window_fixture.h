// One toolkit application for the whole window test program (the toolkit
// allows one) and a fresh main window per test; geometry files made from
// the examples come from tests/example_copy.h.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "solver/state/problem_state.h"
#include "tests/example_copy.h"
#include "tests/test_support.h"

namespace sorvane::testing {

inline FX::FXApp& test_app() {
  static FX::FXApp* app = [] {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    auto* a = new FX::FXApp("Sorvane_2D_tests", "FOX Sorvane_2D");
    a->init(argc, argv, TRUE);
    a->create();
    return a;
  }();
  return *app;
}

// Handles pending events (layout, exposure) until none is left.
inline void settle() {
  for (int i = 0; i < 5; ++i) {
    test_app().runWhileEvents();
    test_app().forceRefresh();  // widgets update from their targets
    test_app().repaint();  // the exposures the toolkit has gathered
    test_app().flush(TRUE);
  }
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override { freshWindow(); }
  // A new main window in place of the one there is (one file is opened per
  // window), its errors kept quiet, created and settled.
  void freshWindow() {
    delete window;
    window = new Sorvane_2D(&test_app());
    window->quietErrors = true;
    window->create();
    settle();
  }
  void TearDown() override {
    delete window;
    window = nullptr;
    settle();
  }
  long send(FX::FXSelector id, FX::FXuint type = FX::SEL_COMMAND) {
    return window->handle(window, FXSEL(type, id), nullptr);
  }
  // Loads a file through the seam that "&Open..." uses after its dialog.
  bool load(const std::string& path) { return window->openFile(path.c_str()); }
  void setSpinner(FX::FXRealSpinner* s, double v) { s->setValue(v, FALSE); }
  void setField(FX::FXTextField* f, const char* text) { f->setText(text, FALSE); }

  Sorvane_2D* window = nullptr;
};

}  // namespace sorvane::testing

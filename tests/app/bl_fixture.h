// Boundary-layer dialog tests: made-up results in the result store,
// stand-ins for the solver's entries, a drawing context that records what is
// drawn, and a window fixture with a loaded file.
#pragma once

#include <algorithm>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/bl_dialog.h"
#include "tests/app/window_fixture.h"

namespace sorvane::testing {

// Smooth made-up results of surface s (1 upper, 2 lower) of element k: nx
// stations from the stagnation point over the arc length `length`, all of
// them computed and solved, no separation (XINV at the last station); edge
// velocity and skin friction times `scale`.
inline void fabricate_surface(int k, int s, int nx, double length, double scale = 1.0) {
  ProblemState& st = state();
  st.NX(k, s) = nx;
  for (int i = 1; i <= nx; ++i) {
    const double x = nx > 1 ? static_cast<double>(i - 1) / (nx - 1) : 0.0;
    st.S(i, k, s) = length * x;
    st.UE(i, k, s) = scale * (1.2 + 0.1 * k + 0.2 * s) * std::sqrt(x) * (1.0 - 0.3 * x);
    st.CF(i, k, s) = scale * (0.008 * (1 - x) * (1 - x) - 0.0005);
    st.D1(i, k, s) = 0.001 + 0.01 * x * x;
    st.H12(i, k, s) = 2.6 - 1.0 * x;
    st.D2(i, k, s) = st.D1(i, k, s) / st.H12(i, k, s);
    st.RV(i, k, s) = 0.0001 * x;
    st.VW(i, k, s) = 0.0;
    st.SOLVED(i, k, s) = 1;
  }
  st.XINV(k, s) = nx > 0 ? st.S(nx, k, s) : 0.0;
  st.NXMAX(k) = std::max(st.NX(k, 1), st.NX(k, 2));
  st.NXDONE(k, s) = nx;
}

// Stand-ins for the boundary-layer entries: the split makes up the station
// lists of an element from its chord, a surface run "computes" all of them.
// Every call is logged with the Reynolds number and transition position it
// saw; single surfaces can be made to stop early, to warn, to have no list
// or to leave stations without a solution; the results can be made to
// depend on the Reynolds number.
struct FakeBoundaryLayer {
  struct Call {
    std::string what;  // "split 0", "upper 0", "lower 0", ...
    double remill = 0, xtr = 0;
  };
  std::vector<Call> calls;
  int stations = 60;
  double scale = 1.0;  // factor on every edge velocity and skin friction
  // The factor is scale times REMILL to this power: with a power other
  // than 0 a run at another Reynolds number gives other results.
  double reynoldsPower = 0.0;
  // (element, surface) -> stations left without a solution. The store holds
  // a stand-in in each of their values but the arc length: the values of
  // the station before, as the solver's first guess (a flat plateau), or
  // standIn when one is given.
  std::map<std::pair<int, int>, std::vector<int>> unsolved;
  std::optional<double> standIn;
  std::map<std::pair<int, int>, int> stopAt;     // (element, surface) -> last good station
  std::map<std::pair<int, int>, std::string> warning;
  std::map<std::pair<int, int>, int> listLength;  // stations the split gives a surface
  std::string splitFailure;  // every split fails with this text, lists empty
  std::string runFailure;    // every surface run is refused with this text

  std::vector<std::string> log() const {
    std::vector<std::string> out;
    for (const Call& c : calls) out.push_back(c.what);
    return out;
  }

  void install(Sorvane_2D* w) {
    w->blSplitEntry = [this](int e) { return split(e); };
    w->blSurfaceEntry = [this](int e, int surface) { return run(e, surface); };
  }

  Result split(int e) {
    const int k = e + 1;
    calls.push_back({"split " + std::to_string(e), state().REMILL, 0});
    ProblemState& st = state();
    if (!splitFailure.empty()) {
      for (int s = 1; s <= 2; ++s) {
        st.NX(k, s) = 0;
        st.XINV(k, s) = 0;
        st.NXDONE(k, s) = 0;
      }
      return Result::failure(splitFailure);
    }
    Result r;
    for (int s = 1; s <= 2; ++s) {
      auto it = listLength.find({e, s - 1});
      const int n = it == listLength.end() ? stations : it->second;
      fabricate_surface(k, s, n, st.BELEM(k) * (s == 1 ? 1.05 : 1.0),
                        scale * std::pow(st.REMILL, reynoldsPower));
      st.NXDONE(k, s) = 0;  // nothing computed since the split
      if (n < 3) {
        st.NX(k, s) = 0;
        st.XINV(k, s) = 0;
        r = Result::failure("Element " + std::to_string(k) + ": the " +
                            (s == 1 ? "upper" : "lower") + " surface has no station list.");
      }
    }
    return r;
  }

  Result run(int e, int surface) {
    const int k = e + 1, s = surface + 1;
    calls.push_back({std::string(surface == 0 ? "upper " : "lower ") + std::to_string(e),
                     state().REMILL, state().XTR(k, s)});
    if (!runFailure.empty()) return Result::failure(runFailure);
    ProblemState& st = state();
    auto stop = stopAt.find({e, surface});
    Result r;
    if (stop != stopAt.end()) {
      st.NXDONE(k, s) = stop->second;
      // As the solver does: the region past the last good station starts
      // there at the latest.
      st.XINV(k, s) = std::min(st.XINV(k, s), st.S(stop->second, k, s));
      r = Result::failure("Element " + std::to_string(k) + ", " +
                          (surface == 0 ? "upper" : "lower") + " surface: station " +
                          std::to_string(stop->second + 1) + " did not converge.");
    } else {
      st.NXDONE(k, s) = st.NX(k, s);
    }
    auto u = unsolved.find({e, surface});
    if (u != unsolved.end())
      for (int i : u->second) {
        if (i < 1 || i > st.NXDONE(k, s)) continue;
        st.SOLVED(i, k, s) = 0;
        for (auto* a : {&st.UE, &st.CF, &st.D1, &st.D2, &st.RV, &st.H12})
          (*a)(i, k, s) = standIn ? *standIn : (*a)(i - 1, k, s);
      }
    auto w = warning.find({e, surface});
    if (w != warning.end()) r.warnings.push_back(w->second);
    return r;
  }
};

// A drawing context that draws nothing and keeps every call with the
// colour and line style it was made in.
class RecordingDC : public FX::FXDC {
 public:
  struct Op {
    char kind;  // L line, T text, R rectangle, F filled rectangle, E ellipse
    int x, y, x2, y2;
    FX::FXColor color;
    FX::FXLineStyle style;
    std::string text;
  };
  explicit RecordingDC(FX::FXApp* app) : FX::FXDC(app) {}
  void drawLine(FX::FXint x1, FX::FXint y1, FX::FXint x2, FX::FXint y2) override {
    ops.push_back({'L', x1, y1, x2, y2, fg, style, ""});
  }
  void drawText(FX::FXint x, FX::FXint y, const FX::FXString& s) override {
    ops.push_back({'T', x, y, 0, 0, fg, style, s.text()});
  }
  void drawText(FX::FXint x, FX::FXint y, const FX::FXchar* s, FX::FXuint n) override {
    ops.push_back({'T', x, y, 0, 0, fg, style, std::string(s, n)});
  }
  void drawRectangle(FX::FXint x, FX::FXint y, FX::FXint w, FX::FXint h) override {
    ops.push_back({'R', x, y, w, h, fg, style, ""});
  }
  void fillRectangle(FX::FXint x, FX::FXint y, FX::FXint w, FX::FXint h) override {
    ops.push_back({'F', x, y, w, h, fg, style, ""});
  }
  void drawEllipse(FX::FXint x, FX::FXint y, FX::FXint w, FX::FXint h) override {
    ops.push_back({'E', x, y, w, h, fg, style, ""});
  }
  void setForeground(FX::FXColor c) override { fg = c; }
  void setLineStyle(FX::FXLineStyle s) override { style = s; }
  void setFont(FX::FXFont* f) override { font = f; }

  std::vector<Op> of(char kind, const char* color = nullptr) const {
    std::vector<Op> out;
    for (const Op& o : ops)
      if (o.kind == kind && (!color || o.color == FX::fxcolorfromname(color))) out.push_back(o);
    return out;
  }
  std::vector<Op> ops;
};

// The element-colour names of the windows, for pixel checks.
inline FX::FXColor rgb(const char* name) { return FX::fxcolorfromname(name) & 0x00FFFFFF; }

// A copy of the three-element example with the boundary-layer record and
// transition positions (upper, lower) of 0.01/0.02, 0.05/0.30 and 0.07/0.15.
inline std::string three_element_copy(const std::string& dir) {
  return example_copy(dir, "slat_main_flap.dat", [](std::vector<std::string>& lines) {
    set_field(lines[1], 6, "1.00000");
    lines.insert(lines.begin() + 4,
                 {"    REMILL      ETAE        NP       VGP     CFSEP",
                  "   2.50000   8.00000  61.00000   1.10000   0.00000"});
    const char* xtr[3][2] = {{"0.01000", "0.02000"}, {"0.05000", "0.30000"},
                             {"0.07000", "0.15000"}};
    int element = 0;
    for (std::size_t i = 0; i + 1 < lines.size() && element < 3; ++i)
      if (lines[i].find("XAX") != std::string::npos) {
        set_field(lines[i + 1], 7, xtr[element][0]);
        set_field(lines[i + 1], 8, xtr[element][1]);
        ++element;
      }
  });
}

class BlWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    fake.install(window);
  }
  void loadTwo(const char* dir) {
    ASSERT_TRUE(load(example_copy(dir, "main_flap.dat"))) << window->lastError.text();
  }
  void loadThree(const char* dir) {
    ASSERT_TRUE(load(three_element_copy(dir))) << window->lastError.text();
    ASSERT_EQ(state().NELEM, 3);
  }
  // "BL Calculation" and the toolkit's work after it; the dialog it opened
  // (nullptr when none).
  BlCalc_2D* click() {
    BlCalc_2D* before = window->blDialog;
    EXPECT_EQ(send(Sorvane_2D::ID_BL_CALCULATION), 1);
    settle();
    return window->blDialog == before ? nullptr : window->blDialog;
  }
  static long to(BlCalc_2D* d, FX::FXuint id, FX::FXuint type = FX::SEL_COMMAND,
                 FX::FXObject* sender = nullptr) {
    return d->handle(sender ? sender : d, FXSEL(type, id), nullptr);
  }
  // A click on a radio button: the toolkit checks it, then sends it.
  static void clickRadio(FX::FXRadioButton* r) { r->setCheck(TRUE, TRUE); }
  // Text typed into a dialog field and Enter pressed.
  static void type(FX::FXTextField* f, const char* text) {
    f->setText(text);
    f->getTarget()->handle(f, FXSEL(FX::SEL_COMMAND, f->getSelector()),
                           const_cast<char*>(f->getText().text()));
  }

  FakeBoundaryLayer fake;
};

}  // namespace sorvane::testing

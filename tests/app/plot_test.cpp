// The main plot: Cp axis ladder, Cp range without the trailing-edge panels,
// degenerate extents, and a rendered picture of the two-element example.
#include <cmath>

#include "app/plot_support.h"
#include "tests/app/window_fixture.h"

#include <FXPNGImage.h>  // after the toolkit's own headers

namespace sorvane::testing {
namespace {

using sorvane::gui::cp_axis_for;
using W = Sorvane_2D;

TEST(CpLadder, FirstRungStrictlyBelowTheSmallestCp) {
  struct Case {
    double cpMin, start, step;
  };
  const Case cases[] = {
      {-0.42, -0.8, 0.1}, {-0.5, -1.0, 0.1},  {-0.74, -1.0, 0.1}, {-0.75, -1.5, 0.1},
      {-1.2, -2.0, 0.1},  {-2.0, -3.0, 0.2},  {-2.4, -3.0, 0.2},  {-2.7, -3.5, 0.2},
      {-3.9, -4.5, 0.5},  {-7.4, -8.0, 0.5},  {-7.5, -10.0, 1.0}, {-9.0, -10.0, 1.0}, {1000.0, -0.8, 0.1},
  };
  for (const Case& c : cases) {
    const sorvane::gui::CpAxis a = cp_axis_for(c.cpMin);
    EXPECT_DOUBLE_EQ(a.start, c.start) << c.cpMin;
    EXPECT_DOUBLE_EQ(a.step, c.step) << c.cpMin;
  }
}

TEST(CpLadder, EndSkipAndPixelClamp) {
  const int table[][2] = {{1, 0}, {12, 0}, {15, 0}, {16, 2}, {20, 2}, {31, 2}, {32, 4}, {100, 4}};
  for (const auto& row : table) EXPECT_EQ(sorvane::gui::cp_end_skip(row[0]), row[1]) << row[0];
  int p = 7;
  EXPECT_FALSE(sorvane::gui::to_pixel(NAN, p));
  EXPECT_FALSE(sorvane::gui::to_pixel(INFINITY, p));
  EXPECT_TRUE(sorvane::gui::to_pixel(1e30, p));
  EXPECT_EQ(p, 16000);
  EXPECT_TRUE(sorvane::gui::to_pixel(-12.7, p));
  EXPECT_EQ(p, -12);
}

// A synthetic solution in the state: element k has n panels with Cp -1,
// except where a case puts other values.
void fill_elements(const std::vector<int>& panels) {
  ProblemState& s = state();
  s.NELEM = static_cast<int>(panels.size());
  s.COSSWEPT = 1.0;
  s.SOLUTION_STATUS = SolutionStatus::kOk;
  for (int k = 1; k <= s.NELEM; ++k) {
    const int n = panels[k - 1];
    s.NPANELS(k) = n;
    for (int j = 1; j <= n + 1; ++j) {
      s.XPN(j, k) = 0.1 * k + 0.5 * j / n;
      s.YPN(j, k) = 0.01 * j;
      s.XC(j, k) = s.XPN(j, k);
      s.CP(j, k) = -1.0;
    }
  }
}

TEST_F(WindowTest, CpRangeLeavesOutTheEndPanels) {
  fill_elements({12, 20, 100});
  ProblemState& s = state();
  s.CP(1, 1) = -5;    // 12 panels: counted
  s.CP(12, 1) = 2;    // counted
  s.CP(1, 2) = -9;    // 20 panels: the first two and last two are not
  s.CP(2, 2) = -9;
  s.CP(19, 2) = 9;
  s.CP(20, 2) = 9;
  s.CP(3, 2) = 3;     // counted: the largest
  s.CP(4, 3) = -20;   // 100 panels: the first four and last four are not
  s.CP(97, 3) = 20;
  s.CP(5, 3) = -4;
  s.XPN(13, 1) = 99;  // node n+1 is not part of the x range
  window->computePlotBounds();
  EXPECT_DOUBLE_EQ(window->plotCpMin, -5);
  EXPECT_DOUBLE_EQ(window->plotCpMax, 3);
  EXPECT_DOUBLE_EQ(window->plotXMin, 0.1 + 0.5 / 12);
  EXPECT_DOUBLE_EQ(window->plotXMax, 0.3 + 0.5);
  EXPECT_DOUBLE_EQ(window->plotYMax, 1.0);  // node 100 of element 3, not node 101
  // Without element 1 the smallest counted Cp is element 3's fifth.
  s.CP(1, 1) = -1;
  window->computePlotBounds();
  EXPECT_DOUBLE_EQ(window->plotCpMin, -4);
  // The grid takes the ladder's axis for that range.
  window->drawGrid();
  EXPECT_DOUBLE_EQ(window->cpAxisStart, -5.0);
}

FX::FXColor pixel(FX::FXImage& img, int x, int y) { return img.getPixel(x, y) & 0x00FFFFFF; }
FX::FXColor named(const char* name) { return FX::fxcolorfromname(name) & 0x00FFFFFF; }

TEST_F(WindowTest, ZeroExtentsDrawBackgroundAndGrid) {
  fill_elements({4});
  ProblemState& s = state();
  for (int j = 1; j <= 5; ++j) {
    s.XPN(j, 1) = 0.5;
    s.XC(j, 1) = 0.5;
    s.YPN(j, 1) = 0.0;
    s.CP(j, 1) = -0.3;
  }
  FX::FXImage img(&test_app(), nullptr, FX::IMAGE_KEEP, 200, 150);
  img.create();
  window->renderPlot(&img);
  img.restore();
  EXPECT_TRUE(std::isfinite(window->plotScaleX));
  EXPECT_TRUE(std::isfinite(window->plotScaleY));
  EXPECT_TRUE(std::isfinite(window->plotOffsetX));
  EXPECT_NE(window->plotScaleX, 0.0);
  EXPECT_EQ(pixel(img, 199, 149), named("White"));
  int orange = 0;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 200; ++x) orange += pixel(img, x, y) == named("Orange");
  EXPECT_GT(orange, 0);
}

// The canvas as it shows on the display.
void grab_canvas(Sorvane_2D* w, FX::FXImage& img) {
  img.create();
  {
    FX::FXDCWindow dc(&img);
    dc.drawArea(w->canvas, 0, 0, img.getWidth(), img.getHeight(), 0, 0);
  }
  img.restore();
}

int count_colour(FX::FXImage& img, FX::FXColor c, int x0, int y0, int x1, int y1) {
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) n += pixel(img, x, y) == c;
  return n;
}

TEST_F(WindowTest, PaintFillsTheExposedRectangleAndDrawsOnlyAfterASolution) {
  settle();
  const int w = window->canvas->getWidth(), h = window->canvas->getHeight();
  ASSERT_GT(w, 100);
  ASSERT_GT(h, 100);
  auto paint = [&](int x, int y, int pw, int ph) {
    {
      FX::FXDCWindow dc(window->canvas);
      dc.setForeground(named("Black") | 0xFF000000);
      dc.fillRectangle(0, 0, w, h);
    }
    FX::FXEvent ev;
    ev.rect.x = x;
    ev.rect.y = y;
    ev.rect.w = pw;
    ev.rect.h = ph;
    EXPECT_EQ(window->handle(window->canvas, FXSEL(FX::SEL_PAINT, W::ID_CANVAS), &ev), 1);
    test_app().flush(TRUE);
  };
  // Before a load: only the exposed part turns white, nothing is drawn.
  paint(10, 20, 50, 40);
  {
    FX::FXImage img(&test_app(), nullptr, FX::IMAGE_KEEP, w, h);
    grab_canvas(window, img);
    EXPECT_EQ(count_colour(img, named("White"), 10, 20, 60, 60), 50 * 40);
    EXPECT_EQ(count_colour(img, named("White"), 0, 0, w, h), 50 * 40);
    EXPECT_EQ(count_colour(img, named("Orange"), 0, 0, w, h), 0);
  }
  // After a load the whole picture is drawn again.
  ASSERT_TRUE(load(example_copy("paint", "main_flap.dat")));
  paint(0, 0, 5, 5);
  {
    FX::FXImage img(&test_app(), nullptr, FX::IMAGE_KEEP, w, h);
    grab_canvas(window, img);
    EXPECT_GT(count_colour(img, named("White"), 0, 0, w, h), w * h / 2);
    EXPECT_GT(count_colour(img, named("Orange"), 0, 0, w, h), 100);
    EXPECT_GT(count_colour(img, named("Red"), 0, 0, w, h), 50);
  }
  // With no solution counted the paint leaves the rest alone again.
  state().NCOMPUTE = 0;
  paint(0, 0, 5, 5);
  {
    FX::FXImage img(&test_app(), nullptr, FX::IMAGE_KEEP, w, h);
    grab_canvas(window, img);
    EXPECT_EQ(count_colour(img, named("White"), 0, 0, w, h), 25);
  }
}

TEST_F(WindowTest, RendersTheTwoElementExample) {
  ASSERT_TRUE(load(example_copy("render", "main_flap.dat")));
  const int w = 560, h = 700;
  FX::FXPNGImage img(&test_app(), nullptr, FX::IMAGE_KEEP, w, h);
  img.create();
  window->renderPlot(&img);
  img.restore();

  const FX::FXColor white = named("White"), black = named("Black"), red = named("Red");
  EXPECT_EQ(pixel(img, w - 1, h - 1), white);
  EXPECT_EQ(pixel(img, w - 2, 0), white);
  // Pixel column of an x of the configuration.
  auto column = [&](double x) {
    return static_cast<int>((x - window->plotXMin + window->plotOffsetX) * window->plotScaleX);
  };
  int blackMain = 0, redFlap = 0, redLeft = 0, whiteCount = 0;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      const FX::FXColor c = pixel(img, x, y);
      whiteCount += c == white;
      if (c == black && x > column(0.1) && x < column(0.8)) ++blackMain;
      if (c == red && x > column(0.9)) ++redFlap;
      if (c == red && x < column(0.8)) ++redLeft;
    }
  }
  EXPECT_GT(blackMain, 200);  // main contour and Cp curve
  EXPECT_GT(redFlap, 100);    // flap contour and Cp curve, right of the main element
  EXPECT_EQ(redLeft, 0);
  EXPECT_GT(whiteCount, w * h / 2);

  // The whole window as it shows on the display, copied from the screen; the
  // canvas there holds the same picture.
  settle();
  window->refreshResults();
  test_app().flush(TRUE);
  const int ww = window->getWidth(), wh = window->getHeight();
  FX::FXPNGImage shot(&test_app(), nullptr, FX::IMAGE_KEEP, ww, wh);
  shot.create();
  {
    FX::FXDCWindow dc(&shot);
    dc.clipChildren(FALSE);  // include the child windows
    dc.drawArea(window, 0, 0, ww, wh, 0, 0);
  }
  shot.restore();
  int cx = 0, cy = 0;
  window->canvas->translateCoordinatesTo(cx, cy, window, 0, 0);
  int redOnScreen = 0;
  for (int y = cy; y < cy + window->canvas->getHeight() && y < wh; ++y)
    for (int x = cx; x < cx + window->canvas->getWidth() && x < ww; ++x)
      redOnScreen += pixel(shot, x, y) == red;
  EXPECT_GT(redOnScreen, 50);
  // The picture, for a person to look at.
  FX::FXFileStream out;
  ASSERT_TRUE(out.open(SORVANE_BINARY_DIR "/main_window.png", FX::FXStreamSave));
  EXPECT_TRUE(shot.savePixels(out));
  out.close();
}

}  // namespace
}  // namespace sorvane::testing

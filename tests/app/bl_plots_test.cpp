// The boundary-layer dialog's plots: the axis steps, the mapping of a plot
// with its grid, labels, title and markers (recorded from the drawing
// calls), degenerate ranges, a surface without a result, a surface that
// stopped early, stations without a solution, curves in the element's
// colour, each dialog's picture of its own run, and a picture of the dialog
// checked by colour regions.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "app/plot_support.h"
#include "tests/app/bl_fixture.h"
#include "tests/boundary_layer/bl_cases.h"

#include <FXPNGImage.h>  // after the toolkit's own headers

namespace sorvane::testing {
namespace {

using namespace FX;
using D = BlCalc_2D;
using sorvane::gui::niceScale;

TEST(NiceScale, RaisesTheMaximumToTheNextMultipleOfANiceStep) {
  struct Case {
    double value, raised, step;
  };
  const double keep = -99;  // the step handed in, left alone
  const Case cases[] = {
      {0.73, 0.8, 0.1}, {2.3, 2.5, 0.5},   {1.05, 1.2, 0.2}, {2, 2.5, 0.5},
      {5, 6, 1},        {6, 7, 1},         {10, 11, 1},      {37, 40, 5},
      {0.0042, 0.0045, 0.0005},            {123, 140, 20},
      // Unchanged: exactly 1 after scaling, zero, negative, not finite, or
      // ten scalings away.
      {1, 1, keep},     {0.1, 0.1, keep},  {0.01, 0.01, keep}, {0, 0, keep}, {-3, -3, keep},
      {1e-12, 1e-12, keep}, {5e11, 5e11, keep},
  };
  for (const Case& c : cases) {
    double v = c.value, step = keep;
    niceScale(v, step);
    EXPECT_NEAR(v, c.raised, 1e-12 * std::fabs(c.raised) + 1e-15) << c.value;
    EXPECT_NEAR(step, c.step, 1e-12 * std::fabs(c.step) + 1e-15) << c.value;
    double w = c.value, s2 = keep;
    sorvane::gui::niceScaleCopy(w, s2);
    EXPECT_EQ(w, v);
    EXPECT_EQ(s2, step);
  }
  for (double bad : {std::nan(""), std::numeric_limits<double>::infinity(),
                     -std::numeric_limits<double>::infinity()}) {
    double v = bad, step = keep;
    niceScale(v, step);
    EXPECT_TRUE(std::isnan(bad) ? std::isnan(v) : v == bad);
    EXPECT_EQ(step, keep);
  }
}

// The labels of an axis read their grid lines: as many decimals as the step
// needs (three at least, so an axis whose step is a multiple of 0.001 keeps
// its texts), more where a line falls on a half of the last decimal; every
// label lies within half its last decimal of its line's value, and the
// labels of one axis rise by the step, none equal to another.
TEST(AxisLabels, EachLabelReadsItsGridLine) {
  struct Case {
    const char* what;
    double first, step;
    std::vector<std::string> labels;  // lines 0, 1, ...
  };
  const Case cases[] = {
      {"a step of 0.2", 0, 0.2, {"0.000", "0.200", "0.400", "0.600", "0.800", "1.000"}},
      {"a step of 0.001", 0, 0.001, {"0.000", "0.001", "0.002", "0.003"}},
      {"a step of 20", 0, 20, {"0.000", "20.000", "40.000"}},
      {"from below 0", -0.002, 0.002, {"-0.002", "0.000", "0.002", "0.004"}},
      {"the displacement thickness of main_flap.dat's flap: 0.0005",
       0,
       0.0005,
       {"0.0000", "0.0005", "0.0010", "0.0015", "0.0020"}},
      {"a momentum thickness with a step of 0.0002",
       0,
       0.0002,
       {"0.0000", "0.0002", "0.0004", "0.0006", "0.0008", "0.0010"}},
      {"0.00005", 0, 5e-5, {"0.00000", "0.00005", "0.00010"}},
      {"0.000001", 0, 1e-6, {"0.000000", "0.000001", "0.000002"}},
      {"a minimum off the step", 0.00087, 0.0005, {"0.0009", "0.0014", "0.0019", "0.0024"}},
      // Lines on halves of the third decimal: three decimals would read
      // 0.001, 0.002, 0.003, 0.004, 0.005, 0.005, 0.007, 0.007, ...
      {"lines on halves of 0.001",
       0.0005,
       0.001,
       {"0.0005", "0.0015", "0.0025", "0.0035", "0.0045", "0.0055", "0.0065", "0.0075"}},
      {"lines on halves of 0.001 from 0.0035",
       0.0035,
       0.001,
       {"0.0035", "0.0045", "0.0055", "0.0065", "0.0075", "0.0085"}},
      // A first line a rounding step below 0 reads 0, without a sign; a
      // line below 0 by a step keeps its sign.
      {"a first line 1e-17 below 0", -1e-17, 0.0005, {"0.0000", "0.0005", "0.0010"}},
      {"a first line 4e-19 below 0", -4e-19, 0.2, {"0.000", "0.200", "0.400"}},
      {"-0.0005 below 0", -0.0005, 0.0005, {"-0.0005", "0.0000", "0.0005"}},
      {"two lines below 0", -0.4, 0.2, {"-0.400", "-0.200", "0.000", "0.200"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const int last = static_cast<int>(c.labels.size()) - 1;
    const sorvane::gui::AxisLabels labels = sorvane::gui::AxisLabels::of(c.first, c.step, last);
    for (int i = 0; i <= last; ++i) EXPECT_EQ(labels.text(c.first + i * c.step), c.labels[i]) << i;
  }
  // Not a step: three decimals.
  for (double bad : {0.0, -0.1, std::nan(""), std::numeric_limits<double>::infinity()})
    EXPECT_EQ(sorvane::gui::AxisLabels::of(0, bad, 3).decimals, 3) << bad;

  // Every nice step from 1e-6 to 100, with axes starting at odd fractions
  // of the step, on halves of the decimals from the third to the eighth,
  // and a rounding step below a whole number of steps (whose line on 0
  // reads 0, no sign).
  int axes = 0;
  for (double power = 1e-6; power <= 100; power *= 10)
    for (double m : {1.0, 0.5, 0.2})
      for (int start = -40; start <= 40; ++start) {
        const double step = m * power;
        std::vector<double> firsts = {start * 0.013 * step, start * step * (1 + 1e-15)};
        for (double u = 1e-3; u > 1e-9; u /= 10) firsts.push_back((start + 0.5) * u);
        for (double first : firsts) {
          const int last = 12;
          const sorvane::gui::AxisLabels labels = sorvane::gui::AxisLabels::of(first, step, last);
          ASSERT_GE(labels.decimals, 3);
          const double unit = std::pow(10.0, -labels.decimals);
          ASSERT_LE(unit, step * (1 + 1e-9)) << step;
          double before = 0;
          for (int i = 0; i <= last; ++i) {
            const double value = first + i * step;
            const double read = std::atof(labels.text(value).c_str());
            ASSERT_LE(std::fabs(read - value), 0.5 * unit * (1 + 1e-6))
                << "first " << first << " step " << step << " line " << i;
            if (read == 0) {
              ASSERT_NE(labels.text(value)[0], '-')
                  << "first " << first << " step " << step << " line " << i;
            }
            if (i > 0) {
              ASSERT_NEAR(read - before, step, 0.5 * unit)
                  << "first " << first << " step " << step << " line " << i;
            }
            before = read;
          }
          ++axes;
        }
      }
  EXPECT_GT(axes, 10000);
}

// A dialog on made-up results with its upper canvas at a given size (the
// toolkit lays it out again only when events are handled).
class PlotTest : public BlWindowTest {
 protected:
  D* open(const char* dir) {
    loadTwo(dir);
    D* d = click();
    EXPECT_NE(d, nullptr);
    return d;
  }
  static void canvasSize(D* d, int w, int h) { d->ueCanvas->resize(w, h); }
  // A dialog showing element 2 (the flap, red), chosen with the spinner.
  D* openOnElement2(const char* dir) {
    D* d = open(dir);
    if (!d) return nullptr;
    d->elementSpinner->setValue(2);
    to(d, D::ID_ELEMENT);
    EXPECT_EQ(d->currentElement, 1);
    return d->currentElement == 1 ? d : nullptr;
  }
};

TEST_F(PlotTest, MappingGridLabelsTitleAndMarkersOfACanvas500By300) {
  D* d = open("blmap");
  ASSERT_NE(d, nullptr);
  canvasSize(d, 500, 300);
  d->ownRun.surface[0][0].xinv = 0.9;  // the separation of the run it shows
  d->strValue[0] = 0.1;
  // The lower plot the dialog shows gets labels of three decimals too (the
  // made-up skin friction's, from -0.0005, would widen the left margin of
  // both plots).
  d->rangeMin[D::Q_CF][0][0] = 0.0;
  d->rangeMax[D::Q_CF][0][0] = 0.73;
  RecordingDC dc(&test_app());
  d->drawAxes(dc, d->ueCanvas, 0, 0.0, 1.05, 0.0, 0.73, "Ue(X)");

  EXPECT_EQ(d->originX, 45);
  EXPECT_EQ(d->originY, 280);
  EXPECT_DOUBLE_EQ(d->scaleX, 450 / 1.05);
  EXPECT_DOUBLE_EQ(d->scaleY, 275 / 0.8);  // the y range reaches the raised 0.8
  EXPECT_NEAR(d->stepX, 0.2, 1e-15);
  EXPECT_NEAR(d->stepY, 0.1, 1e-15);
  EXPECT_EQ(d->countX, 5);
  EXPECT_EQ(d->countY, 8);

  // Background first, the whole canvas.
  ASSERT_FALSE(dc.ops.empty());
  EXPECT_EQ(dc.ops[0].kind, 'F');
  EXPECT_EQ(dc.ops[0].color, fxcolorfromname("White"));
  EXPECT_EQ(dc.ops[0].x2, 500);
  EXPECT_EQ(dc.ops[0].y2, 300);

  // Seven dashed vertical grid lines 0.2 apart, the last (1.2) right of the
  // plot area; nine horizontal ones 0.1 apart.
  std::vector<int> vertical, horizontal;
  for (const auto& o : dc.of('L', "Orange")) {
    EXPECT_EQ(o.style, LINE_ONOFF_DASH);
    if (o.x == o.x2) {
      vertical.push_back(o.x);
      EXPECT_EQ(o.y, 280);
      EXPECT_EQ(o.y2, 5);
    } else {
      horizontal.push_back(o.y);
      EXPECT_EQ(o.x, 45);
      EXPECT_EQ(o.x2, 495);
    }
  }
  ASSERT_EQ(vertical.size(), 7u);
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(vertical[i], static_cast<int>(i * 0.2 * (450 / 1.05) + 45)) << i;
  EXPECT_GT(vertical[6], 495);
  ASSERT_EQ(horizontal.size(), 9u);
  EXPECT_EQ(horizontal[0], 280);
  EXPECT_EQ(horizontal[8], static_cast<int>(280 - 8 * 0.1 * (275 / 0.8)));

  // Labels: x on the row at 0.99 of the height, y at 0.01 of the width;
  // the title at 0.9 of the width on the x-label row.
  std::vector<std::string> xLabels, yLabels;
  bool title = false;
  for (const auto& t : dc.of('T', "Black")) {
    if (t.text == "Ue(X)") {
      title = true;
      EXPECT_EQ(t.x, 450);
      EXPECT_EQ(t.y, 297);
    } else if (t.y == 297) {
      xLabels.push_back(t.text);
    } else {
      EXPECT_EQ(t.x, 5) << t.text;
      yLabels.push_back(t.text);
    }
  }
  EXPECT_TRUE(title);
  const std::vector<std::string> xs = {"0.000", "0.200", "0.400", "0.600", "0.800", "1.000"};
  EXPECT_EQ(xLabels, xs);
  ASSERT_EQ(yLabels.size(), 9u);
  EXPECT_EQ(yLabels.front(), "0.000");
  EXPECT_EQ(yLabels.back(), "0.800");

  // Separation (red, at XINV) and transition (blue, at Str u=) on y = 0:
  // a cross 16 pixels wide and a circle of 8.
  auto marker = [&](const char* color, double x) {
    const auto lines = dc.of('L', color);
    const auto circles = dc.of('E', color);
    ASSERT_EQ(lines.size(), 2u) << color;
    ASSERT_EQ(circles.size(), 1u) << color;
    const int px = static_cast<int>(45 + x * (450 / 1.05));
    EXPECT_EQ(lines[0].x, static_cast<int>(45 + x * (450 / 1.05) - 8)) << color;
    EXPECT_EQ(lines[0].x2, static_cast<int>(45 + x * (450 / 1.05) + 8)) << color;
    EXPECT_EQ(lines[0].y, 280);
    EXPECT_EQ(lines[1].x, px);
    EXPECT_EQ(lines[1].y, 272);
    EXPECT_EQ(lines[1].y2, 288);
    EXPECT_EQ(circles[0].x, static_cast<int>(45 + x * (450 / 1.05) - 4));
    EXPECT_EQ(circles[0].y, 276);
    EXPECT_EQ(circles[0].x2, 8);
    EXPECT_EQ(circles[0].y2, 8);
  };
  marker("Red", 0.9);
  marker("Blue", 0.1);

  // A station at the y minimum lies on the bottom grid line, one at the
  // minimum plus m steps on line m.
  RecordingDC curve(&test_app());
  const double sx[] = {0.0, 0.5, 1.0};
  const double sy[] = {0.0, 0.3, 0.7};
  d->drawCurve(curve, 0, 3, sx, sy, 0, "Red");
  const auto segs = curve.of('L', "Red");
  ASSERT_EQ(segs.size(), 2u);
  EXPECT_EQ(segs[0].y, horizontal[0]);
  EXPECT_EQ(segs[0].y2, horizontal[3]);
  EXPECT_EQ(segs[1].y2, horizontal[7]);
  EXPECT_EQ(segs[0].style, LINE_SOLID);
  // Fewer than two points draw nothing; a point that is not a number
  // breaks the line.
  RecordingDC few(&test_app());
  d->drawCurve(few, 1, 2, sx, sy, 1, "Red");
  EXPECT_TRUE(few.of('L').empty());
  const double gap[] = {0.0, std::nan(""), 0.7};
  RecordingDC broken(&test_app());
  d->drawCurve(broken, 0, 3, sx, gap, 0, "Red");
  EXPECT_TRUE(broken.of('L').empty());
}

TEST_F(PlotTest, DegenerateRangesDrawBackgroundAndTitleWithoutWildPixels) {
  D* d = open("bldegenerate");
  ASSERT_NE(d, nullptr);
  canvasSize(d, 500, 300);
  const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
  struct Case {
    const char* what;
    double xmin, xmax, ymin, ymax;
    bool xAxis, yAxis;
  };
  const Case cases[] = {
      {"all stations equal", 0.5, 0.5, 0.2, 0.2, false, true},
      {"equal y", 0.0, 1.0, 1.0, 1.0, true, false},
      {"seeds of an empty surface", 1000, -1000, 1000, -1000, false, false},
      {"not a number", nan, 1.0, 0.0, nan, false, false},
      {"infinite", 0.0, inf, -inf, 1.0, false, false},
      // Huge but finite: mapped, every pixel kept within the window
      // system's coordinates.
      {"huge", -1e300, 1e300, 0.0, 1e-300, true, true},
  };
  const double sx[] = {0.0, 0.5, 1.0, 1e30};
  const double sy[] = {0.0, 0.3, 0.7, -1e30};
  for (const Case& c : cases) {
    RecordingDC dc(&test_app());
    d->drawAxes(dc, d->ueCanvas, 0, c.xmin, c.xmax, c.ymin, c.ymax, "Cf(X)");
    d->drawCurve(dc, 0, 4, sx, sy, 0, "Black");
    ASSERT_FALSE(dc.ops.empty()) << c.what;
    EXPECT_EQ(dc.ops[0].kind, 'F') << c.what;
    bool title = false;
    int vertical = 0, horizontal = 0;
    for (const auto& o : dc.ops) {
      for (int v : {o.x, o.y, o.x2, o.y2}) {
        EXPECT_GE(v, -16000) << c.what;
        EXPECT_LE(v, 16000) << c.what;
      }
      title = title || o.text == "Cf(X)";
      if (o.kind == 'L' && o.color == fxcolorfromname("Orange")) {
        if (o.x == o.x2)
          ++vertical;
        else
          ++horizontal;
      }
    }
    EXPECT_TRUE(title) << c.what;
    EXPECT_EQ(vertical > 0, c.xAxis) << c.what;
    EXPECT_EQ(horizontal > 0, c.yAxis) << c.what;
    // Markers and the curve need both axes.
    if (!(c.xAxis && c.yAxis)) {
      EXPECT_TRUE(dc.of('E').empty()) << c.what;
      EXPECT_TRUE(dc.of('L', "Black").empty()) << c.what;
      EXPECT_TRUE(dc.of('L', "Red").empty()) << c.what;
    }
  }
}

TEST_F(PlotTest, SurfaceWithoutAResultShowsItsFrameAndTitleOnly) {
  loadTwo("blnoresult");
  fake.listLength[{0, 1}] = 2;  // element 1, lower surface: no station list
  D* d = click();
  ASSERT_NE(d, nullptr);
  EXPECT_NE(window->lastError.find("no station list"), -1);
  canvasSize(d, 500, 300);
  d->shownSurface[0] = 1;  // the dialog shows the surface without a result
  RecordingDC dc(&test_app());
  d->drawAxes(dc, d->ueCanvas, 1, d->rangeMin[D::Q_S][1][0], d->rangeMax[D::Q_S][1][0],
              d->rangeMin[D::Q_UE][1][0], d->rangeMax[D::Q_UE][1][0], "Ue(X)");
  const double sx[] = {0.0, 0.5};
  d->drawCurve(dc, 0, 2, sx, sx, 0, "Black");
  ASSERT_EQ(dc.ops.size(), 3u);
  EXPECT_EQ(dc.ops[0].kind, 'F');
  EXPECT_EQ(dc.ops[1].kind, 'R');  // the frame of the plot area
  EXPECT_EQ(dc.ops[1].x, 45);
  EXPECT_EQ(dc.ops[1].y, 5);
  EXPECT_EQ(dc.ops[1].x2, 450);
  EXPECT_EQ(dc.ops[1].y2, 275);
  EXPECT_EQ(dc.ops[1].color, fxcolorfromname("Orange"));
  EXPECT_EQ(dc.ops[2].text, "Ue(X)");
  // The dialog shows it without trouble, and the other surface draws.
  clickRadio(d->surfaceRadio[1]);
  EXPECT_FALSE(d->xMapped);
  clickRadio(d->surfaceRadio[0]);
  EXPECT_TRUE(d->xMapped && d->yMapped);
}

// The dialog as it shows on the display, whole (its child windows too).
void grab(FXWindow* w, FXImage& img) {
  img.create();
  {
    FXDCWindow dc(&img);
    dc.clipChildren(FALSE);
    dc.drawArea(w, 0, 0, img.getWidth(), img.getHeight(), 0, 0);
  }
  img.restore();
}

// Puts the whole dialog on the screen (so that it can be copied from there),
// draws its plots and copies it into img, made at the dialog's size.
void draw_and_grab(D* d, FXImage& img, bool raise = false) {
  d->position(0, 0, d->getWidth(), d->getHeight());
  if (raise) d->raise();
  settle();
  d->drawPlots();
  test_app().flush(TRUE);
  grab(d, img);
}

FXColor pixel(FXImage& img, int x, int y) { return img.getPixel(x, y) & 0x00FFFFFF; }

// Pixels of a colour in the rectangle x0..x1-1, y0..y1-1 of a canvas.
int count_rect(FXImage& img, D* d, FXCanvas* c, FXColor colour, int x0, int y0, int x1, int y1) {
  int cx = 0, cy = 0;
  c->translateCoordinatesTo(cx, cy, d, 0, 0);
  int n = 0;
  for (int y = cy + y0; y < cy + y1 && y < img.getHeight(); ++y)
    for (int x = cx + x0; x < cx + x1 && x < img.getWidth(); ++x) n += pixel(img, x, y) == colour;
  return n;
}

// Pixels of a colour in the part of a canvas that only curves and markers
// reach: inside the margins (right of the plot's left edge, off the label
// rows and columns), in the rows rowFrom..rowTo-1.
int count_in_plot(FXImage& img, D* d, FXCanvas* c, FXColor colour, int rowFrom = 6,
                  int rowTo = -1) {
  return count_rect(img, d, c, colour, d->originX + 1, rowFrom, c->getWidth() - 5,
                    rowTo < 0 ? c->getHeight() - 21 : rowTo);
}

TEST_F(PlotTest, StoppedSurfaceDrawsOnlyItsComputedStations) {
  loadTwo("blstopped");
  fake.stopAt[{0, 0}] = 30;  // element 1, upper surface: 30 of 60 stations
  ASSERT_NE(click(), nullptr);
  // Beyond station 30 the store holds stale values: a flat line at half the
  // computed maximum that runs back across the whole plot. A dialog made on
  // the store as it is now.
  ProblemState& s = state();
  double top = 0;
  for (int i = 1; i <= 30; ++i) top = std::max(top, s.UE(i, 1, 1));
  for (int i = 31; i <= s.NX(1, 1); ++i) {
    s.UE(i, 1, 1) = 0.5 * top;
    s.S(i, 1, 1) = s.S(30, 1, 1) * (s.NX(1, 1) - i) / (s.NX(1, 1) - 31.0);
  }
  D* d = new D(window);
  d->create();
  d->show(PLACEMENT_DEFAULT);
  ASSERT_DOUBLE_EQ(d->rangeMax[D::Q_UE][0][0], top);
  FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
  draw_and_grab(d, img, /*raise=*/true);
  // The row of half the maximum in the upper plot.
  double raised = top, step = 0.2;
  niceScale(raised, step);
  const int H = d->ueCanvas->getHeight();
  const double bottom = d->rangeMin[D::Q_UE][0][0];
  const int row = static_cast<int>((H - 20) - (0.5 * top - bottom) * (H - 25) / (raised - bottom));
  const int black = count_in_plot(img, d, d->ueCanvas, rgb("Black"), row - 1, row + 2);
  EXPECT_GT(count_in_plot(img, d, d->ueCanvas, rgb("Black")), 100);  // the computed curve
  EXPECT_LT(black, 40);  // crossed once, not run along
}

// Curves are drawn in the shown element's colour, not in the black of the
// labels: element 2 of examples/main_flap.dat (red), chosen with the
// spinner. Counted above the bottom rows, where the red marker of the upper
// plot sits (y = 0 of the lower plot lies a little higher: its marker adds
// a few red pixels, far fewer than a curve's).
TEST_F(PlotTest, CurvesTakeTheElementsColour) {
  D* d = openOnElement2("blcolour");
  ASSERT_NE(d, nullptr);
  ASSERT_STREQ(d->elementColor[1], "Red");
  FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
  draw_and_grab(d, img);
  const int aboveMarkers = d->ueCanvas->getHeight() - 29;
  for (FXCanvas* c : {d->ueCanvas, d->quantityCanvas}) {
    EXPECT_GT(count_in_plot(img, d, c, rgb("Red"), 6, aboveMarkers), 100);
    EXPECT_EQ(count_in_plot(img, d, c, rgb("Black"), 6, aboveMarkers), 0);
  }

  // The black variant of the edge-velocity curve covers the red one and
  // leaves the lower plot alone. The plots leave the lower plot's mapping
  // behind; the upper one's is set again without painting.
  const int s = d->shownSurface[1];
  RecordingDC mapping(&test_app());
  d->drawAxes(mapping, d->ueCanvas, s, d->rangeMin[D::Q_S][s][1], d->rangeMax[D::Q_S][s][1],
              d->rangeMin[D::Q_UE][s][1], d->rangeMax[D::Q_UE][s][1], "Ue(X)");
  d->drawUeCurveBlack(1, s, state().UE.column(2, s + 1));
  test_app().flush(TRUE);
  grab(d, img);
  EXPECT_GT(count_in_plot(img, d, d->ueCanvas, rgb("Black"), 6, aboveMarkers), 100);
  EXPECT_EQ(count_in_plot(img, d, d->ueCanvas, rgb("Red"), 6, aboveMarkers), 0);
  EXPECT_GT(count_in_plot(img, d, d->quantityCanvas, rgb("Red"), 6, aboveMarkers), 100);
}

// The y labels of a plot as drawn into a recording: every text but those
// on the row of the x labels and the title.
std::vector<RecordingDC::Op> y_labels(const RecordingDC& dc, D* d) {
  const int xRow = static_cast<int>(0.99 * d->ueCanvas->getHeight());
  std::vector<RecordingDC::Op> out;
  for (const RecordingDC::Op& o : dc.of('T', "Black"))
    if (o.y != xRow) out.push_back(o);
  return out;
}

// The y labels of a dialog's plots keep left of the plot area. Its left
// edge is column 45 as long as the labels fit before it: an axis whose
// labels all end two columns before it when they stand at a hundredth of
// the width (labels of three decimals) keeps them there; an axis with a
// longer label has all of its labels end two columns before the plot area.
// A label wider than that margin (a negative one of four decimals is 49
// pixels in the normal font) widens the margin of both plots to it, so that
// their arc-length axes stay one above the other. The lower plot of element
// 2 (examples/main_flap.dat, a red curve) with the skin friction's range
// set to each case; on the display every grey or black pixel above the x
// labels is a label's.
TEST_F(PlotTest, YLabelsKeepLeftOfThePlotArea) {
  D* d = openOnElement2("bllabels");
  ASSERT_NE(d, nullptr);
  const int s = d->shownSurface[1];
  ASSERT_EQ(d->plottedQuantity[s][1], 0);  // Cf(X)
  const int kLeft = 45, kGap = 2;
  FXFont* font = test_app().getNormalFont();
  struct Case {
    const char* what;
    double ymin, ymax;
    const char* widest;  // the widest label
    bool atHundredth;    // the labels stand at a hundredth of the width
  };
  const Case cases[] = {
      {"three decimals", 0, 0.73, "0.800", true},
      {"three decimals, one below 0", -0.2, 0.73, "-0.200", false},
      {"four decimals", 0, 0.0042, "0.0045", false},
      {"four decimals, one below 0", -0.0005, 0.0075, "-0.0005", false},
      {"five decimals", 0, 0.00018, "0.00020", false},
  };
  // Wider than the margin, whatever the font.
  ASSERT_GT(font->getTextWidth("-0.0005") + kGap, kLeft);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    d->rangeMin[D::Q_CF][s][1] = c.ymin;
    d->rangeMax[D::Q_CF][s][1] = c.ymax;
    FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
    draw_and_grab(d, img, /*raise=*/true);
    ASSERT_TRUE(d->xMapped && d->yMapped);
    const int W = d->ueCanvas->getWidth();
    const int edge = d->originX;  // of the lower plot, drawn last
    const int widest = font->getTextWidth(c.widest);
    EXPECT_EQ(edge, std::max(kLeft, widest + kGap));

    // Both plots take that edge: the upper one's grid lines start there.
    RecordingDC upper(&test_app());
    d->drawAxes(upper, d->ueCanvas, s, d->rangeMin[D::Q_S][s][1], d->rangeMax[D::Q_S][s][1],
                d->rangeMin[D::Q_UE][s][1], d->rangeMax[D::Q_UE][s][1], "Ue(X)");
    EXPECT_EQ(d->originX, edge);
    RecordingDC dc(&test_app());
    d->drawAxes(dc, d->quantityCanvas, s, d->rangeMin[D::Q_S][s][1], d->rangeMax[D::Q_S][s][1],
                c.ymin, c.ymax, "Cf(X)");
    ASSERT_EQ(d->originX, edge);
    const std::vector<RecordingDC::Op> labels = y_labels(dc, d);
    ASSERT_EQ(static_cast<int>(labels.size()), d->countY + 1);
    int drawn = 0;
    for (const RecordingDC::Op& l : labels) {
      const int width = font->getTextWidth(FXString(l.text.c_str()));
      drawn = std::max(drawn, width);
      if (c.atHundredth) {
        EXPECT_EQ(l.x, static_cast<int>(0.01 * W)) << l.text;
      } else {
        EXPECT_EQ(l.x + width, edge - kGap) << l.text << " at " << l.x;
        EXPECT_GE(l.x, 0) << l.text;
      }
    }
    ASSERT_EQ(drawn, widest);
    if (c.atHundredth) {
      ASSERT_LE(static_cast<int>(0.01 * W) + widest, kLeft - kGap) << "labels too wide";
    }

    // On the display: no label pixel at or right of the plot's edge.
    int cx = 0, cy = 0;
    d->quantityCanvas->translateCoordinatesTo(cx, cy, d, 0, 0);
    int first = W, last = -1;
    for (int y = 0; y < d->originY + 4; ++y)
      for (int x = 0; x < W; ++x) {
        const FXColor p = pixel(img, cx + x, cy + y);
        const bool grey = FXREDVAL(p) == FXGREENVAL(p) && FXGREENVAL(p) == FXBLUEVAL(p);
        if (!grey || p == rgb("White")) continue;
        first = std::min(first, x);
        last = std::max(last, x);
      }
    ASSERT_GE(last, 0);
    if (c.atHundredth) {
      EXPECT_EQ(first, static_cast<int>(0.01 * W));
    }
    EXPECT_LT(last, edge);
  }
}

// Stations without a solution (the store holds their first guesses) are no
// part of the curve: no pixel of the element's colour in the columns
// between the solved stations around them, in either plot; a solved station
// between two without a solution is an upright dash in its own column; and
// each station without one has a grey tick across the x axis.
TEST_F(PlotTest, StationsWithoutASolutionBreakTheCurveAndAreTickedInGrey) {
  loadTwo("blunsolved");
  auto stations = [](int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i) v.push_back(i);
    return v;
  };
  struct Case {
    const char* what;
    std::vector<int> unsolved;
    int lone;  // a solved station between two stretches without a solution, or 0
  };
  std::vector<int> twoStretches = stations(20, 24);
  for (int i : stations(26, 30)) twoStretches.push_back(i);
  const Case cases[] = {
      {"a stretch in the middle", stations(10, 19), 0},
      {"a stretch to the last station", stations(50, 60), 0},
      {"a solved station between two stretches", twoStretches, 25},
  };
  const FXColor curve = rgb("Black"), grey = rgb(sorvane::gui::kUnsolvedColor);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fake.unsolved[{0, 0}] = c.unsolved;  // element 1 (black), upper surface
    D* d = click();
    ASSERT_NE(d, nullptr);
    FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
    draw_and_grab(d, img, /*raise=*/true);
    const D::RunPicture::Surface& run = d->ownRun.surface[0][0];
    ASSERT_EQ(run.stations, 60);
    auto column = [&](int i) {
      return static_cast<int>(d->originX + (run.values[D::Q_S][i - 1] - d->axisXMin) * d->scaleX);
    };
    auto isUnsolved = [&](int i) {
      return std::find(c.unsolved.begin(), c.unsolved.end(), i) != c.unsolved.end();
    };
    const int W = d->ueCanvas->getWidth(), H = d->ueCanvas->getHeight(), axis = d->originY;
    for (FXCanvas* canvas : {d->ueCanvas, d->quantityCanvas}) {
      SCOPED_TRACE(canvas == d->ueCanvas ? "upper plot" : "lower plot");
      // Each stretch, from the solved station before it to the one after it
      // (or to the right end of the plot).
      for (int a = 1; a <= 60; ++a) {
        if (!isUnsolved(a) || isUnsolved(a - 1)) continue;
        int b = a;
        while (b < 60 && isUnsolved(b + 1)) ++b;
        const int from = column(a - 1) + 1, to = b < 60 ? column(b + 1) : W - 5;
        ASSERT_LT(from, to);
        EXPECT_EQ(count_rect(img, d, canvas, curve, from, 6, to, H - 21), 0)
            << "stations " << a << " to " << b;
      }
      // The solved curve is there, and the lone station's dash.
      EXPECT_GT(count_in_plot(img, d, canvas, curve), 100);
      if (c.lone) {
        EXPECT_GT(count_rect(img, d, canvas, curve, column(c.lone), 6, column(c.lone) + 1, H - 21),
                  0);
      }
      // Ticks below the axis at the stations without a solution, none at
      // the solved stations clear of them.
      for (int i = 1; i <= 60; ++i) {
        const int px = column(i);
        bool nearTick = false;
        for (int u : c.unsolved) nearTick = nearTick || std::abs(column(u) - px) <= 1;
        const int ticked = count_rect(img, d, canvas, grey, px, axis + 3, px + 1, axis + 4);
        if (isUnsolved(i)) {
          EXPECT_EQ(ticked, 1) << "station " << i;
        } else if (!nearTick) {
          EXPECT_EQ(ticked, 0) << "station " << i;
        }
      }
    }
    d->hide();
  }
}

// The canvases' pixels and the separation and transition fields of a dialog.
// The real boundary layer of two cases whose upper surfaces have runs of
// stations without a solution (their passes do not settle behind a
// separation close behind the nose): examples/main_flap.dat at 4 degrees and
// Re mill= 0.2, and NACA 2412 at 8 degrees, Re 0.2 million, 240 panels. In
// the dialog, no pixel of the element's colour lies between the solved
// stations around such a run, each of its stations has its grey tick on
// the axis, and the run's box gives the run's arc lengths.
TEST_F(PlotTest, RealStationsWithoutASolutionAreNoPartOfTheCurve) {
  const std::string naca = scratch_dir("blreal_naca") + "/naca2412.dat";
  write_file(naca, naca_geometry(naca_section("2412", 8, 0.2, 240)));
  const std::string flap =
      example_copy("blreal_flap", "main_flap.dat", [](std::vector<std::string>& l) {
        set_field(l[5], 0, field10(0.2));
      });
  for (const std::string& path : {flap, naca}) {
    SCOPED_TRACE(path);
    if (state().NCOMPUTE != 0) freshWindow();  // one file per window
    window->blSplitEntry = sorvane::SXR;
    window->blSurfaceEntry = sorvane::FOIL_BL2D;
    ASSERT_TRUE(load(path)) << window->lastError.text();
    D* d = click();
    ASSERT_NE(d, nullptr) << window->lastError.text();
    const D::RunPicture::Surface& run = d->ownRun.surface[0][0];
    std::vector<int> unsolved;
    for (int i = 1; i <= run.stations; ++i)
      if (!run.solved[i - 1]) unsolved.push_back(i);
    ASSERT_GE(unsolved.size(), 5u);
    ASSERT_LT(unsolved.back(), run.stations);  // solved stations after the run
    FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
    draw_and_grab(d, img, /*raise=*/true);
    auto column = [&](int i) {
      return static_cast<int>(d->originX + (run.values[D::Q_S][i - 1] - d->axisXMin) * d->scaleX);
    };
    const FXColor curve = rgb("Black"), grey = rgb(sorvane::gui::kUnsolvedColor);
    const int H = d->ueCanvas->getHeight(), axis = d->originY;
    for (FXCanvas* canvas : {d->ueCanvas, d->quantityCanvas}) {
      SCOPED_TRACE(canvas == d->ueCanvas ? "upper plot" : "lower plot");
      EXPECT_GT(count_in_plot(img, d, canvas, curve), 100);
      for (std::size_t a = 0; a < unsolved.size();) {
        std::size_t b = a;
        while (b + 1 < unsolved.size() && unsolved[b + 1] == unsolved[b] + 1) ++b;
        const int from = column(unsolved[a] - 1) + 1, to = column(unsolved[b] + 1);
        if (from < to) {
          EXPECT_EQ(count_rect(img, d, canvas, curve, from, 6, to, H - 21), 0)
              << "stations " << unsolved[a] << " to " << unsolved[b];
        }
        a = b + 1;
      }
      for (int i : unsolved)
        EXPECT_EQ(count_rect(img, d, canvas, grey, column(i), axis + 3, column(i) + 1, axis + 4), 1)
            << "station " << i;
    }
    // The first run of them, as the box gives it.
    std::size_t last = 0;
    while (last + 1 < unsolved.size() && unsolved[last + 1] == unsolved[last] + 1) ++last;
    char range[80];
    std::snprintf(range, sizeof range, "%d-%d (s %g to %g)", unsolved.front(), unsolved[last],
                  run.values[D::Q_S][unsolved.front() - 1],
                  run.values[D::Q_S][unsolved[last] - 1]);
    EXPECT_NE(window->lastInformation.find(range), -1) << window->lastInformation.text();
    d->hide();
  }
}

// Both plots are laid out with the upper canvas's size, but each canvas is
// painted whole: a lower canvas taller than the upper one (by a row, as the
// layout makes it at the dialog's size, or by twenty) keeps nothing of what
// lay on the screen there.
TEST_F(PlotTest, LowerCanvasIsPaintedWholeInTheUpperOnesLayout) {
  D* d = open("blwhole");
  ASSERT_NE(d, nullptr);
  d->position(0, 0, d->getWidth(), d->getHeight());
  d->raise();
  settle();
  const FXColor stale = FXRGB(255, 0, 255);
  for (int shorter : {0, 20}) {
    SCOPED_TRACE(shorter);
    const int W = d->quantityCanvas->getWidth(), H = d->quantityCanvas->getHeight();
    d->ueCanvas->resize(W, H - 1 - shorter);
    {
      FXDCWindow dc(d->quantityCanvas);
      dc.setForeground(stale);
      dc.fillRectangle(0, 0, W, H);
    }
    d->drawPlots();
    test_app().flush(TRUE);
    FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
    grab(d, img);
    EXPECT_EQ(count_rect(img, d, d->quantityCanvas, stale & 0x00FFFFFF, 0, 0, W, H), 0);
    // The layout is the upper canvas's: the lower plot's axis lies 20 rows
    // above the upper canvas's foot, and white is below its labels.
    EXPECT_EQ(d->originY, H - 1 - shorter - 20);
    EXPECT_EQ(count_rect(img, d, d->quantityCanvas, rgb("White"), 0, H - 1, W, H), W);
  }
}

// Pixels of a colour in the rectangle x0..x1-1, y0..y1-1 of the lower
// canvas, outside the boxes of the given labels.
int count_off_labels(FXImage& img, D* d, const std::vector<RecordingDC::Op>& labels,
                     FXColor colour, int x0, int y0, int x1, int y1) {
  FXFont* font = test_app().getNormalFont();
  auto onLabel = [&](int x, int y) {
    for (const RecordingDC::Op& l : labels)
      if (x >= l.x && x < l.x + font->getTextWidth(FXString(l.text.c_str())) &&
          y >= l.y - font->getFontAscent() && y <= l.y + font->getFontDescent())
        return true;
    return false;
  };
  int cx = 0, cy = 0;
  d->quantityCanvas->translateCoordinatesTo(cx, cy, d, 0, 0);
  int n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      n += pixel(img, cx + x, cy + y) == colour && !onLabel(x, y);
  return n;
}

// The real boundary layer of examples/main_flap.dat at Re 3 million and of
// a thin section at a low Reynolds number (NACA 0006 at 2 degrees, Re 0.2
// million). Stations 1 and 2 of a surface carry the edge velocity of the
// split; the store keeps 0 in their skin friction, thicknesses and shape
// factor, which the march never computes. In every plot of those quantities
// (both elements, both surfaces), the curve starts at station 3: no pixel
// of the element's colour in the columns before it below its value (the
// axis still starts at 0, the frame of the dialog's construction). The edge
// velocity is drawn from the stagnation point on. And the y labels of every
// such plot read their grid lines, no two alike: the thicknesses of both
// cases have steps below 0.001.
TEST_F(PlotTest, LayerQuantitiesStartAtTheFirstComputedStationOnAxesThatReadTheirLines) {
  const std::string naca = scratch_dir("blfirst_naca") + "/naca0006.dat";
  write_file(naca, naca_geometry(naca_section("0006", 2, 0.2, 120)));
  const std::string flap = example_copy("blfirst_flap", "main_flap.dat");
  const struct {
    int q;
    const char* title;
  } quantities[] = {{0, "Cf(X)"}, {1, "D1(X)"}, {2, "D2(X)"}, {4, "H12(X)"}};
  for (const std::string& path : {flap, naca}) {
    SCOPED_TRACE(path);
    int fineSteps = 0;  // thickness axes with a step below 0.001
    if (state().NCOMPUTE != 0) freshWindow();  // one file per window
    window->blSplitEntry = sorvane::SXR;
    window->blSurfaceEntry = sorvane::FOIL_BL2D;
    // The store as the program starts with it (earlier tests' made-up
    // results wrote stations 1 and 2, which no run writes).
    for (auto* a : {&state().CF, &state().D1, &state().D2, &state().RV, &state().H12, &state().VW})
      std::fill(std::begin(a->v), std::end(a->v), 0.0);
    ASSERT_TRUE(load(path)) << window->lastError.text();
    D* d = click();
    ASSERT_NE(d, nullptr) << window->lastError.text();
    for (int e = 0; e < d->elementCount; ++e) {
      d->elementSpinner->setValue(e + 1);
      to(d, D::ID_ELEMENT);
      const FXColor colour = rgb(d->elementColor[e]);
      for (int s = 0; s < 2; ++s) {
        clickRadio(d->surfaceRadio[s]);
        const D::RunPicture::Surface& run = d->ownRun.surface[e][s];
        ASSERT_GE(run.stations, 4);
        for (const auto& quantity : quantities) {
          SCOPED_TRACE(std::string("element ") + std::to_string(e + 1) + ", surface " +
                       std::to_string(s + 1) + ", " + quantity.title);
          clickRadio(d->quantityRadio[quantity.q][s]);
          FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
          draw_and_grab(d, img, /*raise=*/true);
          ASSERT_TRUE(d->xMapped && d->yMapped);
          const std::vector<double>& ys = run.values[D::Q_CF + quantity.q];
          const std::vector<double>& xs = run.values[D::Q_S];
          ASSERT_EQ(ys[0], 0.0);  // the store's stations 1 and 2
          ASSERT_EQ(ys[1], 0.0);
          ASSERT_EQ(d->axisYMin, std::min(0.0, *std::min_element(ys.begin(), ys.end())));
          ASSERT_TRUE(run.solved[2]);
          const int column3 = static_cast<int>(d->originX + (xs[2] - d->axisXMin) * d->scaleX);
          const int row3 = static_cast<int>(d->originY - (ys[2] - d->axisYMin) * d->scaleY);
          // Where station 3 lies a few columns from the stagnation point, a
          // curve from station 1 would show (on main_flap.dat everywhere).
          if (path == flap) {
            ASSERT_GE(column3, 48);
          }
          ASSERT_LE(row3 + 2, d->originY);  // the axis row lies in the rows looked at
          // The plot again, recorded: where its labels are.
          RecordingDC dc(&test_app());
          const int q = D::Q_CF + quantity.q;
          d->drawAxes(dc, d->quantityCanvas, s, d->rangeMin[D::Q_S][s][e],
                      d->rangeMax[D::Q_S][s][e], d->rangeMin[q][s][e], d->rangeMax[q][s][e],
                      quantity.title);
          const std::vector<RecordingDC::Op> labels = y_labels(dc, d);
          if (column3 >= 48) {
            EXPECT_EQ(
                count_off_labels(img, d, labels, colour, 40, row3 + 2, column3, d->originY + 2), 0);
          }
          // The curve itself is there, from station 3 on; the edge velocity
          // above (same x axis, labels of three decimals left of it) from
          // the stagnation point on.
          EXPECT_GT(count_in_plot(img, d, d->quantityCanvas, colour), 50);
          EXPECT_GT(count_rect(img, d, d->ueCanvas, colour, 45, 6, column3, d->originY + 1), 3);

          // The labels as drawn, on the grid lines' rows.
          std::vector<std::string> texts;
          for (const RecordingDC::Op& o : labels) {
            const int i = static_cast<int>(texts.size());
            const double line = d->axisYMin + i * d->stepY;
            EXPECT_EQ(o.y, static_cast<int>(d->originY - d->scaleY * (i * d->stepY)));
            const std::size_t dot = o.text.find('.');
            ASSERT_NE(dot, std::string::npos) << o.text;
            const double unit = std::pow(10.0, -static_cast<double>(o.text.size() - dot - 1));
            EXPECT_LE(std::fabs(std::atof(o.text.c_str()) - line), 0.5 * unit * (1 + 1e-9))
                << o.text << " on the line of " << line;
            EXPECT_TRUE(std::find(texts.begin(), texts.end(), o.text) == texts.end()) << o.text;
            texts.push_back(o.text);
          }
          EXPECT_EQ(static_cast<int>(texts.size()), d->countY + 1);
          if (quantity.q == 1 || quantity.q == 2) fineSteps += d->stepY < 0.001 * (1 - 1e-9);
        }
      }
    }
    d->hide();
    EXPECT_GE(fineSteps, 1);
  }
}

struct Picture {
  std::vector<FXColor> ue, quantity;
  double str[2], ssep[2], xsep[2];
  std::vector<std::string> texts;
};

Picture picture_of(D* d) {
  FXImage img(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
  draw_and_grab(d, img, /*raise=*/true);
  Picture p;
  // Both plots are drawn in the upper canvas's size; a lower canvas a row
  // taller keeps whatever its last row held.
  const int W = d->ueCanvas->getWidth(), H = d->ueCanvas->getHeight();
  for (FXCanvas* c : {d->ueCanvas, d->quantityCanvas}) {
    int cx = 0, cy = 0;
    c->translateCoordinatesTo(cx, cy, d, 0, 0);
    std::vector<FXColor>& out = c == d->ueCanvas ? p.ue : p.quantity;
    for (int y = cy; y < cy + H && y < img.getHeight(); ++y)
      for (int x = cx; x < cx + W && x < img.getWidth(); ++x)
        out.push_back(pixel(img, x, y));
  }
  settle();  // the fields show their values
  for (int j = 0; j < 2; ++j) {
    p.str[j] = d->strValue[j];
    p.ssep[j] = d->ssepValue[j];
    p.xsep[j] = d->xsepValue[j];
    for (FXTextField* f : {d->strField[j], d->ssepField[j], d->xsepField[j]})
      p.texts.push_back(f->getText().text());
  }
  return p;
}

// Every dialog draws the run it was opened on until its own "Recalculate",
// while later runs rewrite the store: the first dialog's picture and fields
// stay exactly as they were after a second dialog's "Recalculate" at another
// Reynolds number and transition (typed into its fields, which is what
// "Recalculate" reads; the results are in proportion to the Reynolds
// number, so only that run's inputs make its picture differ) and after "BL
// Calculation" at another incidence, and the dialog of each later run shows
// that run; a run refused as a whole is no run of the dialog's.
TEST_F(PlotTest, EachDialogShowsItsOwnRun) {
  loadTwo("blownrun");
  fake.reynoldsPower = 1.0;  // results in proportion to the Reynolds number
  D* first = click();
  ASSERT_NE(first, nullptr);
  const Picture before = picture_of(first);
  const double firstRe = first->reynoldsValue;
  D* second = click();
  ASSERT_NE(second, nullptr);
  struct Step {
    const char* what;
    std::function<D*()> run;  // the dialog that shows the new run
  };
  const Step steps[] = {
      {"the second dialog's Recalculate",
       [&] {
         fake.calls.clear();
         type(second->reynoldsField, "1.5");
         type(second->strField[0], "0.3");
         to(second, D::ID_RECALCULATE);
         // The run took the typed values.
         EXPECT_FALSE(fake.calls.empty());
         for (const auto& c : fake.calls) EXPECT_DOUBLE_EQ(c.remill, 1.5) << c.what;
         EXPECT_DOUBLE_EQ(fake.calls.at(1).xtr, 0.3);
         return second;
       }},
      {"BL Calculation at another incidence",
       [&] {
         fake.stopAt[{0, 0}] = 45;
         fake.scale = 2.0;
         fake.unsolved[{0, 0}] = {10, 11, 12};
         window->alphaSpinner->setValue(4.0);
         send(Sorvane_2D::ID_ALPHA);
         return click();
       }},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    D* later = step.run();
    ASSERT_NE(later, nullptr);
    const Picture now = picture_of(first);
    EXPECT_TRUE(now.ue == before.ue);
    EXPECT_TRUE(now.quantity == before.quantity);
    EXPECT_EQ(now.texts, before.texts);
    for (int j = 0; j < 2; ++j) {
      EXPECT_EQ(now.str[j], before.str[j]) << j;
      EXPECT_EQ(now.ssep[j], before.ssep[j]) << j;
      EXPECT_EQ(now.xsep[j], before.xsep[j]) << j;
    }
    // The later dialog shows the run in the store.
    const ProblemState& s = state();
    const Picture shown = picture_of(later);
    EXPECT_FALSE(shown.ue == before.ue);
    EXPECT_DOUBLE_EQ(later->ssepValue[0], s.XINV(1, 1));
    EXPECT_DOUBLE_EQ(later->strValue[0], s.XTR(1, 1));
    const D::RunPicture::Surface& run = later->ownRun.surface[0][0];
    ASSERT_EQ(run.stations, sorvane::gui::computed_stations(1, 1));
    for (int i = 1; i <= run.stations; ++i) {
      EXPECT_EQ(run.values[D::Q_UE][i - 1], s.UE(i, 1, 1)) << i;
      EXPECT_EQ(run.solved[i - 1], s.SOLVED(i, 1, 1)) << i;
    }
  }
  // The second dialog shows its own run's inputs, the first its own.
  settle();
  EXPECT_DOUBLE_EQ(second->reynoldsValue, 1.5);
  EXPECT_DOUBLE_EQ(second->strValue[0], 0.3);
  EXPECT_EQ(second->reynoldsField->getText(), FXString("1.5"));
  EXPECT_DOUBLE_EQ(first->reynoldsValue, firstRe);
  EXPECT_EQ(first->reynoldsField->getText(), FXStringVal(firstRe));

  // The first dialog's own "Recalculate" with a run refused as a whole (a
  // Reynolds number beyond the range of numbers) leaves the store to the
  // last run: the dialog keeps the picture of its own.
  fake.calls.clear();
  first->reynoldsField->setText("1e308");
  to(first, D::ID_RECALCULATE);
  EXPECT_TRUE(fake.calls.empty());
  const Picture refused = picture_of(first);
  EXPECT_TRUE(refused.ue == before.ue);
  EXPECT_TRUE(refused.quantity == before.quantity);
  EXPECT_EQ(refused.texts, before.texts);
  EXPECT_EQ(first->reynoldsField->getText(), FXStringVal(firstRe));
}

// The dialog on the real boundary layer of examples/main_flap.dat; the
// picture is the one in docs/.
TEST_F(PlotTest, RendersTheDialog) {
  window->blSplitEntry = sorvane::SXR;
  window->blSurfaceEntry = sorvane::FOIL_BL2D;
  loadTwo("blrender");
  D* d = click();
  ASSERT_NE(d, nullptr) << window->lastError.text();
  FXPNGImage shot(&test_app(), nullptr, IMAGE_KEEP, d->getWidth(), d->getHeight());
  draw_and_grab(d, shot, /*raise=*/true);

  // Element 1 is black: its curves lie in both plot areas, where no label
  // is; the separation and transition markers sit on y = 0 of the edge
  // velocity (whose minimum, 0, is the stagnation point).
  EXPECT_GT(count_in_plot(shot, d, d->ueCanvas, rgb("Black")), 100);
  EXPECT_GT(count_in_plot(shot, d, d->quantityCanvas, rgb("Black")), 100);
  const int w = d->ueCanvas->getWidth(), h = d->ueCanvas->getHeight();
  EXPECT_GT(count_rect(shot, d, d->ueCanvas, rgb("Red"), 30, h - 30, w, h - 10), 10);
  EXPECT_GT(count_rect(shot, d, d->ueCanvas, rgb("Blue"), 30, h - 30, w, h - 10), 10);
  EXPECT_GT(count_in_plot(shot, d, d->ueCanvas, rgb("Orange")), 200);
  EXPECT_GT(count_in_plot(shot, d, d->ueCanvas, rgb("White")),
            d->ueCanvas->getWidth() * d->ueCanvas->getHeight() / 2);
  // The legend texts are in their colours (smoothed text: bluish and
  // reddish pixels).
  auto tinted = [&](FXLabel* l, bool blue) {
    int lx = 0, ly = 0, n = 0;
    l->translateCoordinatesTo(lx, ly, d, 0, 0);
    for (int y = ly; y < ly + l->getHeight(); ++y)
      for (int x = lx; x < lx + l->getWidth(); ++x) {
        const FXColor c = shot.getPixel(x, y);
        const int r = FXREDVAL(c), g = FXGREENVAL(c), b = FXBLUEVAL(c);
        n += blue ? (b > 150 && r < 100 && g < 100) : (r > 150 && b < 100 && g < 100);
      }
    return n;
  };
  EXPECT_GT(tinted(d->transitionLegend, true), 20);
  EXPECT_GT(tinted(d->separationLegend, false), 20);
  EXPECT_EQ(tinted(d->separationLegend, true), 0);

  FXFileStream out;
  ASSERT_TRUE(out.open(SORVANE_BINARY_DIR "/bl_dialog.png", FXStreamSave));
  EXPECT_TRUE(shot.savePixels(out));
  out.close();
}

}  // namespace
}  // namespace sorvane::testing

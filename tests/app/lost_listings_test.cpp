// Listings and summary files that cannot be written in full: the window
// names a lost listing where the solution status is shown and once in a
// box (in the boundary-layer run's one box after a run), and "Save Result"
// leaves no partial numbered file.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/bl_dialog.h"
#include "solver/text/units.h"
#include "tests/app/window_fixture.h"

namespace sorvane::testing {
namespace {

namespace fs = std::filesystem;
using W = Sorvane_2D;

class LostListingWindow : public WindowTest {
 protected:
  void TearDown() override {
    WindowTest::TearDown();
    // Later tests start without the failures these ones made.
    text::units().forget_failures();
  }
  // A copy of main_flap.dat whose listing with this suffix is a link to a
  // device that is always full; the message that names it.
  std::string flapWithFullListing(const std::string& name, const char* suffix,
                                  const std::function<void(std::vector<std::string>&)>& edit =
                                      nullptr) {
    const std::string path = example_copy(name, "main_flap.dat", edit);
    dir = fs::path(path).parent_path().string();
    fs::create_symlink("/dev/full", dir + "/main_flap." + suffix);
    lost = ("cannot write the listing " + dir + "/main_flap." + suffix +
            ": No space left on device")
               .c_str();
    return path;
  }
  std::string dir;
  FX::FXString lost;
};

// The main listing on a full device: the numbers of the valid solution stay,
// "Multielement configuration:" names the listing, one box says it, and a
// later recompute shows no second box.
TEST_F(LostListingWindow, LostListingIsShownWithTheSolution) {
  ASSERT_TRUE(load(flapWithFullListing("lost_out", "out"))) << window->lastError.text();
  EXPECT_EQ(state().SOLUTION_STATUS, SolutionStatus::kOk);
  EXPECT_EQ(window->configurationLabel->getText(), lost);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError, lost);
  EXPECT_FALSE(window->cliftText.empty());
  EXPECT_FALSE(window->elements[1].elementCdragText.empty());

  setSpinner(window->alphaSpinner, 2.0);
  send(W::ID_ALPHA);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->configurationLabel->getText(), lost);
  EXPECT_FALSE(window->cliftText.empty());
}

// A failed solution whose listing is lost too: the label gives both, and
// the one box of the failure names the listing as well.
TEST_F(LostListingWindow, FailedSolutionAndLostListingInOneBox) {
  const std::string path = flapWithFullListing(
      "lost_failing", "out", [](std::vector<std::string>& l) { set_field(l[3], 3, "0.00000"); });
  ASSERT_TRUE(load(path)) << window->lastError.text();
  ASSERT_EQ(state().SOLUTION_STATUS, SolutionStatus::kFailed);
  const FX::FXString label = window->configurationLabel->getText();
  EXPECT_EQ(label.left(17), FX::FXString("Solution failed: "));
  EXPECT_EQ(label.right(lost.length() + 2), "; " + lost) << label.text();
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_NE(window->lastError.find("The panel solution failed: "), -1);
  EXPECT_NE(window->lastError.find("\n" + lost), -1) << window->lastError.text();
  EXPECT_TRUE(window->cliftText.empty());
}

// The station log on a full device: the boundary-layer run's one box names
// it, the dialog opens on the results, and the main window's label says it.
// "Recalculate" shows it in no further box.
TEST_F(LostListingWindow, LostStationLogInTheRunsBox) {
  ASSERT_TRUE(load(flapWithFullListing("lost_blf", "blf"))) << window->lastError.text();
  EXPECT_EQ(window->errorCount, 0) << window->lastError.text();
  EXPECT_EQ(send(W::ID_BL_CALCULATION), 1);
  settle();
  ASSERT_NE(window->blDialog, nullptr);
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError, lost);  // every surface ran: nothing else to say
  EXPECT_EQ(window->configurationLabel->getText(), lost);

  window->blDialog->handle(window->blDialog, FXSEL(FX::SEL_COMMAND, BlCalc_2D::ID_RECALCULATE),
                           nullptr);
  settle();
  EXPECT_EQ(window->errorCount, 1) << window->lastError.text();
  EXPECT_EQ(window->configurationLabel->getText(), lost);
}

// Where every widget of the window lies (in the window's coordinates) and
// how large it is, depth first; the status label itself is left out.
struct Placed {
  std::string what;  // kind and text
  int x, y, w, h;
};
std::vector<Placed> placements(Sorvane_2D* window) {
  std::vector<Placed> all;
  std::function<void(FX::FXWindow*)> walk = [&](FX::FXWindow* parent) {
    for (FX::FXWindow* c = parent->getFirst(); c; c = c->getNext()) {
      if (c == window->configurationLabel) continue;
      std::string what = c->getClassName();
      if (auto* l = dynamic_cast<FX::FXLabel*>(c)) what += ":" + std::string(l->getText().text());
      if (auto* g = dynamic_cast<FX::FXGroupBox*>(c))
        what += ":" + std::string(g->getText().text());
      int x = 0, y = 0;
      c->translateCoordinatesTo(x, y, window, 0, 0);
      all.push_back({what, x, y, c->getWidth(), c->getHeight()});
      walk(c);
    }
  };
  walk(window);
  return all;
}

// The group box of the window with this title (nullptr when there is none).
FX::FXWindow* group_titled(FX::FXWindow* parent, const char* title) {
  for (FX::FXWindow* c = parent->getFirst(); c; c = c->getNext()) {
    auto* g = dynamic_cast<FX::FXGroupBox*>(c);
    if (g && g->getText() == title) return g;
    if (FX::FXWindow* found = group_titled(c, title)) return found;
  }
  return nullptr;
}

// A folder that cannot take the listings (every listing beside the input
// on a full device): "Multielement configuration:" names every lost listing
// in a text far wider than its field. The field shows it shortened, the
// whole text is its tooltip, and every control - the plot, "Output Data:",
// "TE condition:", the buttons - keeps the place and size it has with the
// short status of a sound folder, inside the window, also after a
// recompute.
TEST_F(LostListingWindow, LongStatusKeepsEveryControlInItsPlace) {
  ASSERT_TRUE(load(example_copy("status_short", "main_flap.dat"))) << window->lastError.text();
  settle();
  const std::vector<Placed> sound = placements(window);
  const FX::FXString shortStatus = window->configurationLabel->getText();
  const int statusX = window->configurationLabel->getX(),
            statusWidth = window->configurationLabel->getWidth();
  EXPECT_EQ(std::string(window->configurationLabel->shownText().text()), shortStatus.text());
  EXPECT_EQ(window->configurationLabel->getTipText(), shortStatus);

  // A fresh window on the folder that cannot take the listings.
  freshWindow();
  const std::string path = example_copy("status_full", "main_flap.dat");
  dir = fs::path(path).parent_path().string();
  for (const char* suffix : {"out", "cpf", "deb", "blf", "sum", "bln"})
    fs::create_symlink("/dev/full", dir + "/main_flap." + suffix);
  ASSERT_TRUE(load(path)) << window->lastError.text();
  settle();

  sorvane::gui::StatusLabel* status = window->configurationLabel;
  const FX::FXString text = status->getText();
  // The field and the one box name every lost listing.
  EXPECT_EQ(window->errorCount, 1);
  for (const char* suffix : {"out", "cpf", "deb", "sum"}) {
    const FX::FXString line = ("cannot write the listing " + dir + "/main_flap." + suffix +
                               ": No space left on device")
                                  .c_str();
    EXPECT_NE(text.find(line), -1) << suffix << ": " << text.text();
    EXPECT_NE(window->lastError.find(line), -1) << suffix << ": " << window->lastError.text();
  }
  // The whole text is far wider than the field, which shows its start.
  const int room = status->getWidth() - status->getPadLeft() - status->getPadRight() -
                   2 * status->getBorderWidth();
  EXPECT_GT(status->getFont()->getTextWidth(text), 2 * window->getWidth());
  const FX::FXString shown = status->shownText();
  EXPECT_EQ(shown.right(3), FX::FXString("..."));
  EXPECT_EQ(text.left(shown.length() - 3), shown.left(shown.length() - 3));
  EXPECT_LE(status->getFont()->getTextWidth(shown), room);
  EXPECT_EQ(status->getTipText(), text);
  // The field itself keeps its place and size, one line high.
  EXPECT_EQ(status->getX(), statusX);
  EXPECT_EQ(status->getWidth(), statusWidth);
  EXPECT_EQ(status->getHeight(), status->getDefaultHeight());

  auto same_places = [&](const char* when) {
    const std::vector<Placed> now = placements(window);
    ASSERT_EQ(now.size(), sound.size()) << when;
    for (std::size_t i = 0; i < now.size(); ++i) {
      SCOPED_TRACE(std::string(when) + ": " + now[i].what);
      EXPECT_EQ(now[i].what, sound[i].what);
      EXPECT_EQ(now[i].x, sound[i].x);
      EXPECT_EQ(now[i].y, sound[i].y);
      EXPECT_EQ(now[i].w, sound[i].w);
      EXPECT_EQ(now[i].h, sound[i].h);
    }
    // The plot, the groups a wide column pushed off and every button lie
    // inside the window, the status field inside its group.
    std::vector<FX::FXWindow*> kept = {window->canvas, window->saveResultButton,
                                       window->blCalculationButton,
                                       group_titled(window, "Output Data:"),
                                       group_titled(window, "TE condition:")};
    for (FX::FXWindow* c : kept) {
      ASSERT_NE(c, nullptr) << when;
      int x = 0, y = 0;
      c->translateCoordinatesTo(x, y, window, 0, 0);
      EXPECT_GE(x, 0) << when;
      EXPECT_LE(x + c->getWidth(), window->getWidth()) << when;
      EXPECT_LE(y + c->getHeight(), window->getHeight()) << when;
      EXPECT_GT(c->getWidth(), 0) << when;
    }
    FX::FXWindow* group = status->getParent();
    EXPECT_LE(status->getX() + status->getWidth(), group->getWidth()) << when;
  };
  same_places("after the load");
  setSpinner(window->alphaSpinner, 2.0);
  send(W::ID_ALPHA);
  settle();
  EXPECT_EQ(status->getText(), text);
  same_places("after a recompute");
}

// Lowers the file-size limit of this process (with SIGXFSZ ignored, so that
// a write past the limit fails instead of ending the process) while it
// lives.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    handler_ = std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lower{bytes, saved_.rlim_max};
    ok_ = ::setrlimit(RLIMIT_FSIZE, &lower) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;
  bool ok() const { return ok_; }

 private:
  rlimit saved_{};
  void (*handler_)(int) = nullptr;
  bool ok_ = false;
};

// "Save Result" that cannot write its file in full: an error box that says
// so and what the next save is called; no numbered file of that number
// (not even one of an earlier run) and no temporary file is left. The next
// save, with room again, writes its number in full, with the rights of any
// file the user makes.
TEST_F(LostListingWindow, SaveThatCannotBeWrittenInFullLeavesNoNumberedFile) {
  const std::string path = example_copy("lost_sum", "main_flap.dat");
  dir = fs::path(path).parent_path().string();
  ASSERT_TRUE(load(path)) << window->lastError.text();
  write_file(dir + "/main_flap_1.sum", "a summary of an earlier run\n");
  {
    FileSizeLimit limit(4096);
    ASSERT_TRUE(limit.ok());
    send(W::ID_SAVE_RESULT);
  }
  EXPECT_EQ(window->errorCount, 1);
  EXPECT_EQ(window->lastError,
            ("The summary file " + dir + "/main_flap_1.sum was not written completely: File too "
             "large. No file of that name is left; the next save writes " + dir +
             "/main_flap_2.sum.")
                .c_str());
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().filename().string().rfind("main_flap_1", 0), std::string::npos)
        << e.path();
  EXPECT_EQ(window->saveCounter, 1);

  send(W::ID_SAVE_RESULT);
  EXPECT_EQ(window->errorCount, 1) << window->lastError.text();
  const std::vector<std::string> lines = read_lines(dir + "/main_flap_2.sum");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.front(), std::string(92, '-'));
  EXPECT_EQ(lines.back(), std::string(92, '='));
  const mode_t mask = ::umask(0);
  ::umask(mask);
  struct stat st {};
  ASSERT_EQ(::stat((dir + "/main_flap_2.sum").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0666 & ~mask);

  // A folder in the way of the third: it cannot be replaced, and the box
  // says that something of that name is still there.
  fs::create_directories(dir + "/main_flap_3.sum/inside");
  send(W::ID_SAVE_RESULT);
  EXPECT_EQ(window->errorCount, 2);
  EXPECT_EQ(window->lastError,
            ("The summary file " + dir + "/main_flap_3.sum was not written completely: Is a "
             "directory. An earlier file of that name is still there; the next save writes " +
             dir + "/main_flap_4.sum.")
                .c_str());
  for (const auto& e : fs::directory_iterator(dir))
    EXPECT_EQ(e.path().filename().string().rfind("main_flap_3.sum.", 0), std::string::npos)
        << e.path();
}

}  // namespace
}  // namespace sorvane::testing

// "Save Result": the numbered summary file beside the input file, and the
// panel-geometry table written the same way (no caller). Each is written
// under a temporary name beside its own and renamed only when every line,
// flush and close has succeeded, so that a numbered file is either complete
// or not there.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "app/fox_compat.h"
#include "app/main_window.h"
#include "app/summary_rows.h"
#include "solver/state/limits.h"
#include "solver/state/problem_state.h"

using namespace FX;
using sorvane::ProblemState;
using sorvane::SolutionStatus;
using sorvane::state;
using sorvane::gui::overlay;

namespace {

// The input path less its last four characters, "_", the number, suffix.
FXString numbered_name(const FXString& input, int number, const char* suffix) {
  const FXint keep = input.length() > 4 ? input.length() - 4 : 0;
  return input.left(keep) + "_" + sorvane::gui::string_from_int(number) + suffix;
}

std::string str(const FXString& s) { return std::string(s.text(), s.length()); }

std::string reason_text(int err) { return err ? std::strerror(err) : "unknown error"; }

// A text file written line by line, each line flushed, under a temporary
// name in the folder of its final name. The first failure is kept with the
// system's reason and later lines are dropped; finish() renames the file to
// its name when all went well and removes it otherwise.
class NumberedFile {
 public:
  explicit NumberedFile(std::string path) : path_(std::move(path)), temp_(path_ + ".XXXXXX") {
    const int fd = ::mkstemp(temp_.data());
    if (fd < 0) {
      fail(errno);
      temp_.clear();
      return;
    }
    created_ = true;
    // mkstemp makes the file private; a summary file gets the rights of any
    // file the user creates.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    file_ = ::fdopen(fd, "w");
    if (!file_) {
      fail(errno);
      ::close(fd);
    }
  }
  ~NumberedFile() {
    if (file_) std::fclose(file_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
  }
  NumberedFile(const NumberedFile&) = delete;
  NumberedFile& operator=(const NumberedFile&) = delete;

  // Whether the temporary file could be made.
  bool created() const { return created_; }

  // One line and its line end, flushed.
  void put(const std::string& line) {
    if (!file_ || !reason_.empty()) return;
    if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() ||
        std::fputc('\n', file_) == EOF || std::fflush(file_) != 0)
      fail(errno);
  }

  // Closes the file and gives it its name; "" then, otherwise the reason it
  // is not there: the temporary file is removed, and so is an earlier file
  // of the name where it can be (left() says whether one stays).
  std::string finish() {
    if (file_) {
      const bool earlier = std::ferror(file_) != 0;
      errno = 0;
      if (std::fclose(file_) != 0 || earlier) fail(errno);
      file_ = nullptr;
    }
    if (reason_.empty() && std::rename(temp_.c_str(), path_.c_str()) != 0) fail(errno);
    if (reason_.empty()) {
      temp_.clear();
      return reason_;
    }
    // A file of the same name from an earlier run would pass for this save.
    ::unlink(path_.c_str());
    left_ = ::access(path_.c_str(), F_OK) == 0;
    return reason_;
  }
  // After a failed finish: whether something still stands under the name
  // (an earlier file that could not be removed).
  bool left() const { return left_; }

 private:
  void fail(int err) {
    if (reason_.empty()) reason_ = reason_text(err);
  }
  std::string path_, temp_;
  std::FILE* file_ = nullptr;
  bool created_ = false, left_ = false;
  std::string reason_;
};

// The message of a numbered file that is not there after a save; next says
// what the next save is called.
FXString not_written(const char* what, const FXString& path, const NumberedFile& file,
                     const std::string& reason, const FXString& next) {
  return FXString(what) + " " + path +
         (file.created() ? " was not written completely: " : " cannot be created: ") +
         reason.c_str() +
         (file.left() ? ". An earlier file of that name is still there"
                      : ". No file of that name is left") +
         "; the next save writes " + next + ".";
}

}  // namespace

long Sorvane_2D::onCmdSaveResult(FXObject*, FXSelector, void*) {
  // The button is enabled only after a load; a message sent before one has
  // no solution to save (and no input name to number the file after).
  if (!loaded) return 1;
  saveCounter += 1;
  writeSummaryFile();
  return 1;
}

void Sorvane_2D::writeSummaryFile() {
  const ProblemState& s = state();
  outPath = numbered_name(inputPath, saveCounter, ".sum");
  if (s.SOLUTION_STATUS == SolutionStatus::kFailed) {
    // A failed solution leaves no numbers worth keeping.
    showError("Save Result", "The last solution failed; " + outPath + " is not written.");
    return;
  }
  NumberedFile out(str(outPath));
  const auto put = [&out](const std::string& line) { out.put(line); };
  const int ne = sorvane::addressable_elements(s.NELEM);

  put(str(ruleLine));
  std::string inputLine = str(inputFileLine);
  overlay(inputLine, 13, str(inputPath));
  put(inputLine);
  put(str(ruleLine));
  put(str(flowHeading));
  {
    std::string line = sorvane::gui::value_line(
        44, {{2, s.ALPHA, 4}, {12, s.MACH, 4}, {22, s.SWEPT, 2}, {32, s.BREF, 4}});
    line += std::to_string(s.NELEM);
    put(line);
  }

  for (int k = 1; k <= ne; ++k) {
    put(str(ruleLine));
    put(str(axisHeading1));
    put(str(axisHeading2));
    put(str(axisHeading3));
    {
      std::string line = sorvane::gui::value_line(
          89, {{11, s.XAX(k), 4}, {21, s.YAX(k), 4}, {41, s.XX(k), 4}, {51, s.YY(k), 4},
               {62, s.DFL(k), 2}, {72, s.BELEM(k), 4}});
      overlay(line, 5, std::to_string(k));
      put(line);
    }
    put(str(ruleLine));
    put(str(pointHeading));
    put(str(ruleLine));
    const int n = s.NPANELS(k);
    for (int j = 1; j <= n + 1 && j <= sorvane::kControlRows; ++j) {
      // The last row is the last node and the additional control point: the
      // solution gives no Cp or V(Gamma) there, so none is written.
      const bool panel = j <= n;
      put(sorvane::gui::summary_point_row(j, s.XPN(j, k), s.YPN(j, k), s.XC(j, k),
                                               s.YC(j, k), panel ? s.CP(j, k) : 0.0,
                                               panel ? s.VGAMMA(j, k) : 0.0, s.COSSWEPT, panel));
    }
    put(str(ruleLine));
    std::string title = str(elementTitle);
    overlay(title, 51, std::to_string(k));
    put(title);
    put(str(elementCoefficientHeading));
    put(sorvane::gui::value_line(89, {{2, s.CY(k), 4},
                                           {17, s.CX(k), 6},
                                           {32, s.MZ(k), 4},
                                           {48, s.CYGAMMA(k), 4},
                                           {63, s.CYB(k), 4},
                                           {77, s.CMZ0(k), 4}}));
    put(str(doubleRuleLine));
  }

  put(str(configurationTitle));
  put(str(configurationCoefficientHeading));
  put(sorvane::gui::value_line(
      89, {{2, s.CYS, 4}, {17, s.CXS, 6}, {32, s.CMS, 4}, {48, s.CYGAMMAS, 4}}));
  put(str(doubleRuleLine));
  const std::string lost = out.finish();
  if (!lost.empty())
    showError("Save Result",
              not_written("The summary file", outPath, out, lost,
                          numbered_name(inputPath, saveCounter + 1, ".sum")));
}

void Sorvane_2D::writeGeometryFile() {
  const ProblemState& s = state();
  reportCounter += 1;
  geoPath = numbered_name(inputPath, reportCounter, ".geo");
  NumberedFile out(str(geoPath));
  const auto put = [&out](const std::string& line) { out.put(line); };
  put("******* PANEL GEOMETRY OF AIRFOIL *******");
  const int ne = sorvane::addressable_elements(s.NELEM);
  for (int k = 1; k <= ne; ++k) {
    std::string title = "  ELEMENT   ";
    overlay(title, 10, std::to_string(k));
    put(title);
    put("    N     XPN            YPN            XC             YC             Cp");
    const int n = s.NPANELS(k);
    for (int j = 1; j <= n + 1 && j <= sorvane::kControlRows; ++j) {
      const bool panel = j <= n;
      put(sorvane::gui::geometry_point_row(j, s.XPN(j, k), s.YPN(j, k), s.XC0(j, k),
                                                s.YC0(j, k), panel ? s.CP(j, k) : 0.0, panel));
    }
  }
  const std::string lost = out.finish();
  if (!lost.empty())
    showError("Panel geometry", not_written("The file", geoPath, out, lost,
                                            numbered_name(inputPath, reportCounter + 1, ".geo")));
}

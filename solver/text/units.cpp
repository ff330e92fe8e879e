// Numbered listing units: unit number -> open file, unit 6 -> standard output.
// Every write, flush and close is checked; the first failure of a unit is
// kept and the unit takes no more records.
#include "solver/text/units.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace sorvane::text {

namespace {
const std::string kNoPath;

void set_error(std::string* error, const std::string& text) {
  if (error) *error = text;
}

std::string reason_text(int err) { return err ? std::strerror(err) : "unknown error"; }
}  // namespace

Units::Units() = default;

Units::~Units() {
  close_all();
  std::fflush(stdout_ ? stdout_ : stdout);
}

bool Units::open(int unit, const std::string& path, std::string* error) {
  int err = 0;
  return open_file(unit, path, error, &err);
}

bool Units::open_file(int unit, const std::string& path, std::string* error, int* err) {
  if (unit < 0 || unit >= kMaxUnit || unit == kStdout) {
    set_error(error, "cannot connect unit " + std::to_string(unit) + " to \"" + path +
                         "\": not a listing unit");
    return false;
  }
  close(unit);
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    *err = errno;
    set_error(error, "cannot create \"" + path + "\": " + reason_text(*err));
    return false;
  }
  // A new file: what an earlier one of the unit lost no longer stands in it.
  drop_failures(unit);
  slots_[unit].file = f;
  slots_[unit].path = path;
  slots_[unit].failed = false;
  return true;
}

bool Units::open_keep(int unit, const std::string& path, std::string* error) {
  if (unit < 0 || unit >= kMaxUnit || unit == kStdout) return open(unit, path, error);
  if (slots_[unit].file && slots_[unit].path == path) return true;
  // A listing of this path that has lost records stays failed: starting it
  // afresh would hide what was lost.
  for (const Failure& f : failures_)
    if (f.unit == unit && f.path == path) {
      set_error(error, "cannot write \"" + path + "\": " + f.reason);
      return false;
    }
  int err = 0;
  if (open_file(unit, path, error, &err)) return true;
  fail(unit, path, err);
  return false;
}

bool Units::is_open(int unit) const { return file_of(unit) != nullptr; }

const std::string& Units::path(int unit) const {
  if (unit < 0 || unit >= kMaxUnit || !slots_[unit].file) return kNoPath;
  return slots_[unit].path;
}

void Units::close(int unit) {
  if (unit < 0 || unit >= kMaxUnit || unit == kStdout) return;
  Slot& s = slots_[unit];
  if (s.file) {
    // fclose flushes what is still buffered: its result is the last write.
    const bool earlier = std::ferror(s.file) != 0;
    errno = 0;
    const bool closed = std::fclose(s.file) == 0;
    if (earlier || !closed) fail(unit, s.path, errno);
  }
  s.file = nullptr;
  s.path.clear();
  s.failed = false;
}

void Units::close_all() {
  for (int u = 0; u < kMaxUnit; ++u) close(u);
}

void Units::redirect_stdout(std::FILE* f) {
  std::FILE* old = stdout_ ? stdout_ : stdout;
  errno = 0;
  if (!slots_[kStdout].failed && (std::fflush(old) != 0 || std::ferror(old)))
    fail(kStdout, kNoPath, errno);
  stdout_ = f;
  slots_[kStdout].failed = false;
}

std::FILE* Units::file_of(int unit) const {
  if (unit == kStdout) return stdout_ ? stdout_ : stdout;
  if (unit < 0 || unit >= kMaxUnit) return nullptr;
  return slots_[unit].file;
}

std::FILE* Units::live_file(int unit) const {
  if (unit < 0 || unit >= kMaxUnit || slots_[unit].failed) return nullptr;
  return file_of(unit);
}

void Units::put(int unit, std::FILE* file, const char* data, std::size_t size) {
  if (unit == kStdout && !stdout_ && stdoutClosedAtStart_) {
    fail(unit, kNoPath, EBADF);
    return;
  }
  // A short count means the stream could not pass its buffer on: errno holds
  // the reason of the write that failed.
  if (std::fwrite(data, 1, size, file) != size)
    fail(unit, unit == kStdout ? kNoPath : slots_[unit].path, errno);
}

void Units::write(int unit, const Format& f, const Item* items, std::size_t count) {
  std::FILE* file = live_file(unit);
  if (!file) return;
  buffer_.clear();
  f.write(buffer_, items, count);
  put(unit, file, buffer_.data(), buffer_.size());
}

void Units::write_free(int unit, std::initializer_list<Item> items) {
  std::FILE* file = live_file(unit);
  if (!file) return;
  buffer_.clear();
  text::write_free(buffer_, items.begin(), items.size());
  put(unit, file, buffer_.data(), buffer_.size());
}

void Units::write_text(int unit, const std::string& text) {
  std::FILE* file = live_file(unit);
  if (!file || text.empty()) return;
  put(unit, file, text.data(), text.size());
}

void Units::flush_all() {
  for (int u = 0; u < kMaxUnit; ++u) {
    std::FILE* file = live_file(u);
    if (!file) continue;
    errno = 0;
    if (std::fflush(file) != 0 || std::ferror(file))
      fail(u, u == kStdout ? kNoPath : slots_[u].path, errno);
  }
}

std::vector<std::string> Units::failure_messages() const {
  std::vector<std::string> lines;
  lines.reserve(failures_.size());
  for (const Failure& f : failures_)
    lines.push_back(f.unit == kStdout ? "cannot write standard output: " + f.reason
                                      : "cannot write the listing " + f.path + ": " + f.reason);
  return lines;
}

bool Units::failed(int unit) const {
  return std::any_of(failures_.begin(), failures_.end(),
                     [unit](const Failure& f) { return f.unit == unit; });
}

void Units::forget_failures() {
  failures_.clear();
  for (Slot& s : slots_) s.failed = false;
}

void Units::fail(int unit, const std::string& path, int err) {
  if (unit >= 0 && unit < kMaxUnit) {
    if (slots_[unit].failed) return;
    slots_[unit].failed = true;
  }
  failures_.push_back({unit, path, reason_text(err)});
}

void Units::drop_failures(int unit) {
  failures_.erase(std::remove_if(failures_.begin(), failures_.end(),
                                 [unit](const Failure& f) { return f.unit == unit; }),
                  failures_.end());
}

Units& units() {
  static Units table;
  return table;
}

}  // namespace sorvane::text

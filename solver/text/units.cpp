// Numbered listing units: unit number -> open file, unit 6 -> standard output.
#include "solver/text/units.h"

#include <cerrno>
#include <cstring>

namespace sorvane::text {

namespace {
const std::string kNoPath;

void set_error(std::string* error, const std::string& text) {
  if (error) *error = text;
}
}  // namespace

Units::Units() = default;

Units::~Units() {
  close_all();
  std::fflush(stdout_ ? stdout_ : stdout);
}

bool Units::open(int unit, const std::string& path, std::string* error) {
  if (unit < 0 || unit >= kMaxUnit || unit == kStdout) {
    set_error(error, "cannot connect unit " + std::to_string(unit) + " to \"" + path +
                         "\": not a listing unit");
    return false;
  }
  close(unit);
  errno = 0;
  std::FILE* f = std::fopen(path.c_str(), "w");
  if (!f) {
    const int err = errno;
    set_error(error, "cannot create \"" + path + "\": " +
                         (err ? std::strerror(err) : "unknown error"));
    return false;
  }
  slots_[unit].file = f;
  slots_[unit].path = path;
  return true;
}

bool Units::open_keep(int unit, const std::string& path, std::string* error) {
  if (unit >= 0 && unit < kMaxUnit && slots_[unit].file && slots_[unit].path == path) return true;
  return open(unit, path, error);
}

bool Units::is_open(int unit) const { return file_of(unit) != nullptr; }

const std::string& Units::path(int unit) const {
  if (unit < 0 || unit >= kMaxUnit || !slots_[unit].file) return kNoPath;
  return slots_[unit].path;
}

void Units::close(int unit) {
  if (unit < 0 || unit >= kMaxUnit) return;
  Slot& s = slots_[unit];
  if (s.file) std::fclose(s.file);
  s.file = nullptr;
  s.path.clear();
}

void Units::close_all() {
  for (int u = 0; u < kMaxUnit; ++u) close(u);
}

void Units::redirect_stdout(std::FILE* f) {
  std::fflush(stdout_ ? stdout_ : stdout);
  stdout_ = f;
}

std::FILE* Units::file_of(int unit) const {
  if (unit == kStdout) return stdout_ ? stdout_ : stdout;
  if (unit < 0 || unit >= kMaxUnit) return nullptr;
  return slots_[unit].file;
}

void Units::write(int unit, const Format& f, const Item* items, std::size_t count) {
  std::FILE* file = file_of(unit);
  if (!file) return;
  buffer_.clear();
  f.write(buffer_, items, count);
  std::fwrite(buffer_.data(), 1, buffer_.size(), file);
}

void Units::write_free(int unit, std::initializer_list<Item> items) {
  std::FILE* file = file_of(unit);
  if (!file) return;
  buffer_.clear();
  text::write_free(buffer_, items.begin(), items.size());
  std::fwrite(buffer_.data(), 1, buffer_.size(), file);
}

void Units::write_text(int unit, const std::string& text) {
  std::FILE* file = file_of(unit);
  if (!file || text.empty()) return;
  std::fwrite(text.data(), 1, text.size(), file);
}

void Units::flush_all() {
  for (int u = 0; u < kMaxUnit; ++u)
    if (slots_[u].file) std::fflush(slots_[u].file);
  std::fflush(stdout_ ? stdout_ : stdout);
}

Units& units() {
  static Units table;
  return table;
}

}  // namespace sorvane::text

// Numbered listing units: a unit number (10, 11, 12, 14, 80 to 84, 169; 6
// is standard output) is connected to an open file, and every write to a unit
// appends its records there. One process-wide table, used by both solvers.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>

#include "solver/text/format.h"

namespace sorvane::text {

class Units {
 public:
  static constexpr int kStdout = 6;

  // The unit of standard output for the state's LUSTD: LUSTD once a file
  // has set it, kStdout while it is 0.
  static int std_unit(int lustd) { return lustd != 0 ? lustd : kStdout; }

  Units();
  ~Units();
  Units(const Units&) = delete;
  Units& operator=(const Units&) = delete;

  // Opens unit on path for writing, replacing any earlier content. A unit
  // already open is closed first. On failure returns false and puts a
  // message naming the file and the reason into *error.
  bool open(int unit, const std::string& path, std::string* error);
  // Opens unit on path unless it is already open on that same path (then it
  // stays open and later writes append).
  bool open_keep(int unit, const std::string& path, std::string* error);
  bool is_open(int unit) const;
  const std::string& path(int unit) const;
  void close(int unit);
  void close_all();  // every unit except standard output

  // Connects unit 6 to another stream (tests); nullptr restores stdout.
  void redirect_stdout(std::FILE* f);

  // Writes one record of format f. A unit that is not open swallows it.
  void write(int unit, const Format& f, const Item* items, std::size_t count);
  void write(int unit, const Format& f, std::initializer_list<Item> items) {
    write(unit, f, items.begin(), items.size());
  }
  void write_free(int unit, std::initializer_list<Item> items);
  // Writes ready-made text (whole lines).
  void write_text(int unit, const std::string& text);
  void flush_all();

 private:
  struct Slot {
    std::FILE* file = nullptr;
    std::string path;
  };
  static constexpr int kMaxUnit = 200;  // units 0..199
  Slot slots_[kMaxUnit];
  std::FILE* stdout_ = nullptr;
  std::string buffer_;  // reused for every record, so writes allocate nothing
  std::FILE* file_of(int unit) const;
};

// The process-wide unit table.
Units& units();

}  // namespace sorvane::text

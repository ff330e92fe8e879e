// Numbered listing units: a unit number (10, 11, 12, 14, 80 to 84, 169; 6
// is standard output) is connected to an open file, and every write to a unit
// appends its records there. One process-wide table, used by both solvers.
//
// Every write, flush and close is checked. The first failure of a unit (a
// record that did not reach its file in full, a flush or close that failed,
// or a listing opened during a run that could not be created) is kept with
// the file's name and the system's reason, and the unit drops every later
// record, so that the file ends where it was cut instead of going on with a
// hole. The callers that end a run (the test driver, the windows) read the
// kept failures and report each once.
#pragma once

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

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
  // message naming the file and the reason into *error (the caller reports
  // it; nothing is kept). A new file drops a failure kept for the unit.
  bool open(int unit, const std::string& path, std::string* error);
  // Opens unit on path unless it is already open on that same path (then it
  // stays open and later writes append). A file that cannot be created is a
  // kept failure of the unit; a path with a kept failure is not opened again
  // (false, the unit stays closed).
  bool open_keep(int unit, const std::string& path, std::string* error);
  bool is_open(int unit) const;
  const std::string& path(int unit) const;
  void close(int unit);
  void close_all();  // every unit except standard output

  // Connects unit 6 to another stream (tests); nullptr restores stdout. The
  // old stream is flushed; the new one starts without a failure.
  void redirect_stdout(std::FILE* f);
  // Standard output was closed when the program started (its descriptor
  // now leads to the null device, see standard_streams.h): the first record
  // for it is a kept failure, "Bad file descriptor", as a write to the
  // closed descriptor would have been. A redirected unit 6 is not affected.
  void standard_output_closed_at_start() { stdoutClosedAtStart_ = true; }

  // Writes one record of format f. A unit that is not open, or has failed,
  // swallows it.
  void write(int unit, const Format& f, const Item* items, std::size_t count);
  void write(int unit, const Format& f, std::initializer_list<Item> items) {
    write(unit, f, items.begin(), items.size());
  }
  void write_free(int unit, std::initializer_list<Item> items);
  // Writes ready-made text (whole lines).
  void write_text(int unit, const std::string& text);
  // Flushes every open unit and standard output.
  void flush_all();

  // The kept failures, in the order they happened: one line per file,
  // "cannot write the listing NAME: REASON" ("cannot write standard output:
  // REASON" for unit 6).
  std::vector<std::string> failure_messages() const;
  std::size_t failure_count() const { return failures_.size(); }
  // Whether unit has a kept failure.
  bool failed(int unit) const;
  // Drops every kept failure; failed units that are still open take records
  // again. For a caller that starts afresh (tests).
  void forget_failures();

 private:
  struct Slot {
    std::FILE* file = nullptr;
    std::string path;
    bool failed = false;  // a failure is kept: later records are dropped
  };
  struct Failure {
    int unit;
    std::string path;  // empty for standard output
    std::string reason;
  };
  static constexpr int kMaxUnit = 200;  // units 0..199
  Slot slots_[kMaxUnit];
  std::FILE* stdout_ = nullptr;
  bool stdoutClosedAtStart_ = false;
  std::vector<Failure> failures_;
  std::string buffer_;  // reused for every record, so writes allocate nothing
  std::FILE* file_of(int unit) const;
  // open, with the errno value of a file that cannot be created in *err.
  bool open_file(int unit, const std::string& path, std::string* error, int* err);
  // The stream of a unit that takes records: open and not failed.
  std::FILE* live_file(int unit) const;
  void put(int unit, std::FILE* file, const char* data, std::size_t size);
  // Keeps the first failure of unit (err: the errno value, 0 unknown).
  void fail(int unit, const std::string& path, int err);
  void drop_failures(int unit);
};

// The process-wide unit table.
Units& units();

}  // namespace sorvane::text

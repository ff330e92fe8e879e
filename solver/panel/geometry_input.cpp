// Loading a configuration: the geometry input file and the listing units.
//
// A load runs in three stages so that a faulty file never leaves half a
// configuration behind:
//   1. the whole input file is read and checked into a local Staging copy;
//   2. the listing names are derived and checked, and every listing is
//      opened (a listing that cannot be created is reported, and the units
//      opened by this load are closed again);
//   3. only then is the staging copy committed to the problem state.
// Every fault the user can cause comes back as one message naming the file,
// the line, the record and what is wrong; the process goes on.
#include "solver/panel/geometry_input.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <vector>

#include "solver/panel/leading_edge_row.h"
#include "solver/panel/table_rows.h"
#include "solver/state/limits.h"
#include "solver/state/options.h"
#include "solver/state/problem_state.h"
#include "solver/state/result.h"
#include "solver/text/fields.h"
#include "solver/text/format.h"
#include "solver/text/units.h"

namespace sorvane {

namespace {

// Records of the reader: the name records of the "deb" listing.
struct ReaderFormats {
  text::Format lengths{"(2i10)"};  // characters of the path, position of its last "."
  text::Format name{"(a80)"};      // one listing name
};

const ReaderFormats& formats() { return text::listing_table<ReaderFormats>(); }

// Listing suffixes, in the order of the listing names.
const char* const kSuffixes[] = {"out", "cpf", "deb", "blf", "sum", "geo", "bln"};
const char kBlInputName[] = "InputBl.out";

struct StagedElement {
  double belem = 0, scale = 0;
  int itab = 0, nrows = 0, npanels = 0, ismooth = 0, ile = 0, ncont = 0;
  double xax = 0, yax = 0, xx = 0, yy = 0, dfl = 0, dxm = 0, dym = 0;
  double xtr[2] = {0, 0};
  std::vector<double> x, y, d;  // contour rows 1..ncont at [0..ncont-1]
};

// Everything a load writes into the problem state, read and checked first.
struct Staging {
  int iprint = 0, nelem = 0, icompr = 0, ite = 0, ipos = 0, ibl = 0;
  double dadd = 0;
  double alpha = 0, mach = 0, swept = 0, bref = 0, xref = 0, yref = 0;
  double alpha_eff = 0;
  bool has_bl = false;
  double remill = 0, etae = 0, vgp = 0, cfsep = 0;
  int np = 0;
  StagedElement el[kMaxElements];
};

std::string format_value(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.10g", v);
  return buf;
}

// A hint for a count that a field without a decimal point made tiny.
std::string point_hint(double raw) {
  if (raw != 0.0 && std::fabs(raw) < 1.0)
    return " (the field reads " + format_value(raw) +
           ": write whole numbers with a decimal point, e.g. \"31.\")";
  return "";
}

std::string field_name(int field) {
  const int first = 10 * field + 1;
  return "field " + std::to_string(field + 1) + " (columns " + std::to_string(first) + "-" +
         std::to_string(first + 9) + ")";
}

// Reads the input file line by line and keeps the place for messages.
class Reader {
 public:
  Reader(const std::string& file, std::vector<std::string> lines)
      : file_(file), lines_(std::move(lines)) {}

  const std::string& error() const { return error_; }

  // Skips one ignored line (title or heading) that precedes `what`.
  bool skip(const std::string& what) {
    if (next_ >= lines_.size()) return eof_msg("the file ends before the heading line of " + what);
    ++next_;
    return true;
  }

  // Reads the next line as `count` fields.
  bool record(const std::string& what, int count, double* values) {
    if (next_ >= lines_.size()) return eof(what);
    what_ = what;
    line_no_ = static_cast<int>(next_) + 1;
    std::string err;
    if (!text::read_fields(lines_[next_], count, values, &err)) return fail(err);
    ++next_;
    return true;
  }

  // A point-table row; the end of file names the table and the rows read.
  bool row(int element, int j, int nrows, int count, double* values) {
    if (next_ >= lines_.size()) {
      if (j == 1)
        return eof_msg("the file ends before the point table of element " +
                       std::to_string(element) + " (expected " + std::to_string(nrows) +
                       " rows)");
      return eof_msg("the file ends in the point table of element " + std::to_string(element) +
                     " after " + std::to_string(j - 1) + " of " + std::to_string(nrows) +
                     " rows");
    }
    return record("element " + std::to_string(element) + " point table, row " +
                      std::to_string(j),
                  count, values);
  }

  // Where a record was read, to report a fault in it after later records.
  struct Place {
    int line;
    std::string what;
  };
  Place place() const { return {line_no_, what_}; }
  bool fail_field_at(const Place& at, int field, const std::string& what_is_wrong) {
    line_no_ = at.line;
    what_ = at.what;
    return fail_field(field, what_is_wrong);
  }

  // A fault in the record read last.
  bool fail(const std::string& what_is_wrong) {
    error_ = file_ + ", line " + std::to_string(line_no_) + " (" + what_ + "): " + what_is_wrong;
    return false;
  }
  bool fail_field(int field, const std::string& what_is_wrong) {
    return fail(field_name(field) + " " + what_is_wrong);
  }

  // An integer item (single precision, truncated toward zero).
  bool single_int(double raw, int field, int* out) {
    if (!text::single_to_int(raw, out))
      return fail_field(field, "holds " + format_value(raw) + ", which is not an integer in range");
    return true;
  }

 private:
  bool eof(const std::string& what) {
    return eof_msg(what.compare(0, 7, "record ") == 0 ? "the file ends before " + what
                                                      : "the file ends before the " + what);
  }
  bool eof_msg(const std::string& msg) {
    error_ = file_ + ", line " + std::to_string(lines_.size() + 1) + ": " + msg;
    return false;
  }

  std::string file_;
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
  int line_no_ = 0;
  std::string what_;
  std::string error_;
};

bool read_lines(const std::string& path, std::vector<std::string>* lines, std::string* error) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) {
    *error = path + ": cannot open the geometry file: " + std::strerror(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    *error = path + ": this is a folder, not a geometry file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = path + ": cannot open the geometry file: " + std::strerror(errno);
    return false;
  }
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();  // Windows line ends
    lines->push_back(line);
  }
  if (in.bad()) {
    *error = path + ": reading the geometry file failed after line " +
             std::to_string(lines->size());
    return false;
  }
  return true;
}

// The steps of reading a file, in the order of its records. Each reads its
// records into the staging copy and returns false with the reader's message
// on the first fault.

// Title and record 1: the counts and options.
bool read_record_1(Reader& r, Staging* st) {
  double v[7];
  if (!r.skip("record 1")) return false;
  if (!r.record("record 1", 7, v)) return false;
  if (!r.single_int(v[0], 0, &st->iprint) || !r.single_int(v[1], 1, &st->nelem)) return false;
  st->dadd = v[2];
  if (!r.single_int(v[3], 3, &st->icompr) || !r.single_int(v[4], 4, &st->ite) ||
      !r.single_int(v[5], 5, &st->ipos) || !r.single_int(v[6], 6, &st->ibl))
    return false;
  if (!element_count_allowed(st->nelem))
    return r.fail("the element count is " + std::to_string(st->nelem) + "; it must be 1 to " +
                  std::to_string(kMaxElements) + point_hint(v[1]));
  st->has_bl = boundary_layer_records(st->ibl);
  return true;
}

// Record 2: flow conditions and reference values.
bool read_record_2(Reader& r, Staging* st) {
  double v[6];
  if (!r.skip("record 2") || !r.record("record 2", 6, v)) return false;
  st->alpha = v[0];
  st->mach = v[1];
  st->swept = v[2];
  st->bref = v[3];
  st->xref = v[4];
  st->yref = v[5];
  // An angle pair without an effective angle (|sin(alpha)| > cos(sweep))
  // still loads, leaving ALPHA_EFF not a number: both angles can be changed
  // in the main window, and every solution recomputes ALPHA_EFF and reports
  // such a pair as a failed solution with its own message.
  const double rad = 3.141592653589793 / 180.0;
  st->alpha_eff = std::asin(std::sin(rad * st->alpha) / std::cos(rad * st->swept)) / rad;
  return true;
}

// The boundary-layer record, present when IBL asks for it.
bool read_boundary_layer_record(Reader& r, Staging* st) {
  if (!st->has_bl) return true;
  double v[5];
  if (!r.skip("boundary-layer record") || !r.record("boundary-layer record", 5, v)) return false;
  st->remill = v[0];
  st->etae = v[1];
  if (!r.single_int(v[2], 2, &st->np)) return false;
  st->vgp = v[3];
  st->cfsep = v[4];
  return true;
}

// Record (a) of element k: chord, table kind and size, panel count,
// smoothing, leading-edge row, scale. *equations adds up the panel system
// of elements 1..k.
bool read_element_parameters(Reader& r, int k, StagedElement& e, int* equations) {
  const std::string ks = std::to_string(k);
  const std::string rec_a = "element " + ks + " parameter record";
  double v[8];
  if (!r.skip(rec_a) || !r.record(rec_a, 8, v)) return false;
  e.belem = v[0];
  if (!r.single_int(v[1], 1, &e.itab)) return false;
  {
    const double rows = text::to_single(v[2]);
    if (!(rows >= 1.0) || rows != std::trunc(rows) || rows > 1e9)
      return r.fail_field(2, "the row count " + format_value(v[2]) +
                                 " is not a positive whole number" +
                                 (v[2] != 0.0 && std::fabs(v[2]) < 1.0
                                      ? " (write whole numbers with a decimal point, e.g. \"31.\")"
                                      : ""));
    e.nrows = static_cast<int>(rows);
  }
  if (e.nrows < 2)
    return r.fail_field(2, "the point table has " + std::to_string(e.nrows) +
                               " row; it needs at least 2");
  if (e.itab == 1 && e.nrows > kMirroredRows)
    return r.fail_field(2, "a mirrored point table has " + std::to_string(e.nrows) +
                               " rows; it may have at most " + std::to_string(kMirroredRows));
  // Value 5 is read (it must be a number) and not used.
  if (!r.single_int(v[5], 5, &e.ismooth) || !r.single_int(v[6], 6, &e.ile)) return false;
  e.scale = v[7];
  e.ncont = e.itab == 1 ? 2 * e.nrows - 1 : e.nrows;
  const int max_points = contour_point_capacity(e.ismooth);
  if (e.ncont > max_points)
    return r.fail_field(
        2, "the contour has " + std::to_string(e.ncont) + " points; the contour spline holds " +
               std::to_string(max_points) + (e.ismooth == 1 ? " with smoothing" : "") +
               (e.itab == 1 ? " (a mirrored table of n rows gives 2n-1 points)" : ""));
  // Panel count: exactly 0 means one panel per row interval.
  if (v[3] == 0.0) {
    e.npanels = e.nrows - 1;
  } else {
    const double t = std::trunc(v[3]);
    e.npanels = std::fabs(t) <= 1e9 ? static_cast<int>(t) : (t < 0 ? -1 : kMaxPanels + 1);
  }
  if (!panel_count_allowed(e.npanels))
    return r.fail_field(3, "the panel count is " + std::to_string(e.npanels) +
                               "; it must be 2 to " + std::to_string(kMaxPanels) +
                               point_hint(v[3]));
  *equations += e.npanels + 1;
  if (!equation_count_allowed(*equations))
    return r.fail_field(3, "the panel counts (plus one per element) of elements 1 to " + ks +
                               " add up to " + std::to_string(*equations) +
                               "; the panel system holds " + std::to_string(kMaxEquations) +
                               " equations");
  // The leading-edge row must address a row of the table (0 leaves it open).
  const int rows_for_ile = e.itab == 2 || e.itab == 1 ? e.ncont : e.nrows;
  if (e.ile < 0 || e.ile > rows_for_ile)
    return r.fail_field(6, "the leading-edge row is " + std::to_string(e.ile) +
                               "; it must be 0 (found by the program) or 1 to " +
                               std::to_string(rows_for_ile));
  if (e.itab != 1 && e.itab != 2 && e.ile != 0) e.ile = e.nrows + 1 - e.ile;
  return true;
}

// Record (b) of element k: placement, moment offset and, with the
// boundary-layer records, the transition positions.
bool read_element_placement(Reader& r, int k, bool has_bl, StagedElement& e) {
  const std::string rec_b = "element " + std::to_string(k) + " placement record";
  double v[9];
  if (!r.skip(rec_b) || !r.record(rec_b, has_bl ? 9 : 7, v)) return false;
  e.xax = v[0];
  e.yax = v[1];
  e.xx = v[2];
  e.yy = v[3];
  e.dfl = text::to_single(v[4]);
  if (!std::isfinite(e.dfl))
    return r.fail_field(4, "the deflection " + format_value(v[4]) + " is out of range");
  e.dxm = v[5];
  e.dym = v[6];
  if (has_bl) {
    e.xtr[0] = v[7];
    e.xtr[1] = v[8];
  }
  return true;
}

// The point table of element k, in contour order.
bool read_point_table(Reader& r, int k, StagedElement& e) {
  if (!r.skip("the point table of element " + std::to_string(k))) return false;
  e.x.assign(e.ncont, 0.0);
  e.y.assign(e.ncont, 0.0);
  e.d.assign(e.ncont, 0.0);
  const int n = e.nrows;
  double v[5];
  for (int j = 1; j <= n; ++j) {
    if (!r.row(k, j, n, e.itab == 1 ? 5 : 3, v)) return false;
    if (e.itab == 1) {
      // Row j gives the points n-j+1 (a, b, e) and n+j-1 (a, c, d); row 1
      // gives the leading edge once, with (a, b, e).
      const int up = n - j + 1, lo = n + j - 1;
      e.x[lo - 1] = v[0];
      e.y[lo - 1] = v[2];
      e.d[lo - 1] = v[3];
      e.x[up - 1] = v[0];
      e.y[up - 1] = v[1];
      e.d[up - 1] = v[4];
    } else {
      const int row = e.itab == 2 ? j : n + 1 - j;
      e.x[row - 1] = v[0];
      e.y[row - 1] = v[1];
      e.d[row - 1] = v[2];
    }
  }
  return true;
}

// Scaling: contour x, y, the moment offset and the transition positions.
void scale_element(StagedElement& e) {
  for (int i = 0; i < e.ncont; ++i) {
    e.x[i] *= e.scale;
    e.y[i] *= e.scale;
  }
  e.dxm *= e.scale;
  e.dym *= e.scale;
  e.xtr[0] *= e.scale;
  e.xtr[1] *= e.scale;
}

// A number of a message, with a few significant digits.
std::string short_number(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.3g", v);
  return buf;
}

// The leading-edge row of an element, once its point table is read and
// scaled: the chord through it must not be short against the contour's
// extent from its trailing edge (a row next to the trailing edge is a
// mistyped row, not a geometry). The element geometry builds its frame
// from the same distances. Rows are named as the file counts them; a
// mirrored table counts its leading-edge row along the contour instead, and
// the message then says where the rows it names lie in the table.
bool leading_edge_row_gives_chord(Reader& r, const Reader::Place& parameters,
                                  const StagedElement& e) {
  static_assert(kLeadingEdgeChordRatio == 0.5, "the message says \"half\"");
  if (e.ile == 0) return true;  // the program takes the point farthest from the trailing edge
  const LeadingEdgeRowCheck c =
      check_leading_edge_row(e.x.data(), e.y.data(), e.ncont, e.ile);
  if (c.ok) return true;
  const TableRows rows = TableRows::of(e.itab, e.nrows, e.ncont);
  const std::string refused =
      "the chord through the leading-edge row must be at least half of that";
  if (rows.layout == TableRows::Layout::kMirrored) {
    const std::string nose = std::to_string(c.reach.farthestRow);
    return r.fail_field_at(
        parameters, 6,
        "the leading-edge row " + std::to_string(e.ile) + " gives a chord of " +
            short_number(c.chord) + ", but the contour reaches " + short_number(c.reach.extent) +
            " from its trailing edge (" + refused + "): in a mirrored table the leading-edge "
            "row counts the " + std::to_string(e.ncont) +
             " contour points, upper surface first, so " + std::to_string(e.ile) + " is " +
            rows.point(e.ile) + "; the point farthest from the trailing edge is " +
            rows.point(c.reach.farthestRow) + ", point " + nose + " of the contour: give " +
            nose + ", or 0 to let the program find it");
  }
  return r.fail_field_at(
      parameters, 6,
      "the leading-edge row " + std::to_string(rows.file_row(e.ile)) + " gives a chord of " +
          short_number(c.chord) + ", but the contour reaches " + short_number(c.reach.extent) +
          " from its trailing edge (" + refused + "): name the row of the nose (the point "
          "farthest from the trailing edge is " + rows.name(c.reach.farthestRow) +
          "), or 0 to let the program find it");
}

// Reads and checks the whole file into st.
Result read_file(const std::string& path, Staging* st) {
  std::vector<std::string> lines;
  std::string error;
  if (!read_lines(path, &lines, &error)) return Result::failure(error);
  if (lines.empty()) return Result::failure(path + ": the file is empty");
  Reader r(path, std::move(lines));
  if (!read_record_1(r, st) || !read_record_2(r, st) || !read_boundary_layer_record(r, st))
    return Result::failure(r.error());
  int equations = 0;
  for (int k = 1; k <= st->nelem; ++k) {
    StagedElement& e = st->el[k - 1];
    if (!read_element_parameters(r, k, e, &equations)) return Result::failure(r.error());
    const Reader::Place parameters = r.place();
    if (!read_element_placement(r, k, st->has_bl, e) || !read_point_table(r, k, e))
      return Result::failure(r.error());
    scale_element(e);
    if (!leading_edge_row_gives_chord(r, parameters, e)) return Result::failure(r.error());
  }
  return Result::success();  // lines after the last record are ignored
}

bool same_name_ci(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

bool same_file(const std::string& a, const std::string& b) {
  struct stat sa, sb;
  if (::stat(a.c_str(), &sa) != 0 || ::stat(b.c_str(), &sb) != 0) return false;
  return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

// The listings this load opens, in the order they are opened.
struct Listing {
  int unit;
  std::string name;
};

// Checks that every listing can be created before any unit is touched; files
// this check creates are removed again when one fails.
Result probe_listings(const std::vector<Listing>& listings, const std::string& input) {
  std::vector<std::string> created;
  Result result;
  for (const Listing& l : listings) {
    const bool existed = ::access(l.name.c_str(), F_OK) == 0;
    errno = 0;
    std::FILE* f = std::fopen(l.name.c_str(), "a");
    if (!f) {
      const int err = errno;
      result = Result::failure(input + ": cannot create the listing " + l.name + ": " +
                               (err ? std::strerror(err) : "unknown error"));
      break;
    }
    std::fclose(f);
    if (!existed) created.push_back(l.name);
  }
  if (!result)
    for (const std::string& name : created) std::remove(name.c_str());
  return result;
}

// The input name of a record: up to a NUL or 80 characters, and the
// position (1-based) of its last "." (0 without one).
struct InputName {
  std::string name;
  int dot = 0;
};

Result input_name(const GeoFileRecord& record, InputName* in) {
  for (int i = 0; i < kPathLength && record.path[i] != '\0'; ++i) {
    in->name.push_back(record.path[i]);
    if (record.path[i] == '.') in->dot = i + 1;
  }
  if (record.pathLength < 0 || record.pathLength > kPathLength)
    return Result::failure(in->name + ": the path has " + std::to_string(record.pathLength) +
                           " characters; the limit is " + std::to_string(kPathLength));
  if (in->name.empty()) return Result::failure("no geometry file named (the path is empty)");
  return Result::success();
}

// The listing names: the input name up to its last "." and each suffix.
// None may be longer than a path, the input may not carry the extension of a
// listing, and no listing may be the input file itself.
Result listing_names(const InputName& in, std::string (&names)[7],
                     std::vector<Listing>* listings) {
  const std::string& name = in.name;
  const std::string base = name.substr(0, static_cast<std::size_t>(in.dot));
  for (int i = 0; i < 7; ++i) names[i] = base + kSuffixes[i];
  if (static_cast<int>(names[0].size()) > kPathLength)
    return Result::failure(name + ": the listing names (e.g. " + names[0] + ") would have " +
                           std::to_string(names[0].size()) + " characters; the limit is " +
                           std::to_string(kPathLength) + " (use a shorter path or extension)");
  const std::string ext = name.substr(static_cast<std::size_t>(in.dot));
  for (const char* suffix : kSuffixes) {
    if (same_name_ci(ext, suffix))
      return Result::failure(name + ": the extension \"" + ext +
                             "\" is that of a listing the program writes, so the listing "
                             "would overwrite the input; rename the file (e.g. to .dat)");
  }
  // out, cpf, deb, blf, sum, bln (names[0..4], [6]) and InputBl.out.
  *listings = {{10, names[2]}, {82, names[0]}, {81, names[1]}, {11, names[3]},
               {84, names[4]}, {12, names[6]}, {14, kBlInputName}};
  for (const Listing& l : *listings) {
    if (same_name_ci(l.name, name) || same_file(l.name, name))
      return Result::failure(name + ": the listing " + l.name +
                             " would overwrite the input file; rename the input (e.g. to "
                             "wing.dat)");
  }
  return Result::success();
}

// Opens every listing; when one cannot be opened, closes those this load
// opened and says which.
Result open_listings(const std::vector<Listing>& listings, const std::string& name) {
  text::Units& u = text::units();
  for (std::size_t i = 0; i < listings.size(); ++i) {
    std::string err;
    if (!u.open(listings[i].unit, listings[i].name, &err)) {
      for (std::size_t j = 0; j < i; ++j) u.close(listings[j].unit);
      return Result::failure(name + ": cannot create the listing " + listings[i].name + " (" +
                             err + ")");
    }
  }
  // A later smoothing pass opens the new "geo" listing.
  u.close(83);
  return Result::success();
}

// Commit: the unit numbers and names of the listings, and the name records
// of the "deb" listing.
void commit_listings(ProblemState& s, const GeoFileRecord& record, const InputName& in,
                     const std::string (&names)[7]) {
  s.LUINP = 80;
  s.LUCPF = 81;
  s.LUOUT = 82;
  s.LUGEO = 83;
  s.LUSUM = 84;
  s.LUSTD = 6;
  s.LUDEB = 10;
  s.LUBLF = 11;
  s.LUBLN = 12;
  s.LUBLIN = 14;
  s.NCOMPUTE = 0;
  s.INPUT_NAME.assign(in.name.data(), in.name.size());
  s.OUT_NAME.assign(names[0].data(), names[0].size());
  s.CPF_NAME.assign(names[1].data(), names[1].size());
  s.DEB_NAME.assign(names[2].data(), names[2].size());
  s.BLF_NAME.assign(names[3].data(), names[3].size());
  s.SUM_NAME.assign(names[4].data(), names[4].size());
  s.GEO_NAME.assign(names[5].data(), names[5].size());
  s.BLN_NAME.assign(names[6].data(), names[6].size());

  const ReaderFormats& f = formats();
  text::Units& u = text::units();
  u.write(s.LUDEB, f.lengths, {static_cast<int>(record.pathLength), in.dot});
  const FixedText<kPathLength>* recs[] = {&s.INPUT_NAME, &s.OUT_NAME, &s.CPF_NAME,
                                          &s.DEB_NAME,   &s.BLF_NAME, &s.SUM_NAME};
  for (const FixedText<kPathLength>* t : recs)
    u.write(s.LUDEB, f.name, {std::string_view(t->c, kPathLength)});
}

// Commit: the values of the file.
void commit_inputs(ProblemState& s, const Staging& st) {
  s.PI = 3.141592653589793;
  s.RAD = s.PI / 180.0;
  s.IPRINT = st.iprint;
  s.NELEM = st.nelem;
  s.DADD = st.dadd;
  s.ICOMPR = st.icompr;
  s.ITE = st.ite;
  s.IPOS = st.ipos;
  s.IBL = st.ibl;
  s.NRHS = 1;
  s.ALPHA = st.alpha;
  s.MACH = st.mach;
  s.SWEPT = st.swept;
  s.BREF = st.bref;
  s.XREF = st.xref;
  s.YREF = st.yref;
  s.ALPHA_EFF = st.alpha_eff;
  if (st.has_bl) {
    s.REMILL = st.remill;
    s.ETAE = st.etae;
    s.NP = st.np;
    s.VGP = st.vgp;
    s.CFSEP = st.cfsep;
  }
  for (int k = 1; k <= st.nelem; ++k) {
    const StagedElement& e = st.el[k - 1];
    s.BELEM(k) = e.belem;
    s.CHORD(k) = e.belem;
    s.ITAB(k) = e.itab;
    s.NROWS(k) = e.nrows;
    s.NPANELS(k) = e.npanels;
    s.ISMOOTH(k) = e.ismooth;
    s.ILE(k) = e.ile;
    s.SCALE(k) = e.scale;
    s.XAX(k) = e.xax;
    s.YAX(k) = e.yax;
    s.XX(k) = e.xx;
    s.YY(k) = e.yy;
    s.DFL(k) = e.dfl;
    s.DXM(k) = e.dxm;
    s.DYM(k) = e.dym;
    if (st.has_bl) {
      s.XTR(k, 1) = e.xtr[0];
      s.XTR(k, 2) = e.xtr[1];
    }
    s.NCONT(k) = e.ncont;
    double* x = s.X0.column(k);
    double* y = s.Y0.column(k);
    double* d = s.D0.column(k);
    for (int i = 0; i < e.ncont; ++i) {
      x[i] = e.x[i];
      y[i] = e.y[i];
      d[i] = e.d[i];
    }
  }
}

// The record: the main listing's name.
void fill_out_name(GeoFileRecord& record, int dot) {
  std::memset(record.outName, 0, sizeof record.outName);
  const int copy = record.pathLength < kPathLength ? record.pathLength : kPathLength;
  std::memcpy(record.outName, record.path, static_cast<std::size_t>(copy));
  std::memcpy(record.outName + dot, "out", 3);
  record.outName[dot + 3] = '\0';
  record.outLength = dot + 3;
}

}  // namespace

bool make_geo_record(const std::string& path, GeoFileRecord& record, std::string* error) {
  if (path.size() > static_cast<std::size_t>(kPathLength)) {
    if (error)
      *error = path + ": the path has " + std::to_string(path.size()) +
               " characters; the limit is " + std::to_string(kPathLength) +
               " (move the file to a shorter path)";
    return false;
  }
  std::memset(&record, 0, sizeof record);
  record.pathLength = static_cast<std::int32_t>(path.size());
  std::memcpy(record.path, path.data(), path.size());
  return true;
}

Result READ_GEOMETRY(GeoFileRecord& record) {
  InputName in;
  Result result = input_name(record, &in);
  if (!result) return result;

  // Stage 1: the whole file.
  Staging st;
  result = read_file(in.name, &st);
  if (!result) return result;

  // Stage 2: listing names and listings.
  std::string names[7];
  std::vector<Listing> listings;
  result = listing_names(in, names, &listings);
  if (result) result = probe_listings(listings, in.name);
  if (result) result = open_listings(listings, in.name);
  if (!result) return result;

  // Stage 3: commit.
  ProblemState& s = state();
  commit_listings(s, record, in, names);
  commit_inputs(s, st);
  fill_out_name(record, in.dot);
  return result;
}

void GET_INPUT_NAME(int flag, std::string& name, std::string& outName,
                    const std::string& extension, int argc, char** argv) {
  if (flag == 1) {
    if (argc > 1 && argv && argv[1]) {
      name = argv[1];
    } else {
      text::units().write_free(text::Units::kStdout, {"enter the name of input file:"});
      text::units().flush_all();
      // "(a30)": the first 30 characters of the line.
      char buf[256];
      std::string line;
      if (std::fgets(buf, sizeof buf, stdin)) line = buf;
      while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
      if (line.size() > 30) line.resize(30);
      name = line;
    }
    while (!name.empty() && name.back() == ' ') name.pop_back();
    if (name.empty()) name = "fpg.dat";
    if (name.find('.') == std::string::npos) name += ".dat";
  }
  const std::size_t first_dot = name.find('.');
  outName = first_dot == std::string::npos ? std::string() : name.substr(0, first_dot + 1);
  for (char c : extension)
    if (c != ' ') outName.push_back(c);
}

}  // namespace sorvane

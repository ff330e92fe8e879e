// Fixed-format records: a format string such as "(I5,8F15.8)" or
// "(//17X,39H**** AIRFOIL'S CALCULATION RESULT *****)" is parsed once into a
// Format and then writes records from a list of items.
//
// Descriptors: Iw, Fw.d, Ew.d, nX, nH literals (exactly n characters follow,
// commas and quotes included), Aw and A, '/', repeat counts on descriptors
// and on parenthesised groups, upper or lower case.
//
// Rules: every write starts a new record; '/' ends the current record (k
// leading slashes give k empty lines first, a slash before the closing
// parenthesis one empty line after); when the items run out, output stops at
// the next descriptor that needs an item (literal text before it is still
// written); a value too wide for its field fills the field with '*'. When the
// items outlast the format, a new record starts and the format is used again
// from the left parenthesis of its last top-level group (with that group's
// repeat count), or from its start when it has no inner group.
//
// Blanks of nX are held back until something else is written in the same
// record: an nX that ends a record (at '/' or at the end of the format)
// writes nothing. When the items run out, blanks before the stopping
// descriptor are written like literal text.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace sorvane::text {

// One item of a write: an integer, a real or a text.
class Item {
 public:
  enum class Kind { kInt, kReal, kText };
  Item(int v) : kind_(Kind::kInt), i_(v) {}
  Item(long v) : kind_(Kind::kInt), i_(v) {}
  Item(long long v) : kind_(Kind::kInt), i_(v) {}
  Item(unsigned v) : kind_(Kind::kInt), i_(v) {}
  Item(unsigned long v) : kind_(Kind::kInt), i_(static_cast<long long>(v)) {}
  Item(unsigned long long v) : kind_(Kind::kInt), i_(static_cast<long long>(v)) {}
  Item(double v) : kind_(Kind::kReal), d_(v) {}
  Item(float v) : kind_(Kind::kReal), d_(v) {}
  Item(const char* s) : kind_(Kind::kText), s_(s) {}
  Item(std::string_view s) : kind_(Kind::kText), s_(s) {}
  Item(const std::string& s) : kind_(Kind::kText), s_(s) {}

  Kind kind() const { return kind_; }
  long long as_int() const { return kind_ == Kind::kReal ? static_cast<long long>(d_) : i_; }
  double as_real() const { return kind_ == Kind::kInt ? static_cast<double>(i_) : d_; }
  std::string_view as_text() const { return s_; }

 private:
  Kind kind_;
  long long i_ = 0;
  double d_ = 0.0;
  std::string_view s_;
};

class Format {
 public:
  // Parses the format; a malformed format is a programming error and throws
  // std::invalid_argument naming the format and the position.
  explicit Format(std::string_view text);

  // Appends the record(s) of one write to out, every line ended by '\n'.
  void write(std::string& out, const Item* items, std::size_t count) const;
  void write(std::string& out, std::initializer_list<Item> items) const {
    write(out, items.begin(), items.size());
  }
  // The same, returned as a string (tests and small callers).
  std::string format(std::initializer_list<Item> items) const {
    std::string s;
    write(s, items);
    return s;
  }

  const std::string& source() const { return source_; }

  // One parsed step (public so the implementation can use it). Repeat
  // counts are expanded at parse time, so the op list is flat; runs of
  // literal text are merged into one op.
  struct Op {
    enum Kind : unsigned char { kInt, kF, kE, kA, kX, kLit, kSlash, kColon };
    Kind kind;
    int w = 0;    // field width (kA: 0 for plain A); kX: blank count
    int d = 0;    // decimals (kF, kE)
    int off = 0;  // kLit: offset of the text in lits_
    int len = 0;  // kLit: length of the text
  };

 private:
  std::string source_;
  std::vector<Op> ops_;
  std::string lits_;        // literal text of every kLit op
  std::size_t revert_ = 0;  // where the format restarts when items remain
  bool has_data_ = false;   // ops_[revert_..] holds a descriptor taking an item
};

// The listing table of a file: a struct of Formats, parsed once, at its
// first use, and kept for the process.
template <class Table>
const Table& listing_table() {
  static const Table table;
  return table;
}

// Free-form record: the items separated by blanks, one line.
void write_free(std::string& out, const Item* items, std::size_t count);
inline void write_free(std::string& out, std::initializer_list<Item> items) {
  write_free(out, items.begin(), items.size());
}

// The field writers behind Format (I, F and E edit descriptors): used only
// inside the text kit, declared here so that its tests can check each kind
// of field on its own. (The windows write their own files with snprintf.)
void put_int(std::string& out, long long v, int w);
void put_f(std::string& out, double v, int w, int d);
void put_e(std::string& out, double v, int w, int d);

}  // namespace sorvane::text

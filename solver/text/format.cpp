// Fixed-format records: parsing a format string into a flat op list, and the
// field writers behind the I, F and E descriptors.
#include "solver/text/format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <system_error>

namespace sorvane::text {

namespace {

void put_stars(std::string& out, int w) {
  if (w > 0) out.append(static_cast<std::size_t>(w), '*');
}

// Right-aligns text in a field of w columns; too wide -> asterisks.
void put_right(std::string& out, const char* text, std::size_t len, int w) {
  if (w < 0 || len > static_cast<std::size_t>(w)) {
    put_stars(out, w);
    return;
  }
  out.append(static_cast<std::size_t>(w) - len, ' ');
  out.append(text, len);
}

// NaN and infinities as the Fortran runtime writes them: "NaN", "Infinity"
// (or "Inf" when "Infinity" does not fit), right-aligned; asterisks when
// even the short form does not fit.
void put_nonfinite(std::string& out, double v, int w) {
  if (std::isnan(v)) {
    put_right(out, "NaN", 3, w);
    return;
  }
  const bool neg = std::signbit(v);
  if (neg) {
    if (w >= 9) put_right(out, "-Infinity", 9, w);
    else if (w >= 4) put_right(out, "-Inf", 4, w);
    else put_stars(out, w);
  } else {
    if (w >= 8) put_right(out, "Infinity", 8, w);
    else if (w >= 3) put_right(out, "Inf", 3, w);
    else put_stars(out, w);
  }
}

// A number as text for an A descriptor or a free-form record.
std::size_t number_text(const Item& item, char* buf, std::size_t size) {
  if (item.kind() == Item::Kind::kInt) {
    auto r = std::to_chars(buf, buf + size, item.as_int());
    return static_cast<std::size_t>(r.ptr - buf);
  }
  const double v = item.as_real();
  if (std::isnan(v)) {
    std::copy_n("NaN", 3, buf);
    return 3;
  }
  if (std::isinf(v)) {
    const char* t = v < 0 ? "-Infinity" : "Infinity";
    const std::size_t n = v < 0 ? 9 : 8;
    std::copy_n(t, n, buf);
    return n;
  }
  auto r = std::to_chars(buf, buf + size, v, std::chars_format::general, 15);
  return static_cast<std::size_t>(r.ptr - buf);
}

using Op = Format::Op;

// Recursive-descent parser of a format string into the flat op list.
class Parser {
 public:
  Parser(std::string_view text, std::vector<Op>& ops, std::string& lits)
      : s_(text), ops_(ops), lits_(lits) {}

  // Returns the reversion index.
  std::size_t run() {
    skip_blanks();
    if (p_ >= s_.size() || s_[p_] != '(') fail("expected '('");
    ++p_;
    parse_list(0);
    skip_blanks();
    if (p_ != s_.size()) fail("text after the closing ')'");
    return revert_;
  }

 private:
  static constexpr std::size_t kMaxOps = 200000;
  static constexpr int kMaxDepth = 16;
  static constexpr int kMaxWidth = 1000;

  [[noreturn]] void fail(const char* what) const {
    throw std::invalid_argument("format \"" + std::string(s_) + "\": " + what +
                                " at position " + std::to_string(p_ + 1));
  }

  void skip_blanks() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\t')) ++p_;
  }

  // An unsigned number (its digits written together). Returns false when no
  // digit is there.
  bool read_count(int* n) {
    skip_blanks();
    if (p_ >= s_.size() || s_[p_] < '0' || s_[p_] > '9') return false;
    long v = 0;
    while (p_ < s_.size() && s_[p_] >= '0' && s_[p_] <= '9') {
      v = v * 10 + (s_[p_] - '0');
      if (v > 1000000) fail("number too large");
      ++p_;
    }
    *n = static_cast<int>(v);
    return true;
  }

  int read_width() {
    int w = 0;
    if (!read_count(&w)) fail("missing field width");
    if (w < 1 || w > kMaxWidth) fail("field width out of range");
    return w;
  }

  int read_decimals(int w) {
    skip_blanks();
    if (p_ >= s_.size() || s_[p_] != '.') fail("missing '.d'");
    ++p_;
    int d = 0;
    if (!read_count(&d)) fail("missing decimal count");
    if (d > w) fail("decimal count larger than the width");
    return d;
  }

  void check_size() const {
    if (ops_.size() > kMaxOps || lits_.size() > kMaxOps * 4) fail("format too long");
  }

  void emit(const Op& op) {
    ops_.push_back(op);
    barrier_ = false;
    check_size();
  }

  // Literal text: merged into the previous literal op when it directly
  // precedes (not across the start of a top-level group, where the format
  // may restart).
  void emit_lit(std::string_view text) {
    if (text.empty()) return;
    if (!barrier_ && !ops_.empty() && ops_.back().kind == Op::kLit &&
        static_cast<std::size_t>(ops_.back().off + ops_.back().len) == lits_.size()) {
      lits_.append(text);
      ops_.back().len += static_cast<int>(text.size());
    } else {
      Op op{Op::kLit};
      op.off = static_cast<int>(lits_.size());
      op.len = static_cast<int>(text.size());
      lits_.append(text);
      ops_.push_back(op);
    }
    barrier_ = false;
    check_size();
  }

  void quoted_literal() {
    const char q = s_[p_++];
    std::string text;
    for (;;) {
      if (p_ >= s_.size()) fail("unterminated quoted literal");
      if (s_[p_] == q) {
        if (p_ + 1 < s_.size() && s_[p_ + 1] == q) {
          text += q;
          p_ += 2;
          continue;
        }
        ++p_;
        break;
      }
      text += s_[p_++];
    }
    emit_lit(text);
  }

  // Parses up to and including the ')' that closes the list; depth is the
  // number of groups enclosing it inside the outer parentheses.
  void parse_list(int depth) {
    for (;;) {
      skip_blanks();
      if (p_ >= s_.size()) fail("missing ')'");
      const char c0 = s_[p_];
      if (c0 == ')') {
        ++p_;
        return;
      }
      if (c0 == ',') {
        ++p_;
        continue;
      }
      if (c0 == '\'' || c0 == '"') {
        quoted_literal();
        continue;
      }
      if (c0 == ':') {
        ++p_;
        emit(Op{Op::kColon});
        continue;
      }
      int n = 1;
      const bool has_n = read_count(&n);
      skip_blanks();
      if (p_ >= s_.size()) fail("missing ')'");
      if (has_n && n < 1 && s_[p_] != 'x' && s_[p_] != 'X') fail("repeat count 0");
      const char c = s_[p_];
      switch (c) {
        case '(': {
          if (depth + 1 > kMaxDepth) fail("groups nested too deeply");
          ++p_;
          const std::size_t start = ops_.size();
          if (depth == 0) barrier_ = true;
          parse_list(depth + 1);
          repeat_range(start, n);
          if (depth == 0) revert_ = start;
          break;
        }
        case '/':
          ++p_;
          for (int k = 0; k < n; ++k) emit(Op{Op::kSlash});
          break;
        case 'h':
        case 'H': {
          if (!has_n) fail("H literal without a count");
          ++p_;
          if (p_ + static_cast<std::size_t>(n) > s_.size()) fail("H literal runs past the end");
          emit_lit(s_.substr(p_, static_cast<std::size_t>(n)));
          p_ += static_cast<std::size_t>(n);
          break;
        }
        case 'x':
        case 'X': {
          ++p_;
          if (n > 0) {
            Op op{Op::kX};
            op.w = n;
            emit(op);
          }
          break;
        }
        case 'i':
        case 'I': {
          ++p_;
          Op op{Op::kInt};
          op.w = read_width();
          for (int k = 0; k < n; ++k) emit(op);
          break;
        }
        case 'f':
        case 'F':
        case 'e':
        case 'E': {
          ++p_;
          Op op{(c == 'f' || c == 'F') ? Op::kF : Op::kE};
          op.w = read_width();
          op.d = read_decimals(op.w);
          for (int k = 0; k < n; ++k) emit(op);
          break;
        }
        case 'a':
        case 'A': {
          ++p_;
          Op op{Op::kA};
          int w = 0;
          if (read_count(&w)) {
            if (w < 1 || w > kMaxWidth) fail("field width out of range");
            op.w = w;
          }
          for (int k = 0; k < n; ++k) emit(op);
          break;
        }
        default:
          fail(has_n ? "unknown descriptor after a count" : "unknown descriptor");
      }
    }
  }

  // Appends copies 2..n of ops_[start..end).
  void repeat_range(std::size_t start, int n) {
    if (n <= 1) return;
    struct Piece {
      Op op;
      std::string text;
    };
    std::vector<Piece> group;
    for (std::size_t i = start; i < ops_.size(); ++i) {
      Piece piece{ops_[i], {}};
      if (piece.op.kind == Op::kLit)
        piece.text = lits_.substr(static_cast<std::size_t>(piece.op.off),
                                  static_cast<std::size_t>(piece.op.len));
      group.push_back(std::move(piece));
    }
    for (int k = 1; k < n; ++k) {
      for (const Piece& piece : group) {
        if (piece.op.kind == Op::kLit) emit_lit(piece.text);
        else emit(piece.op);
      }
    }
  }

  std::string_view s_;
  std::size_t p_ = 0;
  std::vector<Op>& ops_;
  std::string& lits_;
  std::size_t revert_ = 0;
  bool barrier_ = false;
};

bool is_data(Op::Kind k) {
  return k == Op::kInt || k == Op::kF || k == Op::kE || k == Op::kA;
}

void write_item(std::string& out, const Op& op, const Item& item) {
  switch (op.kind) {
    case Op::kInt:
      if (item.kind() == Item::Kind::kText) {
        put_stars(out, op.w);
      } else if (item.kind() == Item::Kind::kReal) {
        const double v = item.as_real();
        // Truncated toward zero; a value no integer can hold fills the field.
        if (!std::isfinite(v) || std::fabs(v) >= 9.0e18) put_stars(out, op.w);
        else put_int(out, static_cast<long long>(v), op.w);
      } else {
        put_int(out, item.as_int(), op.w);
      }
      break;
    case Op::kF:
    case Op::kE:
      if (item.kind() == Item::Kind::kText) put_stars(out, op.w);
      else if (op.kind == Op::kF) put_f(out, item.as_real(), op.w, op.d);
      else put_e(out, item.as_real(), op.w, op.d);
      break;
    case Op::kA: {
      char buf[64];
      std::string_view text;
      if (item.kind() == Item::Kind::kText) {
        text = item.as_text();
      } else {
        text = std::string_view(buf, number_text(item, buf, sizeof buf));
      }
      if (op.w == 0) {
        out.append(text);
      } else if (text.size() < static_cast<std::size_t>(op.w)) {
        out.append(static_cast<std::size_t>(op.w) - text.size(), ' ');
        out.append(text);
      } else {
        out.append(text.substr(0, static_cast<std::size_t>(op.w)));
      }
      break;
    }
    default:
      break;
  }
}

// Writes the blanks of nX held back so far.
inline void flush_blanks(std::string& out, int& pending) {
  if (pending) {
    out.append(static_cast<std::size_t>(pending), ' ');
    pending = 0;
  }
}

}  // namespace

Format::Format(std::string_view text) : source_(text) {
  Parser parser(source_, ops_, lits_);
  revert_ = parser.run();
  for (std::size_t i = revert_; i < ops_.size(); ++i)
    if (is_data(ops_[i].kind)) has_data_ = true;
  ops_.shrink_to_fit();
  lits_.shrink_to_fit();
}

void Format::write(std::string& out, const Item* items, std::size_t count) const {
  const std::size_t n = ops_.size();
  std::size_t pos = 0;
  std::size_t next = 0;  // next item
  int pending = 0;       // blanks of nX not yet written
  for (;;) {
    if (pos == n) {
      out += '\n';
      // Items left over: a new record from the reversion point.
      if (next >= count || !has_data_) return;
      pending = 0;
      pos = revert_;
      continue;
    }
    const Op& op = ops_[pos++];
    switch (op.kind) {
      case Op::kLit:
        flush_blanks(out, pending);
        out.append(lits_, static_cast<std::size_t>(op.off), static_cast<std::size_t>(op.len));
        break;
      case Op::kX:
        pending += op.w;
        break;
      case Op::kSlash:
        out += '\n';
        pending = 0;
        break;
      case Op::kColon:
        if (next >= count) {
          out += '\n';
          return;
        }
        break;
      default:
        flush_blanks(out, pending);
        if (next >= count) {
          out += '\n';
          return;
        }
        write_item(out, op, items[next++]);
        break;
    }
  }
}

void write_free(std::string& out, const Item* items, std::size_t count) {
  char buf[64];
  for (std::size_t i = 0; i < count; ++i) {
    if (i) out += ' ';
    if (items[i].kind() == Item::Kind::kText) out.append(items[i].as_text());
    else out.append(buf, number_text(items[i], buf, sizeof buf));
  }
  out += '\n';
}

void put_int(std::string& out, long long v, int w) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  put_right(out, buf, static_cast<std::size_t>(r.ptr - buf), w);
}

void put_f(std::string& out, double v, int w, int d) {
  if (!std::isfinite(v)) {
    put_nonfinite(out, v, w);
    return;
  }
  if (d < 0) d = 0;
  char buf[512];
  auto r = std::to_chars(buf, buf + sizeof buf - 1, v, std::chars_format::fixed, d);
  if (r.ec != std::errc()) {
    put_stars(out, w);
    return;
  }
  char* end = r.ptr;
  if (d == 0) *end++ = '.';  // Fw.0 still writes the point
  std::size_t len = static_cast<std::size_t>(end - buf);
  const char* text = buf;
  if (w >= 0 && len > static_cast<std::size_t>(w)) {
    // The zero before the point is optional: drop it when the field is full.
    const std::size_t z = buf[0] == '-' ? 1 : 0;
    if (len > z + 1 && buf[z] == '0' && buf[z + 1] == '.') {
      for (std::size_t i = z; i + 1 < len; ++i) buf[i] = buf[i + 1];
      --len;
    }
  }
  put_right(out, text, len, w);
}

void put_e(std::string& out, double v, int w, int d) {
  if (!std::isfinite(v)) {
    put_nonfinite(out, v, w);
    return;
  }
  if (d < 0) d = 0;
  if (d > 400) {
    put_stars(out, w);
    return;
  }
  const bool neg = std::signbit(v);
  const double a = std::fabs(v);
  // Mantissa digits d1..dd and the exponent of 0.d1...dd x 10^e.
  char sci[512];
  char dig[420];  // the d mantissa digits
  int e = 0;
  if (a == 0.0) {
    for (int i = 0; i < d; ++i) dig[i] = '0';
    e = 0;
  } else {
    // %.(d-1)e rounds correctly and never leaves a mantissa of 10.
    auto r = std::to_chars(sci, sci + sizeof sci, a, std::chars_format::scientific,
                           d > 0 ? d - 1 : 0);
    if (r.ec != std::errc()) {
      put_stars(out, w);
      return;
    }
    const char* p = sci;
    if (d > 0) {
      dig[0] = *p++;
      if (*p == '.') ++p;
      for (int i = 1; i < d; ++i) dig[i] = *p++;
    } else {
      // Ew.0: no digits are written, the exponent still follows the value.
      ++p;
    }
    // p at 'e'
    ++p;
    int x = 0;
    std::from_chars(*p == '+' ? p + 1 : p, r.ptr, x);
    e = x + 1;
  }
  char expo[5];
  int elen = 0;
  const int ae = e < 0 ? -e : e;
  if (ae <= 99) {
    expo[0] = 'E';
    expo[1] = e < 0 ? '-' : '+';
    expo[2] = static_cast<char>('0' + ae / 10);
    expo[3] = static_cast<char>('0' + ae % 10);
    elen = 4;
  } else if (ae <= 999) {
    // Fortran drops the E for a three-digit exponent.
    expo[0] = e < 0 ? '-' : '+';
    expo[1] = static_cast<char>('0' + ae / 100);
    expo[2] = static_cast<char>('0' + ae / 10 % 10);
    expo[3] = static_cast<char>('0' + ae % 10);
    elen = 4;
  } else {
    put_stars(out, w);
    return;
  }
  const int base = (neg ? 1 : 0) + 1 + d + elen;  // without the leading zero
  if (w < base) {
    put_stars(out, w);
    return;
  }
  const bool zero = w >= base + 1;
  out.append(static_cast<std::size_t>(w - base - (zero ? 1 : 0)), ' ');
  if (neg) out += '-';
  if (zero) out += '0';
  out += '.';
  out.append(dig, static_cast<std::size_t>(d));
  out.append(expo, static_cast<std::size_t>(elen));
}

}  // namespace sorvane::text

// Fixed-extent, 1-based arrays of the problem state.
//
// Every array of the state has a fixed shape known at compile time and is
// stored with its first index varying fastest, exactly like the tables the
// solvers were written for. Element access goes through operator(), which
// checks the index against the extent and stops the process with a message
// when it is outside: writing past an array would silently corrupt the
// neighbouring member. Hot loops take a raw column pointer once (column()),
// which is checked, and then run over contiguous memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sorvane {

// A fault of the program itself (never of the user's input): the message on
// standard error, then the process stops.
[[noreturn]] inline void internal_fault(const char* what) {
  std::fprintf(stderr, "internal error: %s\n", what);
  std::abort();
}

[[noreturn]] inline void index_fault(const char* what, long index, long extent) {
  std::fprintf(stderr, "internal error: %s index %ld outside 1..%ld\n", what, index, extent);
  std::abort();
}

inline void check_index(const char* what, long index, long extent) {
  if (index < 1 || index > extent) index_fault(what, index, extent);
}

// A(i), i = 1..R.
template <class T, int R>
struct Array1 {
  T v[R];
  static constexpr int rows = R;
  T& operator()(int i) {
    check_index("row", i, R);
    return v[i - 1];
  }
  const T& operator()(int i) const {
    check_index("row", i, R);
    return v[i - 1];
  }
  T* data() { return v; }
  const T* data() const { return v; }
};

// A(i, k), i = 1..R, k = 1..C; column k is contiguous.
template <class T, int R, int C>
struct Array2 {
  T v[R * C];
  static constexpr int rows = R;
  static constexpr int cols = C;
  T& operator()(int i, int k) {
    check_index("row", i, R);
    check_index("column", k, C);
    return v[(k - 1) * R + (i - 1)];
  }
  const T& operator()(int i, int k) const {
    check_index("row", i, R);
    check_index("column", k, C);
    return v[(k - 1) * R + (i - 1)];
  }
  // Pointer to row 1 of column k (0-based offsets from there).
  T* column(int k) {
    check_index("column", k, C);
    return v + (k - 1) * R;
  }
  const T* column(int k) const {
    check_index("column", k, C);
    return v + (k - 1) * R;
  }
};

// A(i, k, s), i = 1..R, k = 1..C, s = 1..S; (i) fastest, then k, then s.
template <class T, int R, int C, int S>
struct Array3 {
  T v[R * C * S];
  static constexpr int rows = R;
  T& operator()(int i, int k, int s) {
    check_index("row", i, R);
    check_index("element", k, C);
    check_index("surface", s, S);
    return v[((s - 1) * C + (k - 1)) * R + (i - 1)];
  }
  const T& operator()(int i, int k, int s) const {
    check_index("row", i, R);
    check_index("element", k, C);
    check_index("surface", s, S);
    return v[((s - 1) * C + (k - 1)) * R + (i - 1)];
  }
  T* column(int k, int s) {
    check_index("element", k, C);
    check_index("surface", s, S);
    return v + ((s - 1) * C + (k - 1)) * R;
  }
  const T* column(int k, int s) const {
    check_index("element", k, C);
    check_index("surface", s, S);
    return v + ((s - 1) * C + (k - 1)) * R;
  }
};

// A fixed-length text field padded with blanks (no terminator stored).
template <int N>
struct FixedText {
  char c[N];
  static constexpr int size = N;
  void blank() { std::memset(c, ' ', N); }
  void assign(const char* s, std::size_t len) {
    blank();
    std::memcpy(c, s, len < static_cast<std::size_t>(N) ? len : N);
  }
  // Length without the trailing blanks.
  int trimmed_length() const {
    int n = N;
    while (n > 0 && (c[n - 1] == ' ' || c[n - 1] == '\0')) --n;
    return n;
  }
};

}  // namespace sorvane

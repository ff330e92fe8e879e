// Tables of a boundary-layer surface run: 1-based, first index fastest, with
// extents fixed when the table is made (the station count of the surface, the
// 821 points of the normal grid, the 3 or 5 equations per grid point).
//
// Access through operator() is checked against the extents and stops the
// process with a message when it is outside (a programming error: it would
// write into the neighbouring array). Hot loops take a view or a raw pointer
// once and then run over contiguous memory.
//
// MatView and VecView are strided windows into such a table, so that one
// 3 by 3 block of a (3, 3, 821) array is handed to the small matrix kit
// without a copy.
#pragma once

#include <vector>

#include "solver/state/arrays.h"

namespace sorvane::bl {

// A(i, j) = p[(i-1)*rs + (j-1)*cs].
struct MatView {
  double* p = nullptr;
  int rs = 1;  // step between rows
  int cs = 1;  // step between columns
  double& operator()(int i, int j) const { return p[(i - 1) * rs + (j - 1) * cs]; }
};

// x(i) = p[(i-1)*st].
struct VecView {
  double* p = nullptr;
  int st = 1;
  double& operator()(int i) const { return p[(i - 1) * st]; }
};

// A(i), i = 1..n.
template <class T>
class Table1 {
 public:
  // Makes the table with n entries (a negative n counts as 0), all zero.
  void make(int n) {
    n_ = n < 0 ? 0 : n;
    data_.assign(static_cast<std::size_t>(n_), T());
  }
  void release() {
    std::vector<T>().swap(data_);
    n_ = 0;
  }
  int size() const { return n_; }
  T& operator()(int i) {
    check_index("table row", i, n_);
    return data_[static_cast<std::size_t>(i - 1)];
  }
  const T& operator()(int i) const {
    check_index("table row", i, n_);
    return data_[static_cast<std::size_t>(i - 1)];
  }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }
  VecView view() { return VecView{data_.data(), 1}; }

 private:
  std::vector<T> data_;
  int n_ = 0;
};

// A(a, b), a = 1..n1 (fastest), b = 1..n2.
template <class T>
class Table2 {
 public:
  void make(int n1, int n2) {
    n1_ = n1 < 0 ? 0 : n1;
    n2_ = n2 < 0 ? 0 : n2;
    data_.assign(static_cast<std::size_t>(n1_) * n2_, T());
  }
  void release() {
    std::vector<T>().swap(data_);
    n1_ = n2_ = 0;
  }
  int rows() const { return n1_; }
  int cols() const { return n2_; }
  T& operator()(int a, int b) {
    check_index("table row", a, n1_);
    check_index("table column", b, n2_);
    return data_[static_cast<std::size_t>(b - 1) * n1_ + (a - 1)];
  }
  const T& operator()(int a, int b) const {
    check_index("table row", a, n1_);
    check_index("table column", b, n2_);
    return data_[static_cast<std::size_t>(b - 1) * n1_ + (a - 1)];
  }
  // Pointer to A(1, b); column b is contiguous.
  T* column(int b) {
    check_index("table column", b, n2_);
    return data_.data() + static_cast<std::size_t>(b - 1) * n1_;
  }
  const T* column(int b) const {
    check_index("table column", b, n2_);
    return data_.data() + static_cast<std::size_t>(b - 1) * n1_;
  }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }
  // Column b as a vector (A(., b)).
  VecView vec(int b) { return VecView{column(b), 1}; }
  // The whole table as a matrix (an (n, n) work block).
  MatView mat() { return MatView{data_.data(), 1, n1_}; }

 private:
  std::vector<T> data_;
  int n1_ = 0, n2_ = 0;
};

// A(a, b, c), a fastest, then b, then c.
template <class T>
class Table3 {
 public:
  void make(int n1, int n2, int n3) {
    n1_ = n1 < 0 ? 0 : n1;
    n2_ = n2 < 0 ? 0 : n2;
    n3_ = n3 < 0 ? 0 : n3;
    data_.assign(static_cast<std::size_t>(n1_) * n2_ * n3_, T());
  }
  void release() {
    std::vector<T>().swap(data_);
    n1_ = n2_ = n3_ = 0;
  }
  int dim1() const { return n1_; }
  int dim2() const { return n2_; }
  int dim3() const { return n3_; }
  T& operator()(int a, int b, int c) {
    check_index("table row", a, n1_);
    check_index("table column", b, n2_);
    check_index("table block", c, n3_);
    return data_[(static_cast<std::size_t>(c - 1) * n2_ + (b - 1)) * n1_ + (a - 1)];
  }
  const T& operator()(int a, int b, int c) const {
    check_index("table row", a, n1_);
    check_index("table column", b, n2_);
    check_index("table block", c, n3_);
    return data_[(static_cast<std::size_t>(c - 1) * n2_ + (b - 1)) * n1_ + (a - 1)];
  }
  // Pointer to A(1, 1, c); block c is contiguous, its columns too.
  T* block_data(int c) {
    check_index("table block", c, n3_);
    return data_.data() + static_cast<std::size_t>(c - 1) * n1_ * n2_;
  }
  const T* block_data(int c) const {
    check_index("table block", c, n3_);
    return data_.data() + static_cast<std::size_t>(c - 1) * n1_ * n2_;
  }
  // Block c (A(., ., c)) as a matrix view.
  MatView block(int c) { return MatView{block_data(c), 1, n1_}; }
  T* data() { return data_.data(); }
  const T* data() const { return data_.data(); }

 private:
  std::vector<T> data_;
  int n1_ = 0, n2_ = 0, n3_ = 0;
};

}  // namespace sorvane::bl

// Counts the allocations of a stretch of code: replaces the global operator
// new of the test program with one that counts while an AllocationCount is
// alive. Include it in one source file of a test program only (the
// replacement is a definition).
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace sorvane::testing {

inline std::atomic<bool> counting_allocations{false};
inline std::atomic<long> counted_allocations{0};

// Counts from its construction to its destruction (one at a time).
class AllocationCount {
 public:
  AllocationCount() {
    counted_allocations = 0;
    counting_allocations = true;
  }
  ~AllocationCount() { counting_allocations = false; }
  AllocationCount(const AllocationCount&) = delete;
  AllocationCount& operator=(const AllocationCount&) = delete;
  // The allocations so far.
  long count() const { return counted_allocations.load(); }
};

}  // namespace sorvane::testing

void* operator new(std::size_t size) {
  if (sorvane::testing::counting_allocations.load(std::memory_order_relaxed))
    sorvane::testing::counted_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

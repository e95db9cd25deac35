// The matches of one opponent: a growable list that holds its first element
// in place, so a player who meets a million opponents once each pays for a
// million matches and not for a million heap blocks with spare room. After
// that it grows in blocks of a ListPool, doubling, and past a thousand or so
// elements on the system heap by half its size.
#ifndef LEDGERWISE_LOG_COMPACT_LIST_H_
#define LEDGERWISE_LOG_COMPACT_LIST_H_

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>

#include "log/list_pool.h"

namespace ledgerwise {

template <typename T>
class CompactList {
  // Moved as bytes when it grows, and held in a union.
  static_assert(std::is_trivially_copyable<T>::value, "elements are moved as bytes");

 public:
  // The unit of the pool the lists of T grow in: room for two.
  static constexpr size_t kPoolUnit = 2 * sizeof(T) % 8 == 0 ? 2 * sizeof(T) : 16 * sizeof(T);
  static constexpr uint32_t kPoolUnitCount = kPoolUnit / sizeof(T);
  // Beyond this the list is on the system heap and grows by half its size.
  static constexpr uint32_t kLargestPooled = kPoolUnitCount << (ListPool::kClasses - 1);

  CompactList() = default;
  CompactList(const CompactList&) = delete;
  CompactList& operator=(const CompactList&) = delete;
  ~CompactList() {
    if (capacity_ > kLargestPooled) std::free(s_.many);
  }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T* begin() { return capacity_ > 1 ? s_.many : &s_.one; }
  const T* begin() const { return capacity_ > 1 ? s_.many : &s_.one; }
  T* end() { return begin() + size_; }
  const T* end() const { return begin() + size_; }
  T& operator[](size_t i) { return begin()[i]; }
  const T& operator[](size_t i) const { return begin()[i]; }
  T& at(size_t i) { return i < size_ ? begin()[i] : OutOfRange(); }
  const T& at(size_t i) const { return i < size_ ? begin()[i] : OutOfRange(); }
  T& back() { return begin()[size_ - 1]; }
  const T& back() const { return begin()[size_ - 1]; }

  // `pool` must be the one every earlier append of this list used, and
  // must outlive the list.
  T& emplace_back(ListPool& pool) {
    if (capacity_ == 0) {
      capacity_ = 1;  // the first one stays in place
    } else if (size_ == capacity_) {
      Grow(pool);
    }
    return *new (begin() + size_++) T();
  }
  // Empties the list; a pooled block stays with the pool.
  void clear() {
    if (capacity_ > kLargestPooled) std::free(s_.many);
    s_.many = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  [[noreturn]] static T& OutOfRange() { throw std::out_of_range("CompactList::at"); }

  static unsigned SizeClass(uint32_t capacity) {
    unsigned c = 0;
    while ((kPoolUnitCount << c) < capacity) ++c;
    return c;
  }

  void Grow(ListPool& pool) {
    uint32_t capacity = capacity_ == 1 ? kPoolUnitCount : capacity_ * 2;
    void* grown;
    if (capacity <= kLargestPooled) {
      grown = pool.Take(SizeClass(capacity));
    } else if (capacity_ > kLargestPooled) {
      capacity = capacity_ + capacity_ / 2;
      grown = std::realloc(s_.many, size_t{capacity} * sizeof(T));
    } else {
      grown = std::malloc(size_t{capacity} * sizeof(T));
    }
    if (grown == nullptr) throw std::bad_alloc();
    if (capacity_ <= kLargestPooled)
      std::memcpy(grown, static_cast<const void*>(begin()), size_ * sizeof(T));
    if (capacity_ > 1 && capacity_ <= kLargestPooled) pool.Give(s_.many, SizeClass(capacity_));
    s_.many = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  // Capacity 0 or 1: the element, if any, is `one`; beyond that the
  // elements are in a block of the pool or, past kLargestPooled, on the heap.
  union Storage {
    Storage() : many(nullptr) {}
    T one;
    T* many;
  } s_;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_COMPACT_LIST_H_

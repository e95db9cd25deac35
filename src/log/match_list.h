// The matches of one opponent: a growable list that holds its first element
// in place and moves to the heap with the second, growing by half its size
// after that. A player who meets a million opponents once each pays for a
// million matches, not for a million heap blocks with spare room.
#ifndef LEDGERWISE_LOG_MATCH_LIST_H_
#define LEDGERWISE_LOG_MATCH_LIST_H_

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <type_traits>

namespace ledgerwise {

template <typename T>
class CompactList {
  // Moved as bytes when it grows, and held in a union.
  static_assert(std::is_trivially_copyable<T>::value, "elements are moved as bytes");

 public:
  CompactList() = default;
  CompactList(const CompactList&) = delete;
  CompactList& operator=(const CompactList&) = delete;
  ~CompactList() { clear(); }

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

  T& emplace_back() {
    if (capacity_ == 0) {
      capacity_ = 1;  // the first one stays in place
    } else if (size_ == capacity_) {
      Grow(capacity_ + capacity_ / 2 + 1);
    }
    return *new (begin() + size_++) T();
  }
  void clear() {
    if (capacity_ > 1) std::free(s_.many);
    s_.many = nullptr;
    size_ = capacity_ = 0;
  }

 private:
  [[noreturn]] static T& OutOfRange() { throw std::out_of_range("CompactList::at"); }

  // To the heap, or to a larger place on it.
  void Grow(uint32_t capacity) {
    void* grown = capacity_ > 1 ? std::realloc(s_.many, size_t{capacity} * sizeof(T))
                                : std::malloc(size_t{capacity} * sizeof(T));
    if (grown == nullptr) throw std::bad_alloc();
    if (capacity_ == 1) std::memcpy(grown, static_cast<const void*>(&s_.one), sizeof(T));
    s_.many = static_cast<T*>(grown);
    capacity_ = capacity;
  }

  // Capacity 0 or 1: the element, if any, is `one`; beyond that the
  // elements are on the heap at `many`.
  union Storage {
    Storage() : many(nullptr) {}
    T one;
    T* many;
  } s_;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_MATCH_LIST_H_

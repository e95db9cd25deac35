#include "log/list_pool.h"

#include <cstring>

namespace ledgerwise {

namespace {

constexpr size_t kSlab = 1 << 20;

}  // namespace

void* ListPool::Take(unsigned sizeClass) {
  if (void* block = free_[sizeClass]) {
    std::memcpy(&free_[sizeClass], block, sizeof(void*));
    return block;
  }
  size_t size = unit_ << sizeClass;
  if (size > room_) {
    // The rest of the old slab is left unused: at most one block's worth.
    size_t slab = size > kSlab ? size : kSlab;
    slabs_.emplace_back(new char[slab]);
    next_ = slabs_.back().get();
    room_ = slab;
  }
  void* block = next_;
  next_ += size;
  room_ -= size;
  return block;
}

void ListPool::Give(void* block, unsigned sizeClass) {
  std::memcpy(block, &free_[sizeClass], sizeof(void*));
  free_[sizeClass] = block;
}

}  // namespace ledgerwise

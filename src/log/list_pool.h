// Blocks for growing lists, in power-of-two sizes, carved from large slabs.
// A block that a list outgrows is kept for the next list that needs that
// size. Growing thousands of small lists a step at a time this way costs a
// pointer swap a step: some system heaps search long free lists on every
// reallocation instead. Everything goes back to the system with the pool.
#ifndef LEDGERWISE_LOG_LIST_POOL_H_
#define LEDGERWISE_LOG_LIST_POOL_H_

#include <cstddef>
#include <memory>
#include <vector>

namespace ledgerwise {

class ListPool {
 public:
  static constexpr unsigned kClasses = 10;  // blocks of unit << 0 ... unit << 9 bytes

  // `unit` is a multiple of 8, so every block can hold the free-list link.
  explicit ListPool(size_t unit) : unit_(unit) {}
  ListPool(const ListPool&) = delete;
  ListPool& operator=(const ListPool&) = delete;

  void* Take(unsigned sizeClass);
  void Give(void* block, unsigned sizeClass);

 private:
  size_t unit_;
  std::vector<std::unique_ptr<char[]>> slabs_;
  char* next_ = nullptr;  // the free end of the last slab
  size_t room_ = 0;
  void* free_[kClasses] = {};  // each free block holds the next one's address
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LIST_POOL_H_

#ifndef LEDGERWISE_UTIL_PREFETCH_H_
#define LEDGERWISE_UTIL_PREFETCH_H_

#include <cstddef>

namespace ledgerwise {

// Asks the processor to bring the `size` bytes at `p`, at most a cache line
// of them, into its cache for a read soon: the line of the first byte and
// the line of the last, which may be the next one. A hint only, harmless on
// any address. Writers that walk the matches in reading order jump between
// opponents' records on every row, and waiting for each record from memory
// is most of their time.
inline void PrefetchForRead(const void* p, size_t size) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
  __builtin_prefetch(static_cast<const char*>(p) + size - 1);
#else
  (void)p;
  (void)size;
#endif
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTIL_PREFETCH_H_

#ifndef LEDGERWISE_UTIL_PREFETCH_H_
#define LEDGERWISE_UTIL_PREFETCH_H_

namespace ledgerwise {

// Asks the processor to bring the memory at `p` into its cache for a read
// soon; a hint only, harmless on any address. Writers that walk the matches
// in reading order jump between opponents' records on every row, and
// waiting for each record from memory is most of their time.
inline void PrefetchForRead(const void* p) {
#if defined(__GNUC__)
  __builtin_prefetch(p);
#else
  (void)p;
#endif
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTIL_PREFETCH_H_

// One pass over a run of log lines that finds the line ends and the phrase
// anchors together, 64 bytes at a time, and reports only the lines that hold
// a phrase: most lines hold none and cost no more than the pass itself.
//
// Two ways to build the masks of a 64-byte window: SSE2, which every x86-64
// compiler offers, and plain C++ for other machines. Both are always built
// where SSE2 exists, so the tests can hold them to each other.
#ifndef LEDGERWISE_LOG_PHRASE_MATCH_SCAN_H_
#define LEDGERWISE_LOG_PHRASE_MATCH_SCAN_H_

#include <cstddef>
#include <cstdint>

#include "log/phrase_match.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define LEDGERWISE_HAVE_SSE2 1
#endif

namespace ledgerwise {

// A line from its first byte up to and including its LF.
struct PhraseLine {
  const char* begin;
  const char* end;
  unsigned phrases;  // PhraseBit of every phrase that lies in the line
  bool hasNul;       // a NUL ends the line's text early: look again
};

// Calls `onLine` for every line of [begin, end) that holds a phrase, in
// order. `begin` is a line start. Returns the start of the unended line after
// the last LF (`end` when the run ends in LF); that line is not looked at.
template <typename OnLine>
const char* ScanPhraseLines(const char* begin, const char* end, OnLine&& onLine);

// The same, with the window masks built by one chosen way.
template <typename OnLine>
const char* ScanPhraseLinesPortable(const char* begin, const char* end, OnLine&& onLine);
#if LEDGERWISE_HAVE_SSE2
template <typename OnLine>
const char* ScanPhraseLinesSse2(const char* begin, const char* end, OnLine&& onLine);
#endif

namespace phrase_scan_internal {

constexpr size_t kWindow = 64;

// Bit i stands for byte i of the window.
struct Masks {
  uint64_t lf = 0;
  uint64_t anchor = 0;  // 0x82 followed by 0xBD
  uint64_t nul = 0;
};

// Up to 64 bytes at `p`, none at or past `end`.
inline Masks PortableMasks(const char* p, const char* end) {
  Masks m;
  size_t n = static_cast<size_t>(end - p) < kWindow ? static_cast<size_t>(end - p) : kWindow;
  for (size_t i = 0; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(p[i]);
    uint64_t bit = uint64_t{1} << i;
    if (c == '\n') m.lf |= bit;
    if (c == 0) m.nul |= bit;
    if (c == 0x82 && i + 1 < static_cast<size_t>(end - p) &&
        static_cast<unsigned char>(p[i + 1]) == 0xBD) {
      m.anchor |= bit;
    }
  }
  return m;
}

#if LEDGERWISE_HAVE_SSE2
// 64 bytes at `p`; reads p[64] too, so 65 bytes must be there.
inline Masks Sse2Masks(const char* p) {
  const __m128i lf = _mm_set1_epi8('\n');
  const __m128i lead = _mm_set1_epi8(static_cast<char>(0x82));
  const __m128i trail = _mm_set1_epi8(static_cast<char>(0xBD));
  const __m128i zero = _mm_setzero_si128();
  __m128i least = _mm_cmpeq_epi8(zero, zero);  // the smallest byte at each place of the four blocks
  Masks m;
  for (int k = 0; k < 4; ++k) {
    __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k + 1));
    __m128i pair = _mm_and_si128(_mm_cmpeq_epi8(v, lead), _mm_cmpeq_epi8(next, trail));
    int shift = 16 * k;
    m.lf |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, lf)))} << shift;
    m.anchor |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(pair))} << shift;
    least = _mm_min_epu8(least, v);
  }
  // A NUL is rare: its mask is built only for a window that holds one.
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(least, zero)) != 0) {
    for (int k = 0; k < 4; ++k) {
      __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
      m.nul |= uint64_t{static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, zero)))}
               << 16 * k;
    }
  }
  return m;
}
#endif

inline int LowestBit(uint64_t x) {
#if defined(__GNUC__)
  return __builtin_ctzll(x);
#else
  int i = 0;
  while ((x & 1) == 0) {
    x >>= 1;
    ++i;
  }
  return i;
#endif
}

// The line being read: where it starts and what it has shown so far.
struct LineState {
  const char* start;
  unsigned phrases = 0;
  bool hasNul = false;
};

#if defined(__GNUC__)
#define LEDGERWISE_WINDOW_INLINE inline __attribute__((always_inline))
#else
#define LEDGERWISE_WINDOW_INLINE inline
#endif

// The events of one window at `p`, in byte order. Made part of the loop
// that calls it: a call for every 64 bytes costs more than most windows'
// events do.
template <typename OnLine>
LEDGERWISE_WINDOW_INLINE void TakeWindow(const char* p, const Masks& m, const char* floor,
                                         const char* end, LineState& line, OnLine& onLine) {
  for (uint64_t events = m.lf | m.anchor | m.nul; events != 0; events &= events - 1) {
    int i = LowestBit(events);
    uint64_t bit = uint64_t{1} << i;
    if (m.lf & bit) {
      if (line.phrases != 0) onLine(PhraseLine{line.start, p + i + 1, line.phrases, line.hasNul});
      line = LineState{p + i + 1};
    } else if (m.anchor & bit) {
      line.phrases |= PhraseAtAnchor(floor, end, p + i);
    } else {
      line.hasNul = true;
    }
  }
}

}  // namespace phrase_scan_internal

template <typename OnLine>
const char* ScanPhraseLinesPortable(const char* begin, const char* end, OnLine&& onLine) {
  namespace in = phrase_scan_internal;
  in::LineState line{begin};
  for (const char* p = begin; p < end; p += in::kWindow) {
    in::TakeWindow(p, in::PortableMasks(p, end), begin, end, line, onLine);
  }
  return line.start;
}

#if LEDGERWISE_HAVE_SSE2
template <typename OnLine>
const char* ScanPhraseLinesSse2(const char* begin, const char* end, OnLine&& onLine) {
  namespace in = phrase_scan_internal;
  in::LineState line{begin};
  const char* p = begin;
  for (; end - p > static_cast<ptrdiff_t>(in::kWindow); p += in::kWindow) {
    in::TakeWindow(p, in::Sse2Masks(p), begin, end, line, onLine);
  }
  if (p < end) in::TakeWindow(p, in::PortableMasks(p, end), begin, end, line, onLine);
  return line.start;
}
#endif

template <typename OnLine>
const char* ScanPhraseLines(const char* begin, const char* end, OnLine&& onLine) {
#if LEDGERWISE_HAVE_SSE2
  return ScanPhraseLinesSse2(begin, end, onLine);
#else
  return ScanPhraseLinesPortable(begin, end, onLine);
#endif
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_PHRASE_MATCH_SCAN_H_

#include "log/packed_digest.h"

#include <cstdint>
#include <cstring>

#include "log/phrase_match.h"

namespace ledgerwise {

namespace {

// The flags byte: the phrase bits below, then these.
constexpr uint8_t kHasSecond = 1u << 6;
constexpr unsigned kEndBits = kWinBit | kLossBit | kErrorBit | kLogoutBit;

void PutVarint(std::string* out, uint64_t v) {
  while (v >= 0x80) {
    out->push_back(static_cast<char>(v | 0x80));
    v >>= 7;
  }
  out->push_back(static_cast<char>(v));
}

void PutSigned(std::string* out, int64_t v) {
  PutVarint(out, (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63));
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : p_(bytes.data()), end_(bytes.data() + bytes.size()) {}
  bool done() const { return p_ >= end_; }
  uint8_t Byte() { return static_cast<uint8_t>(*p_++); }
  uint64_t Varint() {
    uint64_t v = 0;
    for (int shift = 0; p_ < end_; shift += 7) {
      uint8_t b = Byte();
      v |= uint64_t{b & 0x7Fu} << shift;
      if (b < 0x80) break;
    }
    return v;
  }
  int64_t Signed() {
    uint64_t v = Varint();
    return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
  }
  std::string_view Bytes(size_t n) {
    std::string_view s(p_, n);
    p_ += n;
    return s;
  }

 private:
  const char* p_;
  const char* end_;
};

// A match-start record is thirteen 32-bit fields, packed one by one.
constexpr int kFieldCount = 13;
static_assert(sizeof(MatchRecord) == kFieldCount * sizeof(int32_t), "no padding");

void PackStart(const LogDigest& digest, const DigestStart& start, std::string* out) {
  out->push_back(static_cast<char>(start.nameFrom));
  int32_t fields[kFieldCount];
  std::memcpy(fields, &start.fields, sizeof fields);
  for (int32_t field : fields) PutSigned(out, field);
  if (start.nameFrom != StartName::Own) return;
  PutVarint(out, start.nameSize);
  out->append(digest.names, start.nameBegin, start.nameSize);
}

void UnpackStart(Reader& in, LogDigest* digest, DigestPiece* piece) {
  piece->start = static_cast<uint32_t>(digest->starts.size());
  DigestStart& start = digest->starts.emplace_back();
  start.nameFrom = static_cast<StartName>(in.Byte());
  int32_t fields[kFieldCount];
  for (int32_t& field : fields) field = static_cast<int32_t>(in.Signed());
  std::memcpy(&start.fields, fields, sizeof fields);
  if (start.nameFrom != StartName::Own) return;
  start.nameSize = static_cast<uint32_t>(in.Varint());
  start.nameBegin = static_cast<uint32_t>(digest->names.size());
  digest->names.append(in.Bytes(start.nameSize));
}

}  // namespace

void PackLogDigest(const LogDigest& digest, std::string* packed) {
  for (const DigestPiece& piece : digest.pieces) {
    packed->push_back(static_cast<char>(piece.phrases | (piece.hasSecond ? kHasSecond : 0)));
    if (piece.phrases & kMatchStartBit) PackStart(digest, digest.starts[piece.start], packed);
    // Only an end piece's second is ever looked at, and only with its prefix.
    if ((piece.phrases & kEndBits) && piece.hasSecond) PutSigned(packed, piece.second);
  }
}

void UnpackLogDigest(std::string_view packed, int32_t day, LogDigest* digest) {
  digest->NextBatch();
  digest->day = day;
  Reader in(packed);
  while (!in.done()) {
    uint8_t flags = in.Byte();
    DigestPiece& piece = digest->pieces.emplace_back();
    piece.phrases = flags & ~kHasSecond;
    piece.hasSecond = (flags & kHasSecond) != 0;
    if (piece.phrases & kMatchStartBit) UnpackStart(in, digest, &piece);
    if ((piece.phrases & kEndBits) && piece.hasSecond) {
      piece.second = static_cast<int32_t>(in.Signed());
    }
  }
}

}  // namespace ledgerwise

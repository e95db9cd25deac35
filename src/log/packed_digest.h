// A log's digest kept small for as long as a watching run keeps it: each
// piece as a flags byte and the few numbers its phrase needs, in varints.
// A day's worth of matches packs into a few kilobytes, so a decade of logs
// can stay digested in memory and the book be rebuilt from it at any time.
#ifndef LEDGERWISE_LOG_PACKED_DIGEST_H_
#define LEDGERWISE_LOG_PACKED_DIGEST_H_

#include <string>
#include <string_view>

#include "log/log_digest.h"

namespace ledgerwise {

// Appends the digest's pieces, in order, to `packed`.
void PackLogDigest(const LogDigest& digest, std::string* packed);

// The pieces packed into `packed`, as a digest of `day` (emptied first).
void UnpackLogDigest(std::string_view packed, int32_t day, LogDigest* digest);

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_PACKED_DIGEST_H_

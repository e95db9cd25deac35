// What one log file says, read apart from any book: the pieces of its lines
// that hold a phrase, in order, each with the fields its phrase needs. The
// reading is the costly part and depends on the file alone, so files can be
// digested side by side; applying the digests to the book, in log order, is
// the cheap part that carries a match from one file into the next.
#ifndef LEDGERWISE_LOG_LOG_DIGEST_H_
#define LEDGERWISE_LOG_LOG_DIGEST_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "log/records.h"

namespace ledgerwise {

// Where a match-start line's opponent name comes from.
enum class StartName : uint8_t {
  Previous,  // no "(": the file's last started match's opponent
  Empty,     // "(" before byte 10
  Own,       // the bytes from 10 up to the last "("
};

// What a match-start piece says.
struct DigestStart {
  MatchRecord fields;  // read onto an all-zero record
  StartName nameFrom = StartName::Previous;
  uint32_t nameBegin = 0;  // in LogDigest::names
  uint32_t nameSize = 0;
};

struct DigestPiece {
  uint8_t phrases = 0;  // PhraseBit of every phrase in the piece
  // Read only for the pieces that hold an end phrase.
  bool hasSecond = false;  // the piece has a time prefix
  int32_t second = 0;      // its second of the day
  uint32_t start = 0;      // a match-start piece's entry in LogDigest::starts
};

struct LogDigest {
  int32_t day = 0;  // day number of the file's name
  std::vector<DigestPiece> pieces;
  std::vector<DigestStart> starts;
  std::string names;  // the match-start pieces' names back to back

  // Empties the pieces once they have been applied; the room stays.
  void NextBatch() {
    pieces.clear();
    starts.clear();
    names.clear();
  }
};

// Runs the digest's pieces through the parser's state machine, whose state
// lives in the book: a match left open by one file is finished by the next.
// Outside a match only a match-start piece counts. In a match the phrases
// are tried in the order win or loss, replay save, error or logout, and the
// first found decides; a further match-start piece is ignored. `lastName` is
// the name of the file's last started match, carried from one batch of a
// file to the next; empty at the start of each file.
void ApplyLogDigest(VsLogBook& book, const LogDigest& digest, std::string_view* lastName);

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LOG_DIGEST_H_

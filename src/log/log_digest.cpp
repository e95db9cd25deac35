#include "log/log_digest.h"

#include <string_view>

#include "log/phrase_match.h"

namespace ledgerwise {

namespace {

void StartMatch(VsLogBook& book, const LogDigest& digest, const DigestPiece& piece,
                std::string_view& lastName) {
  const DigestStart& start = digest.starts[piece.start];
  std::string_view name = lastName;
  if (start.nameFrom == StartName::Empty) name = std::string_view();
  if (start.nameFrom == StartName::Own)
    name = std::string_view(digest.names).substr(start.nameBegin, start.nameSize);
  MatchRecord& match = book.OpenMatch(name);
  lastName = book.currentOpponent()->name;
  match = start.fields;
  match.day = digest.day;
  book.parseState = ParseState::InMatch;
}

void EndMatch(VsLogBook& book, const DigestPiece& piece) {
  MatchRecord& match = *book.currentMatch();
  if (piece.hasSecond) match.endSecond = piece.second;
  if (int64_t{match.endSecond} - match.startSecond < 0) match.endSecond += 86400;
  book.parseState = ParseState::Idle;
}

void ApplyPiece(VsLogBook& book, const LogDigest& digest, const DigestPiece& piece,
                std::string_view& lastName) {
  const unsigned phrases = piece.phrases;
  if (book.parseState == ParseState::Idle) {
    if (phrases & kMatchStartBit) StartMatch(book, digest, piece, lastName);
    return;
  }
  MatchRecord& match = *book.currentMatch();
  if (phrases & (kWinBit | kLossBit)) {
    bool won = (phrases & kWinBit) != 0;
    match.result = won ? MatchResult::Won : MatchResult::Lost;
    int32_t winner = match.gameCount == 2 || match.gameCount == 3 ? 2 : 0;
    int32_t loser = match.gameCount == 3 ? 1 : 0;
    match.ownGames = won ? winner : loser;
    match.opponentGames = won ? loser : winner;
    EndMatch(book, piece);
  } else if (phrases & kSaveBit) {
    ++match.gameCount;
  } else if (phrases & (kErrorBit | kLogoutBit)) {
    match.result = MatchResult::Disconnected;
    EndMatch(book, piece);
  }
}

}  // namespace

void ApplyLogDigest(VsLogBook& book, const LogDigest& digest, std::string_view* lastName) {
  for (const DigestPiece& piece : digest.pieces) ApplyPiece(book, digest, piece, *lastName);
}

}  // namespace ledgerwise

#include "log/log_parser.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "log/calendar.h"
#include "log/line_fields.h"
#include "log/phrase_match.h"
#include "log/phrase_match_scan.h"

namespace ledgerwise {

namespace {

constexpr size_t kReadChunk = 1 << 20;
constexpr unsigned char kAnchorTrail = 0xBD;  // second byte of "た"

const char* FindByte(const char* begin, const char* end, int c) {
  return static_cast<const char*>(std::memchr(begin, c, end - begin));
}

// The next "た" pair in [from, end) whose lead byte is at or after `begin`.
const char* FindAnchor(const char* begin, const char* from, const char* end) {
  for (;;) {
    const char* trail = FindByte(from, end, kAnchorTrail);
    if (trail == nullptr) return nullptr;
    if (trail > begin && trail[-1] == '\x82') return trail - 1;
    from = trail + 1;
  }
}

// The line without its LF, and without the CR of a CR LF pair.
std::string_view LineText(const char* begin, const char* end) {
  if (end > begin && end[-1] == '\n') {
    --end;
    if (end > begin && end[-1] == '\r') --end;
  }
  return std::string_view(begin, end - begin);
}

}  // namespace

int ParseLogFile(VsLogBook& book, const std::string& path, LogSource* source) {
  if (source == nullptr) {
    book.FormatErrorText(kInputOpenFailure, path.c_str());
    return -1;
  }
  // One buffer kept for every file: a block this large comes fresh from
  // the system on each allocation on some heaps, and touching its pages anew
  // for each of thousands of files costs more than reading them.
  static thread_local std::unique_ptr<char[]> buffer(new char[kReadChunk]);
  LogFileParser parser(book, path);
  int64_t got;
  while ((got = source->Read(buffer.get(), kReadChunk)) > 0) {
    parser.Feed(buffer.get(), static_cast<size_t>(got));
  }
  // A match left open by a failed read stays open for the next file, as at
  // any file end: the lines that were read count, the rest are lost.
  parser.Finish();
  if (got < 0) {
    book.FormatErrorText(kInputReadFailure, path.c_str());
    return -1;
  }
  return 0;
}

LogFileParser::LogFileParser(VsLogBook& book, std::string_view path) : book_(book) {
  int32_t year, month, day;
  DateFromFileName(path, year, month, day);
  day_ = DayNumberFromDate(year, month, day);
}

void LogFileParser::Feed(const char* data, size_t size) {
  while (size > 0) {
    if (carry_.empty()) {
      size_t used = Scan(data, data + size, false);
      carry_.assign(data + used, size - used);
      return;
    }
    // Complete the carried line with the bytes up to the next LF, then go
    // on in place.
    const char* lf = FindByte(data, data + size, '\n');
    size_t take = lf ? static_cast<size_t>(lf - data) + 1 : size;
    carry_.append(data, take);
    size_t used = Scan(carry_.data(), carry_.data() + carry_.size(), false);
    carry_.erase(0, used);
    data += take;
    size -= take;
  }
}

void LogFileParser::Finish() {
  std::string rest;
  rest.swap(carry_);
  Scan(rest.data(), rest.data() + rest.size(), true);
}

// [begin, end) starts at a line start, or at a piece boundary of a long
// line. Handles every complete line and, of an unended last line, every
// whole piece (all of it at the end of the file). Returns the bytes used.
size_t LogFileParser::Scan(const char* begin, const char* end, bool atEnd) {
  const char* tail = ScanPhraseLines(begin, end, [this](const PhraseLine& line) {
    // A line that fits one piece and has no NUL is its own text; the others
    // are cut as the line buffer would cut them and looked at again.
    if (line.hasNul || static_cast<size_t>(line.end - line.begin) > kMaxLinePiece + 1) {
      HandleLine(line.begin, line.end);
    } else {
      HandlePiece(LineText(line.begin, line.end), line.phrases);
    }
  });
  if (atEnd) {
    if (tail < end) HandleLine(tail, end);
    return end - begin;
  }
  // Whole pieces of the unended line can go now, but the piece must be
  // followed by a byte: its last byte may be a CR that a coming LF folds.
  size_t pieces = static_cast<size_t>(end - tail) > kMaxLinePiece
                      ? (static_cast<size_t>(end - tail) - 1) / kMaxLinePiece
                      : 0;
  const char* used = tail + pieces * kMaxLinePiece;
  if (pieces > 0) HandleLine(tail, used);
  return used - begin;
}

// One line from its start up to and including its LF (or its unended part).
// Cuts it into pieces as a 1024-byte line buffer would take them and hands
// every piece that holds a phrase to the state machine.
void LogFileParser::HandleLine(const char* begin, const char* end) {
  std::string_view content = LineText(begin, end);
  const char* contentEnd = content.data() + content.size();
  const char* pieceBegin = begin;
  while (pieceBegin < contentEnd) {
    const char* pieceEnd = pieceBegin + std::min<size_t>(kMaxLinePiece, contentEnd - pieceBegin);
    const char* nul = FindByte(pieceBegin, pieceEnd, '\0');
    const char* textEnd = nul ? nul : pieceEnd;
    unsigned phrases = 0;
    for (const char* from = pieceBegin;;) {
      const char* anchor = FindAnchor(pieceBegin, from, textEnd);
      if (anchor == nullptr) break;
      phrases |= PhraseAtAnchor(pieceBegin, textEnd, anchor);
      from = anchor + 2;
    }
    if (phrases != 0) HandlePiece(std::string_view(pieceBegin, textEnd - pieceBegin), phrases);
    pieceBegin = pieceEnd;
  }
}

void LogFileParser::HandlePiece(std::string_view text, unsigned phrases) {
  if (book_.parseState == ParseState::Idle) {
    if (phrases & kMatchStartBit) StartMatch(text);
    return;
  }
  // In a match the phrases are tried in this order and the first one found
  // decides; a further match-start line is ignored.
  MatchRecord& match = *book_.currentMatch();
  if (phrases & (kWinBit | kLossBit)) {
    bool won = (phrases & kWinBit) != 0;
    match.result = won ? MatchResult::Won : MatchResult::Lost;
    int32_t winner = match.gameCount == 2 || match.gameCount == 3 ? 2 : 0;
    int32_t loser = match.gameCount == 3 ? 1 : 0;
    match.ownGames = won ? winner : loser;
    match.opponentGames = won ? loser : winner;
    EndMatch(text);
  } else if (phrases & kSaveBit) {
    ++match.gameCount;
  } else if (phrases & (kErrorBit | kLogoutBit)) {
    match.result = MatchResult::Disconnected;
    EndMatch(text);
  }
}

void LogFileParser::StartMatch(std::string_view line) {
  // The fields first, as the same pass finds where the name ends; a line
  // without a name keeps the last one (none when "(" stands before byte 10).
  MatchRecord fields;
  size_t paren = ReadMatchStartFields(fields, line);
  std::string_view name = lastName_;
  if (paren != std::string_view::npos) name = paren < 10 ? std::string_view() : line.substr(10, paren - 10);
  MatchRecord& match = book_.OpenMatch(name);
  lastName_ = book_.currentOpponent()->name;
  match = fields;
  match.day = day_;
  book_.parseState = ParseState::InMatch;
}

void LogFileParser::EndMatch(std::string_view line) {
  MatchRecord& match = *book_.currentMatch();
  SecondOfDay(line, match.endSecond);
  if (int64_t{match.endSecond} - match.startSecond < 0) match.endSecond += 86400;
  book_.parseState = ParseState::Idle;
}

}  // namespace ledgerwise

#include "log/log_parser.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "log/calendar.h"
#include "log/line_fields.h"
#include "log/packed_digest.h"
#include "log/phrase_match.h"
#include "log/phrase_match_scan.h"

namespace ledgerwise {

namespace {

constexpr size_t kReadChunk = 1 << 20;
// Pieces a reader holds before they are taken; a chunk read can add more.
constexpr size_t kBatchPieces = 4096;
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

Status ParseLogFile(VsLogBook& book, const std::string& path, LogSource* source) {
  LogFileReader reader(path, source);
  return reader.TakeInto(book);
}

LogFileReader::LogFileReader(const std::string& path, LogSource* source)
    : path_(path),
      source_(source),
      parser_(path, &digest_),
      state_(source ? State::Reading : State::Unopened) {}

void LogFileReader::Restart(const std::string& path, LogSource* source) {
  path_ = path;
  source_ = source;
  parser_.Restart(path);
  state_ = source ? State::Reading : State::Unopened;
  holdUnendedLine_ = heldBack_ = false;
}

void LogFileReader::ReadBatch() {
  // One buffer kept for every file: a block this large comes fresh from
  // the system on each allocation on some heaps, and touching its pages anew
  // for each of thousands of files costs more than reading them.
  static thread_local std::unique_ptr<char[]> buffer(new char[kReadChunk]);
  while (state_ == State::Reading && digest_.pieces.size() < kBatchPieces) {
    int64_t got = source_->Read(buffer.get(), kReadChunk);
    if (got > 0) {
      parser_.Feed(buffer.get(), static_cast<size_t>(got));
      continue;
    }
    // A match left open by a failed read stays open for the next file, as
    // at any file end: the lines that were read count, the rest are lost.
    heldBack_ = holdUnendedLine_ && got == 0 && parser_.HoldsUnendedLine();
    if (!heldBack_) parser_.Finish();
    state_ = got < 0 ? State::ReadFailed : State::Ended;
  }
}

Status LogFileReader::TakeInto(VsLogBook& book) {
  if (state_ == State::Unopened) return Status::Failure(Status::Code::InputOpen, path_);
  // A start line without a name takes the file's last name, in any batch.
  std::string_view lastName;
  for (;;) {
    ReadBatch();
    ApplyLogDigest(book, digest_, &lastName);
    digest_.NextBatch();
    if (state_ != State::Reading) break;
  }
  if (state_ == State::ReadFailed) return Status::Failure(Status::Code::InputRead, path_);
  return Status();
}

Status LogFileReader::PackInto(std::string* packed, bool holdUnendedLine, bool* heldBack) {
  *heldBack = false;
  if (state_ == State::Unopened) return Status::Failure(Status::Code::InputOpen, path_);
  holdUnendedLine_ = holdUnendedLine;
  for (;;) {
    ReadBatch();
    PackLogDigest(digest_, packed);
    digest_.NextBatch();
    if (state_ != State::Reading) break;
  }
  *heldBack = heldBack_;
  if (state_ == State::ReadFailed) return Status::Failure(Status::Code::InputRead, path_);
  return Status();
}

LogFileParser::LogFileParser(std::string_view path, LogDigest* digest) : digest_(*digest) {
  Restart(path);
}

void LogFileParser::Restart(std::string_view path) {
  digest_.NextBatch();
  carry_.clear();
  int32_t year, month, day;
  DateFromFileName(path, year, month, day);
  digest_.day = DayNumberFromDate(year, month, day);
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

// Reads now what the state machine may need of the piece later: the fields
// of a match-start line, which are most of the work, and an end line's time.
void LogFileParser::HandlePiece(std::string_view text, unsigned phrases) {
  DigestPiece& piece = digest_.pieces.emplace_back();
  piece.phrases = static_cast<uint8_t>(phrases);
  if (phrases & kMatchStartBit) {
    piece.start = static_cast<uint32_t>(digest_.starts.size());
    DigestStart& start = digest_.starts.emplace_back();
    size_t paren = ReadMatchStartFields(start.fields, text);
    if (paren == std::string_view::npos) {
      start.nameFrom = StartName::Previous;
    } else if (paren < 10) {
      start.nameFrom = StartName::Empty;
    } else {
      start.nameFrom = StartName::Own;
      start.nameBegin = static_cast<uint32_t>(digest_.names.size());
      start.nameSize = static_cast<uint32_t>(paren - 10);
      digest_.names.append(text.substr(10, paren - 10));
    }
  }
  if (phrases & (kWinBit | kLossBit | kErrorBit | kLogoutBit)) {
    piece.hasSecond = HasTimePrefix(text);
    SecondOfDay(text, piece.second);
  }
}

}  // namespace ledgerwise

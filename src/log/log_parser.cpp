#include "log/log_parser.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "log/calendar.h"
#include "log/line_fields.h"
#include "log/log_phrases.h"

namespace ledgerwise {

namespace {

constexpr size_t kReadChunk = 1 << 20;

bool Contains(std::string_view line, std::string_view phrase) {
  return FindBytes(line, phrase) != std::string_view::npos;
}

std::string_view UpToFirstNul(std::string_view text) {
  const void* nul = std::memchr(text.data(), '\0', text.size());
  return nul ? text.substr(0, static_cast<const char*>(nul) - text.data()) : text;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

int ParseLogFile(VsLogBook& book, const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file) {
    book.FormatErrorText(kInputOpenFailure, path.c_str());
    return -1;
  }
  LogFileParser parser(book, path);
  std::unique_ptr<char[]> buffer(new char[kReadChunk]);
  size_t got;
  while ((got = std::fread(buffer.get(), 1, kReadChunk, file.get())) > 0) {
    parser.Feed(buffer.get(), got);
  }
  parser.Finish();
  return 0;
}

LogFileParser::LogFileParser(VsLogBook& book, std::string_view path) : book_(book) {
  int32_t year, month, day;
  DateFromFileName(path, year, month, day);
  day_ = DayNumberFromDate(year, month, day);
}

void LogFileParser::Feed(const char* data, size_t size) {
  if (pending_.empty()) {
    SplitLines(data, size, false);
    return;
  }
  // Complete the pending line with bytes up to the next LF, then go on in
  // place. A long line without LF is cut as soon as whole pieces are known.
  const char* lf = static_cast<const char*>(std::memchr(data, '\n', size));
  size_t take = lf ? static_cast<size_t>(lf - data) + 1 : size;
  pending_.append(data, take);
  std::string line;
  line.swap(pending_);
  SplitLines(line.data(), line.size(), false);
  if (lf) SplitLines(data + take, size - take, false);
}

void LogFileParser::Finish() {
  std::string line;
  line.swap(pending_);
  SplitLines(line.data(), line.size(), true);
}

void LogFileParser::SplitLines(const char* data, size_t size, bool atEnd) {
  const char* p = data;
  const char* end = data + size;
  while (p < end) {
    const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
    if (lf == nullptr) {
      // No line end yet. Whole pieces can go now, but the last byte may be a
      // CR that an LF in the next chunk folds away, so it waits.
      size_t rest = end - p;
      while (!atEnd && rest > kMaxLinePiece) {
        HandleLine(std::string_view(p, kMaxLinePiece));
        p += kMaxLinePiece;
        rest -= kMaxLinePiece;
      }
      if (atEnd) {
        HandleFoldedLine(std::string_view(p, rest));
      } else {
        pending_.assign(p, rest);
      }
      return;
    }
    size_t length = lf - p;
    if (length > 0 && lf[-1] == '\r') --length;  // CR LF folds to LF
    HandleFoldedLine(std::string_view(p, length));
    p = lf + 1;
  }
}

// `content` is one line after folding, without its line end. Cut into
// pieces as a 1024-byte line buffer would take them; a piece that holds only
// the line end is empty and changes nothing.
void LogFileParser::HandleFoldedLine(std::string_view content) {
  while (content.size() >= kMaxLinePiece) {
    HandleLine(content.substr(0, kMaxLinePiece));
    content.remove_prefix(kMaxLinePiece);
  }
  if (!content.empty()) HandleLine(content);
}

void LogFileParser::HandleLine(std::string_view line) {
  if (book_.parseState == ParseState::Idle) {
    size_t at = FindBytes(line, phrase::kMatchStart);
    if (at == std::string_view::npos) return;
    line = UpToFirstNul(line);
    if (line.size() < at + phrase::kMatchStart.size()) return;  // after a NUL
    StartMatch(line);
  } else {
    ContinueMatch(UpToFirstNul(line));
  }
}

void LogFileParser::StartMatch(std::string_view line) {
  if (HasTimePrefix(line) && line.find('(') != std::string_view::npos) {
    lastName_.assign(OpponentNameOf(line));
  }
  MatchRecord& match = book_.OpenMatch(lastName_);
  ReadMatchStartFields(match, line);
  match.day = day_;
  book_.parseState = ParseState::InMatch;
}

void LogFileParser::ContinueMatch(std::string_view line) {
  MatchRecord& match = *book_.currentMatch();
  if (Contains(line, phrase::kWin) || Contains(line, phrase::kLoss)) {
    // The win phrase is tried first: a line holding both counts as a win.
    bool won = Contains(line, phrase::kWin);
    match.result = won ? MatchResult::Won : MatchResult::Lost;
    int32_t winner = match.gameCount == 2 || match.gameCount == 3 ? 2 : 0;
    int32_t loser = match.gameCount == 3 ? 1 : 0;
    match.ownGames = won ? winner : loser;
    match.opponentGames = won ? loser : winner;
    EndMatch(line);
  } else if (Contains(line, phrase::kReplaySaved) || Contains(line, phrase::kSaveFailed)) {
    ++match.gameCount;
  } else if (Contains(line, phrase::kError) || Contains(line, phrase::kLogout)) {
    match.result = MatchResult::Disconnected;
    EndMatch(line);
  }
}

void LogFileParser::EndMatch(std::string_view line) {
  MatchRecord& match = *book_.currentMatch();
  SecondOfDay(line, match.endSecond);
  if (int64_t{match.endSecond} - match.startSecond < 0) match.endSecond += 86400;
  book_.parseState = ParseState::Idle;
}

}  // namespace ledgerwise

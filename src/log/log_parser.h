// The log-file parser: reads a file's lines into a digest of the pieces that
// hold a phrase (log_digest.h), whose state machine then takes them into
// the book, so a match still open when one file ends is finished by the
// lines of the next file read.
#ifndef LEDGERWISE_LOG_LOG_PARSER_H_
#define LEDGERWISE_LOG_LOG_PARSER_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "log/log_digest.h"
#include "log/log_source.h"
#include "log/records.h"
#include "util/status.h"

namespace ledgerwise {

// Longest piece of a line the parser looks at; a longer line arrives as
// several pieces, each handled as a line of its own.
constexpr size_t kMaxLinePiece = 1023;

// Reads one daily log file at `path` from `source`, which the caller opened
// (nullptr: it could not be opened, and the book stays unchanged), and
// applies it to the book. Fails with InputOpen or InputRead on `path`. What
// a failed read delivered before it failed stays in the book: the report
// shows what could be read, and the error line says what could not.
Status ParseLogFile(VsLogBook& book, const std::string& path, LogSource* source);

// Feeds the bytes of one log file, in as many chunks as the caller likes.
// The file's day comes from `path`'s base name. CR LF pairs fold to LF, a
// lone CR and byte 0x1A are ordinary bytes, and the folded stream is cut
// into pieces of at most kMaxLinePiece bytes, each ending after its LF; a
// piece's text ends at its first NUL.
//
// Only pieces that hold one of the line phrases can change anything, so one
// pass finds the line ends and the phrases together and only the lines that
// hold a phrase go into the digest, which the parser empties first.
class LogFileParser {
 public:
  LogFileParser(std::string_view path, LogDigest* digest);
  // Begins another file, keeping the room the last one grew.
  void Restart(std::string_view path);
  void Feed(const char* data, size_t size);
  void Finish();  // the end of the file: hands over the last, unended line
  // True while the bytes fed end inside a line: Finish would hand it over,
  // or the rest of it may still come.
  bool HoldsUnendedLine() const { return !carry_.empty(); }

 private:
  size_t Scan(const char* begin, const char* end, bool atEnd);
  void HandleLine(const char* begin, const char* end);
  void HandlePiece(std::string_view text, unsigned phrases);

  LogDigest& digest_;
  std::string carry_;  // the start of a line whose end has not arrived
};

// A log file read a batch of pieces at a time. Reading touches no book, so
// a file's first batch can be read on another thread while the book takes
// the files before it; a file too large to hold digested whole is taken in
// batches, and what is held at any time stays small.
class LogFileReader {
 public:
  // `source` is nullptr when the file could not be opened; the reader
  // uses it until the file has been taken.
  LogFileReader(const std::string& path, LogSource* source);
  LogFileReader(const LogFileReader&) = delete;
  LogFileReader& operator=(const LogFileReader&) = delete;
  // Begins another file, keeping the room the last one grew: a digest that
  // grows anew for each of thousands of files costs more than reading them.
  void Restart(const std::string& path, LogSource* source);

  // Reads on until the file ends, a read fails, or a batch is held.
  void ReadBatch();

  // Applies what was read and reads and applies the rest, as ParseLogFile.
  Status TakeInto(VsLogBook& book);

  // Reads the whole file into its packed digest (packed_digest.h), appended
  // to `packed`, for a book to be built from later. With `holdUnendedLine`
  // a last line without its end is left out, as the game may still be
  // writing it; `heldBack` says whether one was. Fails as TakeInto does,
  // keeping what came before a failed read.
  Status PackInto(std::string* packed, bool holdUnendedLine, bool* heldBack);
  // The file's day number, from its name.
  int32_t day() const { return digest_.day; }

 private:
  enum class State { Reading, Ended, ReadFailed, Unopened };
  std::string path_;
  LogSource* source_;
  LogDigest digest_;
  LogFileParser parser_;
  State state_;
  bool holdUnendedLine_ = false;
  bool heldBack_ = false;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LOG_PARSER_H_

// Writes one output file whole or not at all: bytes collect in a large
// buffer and go to a temporary file beside it, which replaces the old file
// only when every write and the close succeeded. A failure leaves the old
// file as it was.
//
// Every line ends in CR LF on every platform. The bytes are the caller's:
// Shift_JIS for the pages, UTF-8 for the dashboard and the CSV.
#ifndef LEDGERWISE_REPORT_OUTPUT_FILE_H_
#define LEDGERWISE_REPORT_OUTPUT_FILE_H_

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "util/file_system.h"
#include "util/status.h"

namespace ledgerwise {

// One value of a formatted line.
struct FormatArg {
  enum class Kind { Int, Real, Text } kind;
  int64_t integer = 0;
  double real = 0;
  std::string_view text;

  FormatArg(int32_t v) : kind(Kind::Int), integer(v) {}           // NOLINT: implicit by design
  FormatArg(int64_t v) : kind(Kind::Int), integer(v) {}           // NOLINT
  FormatArg(double v) : kind(Kind::Real), real(v) {}              // NOLINT
  FormatArg(std::string_view v) : kind(Kind::Text), text(v) {}    // NOLINT
  FormatArg(const char* v) : kind(Kind::Text), text(v) {}         // NOLINT
  FormatArg(const std::string& v) : kind(Kind::Text), text(v) {}  // NOLINT
};

class OutputFile {
 public:
  OutputFile(FileSystem& fs, const std::string& path);
  ~OutputFile();

  // Creates the temporary file; fails with OutputOpen on the file's path.
  Status Open();

  // A literal line: its bytes, then CR LF. A "%" is an ordinary byte.
  void Line(std::string_view text);

  // Literal text whose lines end in LF (or CR LF, as a checkout may leave
  // them): each written with CR LF; a last line without its LF is left
  // open for what follows.
  void Text(std::string_view text);

  // A formatted line: "%d", "%02d", "%4d", "%s", "%.0f", "%.1f" and "%.3f"
  // take the next argument; then CR LF.
  void Format(std::string_view format, std::initializer_list<FormatArg> args);

  // Room for lines written in place, for the rows of the long pages: at
  // least `size` bytes to fill with PutText and the number writers, then
  // Commit with the end of what was written (CR LF included).
  char* Reserve(size_t size) { return Room(size); }
  void Commit(char* end) { Done(end); }

  // Writes what is left, closes and puts the file in place; fails with
  // OutputWrite on the file's path when any step failed.
  Status Finish();

 private:
  // Room for `size` more bytes: in the buffer, emptied first when it is too
  // full, or in a scratch string for a line longer than the whole buffer.
  char* Room(size_t size);
  // Ends a line written in the room.
  void Done(char* end);
  void Flush();
  void Write(std::string_view bytes);

  FileSystem& fs_;
  std::string path_;
  std::string tempPath_;
  std::unique_ptr<WritableFile> file_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
  std::string oversized_;  // a line that does not fit the buffer
  bool inOversized_ = false;
  bool failed_ = false;
};

// Copies a literal, without its terminating NUL, to `out`; returns its end.
template <size_t N>
char* PutText(char* out, const char (&literal)[N]) {
  std::memcpy(out, literal, N - 1);
  return out + N - 1;
}

inline char* PutText(char* out, std::string_view text) {
  std::memcpy(out, text.data(), text.size());
  return out + text.size();
}

}  // namespace ledgerwise

#endif  // LEDGERWISE_REPORT_OUTPUT_FILE_H_

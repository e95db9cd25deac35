#include "report/page_writer.h"

#include "report/number_format.h"

namespace ledgerwise {

namespace {

constexpr size_t kFlushSize = 1 << 20;

}  // namespace

PageWriter::PageWriter(VsLogBook& book, FileSystem& fs, const std::string& path)
    : book_(book), fs_(fs), path_(path) {}

PageWriter::~PageWriter() {
  // A writer abandoned before Finish leaves no temporary file behind.
  if (file_) {
    file_->Close();
    fs_.Remove(tempPath_);
  }
}

bool PageWriter::Open() {
  file_ = fs_.CreateTemporary(path_, &tempPath_);
  if (!file_) {
    book_.FormatErrorText(kPageOpenFailure, path_.c_str());
    return false;
  }
  buffer_.reserve(kFlushSize + 4096);
  return true;
}

void PageWriter::Line(std::string_view text) {
  buffer_.append(text);
  buffer_.append("\r\n");
  FlushIfFull();
}

void PageWriter::Format(std::string_view format, std::initializer_list<FormatArg> args) {
  const FormatArg* arg = args.begin();
  for (size_t i = 0; i < format.size(); ++i) {
    char c = format[i];
    if (c != '%' || i + 1 == format.size()) {
      buffer_.push_back(c);
      continue;
    }
    // The conversions the pages use: %d, %02d, %4d, %s and %.Nf.
    char next = format[++i];
    if (next == 's') {
      buffer_.append(arg++->text);
    } else if (next == 'd') {
      AppendInt(buffer_, arg++->integer);
    } else if (next == '0' || (next >= '1' && next <= '9')) {
      char pad = next == '0' ? '0' : ' ';
      int width = next == '0' ? format[++i] - '0' : next - '0';
      ++i;  // the 'd'
      AppendPadded(buffer_, arg++->integer, width, pad);
    } else if (next == '.') {
      int decimals = format[++i] - '0';
      ++i;  // the 'f'
      AppendFixed(buffer_, arg++->real, decimals);
    } else {
      buffer_.push_back(next);  // "%%"
    }
  }
  buffer_.append("\r\n");
  FlushIfFull();
}

void PageWriter::FlushIfFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

void PageWriter::Flush() {
  if (!failed_ && !buffer_.empty() && !file_->Append(buffer_)) failed_ = true;
  buffer_.clear();
}

int PageWriter::Finish() {
  Flush();
  bool closed = file_->Close();
  file_.reset();
  if (failed_ || !closed || !fs_.Replace(tempPath_, path_)) {
    fs_.Remove(tempPath_);
    book_.FormatErrorText(kPageWriteFailure, path_.c_str());
    return -1;
  }
  return 0;
}

}  // namespace ledgerwise

#include "report/output_file.h"

#include <cstring>

#include "report/number_format.h"

namespace ledgerwise {

namespace {

constexpr size_t kBufferSize = 1 << 20;

}  // namespace

OutputFile::OutputFile(FileSystem& fs, const std::string& path) : fs_(fs), path_(path) {}

OutputFile::~OutputFile() {
  // A writer abandoned before Finish leaves no temporary file behind.
  if (file_) {
    file_->Close();
    fs_.Remove(tempPath_);
  }
}

Status OutputFile::Open() {
  file_ = fs_.CreateTemporary(path_, &tempPath_);
  if (!file_) return Status::Failure(Status::Code::OutputOpen, path_);
  buffer_.reset(new char[kBufferSize]);
  return Status();
}

char* OutputFile::Room(size_t size) {
  if (kBufferSize - used_ >= size) return buffer_.get() + used_;
  Flush();
  if (size <= kBufferSize) return buffer_.get();
  oversized_.resize(size);
  inOversized_ = true;
  return &oversized_[0];
}

void OutputFile::Done(char* end) {
  if (inOversized_) {
    inOversized_ = false;
    Write(std::string_view(oversized_.data(), end - oversized_.data()));
    oversized_.clear();
    return;
  }
  used_ = end - buffer_.get();
}

void OutputFile::Line(std::string_view text) {
  char* p = Room(text.size() + 2);
  std::memcpy(p, text.data(), text.size());
  p += text.size();
  *p++ = '\r';
  *p++ = '\n';
  Done(p);
}

void OutputFile::Text(std::string_view text) {
  while (!text.empty()) {
    size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (end == std::string_view::npos) {
      char* p = Room(line.size());
      std::memcpy(p, line.data(), line.size());
      Done(p + line.size());
      return;
    }
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    Line(line);
    text.remove_prefix(end + 1);
  }
}

void OutputFile::Format(std::string_view format, std::initializer_list<FormatArg> args) {
  size_t room = format.size() + 2;
  for (const FormatArg& arg : args) {
    room += arg.kind == FormatArg::Kind::Text ? arg.text.size() : kMaxNumberText;
  }
  char* p = Room(room);
  const FormatArg* arg = args.begin();
  const char* f = format.data();
  const char* end = f + format.size();
  while (f < end) {
    // The literal run up to the next conversion goes in one copy.
    const char* percent =
        static_cast<const char*>(std::memchr(f, '%', end - f - 1 > 0 ? end - f - 1 : 0));
    const char* run = percent ? percent : end;
    std::memcpy(p, f, run - f);
    p += run - f;
    f = run;
    if (percent == nullptr) break;
    // The conversions the pages use: %d, %02d, %4d, %s and %.Nf.
    char next = f[1];
    f += 2;
    if (next == 's') {
      std::memcpy(p, arg->text.data(), arg->text.size());
      p += arg++->text.size();
    } else if (next == 'd') {
      p = WriteInt(p, arg++->integer);
    } else if (next >= '0' && next <= '9') {
      char pad = next == '0' ? '0' : ' ';
      int width = next == '0' ? *f++ - '0' : next - '0';
      ++f;  // the 'd'
      p = WritePadded(p, arg++->integer, width, pad);
    } else if (next == '.') {
      int decimals = *f++ - '0';
      ++f;  // the 'f'
      p = WriteFixed(p, arg++->real, decimals);
    } else {
      *p++ = next;  // "%%"
    }
  }
  *p++ = '\r';
  *p++ = '\n';
  Done(p);
}

void OutputFile::Write(std::string_view bytes) {
  if (!failed_ && !bytes.empty() && !file_->Append(bytes)) failed_ = true;
}

void OutputFile::Flush() {
  Write(std::string_view(buffer_.get(), used_));
  used_ = 0;
}

Status OutputFile::Finish() {
  Flush();
  bool closed = file_->Close();
  file_.reset();
  if (failed_ || !closed || !fs_.Replace(tempPath_, path_)) {
    fs_.Remove(tempPath_);
    return Status::Failure(Status::Code::OutputWrite, path_);
  }
  return Status();
}

}  // namespace ledgerwise

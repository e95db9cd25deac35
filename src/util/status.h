// What an operation that can fail returns: success, or what failed and on
// which path. The caller decides what to say about it and in which words; a
// failure never formats text on its own, so it reads the same to a console
// in UTF-8, one in Shift_JIS and a test.
#ifndef LEDGERWISE_UTIL_STATUS_H_
#define LEDGERWISE_UTIL_STATUS_H_

#include <string>
#include <utility>

namespace ledgerwise {

class Status {
 public:
  enum class Code {
    Ok,
    InputOpen,      // a log could not be opened
    InputRead,      // a log's read failed part way
    OutputOpen,     // an output file could not be created
    OutputWrite,    // writing, closing or putting an output file in place failed
    ListingBroken,  // a folder's listing broke off part way
  };

  Status() = default;  // success
  static Status Failure(Code code, std::string path) { return Status(code, std::move(path)); }

  bool ok() const { return code_ == Code::Ok; }
  Code code() const { return code_; }
  // The file or folder the failure concerns; empty on success.
  const std::string& path() const { return path_; }

 private:
  Status(Code code, std::string path) : code_(code), path_(std::move(path)) {}

  Code code_ = Code::Ok;
  std::string path_;
};

}  // namespace ledgerwise

#endif  // LEDGERWISE_UTIL_STATUS_H_

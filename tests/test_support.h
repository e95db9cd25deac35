// Helpers shared by the tests: log text in, pages out, scratch folders.
#ifndef LEDGERWISE_TESTS_TEST_SUPPORT_H_
#define LEDGERWISE_TESTS_TEST_SUPPORT_H_

#include <initializer_list>
#include <string>
#include <string_view>

#include "log/records.h"

namespace ledgerwise {
namespace testing {

// UTF-8 lines → the Shift_JIS bytes of a log file, each line ending CR LF.
std::string LogText(std::initializer_list<std::string_view> lines);

// Feeds the bytes to the parser as the file `name` would be read.
void ParseText(VsLogBook& book, std::string_view name, std::string_view bytes);

// A fresh empty folder under the system's temporary folder; removed with
// everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, std::string_view bytes);

}  // namespace testing
}  // namespace ledgerwise

#endif  // LEDGERWISE_TESTS_TEST_SUPPORT_H_

#include "tests/test_support.h"

#include <fstream>
#include <sstream>

#include "log/log_parser.h"
#include "tests/sjis.h"

namespace ledgerwise {
namespace testing {

std::string LogText(std::initializer_list<std::string_view> lines) {
  std::string out;
  for (std::string_view line : lines) {
    out += Sjis(line);
    out += "\r\n";
  }
  return out;
}

void ParseText(VsLogBook& book, std::string_view name, std::string_view bytes) {
  LogFileParser parser(book, name);
  parser.Feed(bytes.data(), bytes.size());
  parser.Finish();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

}  // namespace testing
}  // namespace ledgerwise

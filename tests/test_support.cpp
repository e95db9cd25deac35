#include "tests/test_support.h"

#include <filesystem>
#include <fstream>
#include <random>
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

ScratchFolder::ScratchFolder() {
  std::random_device random;
  std::filesystem::path base = std::filesystem::temp_directory_path();
  for (;;) {
    std::filesystem::path candidate = base / ("ledgerwise-test-" + std::to_string(random()));
    if (std::filesystem::create_directory(candidate)) {
      path_ = candidate.string();
      return;
    }
  }
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testing
}  // namespace ledgerwise

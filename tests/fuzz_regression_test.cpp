// Findings of the fuzzers and of the hostile-input runs, kept so they stay
// fixed: every kept input replays through the same checks the fuzz targets
// make.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::ReadFile;

std::vector<std::string> FilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ignored)) {
    if (entry.is_regular_file()) files.push_back(entry.path().string());
  }
  return files;
}

void Replay(const std::string& path, void (*run)(const uint8_t*, size_t)) {
  SCOPED_TRACE(path);
  std::string bytes = ReadFile(path);
  run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// The seeds reach every target's checks on real logs; the kept findings are
// the inputs that once broke them. A broken check traps, failing the test.
TEST(FuzzRegressionTest, SeedsAndKeptFindingsReplay) {
  const std::string top = LEDGERWISE_FUZZ_DIR;
  std::vector<std::string> seeds = FilesIn(top + "/seeds");
  ASSERT_GE(seeds.size(), 5u) << "no seeds under " << top;
  for (const std::string& path : seeds) {
    Replay(path, fuzz::RunParserCase);
    Replay(path, fuzz::RunPipelineCase);
  }
  for (const std::string& path : FilesIn(top + "/regressions/parser")) Replay(path, fuzz::RunParserCase);
  for (const std::string& path : FilesIn(top + "/regressions/pipeline")) Replay(path, fuzz::RunPipelineCase);
}

}  // namespace
}  // namespace ledgerwise

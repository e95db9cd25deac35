// The fuzz targets' checks replayed over their seeds (hand-made inputs and
// the hostile log contents) and over the kept findings, the inputs that once
// broke them. A broken check traps, failing the test.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"

namespace ledgerwise {
namespace {

// A seed stays small in git: this mark stands for 10 MiB of bytes that hold
// no phrase and no line end, a lead byte among them, so a line that long
// passes through the line-piece cut at every offset.
constexpr std::string_view kTenMegabytes = "<10 MiB>";

std::string Expanded(std::string bytes) {
  size_t at = bytes.find(kTenMegabytes);
  if (at == std::string::npos) return bytes;
  constexpr std::string_view kFiller = "abcdefghij \x82\xa0";
  std::string filler;
  while (filler.size() < (10u << 20)) filler += kFiller;
  return bytes.replace(at, kTenMegabytes.size(), filler);
}

void ReplayAll(const std::string& folder, std::vector<void (*)(const uint8_t*, size_t)> targets) {
  size_t count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    SCOPED_TRACE(entry.path().string());
    std::ifstream in(entry.path(), std::ios::binary);
    std::string bytes = Expanded({std::istreambuf_iterator<char>(in), {}});
    for (auto run : targets) run(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    ++count;
  }
  EXPECT_GE(count, 1u) << "nothing to replay in " << folder;
}

TEST(FuzzRegressionTest, SeedsReplayThroughBothTargets) {
  ReplayAll(LEDGERWISE_FUZZ_DIR "/seeds", {fuzz::RunParserCase, fuzz::RunPipelineCase});
}

TEST(FuzzRegressionTest, KeptFindingsReplay) {
  ReplayAll(LEDGERWISE_FUZZ_DIR "/regressions/parser", {fuzz::RunParserCase});
  ReplayAll(LEDGERWISE_FUZZ_DIR "/regressions/pipeline", {fuzz::RunPipelineCase});
}

}  // namespace
}  // namespace ledgerwise

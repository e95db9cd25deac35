// Findings of the fuzzers and of the hostile-input runs, kept so they stay
// fixed: every kept input replays through the same checks the fuzz targets
// make, and each fault found has a test of its own.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/env.h"
#include "log/log_parser.h"
#include "report/pages.h"
#include "stats/statistics.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/sjis.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::LogText;
using testing::ParseText;
using testing::ReadFile;
using testing::ScratchFolder;
using testing::WriteFile;

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

// The first fuzz run hung at once: the phrase search stepped from the lead
// byte of "た" to its trail byte, found the same pair again, and never moved
// on. Any "た" outside a phrase, or in one, did it.
TEST(FuzzRegressionTest, TheAnchorCharacterNeverStallsTheParser) {
  std::string text = LogText({
      "[12:00:00]またあした",
      "[21:05:10]とまと(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました",
      "[21:06:00]たたたた",
      "[21:07:00]リプレイをオートセーブしました",
      "[21:08:00]リプレイをオートセーブしました",
      "[21:09:40]とまとさんに勝ちました",
  });
  VsLogBook book;
  ParseText(book, "20050504.log", text);
  ASSERT_EQ(book.opponents.size(), 1u);
  ASSERT_EQ(book.opponents[0].matches.size(), 1u);
  EXPECT_EQ(book.opponents[0].matches[0].result, MatchResult::Won);
  EXPECT_EQ(book.opponents[0].matches[0].ownGames, 2);
}

// Under a file size limit (ulimit -f) the kernel sends SIGXFSZ when a write
// goes past it, which killed the program between a page's temporary file
// and its rename: the temporary file stayed and the later pages were never
// written. The page must fail like on a full disk instead.
TEST(HostileOutputTest, AFileSizeLimitFailsThePageAndKeepsTheOldOne) {
  ScratchFolder folder;
  const std::string page = folder.File("vslog.html");
  WriteFile(page, "old page\r\n");
  std::string text;
  for (int i = 0; i < 200; ++i) {
    std::string name = "とまと" + std::to_string(i);
    text += LogText({"[21:05:10]" + name + "(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました",
                     "[21:09:40]" + name + "さんに勝ちました"});
  }
  VsLogBook book;
  ParseText(book, "20050504.log", text);
  ComputeStatistics(book);

  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child holds the limit, so the test runner never does.
    struct rlimit limit = {8192, 8192};
    if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(3);
    std::unique_ptr<FileSystem> fs = platform::NewEnv();
    _exit(WriteVsLogPage(book, *fs, page) == -1 ? 0 : 4);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_FALSE(WIFSIGNALED(status)) << "killed by signal " << WTERMSIG(status);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the page write did not report the failure";
  EXPECT_EQ(ReadFile(page), "old page\r\n");
  EXPECT_EQ(FilesIn(folder.path()).size(), 1u) << "a temporary file was left behind";
}

}  // namespace
}  // namespace ledgerwise

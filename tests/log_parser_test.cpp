// The reader of a log file. What a match's lines make of it (result, games,
// score, end time) is held by the plain model (parser_model_test.cpp), the
// fuzz seeds and the reference pages.
#include "log/log_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::LogText;

// A file holding more pieces than a batch, read a little at a time as a
// slow disk gives it: taken batch by batch, every match arrives, and a start
// line without a name in a later batch still takes the file's last name.
TEST(LogFileReaderTest, TakesAFileLargerThanABatch) {
  struct SmallReads : LogSource {
    explicit SmallReads(std::string b) : bytes(std::move(b)) {}
    int64_t Read(char* buffer, size_t size) override {
      size_t n = bytes.copy(buffer, std::min<size_t>(size, 4096), at);
      at += n;
      return static_cast<int64_t>(n);
    }
    std::string bytes;
    size_t at = 0;
  };
  std::string log;
  for (int i = 0; i < 3000; ++i) {
    log += LogText({i % 2 ? "[21:05:10]とまと(２だん)と対戦を開始しました"
                          : "[21:05:10]なす(３だん 1勝1敗)と対戦を開始しました",
                    "[21:09:40]さんに勝ちました", "[22:00:00]と対戦を開始しました",
                    "[22:10:00]さんに負けました"});
  }
  SmallReads source(log);
  LogFileReader reader("20050504.log", &source);
  reader.ReadBatch();  // as a worker reads ahead
  VsLogBook book;
  ASSERT_TRUE(reader.TakeInto(book).ok());
  ASSERT_EQ(book.opponents.size(), 2u);
  EXPECT_EQ(book.opponents[0].matches.size(), 3000u);
  EXPECT_EQ(book.opponents[1].matches.size(), 3000u);
  EXPECT_EQ(book.opponents[1].matches.back().result, MatchResult::Lost);
}

}  // namespace
}  // namespace ledgerwise

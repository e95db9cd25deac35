// A watching run over a system in memory whose logs grow while it waits:
// the console lines as matches start and end, what is held back, what is
// read again, how often the outputs are rewritten, and that they end as a
// one-shot run over the same logs would leave them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/driver.h"
#include "tests/memory_env.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::LogText;
using testing::MemoryEnv;
using testing::Sjis;

constexpr size_t npos = std::string::npos;
constexpr char kDay1[] = "data/20050504.log";
constexpr char kDay2[] = "data/20050505.log";

const std::string kStart =
    "[21:30:00]なす(３だん 10勝5敗 レート1600 最大9連鎖 切断率1%)と対戦を開始しました";
const std::string kSave = "[21:33:00]リプレイをオートセーブしました";
const std::string kWin = "[21:36:00]なすさんに勝ちました";

// A day with one won match against とまと.
void OneDay(MemoryEnv& env) {
  env.folders.insert("data");
  env.files[kDay1] = LogText(
      {"[21:05:10]とまと(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました",
       "[21:07:00]リプレイをオートセーブしました", "[21:09:00]リプレイをオートセーブしました",
       "[21:09:40]とまとさんに勝ちました"});
}

// At `at` milliseconds the bytes are added to the log.
MemoryEnv::Event Append(int64_t at, const std::string& path, const std::string& bytes) {
  return {at, [path, bytes](MemoryEnv& e) { e.files[path] += bytes; }};
}
MemoryEnv::Event Lines(int64_t at, const std::string& path,
                       std::initializer_list<std::string_view> lines) {
  return Append(at, path, LogText(lines));
}

struct Row {
  const char* name;
  std::function<void(MemoryEnv&)> setup;
  std::vector<std::string> shown = {};  // console texts, in UTF-8
  std::vector<std::string> notShown = {};
  std::function<void(const MemoryEnv&)> also = nullptr;
};

size_t Count(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != npos; at = text.find(part, at + 1)) ++count;
  return count;
}

int LiveRewrites(const MemoryEnv& env) {
  auto found = env.replaced.find("data/analyze/live.js");
  return found == env.replaced.end() ? 0 : found->second;
}

// clang-format off
const Row kRows[] = {
    {"a start line appended: the opponent met for the first time",
     [](MemoryEnv& e) { e.events = {Lines(5000, kDay1, {kStart})}; },
     {"監視中・・・ (Ctrl+C で終わります)\n21:30:00 なす (三段 レート1600) : 初対戦\n"}},
    {"an end line: result, score, the record, the day and the session",
     [](MemoryEnv& e) { e.events = {Lines(5000, kDay1, {kStart}), Lines(9000, kDay1, {kSave, kSave, kWin})}; },
     {"21:36:00 なす : 勝ち (2-0) : 通算 1勝0敗 切断0、今日 2勝0敗、セッション 2勝0敗\n"}},
    {"a half-written line is held back until its end arrives",
     [](MemoryEnv& e) {
       e.events = {Append(5000, kDay1, Sjis(kStart)),
                   {15000, [](MemoryEnv& e) { EXPECT_EQ(e.console.find("なす ("), npos); }},
                   Append(16000, kDay1, "\r\n")};
     },
     {"21:30:00 なす (三段 レート1600) : 初対戦\n"}},
    {"a log replaced by a shorter one: its matches are read again",
     [](MemoryEnv& e) {
       e.events = {{5000, [](MemoryEnv& e) { e.files[kDay1] = LogText({kStart}); }}};
     },
     {}, {"なす (三段"}},  // the history changed: nothing new to say, the outputs follow
    {"a new day's log ends the match the day before left open",
     [](MemoryEnv& e) {
       e.events = {Lines(5000, kDay1, {"[23:58:00]なす(３だん 10勝5敗 レート1600 最大9連鎖 "
                                       "切断率1%)と対戦を開始しました"}),
                   Lines(9000, kDay2, {"[00:03:00]なすさんに負けました"})};
     },
     {"23:58:00 なす (三段 レート1600) : 初対戦\n00:03:00 なす : 負け (0-0) : 通算 0勝1敗 切断0、"
      "今日 1勝1敗、セッション 1勝1敗\n"}},
    {"a log left with an unended last line counts it once a newer log begins",
     [](MemoryEnv& e) {
       e.events = {Append(5000, kDay1, Sjis(kStart)), Lines(9000, kDay2, {kSave, kWin})};
     },
     {"21:30:00 なす (三段 レート1600) : 初対戦\n21:36:00 なす : 勝ち"}},
    {"a start line without a name takes only its own log's last name",
     [](MemoryEnv& e) {
       e.events = {Lines(5000, kDay2, {"[20:00:00]と対戦を開始しました", kWin})};
     },
     {"20:00:00  (十級 レート---) : 初対戦\n"}},
    // Also: the record so far with the last meeting, and a start and its end
    // in one look as two lines in order.
    {"a start line without a name added to the log takes the log's last name",
     [](MemoryEnv& e) {
       e.events = {Lines(5000, kDay1, {"[22:00:00]と対戦を開始しました", "[22:05:00]さんに負けました"})};
     },
     {"22:00:00 とまと (十級 レート---) : 通算 1勝0敗 切断0、前回 2005/05/04\n"
      "22:05:00 とまと : 負け (0-0) : 通算 1勝1敗 切断0、今日 1勝1敗、セッション 1勝1敗\n"}},
    {"an older log removed as the last one grows: the book is built anew",
     [](MemoryEnv& e) {
       e.files[kDay2] = LogText({kStart});
       e.events = {{5000, [](MemoryEnv& e) { e.files.erase(kDay1); }},
                   Lines(5000, kDay2, {kSave, kWin})};
     }},
    {"ten appends within a second: one rewrite",
     [](MemoryEnv& e) {
       for (int i = 0; i < 10; ++i) {
         e.events.push_back(Lines(5000 + 100 * i, kDay1,
                                  {i % 2 ? kWin : kStart}));
       }
       e.events.push_back({30000, [](MemoryEnv&) {}});
     },
     {}, {},
     [](const MemoryEnv& e) { EXPECT_EQ(LiveRewrites(e), 1 + 1); }},  // the first run's, and one
    {"the folder goes away and comes back: said once each",
     [](MemoryEnv& e) {
       e.events = {{5000, [](MemoryEnv& e) { e.folders.erase("data"); }},
                   {6000, [](MemoryEnv&) {}}, {7000, [](MemoryEnv&) {}},
                   {8000, [](MemoryEnv& e) { e.folders.insert("data"); }},
                   Lines(9000, kDay1, {kStart})};
     },
     {"データフォルダ data が見つかりません。戻るのを待っています・・・\n"
      "データフォルダ data が戻りました。\n21:30:00 なす"}, {},
     [](const MemoryEnv& e) { EXPECT_EQ(Count(e.console, "見つかりません"), 1u); }},
    {"without notifications the listing is looked at every second",
     [](MemoryEnv& e) { e.notifications = false; e.events = {Lines(5500, kDay1, {kStart})}; },
     {"なす (三段 レート1600) : 初対戦"}},
    {"a one-shot run started meanwhile finds the lock free between rewrites",
     [](MemoryEnv& e) {
       for (int64_t t = 1000; t < 20000; t += 700) {
         e.events.push_back({t, [](MemoryEnv& e) { EXPECT_EQ(e.locksHeld, 0); }});
       }
       e.events.push_back(Lines(2000, kDay1, {kStart}));
       std::sort(e.events.begin(), e.events.end(),
                 [](const MemoryEnv::Event& a, const MemoryEnv::Event& b) { return a.at < b.at; });
     },
     {"なす (三段"}, {}, [](const MemoryEnv& e) { EXPECT_GE(LiveRewrites(e), 2); }},
    {"while watching the dashboard names the generation live.js names; after, neither",
     [](MemoryEnv& e) {
       e.events = {Lines(5000, kDay1, {kStart}), {15000, [](MemoryEnv& e) {
         EXPECT_EQ(e.files.at("data/analyze/live.js"),
                   "ledgerwiseLive({\"generation\":\"20050504213000-2\","
                   "\"updated\":\"2005-05-04 21:30:00\"});\r\n");
         EXPECT_NE(e.files.at("data/analyze/dashboard.html")
                       .find("{\"live\":{\"generation\":\"20050504213000-2\"}"), npos);
       }}};
     },
     {}, {}, [](const MemoryEnv& e) {
       EXPECT_EQ(e.files.at("data/analyze/dashboard.html").find("\"live\""), npos);
     }},
    {"a log that cannot be read: said once, the rest goes on",
     [](MemoryEnv& e) {
       e.events = {{5000, [](MemoryEnv& e) { e.files[kDay2] = ""; e.unopenable = {kDay2}; }},
                   Lines(6000, kDay1, {kStart}), Lines(8000, kDay1, {kSave})};
     },
     {"エラー : 入力ファイル data/20050505.log が開けません。\n", "なす (三段"}},
};
// clang-format on

// Everything a run leaves in the output folder, live.js aside.
std::map<std::string, std::string> Outputs(const MemoryEnv& env) {
  std::map<std::string, std::string> out;
  for (const auto& [path, bytes] : env.files) {
    if (path.rfind("data/analyze/", 0) == 0 && path != "data/analyze/live.js") out[path] = bytes;
  }
  return out;
}

// The outputs a one-shot run leaves for the logs as they are now.
std::map<std::string, std::string> OneShot(const MemoryEnv& watched) {
  MemoryEnv env;
  env.folders.insert("data");
  for (const auto& [path, bytes] : watched.files) {
    if (path.rfind("data/analyze/", 0) != 0) env.files[path] = bytes;
  }
  RunOptions options;
  EXPECT_EQ(ledgerwise::Run(options, env), 0);
  return Outputs(env);
}

TEST(WatchTest, EveryRow) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    MemoryEnv env;
    OneDay(env);
    row.setup(env);
    RunOptions options;
    options.watch = true;
    EXPECT_EQ(ledgerwise::Run(options, env), 0);
    for (const std::string& text : row.shown) EXPECT_NE(env.console.find(text), npos) << text;
    for (const std::string& text : row.notShown) EXPECT_EQ(env.console.find(text), npos) << text;
    EXPECT_NE(env.console.find("監視を終わりました。\n"), npos);
    EXPECT_EQ(env.locksHeld, 0);
    EXPECT_TRUE(env.Temporaries().empty());
    if (env.unopenable.empty()) {
      EXPECT_TRUE(Outputs(env) == OneShot(env));
    }
    if (row.also) row.also(env);
  }
}

#ifndef _WIN32
// The generator's logs, as the game would write them: each file grows by
// pieces of random size (a line cut anywhere), at random moments, the next
// day's file begun when the last is whole. However the pieces fall, the
// outputs end as a one-shot run over the finished files leaves them.
TEST(WatchTest, AnyAppendsEndAsAOneShotRun) {
  std::mt19937_64 random(20050504);
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    std::string folder = ::testing::TempDir() + "ledgerwise-watch-" + std::to_string(round);
    std::string command = std::string(LEDGERWISE_LOGGEN) + " --out " + folder + " --days 5" +
                          " --matches-per-day 12 --opponents 6 --seed " + std::to_string(round) +
                          " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::vector<std::pair<std::string, std::string>> logs;  // path in memory, bytes
    for (int day = 20050501; day <= 20050506; ++day) {
      std::string name = std::to_string(day) + ".log";
      std::ifstream in(folder + "/" + name, std::ios::binary);
      if (in)
        logs.emplace_back("data/" + name, std::string(std::istreambuf_iterator<char>(in), {}));
    }
    std::system(("rm -rf " + folder).c_str());
    ASSERT_FALSE(logs.empty());
    MemoryEnv env;
    env.folders.insert("data");
    auto piece = [&random](size_t left) { return std::min<size_t>(left, 1 + random() % 400); };
    size_t first = piece(logs[0].second.size());
    env.files[logs[0].first] = logs[0].second.substr(0, first);
    int64_t at = 0;
    for (size_t f = 0; f < logs.size(); ++f) {
      for (size_t done = f == 0 ? first : 0; done < logs[f].second.size();) {
        size_t n = piece(logs[f].second.size() - done);
        at += 50 + static_cast<int64_t>(random() % 3000);
        env.events.push_back(Append(at, logs[f].first, logs[f].second.substr(done, n)));
        done += n;
      }
    }
    RunOptions options;
    options.watch = true;
    EXPECT_EQ(ledgerwise::Run(options, env), 0);
    EXPECT_TRUE(Outputs(env) == OneShot(env));
  }
}
#endif

}  // namespace
}  // namespace ledgerwise

// The whole run through a system in memory: every message, exit code and
// file it leaves, for each way the system can fail it.
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "app/driver.h"
#include "app/log_pipeline.h"
#include "app/messages.h"
#include "tests/memory_env.h"
#include "tests/test_support.h"

namespace ledgerwise {
namespace {

using testing::Fault;
using testing::MemoryEnv;
using testing::Sjis;

// Two days of logs, one won match each.
void TwoLogs(MemoryEnv& env) {
  env.folders.insert("data");
  env.files["data/20050504.log"] = testing::LogText(
      {"[21:05:10]とまと(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました",
       "[21:09:40]とまとさんに勝ちました"});
  env.files["data/20050505.log"] = testing::LogText(
      {"[20:00:00]とまと(２だん 61勝40敗 レート1510 最大12連鎖 切断率3%)と対戦を開始しました",
       "[20:04:00]とまとさんに勝ちました"});
}

struct Row {
  const char* name;
  std::function<void(MemoryEnv&, RunOptions&)> setup;
  bool succeeds;
  std::vector<std::string> shown = {};   // console texts (UTF-8 unless set up otherwise)
  std::vector<std::string> errors = {};  // texts on standard error
  std::vector<std::string> notShown = {};
  std::vector<std::string> present = {};  // files or folders there after the run
  std::vector<std::string> absent = {};
  std::function<void(const MemoryEnv&)> also = nullptr;
};

void Given(RunOptions& o, const char* folder) {
  o.folderGiven = true;
  o.dataFolder = folder;
}

constexpr size_t npos = std::string::npos;

bool Exists(const MemoryEnv& env, const std::string& path) {
  return env.files.count(path) || env.folders.count(path);
}

// One temporary file of a killed run among names that only look like one.
void Leftovers(MemoryEnv& env) {
  env.folders.insert("data/analyze");
  for (const char* name :
       {"vslog.html.0123456789abcdef.tmp", "mine.html.0123456789abcdef.tmp", "vslog.html.tmp",
        "vslog.html.0123456789ABCDEF.tmp", "vslog.html.0123456789abcdef"}) {
    env.files[std::string("data/analyze/") + name] = "x";
  }
}

// Every step of a failed write (the fuzz pipeline tries each) keeps the old page.
void FailAppend(MemoryEnv& env, RunOptions&) {
  env.files["data/analyze/vslog.html"] = "old";
  env.folders.insert("data/analyze");
  env.fault = Fault::Append;
  env.faultPath = "data/analyze/vslog.html";
}

// The second log's open is refused while the first is held open, as a
// system out of descriptors refuses it.
void OneDescriptor(MemoryEnv& env, RunOptions& options) {
  env.files["data/20050506.log"] = env.files["data/20050504.log"];
  env.openLogBudget = 1;
  env.holdFirst = true;
  options.logWorkers = 1;
}

// clang-format off
const Row kRows[] = {
    {"a good run", nullptr, true,
     {"分析中・・・\n", "  20050504.log\n  20050505.log\n", "完了！\n",
      "レポート : data/analyze/index.html\nダッシュボード : data/analyze/dashboard.html\n"},
     {}, {"エラー", "何かキー"},
     {"data/analyze/index.html", "data/analyze/menu.html", "data/analyze/personal.html",
      "data/analyze/observation.html", "data/analyze/ranking.html", "data/analyze/vslog.html",
      "data/analyze/dashboard.html", "data/analyze/matches.csv"}},
    {"a folder argument that does not exist",
     [](MemoryEnv&, RunOptions& o) { Given(o, "nowhere"); }, false, {},
     {"Brumbelのデータフォルダ nowhere が見つかりませんでした。\n"}, {"分析中"}},
    {"a file as the folder argument",
     [](MemoryEnv& e, RunOptions& o) { e.files["notes.txt"] = "x"; Given(o, "notes.txt"); }, false,
     {}, {"notes.txt はフォルダではありません。\n"}},
    {"the OS version unknown",
     [](MemoryEnv& e, RunOptions&) { e.search = FolderSearch::VersionUnknown; }, false, {},
     {"OSのバージョン取得に失敗しました。\n"}},
    {"no install folder in the registry",
     [](MemoryEnv& e, RunOptions&) { e.search = FolderSearch::InstallFolderUnknown; }, false, {},
     {"Brumbelのインストールフォルダの取得に失敗しました。\n"}},
    {"the install folder missing",
     [](MemoryEnv& e, RunOptions&) {
       e.search = FolderSearch::InstallFolderMissing;
       e.searchPaths = {"C:/B"};
     }, false, {}, {"Brumbelのインストールフォルダ C:/B が見つかりませんでした。\n"}},
    {"every data folder tried is named",
     [](MemoryEnv& e, RunOptions&) {
       e.search = FolderSearch::DataFolderMissing;
       e.searchPaths = {"C:/A", "C:/R"};
     }, false, {},
     {"Brumbelのデータフォルダ C:/A が見つかりませんでした。\n"
      "Brumbelのデータフォルダ C:/R が見つかりませんでした。\n"
      "データフォルダはコマンドラインの引数で指定できます。\n"}},
    {"no log file names the folder searched",
     [](MemoryEnv& e, RunOptions&) { e.files.clear(); }, false, {},
     {"Brumbelの対戦ログファイルが見つかりませんでした。\n探したフォルダ : data\n"}, {"分析中"},
     {}, {"data/analyze"}},
    {"a log that cannot be opened",
     [](MemoryEnv& e, RunOptions&) { e.unopenable = {"data/20050505.log"}; }, false, {"完了！"},
     {"エラー : 入力ファイル data/20050505.log が開けません。\n"}, {}, {"data/analyze/vslog.html"}},
    {"a read that fails part way",
     [](MemoryEnv& e, RunOptions&) { e.readFailsAfter["data/20050505.log"] = 10; }, false, {},
     {"エラー : 入力ファイル data/20050505.log の読み込みに失敗しました。\n"}, {},
     {"data/analyze/vslog.html"}},
    {"a log that is no longer a file is skipped",
     [](MemoryEnv& e, RunOptions&) { e.notFiles = {"data/20050505.log"}; }, true,
     {"  20050504.log\n"}, {}, {"20050505", "エラー"}},
    {"a listing that breaks off",
     [](MemoryEnv& e, RunOptions&) { e.listingBreaks = true; }, false, {"  20050504.log"},
     {"エラー : フォルダ data の一覧を最後まで読めませんでした。\n"}, {},
     {"data/analyze/vslog.html"}},
    {"the output folder cannot be made",
     [](MemoryEnv& e, RunOptions&) { e.unmakeable = {"data/analyze"}; }, false, {},
     {"分析ファイルフォルダ data/analyze の作成に失敗しました。\n"}, {"完了"}},
    {"a page that cannot be made does not stop the rest",
     [](MemoryEnv& e, RunOptions&) {
       e.fault = Fault::Create;
       e.faultPath = "data/analyze/personal.html";
     }, false, {"完了！"}, {"エラー : ファイル data/analyze/personal.html が開けません。\n"}, {},
     {"data/analyze/observation.html", "data/analyze/vslog.html"}, {"data/analyze/personal.html"}},
    {"a failed write keeps the old page", FailAppend, false, {},
     {"エラー : ファイル data/analyze/vslog.html の書き込みに失敗しました。\n"}, {}, {}, {},
     [](const MemoryEnv& e) { EXPECT_EQ(e.files.at("data/analyze/vslog.html"), "old"); }},
    {"a killed run's temporary files go, nothing else",
     [](MemoryEnv& e, RunOptions&) { Leftovers(e); }, true, {}, {}, {},
     {"data/analyze/mine.html.0123456789abcdef.tmp", "data/analyze/vslog.html.tmp",
      "data/analyze/vslog.html.0123456789ABCDEF.tmp", "data/analyze/vslog.html.0123456789abcdef"},
     {"data/analyze/vslog.html.0123456789abcdef.tmp"}},
    {"a failed matches.csv is named like a page",
     [](MemoryEnv& e, RunOptions&) {
       e.fault = Fault::Append;
       e.faultPath = "data/analyze/matches.csv";
     }, false, {}, {"エラー : ファイル data/analyze/matches.csv の書き込みに失敗しました。\n"},
     {}, {}, {"data/analyze/matches.csv"}},
    {"a dashboard that cannot be made is named like a page",
     [](MemoryEnv& e, RunOptions&) {
       e.fault = Fault::Create;
       e.faultPath = "data/analyze/dashboard.html";
     }, false, {}, {"エラー : ファイル data/analyze/dashboard.html が開けません。\n"}, {}, {},
     {"data/analyze/dashboard.html"}},
    {"another run holds the lock",
     [](MemoryEnv& e, RunOptions&) { e.lockBusy = true; }, true,
     {"ほかの実行が終わるのを待っています・・・\n"}, {}, {}, {}, {},
     [](const MemoryEnv& e) { EXPECT_EQ(e.lockWaits, 1); }},
    {"a wait for the lock broken off writes nothing and fails",
     [](MemoryEnv& e, RunOptions&) { e.lockBusy = true; e.lockWait = Lock::Interrupted; }, false,
     {}, {"ほかの実行を待つのを中断しました。\n"}, {"完了"}, {}, {"data/analyze/vslog.html"}},
    {"a lock that cannot be had: a warning, the pages, and no temporary file removed",
     [](MemoryEnv& e, RunOptions&) { e.lockUnavailable = true; Leftovers(e); }, true,
     {"完了！"},
     {"警告 : ロックファイル data/analyze/ledgerwise.lock を使えないため、ロックなしで書き込みます。\n"},
     {}, {"data/analyze/vslog.html", "data/analyze/vslog.html.0123456789abcdef.tmp"}},
    {"control bytes in names are masked",
     [](MemoryEnv& e, RunOptions&) { e.files["data/2005\x1b[2J\x7f.log"] = ""; }, true,
     {"  2005?[2J?.log\n"}, {}, {"\x1b", "\x7f"}},
    {"an Explorer copy is read once and named last",
     [](MemoryEnv& e, RunOptions&) {
       e.files["data/20050504 - コピー.log"] = e.files["data/20050504.log"];
     }, true,
     {"  20050504.log\n  20050505.log\n\n",
      "ダッシュボード : data/analyze/dashboard.html\n"
      "20050504 - コピー.log は 20050504.log と同じ内容のため、読みませんでした。\n"},
     {"20050504 - コピー.log は 20050504.log と同じ内容のため、読みませんでした。\n"},
     {"同じ日付"}},
    {"logs of one date that differ are read, and named last",
     [](MemoryEnv& e, RunOptions&) {
       e.files["data/20050504 - edited.log"] = e.files["data/20050504.log"] + "\r\n";
     }, true,
     {"  20050504 - edited.log\n  20050504.log\n",
      "ダッシュボード : data/analyze/dashboard.html\n同じ日付のログが"},
     {"同じ日付のログが複数あります。その日の対戦は二重に数えられているかもしれません : "
      "20050504 - edited.log, 20050504.log\n"},
     {"同じ内容"}},
    {"--wait on a console waits for a key",
     [](MemoryEnv& e, RunOptions& o) { e.interactive = true; o.keyWait = KeyWait::Always; }, true,
     {"ダッシュボード : data/analyze/dashboard.html\n何かキーを押してください。\n"}, {}, {}, {},
     {}, [](const MemoryEnv& e) { EXPECT_EQ(e.keyWaits, 1); }},
    {"by default only a platform whose window closes waits",
     [](MemoryEnv& e, RunOptions&) { e.interactive = true; }, true, {}, {}, {}, {}, {},
     [](const MemoryEnv& e) { EXPECT_EQ(e.keyWaits, platform::kWaitsForKeyByDefault ? 1 : 0); }},
    {"--no-wait never waits",
     [](MemoryEnv& e, RunOptions& o) { e.interactive = true; o.keyWait = KeyWait::Never; }, true,
     {}, {}, {"何かキー"}, {}, {}, [](const MemoryEnv& e) { EXPECT_EQ(e.keyWaits, 0); }},
    {"without a console not even --wait waits",
     [](MemoryEnv&, RunOptions& o) { o.keyWait = KeyWait::Always; }, true, {}, {}, {"何かキー"},
     {}, {}, [](const MemoryEnv& e) { EXPECT_EQ(e.keyWaits, 0); }},
    {"--pages-only writes the six pages alone",
     [](MemoryEnv&, RunOptions& o) { o.pagesOnly = true; }, true,
     {"レポート : data/analyze/index.html\n"}, {}, {"ダッシュボード"}, {"data/analyze/vslog.html"},
     {"data/analyze/dashboard.html", "data/analyze/matches.csv"}},
    {"one log open at a time: the logs read ahead wait for a descriptor, none is left out",
     OneDescriptor, true, {"  20050504.log\n  20050505.log\n  20050506.log\n"}, {}, {"エラー"}},
    {"no descriptor for a log: each fails, the rest of the run goes on",
     [](MemoryEnv& e, RunOptions& o) { e.openLogBudget = 0; o.logWorkers = 1; }, false, {"完了！"},
     {"エラー : 入力ファイル data/20050504.log が開けません。\n",
      "エラー : 入力ファイル data/20050505.log が開けません。\n"}},
    {"a Shift_JIS console gets Shift_JIS error lines",
     [](MemoryEnv& e, RunOptions&) { e.utf8 = false; e.unopenable = {"data/20050505.log"}; },
     false, {Sjis("完了！")}, {Sjis("エラー : 入力ファイル data/20050505.log が開けません。\n")},
     {"エラー"}},
};
// clang-format on

TEST(RunTest, EveryRow) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    MemoryEnv env;
    RunOptions options;
    TwoLogs(env);
    if (row.setup) row.setup(env, options);
    int code = ledgerwise::Run(options, env);
    EXPECT_EQ(code, row.succeeds ? 0 : platform::kFailureExitCode);
    for (const std::string& text : row.shown) EXPECT_NE(env.console.find(text), npos) << text;
    for (const std::string& text : row.errors) EXPECT_NE(env.errors.find(text), npos) << text;
    for (const std::string& text : row.notShown) EXPECT_EQ(env.console.find(text), npos) << text;
    for (const std::string& path : row.present) EXPECT_TRUE(Exists(env, path)) << path;
    for (const std::string& path : row.absent) EXPECT_FALSE(Exists(env, path)) << path;
    // Every error line went to standard error, and nothing else did.
    EXPECT_EQ(env.errors.find("完了"), npos);
    if (env.console.find("エラー") != npos) {
      EXPECT_NE(env.errors.find("エラー"), npos);
    }
    EXPECT_TRUE(env.Temporaries().empty());
    if (row.also) row.also(env);
  }
}

// Forty days in which every match runs into the next day's file, a start
// line without a name takes its file's last one, and three files fail in
// three ways: more files than are ever read ahead at once.
void CarriedMatches(MemoryEnv& env) {
  env.folders.insert("data");
  const char* names[] = {"とまと", "なす", "きゅうり"};
  for (int i = 0; i < 40; ++i) {
    std::string name = "data/20050" + std::to_string(501 + i / 28 * 100 + i % 28) + ".log";
    std::string opponent = names[i % 3];
    env.files[name] = testing::LogText(
        {"[00:01:00]さんに勝ちました",  // ends the match the day before left open
         "[21:05:10]" + opponent + "(２だん 60勝40敗 レート" + std::to_string(1500 + i) +
             " 最大12連鎖 切断率3%)と対戦を開始しました",
         "[21:06:00]リプレイをオートセーブしました", "[21:09:40]さんに負けました",
         "[22:00:00]と対戦を開始しました"});
  }
  env.unopenable.insert("data/20050507.log");
  env.readFailsAfter["data/20050513.log"] = 150;
  env.notFiles.insert("data/20050521.log");
}

// Logs read ahead reach the book in listing order, though the second is
// ready before the first, and vslog.html written on its own thread reports
// its failure as in line: the run leaves every file and console byte as
// one thread leaves them.
TEST(RunTest, ReadingAheadChangesNothing) {
  MemoryEnv alone, ahead;
  for (MemoryEnv* env : {&alone, &ahead}) {
    CarriedMatches(*env);
    env->faultPath = "data/analyze/vslog.html";
    env->fault = Fault::Append;
  }
  ahead.holdFirst = true;
  RunOptions options;
  options.logWorkers = 0;
  options.writeSideBySide = false;
  EXPECT_EQ(ledgerwise::Run(options, alone), platform::kFailureExitCode);
  EXPECT_NE(alone.console.find("vslog.html"), std::string::npos);
  options.logWorkers = 1;
  options.writeSideBySide = true;
  EXPECT_EQ(ledgerwise::Run(options, ahead), platform::kFailureExitCode);
  EXPECT_EQ(alone.console, ahead.console);
  ASSERT_EQ(alone.files.size(), ahead.files.size());
  for (const auto& [path, bytes] : alone.files) EXPECT_TRUE(ahead.files[path] == bytes) << path;
  // A heading, then two matches from each of 37 whole files and one from
  // the file whose read failed after its first match-start line.
  const std::string& csv = alone.files["data/analyze/matches.csv"];
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 1 + 37 * 2 + 1);
}

// A folder with copies of a log leaves every output as the folder without
// them: the plain name is read where it stands, whatever the copies' names
// (some sort before it). Logs of two dates with the same lines are two
// days, as the reference pages show.
TEST(RunTest, CopiesChangeNoOutput) {
  MemoryEnv plain, copied;
  TwoLogs(plain);
  TwoLogs(copied);
  plain.files["data/20050503.log"] = testing::LogText(
      {"[20:00:00]なす(３だん 1勝1敗 レート1 最大1連鎖 切断率0%)と対戦を開始しました"});
  copied.files["data/20050503.log"] = plain.files["data/20050503.log"];
  for (const char* copy :
       {"data/20050504 (2).log", "data/20050504 - コピー.log", "data/20050504-old.log"}) {
    copied.files[copy] = copied.files["data/20050504.log"];
  }
  RunOptions options;
  EXPECT_EQ(ledgerwise::Run(options, plain), 0);
  EXPECT_EQ(ledgerwise::Run(options, copied), 0);
  for (const auto& [path, bytes] : plain.files) EXPECT_TRUE(copied.files[path] == bytes) << path;
  EXPECT_NE(copied.console.find("20050504 (2).log, 20050504 - コピー.log, 20050504-old.log は "
                                "20050504.log と同じ内容のため"),
            npos);
}

// The worker holds the one descriptor when the caller's thread, reading
// ahead, is refused one: only the caller's thread closes files, so it gives
// its file back instead of waiting for a close.
TEST(LogPipelineTest, TheCallersThreadNeverWaitsForADescriptor) {
  struct FirstOpen : MemoryEnv {
    std::unique_ptr<LogSource> OpenLog(const std::string& path, LogOpen* status) override {
      std::unique_ptr<LogSource> log = MemoryEnv::OpenLog(path, status);
      std::call_once(once, [this] { opened.set_value(); });
      return log;
    }
    std::once_flag once;
    std::promise<void> opened;
  } env;
  RunOptions options;
  TwoLogs(env);
  OneDescriptor(env, options);
  std::vector<LogFileInfo> logs;
  env.ListLogFiles("data", &logs);
  std::vector<std::string> paths;
  for (const LogFileInfo& log : logs) paths.push_back("data/" + log.name);
  LogPipeline pipeline(env, paths, 1);
  env.opened.get_future().wait();  // by the worker: the first log
  for (size_t i = 0; i < paths.size(); ++i) EXPECT_EQ(pipeline.Next().status, LogOpen::Opened);
}

TEST(LocaleTest, TheFirstSetVariableNamesTheConsolesCodeSet) {
  struct Case {
    const char *lcAll, *lcCtype, *lang;
    bool utf8;
  } cases[] = {
      {"", "", "", true},  // no locale at all: cron, env -i
      {"", "", "C", true},
      {"", "", "ja_JP.SJIS", false},
      {"", "", "ja_JP.Shift_JIS@x", false},
      {"ja_JP.UTF-8", "ja_JP.SJIS", "ja_JP.SJIS", true},  // LC_ALL wins
      {"C", "", "ja_JP.PCK", true},
      {"", "ja_JP.cp932", "ja_JP.UTF-8", false},  // LC_CTYPE before LANG
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LocaleWantsUtf8(c.lcAll, c.lcCtype, c.lang), c.utf8)
        << c.lcAll << "|" << c.lcCtype << "|" << c.lang;
  }
}

#ifndef _WIN32
// A log that became a FIFO, a device or a pseudo file after the listing:
// refused at once, never read (a read of any would hold the run for ever).
TEST(PlatformTest, OnlyRegularFilesOpenAsLogs) {
  std::string fifo = ::testing::TempDir() + "ledgerwise-fifo.log";
  ::unlink(fifo.c_str());
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  std::unique_ptr<Env> env = platform::NewEnv();
  std::vector<std::string> paths = {fifo, "/dev/zero", ::testing::TempDir()};
#ifdef __linux__
  paths.push_back("/proc/self/pagemap");  // regular to fstat, and without end
#endif
  for (const std::string& path : paths) {
    LogOpen status;
    EXPECT_EQ(env->OpenLog(path, &status), nullptr);
    EXPECT_EQ(status, LogOpen::NotAFile) << path;
  }
  ::unlink(fifo.c_str());
}
#endif

}  // namespace
}  // namespace ledgerwise

// Times a watching run on a data folder (give it a copy: the last log is
// appended to): how long from a match's end line reaching the log to its
// console line, with the system's notifications and with one-second polling
// alone; how long a rewrite of the outputs takes; what an idle look costs;
// and peak memory while watching.
//   ledgerwise-watch-bench DATA_DIR
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/driver.h"
#include "app/env.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace ledgerwise;

double CpuSeconds() {
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The system's own, watched: console lines and output files with the time
// they came, looks counted, and notifications turned off on request.
class TimedEnv : public Env {
 public:
  explicit TimedEnv(bool notifications)
      : base_(platform::NewEnv()), notifications_(notifications) {}

  // Waits until a console line holds `text`; the time it came.
  Clock::time_point AwaitLine(const std::string& text) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return console_.find(text, from_) != std::string::npos; });
    from_ = console_.find(text, from_) + text.size();
    return lastLine_;
  }
  Clock::time_point AwaitLiveScript(int count) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return liveScripts_ >= count; });
    return lastLive_;
  }
  Clock::time_point firstTemporary() {
    std::lock_guard<std::mutex> lock(mutex_);
    return firstTemporary_;
  }
  void ForgetTemporary() {
    std::lock_guard<std::mutex> lock(mutex_);
    firstTemporary_ = {};
  }
  int looks() const { return looks_; }
  void Stop() { stop_ = true; }

  char Separator() const override { return base_->Separator(); }
  FolderSearch FindDataFolder(std::vector<std::string>* f) override {
    return base_->FindDataFolder(f);
  }
  EntryKind KindOf(const std::string& p) override { return base_->KindOf(p); }
  bool LookUp(const std::string& p, LogFileInfo* info) override { return base_->LookUp(p, info); }
  bool EnsureFolder(const std::string& p) override { return base_->EnsureFolder(p); }
  Listing ListLogFiles(const std::string& f, std::vector<LogFileInfo>* logs) override {
    ++looks_;
    Clock::time_point start = Clock::now();
    Listing listing = base_->ListLogFiles(f, logs);
    listingSeconds_ = listingSeconds_ + std::chrono::duration<double>(Clock::now() - start).count();
    return listing;
  }
  double listingSeconds() const { return listingSeconds_; }
  bool ListFolder(const std::string& f, std::vector<std::string>* n) override {
    return base_->ListFolder(f, n);
  }
  std::unique_ptr<LogSource> OpenLog(const std::string& p, LogOpen* s) override {
    return base_->OpenLog(p, s);
  }
  std::unique_ptr<FolderLock> LockFolder(const std::string& f, bool w, Lock* r) override {
    return base_->LockFolder(f, w, r);
  }
  void RemoveLeftover(const std::string& p) override { base_->RemoveLeftover(p); }
  LocalTime Now() override { return base_->Now(); }
  bool ConsoleWantsUtf8() override { return true; }
  void WriteConsole(ConsoleStream, const std::string& text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    console_ += text;
    lastLine_ = Clock::now();
    changed_.notify_all();
  }
  FolderWait WaitForChange(const std::string& folder, int milliseconds) override {
    if (stop_) return FolderWait::Quiet;
    if (notifications_) return base_->WaitForChange(folder, std::min(milliseconds, 200));
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return FolderWait::Blind;
  }
  void CatchStop() override {}
  bool StopRequested() override { return stop_; }
  int64_t SteadyMilliseconds() override { return base_->SteadyMilliseconds(); }
  bool IsInteractive() override { return false; }
  void WaitForKey() override {}
  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* path) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (firstTemporary_ == Clock::time_point{}) firstTemporary_ = Clock::now();
    }
    return base_->CreateTemporary(beside, path);
  }
  bool Replace(const std::string& from, const std::string& to) override {
    bool replaced = base_->Replace(from, to);
    if (to.size() >= 7 && to.compare(to.size() - 7, 7, "live.js") == 0) {
      std::lock_guard<std::mutex> lock(mutex_);
      ++liveScripts_;
      lastLive_ = Clock::now();
      changed_.notify_all();
    }
    return replaced;
  }
  void Remove(const std::string& p) override { base_->Remove(p); }

 private:
  std::unique_ptr<Env> base_;
  bool notifications_;
  std::atomic<bool> stop_{false};
  std::atomic<int> looks_{0};
  std::atomic<double> listingSeconds_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
  std::string console_;
  size_t from_ = 0;
  Clock::time_point lastLine_, lastLive_, firstTemporary_;
  int liveScripts_ = 0;
};

void AppendLines(const std::string& path, const std::vector<std::string>& lines) {
  std::ofstream out(path, std::ios::binary | std::ios::app);
  for (const std::string& line : lines) out << line << "\r\n";
}

double Since(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double>(b - a).count();
}

// One match appended, line by line, to the last log; the seconds from its
// end line to the console's, and the rewrite's length.
void Measure(const std::string& folder, const std::string& lastLog, bool notifications) {
  TimedEnv env(notifications);
  RunOptions options;
  options.folderGiven = true;
  options.dataFolder = folder;
  options.watch = true;
  std::thread run([&] { Run(options, env); });
  env.AwaitLine("(Ctrl+C");
  env.AwaitLiveScript(1);  // the first run's
  double cpu = CpuSeconds();
  int looks = env.looks();
  double listing = env.listingSeconds();
  std::this_thread::sleep_for(std::chrono::seconds(10));
  int idleLooks = std::max(1, env.looks() - looks);
  double idle = (CpuSeconds() - cpu) / 10;
  double perLook = (env.listingSeconds() - listing) / idleLooks;
  std::vector<double> latencies, rewrites;
  for (int round = 0; round < 3; ++round) {
    // Shift_JIS: 対戦を開始しました, リプレイをオートセーブしました, さんに勝ちました.
    std::string name = "bench" + std::to_string(round);
    AppendLines(lastLog, {"[23:50:0" + std::to_string(round) + "]" + name +
                          "(\x82\x51\x82\xbe\x82\xf1 1\x8f\x9f"
                          "1\x94\x73 \x83\x8c\x81\x5b\x83\x67"
                          "1 \x8d\xc5\x91\xe5"
                          "1\x98\x41\x8d\xbd \x90\xd8\x92\x66\x97\xa6"
                          "0%)"
                          "\x82\xc6\x91\xce\x90\xed\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc\x82\xb5"
                          "\x82\xbd"});
    env.AwaitLine(name + " (");
    env.ForgetTemporary();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    AppendLines(lastLog, {"[23:59:00]" + name +
                          "\x82\xb3\x82\xf1\x82\xc9\x8f\x9f\x82\xbf\x82"
                          "\xdc\x82\xb5\x82\xbd"});
    Clock::time_point appended = Clock::now();
    latencies.push_back(Since(appended, env.AwaitLine(name + " : ")));
    Clock::time_point live = env.AwaitLiveScript(2 + round);
    rewrites.push_back(Since(env.firstTemporary(), live));
  }
  env.Stop();
  run.join();
  std::sort(latencies.begin(), latencies.end());
  std::sort(rewrites.begin(), rewrites.end());
  std::printf(
      "%-14s end line -> console line %.3f s (median of 3; goal %s), rewrite %.3f s\n"
      "%-14s idle: %d looks at the listing in 10 s, %.2f ms each; %.2f ms processor time a "
      "second (goal 5 ms a poll)\n",
      notifications ? "notifications" : "polling", latencies[1], notifications ? "0.3 s" : "1.5 s",
      rewrites[1], "", idleLooks, perLook * 1000, idle * 1000);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DATA_DIR\n", argv[0]);
    return 2;
  }
  std::string folder = argv[1];
  std::vector<LogFileInfo> logs;
  if (platform::NewEnv()->ListLogFiles(folder, &logs) != Listing::Complete || logs.empty()) {
    std::fprintf(stderr, "no log files in %s\n", folder.c_str());
    return 1;
  }
  std::string lastLog = folder + "/" + logs.back().name;
  Measure(folder, lastLog, true);
  Measure(folder, lastLog, false);
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak memory while watching: %.1f MB\n", usage.ru_maxrss / 1024.0);
  return 0;
}

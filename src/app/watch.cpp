#include "app/watch.h"

#include <set>
#include <string>
#include <vector>

#include "app/live_lines.h"
#include "app/log_cache.h"
#include "app/messages.h"
#include "log/calendar.h"
#include "report/number_format.h"

namespace ledgerwise {

namespace {

constexpr int kPollMilliseconds = 1000;  // the listing's look without notifications
constexpr int kSettleMilliseconds = 30;  // a burst of writes is taken as one change
constexpr int kMaxSettles = 5;
constexpr int64_t kWholeListMilliseconds = 10000;  // the whole listing, now and then
constexpr int64_t kQuietMilliseconds = 2000;       // a rewrite waits for the writes to settle
constexpr int64_t kSpacingMilliseconds = 3000;     // and comes at most this often

class Watcher {
 public:
  Watcher(RunSteps& steps, Env& env) : steps_(steps), env_(env) {}
  int Run();

 private:
  std::string NextGeneration();
  bool WaitForChange();
  bool NothingMoved();
  void Look();
  void RewriteWhenDue();

  RunSteps& steps_;
  Env& env_;
  LogCache cache_;
  LiveLines live_;
  std::string session_;  // the start time, for generations unique to this run
  int generation_ = 0;
  bool dirty_ = false;  // the book changed since the last rewrite
  int64_t dirtySince_ = 0;
  int64_t lastRewrite_ = 0;
  int64_t lastList_ = 0;
  bool folderGone_ = false;
  std::vector<LogFileInfo> listed_;  // the listing last looked at
  int64_t folderTime_ = 0;
  std::set<std::string> failing_;  // logs whose failure was said already
};

std::string Watcher::NextGeneration() { return session_ + "-" + std::to_string(++generation_); }

// A look every second at what a game's writing changes: the folder (a new
// day's log) and the last log, asked of the file itself. Without
// notifications nothing else tells; with them it still does where they
// lag (a folder's entry for a log the game holds open may keep its old
// size). The whole listing costs a look at every log; it comes now and
// then anyway.
bool Watcher::NothingMoved() {
  LogFileInfo folder, last;
  if (listed_.empty() || !env_.LookUp(steps_.dataFolder(), &folder)) return false;
  bool same = folder.modified == folderTime_ &&
              env_.LookUp(steps_.Join(steps_.dataFolder(), listed_.back().name), &last) &&
              last.size == listed_.back().size && last.modified == listed_.back().modified;
  folderTime_ = folder.modified;
  return same;
}

// True when the listing is worth a look now.
bool Watcher::WaitForChange() {
  FolderWait wait = env_.WaitForChange(steps_.dataFolder(), kPollMilliseconds);
  int64_t now = env_.SteadyMilliseconds();
  bool due = now - lastList_ >= kWholeListMilliseconds;
  if (wait == FolderWait::Changed) {
    // The game writes a line at a time; what follows within a moment is
    // the same change.
    for (int i = 0; i < kMaxSettles && !env_.StopRequested(); ++i) {
      if (env_.WaitForChange(steps_.dataFolder(), kSettleMilliseconds) != FolderWait::Changed)
        break;
    }
    return true;
  }
  return due || !NothingMoved();
}

void Watcher::Look() {
  lastList_ = env_.SteadyMilliseconds();
  std::vector<LogFileInfo> logs;
  if (env_.ListLogFiles(steps_.dataFolder(), &logs) == Listing::Unreadable) {
    if (!folderGone_) steps_.console().Warn(msg::kFolderGone, steps_.dataFolder());
    folderGone_ = true;
    return;
  }
  if (folderGone_) steps_.console().Print(msg::kFolderBack, steps_.dataFolder());
  folderGone_ = false;
  // The last log, which the game may hold open, as the file itself says.
  LogFileInfo last;
  if (!logs.empty() && env_.LookUp(steps_.Join(steps_.dataFolder(), logs.back().name), &last)) {
    logs.back().size = last.size;
    logs.back().modified = last.modified;
  }
  // The same names, sizes and times: nothing to read, the common case.
  if (logs == listed_) return;
  listed_ = logs;
  steps_.SkipCopies(&logs);
  LogCache::Refreshed refreshed = cache_.Refresh(env_, steps_.dataFolder(), logs, true);
  for (const LogCache::Read& read : refreshed.reads) {
    if (read.status.ok()) {
      failing_.erase(read.name);
    } else if (failing_.insert(read.name).second) {
      steps_.Report(read.status);
    }
  }
  if (!refreshed.changed) return;
  if (refreshed.appendedFrom != std::string::npos) {
    steps_.TakeAppended(cache_, refreshed.appendedFrom);
  } else {
    steps_.Rebuild(cache_);
  }
  for (const std::string& line : live_.Look(steps_.book(), steps_.console().utf8())) {
    steps_.console().Raw(ConsoleStream::Out, line);
  }
  if (!dirty_) dirtySince_ = env_.SteadyMilliseconds();
  dirty_ = true;
}

void Watcher::RewriteWhenDue() {
  int64_t now = env_.SteadyMilliseconds();
  if (!dirty_ || folderGone_ || now - dirtySince_ < kQuietMilliseconds ||
      now - lastRewrite_ < kSpacingMilliseconds) {
    return;
  }
  steps_.Rewrite(NextGeneration());
  lastRewrite_ = env_.SteadyMilliseconds();
  dirty_ = false;
}

int Watcher::Run() {
  env_.CatchStop();
  LocalTime now = env_.Now();
  char stamp[32];
  char* end = WritePadded(stamp, now.year, 4, '0');
  for (int part : {now.month, now.day, now.hour, now.minute, now.second}) {
    end = WritePadded(end, part, 2, '0');
  }
  session_.assign(stamp, end);
  steps_.Analyze(&cache_, NextGeneration());
  if (steps_.outputFolder().empty()) return platform::kFailureExitCode;  // never got to write
  lastRewrite_ = lastList_ = env_.SteadyMilliseconds();
  live_.Start(steps_.book(), DayNumberFromDate(now.year, now.month, now.day));
  steps_.console().Text("\n");
  steps_.console().Print(msg::kWatching);
  while (!env_.StopRequested()) {
    if (WaitForChange() && !env_.StopRequested()) Look();
    RewriteWhenDue();
  }
  // The outputs as the book stands, and a dashboard that no longer asks
  // for live.js: nobody will write it again.
  if (!folderGone_) steps_.Rewrite("");
  steps_.console().Print(msg::kWatchEnded);
  return 0;
}

}  // namespace

int Watch(RunSteps& steps, Env& env) { return Watcher(steps, env).Run(); }

}  // namespace ledgerwise

#include "app/log_cache.h"

#include <map>
#include <memory>
#include <utility>

#include "log/log_parser.h"
#include "log/packed_digest.h"

namespace ledgerwise {

namespace {

bool Unchanged(const LogFileInfo& a, const LogFileInfo& b) {
  return a.size == b.size && a.modified == b.modified;
}

}  // namespace

LogCache::Entry LogCache::ReadLog(Env& env, const std::string& path, const LogFileInfo& info,
                                  bool hold, Read* read) {
  Entry entry;
  entry.info = info;
  LogOpen opened;
  std::unique_ptr<LogSource> source = env.OpenLog(path, &opened);
  if (opened == LogOpen::NotAFile) {
    entry.skipped = read->skipped = true;
    return entry;
  }
  LogFileReader reader(path, source.get());
  entry.day = reader.day();
  read->status = reader.PackInto(&entry.packed, hold, &entry.heldBack);
  entry.failed = !read->status.ok();
  return entry;
}

LogCache::Refreshed LogCache::Refresh(Env& env, const std::string& folder,
                                      const std::vector<LogFileInfo>& logs, bool holdLastLine) {
  std::map<std::string, Entry*> old;
  for (Entry& entry : entries_) old[entry.info.name] = &entry;
  Refreshed result;
  result.changed = logs.size() != entries_.size();
  std::vector<Entry> entries;
  entries.reserve(logs.size());
  for (size_t i = 0; i < logs.size(); ++i) {
    bool last = i + 1 == logs.size();
    auto found = old.find(logs[i].name);
    if (found == old.end()) {
      result.changed = true;
    } else if (Unchanged(found->second->info, logs[i]) && !found->second->failed &&
               (last || !found->second->heldBack)) {
      entries.push_back(std::move(*found->second));
      continue;
    }
    Read& read = result.reads.emplace_back();
    read.name = logs[i].name;
    entries.push_back(ReadLog(env, folder + env.Separator() + logs[i].name, logs[i],
                              holdLastLine && last, &read));
    if (found != old.end()) {
      const Entry& before = *found->second;
      const Entry& after = entries.back();
      bool same = before.packed == after.packed && before.skipped == after.skipped &&
                  before.day == after.day;
      // Lines added to the last log: what was taken before is where the
      // new digest begins.
      if (!same && !result.changed && last && !before.skipped && !after.skipped &&
          before.day == after.day &&
          after.packed.compare(0, before.packed.size(), before.packed) == 0) {
        result.appendedFrom = before.packed.size();
      }
      result.changed = result.changed || !same;
    } else {
      result.appendedFrom = std::string::npos;
    }
  }
  if (result.reads.size() != 1) result.appendedFrom = std::string::npos;
  entries_ = std::move(entries);
  return result;
}

void LogCache::Rebuild(VsLogBook& book) {
  LogDigest digest;
  lastName_.clear();
  for (const Entry& entry : entries_) {
    if (entry.skipped) continue;
    UnpackLogDigest(entry.packed, entry.day, &digest);
    std::string_view lastName;  // a start line without a name takes its file's last
    ApplyLogDigest(book, digest, &lastName);
    lastName_ = lastName;
  }
}

void LogCache::TakeAppended(VsLogBook& book, size_t appendedFrom) {
  const Entry& entry = entries_.back();
  LogDigest digest;
  UnpackLogDigest(std::string_view(entry.packed).substr(appendedFrom), entry.day, &digest);
  std::string_view lastName = lastName_;
  ApplyLogDigest(book, digest, &lastName);
  lastName_ = std::string(lastName);
}

}  // namespace ledgerwise

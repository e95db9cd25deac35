// The whole run over arbitrary logs: parse, the statistics pass and the six
// pages, written through a file system that fails where the input says. A
// page must be well-formed when written and untouched when not, no temporary
// file may stay behind, a second statistics pass must not change a byte, and
// no byte of an opponent's name may turn into markup.
#include <stdlib.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <system_error>

#include "app/env.h"
#include "report/page_blocks.h"
#include "report/page_writer.h"
#include "report/pages.h"
#include "stats/statistics.h"
#include "tests/fuzz/fuzz_support.h"

namespace ledgerwise {
namespace fuzz {

namespace {

enum class Fault { None, Create, Append, Close, Replace };

// Files in memory, so each input costs no disk work; one step of one page
// can be made to fail.
class MemoryFileSystem : public FileSystem {
 public:
  std::map<std::string, std::string> files;

  void FailAt(const std::string& page, Fault fault) {
    faultPage_ = page;
    fault_ = fault;
  }

  std::unique_ptr<WritableFile> CreateTemporary(const std::string& beside,
                                                std::string* tempPath) override {
    if (Faulty(beside, Fault::Create)) {
      tempPath->clear();
      return nullptr;
    }
    *tempPath = beside + "." + std::to_string(++made_) + ".tmp";
    LW_CHECK(files.count(*tempPath) == 0);
    files[*tempPath];
    return std::make_unique<File>(this, *tempPath, Faulty(beside, Fault::Append),
                                  Faulty(beside, Fault::Close));
  }

  bool Replace(const std::string& from, const std::string& to) override {
    auto it = files.find(from);
    LW_CHECK(it != files.end());
    if (Faulty(to, Fault::Replace)) return false;
    files[to] = std::move(it->second);
    files.erase(from);
    return true;
  }

  void Remove(const std::string& path) override { files.erase(path); }

 private:
  class File : public WritableFile {
   public:
    File(MemoryFileSystem* fs, std::string path, bool failAppend, bool failClose)
        : fs_(fs), path_(std::move(path)), failAppend_(failAppend), failClose_(failClose) {}
    bool Append(std::string_view data) override {
      LW_CHECK(!closed_);
      // A full disk takes part of the data before it refuses the rest.
      std::string& file = fs_->files[path_];
      if (failAppend_) {
        file.append(data.substr(0, data.size() / 2));
        return false;
      }
      file.append(data);
      return true;
    }
    bool Close() override {
      LW_CHECK(!closed_);
      closed_ = true;
      return !failClose_;
    }

   private:
    MemoryFileSystem* fs_;
    std::string path_;
    bool failAppend_, failClose_;
    bool closed_ = false;
  };

  bool Faulty(const std::string& page, Fault fault) const {
    return fault_ == fault && page == faultPage_;
  }

  std::string faultPage_;
  Fault fault_ = Fault::None;
  int made_ = 0;
};

struct PageKind {
  const char* name;
  std::string_view lastLine;
};

constexpr PageKind kPages[] = {
    {"index.html", "</HTML>"},
    {"menu.html", kPageEnd},
    {"personal.html", kPageEnd},
    {"observation.html", "</html>"},
    {"ranking.html", "</DIV></BODY></HTML>"},
    {"vslog.html", kPageEnd},
};
constexpr size_t kPageCount = sizeof kPages / sizeof kPages[0];

const LocalTime kNow = {2005, 5, 4, 21, 5, 10};

int WritePage(size_t page, VsLogBook& book, FileSystem& fs, const std::string& path) {
  switch (page) {
    case 0: return WriteIndexPage(book, fs, path);
    case 1: return WriteMenuPage(book, fs, path, kNow);
    case 2: return WritePersonalPage(book, fs, path);
    case 3: return WriteObservationPage(book, fs, path);
    case 4: return WriteRankingPage(book, fs, path);
    default: return WriteVsLogPage(book, fs, path);
  }
}

std::string PagePath(const std::string& folder, size_t page) { return folder + "/" + kPages[page].name; }

void CheckWellFormed(const std::string& bytes, size_t page) {
  LW_CHECK(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
  for (size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1)) {
    LW_CHECK(at > 0 && bytes[at - 1] == '\r');
  }
  size_t start = bytes.rfind("\r\n", bytes.size() - 3);
  start = start == std::string::npos ? 0 : start + 2;
  LW_CHECK(std::string_view(bytes).substr(start, bytes.size() - 2 - start) == kPages[page].lastLine);
}

size_t CountLines(const std::string& bytes, std::string_view line) {
  size_t count = 0;
  std::string needle = "\r\n" + std::string(line) + "\r\n";
  for (size_t at = bytes.find(needle); at != std::string::npos; at = bytes.find(needle, at + 1)) ++count;
  return count;
}

// memchr rather than a loop: the loop's compares would be traced for coverage
// on every page byte, which costs more than the pages themselves.
size_t CountByte(const std::string& bytes, char c) {
  size_t count = 0;
  const char* end = bytes.data() + bytes.size();
  for (const char* p = bytes.data(); p < end; ++p, ++count) {
    p = static_cast<const char*>(std::memchr(p, c, end - p));
    if (p == nullptr) break;
  }
  return count;
}

// All six pages with no fault; the folder's files are then exactly the pages.
void WriteAll(VsLogBook& book, MemoryFileSystem& fs, const std::string& folder) {
  for (size_t page = 0; page < kPageCount; ++page) {
    LW_CHECK(WritePage(page, book, fs, PagePath(folder, page)) == 0);
  }
  LW_CHECK(fs.files.size() == kPageCount);
}

// The same matches under names with no byte the pages must escape.
void CopyWithPlainNames(const VsLogBook& from, VsLogBook& to) {
  for (size_t i = 0; i < from.opponents.size(); ++i) {
    std::string name = "n" + std::to_string(i);
    for (const MatchRecord& m : from.opponents[i].matches) to.OpenMatch(name) = m;
  }
}

std::string ReadWholeFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// The platform's own file system, in one scratch folder per process.
void CheckOnDisk(VsLogBook& book, const MemoryFileSystem& expected, const std::string& memoryFolder) {
  // Never destroyed, so the exit handler that removes it still has its name.
  static const std::string& folder = *[] {
    auto* path = new std::string(
        (std::filesystem::temp_directory_path() / "ledgerwise-fuzz-XXXXXX").string());
    LW_CHECK(::mkdtemp(&(*path)[0]) != nullptr);
    return path;
  }();
  static const bool cleanup = [] {
    return std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    }) == 0;
  }();
  (void)cleanup;
  std::unique_ptr<FileSystem> fs = platform::NewEnv();
  for (size_t page = 0; page < kPageCount; ++page) {
    LW_CHECK(WritePage(page, book, *fs, PagePath(folder, page)) == 0);
  }
  size_t entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    (void)entry;
    ++entries;
  }
  LW_CHECK(entries == kPageCount);
  for (size_t page = 0; page < kPageCount; ++page) {
    LW_CHECK(ReadWholeFile(PagePath(folder, page)) == expected.files.at(PagePath(memoryFolder, page)));
  }
}

}  // namespace

void RunPipelineCase(const uint8_t* data, size_t size) {
  Input input = SplitInput(data, size);
  VsLogBook book;
  for (size_t i = 0; i < input.files.size(); ++i) {
    FeedFile(book, input.files[i], input.options & 1 ? input.options + i : 0);
  }
  CheckBookShape(book);
  ComputeStatistics(book);

  // First run: old pages in place, one step of one page may fail.
  const std::string folder = "/data/analyze";
  MemoryFileSystem first;
  for (size_t page = 0; page < kPageCount; ++page) {
    first.files[PagePath(folder, page)] = "old " + std::string(kPages[page].name) + "\r\n";
  }
  size_t faultPage = input.faults % 8;
  Fault fault = static_cast<Fault>(1 + (input.faults >> 3) % 4);
  if (faultPage < kPageCount) first.FailAt(PagePath(folder, faultPage), fault);
  for (size_t page = 0; page < kPageCount; ++page) {
    std::string path = PagePath(folder, page);
    int result = WritePage(page, book, first, path);
    // Nothing but the pages: a temporary file never outlives its page.
    LW_CHECK(first.files.size() == kPageCount);
    if (page != faultPage) {
      LW_CHECK(result == 0);
      CheckWellFormed(first.files[path], page);
    } else {
      LW_CHECK(result == -1);
      LW_CHECK(first.files[path] == "old " + std::string(kPages[page].name) + "\r\n");
      LW_CHECK(book.GetErrorText().find(path) != std::string::npos);
    }
  }

  // A second statistics pass over the same book: the same bytes.
  ComputeStatistics(book);
  MemoryFileSystem second;
  WriteAll(book, second, folder);
  for (size_t page = 0; page < kPageCount; ++page) {
    std::string path = PagePath(folder, page);
    CheckWellFormed(second.files[path], page);
    if (page != faultPage) LW_CHECK(second.files[path] == first.files[path]);
  }

  // Every match has its row and every ranked opponent (and the player, once
  // ranked) its place.
  const std::string& vslog = second.files[PagePath(folder, 5)];
  const std::string& ranking = second.files[PagePath(folder, 4)];
  size_t matches = 0, ranked = 0;
  for (const OpponentRecord& o : book.opponents) {
    matches += o.matches.size();
    ranked += o.ranked;
  }
  LW_CHECK(CountLines(vslog, "  <TR class=a>") + CountLines(vslog, "  <TR class=b>") == matches);
  LW_CHECK(CountLines(ranking, "  <TR class=a>") + CountLines(ranking, "  <TR class=b>") +
               CountLines(ranking, "  <TR class=c>") ==
           ranked + (book.stats.ownRanked ? 1 : 0));

  // Markup comes from the page code only: the same matches under plain
  // names give the same count of every byte that opens or closes markup on
  // the two pages that show names.
  VsLogBook plain;
  CopyWithPlainNames(book, plain);
  ComputeStatistics(plain);
  MemoryFileSystem third;
  for (size_t page : {4, 5}) {
    std::string path = PagePath(folder, page);
    LW_CHECK(WritePage(page, plain, third, path) == 0);
    for (char c : {'<', '>', '"'}) {
      LW_CHECK(CountByte(second.files[path], c) == CountByte(third.files[path], c));
    }
  }

  if ((input.faults & 0xe0) == 0xe0) CheckOnDisk(book, second, folder);
}

}  // namespace fuzz
}  // namespace ledgerwise

#ifndef LEDGERWISE_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerwise::fuzz::RunPipelineCase(data, size);
  return 0;
}
#endif

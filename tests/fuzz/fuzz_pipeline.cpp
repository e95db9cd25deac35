// The whole run over arbitrary logs: parse, the statistics pass and the six
// pages, written through the in-memory system failing where the input says. A
// page must end its lines in CR LF when written and be untouched when not,
// no temporary file may stay behind, a second statistics pass must not
// change a byte, and every match and ranked player must have its row.
#include <cstring>
#include <string>

#include "sjis_pages/pages.h"
#include "stats/statistics.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/memory_env.h"

namespace ledgerwise {
namespace fuzz {

namespace {

using testing::Fault;
using testing::MemoryEnv;

constexpr const char* kPages[] = {"index.html",       "menu.html",    "personal.html",
                                  "observation.html", "ranking.html", "vslog.html"};
constexpr size_t kPageCount = 6;

Status WritePage(size_t page, const VsLogBook& book, FileSystem& fs, const std::string& path) {
  if (page == 1) return WriteMenuPage(book, fs, path, LocalTime{2005, 5, 4, 21, 5, 10});
  constexpr Status (*kWriters[])(const VsLogBook&, FileSystem&, const std::string&) = {
      WriteIndexPage,       nullptr,          WritePersonalPage,
      WriteObservationPage, WriteRankingPage, WriteVsLogPage};
  return kWriters[page](book, fs, path);
}

std::string PagePath(size_t page) { return std::string("/data/analyze/") + kPages[page]; }

// memchr rather than a loop: the loop's compares would be traced for coverage
// on every page byte, which costs more than the pages themselves.
size_t CountOf(const std::string& bytes, std::string_view needle) {
  size_t count = 0;
  for (const char* p = bytes.data();
       (p = static_cast<const char*>(std::memchr(p, needle[0], bytes.data() + bytes.size() - p))) !=
       nullptr;
       ++p) {
    count +=
        std::string_view(p, bytes.data() + bytes.size() - p).substr(0, needle.size()) == needle;
  }
  return count;
}

void CheckCrLf(const std::string& bytes) {
  LW_CHECK(bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r\n") == 0);
  LW_CHECK(CountOf(bytes, "\n") == CountOf(bytes, "\r\n"));
}

// The first run: old pages in place, one step of one page may fail.
void CheckFirstRun(VsLogBook& book, MemoryEnv& env, uint8_t faults) {
  for (size_t page = 0; page < kPageCount; ++page) env.files[PagePath(page)] = "old\r\n";
  size_t faultPage = faults % 8;
  if (faultPage < kPageCount) {
    env.faultPath = PagePath(faultPage);
    constexpr Fault kSteps[] = {Fault::Create, Fault::Append, Fault::Close, Fault::Replace};
    env.fault = kSteps[(faults >> 3) % 4];
  }
  for (size_t page = 0; page < kPageCount; ++page) {
    Status result = WritePage(page, book, env, PagePath(page));
    // Nothing but the pages: a temporary file never outlives its page.
    LW_CHECK(env.files.size() == kPageCount);
    if (page != faultPage) {
      LW_CHECK(result.ok());
      CheckCrLf(env.files[PagePath(page)]);
    } else {
      LW_CHECK(!result.ok() && env.files[PagePath(page)] == "old\r\n");
      LW_CHECK(result.path() == PagePath(page));
    }
  }
}

}  // namespace

void RunPipelineCase(const uint8_t* data, size_t size) {
  Input input = SplitInput(data, size);
  VsLogBook book;
  for (const LogFile& file : input.files)
    FeedFile(book, file, input.options & 1 ? input.options : 0);
  ComputeStatistics(book);
  MemoryEnv first;
  CheckFirstRun(book, first, input.faults);

  // A second statistics pass over the same book: the same bytes.
  ComputeStatistics(book);
  MemoryEnv second;
  for (size_t page = 0; page < kPageCount; ++page) {
    LW_CHECK(WritePage(page, book, second, PagePath(page)).ok());
    if (first.faultPath != PagePath(page))
      LW_CHECK(second.files[PagePath(page)] == first.files[PagePath(page)]);
  }

  // Every match has its row and every ranked opponent (and the player, once
  // ranked) its place.
  const std::string& vslog = second.files[PagePath(5)];
  const std::string& ranking = second.files[PagePath(4)];
  size_t matches = 0, ranked = book.stats.ownRanked ? 1 : 0;
  for (const OpponentRecord& o : book.opponents) matches += o.matches.size(), ranked += o.ranked;
  LW_CHECK(CountOf(vslog, "\r\n  <TR class=a>\r\n") + CountOf(vslog, "\r\n  <TR class=b>\r\n") ==
           matches);
  LW_CHECK(CountOf(ranking, "\r\n  <TR class=a>\r\n") + CountOf(ranking, "\r\n  <TR class=b>\r\n") +
               CountOf(ranking, "\r\n  <TR class=c>\r\n") ==
           ranked);
}

}  // namespace fuzz
}  // namespace ledgerwise

#ifndef LEDGERWISE_FUZZ_REPLAY
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ledgerwise::fuzz::RunPipelineCase(data, size);
  return 0;
}
#endif

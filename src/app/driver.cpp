#include "app/driver.h"

#include <vector>

#include "app/messages.h"
#include "app/platform.h"
#include "log/log_parser.h"
#include "log/records.h"
#include "report/dashboard.h"
#include "report/match_csv.h"
#include "report/pages.h"
#include "stats/statistics.h"

namespace ledgerwise {

namespace {

class Console {
 public:
  Console() : utf8_(platform::ConsoleWantsUtf8()) {}
  void Print(const Message& m, const std::string& argument = "") {
    platform::WriteConsole(Render(m, utf8_, argument));
  }
  void PrintError(const std::string& errorText) {
    Print(msg::kErrorLine, LocalizeErrorText(errorText, utf8_));
  }
  void Text(const std::string& bytes) { platform::WriteConsole(bytes); }

 private:
  bool utf8_;
};

std::string Join(const std::string& folder, const std::string& name) {
  return folder + platform::kPathSeparator + name;
}

// Steps up to the data folder. False when the run cannot go on.
bool LocateDataFolder(const RunOptions& options, Console& console, std::string* folder) {
  if (!options.dataFolder.empty()) {
    *folder = options.dataFolder;
    if (platform::IsDirectory(*folder)) return true;
    console.Print(msg::kDataFolderMissing, *folder);
    return false;
  }
  switch (platform::FindDataFolder(folder)) {
    case platform::FolderSearch::Found:
      return true;
    case platform::FolderSearch::VersionUnknown:
      console.Print(msg::kVersionQueryFailed);
      return false;
    case platform::FolderSearch::InstallFolderUnknown:
      console.Print(msg::kInstallFolderUnknown);
      return false;
    case platform::FolderSearch::InstallFolderMissing:
      console.Print(msg::kInstallFolderMissing, *folder);
      return false;
    case platform::FolderSearch::DataFolderMissing:
      console.Print(msg::kDataFolderMissing, *folder);
      console.Print(msg::kDataFolderArgumentHint);
      return false;
  }
  return false;
}

// Every log file into the book; false when one could not be read.
bool ParseAll(VsLogBook& book, const std::string& folder, const std::vector<std::string>& names,
              Console& console) {
  bool allRead = true;
  for (const std::string& name : names) {
    console.Text("  " + name + "\n");
    if (ParseLogFile(book, Join(folder, name)) < 0) {
      console.PrintError(book.GetErrorText());
      allRead = false;
    }
  }
  return allRead;
}

// The six pages; false when one could not be written. A failed page does
// not stop the others.
bool WritePages(VsLogBook& book, const std::string& outputFolder, Console& console) {
  std::unique_ptr<FileSystem> fs = platform::NewFileSystem();
  LocalTime now = platform::CurrentLocalTime();
  struct Page {
    const char* name;
    int (*write)(VsLogBook&, FileSystem&, const std::string&);
  };
  static const Page kPages[] = {
      {"index.html", WriteIndexPage},
      {"menu.html", nullptr},
      {"personal.html", WritePersonalPage},
      {"observation.html", WriteObservationPage},
      {"ranking.html", WriteRankingPage},
      {"vslog.html", WriteVsLogPage},
      {"dashboard.html", WriteDashboard},
      {"matches.csv", WriteMatchCsv},
  };
  bool allWritten = true;
  for (const Page& page : kPages) {
    std::string path = Join(outputFolder, page.name);
    int result = page.write ? page.write(book, *fs, path) : WriteMenuPage(book, *fs, path, now);
    if (result < 0) {
      console.PrintError(book.GetErrorText());
      allWritten = false;
    }
  }
  return allWritten;
}

// Steps from the data folder to the last page; false on any failure.
bool Analyze(const RunOptions& options, Console& console) {
  std::string dataFolder;
  if (!LocateDataFolder(options, console, &dataFolder)) return false;
  std::vector<std::string> names;
  if (!platform::ListLogFiles(dataFolder, &names) || names.empty()) {
    console.Print(msg::kNoLogFiles);
    return false;
  }
  VsLogBook book;
  console.Print(msg::kAnalyzing);
  console.Text("\n");
  bool ok = ParseAll(book, dataFolder, names, console);
  ComputeStatistics(book);
  console.Text("\n");
  console.Print(msg::kWritingResults);
  std::string outputFolder = Join(dataFolder, "analyze");
  if (!platform::EnsureDirectory(outputFolder)) {
    console.Print(msg::kOutputFolderFailed, outputFolder);
    return false;
  }
  if (!WritePages(book, outputFolder, console)) ok = false;
  console.Text("\n");
  console.Print(msg::kDone);
  return ok;
}

}  // namespace

int Run(const RunOptions& options) {
  Console console;
  console.Text(std::string("\n") + platform::kProgramName + " " + kVersionText + "\n");
  console.Text("Copyright (C) the Ledgerwise developers\n\n");
  bool ok = Analyze(options, console);
  // A script, a pipe or a scheduled task never waits.
  if (!options.noWait && platform::StdinIsConsole()) {
    console.Print(msg::kPressAnyKey);
    platform::WaitForKey();
  }
  return ok ? 0 : platform::kFailureExitCode;
}

}  // namespace ledgerwise

#include "app/messages.h"

#include <cctype>
#include <cstring>
#include <string_view>

#include "log/log_parser.h"
#include "report/output_file.h"

namespace ledgerwise {

namespace msg {
const Message kVersionQueryFailed = {
    "OS\x82\xcc\x83\x6f\x81\x5b\x83\x57\x83\x87\x83\x93\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94\x73"
    "\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\n",
    "OSのバージョン取得に失敗しました。\n"};
const Message kInstallFolderUnknown = {
    "Brumbel\x82\xcc\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x83\x74\x83\x48\x83\x8b"
    "\x83\x5f\x82\xcc\x8e\xe6\x93\xbe\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    "\x81\x42\n",
    "Brumbelのインストールフォルダの取得に失敗しました。\n"};
const Message kInstallFolderMissing = {
    "Brumbel\x82\xcc\x83\x43\x83\x93\x83\x58\x83\x67\x81\x5b\x83\x8b\x83\x74\x83\x48\x83\x8b"
    "\x83\x5f %s \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5"
    "\x82\xbd\x81\x42\n",
    "Brumbelのインストールフォルダ %s が見つかりませんでした。\n"};
const Message kDataFolderMissing = {
    "Brumbel\x82\xcc\x83\x66\x81\x5b\x83\x5e\x83\x74\x83\x48\x83\x8b\x83\x5f %s \x82\xaa\x8c\xa9"
    "\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42\n",
    "Brumbelのデータフォルダ %s が見つかりませんでした。\n"};
const Message kDataFolderArgumentHint = {
    "\x83\x66\x81\x5b\x83\x5e\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xcd\x83\x52\x83\x7d\x83\x93"
    "\x83\x68\x83\x89\x83\x43\x83\x93\x82\xcc\x88\xf8\x90\x94\x82\xc5\x8e\x77\x92\xe8\x82\xc5"
    "\x82\xab\x82\xdc\x82\xb7\x81\x42\n",
    "データフォルダはコマンドラインの引数で指定できます。\n"};
const Message kNoLogFiles = {
    "Brumbel\x82\xcc\x91\xce\x90\xed\x83\x8d\x83\x4f\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa"
    "\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42\n",
    "Brumbelの対戦ログファイルが見つかりませんでした。\n"};
const Message kAnalyzing = {"\x95\xaa\x90\xcd\x92\x86\x81\x45\x81\x45\x81\x45\n", "分析中・・・\n"};
const Message kErrorLine = {"\x83\x47\x83\x89\x81\x5b : %s\n", "エラー : %s\n"};
const Message kWritingResults = {
    "\x8c\x8b\x89\xca\x8f\x6f\x97\xcd\x92\x86\x81\x45\x81\x45\x81\x45\n", "結果出力中・・・\n"};
const Message kOutputFolderFailed = {
    "\x95\xaa\x90\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x83\x74\x83\x48\x83\x8b\x83\x5f %s \x82\xcc"
    "\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\n",
    "分析ファイルフォルダ %s の作成に失敗しました。\n"};
const Message kDone = {"\x8a\xae\x97\xb9\x81\x49\n", "完了！\n"};
const Message kPressAnyKey = {
    "\x89\xbd\x82\xa9\x83\x4c\x81\x5b\x82\xf0\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82"
    "\xa2"
    "\x81\x42\n",
    "何かキーを押してください。\n"};
const Message kNotAFolder = {
    "%s \x82\xcd\x83\x74\x83\x48\x83\x8b\x83\x5f\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9"
    "\x82\xf1\x81\x42\n",
    "%s はフォルダではありません。\n"};
const Message kListingFailed = {
    "\x83\x74\x83\x48\x83\x8b\x83\x5f %s \x82\xcc\x88\xea\x97\x97\x82\xf0\x8d\xc5\x8c\xe3\x82\xdc"
    "\x82\xc5\x93\xc7\x82\xdf\x82\xdc\x82\xb9\x82\xf1\x82\xc5\x82\xb5\x82\xbd\x81\x42\n",
    "フォルダ %s の一覧を最後まで読めませんでした。\n"};
const Message kSameDate = {
    "\x93\xaf\x82\xb6\x93\xfa\x95\x74\x82\xcc\x83\x8d\x83\x4f\x82\xaa\x95\xa1\x90\x94\x82\xa0\x82"
    "\xe8\x82\xdc\x82\xb7\x81\x42\x82\xc7\x82\xea\x82\xe0\x93\xc7\x82\xdd\x82\xdc\x82\xb7 : %s\n",
    "同じ日付のログが複数あります。どれも読みます : %s\n"};
const Message kWaitingForOtherRun = {
    "\x82\xd9\x82\xa9\x82\xcc\x8e\xc0\x8d\x73\x82\xaa\x8f\x49\x82\xed\x82\xe9\x82\xcc\x82\xf0\x91"
    "\xd2\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x45\x81\x45\x81\x45\n",
    "ほかの実行が終わるのを待っています・・・\n"};
const Message kOpenReport = {"\x83\x8c\x83\x7c\x81\x5b\x83\x67 : %s\n", "レポート : %s\n"};
const Message kOpenDashboard = {"\x83\x5f\x83\x62\x83\x56\x83\x85\x83\x7b\x81\x5b\x83\x68 : %s\n",
                                "ダッシュボード : %s\n"};
const Message kOutOfMemory = {
    "\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42\n",
    "メモリが足りません。\n"};
}  // namespace msg

namespace {

// Replaces the first "%s" of `format` with `argument`.
std::string Fill(std::string_view format, const std::string& argument) {
  size_t at = format.find("%s");
  if (at == std::string_view::npos) return std::string(format);
  std::string out(format.substr(0, at));
  out += argument;
  out += format.substr(at + 2);
  return out;
}

// The error formats of the book, with their words in UTF-8.
const Message kBookErrors[] = {
    {kInputOpenFailure, "入力ファイル %s が開けません。\n"},
    {kInputReadFailure, "入力ファイル %s の読み込みに失敗しました。\n"},
    {kPageOpenFailure, "ファイル %s が開けません。\n"},
    {kPageWriteFailure, "ファイル %s の書き込みに失敗しました。\n"},
};

}  // namespace

std::string Render(const Message& message, bool utf8, const std::string& argument) {
  return Fill(utf8 ? message.utf8 : message.sjis, argument);
}

std::string Printable(const std::string& text) {
  std::string out = text;
  for (char& c : out) {
    unsigned char b = static_cast<unsigned char>(c);
    if (b < 0x20 || b == 0x7F) c = '?';
  }
  return out;
}

bool LocaleWantsUtf8(const std::string& lcAll, const std::string& lcCtype,
                     const std::string& lang) {
  const std::string& locale = !lcAll.empty() ? lcAll : !lcCtype.empty() ? lcCtype : lang;
  size_t dot = locale.find('.');
  if (dot == std::string::npos) return true;
  std::string codeSet;
  for (char c : locale.substr(dot + 1, locale.find('@', dot) - dot - 1)) {
    if (c == '-' || c == '_') continue;
    codeSet += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  for (const char* sjis : {"sjis", "shiftjis", "cp932", "ms932", "windows31j", "pck"}) {
    if (codeSet == sjis) return false;
  }
  return true;
}

std::string LocalizeErrorText(const std::string& errorText, bool utf8) {
  if (!utf8) return errorText;
  for (const Message& m : kBookErrors) {
    std::string_view format = m.sjis;
    size_t at = format.find("%s");
    std::string_view head = format.substr(0, at), tail = format.substr(at + 2);
    std::string_view text = errorText;
    if (text.size() >= head.size() + tail.size() && text.substr(0, head.size()) == head &&
        text.substr(text.size() - tail.size()) == tail) {
      std::string path(text.substr(head.size(), text.size() - head.size() - tail.size()));
      return Fill(m.utf8, path);
    }
  }
  return errorText;
}

}  // namespace ledgerwise

#include "app/messages.h"

#include <cstring>
#include <string_view>

#include "log/log_parser.h"
#include "report/page_writer.h"

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
const Message kWritingResults = {"\x8c\x8b\x89\xca\x8f\x6f\x97\xcd\x92\x86\x81\x45\x81\x45\x81\x45\n",
                                 "結果出力中・・・\n"};
const Message kOutputFolderFailed = {
    "\x95\xaa\x90\xcd\x83\x74\x83\x40\x83\x43\x83\x8b\x83\x74\x83\x48\x83\x8b\x83\x5f %s \x82\xcc"
    "\x8d\xec\x90\xac\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\n",
    "分析ファイルフォルダ %s の作成に失敗しました。\n"};
const Message kDone = {"\x8a\xae\x97\xb9\x81\x49\n", "完了！\n"};
const Message kPressAnyKey = {
    "\x89\xbd\x82\xa9\x83\x4c\x81\x5b\x82\xf0\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2"
    "\x81\x42\n",
    "何かキーを押してください。\n"};
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
    {kPageOpenFailure, "ファイル %s が開けません。\n"},
    {kPageWriteFailure, "ファイル %s の書き込みに失敗しました。\n"},
};

}  // namespace

std::string Render(const Message& message, bool utf8, const std::string& argument) {
  return Fill(utf8 ? message.utf8 : message.sjis, argument);
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

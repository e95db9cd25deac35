// ledgerwise-loggen: writes a synthetic corpus of daily Brumbel log files.
//
// Each day with activity becomes DIR/YYYYMMDD.log, in Shift_JIS (code page
// 932) with CR LF line ends. The files hold play sessions at varied hours,
// matches of two or three games (replay saves, failed saves, wins, losses,
// matches cut short by an error or a logout, matches running past midnight
// into the next day's file), lobby and chat lines and system notices without
// a time prefix. Opponents come from a pool that grows over time; their shown
// records (wins, losses, rating, max chain, disconnect rate, grade) evolve
// between meetings. Only the lines of a match hold the phrases that mark
// match lines; other lines may come close (対戦を開始します, 勝ち越しました)
// but never contain them.
//
// Every random choice comes from a seeded splitmix64 generator and integer
// arithmetic, so the same arguments give the same bytes on every platform.
// Japanese texts are escaped Shift_JIS literals with the UTF-8 text in a
// comment beside them (tools/sjis_literal.py prints such literals).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_set>
#include <utility>
#include <vector>

namespace {

// --------------------------------------------------------------------------
// Texts (Shift_JIS)
// --------------------------------------------------------------------------
namespace text {

// The line kinds a reader recognises, with the wording around them.
constexpr char kStartLine[] =  // と対戦を開始しました
    "\x82\xc6\x91\xce\x90\xed\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kWinLine[] =  // さんに勝ちました
    "\x82\xb3\x82\xf1\x82\xc9\x8f\x9f\x82\xbf\x82\xdc\x82\xb5\x82\xbd";
constexpr char kLossLine[] =  // さんに負けました
    "\x82\xb3\x82\xf1\x82\xc9\x95\x89\x82\xaf\x82\xdc\x82\xb5\x82\xbd";
constexpr char kSaved[] =  // リプレイをオートセーブしました
    "\x83\x8a\x83\x76\x83\x8c\x83\x43\x82\xf0\x83\x49\x81\x5b\x83\x67\x83\x5a\x81\x5b"
    "\x83\x75\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kSaveFailed[] =  // セーブファイルが多いため、セーブできませんでした
    "\x83\x5a\x81\x5b\x83\x75\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x91\xbd\x82\xa2"
    "\x82\xbd\x82\xdf\x81\x41\x83\x5a\x81\x5b\x83\x75\x82\xc5\x82\xab\x82\xdc\x82\xb9"
    "\x82\xf1\x82\xc5\x82\xb5\x82\xbd";
constexpr char kErrorComm[] =  // 通信エラーが発生しました。対戦を中断します
    "\x92\xca\x90\x4d\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc"
    "\x82\xb5\x82\xbd\x81\x42\x91\xce\x90\xed\x82\xf0\x92\x86\x92\x66\x82\xb5\x82\xdc"
    "\x82\xb7";
constexpr char kErrorCode[] =  // エラーが発生しました（コード␣
    "\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd"
    "\x81\x69\x83\x52\x81\x5b\x83\x68 ";
constexpr char kErrorCodeEnd[] = "\x81\x6a";  // ）
constexpr char kLogout[] =                    // ログアウトしました
    "\x83\x8d\x83\x4f\x83\x41\x83\x45\x83\x67\x82\xb5\x82\xdc\x82\xb5\x82\xbd";

// Tokens of the opponent's record on a match-start line.
constexpr char kWinTok[] = "\x8f\x9f";                      // 勝
constexpr char kLossTok[] = "\x94\x73";                     // 敗
constexpr char kRatingTok[] = " \x83\x8c\x81\x5b\x83\x67";  // ␣レート
constexpr char kChainTok[] = " \x8d\xc5\x91\xe5";           // ␣最大
constexpr char kChainEnd[] = "\x98\x41\x8d\xbd";            // 連鎖
constexpr char kDiscTok[] = " \x90\xd8\x92\x66\x97\xa6";    // ␣切断率

const char* const kGrade[20] = {
    "\x82\x50\x82\x4f\x82\xab\x82\xe3\x82\xa4",  // １０きゅう
    "\x82\x58\x82\xab\x82\xe3\x82\xa4",          // ９きゅう
    "\x82\x57\x82\xab\x82\xe3\x82\xa4",          // ８きゅう
    "\x82\x56\x82\xab\x82\xe3\x82\xa4",          // ７きゅう
    "\x82\x55\x82\xab\x82\xe3\x82\xa4",          // ６きゅう
    "\x82\x54\x82\xab\x82\xe3\x82\xa4",          // ５きゅう
    "\x82\x53\x82\xab\x82\xe3\x82\xa4",          // ４きゅう
    "\x82\x52\x82\xab\x82\xe3\x82\xa4",          // ３きゅう
    "\x82\x51\x82\xab\x82\xe3\x82\xa4",          // ２きゅう
    "\x82\x50\x82\xab\x82\xe3\x82\xa4",          // １きゅう
    "\x82\xb5\x82\xe5\x82\xbe\x82\xf1",          // しょだん
    "\x82\x51\x82\xbe\x82\xf1",                  // ２だん
    "\x82\x52\x82\xbe\x82\xf1",                  // ３だん
    "\x82\x53\x82\xbe\x82\xf1",                  // ４だん
    "\x82\x54\x82\xbe\x82\xf1",                  // ５だん
    "\x82\x55\x82\xbe\x82\xf1",                  // ６だん
    "\x82\x56\x82\xbe\x82\xf1",                  // ７だん
    "\x82\x57\x82\xbe\x82\xf1",                  // ８だん
    "\x82\x58\x82\xbe\x82\xf1",                  // ９だん
    "\x82\x50\x82\x4f\x82\xbe\x82\xf1",          // １０だん
};

// First line of every file: ＝＝＝ 2005年05月04日（水） ＝＝＝
constexpr char kHeadOpen[] = "\x81\x81\x81\x81\x81\x81 ";           // ＝＝＝␣
constexpr char kYear[] = "\x94\x4e";                                // 年
constexpr char kMonth[] = "\x8c\x8e";                               // 月
constexpr char kDayOpen[] = "\x93\xfa\x81\x69";                     // 日（
constexpr char kHeadClose[] = "\x81\x6a \x81\x81\x81\x81\x81\x81";  // ）␣＝＝＝
const char* const kWeekday[7] = {
    "\x93\xfa",  // 日
    "\x8c\x8e",  // 月
    "\x89\xce",  // 火
    "\x90\x85",  // 水
    "\x96\xd8",  // 木
    "\x8b\xe0",  // 金
    "\x93\x79",  // 土
};

// Session and lobby lines; none of them holds a phrase of a match line.
constexpr char kConnect[] =  // サーバーに接続しました
    "\x83\x54\x81\x5b\x83\x6f\x81\x5b\x82\xc9\x90\xda\x91\xb1\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kLogin[] =  // ログインしました。ようこそ、
    "\x83\x8d\x83\x4f\x83\x43\x83\x93\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\x82\xe6\x82\xa4"
    "\x82\xb1\x82\xbb\x81\x41";
constexpr char kSan[] = "\x82\xb3\x82\xf1";                       // さん
constexpr char kRoomOpen[] = "\x83\x8d\x83\x72\x81\x5b\x81\x75";  // ロビー「
constexpr char kRoomClose[] =                                     // 」に入室しました
    "\x81\x76\x82\xc9\x93\xfc\x8e\xba\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kEntered[] =  // さんが入室しました
    "\x82\xb3\x82\xf1\x82\xaa\x93\xfc\x8e\xba\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kLeft[] =  // さんが退室しました
    "\x82\xb3\x82\xf1\x82\xaa\x91\xde\x8e\xba\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kOffered[] =  // さんから対戦の申し込みがありました
    "\x82\xb3\x82\xf1\x82\xa9\x82\xe7\x91\xce\x90\xed\x82\xcc\x90\x5c\x82\xb5\x8d\x9e\x82\xdd"
    "\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb5\x82\xbd";
constexpr char kOffering[] =  // さんに対戦を申し込みました
    "\x82\xb3\x82\xf1\x82\xc9\x91\xce\x90\xed\x82\xf0\x90\x5c\x82\xb5\x8d\x9e\x82\xdd\x82\xdc"
    "\x82\xb5\x82\xbd";
constexpr char kSearching[] =  // 対戦相手を探しています…
    "\x91\xce\x90\xed\x91\x8a\x8e\xe8\x82\xf0\x92\x54\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7"
    "\x81\x63";
constexpr char kAboutToStart[] =  // まもなく対戦を開始します
    "\x82\xdc\x82\xe0\x82\xc8\x82\xad\x91\xce\x90\xed\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc"
    "\x82\xb7";
constexpr char kSettingsSaved[] =  // 設定をセーブしました
    "\x90\xdd\x92\xe8\x82\xf0\x83\x5a\x81\x5b\x83\x75\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kReplayPlayed[] =  // リプレイを再生しました
    "\x83\x8a\x83\x76\x83\x8c\x83\x43\x82\xf0\x8d\xc4\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kUnstable[] =  // 通信が不安定です
    "\x92\xca\x90\x4d\x82\xaa\x95\x73\x88\xc0\x92\xe8\x82\xc5\x82\xb7";
constexpr char kReconnected[] =  // サーバーに再接続しました
    "\x83\x54\x81\x5b\x83\x6f\x81\x5b\x82\xc9\x8d\xc4\x90\xda\x91\xb1\x82\xb5\x82\xdc\x82\xb5"
    "\x82\xbd";
constexpr char kCleaned[] =  // 古いリプレイファイルを削除しました
    "\x8c\xc3\x82\xa2\x83\x8a\x83\x76\x83\x8c\x83\x43\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xf0"
    "\x8d\xed\x8f\x9c\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kLeaveRoom[] =  // ロビーから退室しました
    "\x83\x8d\x83\x72\x81\x5b\x82\xa9\x82\xe7\x91\xde\x8e\xba\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kDisconnect[] =  // サーバーとの接続を終了しました
    "\x83\x54\x81\x5b\x83\x6f\x81\x5b\x82\xc6\x82\xcc\x90\xda\x91\xb1\x82\xf0\x8f\x49\x97\xb9"
    "\x82\xb5\x82\xdc\x82\xb5\x82\xbd";
constexpr char kChatSep[] = " > ";
constexpr char kPeopleOpen[] =  // 【サーバー】現在の接続人数は␣
    "\x81\x79\x83\x54\x81\x5b\x83\x6f\x81\x5b\x81\x7a\x8c\xbb\x8d\xdd\x82\xcc\x90\xda\x91\xb1"
    "\x90\x6c\x90\x94\x82\xcd ";
constexpr char kPeopleClose[] = " \x90\x6c\x82\xc5\x82\xb7";  // ␣人です

const char* const kRoom[] = {
    "\x8f\x89\x8b\x89\x8e\xd2\x83\x8b\x81\x5b\x83\x80",                  // 初級者ルーム
    "\x92\x86\x8b\x89\x8e\xd2\x83\x8b\x81\x5b\x83\x80",                  // 中級者ルーム
    "\x8f\xe3\x8b\x89\x8e\xd2\x83\x8b\x81\x5b\x83\x80",                  // 上級者ルーム
    "\x83\x74\x83\x8a\x81\x5b\x91\xce\x90\xed\x83\x8b\x81\x5b\x83\x80",  // フリー対戦ルーム
    "\x82\xdc\x82\xc1\x82\xbd\x82\xe8\x83\x8b\x81\x5b\x83\x80",          // まったりルーム
};

// System notices, written without a time prefix.
const char* const kNotice[] = {
    // 【お知らせ】毎週水曜日 4:00～6:00 は定期メンテナンスです
    "\x81\x79\x82\xa8\x92\x6d\x82\xe7\x82\xb9\x81\x7a\x96\x88\x8f\x54\x90\x85\x97\x6a\x93\xfa"
    " 4:00\x81\x60"
    "6:00 \x82\xcd\x92\xe8\x8a\xfa\x83\x81\x83\x93\x83\x65\x83\x69\x83\x93\x83"
    "\x58\x82\xc5\x82\xb7",
    // 【お知らせ】今月のランキングを更新しました
    "\x81\x79\x82\xa8\x92\x6d\x82\xe7\x82\xb9\x81\x7a\x8d\xa1\x8c\x8e\x82\xcc\x83\x89\x83\x93"
    "\x83\x4c\x83\x93\x83\x4f\x82\xf0\x8d\x58\x90\x56\x82\xb5\x82\xdc\x82\xb5\x82\xbd",
    // 【お知らせ】新しい対戦ルームを追加しました
    "\x81\x79\x82\xa8\x92\x6d\x82\xe7\x82\xb9\x81\x7a\x90\x56\x82\xb5\x82\xa2\x91\xce\x90\xed"
    "\x83\x8b\x81\x5b\x83\x80\x82\xf0\x92\xc7\x89\xc1\x82\xb5\x82\xdc\x82\xb5\x82\xbd",
    // 【お知らせ】迷惑行為は通報してください
    "\x81\x79\x82\xa8\x92\x6d\x82\xe7\x82\xb9\x81\x7a\x96\xc0\x98\x66\x8d\x73\x88\xd7\x82\xcd"
    "\x92\xca\x95\xf1\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2",
    // 【サーバー】混雑のため応答が遅くなっています
    "\x81\x79\x83\x54\x81\x5b\x83\x6f\x81\x5b\x81\x7a\x8d\xac\x8e\x47\x82\xcc\x82\xbd\x82\xdf"
    "\x89\x9e\x93\x9a\x82\xaa\x92\x78\x82\xad\x82\xc8\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7",
};

// Chat.
const char* const kGreet[] = {
    "\x82\xe6\x82\xeb\x82\xb5\x82\xad\x82\xa8\x8a\xe8\x82\xa2\x82\xb5\x82\xdc\x82\xb7",  // よろしくお願いします
    "\x82\xe6\x82\xeb\x82\xb5\x82\xad\x82\xc5\x82\xb7",          // よろしくです
    "\x82\xa8\x8a\xe8\x82\xa2\x82\xb5\x82\xdc\x82\xb7\x81\x49",  // お願いします！
    "\x82\xe6\x82\xeb\x81\x5b",                                  // よろー
};
const char* const kThanks[] = {
    // ありがとうございました
    "\x82\xa0\x82\xe8\x82\xaa\x82\xc6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb5\x82\xbd",
    // 対戦ありがとうございました
    "\x91\xce\x90\xed\x82\xa0\x82\xe8\x82\xaa\x82\xc6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc"
    "\x82\xb5\x82\xbd",
    // ありがとうございました！
    "\x82\xa0\x82\xe8\x82\xaa\x82\xc6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb5\x82\xbd"
    "\x81\x49",
    "gg",
    // もう一回お願いします
    "\x82\xe0\x82\xa4\x88\xea\x89\xf1\x82\xa8\x8a\xe8\x82\xa2\x82\xb5\x82\xdc\x82\xb7",
};
const char* const kChat[] = {
    "\x82\xb1\x82\xf1\x82\xce\x82\xf1\x82\xcd",                                  // こんばんは
    "\x82\xb1\x82\xf1\x82\xc9\x82\xbf\x82\xcd",                                  // こんにちは
    "\x82\xa8\x82\xcd\x82\xe6\x82\xa4\x82\xb2\x82\xb4\x82\xa2\x82\xdc\x82\xb7",  // おはようございます
    "\x82\xa8\x82\xc2\x82\xa9\x82\xea\x82\xb3\x82\xdc\x82\xc5\x82\xb7",  // おつかれさまです
    "\x8b\xad\x82\xa2\x82\xc5\x82\xb7\x82\xcb",                          // 強いですね
    "\x83\x69\x83\x43\x83\x58\x98\x41\x8d\xbd\x81\x49",                  // ナイス連鎖！
    "\x8d\xa1\x82\xcc\x98\x41\x8d\xbd\x82\xb7\x82\xb2\x82\xa2",          // 今の連鎖すごい
    "\x90\xc9\x82\xb5\x82\xa9\x82\xc1\x82\xbd\x81\x63",                  // 惜しかった…
    // 落ちます、おやすみなさい
    ("\x97\x8e\x82\xbf\x82\xdc\x82\xb7\x81\x41\x82\xa8\x82\xe2\x82\xb7\x82\xdd\x82\xc8\x82\xb3"
     "\x82\xa2"),
    "\x82\xbd\x82\xbe\x82\xa2\x82\xdc",          // ただいま
    "\x82\xa8\x82\xa9\x82\xa6\x82\xe8\x81\x5b",  // おかえりー
    // 誰か対戦しませんか？
    "\x92\x4e\x82\xa9\x91\xce\x90\xed\x82\xb5\x82\xdc\x82\xb9\x82\xf1\x82\xa9\x81\x48",
    "\x83\x89\x83\x4f\x82\xa2\x82\xa9\x82\xe0",                          // ラグいかも
    "\x89\xf1\x90\xfc\x8f\x64\x82\xa2\x82\xc5\x82\xb7",                  // 回線重いです
    "\x82\x50\x82\x51\x98\x41\x8d\xbd\x91\x67\x82\xdf\x82\xbd\x81\x49",  // １２連鎖組めた！
    "\x8d\xa1\x93\xfa\x82\xcd\x92\xb2\x8e\x71\x82\xaa\x82\xa2\x82\xa2",  // 今日は調子がいい
    "\x8f\x9f\x82\xbf\x89\x7a\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x49",  // 勝ち越しました！
    "\x95\x89\x82\xaf\x82\xbd\x81\x60",                                  // 負けた～
    // リプレイ見返してます
    "\x83\x8a\x83\x76\x83\x8c\x83\x43\x8c\xa9\x95\xd4\x82\xb5\x82\xc4\x82\xdc\x82\xb7",
    "\x83\x5a\x81\x5b\x83\x75\x82\xc5\x82\xab\x82\xc8\x82\xa2\x81\x63",  // セーブできない…
    "\x82\x97\x82\x97\x82\x97",                                          // ｗｗｗ
    // 初心者です、よろしく
    "\x8f\x89\x90\x53\x8e\xd2\x82\xc5\x82\xb7\x81\x41\x82\xe6\x82\xeb\x82\xb5\x82\xad",
    "\x83\x8c\x81\x5b\x83\x67\x8f\xe3\x82\xaa\x82\xc1\x82\xbd\x81\x49",  // レート上がった！
    "lol",
    "brb",
};

// Pieces of player names.
const char* const kHira[] = {
    "\x82\xc6\x82\xdc\x82\xc6",          // とまと
    "\x82\xcb\x82\xb1",                  // ねこ
    "\x82\xa2\x82\xca",                  // いぬ
    "\x82\xa4\x82\xb3\x82\xac",          // うさぎ
    "\x82\xb3\x82\xad\x82\xe7",          // さくら
    "\x82\xa2\x82\xbf\x82\xb2",          // いちご
    "\x82\xdd\x82\xa9\x82\xf1",          // みかん
    "\x82\xe8\x82\xf1\x82\xb2",          // りんご
    "\x82\xe0\x82\xe0",                  // もも
    "\x82\xe4\x82\xab",                  // ゆき
    "\x82\xbb\x82\xe7",                  // そら
    "\x82\xd9\x82\xb5",                  // ほし
    "\x82\xc2\x82\xab",                  // つき
    "\x82\xcd\x82\xc8",                  // はな
    "\x82\xa9\x82\xba",                  // かぜ
    "\x82\xb1\x82\xbd\x82\xc2",          // こたつ
    "\x82\xa8\x82\xe0\x82\xbf",          // おもち
    "\x82\xbe\x82\xf1\x82\xb2",          // だんご
    "\x82\xd5\x82\xe8\x82\xf1",          // ぷりん
    "\x82\xdc\x82\xdf",                  // まめ
    "\x82\xad\x82\xdc",                  // くま
    "\x82\xbd\x82\xca\x82\xab",          // たぬき
    "\x82\xab\x82\xc2\x82\xcb",          // きつね
    "\x82\xd0\x82\xe6\x82\xb1",          // ひよこ
    "\x82\xd8\x82\xf1\x82\xac\x82\xf1",  // ぺんぎん
    "\x82\xe7\x82\xc1\x82\xb1",          // らっこ
    "\x82\xb1\x82\xc6\x82\xe8",          // ことり
    "\x82\xa0\x82\xdf",                  // あめ
    "\x82\xc9\x82\xb6",                  // にじ
    "\x82\xa9\x82\xa6\x82\xe9",          // かえる
    "\x82\xb7\x82\xb8\x82\xdf",          // すずめ
    "\x82\xbf\x82\xad\x82\xed",          // ちくわ
    "\x82\xa8\x82\xc9\x82\xac\x82\xe8",  // おにぎり
    "\x82\xdf\x82\xeb\x82\xf1",          // めろん
    "\x82\xd4\x82\xc7\x82\xa4",          // ぶどう
    "\x82\xea\x82\xe0\x82\xf1",          // れもん
    "\x82\xc8\x82\xb7",                  // なす
    "\x82\xa9\x82\xda\x82\xbf\x82\xe1",  // かぼちゃ
    "\x82\xc6\x82\xa4\x82\xd3",          // とうふ
    "\x82\xb5\x82\xb8\x82\xad",          // しずく
};
// Some characters below have 0x5C or 0x7C as second byte (ソ, ポ, 表, 能, 十, 予).
const char* const kKata[] = {
    "\x83\x5c\x83\x89",          // ソラ
    "\x83\x5c\x81\x5b\x83\x5f",  // ソーダ
    "\x83\x7d\x83\x8d\x83\x93",  // マロン
    "\x83\x52\x83\x52\x83\x41",  // ココア
    "\x83\x7e\x83\x8b\x83\x4e",  // ミルク
    "\x83\x8c\x83\x82\x83\x93",  // レモン
    "\x83\x56\x83\x8d",          // シロ
    "\x83\x4e\x83\x8d",          // クロ
    "\x83\x7c\x83\x60",          // ポチ
    "\x83\x5e\x83\x7d",          // タマ
    "\x83\x8b\x83\x69",          // ルナ
    "\x83\x6d\x83\x41",          // ノア
    "\x83\x8c\x83\x43",          // レイ
    "\x83\x4a\x83\x43",          // カイ
    "\x83\x8a\x83\x4e",          // リク
    "\x83\x86\x83\x45",          // ユウ
    "\x83\x6e\x83\x8b",          // ハル
    "\x83\x41\x83\x49",          // アオ
    "\x83\x7e\x83\x93\x83\x67",  // ミント
    "\x83\x82\x83\x4a",          // モカ
    "\x83\x5c\x83\x8b\x83\x67",  // ソルト
    "\x83\x7c\x83\x93",          // ポン
    "\x83\x73\x83\x88",          // ピヨ
    "\x83\x57\x83\x93",          // ジン
    "\x83\x5b\x83\x8d",          // ゼロ
    "\x83\x58\x83\x6f\x83\x8b",  // スバル
    "\x83\x71\x83\x4a\x83\x8a",  // ヒカリ
    "\x83\x69\x83\x4d",          // ナギ
    "\x83\x7b\x83\x58",          // ボス
    "\x83\x6c\x83\x8d",          // ネロ
};
const char* const kKanji[] = {
    "\x8e\x52\x93\x63",          // 山田
    "\x93\x63\x92\x86",          // 田中
    "\x91\xbe\x98\x59",          // 太郎
    "\x89\xd4\x8e\x71",          // 花子
    "\x8f\x5c\x95\xba\x89\x71",  // 十兵衛
    "\x95\x5c\x97\xa0",          // 表裏
    "\x94\x5c\x93\x6f",          // 能登
    "\x97\x5c\x94\xf5",          // 予備
    "\x97\x8b\x90\x5f",          // 雷神
    "\x95\x97\x90\x5f",          // 風神
    "\x8e\xbe\x95\x97",          // 疾風
    "\x8d\x67\x97\x74",          // 紅葉
    "\x8c\x8e\x89\x65",          // 月影
    "\x8d\xf7\x88\xe4",          // 桜井
    "\x8d\xb2\x93\xa1",          // 佐藤
    "\x97\xe9\x96\xd8",          // 鈴木
    "\x8d\x82\x8b\xb4",          // 高橋
    "\x91\x93",                  // 蒼
    "\xe3\xc4",                  // 翔
    "\x94\xb9\x90\x6c",          // 隼人
    "\x8c\x95\x8e\x6d",          // 剣士
    "\x96\x82\x89\xa4",          // 魔王
    "\x97\x45\x8e\xd2",          // 勇者
    "\x96\xb3\x91\x6f",          // 無双
    "\x95\x53\x8e\xae",          // 百式
    "\x8b\xc5",                  // 暁
    "\x8d\x95\x94\x4c",          // 黒猫
    "\x94\x92\x94\x4c",          // 白猫
    "\x8e\x98",                  // 侍
    "\x94\x45\x8e\xd2",          // 忍者
};
const char* const kWide[] = {
    "\x82\x60\x82\x61\x82\x62",          // ＡＢＣ
    "\x82\x71\x82\x85\x82\x84",          // Ｒｅｄ
    "\x82\x79\x82\x64\x82\x71\x82\x6e",  // ＺＥＲＯ
    "\x82\x6d\x82\x64\x82\x6a\x82\x6e",  // ＮＥＫＯ
    "\x82\x6a\x82\x51",                  // Ｋ２
    "\x82\x72\x82\x6a\x82\x78",          // ＳＫＹ
};
const char* const kAscii[] = {
    "Taro",  "ken",  "Zero", "nyan", "Momo", "ace",  "Blue", "Red",  "Kuro",
    "mochi", "sora", "Rin",  "Jin",  "neko", "Max",  "luna", "tomo", "yuki",
    "Kai",   "Leo",  "nova", "pika", "Sho",  "riku", "Hal",
};
const char* const kSuffix[] = {
    "\x82\xbf\x82\xe1\x82\xf1",  // ちゃん
    "\x82\xad\x82\xf1",          // くん
    "\x81\x99",                  // ☆
    "\x81\x9a",                  // ★
    "\x81\xf4",                  // ♪
    "\x81\x5b",                  // ー
    "\x82\xc1\x82\xbf",          // っち
    "\x8a\xdb",                  // 丸
    "\x89\xfc",                  // 改
    "\x93\xf1\x8d\x86",          // 二号
    "\x81\x94",                  // ＃
    "\x97\x6c",                  // 様
    "\x90\xe6\x90\xb6",          // 先生
};
const char* const kParenTag[] = {
    "\x89\xbc",                  // 仮
    "\x83\x54\x83\x75",          // サブ
    "\x8f\x89\x90\x53\x8e\xd2",  // 初心者
    "\x8b\x78\x8e\x7e\x92\x86",  // 休止中
    "\x97\xfb\x8f\x4b\x97\x70",  // 練習用
    "2nd",
};
constexpr char kNo[] = "\x82\xcc";         // の
constexpr char kWideOpen[] = "\x81\x69";   // （
constexpr char kWideClose[] = "\x81\x6a";  // ）

}  // namespace text

// --------------------------------------------------------------------------
// Randomness: splitmix64 and integer helpers only
// --------------------------------------------------------------------------
class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}

  uint64_t next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, n); 0 when n is 0.
  uint32_t below(uint32_t n) { return static_cast<uint32_t>(((next() >> 32) * n) >> 32); }
  // Uniform in [lo, hi], hi >= lo.
  int range(int lo, int hi) {
    return lo + static_cast<int>(below(static_cast<uint32_t>(hi - lo) + 1u));
  }
  int64_t range64(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(next() % static_cast<uint64_t>(hi - lo + 1));
  }
  bool chance(uint32_t per_mille) { return below(1000) < per_mille; }
  template <std::size_t N>
  const char* pick(const char* const (&table)[N]) {
    return table[below(static_cast<uint32_t>(N))];
  }

 private:
  uint64_t state_;
};

int clamp_int(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

// --------------------------------------------------------------------------
// Calendar (proleptic Gregorian, days counted from 1970-01-01)
// --------------------------------------------------------------------------
struct Date {
  int year;
  int month;
  int day;
};

int64_t days_from_civil(int64_t y, int m, int d) {
  y -= m <= 2 ? 1 : 0;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

Date civil_from_days(int64_t z) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  return {static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

// 0 = Sunday; 1970-01-01 was a Thursday.
int weekday(int64_t days) { return static_cast<int>(((days % 7) + 11) % 7); }

// --------------------------------------------------------------------------
// Output
// --------------------------------------------------------------------------
void put_uint(std::string& out, uint64_t v) {
  char tmp[20];
  int n = 0;
  do {
    tmp[n++] = static_cast<char>('0' + v % 10);
    v /= 10;
  } while (v != 0);
  while (n > 0) out.push_back(tmp[--n]);
}

void put_2digits(std::string& out, int v) {
  out.push_back(static_cast<char>('0' + v / 10));
  out.push_back(static_cast<char>('0' + v % 10));
}

void put_4digits(std::string& out, int v) {
  put_2digits(out, v / 100);
  put_2digits(out, v % 100);
}

constexpr int64_t kDay = 86400;

// Collects the lines of one day at a time and writes each finished day to
// DIR/YYYYMMDD.log. Lines must come in time order; the timeline counts
// seconds from midnight of the first day.
class LogWriter {
 public:
  LogWriter(std::string dir, int64_t first_day) : dir_(std::move(dir)), first_day_(first_day) {
    buf_.reserve(1u << 20);
  }

  // Starts a line with the "[HH:MM:SS]" prefix; finish it with end().
  std::string& stamped(int64_t t) {
    route(t);
    const int s = static_cast<int>(t % kDay);
    buf_.push_back('[');
    put_2digits(buf_, s / 3600);
    buf_.push_back(':');
    put_2digits(buf_, s / 60 % 60);
    buf_.push_back(':');
    put_2digits(buf_, s % 60);
    buf_.push_back(']');
    return buf_;
  }
  // Starts a line without a time prefix, filed with the lines of second t.
  std::string& plain(int64_t t) {
    route(t);
    return buf_;
  }
  void end() { buf_.append("\r\n", 2); }

  void finish() { flush(); }
  uint64_t files() const { return files_; }
  uint64_t bytes() const { return bytes_; }

 private:
  void route(int64_t t) {
    if (t < last_) {
      std::fprintf(stderr, "ledgerwise-loggen: internal error: time went backwards\n");
      std::exit(3);
    }
    last_ = t;
    const int64_t day = t / kDay;
    if (day == day_) return;
    flush();
    day_ = day;
    const Date date = civil_from_days(first_day_ + day);
    buf_ += text::kHeadOpen;
    put_4digits(buf_, date.year);
    buf_ += text::kYear;
    put_2digits(buf_, date.month);
    buf_ += text::kMonth;
    put_2digits(buf_, date.day);
    buf_ += text::kDayOpen;
    buf_ += text::kWeekday[weekday(first_day_ + day)];
    buf_ += text::kHeadClose;
    end();
  }

  void flush() {
    if (day_ < 0 || buf_.empty()) return;
    const Date date = civil_from_days(first_day_ + day_);
    std::string path = dir_;
    path.push_back('/');
    put_4digits(path, date.year);
    put_2digits(path, date.month);
    put_2digits(path, date.day);
    path += ".log";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
      std::fprintf(stderr, "ledgerwise-loggen: cannot write %s\n", path.c_str());
      std::exit(1);
    }
    const std::size_t written = std::fwrite(buf_.data(), 1, buf_.size(), f);
    if (std::fclose(f) != 0 || written != buf_.size()) {
      std::fprintf(stderr, "ledgerwise-loggen: error writing %s\n", path.c_str());
      std::exit(1);
    }
    ++files_;
    bytes_ += buf_.size();
    buf_.clear();
  }

  std::string dir_;
  int64_t first_day_;
  int64_t day_ = -1;
  int64_t last_ = 0;
  std::string buf_;
  uint64_t files_ = 0;
  uint64_t bytes_ = 0;
};

// --------------------------------------------------------------------------
// Opponents
// --------------------------------------------------------------------------
struct Opponent {
  std::string name;
  int64_t seen = 0;   // second up to which the shown record is up to date
  uint32_t wins = 0;  // shown record, in matches
  uint32_t losses = 0;
  int rating = 1500;
  int skill = 1500;    // the rating they drift towards
  int win_rate = 500;  // per mille, against the rest of the server
  int chain = 0;       // best chain so far; 0 = none recorded yet
  int chain_cap = 5;
  int disconnect = 0;        // percent
  int games_per_day = 1;     // matches they play with others
  int weight = 4;            // out of 64: how readily the player meets them again
  int64_t until = 0;         // second after which they no longer play
  bool hides_chain = false;  // an older client: no max-chain token at all
};

int grade_index(const Opponent& o) {
  if (o.wins + o.losses < 50) return std::min(9, static_cast<int>(o.wins / 5));
  return clamp_int((o.rating - 1000) / 55, 0, 19);
}

class NameMaker {
 public:
  explicit NameMaker(Rng& rng) : rng_(rng) {}

  enum class Kind { kPlain, kParen, kMarkup, kLong };

  std::string make(Kind kind, uint32_t variant = 0) {
    std::string s;
    switch (kind) {
      case Kind::kPlain:
        s = plain();
        break;
      case Kind::kParen:
        s = paren();
        break;
      case Kind::kMarkup:
        s = markup(variant);
        break;
      case Kind::kLong:
        s = long_name();
        break;
    }
    return unique(std::move(s));
  }

 private:
  std::string word() {
    const uint32_t r = rng_.below(20);
    if (r < 8) return rng_.pick(text::kHira);
    if (r < 14) return rng_.pick(text::kKata);
    if (r < 19) return rng_.pick(text::kKanji);
    return rng_.pick(text::kWide);
  }

  std::string plain() {
    const uint32_t r = rng_.below(100);
    std::string s;
    if (r < 60) {
      s = word();
      if (rng_.chance(350)) s += rng_.pick(text::kSuffix);
    } else if (r < 75) {  // ASCII letters only, maybe with digits
      s = rng_.pick(text::kAscii);
      if (rng_.chance(500)) put_uint(s, static_cast<uint64_t>(rng_.range(1, 99)));
    } else if (r < 85) {  // mixed scripts
      if (rng_.chance(500)) {
        s = word();
        s += rng_.pick(text::kAscii);
      } else {
        s = rng_.pick(text::kAscii);
        s += word();
      }
    } else {
      s = word();
      s += word();
    }
    return s;
  }

  // A name holding an ASCII "(" and ")", e.g. ねこ(仮); now and then full-width.
  std::string paren() {
    std::string s = word();
    if (rng_.chance(200)) s += rng_.pick(text::kSuffix);
    const bool wide = rng_.chance(150);
    s += wide ? text::kWideOpen : "(";
    s += rng_.pick(text::kParenTag);
    s += wide ? text::kWideClose : ")";
    return s;
  }

  // A name with one of & < > " in it; `variant` picks which.
  std::string markup(uint32_t variant) {
    std::string s;
    switch (variant % 6) {
      case 0:
        s = word();
        s += '&';
        s += word();
        break;
      case 1:
        s = '<';
        s += word();
        s += '>';
        break;
      case 2:
        s = '"';
        s += word();
        s += '"';
        break;
      case 3:
        s = word();
        s += ">_<";
        break;
      case 4:
        s = rng_.pick(text::kAscii);
        s += '&';
        s += rng_.pick(text::kAscii);
        break;
      default:
        s = "<<";
        s += rng_.pick(text::kAscii);
        s += ">>";
        break;
    }
    return s;
  }

  // At least 16 bytes, at most about 30.
  std::string long_name() {
    std::string s = word();
    while (s.size() < 16) {
      if (rng_.chance(300)) s += text::kNo;
      s += word();
    }
    if (rng_.chance(300)) s += rng_.pick(text::kSuffix);
    return s;
  }

  std::string unique(std::string s) {
    if (used_.insert(s).second) return s;
    for (uint64_t k = 2;; ++k) {
      std::string t = s;
      put_uint(t, k);
      if (used_.insert(t).second) return t;
    }
  }

  Rng& rng_;
  std::unordered_set<std::string> used_;
};

class Pool {
 public:
  Pool(Rng& rng, uint32_t total) : rng_(rng), names_(rng), total_(total) { ops_.reserve(total); }

  // The player's own name, drawn from the same stock so no opponent shares it.
  std::string player_name() { return names_.make(NameMaker::Kind::kPlain); }

  uint32_t unlocked() const { return static_cast<uint32_t>(ops_.size()); }
  uint32_t met() const { return met_; }
  Opponent& at(uint32_t i) { return ops_[i]; }

  // Brings opponents into the game until `count` are there, as of second t.
  void unlock(uint32_t count, int64_t t) {
    count = std::min(count, total_);
    while (ops_.size() < count) ops_.push_back(create(static_cast<uint32_t>(ops_.size()), t));
  }

  uint32_t meet_next() { return met_++; }

  // An opponent met before who still plays at second t: old acquaintances
  // and recent ones, the favourite rivals far more often than casual players.
  uint32_t pick_known(int64_t t) {
    const uint32_t recent = std::min(met_, std::max<uint32_t>(16, met_ / 6));
    for (int tries = 0; tries < 64; ++tries) {
      const uint32_t i = rng_.chance(500) ? rng_.below(met_) : met_ - 1 - rng_.below(recent);
      if (ops_[i].until >= t && rng_.below(64) < static_cast<uint32_t>(ops_[i].weight)) return i;
    }
    return met_ - 1 - rng_.below(std::min<uint32_t>(met_, 8));
  }

  // Moves the shown record on by the matches the opponent played with others
  // since it was last brought up to date.
  void catch_up(Opponent& o, int64_t t) {
    const int64_t gap = t - o.seen;
    if (gap <= 0) return;
    o.seen = t;
    int64_t games = (gap * o.games_per_day + static_cast<int64_t>(rng_.below(kDay))) / kDay;
    if (gap > 30 * kDay) games = games * rng_.range(30, 100) / 100;  // breaks of their own
    if (games == 0) return;
    const int64_t won = (games * o.win_rate + static_cast<int64_t>(rng_.below(1000))) / 1000;
    o.wins += static_cast<uint32_t>(won);
    o.losses += static_cast<uint32_t>(games - won);
    const int step = static_cast<int>(std::min<int64_t>(games, 80));
    const int jitter = std::min(step, 30);
    o.rating = clamp_int(o.rating + (o.skill - o.rating) * step / 160 + rng_.range(-jitter, jitter),
                         600, 2600);
    if (o.chain == 0) {
      o.chain = rng_.range(2, std::min(o.chain_cap, 5));
    } else if (o.chain < o.chain_cap && rng_.below(100) < static_cast<uint32_t>(step)) {
      ++o.chain;
    }
    if (rng_.below(4) == 0) o.disconnect = clamp_int(o.disconnect + rng_.range(-1, 1), 0, 60);
  }

 private:
  Opponent create(uint32_t index, int64_t t) {
    Opponent o;
    // A fixed share of unusual names, spread over the pool.
    NameMaker::Kind kind = NameMaker::Kind::kPlain;
    if (index % 17 == 3) {
      kind = NameMaker::Kind::kParen;
    } else if (index % 19 == 7) {
      kind = NameMaker::Kind::kMarkup;
    } else if (index % 11 == 5) {
      kind = NameMaker::Kind::kLong;
    }
    o.name = names_.make(kind, index / 19);
    o.seen = t;
    // Skill bands cycle through all twenty grades.
    const int band = static_cast<int>(index * 13u % 20u);
    o.skill = 1000 + band * 55 + rng_.range(0, 54);
    o.win_rate = clamp_int(500 + (o.skill - 1520) * 2 / 5, 150, 850);
    const uint32_t keen = rng_.below(100);
    int active_days;
    if (keen < 6) {
      o.weight = 64;
      o.games_per_day = rng_.range(4, 20);
      active_days = rng_.range(180, 4000);
    } else if (keen < 30) {
      o.weight = 16;
      o.games_per_day = rng_.range(2, 12);
      active_days = rng_.range(30, 1500);
    } else {
      o.weight = 2;
      o.games_per_day = rng_.range(1, 6);
      active_days = rng_.range(3, 400);
    }
    o.until = t + static_cast<int64_t>(active_days) * kDay;
    o.chain_cap = clamp_int(3 + (o.skill - 1000) / 70 + rng_.range(0, 2), 2, 19);
    o.hides_chain = rng_.chance(30);
    const uint32_t dc = rng_.below(100);
    o.disconnect = dc < 80 ? rng_.range(0, 3) : (dc < 95 ? rng_.range(4, 10) : rng_.range(11, 35));
    uint32_t total;
    if (rng_.chance(320)) {  // a newcomer, not ranked yet
      total = rng_.below(46);
      o.rating = 1500 + (o.skill - 1500) * static_cast<int>(total) / 100;
      o.chain = total < 6 ? 0 : rng_.range(2, std::min(o.chain_cap, 6));
    } else {
      total = 50 + rng_.below(rng_.below(4000) + 1);
      o.rating = clamp_int(o.skill + rng_.range(-60, 60), 600, 2600);
      o.chain = std::max(2, o.chain_cap - rng_.range(0, 2));
    }
    o.wins = static_cast<uint32_t>(
        (static_cast<uint64_t>(total) * static_cast<uint64_t>(o.win_rate) + rng_.below(1000)) /
        1000);
    o.losses = total - o.wins;
    return o;
  }

  Rng& rng_;
  NameMaker names_;
  uint32_t total_;
  uint32_t met_ = 0;
  std::vector<Opponent> ops_;
};

// --------------------------------------------------------------------------
// Sessions and matches
// --------------------------------------------------------------------------
struct Options {
  std::string out;
  uint64_t seed = 1;
  uint32_t days = 28;
  int64_t start_day = 0;  // days since 1970-01-01
  uint32_t matches_per_day = 20;
  uint32_t opponents = 0;  // 0: derived from the other sizes
};

class Generator {
 public:
  explicit Generator(const Options& opt)
      : opt_(opt),
        rng_(opt.seed),
        out_(opt.out, opt.start_day),
        pool_(rng_, opt.opponents),
        limit_(static_cast<int64_t>(opt.days) * kDay),
        play_day_mean_(static_cast<uint64_t>(opt.matches_per_day) * 10 / 7),
        per_match_(
            clamp_int(static_cast<int>(50000 / std::max<uint64_t>(1, play_day_mean_)), 45, 600)) {
    player_ = pool_.player_name();
  }

  void run() {
    int rest = 0;
    for (uint32_t d = 0; d < opt_.days; ++d) {
      pool_.unlock(unlock_target(d), static_cast<int64_t>(d) * kDay);
      player_rating_ = 1450 + static_cast<int>(250 * static_cast<int64_t>(d) / opt_.days);
      if (rest > 0) {
        --rest;
        continue;
      }
      if (d > 0 && rng_.chance(12)) {  // away for a while
        rest = rng_.range(1, 8);
        continue;
      }
      const int wd = weekday(opt_.start_day + d);
      const bool weekend = wd == 0 || wd == 6;
      if (!rng_.chance(weekend ? 900 : 700)) continue;
      play_day(d);
    }
    out_.finish();
  }

  uint64_t files() const { return out_.files(); }
  uint64_t bytes() const { return out_.bytes(); }
  uint64_t matches() const { return matches_; }

 private:
  enum class Ending { kResult, kError, kLogout };

  // Opponents in the game by day d: grows fast at first, then levels off.
  uint32_t unlock_target(uint32_t d) const {
    const uint64_t n = opt_.opponents;
    const uint64_t days = opt_.days;
    const uint64_t num = n * (d + 1) * (2 * days - d - 1);
    const uint64_t den = days * days;
    uint64_t a = (num + den - 1) / den;
    a = std::max<uint64_t>(a, std::min<uint64_t>(n, 5));
    return static_cast<uint32_t>(std::min(a, n));
  }

  void play_day(uint32_t d) {
    const uint64_t want = play_day_mean_ * static_cast<uint64_t>(rng_.range(40, 160)) / 100;
    const uint32_t n = static_cast<uint32_t>(std::max<uint64_t>(1, want));
    // Up to three sessions: morning, afternoon, evening, late night.
    static const int kFrom[4] = {6 * 3600 + 1800, 12 * 3600, 18 * 3600 + 1800, 22 * 3600 + 1800};
    static const int kTo[4] = {9 * 3600 + 1800, 16 * 3600 + 1800, 21 * 3600 + 2700,
                               23 * 3600 + 3000};
    static const uint32_t kWeight[4] = {12, 18, 45, 25};
    uint32_t sessions = n < 4 ? 1 : 1 + rng_.below(3);
    bool chosen[4] = {false, false, false, false};
    for (uint32_t s = 0; s < sessions;) {
      uint32_t r = rng_.below(100);
      int slot = 0;
      while (r >= kWeight[slot]) r -= kWeight[slot++];
      if (!chosen[slot]) {
        chosen[slot] = true;
        ++s;
      }
    }
    // Matches go to the chosen sessions by share; late nights are shorter.
    static const uint32_t kShare[4] = {2, 3, 4, 2};
    uint32_t shares = 0;
    for (int slot = 0; slot < 4; ++slot) shares += chosen[slot] ? kShare[slot] : 0;
    uint32_t sizes[4] = {0, 0, 0, 0};
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t k = rng_.below(shares);
      for (int slot = 0; slot < 4; ++slot) {
        if (!chosen[slot]) continue;
        if (k < kShare[slot]) {
          ++sizes[slot];
          break;
        }
        k -= kShare[slot];
      }
    }
    for (int slot = 0; slot < 4; ++slot) {
      if (sizes[slot] == 0) continue;
      const int64_t start = static_cast<int64_t>(d) * kDay + rng_.range(kFrom[slot], kTo[slot]);
      session(start, sizes[slot]);
    }
  }

  int64_t gap() { return rng_.range(2, std::max(8, per_match_ / 12)); }

  const std::string& someone() { return pool_.at(rng_.below(pool_.unlocked())).name; }

  void chat(int64_t t, const std::string& who, const char* what) {
    std::string& s = out_.stamped(t);
    s += who;
    s += text::kChatSep;
    s += what;
    out_.end();
  }

  void notice(int64_t t) {
    std::string& s = out_.plain(t);
    if (rng_.chance(800)) {
      s += rng_.pick(text::kNotice);
    } else {
      s += text::kPeopleOpen;
      put_uint(s, static_cast<uint64_t>(rng_.range(150, 4000)));
      s += text::kPeopleClose;
    }
    out_.end();
  }

  void simple(int64_t t, const char* what) {
    out_.stamped(t) += what;
    out_.end();
  }

  void named(int64_t t, const std::string& who, const char* what) {
    std::string& s = out_.stamped(t);
    s += who;
    s += what;
    out_.end();
  }

  // One lobby line between matches.
  void lobby_line(int64_t& t) {
    t += gap();
    const uint32_t r = rng_.below(100);
    if (r < 18) {
      named(t, someone(), text::kEntered);
    } else if (r < 32) {
      named(t, someone(), text::kLeft);
    } else if (r < 67) {
      const std::string& who = someone();
      chat(t, who, rng_.pick(text::kChat));
    } else if (r < 73) {
      chat(t, player_, rng_.pick(text::kChat));
    } else if (r < 80) {
      simple(t, text::kSearching);
    } else if (r < 84) {
      simple(t, text::kSettingsSaved);
    } else if (r < 89) {
      simple(t, text::kReplayPlayed);
    } else if (r < 93) {
      simple(t, text::kUnstable);
    } else {
      notice(t);
    }
  }

  uint32_t choose_opponent(int64_t last, int64_t t) {
    if (last >= 0 && rng_.chance(280)) return static_cast<uint32_t>(last);  // rematch
    const uint32_t met = pool_.met();
    const uint32_t unlocked = pool_.unlocked();
    if (met < unlocked && (met < 3 || unlocked - met > opt_.matches_per_day || rng_.chance(350))) {
      return pool_.meet_next();
    }
    return pool_.pick_known(t);
  }

  void log_in(int64_t& t) {
    simple(t, text::kConnect);
    t += rng_.range(1, 3);
    {
      std::string& s = out_.stamped(t);
      s += text::kLogin;
      s += player_;
      s += text::kSan;
      out_.end();
    }
    if (rng_.chance(350)) {
      for (int i = rng_.range(1, 2); i > 0; --i) notice(t);
    }
    if (folder_full_ && rng_.chance(600)) {
      t += gap();
      simple(t, text::kCleaned);
      folder_full_ = false;
    }
    t += gap();
    std::string& s = out_.stamped(t);
    s += text::kRoomOpen;
    s += rng_.pick(text::kRoom);
    s += text::kRoomClose;
    out_.end();
  }

  // A stretch of play of about `count` matches from second `start`.
  void session(int64_t start, uint32_t count) {
    int64_t t = cursor_ == 0 ? start : std::max(start, cursor_ + rng_.range(180, 900));
    if (t >= limit_) return;
    log_in(t);
    int64_t last = -1;
    for (uint32_t m = 0; m < count && t < limit_; ++m) {
      for (uint32_t i = rng_.below(4); i > 0; --i) lobby_line(t);
      const uint32_t idx = choose_opponent(last, t);
      if (rng_.chance(450)) {
        t += gap();
        named(t, pool_.at(idx).name, rng_.chance(500) ? text::kOffered : text::kOffering);
      }
      if (rng_.chance(300)) {
        t += rng_.range(1, 5);
        simple(t, text::kAboutToStart);
      }
      t += rng_.range(1, 4);
      const Ending ending = match(idx, t);
      ++matches_;
      if (ending == Ending::kLogout) {
        // Logged out in the middle of the match: mostly back after a while.
        last = -1;
        const int64_t back = t + rng_.range(120, 1500);
        if (m + 1 == count || back >= limit_ || rng_.chance(100)) {
          cursor_ = t;
          return;
        }
        t = back;
        log_in(t);
        continue;
      }
      if (ending == Ending::kError) {
        t += rng_.range(10, 90);
        simple(t, text::kReconnected);
        last = rng_.chance(500) ? static_cast<int64_t>(idx) : -1;
        continue;
      }
      last = idx;
      if (rng_.chance(300)) {
        t += rng_.range(1, 8);
        const std::string& who = rng_.chance(500) ? pool_.at(idx).name : player_;
        chat(t, who, rng_.pick(text::kThanks));
      }
      if (folder_full_ && rng_.chance(250)) {  // noticed the failed saves
        t += gap();
        simple(t, text::kCleaned);
        folder_full_ = false;
      }
    }
    t += gap();
    simple(t, text::kLeaveRoom);
    t += rng_.range(1, 5);
    simple(t, text::kDisconnect);
    cursor_ = t;
  }

  // Writes one match from its start line at second t; t ends at its last line.
  Ending match(uint32_t idx, int64_t& t) {
    Opponent& o = pool_.at(idx);
    pool_.catch_up(o, t);
    {
      std::string& s = out_.stamped(t);
      s += o.name;
      s += '(';
      s += text::kGrade[grade_index(o)];
      s += ' ';
      put_uint(s, o.wins);
      s += text::kWinTok;
      put_uint(s, o.losses);
      s += text::kLossTok;
      s += text::kRatingTok;
      put_uint(s, static_cast<uint64_t>(o.rating));
      if (o.chain > 0 && !o.hides_chain) {
        s += text::kChainTok;
        put_uint(s, static_cast<uint64_t>(o.chain));
        s += text::kChainEnd;
      }
      s += text::kDiscTok;
      put_uint(s, static_cast<uint64_t>(o.disconnect));
      s += "%)";
      s += text::kStartLine;
      out_.end();
    }
    if (rng_.chance(250)) {
      t += rng_.range(2, 9);
      chat(t, o.name, rng_.pick(text::kGreet));
      if (rng_.chance(500)) {
        t += rng_.range(1, 6);
        chat(t, player_, rng_.pick(text::kGreet));
      }
    }

    // Best of three games.
    const uint32_t p =
        static_cast<uint32_t>(clamp_int(500 + (player_rating_ - o.rating) * 3 / 5, 80, 920));
    int won = 0;
    int lost = 0;
    while (won < 2 && lost < 2) {
      if (rng_.chance(p)) {
        ++won;
      } else {
        ++lost;
      }
    }
    const int games = won + lost;
    const uint32_t r = rng_.below(1000);
    const Ending ending = r < 12 ? Ending::kError : (r < 20 ? Ending::kLogout : Ending::kResult);
    const int cut = ending == Ending::kResult
                        ? games
                        : static_cast<int>(rng_.below(static_cast<uint32_t>(games)));
    const int base = per_match_ * 3 / 10;
    for (int g = 0; g < games; ++g) {
      const int length = rng_.range(base * 6 / 10, base * 14 / 10);
      if (g == cut) {  // cut short during this game
        t += rng_.range(1, length);
        if (ending == Ending::kLogout) {
          simple(t, text::kLogout);
        } else if (rng_.chance(700)) {
          simple(t, text::kErrorComm);
        } else {
          std::string& s = out_.stamped(t);
          s += text::kErrorCode;
          put_uint(s, static_cast<uint64_t>(rng_.range(1000, 9999)));
          s += text::kErrorCodeEnd;
          out_.end();
        }
        return ending;
      }
      t += length;
      if (!folder_full_ && rng_.chance(3)) folder_full_ = true;
      simple(t, folder_full_ ? text::kSaveFailed : text::kSaved);
      if (rng_.chance(8)) notice(t);
      if (g + 1 < games) t += rng_.range(3, 15);
    }
    t += rng_.range(0, 3);
    named(t, o.name, won == 2 ? text::kWinLine : text::kLossLine);

    // The match joins the opponent's shown record.
    if (won == 2) {
      ++o.losses;
      o.rating -= clamp_int(16 + (o.rating - player_rating_) / 25, 1, 31);
    } else {
      ++o.wins;
      o.rating += clamp_int(16 + (player_rating_ - o.rating) / 25, 1, 31);
    }
    o.rating = clamp_int(o.rating, 600, 2600);
    o.seen = t;
    return Ending::kResult;
  }

  const Options& opt_;
  Rng rng_;
  LogWriter out_;
  Pool pool_;
  std::string player_;
  int64_t limit_;
  // About seven days in ten have play, so a day with play has 10/7 of the
  // mean asked for.
  uint64_t play_day_mean_;
  int per_match_;  // mean seconds per match, waits included
  int64_t cursor_ = 0;
  int player_rating_ = 1450;
  bool folder_full_ = false;
  uint64_t matches_ = 0;
};

}  // namespace

// --------------------------------------------------------------------------
// Command line
// --------------------------------------------------------------------------
namespace {

constexpr char kUsage[] =
    "usage: ledgerwise-loggen --out DIR [--seed N] [--days N] [--start YYYYMMDD]\n"
    "                         [--matches-per-day N] [--opponents N]\n"
    "\n"
    "Writes synthetic daily Brumbel logs (DIR/YYYYMMDD.log, Shift_JIS, CR LF).\n"
    "The same arguments always give the same bytes.\n"
    "\n"
    "  --out DIR             directory to write to (created if missing; files of\n"
    "                        the same names are overwritten)\n"
    "  --seed N              seed of the random choices (default 1)\n"
    "  --days N              days of play schedule, 1..100000 (default 28); a late\n"
    "                        session on the last day may run on into the next file\n"
    "  --start YYYYMMDD      first day (default 20050501)\n"
    "  --matches-per-day N   mean matches per calendar day, days without play\n"
    "                        included, 1..1000 (default 20)\n"
    "  --opponents N         size of the opponent pool, 1..10000000\n"
    "                        (default 30 + about one per 35 expected matches)\n"
    "  --help                show this text\n";

bool parse_uint(const char* s, uint64_t max, uint64_t& out) {
  if (s == nullptr || *s == '\0') return false;
  uint64_t v = 0;
  for (const char* p = s; *p != '\0'; ++p) {
    if (*p < '0' || *p > '9') return false;
    const uint64_t digit = static_cast<uint64_t>(*p - '0');
    if (v > (max - digit) / 10) return false;
    v = v * 10 + digit;
  }
  out = v;
  return true;
}

bool parse_date(const char* s, int64_t& day) {
  if (s == nullptr || std::strlen(s) != 8) return false;
  uint64_t v = 0;
  if (!parse_uint(s, 99999999, v)) return false;
  const int y = static_cast<int>(v / 10000);
  const int m = static_cast<int>(v / 100 % 100);
  const int d = static_cast<int>(v % 100);
  if (y < 1000 || m < 1 || m > 12 || d < 1 || d > 31) return false;
  day = days_from_civil(y, m, d);
  const Date back = civil_from_days(day);
  return back.year == y && back.month == m && back.day == d;
}

int fail(const char* what, const char* arg) {
  std::fprintf(stderr, "ledgerwise-loggen: %s%s\n%s", what, arg, kUsage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  Options opt;
  opt.start_day = days_from_civil(2005, 5, 1);
  bool have_opponents = false;
  for (int i = 1; i < argc; i += 2) {
    const char* a = argv[i];
    if (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0) {
      std::fputs(kUsage, stdout);
      return 0;
    }
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    uint64_t n = 0;
    if (std::strcmp(a, "--out") == 0) {
      if (v == nullptr || *v == '\0') return fail("--out needs a directory", "");
      opt.out = v;
    } else if (std::strcmp(a, "--seed") == 0) {
      if (!parse_uint(v, UINT64_MAX, n)) return fail("bad --seed: ", v ? v : "");
      opt.seed = n;
    } else if (std::strcmp(a, "--days") == 0) {
      if (!parse_uint(v, 100000, n) || n == 0) return fail("bad --days: ", v ? v : "");
      opt.days = static_cast<uint32_t>(n);
    } else if (std::strcmp(a, "--start") == 0) {
      if (!parse_date(v, opt.start_day)) return fail("bad --start: ", v ? v : "");
    } else if (std::strcmp(a, "--matches-per-day") == 0) {
      if (!parse_uint(v, 1000, n) || n == 0) return fail("bad --matches-per-day: ", v ? v : "");
      opt.matches_per_day = static_cast<uint32_t>(n);
    } else if (std::strcmp(a, "--opponents") == 0) {
      if (!parse_uint(v, 10000000, n) || n == 0) return fail("bad --opponents: ", v ? v : "");
      opt.opponents = static_cast<uint32_t>(n);
      have_opponents = true;
    } else {
      return fail("unknown argument: ", a);
    }
  }
  if (opt.out.empty()) return fail("--out DIR is required", "");
  // The last file (the day after the schedule) must still have a four-digit year.
  if (civil_from_days(opt.start_day + opt.days).year > 9999) {
    return fail("the days run past the year 9999", "");
  }
  if (!have_opponents) {
    const uint64_t expected = static_cast<uint64_t>(opt.days) * opt.matches_per_day;
    opt.opponents = static_cast<uint32_t>(std::min<uint64_t>(10000000, 30 + expected / 35));
  }

  std::error_code ec;
  std::filesystem::create_directories(opt.out, ec);
  if (ec) {
    std::fprintf(stderr, "ledgerwise-loggen: cannot create %s: %s\n", opt.out.c_str(),
                 ec.message().c_str());
    return 1;
  }

  Generator gen(opt);
  gen.run();
  std::printf("ledgerwise-loggen: %llu files, %llu bytes, %llu matches, %u opponents\n",
              static_cast<unsigned long long>(gen.files()),
              static_cast<unsigned long long>(gen.bytes()),
              static_cast<unsigned long long>(gen.matches()), opt.opponents);
  return 0;
}

// The Shift_JIS byte strings the parser looks for. Each literal holds the
// code page 932 bytes of the text in the comment beside it.
#ifndef LEDGERWISE_LOG_LOG_PHRASES_H_
#define LEDGERWISE_LOG_LOG_PHRASES_H_

#include <string_view>

namespace ledgerwise {
namespace phrase {

// Line kinds, recognised anywhere in a line.
constexpr std::string_view kMatchStart =
    "\x91\xce\x90\xed\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc\x82\xb5\x82\xbd";  // 対戦を開始しました
constexpr std::string_view kWin = "\x8f\x9f\x82\xbf\x82\xdc\x82\xb5\x82\xbd";   // 勝ちました
constexpr std::string_view kLoss = "\x95\x89\x82\xaf\x82\xdc\x82\xb5\x82\xbd";  // 負けました
constexpr std::string_view kReplaySaved =
    "\x83\x8a\x83\x76\x83\x8c\x83\x43\x82\xf0\x83\x49\x81\x5b\x83\x67\x83\x5a\x81\x5b\x83\x75"
    "\x82\xb5\x82\xdc\x82\xb5\x82\xbd";  // リプレイをオートセーブしました
constexpr std::string_view kSaveFailed =
    "\x83\x5a\x81\x5b\x83\x75\x83\x74\x83\x40\x83\x43\x83\x8b\x82\xaa\x91\xbd\x82\xa2\x82\xbd"
    "\x82\xdf\x81\x41\x83\x5a\x81\x5b\x83\x75\x82\xc5\x82\xab\x82\xdc\x82\xb9\x82\xf1\x82\xc5"
    "\x82\xb5\x82\xbd";  // セーブファイルが多いため、セーブできませんでした
constexpr std::string_view kError =
    "\x83\x47\x83\x89\x81\x5b\x82\xaa\x94\xad\x90\xb6\x82\xb5\x82\xdc\x82\xb5\x82\xbd";  // エラーが発生しました
constexpr std::string_view kLogout =
    "\x83\x8d\x83\x4f\x83\x41\x83\x45\x83\x67\x82\xb5\x82\xdc\x82\xb5\x82"
    "\xbd";  // ログアウトしました

// Tokens of the opponent's figures in a match-start line.
constexpr std::string_view kDan = "\x82\xbe\x82\xf1";                     // だん
constexpr std::string_view kKyu = "\x82\xab\x82\xe3\x82\xa4";             // きゅう
constexpr std::string_view kWinMark = "\x8f\x9f";                         // 勝
constexpr std::string_view kRating = "\x83\x8c\x81\x5b\x83\x67";          // レート
constexpr std::string_view kDisconnectRate = "\x90\xd8\x92\x66\x97\xa6";  // 切断率
constexpr std::string_view kMaxChain = "\x8d\xc5\x91\xe5";                // 最大

// Parts the grade words are made of.
constexpr std::string_view kFullWidthTen = "\x82\x50\x82\x4f";  // １０
constexpr std::string_view kSho = "\x82\xb5\x82\xe5";           // しょ

}  // namespace phrase
}  // namespace ledgerwise

#endif  // LEDGERWISE_LOG_LOG_PHRASES_H_

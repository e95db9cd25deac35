#!/usr/bin/env bash
# What only the Windows program does, run under Wine in a private prefix:
# where it finds the data folder (the user profile, then the roaming
# application data; on the older consumer line the install folder in the
# registry), folders and logs of any name in any code page, its console
# bytes (code page 932, CR LF) and a console in another code page, links
# where a leftover or the lock should be, the key wait and Ctrl+C on a
# console, pages byte-identical to the native build's for the same logs, and
# a watching run while the game writes its log (game_writer.exe, built in
# BUILD_DIR_MINGW/tests, holds the log as the game does).
#
#   run-tests.sh BUILD_DIR_MINGW BUILD_DIR_NATIVE
#
# Prints one line per case; exits 1 when a case failed, 0 without Wine.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
[ $# -eq 2 ] || { sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'; exit 2; }
exe="$(cd "$1" && pwd)/Ledgerwise.exe"
native="$(cd "$2" && pwd)/ledgerwise"
missing="$(lw_wine_tools_missing)"
[ -z "$missing" ] || { echo "wine tests skipped: not installed: $missing (tests/wine/setup.sh)"; exit 0; }
# The corpus with the awkward names (upper-case suffixes, dir.log, .log.bak).
corpus="$here/../conformance/edge-101/data"
[ -d "$corpus" ] || corpus="$here/../../examples/data"
work="$(mktemp -d)"
export TZ=Asia/Tokyo  # the players' zone, so that local time and UTC differ
lw_wine_env "$work/prefix"
trap 'lw_wine_stop; rm -rf "$work"' EXIT
lw_wine_start ""
fail=0
check() { if [ -z "$2" ]; then echo "PASS $1"; else echo "FAIL $1: $2"; fail=1; fi; }
# Text as the program prints it: Shift_JIS, each line end CR LF; as hex.
sj() { printf '%s' "${1//$'\n'/$'\r\n'}" | iconv -f UTF-8 -t CP932; }
hex() { od -An -tx1 | tr -d ' \n'; }
unix_path() { (cd / && timeout 60 winepath -u "$1" 2>/dev/null < /dev/null); }
reg() {  # tried again: under load "wine reg" now and then fails to set a value
  local _
  for _ in 1 2 3; do (cd / && timeout 60 wine reg "$@" < /dev/null > /dev/null 2>&1) && return; sleep 1; done
  return 1
}
fresh() { rm -rf "$1"; mkdir -p "$(dirname "$1")"; cp -R "$corpus" "$1"; chmod -R u+w "$1"; }
differ() {  # the pages of two data folders, menu.html's time stamp aside
  for p in index menu personal observation ranking vslog; do
    cmp -s <(sed 31d "$1/analyze/$p.html") <(sed 31d "$2/analyze/$p.html" 2>&1) || printf '%s ' "$p.html differs"
  done
}
# row NAME EXIT WANT [ARG...]: runs the program with standard input from
# /dev/null, no console, so with no key wait and no prompt; WANT is
# "pages:WINDOWS_FOLDER" (pages as the native build's) or the lines its
# output holds (a trailing "…": a line's start).
row() {
  local name="$1" want_rc="$2" want="$3" why=""; shift 3
  (cd / && timeout 120 wine "$exe" "$@" < /dev/null > "$work/out" 2>&1)
  local rc=$?
  [ "$rc" = "$want_rc" ] || why="exit $rc; "
  if [ "${want#pages:}" != "$want" ]; then
    why="$why$(differ "$work/native" "$(unix_path "${want#pages:}")")"
  else
    local text="${want%…}"
    [ "$text" != "$want" ] || text="$want"$'\n'
    why="$why$(printed "$text")"
  fi
  check "$name" "$why"
}
# printed TEXT: nothing when the last row's output holds TEXT, else the output.
printed() {
  [[ "$(hex < "$work/out")" == *"$(sj "$1" | hex)"* ]] || echo "output: $(iconv -f CP932 -t UTF-8 "$work/out" 2>&1)"
}

fresh "$work/native"
(cd / && LC_ALL=ja_JP.SJIS timeout 120 "$native" --no-wait "$work/native" < /dev/null > "$work/native.out" 2>&1)
windows_variable() { (cd / && timeout 60 wine cmd /c echo "%$1%" < /dev/null 2> /dev/null | tr -d '\r'); }
data="$(windows_variable USERPROFILE)\\Application Data\\Halvik\\Brumbel"
data_unix="$(unix_path "$data")"
roaming="$(windows_variable APPDATA)\\Halvik\\Brumbel"
roaming_unix="$(unix_path "$roaming")"

# The NT line: the data folder under the user profile.
fresh "$data_unix"
row "profile: pages identical to the native build's" 0 "pages:$data"
FROM="$work/native/analyze/" TO="$data\\analyze\\" perl -pe \
  's/^ledgerwise Ver/Ledgerwise.exe Ver/; s/\Q$ENV{FROM}\E/$ENV{TO}/; s/\n/\r\n/' \
  "$work/native.out" > "$work/native.crlf"
check "profile: console bytes are the native ones with CR LF" "$(cmp "$work/native.crlf" "$work/out" 2>&1)"
stamp="$(sed -n 31p "$data_unix/analyze/menu.html" | grep -o '[0-9-]* [0-9:]*')"
check "profile: the menu's time stamp is the local time" \
  "$(age=$(( $(date +%s) - $(date -d "$stamp" +%s 2> /dev/null || echo 0) )); [ "$age" -ge 0 ] && [ "$age" -lt 120 ] || echo "stamp $stamp")"

# Links where a killed run's temporary file or the lock would be: never
# followed, so nothing outside the data folder is removed or made. (A
# temporary file's removal and a log named like a device or outside the code
# page are the Windows layer's unit tests.)
outside="$work/outside"
mkdir -p "$outside" && echo kept > "$outside/kept"
ln -s "$outside/kept" "$data_unix/analyze/vslog.html.fedcba9876543210.tmp"
row "leftovers: the run succeeds" 0 "完了！…"
check "leftovers: a link named like one is left, and what it points to" \
  "$([ -L "$data_unix/analyze/vslog.html.fedcba9876543210.tmp" ] && [ "$(cat "$outside/kept")" = kept ] || echo "link or $outside/kept gone")"
rm "$data_unix/analyze/vslog.html.fedcba9876543210.tmp"
for target in dangling kept; do
  rm -f "$data_unix/analyze/ledgerwise.lock"
  ln -s "$outside/$target" "$data_unix/analyze/ledgerwise.lock"
  row "lock: a link to a $target file is not used" 0 "警告 : ロックファイル $data\\analyze\\ledgerwise.lock を使えないため、ロックなしで書き込みます。"
done
check "lock: nothing made where a dangling link points" "$([ ! -e "$outside/dangling" ] || echo "$outside/dangling made")"
check "lock: the file a link points to unchanged" "$([ "$(cat "$outside/kept")" = kept ] || echo changed)"
rm "$data_unix/analyze/ledgerwise.lock"

# Where Windows since Vista keeps the data, and a Wine prefix only there:
# found by a run with no argument, as a double-click starts it.
rm -rf "$data_unix"
fresh "$roaming_unix"
row "roaming: with no argument, the pages identical to the native build's" 0 "pages:$roaming"
check "roaming: the report's path printed with backslashes" "$(printed "レポート : $roaming\\analyze\\index.html")"
rm -rf "$roaming_unix"
row "profile: no data folder names both folders tried" 255 "Brumbelのデータフォルダ $data が見つかりませんでした。
Brumbelのデータフォルダ $roaming が見つかりませんでした。
データフォルダはコマンドラインの引数で指定できます。"

# The command line: any folder name whatever the code page (Wine takes it
# from LANG: 932 for Japanese, 1252 otherwise), "/" as "\\", and /?.
named="$work/データ 𠮷"
fresh "$named"
named_win="$(cd / && timeout 60 winepath -w "$named" < /dev/null 2> /dev/null)"
for lang in C.UTF-8 ja_JP.UTF-8; do
  [ "$lang" = C.UTF-8 ] || lw_have_japanese_locale || { echo "SKIP argument: $lang: no ja_JP.UTF-8"; continue; }
  LANG=$lang row "argument: a folder named outside the code page ($lang), pages identical" 0 "pages:$named_win" "$named_win"
done
fresh "$work/slashed"
slashed_win="$(cd / && timeout 60 winepath -w "$work/slashed" < /dev/null 2> /dev/null)"
row "argument: a folder given with / is shown with \\" 0 "レポート : $slashed_win\\analyze\\index.html…" "${slashed_win//\\//}/"
row "argument: /? is --help" 0 "usage: Ledgerwise.exe …" "/?"

# The older consumer line (Wine reports it for win98): the registry's install folder.
reg add 'HKCU\Software\Wine\AppDefaults\Ledgerwise.exe' /v Version /d win98 /f
fresh "$(unix_path 'C:\brumbel')"
lw_have_japanese_locale && fresh "$(unix_path 'C:\ブランベル𠮷')"
no_folder="Brumbelのインストールフォルダの取得に失敗しました。"
while IFS='|' read -r name rc want type value; do
  case "$value" in *ブランベル*) lw_have_japanese_locale || { echo "SKIP registry: $name: no ja_JP.UTF-8"; continue; } ;; esac
  if [ "$type" = none ]; then reg delete 'HKCU\Software\Halvik\Brumbel' /f
  elif ! reg add 'HKCU\Software\Halvik\Brumbel' /v 'Install Path' /t "$type" /d "$value" /f; then
    check "registry: $name" "the value could not be set"; continue
  fi
  row "registry: $name" "$rc" "${want/NO_FOLDER/$no_folder}"
done << 'ROWS'
no key|255|NO_FOLDER|none|
an empty value|255|NO_FOLDER|REG_SZ|
a number|255|NO_FOLDER|REG_DWORD|1
the install folder, pages identical|0|pages:C:\brumbel|REG_SZ|C:\brumbel
a missing folder, its trailing backslash cut|255|Brumbelのインストールフォルダ C:\no such folder が見つかりませんでした。|REG_SZ|C:\no such folder\
a folder named outside the code page, pages identical|0|pages:C:\ブランベル𠮷|REG_SZ|C:\ブランベル𠮷
ROWS
reg delete 'HKCU\Software\Wine\AppDefaults\Ledgerwise.exe' /f

# The key wait: a console is a terminal to Wine. It waits only when both
# standard input and standard output are the console: a prompt never hides
# in a redirected output.
fresh "$data_unix"
prompt="何かキーを押してください。"
if lw_have_japanese_locale; then
  while IFS='|' read -r name mode want args; do
    match="$(sj "$prompt" | hex)"
    [ "$mode" = input ] || match="$(printf '%s' "$prompt" | hex)"
    got="$(cd / && python3 "$here/pty_key.py" "$mode" "$work/key.$mode" "$match" 2 -- wine "$exe" $args 2> /dev/null)"
    check "key wait: $name" "$([ "$got" = "$want" ] || echo "$got")"
  done << 'ROWS'
--no-wait does not wait|console|prompt=0 waited=0 exit=0|--no-wait
a failed run waits too, then exits -1|console|prompt=1 waited=1 exit=255|C:\nowhere
it prompts, waits, and a key ends it|console|prompt=1 waited=1 exit=0|
output to a file never waits|input|prompt=0 waited=0 exit=0|
ROWS
  # On a terminal Wine shows the text in the terminal's encoding, which needs
  # each Shift_JIS character to arrive whole.
  check "key wait: the console shows the Japanese text, the prompt last" \
    "$(grep -q '分析中・・・' "$work/key.console" && [ "$(tail -n 1 "$work/key.console" | tr -d '\r')" = "$prompt" ] || echo "$(tail -c 300 "$work/key.console")")"
fi
# A console in code page 437 gets the text as Unicode, not as Shift_JIS bytes.
got="$(cd / && LANG=C.UTF-8 python3 "$here/pty_key.py" console "$work/key.437" "$(printf '%s' "$prompt" | hex)" 2 -- wine "$exe" 2> /dev/null)"
check "key wait: a code page 437 console shows the Japanese text" \
  "$([ "$got" = "prompt=1 waited=1 exit=0" ] && grep -q '分析中・・・' "$work/key.437" || echo "$got $(tail -c 300 "$work/key.437")")"

# Ctrl+C while another run holds the lock ends the wait as a failure.
mkdir -p "$data_unix/analyze"
coproc holder { python3 "$here/hold_lock.py" "$data_unix/analyze/ledgerwise.lock"; }
read -r _ <&"${holder[0]}"
waiting="ほかの実行が終わるのを待っています・・・"
got="$(cd / && python3 "$here/pty_key.py" console "$work/key.ctrlc" "$(printf '%s' "$waiting" | hex)" 1 03 -- wine "$exe" --no-wait 2> /dev/null)"
eval "exec ${holder[1]}>&-"
wait "$holder_PID"
check "lock: Ctrl+C while waiting for another run exits -1 and says so" \
  "$([ "$got" = "prompt=1 waited=1 exit=255" ] && grep -q 'ほかの実行を待つのを中断しました。' "$work/key.ctrlc" || echo "$got $(tail -c 300 "$work/key.ctrlc")")"

# Watching (--watch) while the game holds its log open and adds a match
# (game_writer.exe, built by the mingw preset), and while another run holds
# the lock.
for play in game lock; do
  dir="$work/watch-$play/data" && mkdir -p "$dir"
  sj "[21:05:10]とまと(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました
[21:09:40]とまとさんに勝ちました
" > "$dir/20050504.log"
  dir_win="$(cd / && timeout 60 winepath -w "$dir" < /dev/null 2> /dev/null)"
  args=("$dir"); [ $play = lock ] || args+=("$dir_win\\20050504.log" "$(cd "$1" && pwd)/tests/game_writer.exe")
  through=""
  while IFS=$'\t' read -r name why; do
    check "watch: $name" "$why"; [ "$name" != "$play: played through" ] || through=1
  done < <(cd / && python3 "$here/watch_play.py" $play "${args[@]}" -- wine "$exe" --watch "$dir_win" 2> /dev/null)
  [ -n "$through" ] || check "watch: $play: played through" "watch_play.py ended early"
done
exit "$fail"

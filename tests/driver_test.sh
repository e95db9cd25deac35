#!/usr/bin/env bash
# Runs the built program end to end on small data folders and checks its
# console messages, exit codes and the files it leaves.
#   tests/driver_test.sh PROGRAM
set -u
prog="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
work="$(mktemp -d)"
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work"' EXIT
pass=0; fail=0

ok()   { echo "PASS $1"; pass=$((pass + 1)); }
bad()  { echo "FAIL $1: $2"; fail=$((fail + 1)); }
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
# check NAME CONDITION-COMMAND...: passes when the command succeeds.
check() { local name="$1"; shift; if "$@"; then ok "$name"; else bad "$name" "$*"; fi; }
has()  { grep -qF -- "$(sjis "$2")" "$1"; }   # FILE UTF8-TEXT, searched as Shift_JIS bytes
hasu() { grep -qF -- "$2" "$1"; }             # FILE TEXT, searched as it is

# A log of one won match against とまと on 4 May 2005.
write_log() {
  { sjis "[21:05:10]とまと(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました"; printf '\r\n'
    sjis "[21:07:00]リプレイをオートセーブしました"; printf '\r\n'
    sjis "[21:09:00]リプレイをオートセーブしました"; printf '\r\n'
    sjis "[21:09:40]とまとさんに勝ちました"; printf '\r\n'; } > "$1"
}
run() {  # DIR [ARGS...]: runs with no terminal, Shift_JIS console, output in $out
  local dir="$1"; shift
  out="$work/out.$RANDOM"
  LANG=C LC_ALL= LC_CTYPE= timeout 60 "$prog" --no-wait "$@" "$dir" > "$out" 2>&1 < /dev/null
  rc=$?
}

# --- a good run, and the logs are never written ---
d="$work/good"; mkdir -p "$d"
write_log "$d/20050504.log"; write_log "$d/20050505.LOG"; printf 'x' > "$d/notes.txt"
mkdir "$d/dir.log"
fingerprint() { (cd "$1" && find . -maxdepth 1 -type f -exec stat -c '%n %s %Y' {} + | sort && find . -maxdepth 1 -type f -exec cat {} + | md5sum); }
before=$(fingerprint "$d")
run "$d"
check "good run exits 0" test "$rc" = 0
check "progress lists both logs in name order" bash -c "grep -n '20050504.log\|20050505.LOG' '$out' | head -1 | grep -q 20050504.log"
check "directory named x.log is not read" bash -c "! grep -q 'dir.log' '$out'"
check "analyzing message" has "$out" "分析中・・・"
check "completion message" has "$out" "完了！"
check "no key prompt without a console" bash -c "! grep -qF '$(sjis 何かキーを押してください。)' '$out'"
for p in index menu personal observation ranking vslog; do
  check "$p.html written" test -s "$d/analyze/$p.html"
done
check "both matches in vslog" test "$(grep -c 'class=' "$d/analyze/vslog.html")" -ge 2
after=$(fingerprint "$d")
check "logs untouched" test "$before" = "$after"
check "no temporary files left" test "$(ls "$d/analyze" | wc -l)" = 8

# --- an existing analyze folder is reused, its pages replaced ---
printf 'stale' > "$d/analyze/ranking.html"; printf 'keep' > "$d/analyze/mine.txt"
run "$d"
check "rerun exits 0" test "$rc" = 0
check "stale page replaced" bash -c "! grep -q stale '$d/analyze/ranking.html'"
check "other files in analyze kept" test "$(cat "$d/analyze/mine.txt")" = keep

# --- UTF-8 console ---
LANG=ja_JP.UTF-8 LC_ALL= timeout 60 "$prog" --no-wait "$d" > "$work/utf8.txt" 2>&1 < /dev/null
check "UTF-8 console gets UTF-8 words" hasu "$work/utf8.txt" "分析中・・・"
check "Shift_JIS console gets Shift_JIS words" bash -c "! grep -qF '分析中' '$out'"

# --- failures of the data folder and the logs ---
run "$work/absent"
check "missing data folder exits 1" test "$rc" = 1
check "missing data folder message names it" has "$out" "Brumbelのデータフォルダ $work/absent が見つかりませんでした。"
check "missing data folder: key prompt skipped, nothing else" bash -c "! grep -qF '$(sjis 分析中)' '$out'"

e="$work/empty"; mkdir -p "$e"; printf 'x' > "$e/20050504.txt"; mkdir "$e/x.log"
run "$e"
check "no log file exits 1" test "$rc" = 1
check "no log file message" has "$out" "Brumbelの対戦ログファイルが見つかりませんでした。"
check "no analyze folder without logs" test ! -e "$e/analyze"

u="$work/unreadable"; mkdir -p "$u"; chmod 777 "$work" "$u"
write_log "$u/20050504.log"; write_log "$u/20050505.log"; chmod 000 "$u/20050505.log"
as_user=()
[ "$(id -u)" = 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
out="$work/unreadable.txt"
LANG=C timeout 60 "${as_user[@]}" "$prog" --no-wait "$u" > "$out" 2>&1 < /dev/null; rc=$?
check "unreadable log exits 1" test "$rc" = 1
check "unreadable log error line" has "$out" "エラー : 入力ファイル $u/20050505.log が開けません。"
check "pages still written after an unreadable log" test -s "$u/analyze/vslog.html"
check "the readable log was analyzed" bash -c "grep -q 'class=a' '$u/analyze/vslog.html'"

# --- failures of the output ---
f="$work/analyze-is-file"; mkdir -p "$f"; write_log "$f/20050504.log"; printf 'x' > "$f/analyze"
run "$f"
check "analyze not creatable exits 1" test "$rc" = 1
check "analyze not creatable message" has "$out" "分析ファイルフォルダ $f/analyze の作成に失敗しました。"

g="$work/page-is-folder"; mkdir -p "$g/analyze/vslog.html"; write_log "$g/20050504.log"
run "$g"
check "page that is a folder exits 1" test "$rc" = 1
check "page that is a folder is reported" has "$out" "エラー : ファイル $g/analyze/vslog.html の書き込みに失敗しました。"
check "other pages still written" test -s "$g/analyze/ranking.html"
check "completion still printed" has "$out" "完了！"
check "no temporary file left after a failure" test "$(ls -A "$g/analyze" | wc -l)" = 8

r="$work/read-only"; mkdir -p "$r"; write_log "$r/20050504.log"; run "$r"; chmod 555 "$r/analyze"
cp "$r/analyze/vslog.html" "$work/vslog.before"
write_log "$r/20050505.log"
out="$work/ro.txt"
LANG=C timeout 60 "${as_user[@]}" "$prog" --no-wait "$r" > "$out" 2>&1 < /dev/null; rc=$?
check "read-only analyze exits 1" test "$rc" = 1
check "read-only analyze reports each page" test "$(grep -c "$(sjis 'が開けません')" "$out")" = 8
check "read-only analyze keeps the old pages" cmp -s "$r/analyze/vslog.html" "$work/vslog.before"

# --- planted link in analyze is never followed ---
l="$work/planted"; mkdir -p "$l/analyze"; write_log "$l/20050504.log"
printf 'victim' > "$work/victim"
for n in $(seq 1 20); do ln -s "$work/victim" "$l/analyze/index.html.$n.tmp"; done
ln -s "$work/victim" "$l/analyze/menu.html"
run "$l"
check "planted links: run succeeds" test "$rc" = 0
check "planted links: target untouched" test "$(cat "$work/victim")" = victim
check "planted link page replaced by a real file" test -f "$l/analyze/menu.html" -a ! -L "$l/analyze/menu.html"

# --- the default data folder under a Wine prefix ---
w="$work/prefix/drive_c/users/someone/AppData/Roaming/Halvik/Brumbel"; mkdir -p "$w"; write_log "$w/20050504.log"
out="$work/prefix.txt"
WINEPREFIX="$work/prefix" USER=someone LANG=C timeout 60 "$prog" --no-wait > "$out" 2>&1 < /dev/null; rc=$?
check "data folder found in the Wine prefix" test "$rc" = 0 -a -s "$w/analyze/index.html"
out="$work/noprefix.txt"
WINEPREFIX="$work/nowhere" USER=someone LANG=C timeout 60 "$prog" --no-wait > "$out" 2>&1 < /dev/null; rc=$?
check "no data folder in the prefix exits 1" test "$rc" = 1
check "no data folder names the path tried" has "$out" "Brumbelのデータフォルダ $work/nowhere/drive_c/users/someone/Application Data/Halvik/Brumbel が見つかりませんでした。"
check "no data folder hints at the argument" has "$out" "データフォルダはコマンドラインの引数で指定できます。"

# --- options ---
"$prog" --help > "$work/help.txt" 2>&1; rc=$?
check "--help exits 0 with usage" bash -c "test $rc = 0 && grep -q 'usage:' '$work/help.txt'"
"$prog" --version > "$work/version.txt" 2>&1; rc=$?
check "--version prints the version" bash -c "test $rc = 0 && grep -q 'Ver 1.0.4(2005/05/04)' '$work/version.txt'"
"$prog" --bogus > /dev/null 2>&1; rc=$?
check "unknown option exits 2" test "$rc" = 2

# --- the key wait on a terminal ---
k="$work/key"; mkdir -p "$k"; write_log "$k/20050504.log"
python3 - "$prog" "$k" > "$work/key.txt" 2>&1 <<'PY'
import os, pty, select, sys, time
pid, fd = pty.fork()
if pid == 0:
    os.environ["LANG"] = "ja_JP.UTF-8"
    os.execv(sys.argv[1], [sys.argv[1], sys.argv[2]])
seen = b""
deadline = time.time() + 30
while "何かキー".encode() not in seen and time.time() < deadline:
    r, _, _ = select.select([fd], [], [], 1)
    if r:
        seen += os.read(fd, 4096)
time.sleep(0.5)
waiting = os.waitpid(pid, os.WNOHANG) == (0, 0)
os.write(fd, b"x")
_, status = os.waitpid(pid, 0)
print("prompt" if "何かキー".encode() in seen else "no prompt")
print("waited" if waiting else "did not wait")
print("exit", os.waitstatus_to_exitcode(status))
PY
check "terminal: prompt shown" grep -qx "prompt" "$work/key.txt"
check "terminal: waits for a key" grep -qx "waited" "$work/key.txt"
check "terminal: exits 0 after the key" grep -qx "exit 0" "$work/key.txt"

echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]

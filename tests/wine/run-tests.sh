#!/usr/bin/env bash
# The Windows program's own behaviour, run under Wine in a private prefix:
# where it finds the data folder (user profile, registry), its failure
# messages and exit codes, the key wait on a console, and pages identical to
# the native build's for the same logs.
#
#   run-tests.sh BUILD_DIR_MINGW BUILD_DIR_NATIVE
#
# BUILD_DIR_MINGW holds Ledgerwise.exe, BUILD_DIR_NATIVE the native
# ledgerwise. Prints one line per case and "N passed, M failed"; exits 1 when
# a case failed. Without Wine it says so and exits 0.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
. "$here/wine-env.sh"

if [ $# -ne 2 ]; then sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 2; fi
exe="$(cd "$1" 2>/dev/null && pwd)/Ledgerwise.exe"
native="$(cd "$2" 2>/dev/null && pwd)/ledgerwise"

missing="$(lw_wine_tools_missing)"
if [ -n "$missing" ]; then
  echo "wine tests skipped: not installed: $missing (tests/wine/setup.sh installs them)"
  exit 0
fi
for f in "$exe" "$native"; do
  [ -f "$f" ] || { echo "run-tests.sh: no $f; build it first" >&2; exit 2; }
done
command -v python3 >/dev/null || { echo "run-tests.sh: python3 is needed for the console cases" >&2; exit 2; }

# A corpus with the awkward names: upper-case suffixes, a folder called
# dir.log, a .log.bak, a notes.txt.
corpus="$repo/../shared/conformance/edge-101/data"
[ -d "$corpus" ] || corpus="$repo/examples/data"
ls "$corpus"/*.log >/dev/null 2>&1 || { echo "run-tests.sh: no log corpus at $corpus" >&2; exit 2; }

work="$(mktemp -d)"
lw_wine_env "$work/prefix"
cleanup() { lw_wine_stop; rm -rf "$work"; }
trap cleanup EXIT
started=$(date +%s)
lw_wine_start ""
echo "# prefix booted in $(( $(date +%s) - started )) s, LANG=$LANG, code page $(lw_have_japanese_locale && echo 932 || echo 1252)"

pass=0; fail=0
ok() { echo "PASS $1"; pass=$((pass + 1)); }
bad() { echo "FAIL $1: $2"; fail=$((fail + 1)); }
skip() { echo "SKIP $1: $2"; }
check() { # NAME WHY-IF-NOT-EMPTY
  if [ -z "$2" ]; then ok "$1"; else bad "$1" "$2"; fi
}

# Text as the program prints it: Shift_JIS, each line end CR LF.
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
sjis_lines() { printf '%s\n' "$1" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932; }

# Does FILE end with the Shift_JIS lines TEXT (UTF-8 here)?
ends_with_lines() {
  local want="$work/want.$$"
  printf '%s\n' "$1" | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 >"$want"
  local n; n=$(stat -c %s "$want")
  cmp -s <(tail -c "$n" "$2") "$want"
}
# Does FILE hold the Shift_JIS bytes of TEXT (one line, no line end)?
holds() { LC_ALL=C grep -qF -- "$(sjis "$1")" "$2"; }

# Windows path -> the Unix path Wine maps it to.
unix_path() { (cd / && timeout 60 winepath -u "$1" 2>/dev/null </dev/null); }

reg() { timeout 60 wine reg "$@" </dev/null >/dev/null 2>&1; }

# run_exe OUT [ARG...]: the program with no console; sets rc.
run_exe() {
  local out="$1"; shift
  (cd / && timeout 120 wine "$exe" "$@" </dev/null >"$out" 2>"$out.err")
  rc=$?
}

# Compares the six pages of two analyze folders; menu.html line 31, the time
# stamp, is left out. Prints why they differ, nothing when they do not.
pages_differ() {
  local page
  for page in index.html menu.html personal.html observation.html ranking.html vslog.html; do
    [ -f "$2/$page" ] || { echo "$page missing"; return; }
    if [ "$page" = menu.html ]; then
      cmp -s <(awk 'NR!=31' "$1/$page") <(awk 'NR!=31' "$2/$page") || { echo "$page differs"; return; }
    else
      cmp -s "$1/$page" "$2/$page" || { echo "$page differs"; return; }
    fi
  done
  local temps; temps=$(ls "$2" | grep -v -e '\.html$' -e '^matches\.csv$' | tr '\n' ' ')
  [ -z "$temps" ] || echo "left behind in analyze: $temps"
}

fresh_copy() { rm -rf "$1"; mkdir -p "$(dirname "$1")"; cp -R "$corpus" "$1"; chmod -R u+w "$1"; }

# Where %userprofile%\Application Data\Halvik\Brumbel lands in the prefix.
profile_win="$(cd / && timeout 60 wine cmd /c echo %USERPROFILE% </dev/null 2>/dev/null | tr -d '\r')"
profile_unix="$(unix_path "$profile_win")"
data_win="$profile_win\\Application Data\\Halvik\\Brumbel"
data_unix="$profile_unix/Application Data/Halvik/Brumbel"
if [ -z "$profile_win" ] || [ ! -d "$profile_unix" ]; then
  echo "run-tests.sh: no user profile in the prefix ($profile_win -> $profile_unix)" >&2
  exit 1
fi

# ---------------------------------------------------------------------------
# The reference: the native build over the same logs, its console in
# Shift_JIS.
fresh_copy "$work/native"
(cd / && LC_ALL=C timeout 120 "$native" --no-wait "$work/native" </dev/null >"$work/native.out" 2>&1)
native_rc=$?
[ "$native_rc" -eq 0 ] || echo "# native build exited $native_rc on the corpus"
ref="$work/native/analyze"

# ---------------------------------------------------------------------------
# (a) Windows NT line: the data folder under the user profile, no argument.
fresh_copy "$data_unix"
mkdir -p "$data_unix/analyze"
echo stale >"$data_unix/analyze/index.html"  # must be replaced
before=$(date +%s)
run_exe "$work/a.out" --no-wait
after=$(date +%s)
check "profile: exit code 0" "$([ "$rc" -eq 0 ] || echo "exit $rc")"
check "profile: pages identical to the native build's" "$(pages_differ "$ref" "$data_unix/analyze")"
stamp=$(awk 'NR==31' "$data_unix/analyze/menu.html" 2>/dev/null | tr -d '\r' | LC_ALL=C sed 's/^.*:\([0-9-]* [0-9:]*\)$/\1/')
at=$(date -d "$stamp" +%s 2>/dev/null || echo 0)
check "profile: menu time stamp is the local time of the run" \
  "$([ "$at" -ge $((before - 1)) ] && [ "$at" -le $((after + 1)) ] || echo "stamp '$stamp'")"
# The native console text with the Windows program name and CR LF line ends.
sed 's/^ledgerwise Ver/Ledgerwise.exe Ver/; s/$/\r/' "$work/native.out" >"$work/a.want"
check "profile: console bytes are the native ones with CR LF" \
  "$(cmp -s "$work/a.want" "$work/a.out" || cmp "$work/a.want" "$work/a.out" 2>&1 | head -1)"
check "profile: \"分析中・・・\" arrives as Shift_JIS with CR LF" \
  "$(LC_ALL=C grep -qF -- "$(sjis_lines '分析中・・・')" "$work/a.out" || echo "not in $(od -c "$work/a.out" | head -3)")"
check "profile: no key prompt when standard input is not a console" \
  "$(holds '何かキーを押してください。' "$work/a.out" && echo "prompt printed")"

# ---------------------------------------------------------------------------
# (c) Failures on the profile path.
mv "$data_unix" "$work/parked"
run_exe "$work/c1.out" --no-wait
check "no data folder: exit -1" "$([ "$rc" -eq 255 ] || echo "exit $rc")"
check "no data folder: message names the folder" \
  "$(ends_with_lines "Brumbelのデータフォルダ $data_win が見つかりませんでした。
データフォルダはコマンドラインの引数で指定できます。" "$work/c1.out" || echo "got: $(tail -c 200 "$work/c1.out" | iconv -f CP932 -t UTF-8 2>&1)")"

mkdir -p "$data_unix/c.log"
echo "not a log" >"$data_unix/notes.txt"
cp "$corpus/$(ls "$corpus" | grep '\.log$' | head -1)" "$data_unix/a.logfile"  # 8.3 alias A~1.LOG
cp "$data_unix/a.logfile" "$data_unix/b.log.bak"
run_exe "$work/c2.out" --no-wait
check "no log file: exit -1" "$([ "$rc" -eq 255 ] || echo "exit $rc")"
check "no log file: message" \
  "$(ends_with_lines "Brumbelの対戦ログファイルが見つかりませんでした。" "$work/c2.out" || echo "got: $(tail -c 120 "$work/c2.out" | iconv -f CP932 -t UTF-8 2>&1)")"
check "no log file: no analyze folder made" "$([ -e "$data_unix/analyze" ] && echo "analyze exists")"

# A log the program cannot open, among readable ones: a socket is listed like
# a file but cannot be opened. (As root, permission bits stop nothing.)
fresh_copy "$data_unix"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$data_unix/20000104.log"
run_exe "$work/c3.out" --no-wait
check "unreadable log: exit -1" "$([ "$rc" -eq 255 ] || echo "exit $rc")"
check "unreadable log: error line names it" \
  "$(holds "エラー : 入力ファイル $data_win\\20000104.log が開けません。" "$work/c3.out" || echo "got: $(iconv -f CP932 -t UTF-8 "$work/c3.out" 2>&1 | grep -m1 エラー)")"
check "unreadable log: the other logs read, all pages written" "$(pages_differ "$ref" "$data_unix/analyze")"

# A name the ANSI code page cannot spell comes back altered from the listing,
# so the program cannot open it under that name: an error, not a silent skip.
fresh_copy "$data_unix"
cp "$data_unix/$(ls "$data_unix" | grep '\.log$' | head -1)" "$data_unix/20000105한.log"
run_exe "$work/c4.out" --no-wait
check "log named outside the code page: exit -1 with an error line" \
  "$([ "$rc" -eq 255 ] && holds "エラー : 入力ファイル $data_win\\20000105" "$work/c4.out" || echo "exit $rc: $(iconv -f CP932 -t UTF-8 "$work/c4.out" 2>&1 | grep -m1 -e エラー -e 20000105)")"

fresh_copy "$data_unix"
echo "in the way" >"$data_unix/analyze"
run_exe "$work/c5.out" --no-wait
check "analyze is a file: exit -1 with its message" \
  "$([ "$rc" -eq 255 ] && ends_with_lines "分析ファイルフォルダ $data_win\\analyze の作成に失敗しました。" "$work/c5.out" || echo "exit $rc: $(tail -c 160 "$work/c5.out" | iconv -f CP932 -t UTF-8 2>&1)")"

# A page that cannot replace what is in its place: the others are still
# written, the run ends -1 as for any page not written (README), and no
# temporary file is left.
fresh_copy "$data_unix"
mkdir -p "$data_unix/analyze/menu.html"
run_exe "$work/c6.out" --no-wait
why=""
[ "$rc" -eq 255 ] || why="exit $rc"
holds "エラー : ファイル $data_win\\analyze\\menu.html の書き込みに失敗しました。" "$work/c6.out" ||
  why="$why no error line for menu.html"
for page in index.html personal.html observation.html ranking.html vslog.html; do
  cmp -s "$ref/$page" "$data_unix/analyze/$page" || why="$why $page not written"
done
left=$(ls "$data_unix/analyze" | grep -v -e '\.html$' -e '^matches\.csv$' | tr '\n' ' ')
[ -z "$left" ] || why="$why left behind: $left"
check "unwritable page: reported, others written, exit -1, no temporary left" "$why"

# ---------------------------------------------------------------------------
# (b) The 9x line: the install folder from the registry. Wine reports
# platform 1 for the exe with the win98 version set for it.
reg add 'HKCU\Software\Wine\AppDefaults\Ledgerwise.exe' /v Version /d win98 /f
key='HKCU\Software\Halvik\Brumbel'
install_unix="$(unix_path 'C:\brumbel')"
fresh_copy "$install_unix"

reg delete "$key" /f
run_exe "$work/b1.out" --no-wait
check "registry: no key: exit -1 with its message" \
  "$([ "$rc" -eq 255 ] && ends_with_lines "Brumbelのインストールフォルダの取得に失敗しました。" "$work/b1.out" || echo "exit $rc: $(tail -c 160 "$work/b1.out" | iconv -f CP932 -t UTF-8 2>&1)")"

reg add "$key" /v 'Install Path' /d 'C:\brumbel' /f
run_exe "$work/b2.out" --no-wait
check "registry: install folder read, pages identical" \
  "$([ "$rc" -eq 0 ] || echo "exit $rc: $(tail -c 160 "$work/b2.out" | iconv -f CP932 -t UTF-8 2>&1)")$(pages_differ "$ref" "$install_unix/analyze")"

# With a trailing backslash: the one the program cuts off must not come back
# doubled in the paths it makes.
fresh_copy "$install_unix"
python3 -c 'import socket, sys; socket.socket(socket.AF_UNIX).bind(sys.argv[1])' "$install_unix/20000104.log"
reg add "$key" /v 'Install Path' /d 'C:\brumbel\' /f
run_exe "$work/b3.out" --no-wait
check "registry: trailing backslash cut (paths have single separators)" \
  "$([ "$rc" -eq 255 ] && holds 'エラー : 入力ファイル C:\brumbel\20000104.log が開けません。' "$work/b3.out" || echo "exit $rc: $(iconv -f CP932 -t UTF-8 "$work/b3.out" 2>&1 | grep -m1 -e エラー -e Brumbel)")$(pages_differ "$ref" "$install_unix/analyze")"

reg add "$key" /v 'Install Path' /d 'C:\no such folder\' /f
run_exe "$work/b4.out" --no-wait
check "registry: folder does not exist: exit -1 with the path" \
  "$([ "$rc" -eq 255 ] && ends_with_lines "Brumbelのインストールフォルダ C:\\no such folder が見つかりませんでした。" "$work/b4.out" || echo "exit $rc: $(tail -c 160 "$work/b4.out" | iconv -f CP932 -t UTF-8 2>&1)")"

# Values that are no folder: empty (it would make the search run at the
# root of the current drive) and a number.
reg add "$key" /v 'Install Path' /d '' /f
run_exe "$work/b5.out" --no-wait
check "registry: empty value is no install folder" \
  "$([ "$rc" -eq 255 ] && ends_with_lines "Brumbelのインストールフォルダの取得に失敗しました。" "$work/b5.out" || echo "exit $rc: $(tail -c 160 "$work/b5.out" | iconv -f CP932 -t UTF-8 2>&1)")"
reg add "$key" /v 'Install Path' /t REG_DWORD /d 1 /f
run_exe "$work/b6.out" --no-wait
check "registry: a number is no install folder" \
  "$([ "$rc" -eq 255 ] && ends_with_lines "Brumbelのインストールフォルダの取得に失敗しました。" "$work/b6.out" || echo "exit $rc: $(tail -c 160 "$work/b6.out" | iconv -f CP932 -t UTF-8 2>&1)")"

# A Japanese folder name: the registry gives it in code page 932, and it must
# reach the file system and the console as those bytes, unconverted.
if lw_have_japanese_locale; then
  jp_unix="$(unix_path 'C:\ブランベル')"
  fresh_copy "$jp_unix"
  reg add "$key" /v 'Install Path' /d 'C:\ブランベル' /f
  run_exe "$work/b7.out" --no-wait
  check "registry: Japanese install folder" \
    "$([ "$rc" -eq 0 ] || echo "exit $rc: $(tail -c 160 "$work/b7.out" | iconv -f CP932 -t UTF-8 2>&1)")$(pages_differ "$ref" "$jp_unix/analyze")"
  reg add "$key" /v 'Install Path' /d 'C:\ブランベル無し' /f
  run_exe "$work/b8.out" --no-wait
  check "registry: missing Japanese folder named in Shift_JIS" \
    "$([ "$rc" -eq 255 ] && ends_with_lines "Brumbelのインストールフォルダ C:\\ブランベル無し が見つかりませんでした。" "$work/b8.out" || echo "exit $rc: $(tail -c 160 "$work/b8.out" | od -c | head -4)")"
else
  skip "registry: Japanese install folder" "no ja_JP.UTF-8 locale, so no code page 932 (setup.sh makes it)"
fi
reg delete 'HKCU\Software\Wine\AppDefaults\Ledgerwise.exe' /f
reg delete "$key" /f

# ---------------------------------------------------------------------------
# (d) The key wait. A console is a terminal to Wine; /dev/null is not.
prompt_hex="$(sjis_lines '何かキーを押してください。' | od -An -tx1 | tr -d ' \n')"
fresh_copy "$data_unix"
key_run() { # MODE OUT [ARG...]
  local mode="$1" out="$2"; shift 2
  (cd / && python3 "$here/pty_key.py" "$mode" "$out" "$prompt_hex" 2 -- wine "$exe" "$@" 2>/dev/null)
}
result=$(key_run input "$work/d1.out")
check "key wait: on a console it prompts, waits, and a key ends it (exit 0)" \
  "$([ "$result" = "prompt=1 waited=1 exit=0" ] || echo "$result")"
check "key wait: the prompt is the last line, in Shift_JIS with CR LF" \
  "$(cmp -s <(tail -c $((${#prompt_hex} / 2)) "$work/d1.out") <(sjis_lines '何かキーを押してください。') || echo "got: $(tail -c 40 "$work/d1.out" | od -c | head -3)")"

result=$(key_run input "$work/d2.out" 'C:\nowhere')
check "key wait: a failed run waits too, then exits -1" \
  "$([ "$result" = "prompt=1 waited=1 exit=255" ] || echo "$result")"

result=$(key_run input "$work/d3.out" --no-wait)
check "key wait: --no-wait does not wait on a console" \
  "$([ "$result" = "prompt=0 waited=0 exit=0" ] || echo "$result")"

(cd / && timeout 60 wine "$exe" </dev/null >"$work/d4.out" 2>&1)
rc=$?
check "key wait: no wait and no prompt with standard input from /dev/null" \
  "$([ "$rc" -eq 0 ] && ! holds '何かキーを押してください。' "$work/d4.out" || echo "exit $rc")"

# On a terminal console Wine shows the text in the terminal's encoding; each
# Shift_JIS character must arrive whole to be shown right.
if lw_have_japanese_locale; then
  utf8_prompt_hex="$(printf '何かキーを押してください。' | od -An -tx1 | tr -d ' \n')"
  result=$(cd / && python3 "$here/pty_key.py" console "$work/d5.out" "$utf8_prompt_hex" 2 -- wine "$exe" 2>/dev/null)
  check "key wait: the console shows the Japanese text readable" \
    "$([ "$result" = "prompt=1 waited=1 exit=0" ] && grep -q '分析中・・・' "$work/d5.out" || echo "$result: $(head -c 300 "$work/d5.out")")"
else
  skip "key wait: Japanese text on the console" "no ja_JP.UTF-8 locale"
fi

# ---------------------------------------------------------------------------
# The shared corpora through the command-line wrapper.
if [ -f "$repo/../shared/conformance/check.sh" ]; then
  LEDGERWISE_EXE="$exe" LEDGERWISE_WINEPREFIX="$WINEPREFIX" \
    bash "$repo/../shared/conformance/check.sh" "$here/ledgerwise-wine.sh" >"$work/conformance.out" 2>&1
  crc=$?
  check "conformance corpora through ledgerwise-wine.sh ($(tail -1 "$work/conformance.out"))" \
    "$([ "$crc" -eq 0 ] || grep FAIL "$work/conformance.out" | head -3)"
else
  skip "conformance corpora" "no ../shared/conformance beside the repository"
fi

echo "# $(( $(date +%s) - started )) s in all"
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]

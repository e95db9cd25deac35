#!/usr/bin/env bash
# The program as a real process on a real file system: what only a kernel
# shows (listing, links, /proc, permissions, locale variables, signals,
# locks, a terminal, memory, file size and descriptor limits, a full disk, a
# closed standard output). Every other row of the run is in driver_test.cpp; hostile log
# contents are fuzz seeds (tests/fuzz/seeds).
#   tests/driver_test.sh PROGRAM [LOGGEN]
set -u
prog="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
loggen="${2:-}"
work="$(mktemp -d)"
mounted=""
trap '[ -z "$mounted" ] || umount "$mounted"; chmod -R u+rwx "$work" 2>/dev/null
  rm -rf "$work"' EXIT
pass=0; fail=0
check() { local name="$1"; shift; if "$@"; then echo "PASS $name"; pass=$((pass + 1)); else echo "FAIL $name"; fail=$((fail + 1)); fi; }
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
has() { grep -qF -- "$2" "$1"; }
write_log() {
  { sjis "[21:05:10]とまと(２だん 60勝40敗 レート1500 最大12連鎖 切断率3%)と対戦を開始しました"; printf '\r\n'
    sjis "[21:09:40]とまとさんに勝ちました"; printf '\r\n'; } > "$1"
}
run() { out="$work/out.$RANDOM"; timeout 60 "$prog" --no-wait "$@" > "$out" 2>&1 < /dev/null; rc=$?; }
as_nobody=(); [ "$(id -u)" = 0 ] && as_nobody=(setpriv --reuid=65534 --regid=65534 --clear-groups)
# The six pages, and beside them nothing but finished files.
pages() {
  for p in index menu personal observation ranking vslog; do
    [ -s "$1/analyze/$p.html" ] || return 1
  done
  ! compgen -G "$1/analyze/*.tmp" > /dev/null
}

# Listing: any letter case of .log, regular files only.
d="$work/good"; mkdir -p "$d/dir.log"; write_log "$d/20050504.log"; write_log "$d/20050505.LOG"
mkfifo "$d/fifo.log"; ln -s /dev/zero "$d/zero.log"; printf x > "$d/notes.txt"
LC_ALL= LC_CTYPE= LANG= run "$d"
check "a good run exits 0" test "$rc" = 0
check ".LOG is read, a folder, FIFO or device named .log is not" \
  bash -c "grep -cE '^  2005050(4\.log|5\.LOG)$' '$out' | grep -qx 2 && ! grep -qE 'dir.log|fifo|zero' '$out'"
check "no locale means a UTF-8 console" has "$out" "分析中・・・"
LANG=ja_JP.SJIS run "$d"
check "a Shift_JIS locale gets Shift_JIS" has "$out" "$(sjis 分析中・・・)"

# Permissions: an unreadable log, a read-only output folder, a private page.
u="$work/perm"; mkdir -p "$u"; chmod 777 "$work" "$u"; write_log "$u/20050504.log"; write_log "$u/20050505.log"
chmod 000 "$u/20050505.log"
out="$work/perm.txt"; LANG=C.UTF-8 timeout 60 "${as_nobody[@]}" "$prog" --no-wait "$u" > "$out" 2>&1 < /dev/null; rc=$?
check "an unreadable log fails the run, pages still written" \
  bash -c "test $rc = 1 && grep -qF 'エラー : 入力ファイル $u/20050505.log が開けません。' '$out' && test -s '$u/analyze/vslog.html'"
chmod 640 "$u/analyze/vslog.html"; chmod 644 "$u/20050505.log"; run "$u"
check "a replaced page keeps its mode" test "$(stat -c %a "$u/analyze/vslog.html")" = 640
cp "$u/analyze/ranking.html" "$work/ranking.before"; chmod 555 "$u/analyze"
out="$work/ro.txt"; LANG=C.UTF-8 timeout 60 "${as_nobody[@]}" "$prog" --no-wait "$u" > "$out" 2>&1 < /dev/null; rc=$?
check "a read-only output folder fails every page, keeps the old ones" \
  bash -c "test $rc = 1 && test \$(grep -c 'が開けません' '$out') = 8 && cmp -s '$u/analyze/ranking.html' '$work/ranking.before'"
chmod 755 "$u/analyze"

# Planted links in the output folder are never followed; a killed run's
# temporary file is removed, a link named like one is not.
l="$work/planted"; mkdir -p "$l/analyze"; write_log "$l/20050504.log"; printf victim > "$work/victim"
ln -s "$work/victim" "$l/analyze/menu.html"; ln -s "$work/victim" "$l/analyze/index.html.0123456789abcdef.tmp"
printf x > "$l/analyze/vslog.html.fedcba9876543210.tmp"
run "$l"
check "a planted link is replaced, its target untouched; a temporary file removed, a link named like one kept" \
  bash -c "test $rc = 0 && test \"\$(cat '$work/victim')\" = victim && test ! -L '$l/analyze/menu.html' &&
    test \"\$(ls '$l/analyze' | grep tmp)\" = index.html.0123456789abcdef.tmp"

# The default data folder in a Wine prefix.
w="$work/prefix/drive_c/users/someone/AppData/Roaming/Halvik/Brumbel"; mkdir -p "$w"; write_log "$w/20050504.log"
WINEPREFIX="$work/prefix" USER=someone timeout 60 "$prog" --no-wait > /dev/null 2>&1 < /dev/null
check "the data folder is found in the Wine prefix" test -s "$w/analyze/index.html"

# Options.
opt() { "$prog" "$@" > "$work/opt.txt" 2>&1 < /dev/null; echo $?; }
check "--help and --version exit 0" test "$(opt --help)$(opt --version)" = 00
check "unknown options, short ones too, exit 2" test "$(opt --bogus)$(opt -V)$(opt -x)" = 222
mkdir -p "$work/--no-wait"; write_log "$work/--no-wait/20050504.log"
(cd "$work" && timeout 60 "$prog" --no-wait -- --no-wait > /dev/null 2>&1 < /dev/null)
check "-- ends the options" test -s "$work/--no-wait/analyze/index.html"

# A heavy player's corpus.
if [ -n "$loggen" ]; then
  k="$work/kill"; "$loggen" --out "$k" --days 700 --matches-per-day 60 > /dev/null
  # A folder in the lock file's place: each run warns once and writes without
  # the lock, and then removes no temporary file, which may be another run's
  # being written. Four runs at once all succeed, every page whole, and a
  # file named like a killed run's temporary stays.
  q="$work/lockdir"; mkdir -p "$q/analyze/ledgerwise.lock"; cp "$k"/*.log "$q"
  quad() { LC_ALL=C.UTF-8 timeout 120 "$prog" --no-wait "$q" < /dev/null; }
  quad > /dev/null 2>&1; cp -r "$q/analyze" "$work/lockdir.expected"
  printf x > "$q/analyze/vslog.html.0123456789abcdef.tmp"
  four=()
  for n in 1 2 3 4; do quad > "$work/four.$n" 2>&1 & four+=($!); done
  codes=""; for p in "${four[@]}"; do wait "$p"; codes+=$?; done
  check "a folder as the lock: four runs at once exit 0, each warns once, no failed write" \
    bash -c "test $codes = 0000 && test \$(cat '$work'/four.* | grep -c 'ロックなしで書き込みます') = 4 &&
      ! cat '$work'/four.* | grep -q 書き込みに失敗"
  check "a folder as the lock: every page whole, the temporary-named file kept, none other" \
    bash -c "diff -qr -x menu.html -x '*.tmp' '$q/analyze' '$work/lockdir.expected' &&
      test \"\$(ls '$q/analyze' | grep tmp)\" = vslog.html.0123456789abcdef.tmp"

  # Descriptors: three standard streams, the lock and the two files written
  # at once (vslog.html takes long enough to overlap the others); the logs
  # then take turns for what is left. One fewer, and a file cannot be made,
  # said as such; with one for the logs, each is still read.
  # A build with the address and undefined-behaviour sanitizers is left out:
  # their checks take a pipe of their own.
  if grep -qa __asan_init "$prog"; then
    echo "SKIP descriptor limits: a sanitizer build"
  else
    f="$work/fds"; mkdir "$f"; cp "$k"/*.log "$f"
    logs=$(ls "$f" | grep -c '\.log$')
    fds() {  # LIMIT: exit code of a run with no descriptor above 2 inherited
      LC_ALL=C.UTF-8 timeout 60 bash -c 'for fd in /proc/$$/fd/*; do fd=${fd##*/}
        [ "$fd" -gt 2 ] && eval "exec $fd>&-"; done; ulimit -n "$0" && exec "$@"' \
        "$1" "$prog" --no-wait "$f" > "$work/fds.$1" 2>&1 < /dev/null
      echo $?
    }
    check "ulimit -n 6: exit 0, every log read, six pages" bash -c "test $(fds 6) = 0 &&
      test \$(grep -c '^  [0-9]*\.log$' '$work/fds.6') = $logs && ! grep -q エラー '$work/fds.6' &&
      $(declare -f pages); pages '$f'"
    # With one less, whether two pages are ever open at once is the
    # scheduler's to say: either way no crash, no hang, no temporary left.
    check "ulimit -n 5: all written, or the page that could not be made named" \
      bash -c "rc=$(fds 5); { test \$rc = 0 && $(declare -f pages) && pages '$f'; } ||
        { test \$rc = 1 && grep -qE '^エラー : ファイル $f/analyze/[a-z]+\.(html|csv) が開けません。' '$work/fds.5'; } &&
        ! compgen -G '$f/analyze/*.tmp'"
    check "ulimit -n 4: every log still read, one at a time" bash -c "test $(fds 4) = 1 &&
      test \$(grep -c '^  [0-9]*\.log$' '$work/fds.4') = $logs && ! grep -q 入力ファイル '$work/fds.4'"
  fi

  # Room to start but not for the corpus (a sanitizer build cannot start so small).
  if (ulimit -v 9000; "$prog" --version > /dev/null 2>&1); then
    (ulimit -v 9000; LANG=C.UTF-8 "$prog" --no-wait "$k" > "$work/oom.txt" 2>&1 < /dev/null); rc=$?
    check "out of memory: the message, a failure, no temporary file" \
      bash -c "test $rc = 1 && grep -qF 'メモリが足りません。' '$work/oom.txt' && ! ls -A '$k/analyze' | grep -q tmp"
  fi
fi

# Links: one to a log is read; links that loop, dangle or lead to a folder are skipped.
go() { LC_ALL=C.UTF-8 timeout 60 "$prog" --no-wait "$1" < /dev/null; }
# many FILE COUNT: COUNT won matches, each against an opponent of its own.
many() {
  for ((i = 0; i < $2; i++)); do
    printf '[%02d:%02d:00]相手%d(２だん 1勝1敗 レート1 最大1連鎖 切断率0%%)と対戦を開始しました\n' \
      $((i / 60 % 24)) $((i % 60)) $i
    printf '[%02d:%02d:30]相手%dさんに勝ちました\n' $((i / 60 % 24)) $((i % 60)) $i
  done | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$1"
}
h="$work/links"; mkdir -p "$h" "$work/folder"
many "$h/20050504.log" 3; many "$work/outside" 2
ln -s a.log "$h/b.log"; ln -s b.log "$h/a.log"; ln -s "$work/nowhere" "$h/dangling.log"
ln -s "$work/folder" "$h/folder.log"; ln -s "$work/outside" "$h/linked.log"
go "$h" > "$work/out" 2>&1
check "links: exit 0, no hang, the log and the linked one read, six pages" bash -c \
  "test $? = 0 && test \$(grep -c '^  <TR class=[ab]>' '$h/analyze/vslog.html') = 5 &&
   $(declare -f pages); pages '$h'"

# The run lock, held here with flock(1) on a descriptor the run does not
# inherit. A run started meanwhile says it waits, and the kernel lists it as
# waiting for the lock: only then is the lock released, or the run
# interrupted. As root the lock file is root's, 0644, and the run nobody's:
# a read-only descriptor must do for flock.
# held_start DIR: a run on DIR under the held lock; `pid`, `said` (the
# waiting line came), `blocked` (the kernel shows the run waiting).
held_start() {
  mkdir -p "$1/analyze"; write_log "$1/20050504.log"; : > "$1/analyze/ledgerwise.lock"
  chmod 644 "$1/analyze/ledgerwise.lock"; chmod 777 "$1" "$1/analyze"
  rm -f "$work/fifo"; mkfifo "$work/fifo"
  exec 8< "$1/analyze/ledgerwise.lock"; flock -x 8
  # A job in the background of a script ignores SIGINT unless told otherwise.
  LANG=C.UTF-8 env --default-signal=INT "${as_nobody[@]}" "$prog" --no-wait "$1" \
    > "$work/fifo" 2>&1 < /dev/null 8<&- &
  pid=$!
  exec 7< "$work/fifo"
  said=no; blocked=no; : > "$work/held.txt"
  while IFS= read -r -t 30 line <&7; do
    printf '%s\n' "$line" >> "$work/held.txt"
    if [ "$line" = "ほかの実行が終わるのを待っています・・・" ]; then said=yes; break; fi
  done
  for _ in $(seq 3000); do
    if grep -qE "^[0-9]+: -> FLOCK +ADVISORY +WRITE +$pid " /proc/locks; then blocked=yes; break; fi
    kill -0 "$pid" 2> /dev/null || break
    sleep 0.01
  done
}
# held_end: the rest of the run's output, the lock released, the exit code.
held_end() {
  timeout 30 cat <&7 >> "$work/held.txt"; exec 7<&-; flock -u 8; exec 8<&-; wait "$pid"; rc=$?
}
held_start "$work/held"
state="$said $blocked $(kill -0 "$pid" 2> /dev/null && echo alive) $(ls "$work/held/analyze")"
flock -u 8; held_end
check "a held lock: the run says it waits and waits, alive, nothing written" \
  test "$state" = "yes yes alive ledgerwise.lock"
check "after the release it finishes: exit 0, six pages, no warning${as_nobody:+ (a lock file it cannot write)}" \
  bash -c "test $rc = 0 && $(declare -f pages); pages '$work/held' && ! grep -q 警告 '$work/held.txt'"
held_start "$work/interrupted"
kill -INT "$pid"; held_end
check "Ctrl+C while waiting for the lock: a failure, nothing written" \
  bash -c "test $said$blocked = yesyes && test $rc != 0 && test ! -e '$work/interrupted/analyze/index.html'"

# Logs linked into /proc: regular files to stat, but one blocks and one
# never ends. Skipped unread (as nobody, /proc/kmsg cannot even be opened).
pf="$work/proc"; mkdir -p "$pf"; chmod 777 "$pf"; many "$pf/20050504.log" 2
ln -s /proc/kmsg "$pf/20050505.log"; ln -s /proc/self/pagemap "$pf/20050506.log"
LC_ALL=C.UTF-8 timeout 60 "${as_nobody[@]}" "$prog" --no-wait "$pf" > "$work/out" 2>&1 < /dev/null
check "logs linked to /proc/kmsg and /proc/self/pagemap: skipped, no hang, exit 0" bash -c \
  "test $? = 0 && test \"\$(grep '^  ' '$work/out')\" = '  20050504.log'"

# A first run, then one whose vslog.html cannot be written whole.
output_fails() {  # NAME DIR RUNNER
  many "$2/20050504.log" 3; go "$2" > /dev/null; cp "$2/analyze/vslog.html" "$work/old"
  many "$2/20050505.log" 1000
  "$3" "$2" > "$work/out" 2>&1
  check "$1: exit 1, not killed" test $? = 1
  check "$1: the page named" \
    grep -qF -- "エラー : ファイル $2/analyze/vslog.html の書き込みに失敗しました。" "$work/out"
  check "$1: old vslog.html kept, six pages, no temporary file" \
    bash -c "cmp -s '$2/analyze/vslog.html' '$work/old' && $(declare -f pages); pages '$2'"
}
limited() { (ulimit -f 64; go "$1"); }
mkdir "$work/limit"; output_fails "file size limit" "$work/limit" limited
mkdir "$work/disk"
if mount -t tmpfs -o size=320k tmpfs "$work/disk" 2>/dev/null; then
  mounted="$work/disk"; mkdir "$work/disk/data"; output_fails "full disk" "$work/disk/data" go
  umount "$work/disk" && mounted=""
else
  echo "SKIP full disk: cannot mount a tmpfs here (it needs root: run the tests as root)"
fi

# With descriptor 1 closed the next file opened gets it: console text must
# not land in a log or a page.
c="$work/console"; mkdir "$c"; many "$c/20050504.log" 3
go "$c" > /dev/null; cp -r "$c/analyze" "$work/expected"
LC_ALL=C.UTF-8 timeout 60 "$prog" --no-wait "$c" >&- 2>&- < /dev/null
check "standard output closed: exit 0, pages as before" bash -c \
  "test $? = 0 && diff -qr -x menu.html -x '*.lock' '$c/analyze' '$work/expected'"

# The key wait on a terminal (the console of tests/wine/pty_key.py): only
# with --wait; all a key sent is taken, echo comes back when Ctrl+C ends the
# wait, and a run in the background never touches the terminal.
LANG=C.UTF-8 python3 - "$prog" "$d" "$(dirname "$0")/wine" > "$work/key.txt" 2>&1 <<'PY'
import sys, termios
sys.path.insert(0, sys.argv[3])
from pty_key import Console
# What is left in the terminal's input after the program, as the shell would read it.
AFTER = '; stty -icanon min 0 time 3; printf LEFT:; cat | od -An -tx1; echo :END'
def session(name, script, key=None):
    console = Console(["bash", "-c", script, *sys.argv[1:3]])
    prompt = lambda: "何かキー" in console.text()
    waiting = False
    if key:
        console.wait_while(lambda: not prompt())
        console.pump(0.3)
        waiting = console.process.poll() is None
        console.key(key)
    code = console.exit_code(30)
    echo = bool(termios.tcgetattr(console.master)[3] & termios.ECHO)
    left = console.text().partition("LEFT:")[2].partition(":END")[0].strip()
    print(name, waiting, code, echo, "prompt" if prompt() else "-", left or "none")
session("default", '"$0" "$1"; echo rc=$?' + AFTER)
session("arrow", '"$0" --wait "$1"' + AFTER, b"\x1b[A")
session("ctrl-c", '"$0" --wait "$1"', b"\x03")
session("background", 'set -m; "$0" --wait "$1" & wait $!; echo rc=$?' + AFTER)
PY
check "a terminal does not wait by default" grep -qx "default False 0 True - none" "$work/key.txt"
check "--wait waits; an arrow key is taken whole, none of it left for the shell" \
  grep -qx "arrow True 0 True prompt none" "$work/key.txt"
check "Ctrl+C at the prompt ends the run and restores echo" grep -q "^ctrl-c True -2 True prompt" "$work/key.txt"
check "a run in the background never waits or stops" grep -qx "background False 0 True - none" "$work/key.txt"

# Watching: a match the game adds reaches the console, a one-shot run meanwhile
# does not wait for the watch to end, and Ctrl+C ends it with exit 0, the
# pages whole, and a dashboard that no longer asks for live.js.
v="$work/watch"; mkdir -p "$v"; write_log "$v/20050504.log"
LANG=C.UTF-8 "$prog" --watch "$v" > "$work/watch.txt" 2>&1 < /dev/null & watcher=$!
await() {  # FILE TEXT: until the file holds the text, at most 30 s
  for _ in $(seq 300); do grep -qF -- "$2" "$1" && return 0; sleep 0.1; done; return 1
}
check "watch: the first run, then watching" await "$work/watch.txt" "監視中・・・"
{ sjis "[22:00:00]なす(３だん 10勝5敗 レート1600 最大9連鎖 切断率1%)と対戦を開始しました"; printf '\r\n'
  sjis "[22:04:00]なすさんに負けました"; printf '\r\n'; } >> "$v/20050504.log"
check "watch: the match's lines on the console" await "$work/watch.txt" "22:04:00 なす : 負け"
LANG=C.UTF-8 timeout 30 "$prog" "$v" > "$work/oneshot.txt" 2>&1 < /dev/null
check "watch: a one-shot run meanwhile finishes" test $? = 0
kill -INT "$watcher"; wait "$watcher"; rc=$?
check "watch: Ctrl+C ends it with exit 0" test "$rc" = 0
check "watch: the pages whole and as a one-shot run writes them" bash -c \
  "grep -qF '監視を終わりました。' '$work/watch.txt' && $(declare -f pages); pages '$v' &&
   cmp -s <(sed 31d '$v/analyze/vslog.html') <(LANG=C.UTF-8 '$prog' '$v' >/dev/null 2>&1; sed 31d '$v/analyze/vslog.html')"

echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]

#!/usr/bin/env bash
# What only a real kernel does to the program: links that loop, dangle or
# lead out of the folder, a file size limit (SIGXFSZ), a full disk and a
# closed standard output. Nothing may hang or be killed, a page that cannot
# be written keeps its old bytes, and no temporary file stays. (FIFOs,
# devices and the logs being only read are driver_test.sh's; hostile log
# contents are fuzz seeds, tests/fuzz/seeds.)
#   tests/hostile_test.sh PROGRAM
set -u
prog="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
work="$(mktemp -d)"
mounted=""
trap '[ -n "$mounted" ] && umount "$mounted"; rm -rf "$work"' EXIT
fail=0
check() { if "${@:2}"; then echo "PASS $1"; else echo "FAIL $1"; fail=1; fi; }
run() { LC_ALL=C.UTF-8 timeout 60 "$prog" --no-wait "$1" < /dev/null; }
# log FILE COUNT: COUNT won matches, each against an opponent of its own.
log() {
  for ((i = 0; i < $2; i++)); do
    printf '[%02d:%02d:00]相手%d(２だん 1勝1敗 レート1 最大1連鎖 切断率0%%)と対戦を開始しました\n' $((i / 60 % 24)) $((i % 60)) $i
    printf '[%02d:%02d:30]相手%dさんに勝ちました\n' $((i / 60 % 24)) $((i % 60)) $i
  done | sed 's/$/\r/' | iconv -f UTF-8 -t CP932 > "$1"
}
rows() { grep -c '^  <TR class=[ab]>' "$1/analyze/vslog.html"; }
# The six pages, and beside them nothing but finished files.
pages() {
  for p in index menu personal observation ranking vslog; do [ -s "$1/analyze/$p.html" ] || return 1; done
  ! compgen -G "$1/analyze/*.tmp" > /dev/null
}

# A link to a log is read; links that loop, dangle or lead to a folder are skipped.
d="$work/links"; mkdir -p "$d" "$work/folder"
log "$d/20050504.log" 3; log "$work/outside" 2
ln -s a.log "$d/b.log"; ln -s b.log "$d/a.log"; ln -s "$work/nowhere" "$d/dangling.log"
ln -s "$work/folder" "$d/folder.log"; ln -s "$work/outside" "$d/linked.log"
run "$d" > "$work/out" 2>&1
check "links: exit 0, no hang" test $? = 0
check "links: the log and the linked one read" test "$(rows "$d")" = 5
check "links: six pages" pages "$d"

# A first run, then one whose vslog.html cannot be written whole.
output_fails() {  # NAME DIR RUNNER
  log "$2/20050504.log" 3; run "$2" > /dev/null; cp "$2/analyze/vslog.html" "$work/old"
  log "$2/20050505.log" 1000
  "$3" "$2" > "$work/out" 2>&1
  check "$1: exit 1, not killed" test $? = 1
  check "$1: the page named" grep -qF -- "エラー : ファイル $2/analyze/vslog.html の書き込みに失敗しました。" "$work/out"
  check "$1: old vslog.html kept" cmp -s "$2/analyze/vslog.html" "$work/old"
  check "$1: six pages, no temporary file" pages "$2"
}
limited() { (ulimit -f 64; run "$1"); }
mkdir "$work/limit"; output_fails "file size limit" "$work/limit" limited
mkdir "$work/disk"
if mount -t tmpfs -o size=320k tmpfs "$work/disk" 2>/dev/null; then
  mounted="$work/disk"; mkdir "$work/disk/data"; output_fails "full disk" "$work/disk/data" run
  umount "$work/disk" && mounted=""
else
  echo "SKIP full disk: cannot mount a tmpfs here"
fi

# With descriptor 1 closed the next file opened gets it: console text must
# not land in a log or a page.
d="$work/console"; mkdir "$d"; log "$d/20050504.log" 3
run "$d" > /dev/null; cp -r "$d/analyze" "$work/expected"
LC_ALL=C.UTF-8 timeout 60 "$prog" --no-wait "$d" >&- 2>&- < /dev/null
check "standard output closed: exit 0" test $? = 0
check "standard output closed: pages as before" diff -qr -x menu.html -x '*.lock' "$d/analyze" "$work/expected"
exit "$fail"

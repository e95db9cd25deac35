#!/usr/bin/env bash
# Runs the built program on hostile data folders and failing output: broken
# bytes, huge lines and numbers, markup in names, odd directory entries, a
# log that vanishes after the listing, a full disk and a file size limit.
# Nothing may crash or hang, every page must stay well-formed, a page that
# cannot be written must keep its old bytes, and no log is ever written.
#   tests/hostile_test.sh PROGRAM
# Run it against the sanitizer build too: any sanitizer report fails a case.
set -u
prog="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"
# A memory file system when there is one: a hundred thousand files on a slow
# disk take minutes to make and remove.
base="${TMPDIR:-/tmp}"
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
work="$(mktemp -d -p "$base")"
mounted=""
cleanup() {
  [ -n "$mounted" ] && umount "$mounted" 2>/dev/null
  chmod -R u+rwx "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
pass=0; fail=0; skip=0
started=$(date +%s)

ok()   { echo "PASS $1"; pass=$((pass + 1)); }
bad()  { echo "FAIL $1: $2"; fail=$((fail + 1)); }
skipped() { echo "SKIP $1: $2"; skip=$((skip + 1)); }
check() { local name="$1"; shift; if "$@"; then ok "$name"; else bad "$name" "$*"; fi; }
sjis() { printf '%s' "$1" | iconv -f UTF-8 -t CP932; }
has()  { grep -qF -- "$(sjis "$2")" "$1"; }   # FILE UTF8-TEXT, searched as Shift_JIS bytes

# The byte-level work is done in Python: building logs, reading pages.
py="$work/hostile.py"
cat > "$py" <<'PY'
import hashlib, os, random, re, stat, sys

def sj(text):
    return text.encode("cp932")

def start(time, name, grade="２だん", figures="60勝40敗 レート1500 最大12連鎖 切断率3%"):
    """A match-start line; `name` is bytes or text."""
    name = name if isinstance(name, bytes) else sj(name)
    return b"[" + time + b"]" + name + sj("(" + grade + " " + figures + ")と対戦を開始しました")

def line(time, text):
    return b"[" + time + b"]" + sj(text)

def write(path, lines, end=b"\r\n"):
    with open(path, "wb") as f:
        f.write(b"".join(l + end for l in lines))

# The last line of each page as the page writers end it.
PAGES = {"index.html": b"</HTML>", "menu.html": b"</BODY></HTML>",
         "personal.html": b"</BODY></HTML>", "observation.html": b"</html>",
         "ranking.html": b"</DIV></BODY></HTML>", "vslog.html": b"</BODY></HTML>"}

def page_problems(folder):
    """Why the analyze folder is not six well-formed pages; empty when it is."""
    problems = []
    names = sorted(os.listdir(folder)) if os.path.isdir(folder) else []
    extra = [n for n in names if n not in PAGES and n not in ("dashboard.html", "matches.csv")]
    if extra:
        problems.append("unexpected entries %r" % extra[:5])
    for page, last in PAGES.items():
        path = os.path.join(folder, page)
        if not os.path.isfile(path):
            problems.append(page + " missing")
            continue
        data = open(path, "rb").read()
        if not data.endswith(b"\r\n"):
            problems.append(page + " does not end in CR LF")
        if b"\n" in data.replace(b"\r\n", b""):
            problems.append(page + " has a bare LF")
        if data[:-2].rsplit(b"\r\n", 1)[-1] != last:
            problems.append(page + " does not end with " + last.decode())
    return problems

def fingerprint(folder):
    """Name, size, mtime and digest of every log, links followed."""
    out = []
    for name in sorted(os.listdir(folder)):
        path = os.path.join(folder, name)
        try:
            st = os.stat(path)
        except OSError:
            continue
        if stat.S_ISREG(st.st_mode):
            with open(path, "rb") as f:
                digest = hashlib.sha1(f.read()).hexdigest()
            out.append("%r %d %d %s" % (name, st.st_size, st.st_mtime_ns, digest))
    return "\n".join(out)

def table(vslog, name):
    """The bytes of one opponent's table in vslog.html ("" when it has none)."""
    anchor = b'<A NAME="' + name + b'"></A>'
    at = vslog.find(anchor)
    if at < 0:
        return b""
    end = vslog.find(b'<A NAME="', at + 1)
    return vslog[at:end if end >= 0 else len(vslog)]

def rows(part):
    return part.count(b"\r\n  <TR class=a>\r\n") + part.count(b"\r\n  <TR class=b>\r\n")

def main():
    cmd, args = sys.argv[1], sys.argv[2:]
    if cmd == "pages":
        problems = page_problems(args[0])
        print("; ".join(problems))
        sys.exit(1 if problems else 0)
    if cmd == "fingerprint":
        sys.stdout.write(fingerprint(args[0]))
        return
    if cmd == "make":
        globals()["make_" + args[0]](*args[1:])
        return
    if cmd == "expect":
        globals()["expect_" + args[0]](*args[1:])
        return
    raise SystemExit("unknown command " + cmd)

# --- corpora ---------------------------------------------------------------

def make_random(d):
    rnd = random.Random(20050504)
    for name in ("20050504.log", "20050505.log", "x.LOG"):
        with open(os.path.join(d, name), "wb") as f:
            f.write(rnd.randbytes(300000))
    # Random bytes around real phrases, so the parser's states are reached.
    pieces = [sj(s) for s in ("対戦を開始しました", "勝ちました", "負けました", "(２だん 5勝5敗 レート1 最大2連鎖 切断率3%)",
                              "リプレイをオートセーブしました", "エラーが発生しました", "ログアウトしました")]
    out = bytearray()
    while len(out) < 400000:
        out += b"[%02d:%02d:%02d]" % (rnd.randrange(100), rnd.randrange(100), rnd.randrange(100))
        out += rnd.randbytes(rnd.randrange(20))
        out += rnd.choice(pieces)
        out += rnd.choice([b"\r\n", b"\n", b"\r", b"", b"\0", b"\x1a"])
    open(os.path.join(d, "20050506.log"), "wb").write(bytes(out))

# Names that are not Shift_JIS: stray lead bytes, bytes no code page uses, a
# lead byte right before the "(" and before markup.
BAD_NAMES = [b"\x81", b"\xff\xfe\xfd", b"\x80\xa0", b"a\x82", b"\x82<b>", b"\xfc\xfc\xfc\x7f"]

def make_badsjis(d):
    lines = []
    for i, name in enumerate(BAD_NAMES):
        t = b"21:%02d:00" % i
        lines += [start(t, name), b"[" + t + b"]\x81" + sj("さんに勝ちました") + b"\x82"]
    lines.append(b"\x81\x82\x83\x84\xfd\xfe\xff" * 100)
    write(os.path.join(d, "20050504.log"), lines)
    # A lead byte as the last byte of the file and of a line before CR LF.
    open(os.path.join(d, "20050505.log"), "wb").write(start(b"22:00:00", "おわり") + b"\x82\r\n\x82")

def expect_badsjis(d):
    vslog = open(os.path.join(d, "analyze", "vslog.html"), "rb").read()
    for name in BAD_NAMES:
        escaped = name.replace(b"<", b"&lt;").replace(b">", b"&gt;")
        part = table(vslog, escaped)
        if rows(part) != 1 or sj("勝ち (0－0)") not in part:
            raise SystemExit("no won match under %r" % name)

def make_nul(d):
    lines = [
        # A NUL before the phrase: the line ends there, so no match starts.
        start(b"10:00:00", "ぬる").replace(sj("と対戦"), b"\0" + sj("と対戦")),
        # A NUL after the phrase: the match starts, the rest is ignored.
        start(b"10:01:00", "あと") + b"\0" + sj("さんに勝ちました"),
        line(b"10:02:00", "あとさんに勝ちました"),
        b"\x1a",  # an end-of-file mark is an ordinary byte; reading goes on
        start(b"10:03:00", "ＥＯＦ") + b"\x1a",
        line(b"10:04:00", "ＥＯＦさんに負けました\x1a"),
        b"\0" * 5000,
        start(b"10:05:00", "ぜろ"),
        line(b"10:06:00", "ぜろさんに").replace(b"\x82\xc9", b"\x82\xc9\0") + sj("勝ちました"),
        line(b"10:07:00", "ぜろさんに勝ちました"),
    ]
    write(os.path.join(d, "20050504.log"), lines)

def expect_nul(d):
    vslog = open(os.path.join(d, "analyze", "vslog.html"), "rb").read()
    if table(vslog, sj("ぬる")):
        raise SystemExit("a match started from a phrase after a NUL")
    for name, result in (("あと", "勝ち"), ("ＥＯＦ", "負け"), ("ぜろ", "勝ち")):
        part = table(vslog, sj(name))
        if rows(part) != 1 or sj(result) not in part:
            raise SystemExit("%s: expected one %s" % (name, result))
    # The win after the NUL on the "ぜろ" line is cut off, the next line ends it.
    if b" 10:07:00</TD>" not in table(vslog, sj("ぜろ")):
        raise SystemExit("ぜろ ended on the wrong line")

def make_longline(d):
    rnd = random.Random(7)
    alphabet = b"abcdefghij \x82\xa0"  # no phrase can be made of these
    filler = rnd.randbytes(10 * 1024 * 1024).translate(bytes(alphabet[i % len(alphabet)] for i in range(256)))
    write(os.path.join(d, "20050504.log"),
          [start(b"09:00:00", "ながい"), line(b"09:00:01", "リプレイをオートセーブしました"),
           filler, line(b"09:00:02", "リプレイをオートセーブしました"),
           line(b"09:05:00", "ながいさんに勝ちました")])
    # A 10 MB line without any line end, as the last thing in a file.
    open(os.path.join(d, "20050505.log"), "wb").write(filler)

def expect_longline(d):
    part = table(open(os.path.join(d, "analyze", "vslog.html"), "rb").read(), sj("ながい"))
    if rows(part) != 1 or sj("勝ち (2－0)") not in part:
        raise SystemExit("the match around the long line was not read whole")

def make_many(d, count):
    # Names carry a date ("%04d%02d%02d" stops at the dash), one match each.
    count = int(count)
    for i in range(count):
        name = "対%d" % (i % 1000)
        day = 1 + i % 28
        with open(os.path.join(d, "200505%02d-%06d.log" % (day, i)), "wb") as f:
            f.write(start(b"20:%02d:00" % (i % 60), name) + b"\r\n"
                    + line(b"20:%02d:30" % (i % 60), name + ("さんに勝ちました" if i % 3 else "さんに負けました")) + b"\r\n")

def expect_many(d, count):
    vslog = open(os.path.join(d, "analyze", "vslog.html"), "rb").read()
    if rows(vslog) != int(count):
        raise SystemExit("%d match rows, expected %s" % (rows(vslog), count))
    if vslog.count(b'<A NAME="') != 1000:
        raise SystemExit("expected 1000 opponents")

def long_names():
    # 16 bytes is the first length past a 15-character name field; then
    # lengths around the 1023-byte piece cut: 945 makes a start line of
    # exactly 1023 bytes, 946 cuts its phrase, 1000 puts the whole phrase in
    # the second piece.
    return [bytes((0x41 + i % 26,)) * n for i, n in enumerate((15, 16, 17, 255, 256, 900, 945, 946, 1000))]

def make_names(d):
    lines = [start(b"08:00:00", "まえ"), line(b"08:01:00", "まえさんに勝ちました")]
    for i, name in enumerate(long_names()):
        t = b"08:%02d:00" % (2 + i)
        # The end line holds no name: a long one would cut its phrase too.
        lines += [start(t, name), line(t, "負けました")]
    write(os.path.join(d, "20050504.log"), lines)
    # The long name first in a file: its match has no name to inherit.
    write(os.path.join(d, "20050505.log"), [start(b"08:30:00", b"Z" * 1000),
                                           line(b"08:31:00", "負けました")])

def expect_names(d):
    vslog = open(os.path.join(d, "analyze", "vslog.html"), "rb").read()
    expected = {sj("まえ"): 1}
    last = sj("まえ")
    for name in long_names():
        size = len(start(b"08:00:00", name))
        phrase_at = size - len(sj("対戦を開始しました"))
        if size <= 1023:  # one piece: the name is whole
            expected[name] = 1
            last = name
        elif phrase_at >= 1023:
            # The phrase lands in the second piece, which has no time prefix:
            # the match goes to the file's last name.
            expected[last] += 1
            expected.setdefault(name, 0)
        else:  # the phrase is cut in two: no match starts
            expected.setdefault(name, 0)
    for name, count in expected.items():
        if rows(table(vslog, name)) != count:
            raise SystemExit("the %d-byte name has %d matches, expected %d"
                             % (len(name), rows(table(vslog, name)), count))
    for name in long_names() + [b"Z" * 1000]:
        if len(start(b"08:00:00", name)) > 1023 and table(vslog, name[:1023 - 10]):
            raise SystemExit("the head of a cut %d-byte name became an opponent" % len(name))
    if rows(table(vslog, b"")) != 1:
        raise SystemExit("a cut name first in a file did not give the empty name")

def make_numbers(d):
    lines = []
    figures = [
        ("でかい", "しょだん", "99999999999勝-5敗 レート-2147483649 最大99999999999連鎖 切断率-1%"),
        ("ふたつ", "１０だん", "99999999999勝99999999999敗 レート2147483648 最大-0連鎖 切断率99999999999%"),
        ("まいなす", "１０きゅう", "-99999999999勝-99999999999敗 レート-0 最大-7連鎖 切断率-2147483648%"),
        ("ぜろわ", "９きゅう", "+5勝-5敗 レート+15 最大+3連鎖 切断率+0%"),
        ("つよい", "５だん", "100勝-50敗 レート1 最大1連鎖 切断率1%"),
    ]
    for i, (name, grade, fig) in enumerate(figures):
        t = b"12:%02d:00" % i
        lines += [start(t, name, grade, fig), b"[" + t + b"]" + sj(name + "さんに勝ちました")]
    write(os.path.join(d, "-0010101.log"), lines)

def expect_numbers(d):
    vslog = open(os.path.join(d, "analyze", "vslog.html"), "rb").read()
    want = {
        "でかい": ["<TD>2147483647－-5</TD>", "<TD>1.000</TD>", "<TD>-2147483648</TD>",
                 "<TD>2147483647</TD>", "<TD>-1</TD>", "<TD>初段</TD>"],
        "ふたつ": ["<TD>2147483647－2147483647</TD>", "<TD>0.500</TD>", "<TD>十段</TD>"],
        "まいなす": ["<TD>-2147483648－-2147483648</TD>", "<TD>0.500</TD>", "<TD>-2147483648</TD>"],
        "ぜろわ": ["<TD>5－-5</TD>", "<TD>---</TD>", "<TD>15</TD>", "<TD>3</TD>", "<TD>0</TD>"],
        "つよい": ["<TD>100－-50</TD>", "<TD>2.000</TD>"],
    }
    for name, cells in want.items():
        part = table(vslog, sj(name))
        for cell in cells:
            if sj(cell) not in part:
                raise SystemExit("%s: no %s" % (name, cell))
        # A year before 1 has no date: the page shows zeros and Sunday.
        if sj("<TD>0/00/00 (日) ") not in part:
            raise SystemExit("%s: the dateless file's day is not zeros" % name)
    # "ふたつ" has a max chain of 0, so its rating, chain and rate cells are dashes.
    if table(vslog, sj("ふたつ")).count(sj("<TD>---</TD>")) != 3:
        raise SystemExit("ふたつ: a zero max chain must hide three cells")
    # 50 shown matches or more, counted without overflow, rank an opponent:
    # a rate of 2 first, then 1.000 and 0.500; negative or zero sums do not.
    ranking = open(os.path.join(d, "analyze", "ranking.html"), "rb").read()
    places = [ranking.find(sj(n + "</A>")) for n in ("つよい", "でかい", "ふたつ")]
    if ranking.count(b"vslog.html#") != 3 or min(places) < 0 or places != sorted(places):
        raise SystemExit("the ranking must hold つよい, でかい, ふたつ in that order")

TIMES = [  # start prefix, end prefix, end clock, match length
    (b"[ 1: 2: 3]", b"[+1:+2:+9]", "01:02:09", "00：00：06"),
    (b"[ab:cd:ef]", b"[0a:0b:1c]", "00:00:01", "00：00：01"),
    (b"[-1:00:00]", b"[-0:-0:-5]", "00:00:00", "00：59：55"),
    (b"[23:59:59]", b"[00:00:01]", "00:00:01", "00：00：02"),
    (b"[99:99:99]", b"[00:00:00]", "00:00:00", "00：00：00"),
    (b"[12345678]", b"[12\t45\t80]", "12:46:20", "00：00：02"),
    (b"[\t9:\v9:\f9]", b"[ -: +:  ]", "00:00:00", "14：50：51"),
]

def make_times(d):
    lines = []
    for i, (begin, end, _, _) in enumerate(TIMES):
        name = "時%d" % i
        lines += [start(begin[1:-1], name), end + sj(name + "さんに勝ちました")]
    write(os.path.join(d, "20050504.log"), lines)

def expect_times(d):
    vslog = open(os.path.join(d, "analyze", "vslog.html"), "rb").read()
    for i, (_, _, clock, length) in enumerate(TIMES):
        part = table(vslog, sj("時%d" % i))
        if sj(" %s</TD>" % clock) not in part or sj("<TD>%s</TD></TR>" % length) not in part:
            raise SystemExit("時%d: expected end %s, length %s" % (i, clock, length))

MARKUP = [b"<script>alert(1)</script>", b'"><img src=x onerror=alert(document.cookie)>',
          b"</TD></TR></TABLE><iframe src=//x>", b"&lt;already&gt;", b"'; <b onmouseover=alert(1)>",
          b"%s%n%x%d%%%"]

def make_markup(d):
    lines = []
    for i, name in enumerate(MARKUP):
        t = b"19:%02d:00" % i
        # Shown records of 50 or more put every name on the ranking page too.
        lines += [start(t, name, "３だん", "%d勝40敗 レート1600 最大9連鎖 切断率1%%" % (30 + i)),
                  b"[" + t + b"]" + name + sj("さんに勝ちました")]
    write(os.path.join(d, "20050504.log"), lines)

def expect_markup(d):
    pages = {p: open(os.path.join(d, "analyze", p), "rb").read() for p in PAGES}
    for page, data in pages.items():
        low = data.lower()
        for tag in (b"<script", b"<img", b"<iframe", b"<b "):
            if tag in low:
                raise SystemExit("%s holds %r unescaped" % (page, tag))
    for name in MARKUP:
        escaped = (name.replace(b"&", b"&amp;").replace(b"<", b"&lt;")
                   .replace(b">", b"&gt;").replace(b'"', b"&quot;"))
        if pages["vslog.html"].count(escaped) != 2:  # the anchor and the table title
            raise SystemExit("vslog.html lacks the escaped %r" % name)
        if pages["ranking.html"].count(escaped) != 2:  # the link target and its text
            raise SystemExit("ranking.html lacks the escaped %r" % name)
    for page in ("vslog.html", "ranking.html"):
        for name in MARKUP:
            if any(c in name for c in b'&<>"') and name in pages[page]:
                raise SystemExit("%s holds the raw name %r" % (page, name))

def make_big(d, count):
    # Many opponents, none ranked: vslog.html grows, ranking.html stays small.
    count = int(count)
    lines = []
    for i in range(count):
        name = "相手%d" % i
        t = b"%02d:%02d:00" % (i // 60 % 24, i % 60)
        lines += [start(t, name, figures="1勝1敗 レート1 最大1連鎖 切断率0%"),
                  b"[" + t + b"]" + sj(name + "さんに勝ちました")]
    write(os.path.join(d, "20050505.log"), lines)

if __name__ == "__main__":
    main()
PY
P() { python3 "$py" "$@"; }

# run DIR [EXPECTED-RC]: the program with no terminal and a Shift_JIS console.
# Checks the exit code, that no signal and no sanitizer report ended it, and
# that the logs were only read.
run() {
  local dir="$1" want="${2:-0}" name="$3"
  out="$work/out.$RANDOM"
  local before after
  before=$(P fingerprint "$dir")
  local t0; t0=$(date +%s%N)
  LANG=C LC_ALL= LC_CTYPE= timeout 120 "$prog" --no-wait "$dir" > "$out" 2>&1 < /dev/null
  rc=$?
  elapsed=$(( ($(date +%s%N) - t0) / 1000000 ))
  after=$(P fingerprint "$dir")
  if [ "$rc" != "$want" ]; then
    bad "$name: exit code" "got $rc, expected $want$( [ "$rc" = 124 ] && echo ' (hang)')"
  elif grep -qE 'AddressSanitizer|LeakSanitizer|runtime error:|UndefinedBehaviorSanitizer' "$out"; then
    bad "$name: sanitizer" "$(grep -m1 -E 'Sanitizer|runtime error' "$out")"
  else
    ok "$name: exit $rc in ${elapsed} ms, no sanitizer report"
  fi
  check "$name: logs untouched" test "$before" = "$after"
}
pages_ok() {  # NAME DIR
  local why; why=$(P pages "$2/analyze" 2>&1)
  if [ $? = 0 ] && [ -z "$why" ]; then ok "$1: six well-formed pages"; else bad "$1: pages" "$why"; fi
}
expect() {  # NAME CASE DIR: the case's own look at the pages
  local why; why=$(P expect "$2" "${@:3}" 2>&1)
  if [ $? = 0 ] && [ -z "$why" ]; then ok "$1: pages show it as expected"; else bad "$1" "$why"; fi
}
fresh() { local d="$work/$1"; rm -rf "$d"; mkdir -p "$d"; echo "$d"; }

# --- broken bytes ---
d=$(fresh random); P make random "$d"
run "$d" 0 "random bytes"; pages_ok "random bytes" "$d"

d=$(fresh badsjis); P make badsjis "$d"
run "$d" 0 "invalid Shift_JIS"; pages_ok "invalid Shift_JIS" "$d"
expect "invalid Shift_JIS: names kept byte for byte" badsjis "$d"

d=$(fresh nul); P make nul "$d"
run "$d" 0 "NUL and 0x1A"; pages_ok "NUL and 0x1A" "$d"
expect "NUL ends a line, 0x1A does not end the file" nul "$d"

d=$(fresh longline); P make longline "$d"
run "$d" 0 "10 MB line"; pages_ok "10 MB line" "$d"
expect "10 MB line: the match around it is whole" longline "$d"

d=$(fresh empty); : > "$d/20050504.log"; printf '\r\n' > "$d/20050505.log"
run "$d" 0 "empty logs"; pages_ok "empty logs" "$d"
check "empty logs: no match rows" bash -c "! grep -q 'class=a' '$d/analyze/vslog.html'"
check "empty logs: population 0" has "$d/analyze/observation.html" "<font color=#000000>0人</font>"

# --- many files ---
d=$(fresh many); P make many "$d" 100000
run "$d" 0 "100,000 files"; pages_ok "100,000 files" "$d"
expect "100,000 files: every match read" many "$d" 100000
rm -rf "$d"

# --- odd directory entries: none may be read, and none may hang the run ---
d=$(fresh entries)
P make numbers "$d"; mv "$d/-0010101.log" "$d/20050504.log"
printf 'outside' > "$work/outside.log"
ln -s a.log "$d/b.log"; ln -s b.log "$d/a.log"          # a loop
ln -s "$work/nowhere.log" "$d/dangling.log"               # a dangling link
mkdir "$work/adir"; ln -s "$work/adir" "$d/linkdir.log"   # a link to a folder
mkfifo "$d/fifo.log"                                      # opening it would block
ln -s /dev/zero "$d/zero.log"                             # a file without end
ln -s "$work/outside.log" "$d/linked.log"                 # a link to a log: read
run "$d" 0 "links, loop, FIFO"; pages_ok "links, loop, FIFO" "$d"
check "links, loop, FIFO: only regular files listed" \
  test "$(grep -c '\.log$' "$out")" = 2 -a "$(grep -c 'linked.log\|20050504.log' "$out")" = 2
check "links, loop, FIFO: the linked file untouched" test "$(cat "$work/outside.log")" = outside

# --- a log that vanishes between the listing and its opening ---
# The program prints a log's name before opening it. Its standard output is
# a pipe filled so that it can take the output up to, but not including,
# that name's line: the program is then held after the listing. The log is
# removed (or replaced) and the pipe drained.
race() {  # NAME DIR VICTIM ACTION(remove|folder)
  python3 - "$prog" "$2" "$3" "$4" <<'PY'
import fcntl, os, shutil, subprocess, sys, termios, time, struct
prog, d, victim, action = sys.argv[1:]
env = dict(os.environ, LANG="C", LC_ALL="", LC_CTYPE="")
dry = subprocess.run([prog, "--no-wait", d], env=env, stdin=subprocess.DEVNULL,
                     stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout
offset = dry.index(b"  " + victim.encode() + b"\n")
r, w = os.pipe()
fcntl.fcntl(w, 1031, 4096)  # F_SETPIPE_SZ: as small as the system allows
capacity = fcntl.fcntl(w, 1032)  # F_GETPIPE_SZ
os.write(w, b"\0" * (capacity - offset))
err = open(os.path.join(d, "..", "race.err"), "wb")
p = subprocess.Popen([prog, "--no-wait", d], env=env, stdin=subprocess.DEVNULL, stdout=w, stderr=err)
os.close(w)
deadline = time.time() + 30
while time.time() < deadline:
    queued = struct.unpack("i", fcntl.ioctl(r, termios.FIONREAD, b"\0\0\0\0"))[0]
    if queued >= capacity or p.poll() is not None:
        break
    time.sleep(0.01)
time.sleep(0.2)
held = p.poll() is None
path = os.path.join(d, victim)
os.unlink(path)
if action == "folder":
    os.mkdir(path)
out = b""
while True:
    chunk = os.read(r, 65536)
    if not chunk:
        break
    out += chunk
rc = p.wait(timeout=60)
sys.stdout.buffer.write(out[capacity - offset:])
print("\nheld %s" % held)
print("rc %d" % rc)
PY
}
for action in remove folder; do
  d=$(fresh "race-$action"); mkdir -p "$d"
  P make markup "$d"                                  # 20050504.log: read normally
  victim='%s%n%x.log'                                # printf directives in the name
  cp "$d/20050504.log" "$d/$victim"
  race "vanishing log ($action)" "$d" "$victim" "$action" > "$work/race.txt" 2>&1
  out="$work/race.txt"
  if ! grep -qx "held True" "$out"; then
    bad "vanishing log ($action)" "the program was not held after the listing: $(tail -3 "$out")"
    continue
  fi
  if grep -qE 'Sanitizer|runtime error:' "$d/../race.err"; then
    bad "vanishing log ($action): sanitizer" "$(grep -m1 -E 'Sanitizer|runtime error' "$d/../race.err")"
  fi
  if [ "$action" = remove ]; then
    check "vanishing log: exit 1" grep -qx "rc 1" "$out"
    check "vanishing log: its error line names it literally" has "$out" "エラー : 入力ファイル $d/$victim が開けません。"
    check "vanishing log: completion still printed" has "$out" "完了！"
  else
    # A folder opens but reads as nothing: an empty log, not an error.
    check "log replaced by a folder: exit 0" grep -qx "rc 0" "$out"
  fi
  pages_ok "vanishing log ($action)" "$d"
  check "vanishing log ($action): the other log analyzed" \
    test "$(grep -c 'class=a\|class=b' "$d/analyze/vslog.html")" = "$(grep -c "$(sjis 対戦を開始しました)" "$d/20050504.log")"
done

# --- long names, big numbers, odd time prefixes, markup ---
d=$(fresh names); P make names "$d"
run "$d" 0 "names of 15 to 1,000 bytes"; pages_ok "names of 15 to 1,000 bytes" "$d"
expect "long names: whole below the piece cut, inherited past it" names "$d"

d=$(fresh numbers); P make numbers "$d"
run "$d" 0 "numbers beyond int32 and negative"; pages_ok "numbers beyond int32 and negative" "$d"
expect "numbers saturate, signs kept, no date before year 1" numbers "$d"

d=$(fresh times); P make times "$d"
run "$d" 0 "time prefixes with letters, blanks and signs"; pages_ok "time prefixes" "$d"
expect "time prefixes read as leading integers" times "$d"

d=$(fresh markup); P make markup "$d"
run "$d" 0 "markup in names"; pages_ok "markup in names" "$d"
expect "markup in names: only escaped" markup "$d"

# --- a data folder that cannot be listed ---
if [ "$(id -u)" = 0 ]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); else as_user=(); fi
d=$(fresh unlistable); P make markup "$d"; chmod 711 "$work"; chmod 333 "$d"
out="$work/unlistable.txt"
LANG=C timeout 120 "${as_user[@]}" "$prog" --no-wait "$d" > "$out" 2>&1 < /dev/null; rc=$?
chmod 755 "$d"
check "unlistable data folder: exit 1" test "$rc" = 1
check "unlistable data folder: no log file message" has "$out" "Brumbelの対戦ログファイルが見つかりませんでした。"
check "unlistable data folder: nothing written" test ! -e "$d/analyze"

# --- the console goes away ---
d=$(fresh console); P make markup "$d"
LANG=C timeout 60 "$prog" "$d" > /dev/null 2>&1 <&-; rc=$?
check "standard input closed, no --no-wait: exit 0, no wait" test "$rc" = 0
LANG=C timeout 120 "$prog" --no-wait "$d" >&- 2>&- < /dev/null; rc=$?
check "standard output closed: exit 0" test "$rc" = 0
pages_ok "standard output closed" "$d"
LANG=C timeout 120 "$prog" --no-wait "$d" > /dev/full 2>&1 < /dev/null; rc=$?
check "standard output full: exit 0" test "$rc" = 0
pages_ok "standard output full" "$d"
cp -r "$d/analyze" "$work/console-before"
P make big "$d" 3000
# The reader leaves after one line: the program may die of SIGPIPE, but must
# leave no temporary file and no page half written.
LANG=C timeout 120 "$prog" --no-wait "$d" 2>/dev/null < /dev/null | head -c 1 > /dev/null
pages_ok "reader of standard output gone" "$d"

# --- failing output: a file size limit (needs no privilege) ---
d=$(fresh fsize); P make markup "$d"; run "$d" 0 "file size limit: first run"
cp -r "$d/analyze" "$work/fsize-before"
P make big "$d" 800
out="$work/fsize.txt"
(ulimit -f 64; LANG=C timeout 120 "$prog" --no-wait "$d" > "$out" 2>&1 < /dev/null); rc=$?
check "file size limit: exit 1, not killed" test "$rc" = 1
check "file size limit: the page is reported" has "$out" "エラー : ファイル $d/analyze/vslog.html の書き込みに失敗しました。"
check "file size limit: old vslog.html kept byte for byte" cmp -s "$d/analyze/vslog.html" "$work/fsize-before/vslog.html"
pages_ok "file size limit" "$d"
check "file size limit: completion printed" has "$out" "完了！"

# --- failing output: a full disk ---
disk="$work/disk"; mkdir -p "$disk"
if mount -t tmpfs -o size=256k tmpfs "$disk" 2>/dev/null; then
  mounted="$disk"
  d="$disk/data"; mkdir -p "$d"; P make markup "$d"
  run "$d" 0 "full disk: first run"
  cp -r "$d/analyze" "$work/disk-before"
  P make big "$d" 1000
  out="$work/disk.txt"
  LANG=C timeout 120 "$prog" --no-wait "$d" > "$out" 2>&1 < /dev/null; rc=$?
  check "full disk: exit 1" test "$rc" = 1
  check "full disk: the page is reported" has "$out" "エラー : ファイル $d/analyze/vslog.html の書き込みに失敗しました。"
  check "full disk: old vslog.html kept byte for byte" cmp -s "$d/analyze/vslog.html" "$work/disk-before/vslog.html"
  pages_ok "full disk" "$d"
  umount "$disk" && mounted=""
else
  skipped "full disk" "cannot mount a tmpfs here (needs root and mount rights)"
fi

echo "hostile cases took $(( $(date +%s) - started ))s"
[ "$skip" -gt 0 ] && echo "$skip skipped"
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]

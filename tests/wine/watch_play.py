#!/usr/bin/env python3
# A watching run (Ledgerwise.exe --watch) under Wine with a pseudo-terminal
# as its console, Ctrl+C typed into it as a player would:
#
#   watch_play.py game DATA LOG_WIN WRITER_EXE -- COMMAND...
#       while game_writer.exe (WRITER_EXE) holds the log LOG_WIN open as the
#       game does and adds a match to it a piece at a time: the console
#       lines, the pages rewritten, the log not held between reads, Ctrl+C
#       ending the run with exit 0, and the writer never refused.
#   watch_play.py lock DATA -- COMMAND...
#       while another run holds the lock: Ctrl+C ends a rewrite's wait and
#       the watch, whose last rewrite waits anew; a second Ctrl+C ends it.
#
# DATA is the watched folder as a Unix path. Every step waits for what it
# needs (console text, a file) for at most two minutes. Prints one line per
# check: its name, a tab, and what went wrong (nothing when it held); the
# last is "game: played through" (or "lock: ..."), missing after an exception.
import fcntl
import os
import re
import subprocess
import sys
import time

from pty_key import Console

START = "[22:00:00]なす(３だん 10勝5敗 レート1600 最大9連鎖 切断率1%)と対戦を開始しました"
SAVE = "[22:02:00]リプレイをオートセーブしました"
END = "[22:04:00]なすさんに負けました"
WAITING = "ほかの実行が終わるのを待っています・・・"


def sjis(text):
    return text.encode("cp932") + b"\r\n"


def check(name, failed, why):
    print("%s\t%s" % (name, str(why).replace("\n", " ")[-300:] if failed else ""), flush=True)


def until(condition, seconds=120):
    end = time.monotonic() + seconds
    while not (held := condition()) and time.monotonic() < end:
        time.sleep(0.1)
    return held


def read(data, name):
    try:
        with open(os.path.join(data, "analyze", name), "rb") as f:
            return f.read()
    except OSError:
        return b""


def generation(data):
    return re.findall(rb'"generation":"([^"]*)"', read(data, "live.js"))


def game(data, log, writer_exe, command):
    console = Console(command)
    shows = lambda text: until(lambda: text in console.text())
    check("game: the first run, then watching", not shows("監視中・・・"), console.text())
    writer = subprocess.Popen(["wine", writer_exe, log], stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True, start_new_session=True)

    def tell(command):  # the writer's answer
        writer.stdin.write(command + "\n")
        writer.stdin.flush()
        return writer.stdout.readline().strip()

    opened = writer.stdout.readline().strip()
    check("game: the writer opens the day's log, sharing only reading", opened != "open", opened)
    seen = [generation(data)]

    def newer():  # live.js names a generation not seen before, which is then seen
        now = generation(data)
        return now not in seen + [[]] and not seen.append(now)

    wrote = tell(sjis(START).hex())
    check("game: the start line on the console: the opponent, first met",
          not shows("22:00:00 なす (三段 レート1600) : 初対戦"), wrote + console.text())
    check("game: the pages rewritten after the start: live.js with a new generation", not until(newer), seen)
    for line in (SAVE, SAVE, END):
        time.sleep(0.5)  # the game's own pace, not a condition
        wrote = tell(sjis(line).hex())
    check("game: the end line on the console: the result and the records",
          not shows("22:04:00 なす : 負け (0-2) : 通算 0勝1敗 切断0、今日 1勝1敗"), wrote + console.text())
    rewritten = until(lambda: newer() and "なす".encode("cp932") in read(data, "vslog.html"))
    check("game: the pages rewritten after the end: a new generation, vslog.html holds the match",
          not rewritten, seen)
    answer = tell("unshared")
    check("game: the log is not held open between reads", answer != "unshared", answer)
    console.key(b"\x03")
    code = console.exit_code()
    check("game: Ctrl+C ends the watch with exit 0",
          code != 0 or "監視を終わりました。" not in console.text(), "exit %s: %s" % (code, console.text()))
    writer.stdin.close()
    rest = writer.stdout.read()  # exits 1 after any failure, each answered "failed ..."
    check("game: the writer never saw a sharing violation or a failed write", writer.wait() != 0, rest)


def lock(data, command):
    console = Console(command)
    check("lock: the first run, then watching",
          not until(lambda: "監視中・・・" in console.text()), console.text())
    held = os.open(os.path.join(data, "analyze", "ledgerwise.lock"), os.O_RDWR | os.O_CREAT)
    fcntl.lockf(held, fcntl.LOCK_EX, 1, 0)  # as Wine keeps another run's LockFileEx
    with open(os.path.join(data, "20050504.log"), "ab") as f:
        f.write(sjis(START) + sjis(END))
    waits = lambda count: console.wait_while(lambda: console.text().count(WAITING) < count) or \
        console.text().count(WAITING) >= count
    check("lock: a rewrite waits for the other run", not waits(1), console.text())
    console.key(b"\x03")
    check("lock: Ctrl+C ends that wait and the watch, whose last rewrite waits anew",
          not waits(2), console.text())
    console.key(b"\x03")
    code = console.exit_code()
    check("lock: a second Ctrl+C ends the run at once, the lock still held elsewhere",
          code is None or "監視を終わりました" in console.text(), "exit %s: %s" % (code, console.text()))
    os.close(held)


if __name__ == "__main__":
    at = sys.argv.index("--")
    {"game": game, "lock": lock}[sys.argv[1]](*sys.argv[2:at], sys.argv[at + 1:])
    check("%s: played through" % sys.argv[1], False, "")

#!/usr/bin/env python3
# A watching run (Ledgerwise.exe --watch) under Wine with a pseudo-terminal
# as its console, Ctrl+C typed into it as a player would:
#
#   watch_play.py game DATA LOG_WIN WRITER_EXE NATIVE -- COMMAND...
#       while game_writer.exe (WRITER_EXE) holds the log LOG_WIN open as the
#       game does and adds a match to it a piece at a time: the console
#       lines, the pages rewritten (as the native program NATIVE writes
#       them for the same log), the log never held between reads, and
#       Ctrl+C ending the run with exit 0, the writer never refused.
#   watch_play.py lock DATA -- COMMAND...
#       while another run holds the lock: Ctrl+C ends a rewrite's wait and
#       the watch, whose last rewrite waits anew; a second Ctrl+C ends it.
#
# DATA is the watched folder as a Unix path. Every step waits for what it
# needs (console text, a file) for at most two minutes. Prints one line per
# check: its name, a tab, and what went wrong (nothing when it held); the
# last is "game: played through" (or "lock: ..."), failed on an exception.
import fcntl
import os
import pty
import queue
import re
import select
import struct
import subprocess
import sys
import termios
import threading
import time

ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\x1b[=>]|\x1b\][^\x07]*\x07")
LIMIT = 120  # seconds any one step may wait

START = "[22:00:00]なす(３だん 10勝5敗 レート1600 最大9連鎖 切断率1%)と対戦を開始しました"
SAVE = "[22:02:00]リプレイをオートセーブしました"
END = "[22:04:00]なすさんに負けました"
WAITING = "ほかの実行が終わるのを待っています・・・"


def line(text):
    return text.encode("cp932") + b"\r\n"


def check(name, why=""):
    print("%s\t%s" % (name, why.replace("\n", " ")), flush=True)


def until(condition, seconds=LIMIT):
    end = time.monotonic() + seconds
    while not condition():
        if time.monotonic() > end:
            return False
        time.sleep(0.1)
    return True


class Console:
    """The program with a terminal of its own as its console."""

    def __init__(self, command):
        self.master, slave = pty.openpty()
        # Wide enough that no line of the program is wrapped.
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 250, 0, 0))

        def own_terminal():
            os.setsid()
            fcntl.ioctl(0, termios.TIOCSCTTY, 0)

        self.process = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave,
                                        preexec_fn=own_terminal)
        os.close(slave)
        self.shown = bytearray()

    def pump(self):
        try:
            while select.select([self.master], [], [], 0)[0]:
                self.shown.extend(os.read(self.master, 4096))
        except OSError:  # the terminal's other end is closed
            pass

    def text(self):
        self.pump()
        return ESCAPE.sub(b"", bytes(self.shown)).decode("utf-8", "replace")

    def shows(self, text, times=1):
        return until(lambda: self.text().count(text) >= times or self.process.poll() is not None) \
            and self.text().count(text) >= times

    def key(self, byte):
        os.write(self.master, byte)

    def exit_code(self):
        until(lambda: self.process.poll() is not None)
        self.pump()
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
            return None
        return self.process.returncode

    def tail(self):
        return self.text()[-300:]


class Writer:
    """game_writer.exe, answering one command at a time."""

    def __init__(self, exe, log):
        self.process = subprocess.Popen(["wine", exe, log], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                        text=True, start_new_session=True)
        self.answers = queue.Queue()
        self.failures = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for answer in self.process.stdout:
            if answer.startswith("failed"):
                self.failures.append(answer.strip())
            self.answers.put(answer.strip())

    def answer(self):
        try:
            return self.answers.get(timeout=LIMIT)
        except queue.Empty:
            return "no answer"

    def tell(self, command):
        self.process.stdin.write(command + "\n")
        self.process.stdin.flush()
        return self.answer()

    def close(self):
        self.process.stdin.close()
        try:
            return self.process.wait(timeout=LIMIT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            return None


def generation(data):
    try:
        with open(os.path.join(data, "analyze", "live.js"), encoding="utf-8") as f:
            found = re.search(r'"generation":"([^"]*)"', f.read())
        return found.group(1) if found else None
    except OSError:
        return None


def page(folder, name):
    """A page's lines, the menu's time stamp line (31) aside."""
    try:
        with open(os.path.join(folder, "analyze", name), "rb") as f:
            lines = f.read().split(b"\n")
        return lines[:30] + lines[31:]
    except OSError:
        return None


def game(data, log_win, writer_exe, native, command):
    log_path = os.path.join(data, os.path.basename(log_win.replace("\\", "/")))
    with open(log_path, "rb") as f:
        expected = f.read()
    console = Console(command)
    check("game: the first run, then watching",
          "" if console.shows("監視中・・・") else console.tail())
    first = generation(data)
    writer = Writer(writer_exe, log_win)
    opened = writer.answer()
    check("game: the writer opens the day's log, sharing only reading",
          "" if opened == "open" else opened)

    def write(text):
        nonlocal expected
        expected += line(text)
        answer = writer.tell(line(text).hex())
        return "" if answer.startswith("wrote") else answer

    why = write(START)
    check("game: the start line on the console: the opponent, first met",
          why or ("" if console.shows("22:00:00 なす (三段 レート1600) : 初対戦") else console.tail()))
    newer = lambda *seen: generation(data) not in (None,) + seen
    check("game: the pages rewritten after the start: live.js with a new generation",
          "" if until(lambda: newer(first)) else "still %s" % generation(data))
    started = generation(data)
    for text in (SAVE, SAVE, END):
        why = why or write(text)
        time.sleep(0.5)  # the game's own pace, not a condition
    check("game: the end line on the console: the result and the records",
          why or ("" if console.shows("22:04:00 なす : 負け (0-2) : 通算 0勝1敗 切断0、今日 1勝1敗")
                  else console.tail()))
    # The pages a one-shot run of the native program writes for the log.
    reference = os.path.join(os.path.dirname(data), "reference")
    os.makedirs(reference, exist_ok=True)
    with open(os.path.join(reference, os.path.basename(log_path)), "wb") as f:
        f.write(expected)
    subprocess.run([native, "--no-wait", reference], stdin=subprocess.DEVNULL,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=LIMIT)
    pages = ("index.html", "menu.html", "personal.html", "observation.html", "ranking.html",
             "vslog.html")
    same = lambda: all(page(data, p) == page(reference, p) is not None for p in pages)
    check("game: the pages rewritten after the end: a new generation, vslog.html holds the match",
          "" if until(lambda: newer(first, started) and same())
          else "generation %s; differ: %s" % (generation(data),
                                              [p for p in pages if page(data, p) != page(reference, p)]))
    answer = writer.tell("unshared")
    check("game: the log is not held open between reads",
          "" if answer == "unshared" else answer)
    console.key(b"\x03")
    code = console.exit_code()
    check("game: Ctrl+C ends the watch with exit 0",
          "" if code == 0 and "監視を終わりました。" in console.text() else "exit %s: %s" % (code, console.tail()))
    writer_code = writer.close()
    check("game: the writer never saw a sharing violation or a failed write",
          "" if writer_code == 0 and not writer.failures else "exit %s %s" % (writer_code, writer.failures))


def lock(data, command):
    console = Console(command)
    check("lock: the first run, then watching", "" if console.shows("監視中・・・") else console.tail())
    held = os.open(os.path.join(data, "analyze", "ledgerwise.lock"), os.O_RDWR | os.O_CREAT, 0o666)
    fcntl.lockf(held, fcntl.LOCK_EX, 1, 0)
    with open(os.path.join(data, "20050504.log"), "ab") as f:
        f.write(line(START) + line(END))
    watching = console.text().index("監視中・・・")
    waits = lambda: console.text()[watching:].count(WAITING)
    check("lock: a rewrite waits for the other run",
          "" if until(lambda: waits() >= 1) else console.tail())
    console.key(b"\x03")
    check("lock: Ctrl+C ends that wait and the watch, whose last rewrite waits anew",
          "" if until(lambda: waits() >= 2 or console.process.poll() is not None) and waits() >= 2
          else console.tail())
    console.key(b"\x03")
    code = console.exit_code()
    check("lock: a second Ctrl+C ends the run at once, the lock still held elsewhere",
          "" if code is not None and "監視を終わりました" not in console.text()
          else "exit %s: %s" % (code, console.tail()))
    os.close(held)


if __name__ == "__main__":
    at = sys.argv.index("--")
    arguments, command = sys.argv[2:at], sys.argv[at + 1:]
    try:
        {"game": game, "lock": lock}[sys.argv[1]](*arguments, command)
        check("%s: played through" % sys.argv[1])
    except Exception as e:  # said as a failed check, so the caller sees it
        check("%s: played through" % sys.argv[1], repr(e))

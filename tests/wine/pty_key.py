#!/usr/bin/env python3
# Runs a program with a pseudo-terminal as its console and answers its key
# prompt, as a player at the console would.
#
#   pty_key.py MODE OUT PROMPT_HEX HOLD [KEY_HEX] -- COMMAND...
#
# MODE "input": only standard input is the terminal; standard output and
# error go to the file OUT, byte for byte. MODE "console": all three are the
# terminal; what it shows goes to OUT, its escape sequences taken out.
# Once the bytes PROMPT_HEX (hex) are there, the program must still be
# running HOLD seconds later; then one key is typed (KEY_HEX, by default
# "x"; 03 is Ctrl+C) and it must end. The terminal is the program's
# controlling terminal, as a console window is, so Ctrl+C interrupts it.
# Prints one line: prompt=0|1 waited=0|1 exit=N|hung
#
# Console, the terminal and the program on it, serves watch_play.py too.
import fcntl
import os
import pty
import re
import select
import struct
import subprocess
import sys
import termios
import time

ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\x1b[=>]|\x1b\][^\x07]*\x07")


def own_terminal():  # a session of its own, with the terminal as its controlling one
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


class Console:
    """COMMAND on a terminal of its own; its output to the file OUT instead
    when one is named."""

    def __init__(self, command, out=None):
        self.master, slave = pty.openpty()
        fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 250, 0, 0))  # no line wrapped
        self.out, self.shown = out, bytearray()
        with open(out or os.devnull, "wb") as file:
            output = file if out else slave
            self.process = subprocess.Popen(command, stdin=slave, stdout=output, stderr=output,
                                            preexec_fn=own_terminal)
        os.close(slave)

    def pump(self, seconds=0.0):  # takes what the terminal shows, for `seconds` and what is there
        end = time.monotonic() + seconds
        while True:
            try:
                ready = select.select([self.master], [], [], 0.1 if time.monotonic() < end else 0)[0]
                if ready:
                    self.shown.extend(os.read(self.master, 4096))
            except OSError:  # the terminal's other end is closed
                return
            if not ready and time.monotonic() >= end:
                return

    def bytes(self):
        self.pump()
        if not self.out:
            return ESCAPE.sub(b"", bytes(self.shown))
        with open(self.out, "rb") as f:
            return f.read()

    def text(self):
        return self.bytes().decode("utf-8", "replace")

    def wait_while(self, condition, seconds=120):
        end = time.monotonic() + seconds
        while self.process.poll() is None and condition() and time.monotonic() < end:
            self.pump(0.2)

    def key(self, key):
        os.write(self.master, key)

    def exit_code(self, seconds=120):  # None: still running then, and killed
        self.wait_while(lambda: True, seconds)
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
            return None
        return self.process.returncode


if __name__ == "__main__":
    mode, out_path, prompt, hold = sys.argv[1], sys.argv[2], bytes.fromhex(sys.argv[3]), float(sys.argv[4])
    command_at = sys.argv.index("--") + 1
    key = bytes.fromhex(sys.argv[5]) if command_at == 7 else b"x"
    console = Console(sys.argv[command_at:], out_path if mode == "input" else None)
    console.wait_while(lambda: prompt not in console.bytes())
    saw_prompt = prompt in console.bytes()
    console.pump(hold if saw_prompt else 0)
    waited = console.process.poll() is None
    if waited:
        console.key(key)
    status = console.exit_code(20)
    console.pump(0.3)
    if mode == "console":
        with open(out_path, "wb") as f:
            f.write(console.bytes())
    print("prompt=%d waited=%d exit=%s" % (saw_prompt, waited, "hung" if status is None else status))

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
import fcntl
import os
import pty
import re
import select
import subprocess
import sys
import termios
import time

ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\x1b[=>]")
mode, out_path, prompt, hold = sys.argv[1], sys.argv[2], bytes.fromhex(sys.argv[3]), float(sys.argv[4])
command_at = sys.argv.index("--") + 1
key = bytes.fromhex(sys.argv[5]) if command_at == 7 else b"x"
master, slave = pty.openpty()


def own_terminal():  # a session of its own, with the terminal as its controlling one
    os.setsid()
    fcntl.ioctl(0, termios.TIOCSCTTY, 0)


with open(out_path, "wb") as out:
    output = slave if mode == "console" else out
    process = subprocess.Popen(sys.argv[command_at:], stdin=slave, stdout=output, stderr=output, preexec_fn=own_terminal)
os.close(slave)
shown = bytearray()


def pump(seconds):  # reads what the terminal shows; drained in either mode
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        try:
            if select.select([master], [], [], 0.1)[0]:
                shown.extend(os.read(master, 4096))
        except OSError:  # the terminal's other end is closed
            return


def text():
    if mode == "console":
        return ESCAPE.sub(b"", bytes(shown))
    with open(out_path, "rb") as f:
        return f.read()


def wait_while(condition, seconds):
    end = time.monotonic() + seconds
    while process.poll() is None and condition() and time.monotonic() < end:
        pump(0.2)


wait_while(lambda: prompt not in text(), 120)
saw_prompt = prompt in text()
pump(hold if saw_prompt else 0)
waited = process.poll() is None
if waited:
    os.write(master, key)
wait_while(lambda: True, 20)
status = process.poll()
if status is None:
    process.kill()
    process.wait()
pump(0.3)
if mode == "console":
    with open(out_path, "wb") as f:
        f.write(text())
print("prompt=%d waited=%d exit=%s" % (saw_prompt, waited, "hung" if status is None else status))

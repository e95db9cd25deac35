#!/usr/bin/env python3
# Runs a program with a pseudo-terminal as its console and answers its key
# prompt, as a player at the console would.
#
#   pty_key.py MODE OUT PROMPT_HEX HOLD -- COMMAND...
#
# MODE "input": only standard input is the terminal; standard output and
# error go to the file OUT, byte for byte. MODE "console": all three are the
# terminal; what it shows goes to OUT, its escape sequences taken out.
# Once the bytes PROMPT_HEX (hex) are there, the program must still be
# running HOLD seconds later; then one key is typed and it must end. Prints
# one line: prompt=0|1 waited=0|1 exit=N|hung
import os
import pty
import re
import select
import subprocess
import sys
import time

ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\x1b[=>]")
mode, out_path, prompt, hold = sys.argv[1], sys.argv[2], bytes.fromhex(sys.argv[3]), float(sys.argv[4])
master, slave = pty.openpty()
with open(out_path, "wb") as out:
    output = slave if mode == "console" else out
    process = subprocess.Popen(sys.argv[6:], stdin=slave, stdout=output, stderr=output, start_new_session=True)
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
    os.write(master, b"x")
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

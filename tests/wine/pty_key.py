#!/usr/bin/env python3
"""Runs a program with a pseudo-terminal as its console and answers its key
prompt, the way a player at the console would.

    pty_key.py MODE OUT PROMPT_HEX HOLD -- COMMAND...

MODE "input": only standard input is the terminal; standard output and error
go to the file OUT, byte for byte. MODE "console": all three are the
terminal; what it shows goes to OUT with the terminal's escape sequences
taken out.

The program's output is watched for the bytes PROMPT_HEX (hex). Once they
are there the program must still be running HOLD seconds later; then one key
is typed and the program must end. Prints one line:

    prompt=0|1 waited=0|1 exit=N|hung
"""
import os
import pty
import re
import select
import subprocess
import sys
import time

PROMPT_LIMIT = 120   # seconds for the run up to the prompt
EXIT_LIMIT = 20      # seconds from the key to the end of the program

ESCAPE = re.compile(rb"\x1b\[[0-9;?]*[A-Za-z]|\x1b[()][0-9A-Za-z]|\x1b[=>]")


def main():
    if len(sys.argv) < 7 or sys.argv[5] != "--":
        sys.stderr.write(__doc__)
        return 2
    mode, out_path, prompt, hold = sys.argv[1], sys.argv[2], bytes.fromhex(sys.argv[3]), float(sys.argv[4])
    command = sys.argv[6:]

    master, slave = pty.openpty()
    out_file = open(out_path, "wb")
    if mode == "input":
        process = subprocess.Popen(command, stdin=slave, stdout=out_file, stderr=subprocess.STDOUT,
                                   start_new_session=True)
    elif mode == "console":
        process = subprocess.Popen(command, stdin=slave, stdout=slave, stderr=slave,
                                   start_new_session=True)
    else:
        sys.stderr.write("unknown mode %s\n" % mode)
        return 2
    os.close(slave)

    shown = bytearray()

    def pump(seconds):
        # Reads what the terminal shows; in "input" mode nothing is shown but
        # the terminal must still be drained.
        end = time.monotonic() + seconds
        while True:
            left = end - time.monotonic()
            if left <= 0:
                return
            ready, _, _ = select.select([master], [], [], min(left, 0.1))
            if ready:
                try:
                    data = os.read(master, 4096)
                except OSError:
                    data = b""
                if data:
                    shown.extend(data)

    def output():
        if mode == "input":
            out_file.flush()
            with open(out_path, "rb") as f:
                return f.read()
        return ESCAPE.sub(b"", bytes(shown))

    saw_prompt = False
    deadline = time.monotonic() + PROMPT_LIMIT
    while time.monotonic() < deadline and process.poll() is None:
        pump(0.2)
        if prompt in output():
            saw_prompt = True
            break
    if not saw_prompt:
        pump(0.5)
        saw_prompt = prompt in output()

    waited = False
    if process.poll() is None:
        pump(hold)
        waited = process.poll() is None

    if process.poll() is None:
        os.write(master, b"x")
    end = time.monotonic() + EXIT_LIMIT
    while process.poll() is None and time.monotonic() < end:
        pump(0.2)
    status = process.poll()
    if status is None:
        process.kill()
        process.wait()
    pump(0.3)
    if mode == "console":
        out_file.write(output())
    out_file.close()
    os.close(master)
    print("prompt=%d waited=%d exit=%s" % (saw_prompt, waited, "hung" if status is None else status))
    return 0


if __name__ == "__main__":
    sys.exit(main())

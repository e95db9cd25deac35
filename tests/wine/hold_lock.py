#!/usr/bin/env python3
# Holds the run lock of an analyze folder as another run would:
#
#   hold_lock.py LOCK_FILE
#
# Wine keeps a Windows program's LockFileEx as an fcntl lock on the host
# file, so this lock keeps Ledgerwise.exe waiting. Prints "held" once the
# lock is taken and keeps it until its standard input ends.
import fcntl
import os
import sys

fd = os.open(sys.argv[1], os.O_RDWR | os.O_CREAT, 0o666)
fcntl.lockf(fd, fcntl.LOCK_EX, 1, 0)
print("held", flush=True)
sys.stdin.read()

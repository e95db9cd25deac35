#!/usr/bin/env bash
# Runs a Windows program under Wine: the cross build's
# CMAKE_CROSSCOMPILING_EMULATOR, so ctest and gtest_discover_tests run the
# test executables through it.
#
#   wine-run.sh PROGRAM.exe [ARGUMENT...]
#
# The prefix is shared between runs (see lw_shared_prefix in wine-env.sh) and
# its server stays up a minute after the last program, so a test suite pays
# for Wine's start once.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
if [ $# -lt 1 ]; then sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2; fi
missing="$(lw_wine_tools_missing)"
if [ -n "$missing" ]; then
  echo "wine-run.sh: not installed: $missing (tests/wine/setup.sh installs them)" >&2
  exit 127
fi
lw_wine_env "$(lw_shared_prefix)"
lw_wine_start 60
lw_wine_exec "$@"

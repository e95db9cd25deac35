#!/usr/bin/env bash
# Builds the program and runs every test that this machine can run: unit
# tests, the program end to end, the reference pages, and (where MinGW-w64
# and Wine, or Chromium, are installed) the Windows build under Wine and the
# report in a browser. Each build is a workflow preset (CMakePresets.json):
# `cmake --workflow --preset default` alone repeats the first.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
export CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
export CTEST_PARALLEL_LEVEL="${CTEST_PARALLEL_LEVEL:-$(nproc)}"
cmake --workflow --preset default
# ctest shows a skipped suite only as "Skipped"; the suites say why and how
# to have them run, and that goes here.
grep -h '^SKIP' build/Testing/Temporary/LastTest.log 2> /dev/null | sort -u || true

# The Windows build, its unit tests under Wine and the Wine end-to-end tests,
# where MinGW-w64 and Wine are installed (tests/wine/setup.sh installs them).
if command -v x86_64-w64-mingw32-g++ > /dev/null 2>&1 && command -v wine > /dev/null 2>&1; then
  cmake --workflow --preset mingw
  tests/wine/run-tests.sh build-mingw build
else
  echo "SKIP: Windows build and Wine tests (no MinGW-w64 or Wine; tests/wine/setup.sh installs them)"
fi

#!/usr/bin/env bash
# Builds the program and runs every test that this machine can run: unit
# tests, the program end to end, the reference pages, and (where MinGW-w64
# and Wine, or Chromium, are installed) the Windows build under Wine and the
# report in a browser.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/bootstrap.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"

# The Windows build, its unit tests under Wine and the Wine end-to-end tests,
# where MinGW-w64 and Wine are installed (tests/wine/setup.sh installs them).
if command -v x86_64-w64-mingw32-g++ > /dev/null 2>&1 && command -v wine > /dev/null 2>&1; then
  cmake --preset mingw > /dev/null
  cmake --build --preset mingw -j"$(nproc)"
  ctest --preset mingw -j"$(nproc)"
  tests/wine/run-tests.sh build-mingw build
else
  echo "SKIP: Windows build and Wine tests (no MinGW-w64 or Wine; tests/wine/setup.sh installs them)"
fi

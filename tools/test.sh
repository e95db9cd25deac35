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

#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, and nothing
# that is already there.
#   tools/bootstrap.sh          compiler, CMake, GoogleTest
#   tools/bootstrap.sh --all    also clang and its sanitizer and fuzzer
#                               runtimes, clang-format for the format
#                               check, and unzip for the package check
#                               (CI; tests/wine/setup.sh and
#                               tests/browser/setup.sh add Wine and Chromium)
set -euo pipefail
packages=(g++ cmake make libgtest-dev)
if [ "${1:-}" = "--all" ]; then
  packages+=(clang libclang-rt-dev clang-format unzip)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
command -v python3 > /dev/null 2>&1 || missing+=(python3)  # the terminal tests
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

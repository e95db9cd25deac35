#!/usr/bin/env bash
# Installs what building and testing need on a Debian machine, and nothing
# that is already there.
#   tools/bootstrap.sh          compiler, CMake, GoogleTest
#   tools/bootstrap.sh --all    also clang, MinGW-w64 and Wine, Chromium and
#                               fonts for the browser tests (what CI runs)
set -euo pipefail
packages=(g++ cmake make libgtest-dev python3)
if [ "${1:-}" = "--all" ]; then
  packages+=(clang libclang-rt-dev g++-mingw-w64-x86-64 wine wine64 locales
             chromium fonts-noto-cjk nodejs npm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" = 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

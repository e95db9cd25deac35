#!/usr/bin/env bash
# Installs what the Windows build and its Wine tests need: the MinGW-w64
# cross compiler, Wine, GoogleTest's sources (built for the target), Python
# for the console cases, and the Japanese locale that gives Wine code page
# 932. Does nothing when all of it is there already.
set -euo pipefail

installed() { [ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null)" = "install ok installed" ]; }

missing=()
for package in g++-mingw-w64-x86-64 wine wine64 googletest locales; do
  installed "$package" || missing+=("$package")
done
command -v python3 >/dev/null 2>&1 || missing+=(python3)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup.sh: installing ${missing[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf-\{0,1\}8'; then
  echo "setup.sh: generating the ja_JP.UTF-8 locale"
  as_root localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

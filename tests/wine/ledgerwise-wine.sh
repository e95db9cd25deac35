#!/usr/bin/env bash
# Ledgerwise.exe under Wine, with the command line of the native program:
#
#   ledgerwise-wine.sh [--no-wait] [DATA_DIR]
#
# A DATA_DIR given as a Unix path reaches the program as the Windows path
# Wine maps it to (any path, existing or not, so a missing folder still gets
# its message from the program). The exe is LEDGERWISE_EXE, or
# build-mingw/Ledgerwise.exe in the source tree. Exit status -1 arrives as 255.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
exe="${LEDGERWISE_EXE:-$here/../../build-mingw/Ledgerwise.exe}"
[ -f "$exe" ] || { echo "ledgerwise-wine.sh: no $exe (cmake --preset mingw && cmake --build --preset mingw)" >&2; exit 127; }
missing="$(lw_wine_tools_missing)"
[ -z "$missing" ] || { echo "ledgerwise-wine.sh: not installed: $missing (tests/wine/setup.sh)" >&2; exit 127; }
lw_wine_env "$(lw_shared_prefix)"
lw_wine_start 60
args=()
for arg in "$@"; do
  case "$arg" in
    -* | [A-Za-z]:* | *\\*) args+=("$arg") ;;  # an option, or a Windows path already
    *)
      for _ in 1 2 3; do  # winepath now and then answers nothing while the prefix starts
        win="$(cd / && timeout 60 winepath -w "$(realpath -m -- "$arg")" < /dev/null)" && [ -n "$win" ] && break
        sleep 1
      done
      [ -n "$win" ] || { echo "ledgerwise-wine.sh: winepath could not map $arg" >&2; exit 2; }
      args+=("$win") ;;
  esac
done
lw_wine_exec "$exe" "${args[@]}"

#!/usr/bin/env bash
# Ledgerwise.exe under Wine, with the command line of the native program:
#
#   ledgerwise-wine.sh [--no-wait] [DATA_DIR]
#
# A DATA_DIR given as a Unix path reaches the program as the Windows path
# Wine maps it to. The exe is LEDGERWISE_EXE, or build-mingw/Ledgerwise.exe
# in the source tree. Exit status -1 arrives as 255.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
. "$here/wine-env.sh"
exe="${LEDGERWISE_EXE:-$here/../../build-mingw/Ledgerwise.exe}"
if [ ! -f "$exe" ]; then
  echo "ledgerwise-wine.sh: no $exe (build with: cmake --preset mingw && cmake --build --preset mingw)" >&2
  exit 127
fi
missing="$(lw_wine_tools_missing)"
if [ -n "$missing" ]; then
  echo "ledgerwise-wine.sh: not installed: $missing (tests/wine/setup.sh installs them)" >&2
  exit 127
fi
lw_wine_env "$(lw_shared_prefix)"
lw_wine_start 60

args=()
for arg in "$@"; do
  case "$arg" in
    -*) args+=("$arg") ;;
    # A drive letter or a backslash: a Windows path already.
    [A-Za-z]:* | *\\*) args+=("$arg") ;;
    *)
      # winepath maps any Unix path, existing or not, so a missing folder
      # still gets its message from the program.
      unix="$(realpath -m -- "$arg")"
      win=""
      for attempt in 1 2 3; do
        win="$(cd / && timeout 60 winepath -w "$unix" 2>"$WINEPREFIX.winepath.$$" </dev/null)"
        [ -n "$win" ] && break
        sleep 1
      done
      if [ -z "$win" ]; then
        echo "ledgerwise-wine.sh: winepath could not map $unix: $(cat "$WINEPREFIX.winepath.$$")" >&2
        rm -f "$WINEPREFIX.winepath.$$"
        exit 2
      fi
      rm -f "$WINEPREFIX.winepath.$$"
      args+=("$win")
      ;;
  esac
done
lw_wine_exec "$exe" "${args[@]}"

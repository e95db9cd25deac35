# shellcheck shell=bash
# Shared by the scripts in tests/wine: a headless, private Wine prefix and the
# one start-up order under which Wine runs quickly and lets go of the
# caller's pipes. Source it; it defines functions and changes nothing else.
#
# Why the order matters: the first Wine process of a prefix starts the server
# and the system processes (services.exe, winedevice.exe, ...), which inherit
# that process's standard output. Started from a test, they keep the test's
# pipe open and ctest waits on them for as long as the server persists. So
# the prefix is booted, the server started on its own with /dev/null for all
# streams, and the system processes brought up by a throw-away "cmd /c exit",
# before any program under test runs.

lw_wine_tools_missing() {
  local tool
  for tool in wine wineserver wineboot winepath; do
    command -v "$tool" > /dev/null 2>&1 || printf '%s ' "$tool"
  done
}

lw_have_japanese_locale() { locale -a 2> /dev/null | grep -qix 'ja_JP.utf-\{0,1\}8'; }

# The environment of every Wine process: the given prefix, 64-bit, quiet, no
# display, no Mono or Gecko install prompts, no menu entries. Wine takes its
# ANSI code page from the locale of each process: Japanese gives code page
# 932, as on the players' systems; without that locale it is 1252.
# LEDGERWISE_WINE_LANG names another locale (ctest runs the Windows layer's
# tests in both).
lw_wine_env() {
  export WINEPREFIX="$1" WINEARCH=win64 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  unset DISPLAY WAYLAND_DISPLAY LC_ALL LC_CTYPE
  if [ -n "${LEDGERWISE_WINE_LANG-}" ]; then export LANG="$LEDGERWISE_WINE_LANG"
  elif lw_have_japanese_locale; then export LANG=ja_JP.UTF-8; else export LANG=C.UTF-8; fi
}

# Boots the prefix if it is new and starts its server and system processes
# unless they run already. $1: seconds the server outlives its last program
# (empty: until lw_wine_stop). Serialised with a lock, as ctest may start
# several programs at once; the lock's descriptor is closed for every Wine
# process, as they outlive this function and would hold it.
lw_wine_start() {
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      timeout 300 wineboot -i < /dev/null > /dev/null 2>&1 9>&-
      timeout 120 wineserver -w < /dev/null > /dev/null 2>&1 9>&-
    fi
    # Exit status 2: a server for this prefix runs already.
    if setsid wineserver -p"${1-}" < /dev/null > /dev/null 2>&1 9>&-; then
      timeout 120 wine cmd /c exit < /dev/null > /dev/null 2>&1 9>&-
    fi
    true
  ) 9> "$WINEPREFIX.lock"
}

lw_wine_stop() {
  timeout 60 wineserver -k < /dev/null > /dev/null 2>&1
  timeout 60 wineserver -w < /dev/null > /dev/null 2>&1
  true
}

# The prefix the test runner (CMAKE_CROSSCOMPILING_EMULATOR) and the
# conformance wrapper share, unless LEDGERWISE_WINEPREFIX names another. A
# WINEPREFIX of the user's own (perhaps the one the game is in) is never used.
lw_shared_prefix() { printf '%s' "${LEDGERWISE_WINEPREFIX:-${TMPDIR:-/tmp}/ledgerwise-wine-$(id -u)}"; }

# Runs a Windows program under Wine and passes on its exit status. Output to
# a pipe or file is captured in files first, so that no Wine process started
# on the way can hold the caller's pipe; a terminal is handed over as it is,
# for the key wait.
lw_wine_exec() {
  local limit="${LEDGERWISE_WINE_TIMEOUT:-600}" out err rc
  [ -t 1 ] && { timeout "$limit" wine "$@"; return; }
  out="$(mktemp)" && err="$(mktemp)" || return 125
  timeout "$limit" wine "$@" > "$out" 2> "$err"
  rc=$?
  cat "$out"; cat "$err" >&2
  rm -f "$out" "$err"
  return "$rc"
}

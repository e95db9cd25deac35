#!/usr/bin/env bash
# Checks what cpack made, as a user would meet it:
#
#   cmake/check-packages.sh NATIVE_BUILD WINDOWS_RELEASE_BUILD
#
# NATIVE_BUILD holds the Linux .tar.gz and the native ledgerwise (preset
# "default"), WINDOWS_RELEASE_BUILD the win64 .zip (preset "windows-release").
# The archives hold what they should, the exe stays within its size budget,
# `cmake --install` lays out bin/ and share/man/man1, and the exe unpacked from
# the zip, run under Wine on the sample logs, writes the same report as the
# native program (time stamps aside). Prints one line per check and
# "N passed, M failed"; exits 1 when a check failed.
set -u
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/.." && pwd)"
if [ $# -ne 2 ]; then sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 2; fi
native_build="$(cd "$1" && pwd)" || exit 2
win_build="$(cd "$2" && pwd)" || exit 2
# Kept in step with the budget the release preset is tuned for; 650 KiB since
# the dashboard's script holds its keyboard, live and chart-reading parts.
exe_budget=$((650 * 1024))

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
pass=0; fail=0
check() { # NAME WHY-IF-NOT-EMPTY
  if [ -z "$2" ]; then echo "PASS $1"; pass=$((pass + 1))
  else echo "FAIL $1: $2"; fail=$((fail + 1)); fi
}
only_one() { # GLOB: the one file it names, or nothing
  local found=("$@")
  [ ${#found[@]} -eq 1 ] && [ -f "${found[0]}" ] && printf '%s' "${found[0]}"
}
missing_entries() { # LISTING ENTRY...: the entries not in the listing
  local listing="$1" entry; shift
  for entry in "$@"; do grep -qxF -- "$entry" "$listing" || printf '%s ' "$entry"; done
}

# --- The Linux tarball.
tarball="$(only_one "$native_build"/Ledgerwise-*-linux-*.tar.gz)"
check "tarball: one Ledgerwise-<version>-linux-<arch>.tar.gz" \
  "$([ -n "$tarball" ] || echo "none or several in $native_build")"
if [ -n "$tarball" ]; then
  top="$(basename "$tarball" .tar.gz)"
  tar tzf "$tarball" | sed 's:/$::' >"$work/tar.list"
  check "tarball: binary, man page and licence" "$(missing_entries "$work/tar.list" \
    "$top/bin/ledgerwise" "$top/share/man/man1/ledgerwise.1" "$top/share/doc/ledgerwise/LICENSE")"
fi

# --- cmake --install into a fresh prefix.
cmake --install "$native_build" --prefix "$work/prefix" >/dev/null 2>&1
check "install: bin/ledgerwise and share/man/man1/ledgerwise.1" "$(
  [ -x "$work/prefix/bin/ledgerwise" ] || echo "no bin/ledgerwise"
  [ -s "$work/prefix/share/man/man1/ledgerwise.1" ] || echo "no share/man/man1/ledgerwise.1")"

# --- The Windows zip.
zip="$(only_one "$win_build"/Ledgerwise-*-win64.zip)"
check "zip: one Ledgerwise-<version>-win64.zip" "$([ -n "$zip" ] || echo "none or several in $win_build")"
[ -n "$zip" ] || { echo "$pass passed, $fail failed"; exit 1; }
top="$(basename "$zip" .zip)"
unzip -q "$zip" -d "$work/zip"
(cd "$work/zip" && find . -type f | sed 's:^\./::') >"$work/zip.list"
check "zip: exe, Japanese guide and licence" "$(missing_entries "$work/zip.list" \
  "$top/Ledgerwise.exe" "$top/guide-ja.txt" "$top/LICENSE.txt")"
exe="$work/zip/$top/Ledgerwise.exe"
guide="$work/zip/$top/guide-ja.txt"
size=$(stat -c %s "$exe" 2>/dev/null || echo 0)
echo "# Ledgerwise.exe: $size bytes ($(( (size + 1023) / 1024 )) KiB, budget $((exe_budget / 1024)) KiB)"
check "zip: exe within its size budget" "$([ "$size" -gt 0 ] && [ "$size" -le "$exe_budget" ] || echo "$size bytes")"
objdump="$(command -v x86_64-w64-mingw32-objdump || command -v objdump)"
check "zip: exe carries no debug sections" \
  "$("$objdump" -h "$exe" 2>&1 | grep -o '\.debug_[a-z]*\|file format not recognized' | sort -u | tr '\n' ' ')"
check "zip: guide is UTF-8 with a byte order mark and CR LF line ends" "$(
  [ "$(head -c 3 "$guide" | od -An -tx1 | tr -d ' ')" = efbbbf ] || echo "no byte order mark"
  iconv -f UTF-8 -t UTF-8 "$guide" >/dev/null 2>&1 || echo "not UTF-8"
  [ "$(LC_ALL=C grep -c $'\r$' "$guide")" -eq "$(wc -l <"$guide")" ] || echo "a line without CR")"

# --- The unpacked exe under Wine and the native program on the same logs.
for side in native wine; do cp -a "$repo/examples/data" "$work/$side"; done
"$native_build/ledgerwise" --no-wait "$work/native" >/dev/null 2>&1 </dev/null
native_rc=$?
LEDGERWISE_EXE="$exe" "$repo/tests/wine/ledgerwise-wine.sh" --no-wait "$work/wine" >/dev/null 2>&1 </dev/null
wine_rc=$?
check "sample logs: both programs succeed" \
  "$([ $native_rc -eq 0 ] && [ $wine_rc -eq 0 ] || echo "native exit $native_rc, Wine exit $wine_rc")"
# The menu's time stamp is the only text that may differ.
stamp='[0-9]\{4\}-[0-9][0-9]-[0-9][0-9] [0-9][0-9]:[0-9][0-9]:[0-9][0-9]'
differ=""
for page in "$work/native/analyze"/*; do
  name="$(basename "$page")"
  got="$work/wine/analyze/$name"
  [ -f "$got" ] || { differ="$differ $name(missing)"; continue; }
  cmp -s <(LC_ALL=C sed "s/$stamp/STAMP/" "$page") <(LC_ALL=C sed "s/$stamp/STAMP/" "$got") ||
    differ="$differ $name"
done
pages=$(find "$work/native/analyze" -type f | wc -l)
extra=$(( $(find "$work/wine/analyze" -type f | wc -l) - pages ))
check "sample logs: the zip's exe writes the native program's $pages files" \
  "$([ "$pages" -ge 6 ] || echo "only $pages files")$differ$([ "$extra" -le 0 ] || echo " $extra more files")"
echo "$pass passed, $fail failed"
[ "$fail" -eq 0 ]

#!/usr/bin/env bash
# Fails when a tracked C++ file is not as clang-format (.clang-format) would
# write it, and names the files.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run --Werror "${files[@]}" 2> /tmp/ledgerwise-format.$$; then
  grep -o '^[^:]*\.\(cpp\|h\):' /tmp/ledgerwise-format.$$ | sort -u | sed 's/:$/: not formatted (clang-format -i)/'
  rm -f /tmp/ledgerwise-format.$$
  exit 1
fi
rm -f /tmp/ledgerwise-format.$$
echo "format: ${#files[@]} C++ files as clang-format writes them"

#!/bin/bash
# Browser tests of the generated report.
#   tests/browser/run.sh PROGRAM [GENERATOR]
# PROGRAM is the ledgerwise executable; GENERATOR, if given, the log
# generator whose sample is used as base data (otherwise a copy of the edge
# conformance corpus, see report.test.mjs). Exits 0 with a SKIP line when no
# Chromium is installed, so machines without a browser still pass the rest.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 PROGRAM [GENERATOR]" >&2
  exit 2
fi

absolute() {
  case "$1" in
    /*) printf '%s\n' "$1" ;;
    *) printf '%s/%s\n' "$(pwd)" "$1" ;;
  esac
}

program="$(absolute "$1")"
generator=""
if [ $# -eq 2 ] && [ -n "$2" ]; then
  generator="$(absolute "$2")"
fi

# The suite runs from this folder; folders given relative to the caller
# must keep pointing where the caller meant.
for var in LEDGERWISE_SCREENSHOTS LEDGERWISE_CORPUS; do
  if [ -n "${!var:-}" ]; then
    export "$var=$(absolute "${!var}")"
  fi
done

chromium="${LEDGERWISE_CHROMIUM:-/usr/bin/chromium}"
if [ ! -x "$chromium" ]; then
  echo "SKIP: chromium not found ($chromium); tests/browser/setup.sh installs it"
  exit 0
fi
if ! command -v node >/dev/null 2>&1; then
  echo "node not found; tests/browser/setup.sh installs it" >&2
  exit 1
fi
if [ ! -x "$program" ]; then
  echo "program not found or not executable: $program" >&2
  exit 1
fi
if [ -n "$generator" ] && [ ! -x "$generator" ]; then
  echo "generator not found or not executable: $generator" >&2
  exit 1
fi

cd "$here"
# shellcheck source=npm-deps.sh
. ./npm-deps.sh

export LEDGERWISE_PROGRAM="$program"
export LEDGERWISE_GENERATOR="$generator"
exec node --test report.test.mjs dashboard.test.mjs

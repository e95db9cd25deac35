#!/bin/bash
# Browser tests of dashboard.html.
#   tests/browser/run.sh PROGRAM GENERATOR
# GENERATOR makes the base data, whose dates the checks expect (see lib/fixture.mjs).
# Exits 0 with a SKIP line when no Chromium is installed, so machines without a
# browser still pass the rest.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 PROGRAM GENERATOR" >&2; exit 2; }
chromium="${LEDGERWISE_CHROMIUM:-/usr/bin/chromium}"
if [ ! -x "$chromium" ]; then
  echo "SKIP: chromium not found ($chromium); tests/browser/setup.sh installs it"
  exit 0
fi
export LEDGERWISE_PROGRAM="$(realpath "$1")" LEDGERWISE_GENERATOR="$(realpath "$2")"
# The suite runs from this folder: folders given relative to the caller are made absolute.
for var in LEDGERWISE_SCREENSHOTS LEDGERWISE_CORPUS; do
  [ -z "${!var:-}" ] || export "$var=$(realpath -m "${!var}")"
done
cd "$(dirname "${BASH_SOURCE[0]}")"
# shellcheck source=npm-deps.sh
. ./npm-deps.sh
exec node --test dashboard.test.mjs live.test.mjs markup.test.mjs

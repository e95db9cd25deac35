#!/usr/bin/env bash
# Benchmarks dashboard.html and matches.csv on a heavy player's ten years
# (about 3,100 daily files, 685,000 matches, 20,000 opponents):
#   bench/dashboard.sh [SCALE]
# the time both files add to the run against the pages-only run, their sizes,
# and in Chromium (when installed) the time until the opponents table shows,
# renderer memory, and a sort and a search over all opponents.
set -euo pipefail
cd "$(dirname "$0")/.."
scale="${1:-1.0}"
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLEDGERWISE_TESTS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target ledgerwise-dashboard-bench ledgerwise-loggen > /dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
days=$(awk -v s="$scale" 'BEGIN { printf "%d", 3650 * s }')
opponents=$(awk -v s="$scale" 'BEGIN { printf "%d", 20000 * s }')
"$build/tools/ledgerwise-loggen" --out "$work/data" --seed 7 --days "$days" --matches-per-day 200 \
    --opponents "$opponents" > /dev/null
cat "$work/data"/*.log > /dev/null  # warm the page cache
echo "=== $days days, $opponents opponents in the pool"
"$build/bench/ledgerwise-dashboard-bench" "$work/data"
chromium="${LEDGERWISE_CHROMIUM:-/usr/bin/chromium}"
if [ ! -x "$chromium" ] || ! command -v node > /dev/null; then
  echo "Chromium or node missing: tests/browser/setup.sh installs them"
  exit 0
fi
(cd tests/browser && . ./npm-deps.sh && node ../../bench/dashboard.mjs "$work/data/analyze")

#!/usr/bin/env bash
# Benchmarks a run of the program on generated logs against grep.
#   bench/run.sh [SCALE]
# SCALE 1.0 is a heavy player's ten years (about 3,100 daily files, 680,000
# matches, 20,000 opponents, 240 MB of logs); the run also measures half and
# a quarter of it, to show how the cost grows. Prints per phase the time,
# MB/s of log input and peak memory, and the time of
# `LC_ALL=C grep -cF <match-start phrase>` over the same files (its output
# goes to a file: on /dev/null grep stops at the first match).
set -euo pipefail
cd "$(dirname "$0")/.."
scale="${1:-1.0}"
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLEDGERWISE_TESTS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target ledgerwise-bench ledgerwise-loggen > /dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
phrase="$(printf '\x91\xce\x90\xed\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc\x82\xb5\x82\xbd')"  # 対戦を開始しました

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load $(cut -d' ' -f1 /proc/loadavg)"
for fraction in 0.25 0.5 1.0; do
  days=$(awk -v s="$scale" -v f="$fraction" 'BEGIN { printf "%d", 3650 * s * f }')
  opponents=$(awk -v s="$scale" -v f="$fraction" 'BEGIN { printf "%d", 20000 * s * f }')
  data="$work/$days"
  "$build/tools/ledgerwise-loggen" --out "$data" --seed 7 --days "$days" --matches-per-day 200 \
      --opponents "$opponents" > /dev/null
  cat "$data"/*.log > /dev/null  # warm the page cache for both
  best=""
  for run in 1 2 3; do
    start=$(date +%s%N)
    (cd "$data" && LC_ALL=C grep -cF "$phrase" -- *.log > "$work/grep.out")
    t=$(( $(date +%s%N) - start ))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  best=$(awk -v ns="$best" 'BEGIN { printf "%.3f", ns / 1e9 }')
  echo
  echo "=== $days days"
  "$build/bench/ledgerwise-bench" "$data" | tee "$work/bench.out"
  parse=$(awk '/^parse \+ statistics/ { print $4 }' "$work/bench.out")
  whole=$(awk '/^whole run/ { print $3 }' "$work/bench.out")
  printf 'grep -cF                %9.3f\n' "$best"
  awk -v p="$parse" -v w="$whole" -v g="$best" 'BEGIN {
    printf "parse + statistics / grep: %.2fx (goal 1.5x)\n", p / g
    printf "whole run / grep:          %.2fx (goal 4x)\n", w / g }'
  rm -rf "$data"
done

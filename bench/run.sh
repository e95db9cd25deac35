#!/usr/bin/env bash
# Benchmarks a run of the program on generated logs against grep.
#   bench/run.sh [SCALE]
# SCALE 1.0 is a heavy player's ten years (about 3,100 daily files, 680,000
# matches, 20,000 opponents, 240 MB of logs); the run also measures half and
# a quarter of it, to show how the cost grows. For each it prints the phases
# of the in-process benchmark (wall and processor seconds, MB/s, peak memory)
# and the whole program's run (pages only, and with the dashboard and the
# CSV), each the median of nine, beside the median of nine runs of
# `LC_ALL=C grep -cF <match-start phrase>` over the same
# files (its output goes to a file: on /dev/null grep stops at the first
# match), and the whole program with the dashboard and the CSV. Then the
# Windows build under Wine against the native one (skipped where Wine or
# MinGW-w64 is missing), with what opening, reading and closing the logs
# alone costs on each and the same logs joined into nine files, and peak
# memory for a player who met a million opponents once each (SCALE times a
# million), in the in-process benchmark and for the whole program with all
# its files and with --pages-only, against the bound the README states.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
scale="${1:-1.0}"
build=build-bench
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLEDGERWISE_TESTS=OFF > /dev/null
cmake --build "$build" -j"$(nproc)" --target ledgerwise ledgerwise-bench ledgerwise-loggen \
    ledgerwise-open-cost > /dev/null
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
phrase="$(printf '\x91\xce\x90\xed\x82\xf0\x8a\x4a\x8e\x6e\x82\xb5\x82\xdc\x82\xb5\x82\xbd')"  # 対戦を開始しました
program=("$root/$build/ledgerwise" --no-wait)
if "${program[0]}" --help | grep -q -- --pages-only; then program+=(--pages-only); fi

# The median of the numbers on standard input.
median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Peak resident memory, in MB, of one run of the command.
peak_megabytes() {
  python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
print("%.1f" % (resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024))' "$@"
}

# Wall seconds of one run of the command.
seconds() {
  local start end
  start=$(date +%s%N)
  "$@" > "$work/run.out"
  end=$(date +%s%N)
  awk -v ns="$((end - start))" 'BEGIN { printf "%.3f\n", ns / 1e9 }'
}

# Median wall seconds of three runs of the command.
median_of_three() { for _ in 1 2 3; do seconds "$@"; done | median; }
# Median wall seconds of nine runs: the whole program against its goals.
median_of_nine() { for _ in 1 2 3 4 5 6 7 8 9; do seconds "$@"; done | median; }

grep_files() { (cd "$1" && LC_ALL=C grep -cF "$phrase" -- *.log); }

echo "machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ *//'), load $(cut -d' ' -f1 /proc/loadavg)"
for fraction in 0.25 0.5 1.0; do
  days=$(awk -v s="$scale" -v f="$fraction" 'BEGIN { printf "%d", 3650 * s * f }')
  opponents=$(awk -v s="$scale" -v f="$fraction" 'BEGIN { printf "%d", 20000 * s * f }')
  data="$work/$days"
  "$build/tools/ledgerwise-loggen" --out "$data" --seed 7 --days "$days" --matches-per-day 200 \
      --opponents "$opponents" > /dev/null
  cat "$data"/*.log > /dev/null  # warm the page cache for all
  grep_time=$(median_of_nine grep_files "$data")
  echo
  echo "=== $days days (phases: median of three runs)"
  for run in 1 2 3; do "$build/bench/ledgerwise-bench" "$data" > "$work/bench.$run"; done
  # Each line of the median run by parse + statistics time.
  pick=$(for run in 1 2 3; do
           awk -v r="$run" '/^parse \+ statistics/ { print $4, r }' "$work/bench.$run"
         done | sort -g | sed -n 2p | cut -d' ' -f2)
  cat "$work/bench.$pick"
  parse=$(awk '/^parse \+ statistics/ { print $4 }' "$work/bench.$pick")
  whole=$(median_of_nine "${program[@]}" "$data")
  everything=$(median_of_nine "${program[@]:0:2}" "$data")
  printf '%-22s %9.3f\n' "whole program" "$whole" "with dashboard, CSV" "$everything" \
      "grep -cF" "$grep_time"
  awk -v p="$parse" -v w="$whole" -v e="$everything" -v g="$grep_time" 'BEGIN {
    printf "parse + statistics / grep: %.2fx (goal 2x)\n", p / g
    printf "whole program / grep:      %.2fx (goal 2.5x)\n", w / g
    printf "with dashboard, CSV / grep: %.2fx (goal 3x)\n", e / g }'
  if [ "$fraction" != 1.0 ]; then rm -rf "$data"; fi
done

# The Windows build on the largest corpus, under Wine, in a prefix of its
# own whose server stays up while the runs are timed.
echo
if command -v wine > /dev/null && command -v x86_64-w64-mingw32-g++ > /dev/null; then
  cmake -S . -B "$build-mingw" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_BUILD_TYPE=Release -DLEDGERWISE_TESTS=OFF > /dev/null 2>&1
  cmake --build "$build-mingw" -j"$(nproc)" --target ledgerwise ledgerwise-open-cost > /dev/null
  export WINEPREFIX="$root/$build-mingw/wineprefix" WINEDEBUG=-all
  windows_data=$(winepath -w "$data" 2> /dev/null)  # makes the prefix the first time
  exe=("$root/$build-mingw/Ledgerwise.exe" --no-wait)
  if wine "${exe[0]}" --help 2> /dev/null | grep -q -- --pages-only; then exe+=(--pages-only); fi
  wineserver -w
  wineserver -p
  wine "${exe[@]}" "$windows_data" > /dev/null 2>&1  # a first run to warm up
  native=$(median_of_three "${program[@]}" "$data")
  windows=$(median_of_three wine "${exe[@]}" "$windows_data")
  echo "=== Wine, $days days (median of three)"
  printf '%-22s %9.3f\n' "native program" "$native" "Ledgerwise.exe, Wine" "$windows"
  awk -v n="$native" -v w="$windows" 'BEGIN { printf "Wine / native:             %.2fx (goal 1.5x)\n", w / n }'
  # Where Wine's time goes: the system's part alone (open, read and close
  # of every log), then the same bytes joined into nine files.
  echo "the system alone, native: $("$build/bench/ledgerwise-open-cost" "$data")"
  echo "the system alone, Wine:   $(wine "$build-mingw/bench/ledgerwise-open-cost.exe" "$windows_data")"
  joined="$work/joined"
  mkdir -p "$joined"
  ls "$data"/*.log > "$work/logs"
  split -n l/9 "$work/logs" "$work/part."
  n=0
  for part in "$work"/part.*; do
    n=$((n + 1))
    xargs cat < "$part" > "$joined/2005010$n.log"
  done
  native=$(median_of_three "${program[@]}" "$joined")
  windows=$(median_of_three wine "${exe[@]}" "$(winepath -w "$joined")")
  wineserver -k || true
  printf '%-22s %9.3f\n' "native, in 9 files" "$native" "Wine, in 9 files" "$windows"
  awk -v n="$native" -v w="$windows" 'BEGIN { printf "Wine / native, 9 files:    %.2fx\n", w / n }'
  rm -rf "$joined"
else
  echo "=== Wine: skipped (wine or x86_64-w64-mingw32-g++ not found)"
fi
rm -rf "$data"

# Memory at its worst: every match against a new opponent.
echo
distinct=$(awk -v s="$scale" 'BEGIN { printf "%d", 1000000 * s }')
python3 bench/distinct_opponents.py "$work/distinct" "$distinct"
echo "=== $distinct opponents, one match each"
"$build/bench/ledgerwise-bench" "$work/distinct" | grep -E '^(read and parse|whole run|files|peak)'
# The whole program's peak, with all its files and with the six pages alone.
bound=$(awk -v m="$distinct" 'BEGIN { printf "%.1f", 64 + m * 100 / 1048576 }')
for run in "default:" "--pages-only:--pages-only"; do
  peak=$(peak_megabytes "${program[0]}" --no-wait ${run#*:} "$work/distinct")
  awk -v r="${run%%:*}" -v p="$peak" -v b="$bound" 'BEGIN {
    printf "whole program, %-12s peak %6.1f MB, bound 64 MB + 100 bytes a match = %.1f MB: %s\n",
      r, p, b, p <= b ? "within" : sprintf("%.1f MB over", p - b) }'
done

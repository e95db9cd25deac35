#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a while.
#   tools/fuzz.sh [SECONDS]        (default 60 per target)
# Environment: FUZZ_BUILD (default build-fuzz), FUZZ_TARGETS (default both),
# FUZZ_MAX_LEN (largest input, default 8192), CXX (default clang++).
#
# Exits non-zero on any finding: a crash, a sanitizer report, an invariant
# the targets check (they trap), a hang (-timeout) or running out of memory.
# Findings are copied to $FUZZ_BUILD/findings/; to keep one as a regression
# test, copy it into tests/fuzz/regressions/<parser|pipeline>/ (the normal
# test build replays every file there).
set -u
seconds="${1:-60}"
case "$seconds" in ''|*[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac
top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${FUZZ_BUILD:-$top/build-fuzz}"
targets="${FUZZ_TARGETS:-fuzz_parser fuzz_pipeline}"
cxx="${CXX:-clang++}"
case "$build" in /*) ;; *) build="$top/$build" ;; esac

echo "== building into $build with $cxx"
mkdir -p "$build"
cmake -S "$top" -B "$build" -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEDGERWISE_WERROR=ON \
  -DLEDGERWISE_FUZZ=ON -DLEDGERWISE_TESTS=OFF > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
have_loggen=0
build_targets=$targets
if cmake --build "$build" --target help 2>/dev/null | grep -q 'ledgerwise-loggen'; then
  have_loggen=1
  build_targets="$build_targets ledgerwise-loggen"
fi
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $build_targets || exit 1

# Seeds: the hand-made ones, and a few small corpora from the generator (or,
# without it, from the reference corpora), wrapped into the targets'
# input layout: an option byte, a fault byte, then files each starting with
# its name byte and separated by FF FE.
seeds="$build/seeds"
rm -rf "$seeds"; mkdir -p "$seeds"
cp "$top"/tests/fuzz/seeds/* "$seeds"/
wrap() {  # OUT FILE...: the files as one input, names 20050504.log, 20050505.log, ...
  local out="$1"; shift
  local index=0
  { printf '\x00\x06'
    for f in "$@"; do
      [ "$index" -gt 0 ] && printf '\xff\xfe'
      printf "\\x$(printf %02x "$index")"
      head -c 3000 "$f"
      index=$((index + 1))
    done; } > "$out"
}
if [ "$have_loggen" = 1 ]; then
  for seed in 1 2 3 4; do
    rm -rf "$build/loggen"
    "$build/tools/ledgerwise-loggen" --out "$build/loggen" --seed "$seed" --days 2 \
      --matches-per-day 8 --opponents 6 > /dev/null || exit 1
    # shellcheck disable=SC2046
    wrap "$seeds/loggen-$seed" $(ls "$build"/loggen/*.log | head -3)
  done
  echo "== seeds: tests/fuzz/seeds and ledgerwise-loggen"
else
  n=0
  for f in "$top"/tests/conformance/*/data/*.log; do
    [ -f "$f" ] || continue
    wrap "$seeds/shared-$n" "$f"; n=$((n + 1))
    [ "$n" -ge 8 ] && break
  done
  echo "== seeds: tests/fuzz/seeds and $n shared corpus files"
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
status=0
summary=""
for target in $targets; do
  corpus="$build/corpus/$target"
  findings="$build/findings"
  mkdir -p "$corpus" "$findings/previous"
  # Only this run's findings count; earlier ones are kept aside, not lost.
  for old in "$findings/$target-"*; do [ -e "$old" ] && mv "$old" "$findings/previous/"; done
  log="$build/$target.log"
  echo "== $target for ${seconds}s (log: $log)"
  # Every finding (crash-*, timeout-*, oom-*, leak-*) is written through
  # -artifact_prefix, so it lands in the findings folder under the
  # target's name; -timeout turns a hang into one.
  "$build/tests/fuzz/$target" "$corpus" "$seeds" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="${FUZZ_MAX_LEN:-8192}" \
    -dict="$top/tests/fuzz/brumbel.dict" -print_final_stats=1 \
    -artifact_prefix="$findings/$target-" > "$log" 2>&1
  rc=$?
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1)
  found=$(ls "$findings" 2>/dev/null | grep -c "^$target-")
  line="$target: ${execs:-?} runs, ${rate:-?} exec/s, ${cov:-cov: ?}, corpus $(ls "$corpus" | wc -l), exit $rc, findings $found"
  echo "$line"
  summary="$summary$line"$'\n'
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    status=1
    grep -E 'ERROR|SUMMARY|invariant broken|runtime error|Test unit written' "$log" | head -20
  fi
done
echo "== summary"
printf '%s' "$summary"
if [ "$status" -ne 0 ]; then
  echo "FINDINGS in $build/findings: replay with $build/tests/fuzz/<target> FILE;" \
       "keep each as tests/fuzz/regressions/<parser|pipeline>/NAME"
fi
exit "$status"

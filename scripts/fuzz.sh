#!/usr/bin/env bash
# Fuzzes every input the program takes from outside, one target after another.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (default 600 seconds each, every target)
#
# Builds build-fuzz/ with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer), runs
# each target at low priority for SECONDS, merges inputs that reach new code into the seed corpus
# tests/fuzz/corpus/<target>/, and copies every crash, leak, timeout or out-of-memory input into
# tests/fuzz/crashes/<target>/, where the ordinary test run replays it from then on. Prints the
# executions of each target; the log of each run is in build-fuzz/logs/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-600}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(filter tablefile settings csv picture record)
case "$seconds" in ''|*[!0-9]*) echo "usage: $0 [SECONDS] [TARGET...]" >&2; exit 2;; esac

source scripts/packages.sh
lentavo_install_packages clang libclang-rt-14-dev

build=build-fuzz
CXX=clang++ cmake -S tests/fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# Largest input each target is given: a settings line longer than the 127 bytes a reader might
# cut at, CSV of a few records, small table files (their pages are 512 bytes) and pictures.
declare -A max_len=([filter]=256 [settings]=512 [csv]=4096 [tablefile]=16384 [picture]=8192 [record]=16384)

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

summary=()
for t in "${targets[@]}"; do
  exe="$build/fuzz_$t"
  [ -x "$exe" ] || { echo "no such target: $t" >&2; exit 2; }
  work="$build/corpus/$t" artifacts="$build/artifacts/$t" logs="$build/logs"
  rm -rf "$artifacts"   # what earlier runs found is already in tests/fuzz/crashes
  mkdir -p "$work" "$artifacts" "$logs" "tests/fuzz/corpus/$t"
  dict=()
  [ -f "tests/fuzz/$t.dict" ] && dict=(-dict="tests/fuzz/$t.dict")

  # A crash ends a libFuzzer run: start again with the time that is left, a few times at most.
  start=$(date +%s) runs=0 execs=0 found=0
  while :; do
    left=$(( seconds - ($(date +%s) - start) ))
    [ "$left" -gt 0 ] && [ "$runs" -lt 20 ] || break
    runs=$((runs + 1))
    log="$logs/$t-$runs.log"
    echo "== $t: run $runs, $left s"
    set +e
    nice -n 10 "$exe" "$work" "tests/fuzz/corpus/$t" "${dict[@]}" -max_total_time="$left" \
      -max_len="${max_len[$t]}" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" >"$log" 2>&1
    rc=$?
    set -e
    n=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    execs=$(( execs + ${n:-0} ))
    grep -E '^#[0-9]+ +DONE' "$log" | tail -1 || true
    if [ "$rc" -ne 0 ]; then
      echo "   $t: run $runs ended with status $rc; see $log"
      grep -m3 -E 'ERROR: |SUMMARY: |fuzz check failed' "$log" || true
    fi
  done

  # Everything the sanitizers or the checks stopped on becomes a regression input.
  for a in "$artifacts"/crash-* "$artifacts"/leak-* "$artifacts"/timeout-* "$artifacts"/oom-*; do
    [ -f "$a" ] || continue
    mkdir -p "tests/fuzz/crashes/$t"
    cp -n "$a" "tests/fuzz/crashes/$t/"
    found=$((found + 1))
  done

  # Keep only the new inputs that reach code the seed corpus does not.
  before=$(ls "tests/fuzz/corpus/$t" | wc -l)
  nice -n 10 "$exe" -merge=1 -max_len="${max_len[$t]}" "tests/fuzz/corpus/$t" "$work" \
    >"$logs/$t-merge.log" 2>&1 || echo "   merge of $t failed; see $logs/$t-merge.log"
  after=$(ls "tests/fuzz/corpus/$t" | wc -l)

  summary+=("$(printf '%-10s %6ss %12s executions  %d findings  corpus %d -> %d' \
    "$t" "$seconds" "$execs" "$found" "$before" "$after")")
done

echo
echo "target      time      executions"
printf '%s\n' "${summary[@]}" | tee "$build/summary.txt"

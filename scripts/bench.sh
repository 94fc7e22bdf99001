#!/usr/bin/env bash
# Builds the benchmarks in Release (build-bench/), runs them, measures the start to the main menu
# under Xvfb and the peak memory of a drill on a full bank with figures, and writes
# docs/performance.md from the results. Takes about 20 minutes on the 2-core machine.
#
#   REPS=5      repetitions of each benchmark (medians are reported)
#   MENU_RUNS=7 starts of the program for the start-to-menu median
#   FILTER=…    only the benchmarks matching this regular expression (for a quick look; the
#               report then has gaps)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
lentavo_install_packages time
command -v python3 >/dev/null || lentavo_install_packages python3

build=build-bench
results=$build/bench-results
reps=${REPS:-5}
menu_runs=${MENU_RUNS:-7}
mkdir -p "$results"
rm -f "$results"/*.json "$results"/*.txt

# Run at the normal priority: a benchmark started under `nice` measures the other jobs.
if [ "$(nice)" -ne 0 ]; then
  echo "note: running at niceness $(nice); figures may be slower than at normal priority" >&2
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DLENTAVO_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j2 --target bench_drill bench_record bench_memory bench_exam
progress_status=built
if ! cmake --build "$build" -j2 --target bench_progress >"$results/progress-build.txt" 2>&1; then
  progress_status="bench_progress did not build (see $results/progress-build.txt)"
fi
app_status=built
if ! cmake --build "$build" -j2 --target lentavo >"$results/lentavo-build.txt" 2>&1; then
  app_status="the program did not build (see $results/lentavo-build.txt)"
fi
build=$(cd "$build" && pwd)
results=$build/bench-results
scratch=$build/bench-tmp
rm -rf "$scratch"
mkdir -p "$scratch"

# ---- Machine -------------------------------------------------------------------------------
{
  echo "cpu=$(lscpu | sed -n 's/^Model name: *//p' | head -1)"
  echo "cores=$(nproc)"
  echo "caches=$(lscpu | sed -n 's/^L\([123][di]*\) cache: *\(.*\)/L\1 \2/p' | paste -sd ';' - | sed 's/;/; /g')"
  echo "virtualisation=$(lscpu | sed -n 's/^Hypervisor vendor: *//p' | head -1)"
  echo "memory=$(free -h | awk '/^Mem:/ {print $2}')"
  echo "kernel=$(uname -r)"
  echo "os=$(. /etc/os-release && echo "$PRETTY_NAME")"
  echo "compiler=$(g++ --version | head -1)"
  echo "qt=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null)"
  echo "sqlite=$(dpkg-query -W -f='${Version}' libsqlite3-0 2>/dev/null)"
  echo "benchmark=$(dpkg-query -W -f='${Version}' libbenchmark-dev 2>/dev/null)"
  echo "build_type=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")"
  echo "cxx_flags_release=$(sed -n 's/^CMAKE_CXX_FLAGS_RELEASE:[A-Z]*=//p' "$build/CMakeCache.txt")"
  echo "commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)"
  echo "date=$(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "load_before=$(cut -d' ' -f1-3 /proc/loadavg)"
  echo "repetitions=$reps"
} >"$results/machine.txt"

python3 scripts/bench_report.py fsync "$scratch" "$results/fsync.json"

# ---- Benchmarks ----------------------------------------------------------------------------
echo "Running the benchmarks ($reps repetitions each)…"
LENTAVO_BENCH_TMP=$scratch "$build/bench/bench_drill" \
  --benchmark_repetitions="$reps" \
  --benchmark_report_aggregates_only=true \
  --benchmark_filter="${FILTER:-.}" \
  --benchmark_out="$results/drill.json" --benchmark_out_format=json
LENTAVO_BENCH_TMP=$scratch "$build/bench/bench_exam" \
  --benchmark_repetitions="$reps" \
  --benchmark_report_aggregates_only=true \
  --benchmark_filter="${FILTER:-.}" \
  --benchmark_out="$results/exam.json" --benchmark_out_format=json

echo "Running the learning record's benchmarks…"
LENTAVO_BENCH_TMP=$scratch "$build/bench/bench_record" \
  --benchmark_repetitions="$reps" \
  --benchmark_report_aggregates_only=true \
  --benchmark_filter="${FILTER:-.}" \
  --benchmark_out="$results/record.json" --benchmark_out_format=json

# ---- Peak memory ---------------------------------------------------------------------------
echo "Measuring the peak memory of a drill…"
memory_run() {   # NAME QUESTIONS FIGURES
  local dir=$scratch/memory-$1
  "$build/bench/bench_memory" make "$dir" "$2" "$3" 2000 >"$results/memory-$1-make.txt"
  /usr/bin/time -v "$build/bench/bench_memory" drill "$dir/Lentavo.inf" 20 \
    >"$results/memory-$1-drill.txt" 2>"$results/memory-$1-time.txt"
  stat -c '%s' "$dir/data/mondai.cds" >"$results/memory-$1-bank.txt"
  rm -rf "$dir"
}
memory_run full-figures 9999 1
memory_run full 9999 0
/usr/bin/time -v "$build/bench/bench_memory" idle >/dev/null 2>"$results/memory-idle-time.txt"

# ---- Opening the learning-record window ----------------------------------------------------
echo "Measuring the opening of 学習記録…"
if [ "$progress_status" = built ]; then
  if ! LENTAVO_BENCH_TMP=$scratch QT_QPA_PLATFORM=offscreen "$build/bench/bench_progress" "$reps" \
      "$results/progress.json" >"$results/progress.txt" 2>&1; then
    echo "status=the measurement failed: $(tail -1 "$results/progress.txt")" >"$results/progress-skipped.txt"
  fi
else
  echo "status=$progress_status" >"$results/progress-skipped.txt"
fi

# ---- Start to the main menu ----------------------------------------------------------------
echo "Measuring the start to the main menu…"
if [ "$app_status" = built ] && [ -x "$build/lentavo" ]; then
  # A data directory for the settings file beside the program; the menu itself reads no table.
  "$build/bench/bench_memory" make "$scratch/menu" 1000 0 20 >/dev/null
  settings=$build/Lentavo.inf
  saved=""
  if [ -e "$settings" ]; then saved=$scratch/Lentavo.inf.saved; cp "$settings" "$saved"; fi
  printf '%s' "$scratch/menu/data/" >"$settings"
  # A display no other server uses: no lock file and no socket; then make sure it answers.
  xvfb_pid=""
  for n in $(seq 90 120); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$results/xvfb.txt" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 50); do xdpyinfo -display ":$n" >/dev/null 2>&1 && break; sleep 0.1; done
    if kill -0 "$xvfb_pid" 2>/dev/null && xdpyinfo -display ":$n" >/dev/null 2>&1; then display=:$n; break; fi
    kill "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  done
  trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
  if [ -z "$xvfb_pid" ]; then
    echo "status=no X server could be started" >"$results/menu-skipped.txt"
  elif ! DISPLAY=$display python3 scripts/bench_report.py menu "$build/lentavo" "$menu_runs" "$results/menu.json" \
      2>"$results/menu-error.txt"; then
    echo "status=the measurement failed: $(tail -1 "$results/menu-error.txt")" >"$results/menu-skipped.txt"
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  trap - EXIT
  if [ -n "$saved" ]; then cp "$saved" "$settings"; else rm -f "$settings"; fi
else
  echo "status=$app_status" >"$results/menu-skipped.txt"
fi

# ---- The school's server (a throwaway cluster of its own) ---------------------------------------
if cmake --build "$build" -j2 --target bench_school >"$results/school-build.txt" 2>&1; then
  LENTAVO_BENCH_TMP=$scratch "$build/bench/bench_school" >"$results/school.txt" 2>&1 ||
    echo "bench_school failed: see above" >>"$results/school.txt"
else
  echo "bench_school did not build (see $results/school-build.txt)" >"$results/school.txt"
fi

# ---- 教官用 一覧 on a generated school (a throwaway cluster of its own) --------------------------
if cmake --build "$build" -j2 --target bench_teacher >"$results/teacher-build.txt" 2>&1; then
  QT_QPA_PLATFORM=offscreen LENTAVO_BENCH_TMP=$scratch "$build/bench/bench_teacher" 2000 >"$results/teacher.txt" 2>&1 ||
    echo "bench_teacher failed: see above" >>"$results/teacher.txt"
else
  echo "bench_teacher did not build (see $results/teacher-build.txt)" >"$results/teacher.txt"
fi

echo "load_after=$(cut -d' ' -f1-3 /proc/loadavg)" >>"$results/machine.txt"
rm -rf "$scratch"

# ---- Report --------------------------------------------------------------------------------
python3 scripts/bench_report.py report "$results" docs/performance.md
echo "Wrote docs/performance.md"

#!/usr/bin/env bash
# The README's first command: installs what is missing, builds, stages a writable copy of the
# bundled sample data (only once, so a rebuild never wipes a pupil's history) and starts the
# trainer. Without a display it runs a short scripted drill under Xvfb instead and saves
# screenshots of each window.
#
# With --school it starts the trainer as a school PC instead, on a throwaway school server with
# three sample pupils (scripts/run-school.sh).
set -euo pipefail
school=0
case "${1:-}" in
  "") ;;
  --school) school=1 ;;
  *) echo "usage: $0 [--school]" >&2; exit 2 ;;
esac
cd "$(dirname "$0")/.."
source scripts/packages.sh
lentavo_install_packages

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target lentavo sample_data

build=$(cd "$build" && pwd)
if [ "$school" = 1 ]; then
  cmake --build "$build" -j"$(nproc)" --target tabletool
  exec scripts/run-school.sh "$build"
fi
if [ ! -e "$build/Lentavo.inf" ]; then
  mkdir -p "$build/sample-data"
  for f in mondai.cds advice.cds rireki.cds kiken.cds; do
    [ -e "$build/sample/$f" ] || continue   # kiken.cds only once tabletool knows the hazard layout
    [ -e "$build/sample-data/$f" ] || cp "$build/sample/$f" "$build/sample-data/$f"
  done
  printf '%s' "$build/sample-data/" > "$build/Lentavo.inf"
  echo "Sample data staged in $build/sample-data/"
fi

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$build/lentavo"
fi

echo "No X display is available, so the trainer cannot open its windows here."
echo "Running a short scripted drill under Xvfb instead, with screenshots of each window."
exec scripts/demo.sh "$build"

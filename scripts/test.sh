#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, and runs every test with CTest.
#
#   scripts/test.sh              build/ as configured, every test
#   scripts/test.sh --sanitize   build-asan/ with AddressSanitizer and UndefinedBehaviorSanitizer
#                                (leak checking on), every test
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
lentavo_install_packages

sanitize=0
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=1 ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
  esac
done

if [ "$sanitize" -eq 0 ]; then
  build=${BUILD_DIR:-build}
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
  cmake --build "$build" -j"$(nproc)"
  cd "$build"
  ctest --output-on-failure -j"$(nproc)" --timeout 600
  exit
fi

# The first fault stops the test that made it; leaks are faults too. Leaks inside the system's
# own libraries (Qt's platform plugins, fontconfig, ...) are suppressed by library name in
# tests/lsan.supp; nothing of ours is.
# The standard library's own checks are on too: an index past a vector's end or an empty
# optional read stops the test, where the sanitizers see nothing (the read stays inside memory
# the container owns).
build=${BUILD_DIR:-build-asan}
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
flags+=" -D_GLIBCXX_ASSERTIONS"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
cd "$build"
# Instrumented code runs a few times slower: the same per-test limit, twice as long.
ctest --output-on-failure -j"$(nproc)" --timeout 1200

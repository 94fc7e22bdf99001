#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, and runs every test with CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
lentavo_install_packages

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 600

#!/usr/bin/env bash
# Builds VOKRA and runs every test.
#   ./test.sh             the normal build (warnings are errors)
#   ./test.sh --sanitize  the same tests built with AddressSanitizer and UBSan, in build-asan/
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-debian.sh

build=build
flags=()
if [ "${1:-}" = "--sanitize" ]; then
    build=build-asan
    flags=(-DVOKRA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S . -B "$build" -G Ninja "${flags[@]}"
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"

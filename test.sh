#!/usr/bin/env bash
# Builds VOKRA and runs every test.
#   ./test.sh                    the normal build (warnings are errors), every test
#   ./test.sh --sanitize         every test built with AddressSanitizer and UBSan, in build-asan/
#   ./test.sh --sanitize-core    the same for the engine, core and pass tests only (what CI runs)
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-debian.sh

case "${1:-}" in
    --sanitize)
        cmake -S . -B build-asan -G Ninja -DVOKRA_SANITIZE=ON -DVOKRA_WERROR=ON -DCMAKE_BUILD_TYPE=Debug
        cmake --build build-asan
        ctest --test-dir build-asan --output-on-failure -j "$(nproc)"
        ;;
    --sanitize-core)
        cmake -S . -B build-asan -G Ninja -DVOKRA_SANITIZE=ON -DVOKRA_WERROR=ON -DCMAKE_BUILD_TYPE=Debug
        cmake --build build-asan --target engine_tests core_tests passes_tests
        for tests in engine/engine_tests core/core_tests core/passes/passes_tests; do
            "build-asan/tests/$tests" --gtest_brief=1
        done
        ;;
    *)
        cmake -S . -B build -G Ninja -DVOKRA_WERROR=ON
        cmake --build build
        ctest --test-dir build --output-on-failure -j "$(nproc)"
        ;;
esac

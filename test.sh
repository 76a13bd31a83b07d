#!/usr/bin/env bash
# Builds VOKRA and runs its tests. Warnings are errors in every build made here.
#   ./test.sh                    the normal build, every test (Mender.exe cross-built and checked)
#   ./test.sh --sanitize         every test built with AddressSanitizer and UBSan, in build-asan/
#   ./test.sh --sanitize-core    the same for the engine, core and pass tests only
#   ./test.sh --release          the Release configuration (what packagers build), in build-release/
#   ./test.sh --fuzz             the fuzz targets (clang, libFuzzer), run briefly over their seeds
#   ./test.sh --format           every C++ file as clang-format writes it
# .ci/run runs them all.
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
    --release)
        cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVOKRA_WERROR=ON \
            -DVOKRA_WINDOWS_MENDER=OFF
        cmake --build build-release
        ;;
    --fuzz)
        fuzz/run.sh --runs 2000
        ;;
    --format)
        git ls-files '*.cpp' '*.h' | grep -v '^engine/Big5Tables.cpp$' |
            xargs clang-format-14 --dry-run --Werror
        echo "clang-format: every file as it writes it"
        ;;
    "")
        cmake -S . -B build -G Ninja -DVOKRA_WERROR=ON
        cmake --build build
        ctest --test-dir build --output-on-failure -j "$(nproc)"
        ;;
    *)
        echo "usage: ./test.sh [--sanitize | --sanitize-core | --release | --fuzz | --format]" >&2
        exit 2
        ;;
esac

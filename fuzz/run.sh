#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer, AddressSanitizer and UBSan, and runs each for
# a while on its committed seed corpus (a working copy of it grows in build-fuzz/).
#   fuzz/run.sh [SECONDS_PER_TARGET] [TARGET...]   (default: 60 seconds, every target)
#   fuzz/run.sh --runs N [TARGET...]                N executions per target
# A finding stops that target and leaves its input in build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
limit=(-max_total_time=60)
what="60 s"
if [ "${1:-}" = "--runs" ]; then
    limit=(-runs="$2")
    what="a limit of $2 runs"
    shift 2
elif [ -n "${1:-}" ] && [ "$1" -eq "$1" ] 2>/dev/null; then
    limit=(-max_total_time="$1")
    what="$1 s"
    shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(BatchPass IndexLookup WriteBack TranslatorRecord DictionaryCode DictionaryConverter PeImage StructurePass)

cmake -S . -B build-fuzz -G Ninja -DVOKRA_FUZZ=ON -DCMAKE_CXX_COMPILER=clang++-14 > /dev/null
cmake --build build-fuzz
mkdir -p build-fuzz/findings
status=0
for target in "${targets[@]}"; do
    work=build-fuzz/corpus/$target
    mkdir -p "$work"
    log=build-fuzz/$target.log
    start=$(date +%s)
    # Program files need more room than dictionaries and pieces of text.
    max_len=4096
    case $target in PeImage | StructurePass) max_len=16384 ;; esac
    if ! "build-fuzz/fuzz/Fuzz$target" "${limit[@]}" -max_len=$max_len -timeout=20 \
            -rss_limit_mb=4096 -artifact_prefix="build-fuzz/findings/$target-" \
            "$work" "fuzz/corpus/$target" > "$log" 2>&1; then
        echo "$target: FINDING, see $log"
        status=1
        continue
    fi
    runs=$(grep -oE 'stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' || true)
    [ -n "$runs" ] || runs=$(grep -oE 'Done [0-9]+ runs' "$log" | grep -oE '[0-9]+' | tail -1)
    echo "$target: ${runs:-?} executions in $(( $(date +%s) - start )) s ($what), no finding"
done
exit $status

#!/usr/bin/env bash
# vokra-batch against `strings -el -n 2` (GNU binutils) on the same large, realistic program file,
# side by side on this machine: median wall time of each over several runs, and vokra-batch's
# peak memory against the file's size.
#   bench/compare_strings.sh [BUILD_DIR] [MIB] [RUNS]     (defaults: build 256 5)
set -euo pipefail
build=${1:-build}
mib=${2:-256}
runs=${3:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/vokra-bench-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bench/make_bench_file" "$mib" "$work/pristine.exe" "$work/message.txt" 5000
size=$(stat -c %s "$work/pristine.exe")

now() { date +%s%N; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

: > "$work/vokra.times"
: > "$work/strings.times"
for _ in $(seq "$runs"); do
    cp "$work/pristine.exe" "$work/big.exe"   # each run translates the untouched file
    sync
    cat "$work/big.exe" > /dev/null           # both read it from the page cache
    start=$(now)
    "$build/bin/vokra-batch" -q -d "$work" "$work/big.exe" > /dev/null
    echo $(( ($(now) - start) / 1000000 )) >> "$work/vokra.times"
    start=$(now)
    strings -el -n 2 "$work/big.exe" > /dev/null
    echo $(( ($(now) - start) / 1000000 )) >> "$work/strings.times"
done

cp "$work/pristine.exe" "$work/big.exe"
peak_kib=$(/usr/bin/time -f '%M' "$build/bin/vokra-batch" -q -d "$work" "$work/big.exe" 2>&1 >/dev/null | tail -1)

vokra_ms=$(median < "$work/vokra.times")
strings_ms=$(median < "$work/strings.times")
echo "file:            $mib MiB ($size bytes), 5,000-entry dictionary, $runs runs"
echo "vokra-batch:     $vokra_ms ms (median; runs: $(paste -sd' ' "$work/vokra.times"))"
echo "strings -el -n 2: $strings_ms ms (median; runs: $(paste -sd' ' "$work/strings.times"))"
echo "ratio:           $(awk -v a="$vokra_ms" -v b="$strings_ms" 'BEGIN { printf "%.2f", a / b }') (target: at most 0.50)"
echo "peak memory:     $((peak_kib / 1024)) MiB, file + $(( (peak_kib * 1024 - size) / 1048576 )) MiB (target: file + 64 MiB at most)"

#!/usr/bin/env bash
# What the safe writes cost: vokra-batch on one large program file against `cp FILE COPY && sync
# COPY` (a copy as durable as the backup must be) and `strings -el -n 2`, side by side on this
# machine; and a batch of 150 small program files against an earlier vokra-batch, when one is given.
# Medians of several runs, in milliseconds; every run translates the untouched files.
#   bench/compare_writes.sh [BUILD_DIR] [EARLIER_VOKRA_BATCH] [MIB] [RUNS]
#   (defaults: build, none, 256, 5)
set -euo pipefail
build=${1:-build}
earlier=${2:-}
mib=${3:-256}
runs=${4:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/vokra-writes-XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bench/make_bench_file" "$mib" "$work/pristine.exe" "$work/message.txt" 5000
now() { date +%s%N; }
ms_since() { echo $(( ($(now) - $1) / 1000000 )); }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# One large file.
: > "$work/vokra.times"; : > "$work/earlier.times"; : > "$work/copy.times"
: > "$work/strings.times"
large_run() {  # PROGRAM TIMES
    rm -f "$work"/big.* "$work/copy.exe"
    cp "$work/pristine.exe" "$work/big.exe"
    sync
    cat "$work/big.exe" > /dev/null   # every command reads it from the page cache
    start=$(now)
    "$1" -q -d "$work" "$work/big.exe" > /dev/null
    ms_since "$start" >> "$2"
}
for _ in $(seq "$runs"); do
    large_run "$build/bin/vokra-batch" "$work/vokra.times"
    if [ -n "$earlier" ]; then
        large_run "$earlier" "$work/earlier.times"
    fi
    rm -f "$work"/big.bak
    cp "$work/pristine.exe" "$work/big.exe"
    sync
    start=$(now)
    cp "$work/big.exe" "$work/copy.exe" && sync "$work/copy.exe"
    ms_since "$start" >> "$work/copy.times"
    start=$(now)
    strings -el -n 2 "$work/big.exe" > /dev/null
    ms_since "$start" >> "$work/strings.times"
done
vokra_ms=$(median < "$work/vokra.times")
copy_ms=$(median < "$work/copy.times")
strings_ms=$(median < "$work/strings.times")
echo "one file of $mib MiB, 5,000-entry dictionary, median of $runs runs:"
echo "  vokra-batch:            $vokra_ms ms ($(paste -sd' ' "$work/vokra.times"))"
if [ -n "$earlier" ]; then
    echo "  earlier vokra-batch:    $(median < "$work/earlier.times") ms ($(paste -sd' ' "$work/earlier.times"))"
fi
echo "  cp FILE COPY && sync:   $copy_ms ms ($(paste -sd' ' "$work/copy.times"))"
echo "  strings -el -n 2:       $strings_ms ms ($(paste -sd' ' "$work/strings.times"))"
awk -v v="$vokra_ms" -v c="$copy_ms" -v s="$strings_ms" 'BEGIN {
    printf "  vokra-batch / copy:     %.2f (target: at most 1.5)\n", v / c
    printf "  vokra-batch / strings:  %.2f (target: at most 0.3)\n", v / s }'

# 150 small files of 200 KiB, cut from the large one, in one batch.
mkdir -p "$work/small"
for i in $(seq 150); do
    dd if="$work/pristine.exe" of="$work/small/p$i.dll" bs=200K skip="$i" count=1 status=none
done
mkdir -p "$work/originals" && cp "$work/small"/*.dll "$work/originals/"
batch_ms() {
    local program=$1
    : > "$work/batch.times"
    for _ in $(seq "$runs"); do
        rm -f "$work/small"/*
        cp "$work/originals"/*.dll "$work/small/"
        sync
        start=$(now)
        "$program" -q -d "$work" "$work/small"/*.dll > /dev/null
        ms_since "$start" >> "$work/batch.times"
    done
    median < "$work/batch.times"
}
echo "150 files of 200 KiB in one batch, median of $runs runs:"
echo "  vokra-batch:            $(batch_ms "$build/bin/vokra-batch") ms"
if [ -n "$earlier" ]; then
    echo "  earlier vokra-batch:    $(batch_ms "$earlier") ms"
fi

#!/usr/bin/env bash
# The per-file pass benchmark of two builds side by side: BM_FilePass (scan, translate, lay in and
# write back a 64 MiB image, whole sentences and single phrases), the median of N repetitions each,
# the two builds taking turns so that both see the machine alike.
#   bench/compare_pass.sh BEFORE_VOKRA_BENCH AFTER_VOKRA_BENCH [REPETITIONS] [ROUNDS]
set -euo pipefail
before=$1
after=$2
repetitions=${3:-10}
rounds=${4:-2}

median() {
    "$1" --benchmark_filter=BM_FilePass --benchmark_repetitions="$repetitions" \
        --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
        awk -F, '/_median"/ { gsub(/"/, "", $1); gsub(/"/, "", $5); printf "%s %.1f %s\n", $1, $3, $5 }'
}

for round in $(seq "$rounds"); do
    echo "round $round, median of $repetitions:"
    echo "  before: $(median "$before" | paste -sd';' | sed 's/;/;  /g')"
    echo "  after:  $(median "$after" | paste -sd';' | sed 's/;/;  /g')"
done

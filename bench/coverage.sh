#!/usr/bin/env bash
# How much of a typical program's interface the shipped dictionaries translate, with no dictionary
# work by the user. Builds real Windows programs (PE32+) from the resource scripts in
# bench/coverage/ with Debian's mingw-w64 tools (a text editor, an image viewer, a settings
# panel, an installer), runs the batch pass over them in whole-sentence mode for each direction,
# and reports per file and in total: the runs found, the runs translated, and the share of the
# runs that look like interface text (they pass the translators' guards) that got a translation.
# "complete" counts the translations that left no English word. Then the most frequent
# untranslated runs, and the English words left in runs translated only in part.
#
#   bench/coverage.sh [BUILD_DIR] [--min PERCENT] [--top N]
#
# With --min it fails when a direction's total share is below PERCENT. The counts of the
# coverage walk are checked against those vokra-batch prints for the same files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=build
min=
top=25
while [ $# -gt 0 ]; do
    case $1 in
        --min) min=$2; shift 2 ;;
        --top) top=$2; shift 2 ;;
        *) build=$1; shift ;;
    esac
done
build=$(cd "$build" && pwd)
share=$build/share/vokra
for program in bin/vokra-batch bench/vokra_coverage; do
    [ -x "$build/$program" ] || { echo "coverage.sh: $build/$program is not built" >&2; exit 2; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/vokra-coverage-XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/corpus"
programs=()
for rc in "$here"/coverage/*.rc; do
    name=$(basename "$rc" .rc)
    x86_64-w64-mingw32-windres "$rc" -O coff -o "$work/$name.res"
    x86_64-w64-mingw32-gcc -municode -mwindows -Os -s -o "$work/corpus/$name.exe" \
        "$here/coverage/program.c" "$work/$name.res"
    programs+=("$name.exe")
done

status=0
report() {  # report TITLE [OPTION]...
    local title=$1
    shift
    echo "== $title"
    (cd "$work/corpus" && "$build/bench/vokra_coverage" -d "$share" -n "$top" "$@" "${programs[@]}") \
        > "$work/coverage.txt"
    cat "$work/coverage.txt"

    # The batch pass itself over copies of the same files: the same runs found and translated.
    rm -rf "$work/batch" && cp -r "$work/corpus" "$work/batch"
    (cd "$work/batch" && "$build/bin/vokra-batch" -q -d "$share" "$@" "${programs[@]}") \
        > "$work/batch.txt"
    for program in "${programs[@]}"; do
        batch=$(sed -n "s|^\(.*/\)\{0,1\}$program: found \([0-9]*\), translated \([0-9]*\),.*|\2 \3|p" \
            "$work/batch.txt")
        walk=$(awk -v f="$program" '$1 == f { print $3, $5 }' "$work/coverage.txt")
        if [ "$batch" != "$walk" ]; then
            echo "coverage.sh: $program: vokra-batch found/translated $batch, the walk $walk" >&2
            status=1
        fi
    done

    local share_total
    share_total=$(awk '$1 == "total" { for (i = 1; i < NF; i++) if ($i == "=") { sub(/%/, "", $(i + 1)); print $(i + 1); exit } }' "$work/coverage.txt")
    if [ -n "$min" ] && awk -v s="$share_total" -v m="$min" 'BEGIN { exit !(s < m) }'; then
        echo "coverage.sh: $title: $share_total% of the interface runs translated, below $min%" >&2
        status=1
    fi
    echo
}

report "English to Traditional Chinese (message.txt), whole sentences"
report "English to Simplified Chinese (message1.txt), whole sentences" -S
report "English to Traditional Chinese with the plug-in dictionary (user.txt, then message.txt)" -u
exit $status

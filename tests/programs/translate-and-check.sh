#!/usr/bin/env bash
# Translates a copy of a self-check program with vokra-batch, checks the translation with
# vokra-check (no change may break the program), then runs it under Wine and compares its report:
#
#     translate-and-check.sh BIN_DIR PROGRAM EXPECTED [BATCH_OPTION...]
#
# BIN_DIR holds vokra-batch and vokra-check (the shipped dictionaries beside them, as built).
# VOKRA_WINE_LOCALE chooses the language Wine runs the program in (see run-under-wine.sh).
# Exits 0 when all three hold, 77 when Wine is missing, 1 otherwise.
set -uo pipefail

if [ $# -lt 3 ]; then
    echo "usage: $0 BIN_DIR PROGRAM EXPECTED [BATCH_OPTION...]" >&2
    exit 2
fi
bin=$1
program=$2
expected=$3
shift 3
here=$(dirname "$(realpath "$0")")

work=$(mktemp -d "${TMPDIR:-/tmp}/vokra-translated.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$program" "$work/program.exe"
if ! "$bin/vokra-batch" -q "$@" "$work/program.exe"; then
    echo "vokra-batch failed on $program" >&2
    exit 1
fi
if ! "$bin/vokra-check" "$program" "$work/program.exe" > "$work/check.txt"; then
    echo "vokra-check found problems in the translation of $program:" >&2
    cat "$work/check.txt" >&2
    exit 1
fi
"$here/check-program.sh" "$work/program.exe" "$expected"

#!/usr/bin/env bash
# Writes a small sample program file: menu and dialog texts as 16-bit little-endian strings,
# each ended by a 16-bit zero, between a few bytes of other data.
set -euo pipefail
out=${1:?usage: make-sample.sh FILE}
mkdir -p "$(dirname "$out")"
{
    printf 'MZ\x90\x00'
    for text in "&File" "&Open..." "Save &As..." "E&xit" "Edit" "Copy" "Paste" "Help" \
                "About" "Print Preview" "Cancel" "Options" "Find Next" "OK" "MS Sans Serif"; do
        printf '%s' "$text" | iconv -f UTF-8 -t UTF-16LE
        printf '\x00\x00'
    done
} > "$out"

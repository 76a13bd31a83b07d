#!/usr/bin/env bash
# Sets VOKRA up on this machine (Debian packages, build) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-debian.sh
cmake -S . -B build -G Ninja
cmake --build build

# Until the main window exists, VOKRA starts as its command-line batch run on a sample file.
sample=build/sample/sample.exe
scripts/make-sample.sh "$sample"
# The texts of the sample: its 16-bit strings, skipping the 4 bytes of header before them.
show() { tail -c +5 "$1" | iconv -f UTF-16LE -t UTF-8 | tr '\0' '\n' | grep -av '^$' | paste -sd'|'; }
echo "Before: $(show "$sample")"
build/bin/vokra-batch "$sample"
echo "After:  $(show "$sample")"

#!/usr/bin/env bash
# Sets VOKRA up on this machine (Debian packages, build) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup-debian.sh
# An existing build keeps its configuration (./test.sh's included), so nothing is rebuilt for it.
[ -f build/CMakeCache.txt ] || cmake -S . -B build -G Ninja
cmake --build build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "VOKRA is a desktop program, and this session has no display (DISPLAY is not set)." >&2
    echo "Start it from a desktop session, or try it here with: xvfb-run build/bin/vokra-launch" >&2
    exit 1
fi
exec build/bin/vokra-launch

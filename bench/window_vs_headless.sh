#!/usr/bin/env bash
# The main window's batch run against the headless one on a 64 MiB file, and Stop's latency.
#   bench/window_vs_headless.sh [BUILD_DIR] [MIB] [RUNS]     (defaults: build 64 7)
set -euo pipefail
exec "${1:-build}/bench/window_bench" "${2:-64}" "${3:-7}"

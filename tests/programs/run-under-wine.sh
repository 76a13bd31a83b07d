#!/usr/bin/env bash
# Runs a Windows program under Wine the way the tests need it:
#
#     run-under-wine.sh PROGRAM OUT [ARGUMENT...]
#
# starts PROGRAM with the Windows path of OUT as its first argument (then any further arguments),
# in a fresh Wine prefix made in a temporary folder and deleted afterwards, under a virtual X
# display (xvfb-run) when there is no DISPLAY, with a locale that makes Wine pick the English (US)
# resources, or those of the locale named in VOKRA_WINE_LOCALE. Exits with the program's exit
# code; 124 when it ran longer than VOKRA_WINE_TIMEOUT seconds (default 120); 77 when Wine or
# xvfb-run is missing, so that ctest reports a skip.
#
# Wine's first start in a new prefix creates the prefix and takes 10 to 20 seconds here.
set -euo pipefail

if [ $# -lt 2 ]; then
    echo "usage: $0 PROGRAM OUT [ARGUMENT...]" >&2
    exit 2
fi

for tool in wine wineserver; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIP: $tool is not installed (scripts/setup-debian.sh installs it)" >&2
        exit 77
    fi
done

# Without a display, start again inside a virtual one; the X server then outlives wineserver.
if [ -z "${DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "SKIP: no DISPLAY and xvfb-run is not installed" >&2
        exit 77
    fi
    exec xvfb-run -a "$0" "$@"
fi

program=$(realpath "$1")
out_dir=$(realpath "$(dirname "$2")")
out="$out_dir/$(basename "$2")"
shift 2
if [ ! -f "$program" ]; then
    echo "no such program: $program" >&2
    exit 2
fi

# Wine takes its user interface language, and so the resource language it picks, from the name in
# LC_ALL, even when that locale is not generated. en_US.UTF-8 is missing on a minimal Debian;
# C.UTF-8 makes Wine choose en-US (0409) just the same. VOKRA_WINE_LOCALE picks another language,
# e.g. de_DE.UTF-8 for the German resources.
if [ -n "${VOKRA_WINE_LOCALE:-}" ]; then
    export LC_ALL="$VOKRA_WINE_LOCALE"
elif locale -a 2>/dev/null | grep -qix 'en_US.utf-\?8'; then
    export LC_ALL=en_US.UTF-8
else
    export LC_ALL=C.UTF-8
fi

prefix=$(mktemp -d "${TMPDIR:-/tmp}/vokra-wine.XXXXXX")
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko: the prefix would otherwise ask to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    timeout 60 wineserver -w || wineserver -k || true
    rm -rf "$prefix"
}
trap cleanup EXIT

rm -f "$out"
status=0
# Wine maps the Unix root to drive Z:, and Windows accepts forward slashes.
timeout "${VOKRA_WINE_TIMEOUT:-120}" wine "$program" "Z:$out" "$@" || status=$?
if [ "$status" -eq 124 ]; then
    echo "$program did not finish within ${VOKRA_WINE_TIMEOUT:-120} seconds" >&2
    wineserver -k || true
fi
exit "$status"

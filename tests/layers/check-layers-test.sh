#!/usr/bin/env bash
# The layer check finds a breach where there is one: an include, a link and a use of Qt that go
# upwards, in a small tree of its own. It must report each and fail.
set -euo pipefail
checker=$1
tree=$(mktemp -d "${TMPDIR:-/tmp}/vokra-layers-XXXXXX")
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree/core" "$tree/windows/kit"
printf '#pragma once\n#include "PassView.h"\n#include <QString>\n' > "$tree/core/AppState.h"
printf '#pragma once\n' > "$tree/windows/kit/PassView.h"
printf 'add_library(vokra_core STATIC AppState.cpp)\ntarget_link_libraries(vokra_core PUBLIC vokra_window_kit)\n' \
    > "$tree/core/CMakeLists.txt"
printf 'add_library(vokra_window_kit STATIC PassView.cpp)\n' > "$tree/windows/kit/CMakeLists.txt"
if report=$("$checker" "$tree"); then
    echo "the layer check found nothing in a tree that breaks the layers" >&2
    exit 1
fi
for expected in "includes windows/kit/PassView.h" "must not use Qt" "links vokra_window_kit"; do
    if ! grep -q "$expected" <<< "$report"; then
        echo "missing from the report: $expected" >&2
        echo "$report" >&2
        exit 1
    fi
done

#!/usr/bin/env bash
# Runs a self-check program under Wine and compares what it reports with an expected file:
#
#     check-program.sh PROGRAM EXPECTED
#
# PROGRAM is selfcheck.exe or a copy of it (a variant, or the program after a translation pass);
# EXPECTED is a file of "key<TAB>value" lines such as expected-english.txt. A translated program is
# checked the same way against its own expectation, e.g. from a ctest:
#
#     add_test(NAME my_translated_program
#              COMMAND ${CMAKE_SOURCE_DIR}/tests/programs/check-program.sh
#                      ${CMAKE_CURRENT_BINARY_DIR}/translated.exe ${CMAKE_CURRENT_SOURCE_DIR}/expected.txt)
#     set_tests_properties(my_translated_program PROPERTIES SKIP_RETURN_CODE 77)
#
# VOKRA_WINE_LOCALE=de_DE.UTF-8 in the environment runs it with the German resources instead.
# Exits 0 when the program exits 0 and its report equals EXPECTED, 77 when Wine is missing,
# 1 otherwise (with the differences shown as a unified diff, expected first).
set -uo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 PROGRAM EXPECTED" >&2
    exit 2
fi
program=$1
expected=$2
here=$(dirname "$(realpath "$0")")

work=$(mktemp -d "${TMPDIR:-/tmp}/vokra-check.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$here/run-under-wine.sh" "$program" "$work/report.txt"
status=$?
if [ "$status" -eq 77 ]; then
    exit 77
fi
if [ ! -f "$work/report.txt" ]; then
    echo "FAIL: $program wrote no report (exit code $status)" >&2
    exit 1
fi
if ! diff -u "$expected" "$work/report.txt"; then
    echo "FAIL: the report of $program differs from $expected (exit code $status)" >&2
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "FAIL: $program exited with $status" >&2
    exit 1
fi
echo "ok: $program reports what $expected says"

#!/usr/bin/env bash
# Builds a small but real Windows program (PE32+, with a menu, a dialog and a string table in its
# resources) with Debian's mingw-w64 tools: a program file of the kind VOKRA translates.
#   scripts/make-program.sh OUT.exe
set -euo pipefail
out=${1:?usage: make-program.sh OUT.exe}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/app.rc" <<'RC'
#include <windows.h>
1 MENU
BEGIN
    POPUP "&File"
    BEGIN
        MENUITEM "&New", 101
        MENUITEM "&Open...", 102
        MENUITEM "&Save", 103
        MENUITEM "Save &As...", 104
        MENUITEM SEPARATOR
        MENUITEM "Print Pre&view", 105
        MENUITEM "&Print...", 106
        MENUITEM "E&xit", 107
    END
    POPUP "&Edit"
    BEGIN
        MENUITEM "&Undo", 201
        MENUITEM "Cu&t", 202
        MENUITEM "&Copy", 203
        MENUITEM "&Paste", 204
        MENUITEM "&Delete", 205
        MENUITEM "&Find...", 206
        MENUITEM "Find &Next", 207
        MENUITEM "&Replace...", 208
        MENUITEM "Select &All", 209
    END
    POPUP "&View"
    BEGIN
        MENUITEM "&Toolbar", 301
        MENUITEM "&Status Bar", 302
    END
    POPUP "&Help"
    BEGIN
        MENUITEM "&Contents", 401
        MENUITEM "&About", 402
    END
END

2 DIALOGEX 0, 0, 220, 90
STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU
CAPTION "Options"
FONT 8, "MS Sans Serif"
BEGIN
    LTEXT "Font name:", -1, 8, 10, 60, 8
    EDITTEXT 1001, 70, 8, 140, 12
    AUTOCHECKBOX "Show toolbar", 1002, 8, 28, 100, 10
    AUTOCHECKBOX "Show status bar", 1003, 8, 42, 100, 10
    DEFPUSHBUTTON "OK", IDOK, 50, 68, 50, 14
    PUSHBUTTON "Cancel", IDCANCEL, 106, 68, 50, 14
    PUSHBUTTON "Apply", 1004, 162, 68, 50, 14
END

STRINGTABLE
BEGIN
    1000 "Ready"
    1001 "Open an existing document"
    1002 "Save the active document"
    1003 "Close the active document"
    1004 "Cannot open file"
    1005 "Print the active document"
    1006 "Select all of the document"
END
RC

cat > "$work/app.c" <<'C'
#include <windows.h>
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command, int show) {
    (void)previous; (void)command; (void)show;
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(1));
    wchar_t text[64];
    LoadStringW(instance, 1000, text, 64);
    MessageBoxW(NULL, text, L"Sample", MB_OK);
    DestroyMenu(menu);
    return 0;
}
C

x86_64-w64-mingw32-windres "$work/app.rc" -O coff -o "$work/app.res"
x86_64-w64-mingw32-gcc -municode -mwindows -Os -s -o "$out" "$work/app.c" "$work/app.res"

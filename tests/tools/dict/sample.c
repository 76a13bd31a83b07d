/* The code around sample.rc. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command, int show) {
    (void)previous;
    (void)command;
    (void)show;
    wchar_t text[64];
    LoadStringW(instance, 1, text, 64);
    MessageBoxW(NULL, text, L"", MB_OK);
    return 0;
}

/* The program around each corpus resource script: enough code to make a real Windows program
   that loads its menu and a string, as any program built from such resources would. */
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR command, int show) {
    (void)previous;
    (void)command;
    (void)show;
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(1));
    wchar_t text[256];
    LoadStringW(instance, 1, text, 256);
    MessageBoxW(NULL, text, L"", MB_OK);
    DestroyMenu(menu);
    return 0;
}

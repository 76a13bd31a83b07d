/* A Windows program that looks at its own resources and hard-coded texts through the ordinary
   Windows calls and writes what it sees to a file, one "key<TAB>value" line each, in UTF-8.

       selfcheck.exe OUT.txt

   Nothing is shown: the dialogs are created hidden and destroyed again, the edit window is never
   made visible. The exit code is 0 when every check passed, 1 when one failed (the file then says
   which), 2 when the file could not be written. Tabs, line breaks and backslashes inside values
   are written as \t, \n, \r and \\ so that each value stays on its line. */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

#include "selfcheck-ids.h"

/* Texts the program uses from its data rather than from its resources. A translation must leave
   all of them alone except the question, which is interface text. */
static const wchar_t kEditClass[] = L"edit";
static const wchar_t kSettingsKey[] = L"Software\\Vokra Test\\Settings";
static const wchar_t kFontsValue[] = L"Fonts";
static const wchar_t kFontFace[] = L"Times New Roman";
static const wchar_t kOpenVerb[] = L"open";
static const wchar_t kShellProgram[] = L"explorer.exe";
static const wchar_t kNumberedName[] = L"Name%u";
static const wchar_t kSaveQuestion[] = L"Do you want to save the changes?";

#define OUTPUT_CAPACITY 65536
static wchar_t output[OUTPUT_CAPACITY];
static size_t output_length;
static int failures;

static void append_char(wchar_t c) {
    if (output_length + 1 < OUTPUT_CAPACITY) {
        output[output_length++] = c;
    }
}

static void append_ascii(const char* text) {
    for (; *text != '\0'; ++text) {
        append_char((wchar_t)(unsigned char)*text);
    }
}

/* Appends LENGTH characters of TEXT, with the characters that would break the line format
   escaped. */
static void append_escaped(const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        switch (text[i]) {
            case L'\\':
                append_ascii("\\\\");
                break;
            case L'\t':
                append_ascii("\\t");
                break;
            case L'\n':
                append_ascii("\\n");
                break;
            case L'\r':
                append_ascii("\\r");
                break;
            default:
                append_char(text[i]);
        }
    }
}

static void add_counted(const char* key, const wchar_t* value, size_t length) {
    append_ascii(key);
    append_char(L'\t');
    append_escaped(value, length);
    append_char(L'\n');
}

static void add_line(const char* key, const wchar_t* value) {
    add_counted(key, value, wcslen(value));
}

static void add_number(const char* key, unsigned long number) {
    wchar_t text[32];
    swprintf(text, 32, L"%lu", number);
    add_line(key, text);
}

static void add_failure(const char* key, const char* what) {
    wchar_t text[128];
    swprintf(text, 128, L"FAILED: %hs", what);
    add_line(key, text);
    ++failures;
}

static INT_PTR CALLBACK quiet_dialog_proc(HWND dialog, UINT message, WPARAM w, LPARAM l) {
    (void)dialog;
    (void)message;
    (void)w;
    (void)l;
    return FALSE;
}

/* Creates the dialog hidden, then reports its caption, how many controls it has, and the class
   and text of each control in IDS. */
static void report_dialog(HINSTANCE instance, int dialog_id, const char* name, const int* ids,
                          int id_count) {
    char key[96];
    HWND dialog =
        CreateDialogParamW(instance, MAKEINTRESOURCEW(dialog_id), NULL, quiet_dialog_proc, 0);
    if (dialog == NULL) {
        snprintf(key, sizeof key, "%s", name);
        add_failure(key, "dialog not created");
        return;
    }
    wchar_t text[512];
    GetWindowTextW(dialog, text, 512);
    snprintf(key, sizeof key, "%s.caption", name);
    add_line(key, text);

    unsigned long children = 0;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != NULL && children < 1000;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
    }
    snprintf(key, sizeof key, "%s.controls", name);
    add_number(key, children);

    for (int i = 0; i < id_count; ++i) {
        HWND control = GetDlgItem(dialog, ids[i]);
        if (control == NULL) {
            snprintf(key, sizeof key, "%s.%d", name, ids[i]);
            add_failure(key, "control missing");
            continue;
        }
        GetClassNameW(control, text, 512);
        snprintf(key, sizeof key, "%s.%d.class", name, ids[i]);
        add_line(key, text);
        if (ids[i] == IDC_APP_ICON) {
            /* The icon control's title is the icon's resource id, not text; a damaged title
               leaves the control without an icon. */
            HICON icon = (HICON)SendMessageW(control, STM_GETICON, 0, 0);
            snprintf(key, sizeof key, "%s.%d.icon", name, ids[i]);
            if (icon != NULL) {
                add_line(key, L"loaded");
            } else {
                add_failure(key, "no icon");
            }
            continue;
        }
        GetWindowTextW(control, text, 512);
        snprintf(key, sizeof key, "%s.%d.text", name, ids[i]);
        add_line(key, text);
    }
    DestroyWindow(dialog);
}

static void report_strings(HINSTANCE instance) {
    char key[64];
    for (int id = IDS_FIRST; id <= IDS_LAST; ++id) {
        /* With a zero buffer size LoadStringW hands out a pointer into the resource itself, so the
           length seen is the stored one, not one cut to fit a buffer. */
        const wchar_t* text = NULL;
        int length = LoadStringW(instance, (UINT)id, (LPWSTR)&text, 0);
        snprintf(key, sizeof key, "string.%d.length", id);
        add_number(key, (unsigned long)(length > 0 ? length : 0));
        snprintf(key, sizeof key, "string.%d", id);
        add_counted(key, length > 0 ? text : L"", length > 0 ? (size_t)length : 0);
    }
}

/* Reports every item of MENU under keys PREFIX.0, PREFIX.1, ..., going into sub-menus. */
static void report_menu_items(HMENU menu, const char* prefix, int depth) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count && i < 100; ++i) {
        char key[96];
        snprintf(key, sizeof key, "%s.%d", prefix, i);
        wchar_t text[256] = L"";
        MENUITEMINFOW info;
        ZeroMemory(&info, sizeof info);
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 256;
        if (!GetMenuItemInfoW(menu, (UINT)i, TRUE, &info)) {
            add_failure(key, "menu item unreadable");
            continue;
        }
        if (info.fType & MFT_SEPARATOR) {
            add_line(key, L"(separator)");
            continue;
        }
        add_line(key, text);
        if (info.hSubMenu != NULL && depth < 4) {
            report_menu_items(info.hSubMenu, key, depth + 1);
        }
    }
}

static void report_menu(HINSTANCE instance) {
    HMENU menu = LoadMenuW(instance, MAKEINTRESOURCEW(IDM_MAIN));
    if (menu == NULL) {
        add_failure("menu", "menu not loaded");
        return;
    }
    /* GetMenuStringW is the older call; it must agree with GetMenuItemInfoW. */
    wchar_t text[256];
    GetMenuStringW(menu, IDM_FILE_SAVE_AS, text, 256, MF_BYCOMMAND);
    add_line("menu.command.save_as", text);
    report_menu_items(menu, "menu", 0);
    DestroyMenu(menu);
}

static void report_version(void) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(NULL, path, MAX_PATH);
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    void* block = size > 0 ? malloc(size) : NULL;
    if (block == NULL || !GetFileVersionInfoW(path, 0, size, block)) {
        add_failure("version", "no version information");
        free(block);
        return;
    }
    WORD* translation = NULL;
    UINT translation_size = 0;
    wchar_t language[16] = L"040904b0";
    if (VerQueryValueW(block, L"\\VarFileInfo\\Translation", (void**)&translation,
                       &translation_size) &&
        translation_size >= 4) {
        swprintf(language, 16, L"%04x%04x", translation[0], translation[1]);
    }
    add_line("version.language", language);

    static const char* const names[] = {"FileDescription", "ProductName",      "CompanyName",
                                        "LegalCopyright",  "OriginalFilename", "FileVersion"};
    for (size_t i = 0; i < sizeof names / sizeof names[0]; ++i) {
        wchar_t query[96];
        swprintf(query, 96, L"\\StringFileInfo\\%ls\\%hs", language, names[i]);
        char key[64];
        snprintf(key, sizeof key, "version.%s", names[i]);
        wchar_t* value = NULL;
        UINT value_length = 0;
        if (VerQueryValueW(block, query, (void**)&value, &value_length) && value != NULL) {
            add_line(key, value);
        } else {
            add_failure(key, "value missing");
        }
    }
    free(block);
}

/* The window class name comes from the program's data; a translated name creates nothing. */
static void report_edit_window(HINSTANCE instance) {
    HWND edit =
        CreateWindowExW(0, kEditClass, L"", WS_POPUP, 0, 0, 100, 20, NULL, NULL, instance, NULL);
    if (edit == NULL) {
        add_failure("data.edit_window", "window of the edit class not created");
        return;
    }
    wchar_t text[64];
    GetClassNameW(edit, text, 64);
    add_line("data.edit_window.class", text);
    DestroyWindow(edit);
}

/* Creates the settings key from the path in the data, stores a value there, then opens the key
   again through the path in the string table and reads the value back. */
static void report_registry(HINSTANCE instance) {
    HKEY key = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &key,
                        NULL) != ERROR_SUCCESS) {
        add_failure("registry.create", "key not created");
        return;
    }
    add_line("registry.create", L"ok");
    RegSetValueExW(key, kFontsValue, 0, REG_SZ, (const BYTE*)kFontFace, sizeof kFontFace);
    RegCloseKey(key);

    const wchar_t* path = NULL;
    int length = LoadStringW(instance, IDS_SETTINGS_KEY, (LPWSTR)&path, 0);
    wchar_t copy[256];
    if (length <= 0 || length >= 256) {
        add_failure("registry.open", "no settings key in the string table");
        return;
    }
    wmemcpy(copy, path, (size_t)length);
    copy[length] = L'\0';
    if (RegOpenKeyExW(HKEY_CURRENT_USER, copy, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        add_failure("registry.open", "key not found through the string table path");
        return;
    }
    add_line("registry.open", L"ok");
    wchar_t name[64];
    DWORD name_length = 64;
    wchar_t data[64] = L"";
    DWORD data_size = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    if (RegEnumValueW(key, 0, name, &name_length, NULL, &type, (BYTE*)data, &data_size) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
        add_line("registry.value.name", name);
        add_line("registry.value.data", data);
    } else {
        add_failure("registry.value", "value not read back");
    }
    RegCloseKey(key);
}

static void report_data_texts(void) {
    add_line("data.verb", kOpenVerb);
    wchar_t found[MAX_PATH];
    if (SearchPathW(NULL, kShellProgram, NULL, MAX_PATH, found, NULL) > 0) {
        add_line("data.shell_program", L"found");
    } else {
        add_failure("data.shell_program", "explorer.exe not found");
    }
    wchar_t name[32];
    swprintf(name, 32, kNumberedName, 7u);
    add_line("data.numbered_name", name);
}

static int write_output(const wchar_t* path) {
    int bytes = WideCharToMultiByte(CP_UTF8, 0, output, (int)output_length, NULL, 0, NULL, NULL);
    char* utf8 = malloc(bytes > 0 ? (size_t)bytes : 1);
    if (utf8 == NULL) {
        return 0;
    }
    WideCharToMultiByte(CP_UTF8, 0, output, (int)output_length, utf8, bytes, NULL, NULL);
    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written = 0;
    int ok = file != INVALID_HANDLE_VALUE && WriteFile(file, utf8, (DWORD)bytes, &written, NULL) &&
             written == (DWORD)bytes;
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    free(utf8);
    return ok;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, PWSTR command_line, int show) {
    (void)previous;
    (void)command_line;
    (void)show;
    if (__argc < 2) {
        return 2;
    }
    if (__argc > 2 && wcscmp(__wargv[2], L"--ask") == 0) {
        /* Only for a person trying the program by hand; the self-check never asks. */
        MessageBoxW(NULL, kSaveQuestion, L"", MB_YESNOCANCEL | MB_ICONQUESTION);
    }

    static const int options_ids[] = {IDC_APP_ICON,    IDC_NAME_LABEL, IDC_NAME_EDIT,
                                      IDC_FOLDER_EDIT, IDC_BROWSE,     IDC_FORMAT_COMBO,
                                      IDC_READ_ONLY,   IDOK,           IDCANCEL};
    static const int plain_ids[] = {IDC_NAME_LABEL, IDC_NAME_EDIT, IDOK, IDCANCEL};
    report_dialog(instance, IDD_OPTIONS, "options", options_ids,
                  sizeof options_ids / sizeof options_ids[0]);
    report_dialog(instance, IDD_PLAIN, "plain", plain_ids, sizeof plain_ids / sizeof plain_ids[0]);
    report_strings(instance);
    report_menu(instance);
    report_version();
    report_edit_window(instance);
    report_registry(instance);
    report_data_texts();
    if (failures == 0) {
        add_line("result", L"ok");
    } else {
        add_number("result.failures", (unsigned long)failures);
    }
    if (!write_output(__wargv[1])) {
        return 2;
    }
    return failures == 0 ? 0 : 1;
}

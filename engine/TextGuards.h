// Which texts of a program file must never be translated, and which texts of its data sections
// read as interface text at all.
#pragma once

#include <string_view>

// Texts that must stay as they are wherever they appear: a registry path
// ("Software\Microsoft\Windows", "HKEY_LOCAL_MACHINE\...", "shell\open\command"), a file path or
// name ("explorer.exe", "C:\Windows", "%SystemRoot%\system32", "*.txt", "notepad.exe /p"), a URL
// or e-mail address, a font name ("Times New Roman", "MS Shell Dlg 2", "Tahoma", ...), a GUID, a
// number or version ("0x1F", "6.1.7601", "1, 0, 0, 1") and the system's window class names that
// no interface would show ("RichEdit20W", "SysListView32", "msctls_progress32", "#32770").
//
// Ordinary words are never blocked here, since a menu item may well read "Edit", "Button",
// "System", "Terminal" or "Symbol": class and font names that are also words are left to
// ReadsAsInterfaceText. A sentence that merely mentions a path or a file ("Cannot find
// %s\%s. Check the folder.") may be translated: three words or more, ending in . ! ? or :.
bool MustStayUntranslated(std::u16string_view text);

// Whether a text of a data section (not a resource) reads as interface text: not
// MustStayUntranslated, made of plain characters, and either two or more words of two letters or
// more, beginning with a capital letter or ending in sentence punctuation ("Do you want to save
// changes?", "Copying %d files..."), or one capitalised word before . ! ? : or "..." ("Done.",
// "Error:"). Identifiers stay: single words ("open", "Fonts", "Edit"), CamelCase, snake_case,
// dotted or all-capital names, code ("x = %d"), and texts of nothing but placeholders and
// punctuation. Whether the placeholders survive is checked after translation.
bool ReadsAsInterfaceText(std::u16string_view text);

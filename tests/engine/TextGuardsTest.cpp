#include <gtest/gtest.h>

#include <string>

#include "TextGuards.h"

namespace {

std::string Narrow(std::u16string_view text) {
    return std::string(text.begin(), text.end());
}

TEST(TextGuards, KeepsPathsNamesAndIdentifiersOfTheSystem) {
    for (const std::u16string_view text : {
             u"Software\\Microsoft\\Windows",
             u"Software\\Microsoft\\Windows NT\\CurrentVersion",
             u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes",
             u"shell\\open\\command",
             u"explorer.exe",
             u"C:\\Windows",
             u"%SystemRoot%\\system32",
             u"\\\\server\\share",
             u"*.txt",
             u"*.*",
             u"notepad.exe /p",
             u"Cannot open readme.txt",
             u"http://example.com/help",
             u"www.example.com",
             u"support@example.com",
             u"Times New Roman",
             u"Arial",
             u"MS Shell Dlg 2",
             u"ms sans serif",
             u"Segoe UI",
             u"Wingdings",
             u"  Tahoma  ",
             u"{12345678-1234-1234-1234-123456789ABC}",
             u"0x1F",
             u"#FF00FF",
             u"6.1.7601",
             u"1, 0, 0, 1",
             u"v2.0",
             u"RichEdit20W",
             u"SysListView32",
             u"msctls_progress32",
             u"#32770",
         }) {
        EXPECT_TRUE(MustStayUntranslated(text)) << Narrow(text);
    }
}

TEST(TextGuards, LeavesInterfaceWordsTranslatable) {
    for (const std::u16string_view text : {
             u"Open",
             u"&Edit",
             u"Edit",
             u"Button",
             u"Static",
             u"System",
             u"Terminal",
             u"Symbol",
             u"Add",
             u"Save As",
             u"Print Preview",
             u"Version 2.0",
             u"e.g. this one",
             u"File does not exist. Do you want to create it?",
             u"Cannot find %s\\%s. Check that the folder exists.",
             u"",
         }) {
        EXPECT_FALSE(MustStayUntranslated(text)) << Narrow(text);
    }
}

TEST(TextGuards, DataTextsMustReadAsInterfaceText) {
    for (const std::u16string_view text : {
             u"Do you want to save changes?",
             u"Print Preview",
             u"Copying %d files...",
             u"%s is not a valid file.",
             u"Click OK to continue.",
             u"Don't show this again",
             u"Done.",
             u"Error:",
         }) {
        EXPECT_TRUE(ReadsAsInterfaceText(text)) << Narrow(text);
    }
    for (const std::u16string_view text : {
             u"open",
             u"print",
             u"Fonts",
             u"Edit",
             u"ComboBox",
             u"RichEdit20W",
             u"explorer.exe",
             u"Software\\Microsoft",
             u"Times New Roman",
             u"GetProcAddress failed",
             u"SELECT * FROM TABLE",
             u"x = %d",
             u"%s: %s",
             u"%d%%",
             u"System.Windows.Forms",
             u"snake_case_name",
             u"bad allocation",
             u"Windows NT",
             u"Open\x01File now",
             u"",
         }) {
        EXPECT_FALSE(ReadsAsInterfaceText(text)) << Narrow(text);
    }
}

}  // namespace

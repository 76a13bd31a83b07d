// The texts listed from string tables, menus, dialogs and version information.
#include <gtest/gtest.h>

#include <algorithm>

#include "PeImage.h"
#include "ResourceTexts.h"
#include "TestPe.h"

namespace {

using Listed = std::vector<std::pair<std::string, std::string>>;  // where, text

struct Scan {
    std::string image;
    ResourceScan scan;
};

Scan ScanOf(const std::string& image) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    const auto size = static_cast<std::int64_t>(image.size());
    const PeReadResult read = ReadPeImage(bytes, size);
    EXPECT_EQ(read.kind, EPeKind::Pe) << read.strProblem;
    return {image, ListResourceTexts(bytes, size, read.layout)};
}

// What the scan lists, each text read at its offset; fails when the texts are not in file order.
Listed ListedOf(const Scan& scan) {
    Listed listed;
    std::int64_t previous = -1;
    for (const ResourceText& text : scan.scan.texts) {
        EXPECT_GT(text.nOffset, previous) << text.strWhere;
        previous = text.nOffset;
        listed.emplace_back(text.strWhere, UnitsAt(scan.image, text.nOffset, text.nUnits));
    }
    std::sort(listed.begin(), listed.end());
    return listed;
}

Listed Sorted(Listed listed) {
    std::sort(listed.begin(), listed.end());
    return listed;
}

bool InRanges(const ResourceScan& scan, std::int64_t offset) {
    return std::any_of(
        scan.resourceRanges.begin(), scan.resourceRanges.end(),
        [&](const auto& range) { return range.first <= offset && offset < range.second; });
}

std::int64_t Find(const std::string& image, const std::string& ascii) {
    std::string units;
    for (char c : ascii) {
        units += c;
        units += '\0';
    }
    return static_cast<std::int64_t>(image.find(units));
}

TEST(ResourceTexts, ListsTheEnglishTextsOfTheMingwProgram) {
    const std::string program = TestProgram();
    if (program.empty()) {
        GTEST_SKIP() << "mingw-w64 is not installed";
    }
    const Scan scan = ScanOf(program);
    ASSERT_EQ(scan.scan.strProblem, "");
    const std::string s32 = "Thirty-two characters long text.";
    std::string s127, s300;
    while (s127.size() < 127) {
        s127 += "Pack my box with five dozen liquor jugs! ";
    }
    while (s300.size() < 300) {
        s300 += "The quick brown fox jumps over the lazy dog. ";
    }
    s127.resize(127);
    s300.resize(300);
    EXPECT_EQ(ListedOf(scan), Sorted({{"string 1", "A"},
                                      {"string 2", s32.substr(0, 31)},
                                      {"string 3", s32},
                                      {"string 17", s127.substr(0, 126)},
                                      {"string 18", s127},
                                      {"string 40", s300},
                                      {"menu 1 item 1", "&File"},
                                      {"menu 1 item 2", "&Open...\tCtrl+O"},
                                      {"menu 1 item 4", "&Recent"},
                                      {"menu 1 item 5", "Clear &List"},
                                      {"menu 1 item 6", "E&xit"},
                                      {"menu 1 item 7", "&Help"},
                                      {"dialog 100 caption", "Open File"},
                                      {"dialog 100 control 1 (Button)", "OK"},
                                      {"dialog 100 control 3 (Static)", "&Name:"},
                                      {"dialog 101 caption", "Find"},
                                      {"dialog 101 control 1 (Button)", "Find &Next"},
                                      {"dialog 101 control 3 (Button)", "Match &case"},
                                      {"version FileDescription", "Sample Viewer"},
                                      {"version ProductName", "Sample Suite"},
                                      {"version Comments", "Built for the reader's tests"}}));
    for (const ResourceText& text : scan.scan.texts) {
        EXPECT_EQ(text.nLanguage, 0x409) << text.strWhere;
        EXPECT_TRUE(text.strName.empty());
        EXPECT_TRUE(InRanges(scan.scan, text.nOffset));
        const std::uint16_t type = text.field == ETextField::StringTableEntry ? 6
                                   : text.field == ETextField::MenuItem       ? 4
                                   : text.field == ETextField::VersionValue   ? 16
                                                                              : 5;
        EXPECT_EQ(text.nType, type) << text.strWhere;
    }
    // The German resources and the raw data are resource bytes, never listed.
    for (const char* other : {"Einstellungen speichern", "Abbrechen", "Raw data text"}) {
        const std::int64_t at = Find(program, other);
        ASSERT_GE(at, 0) << other;
        EXPECT_TRUE(InRanges(scan.scan, at)) << other;
    }
}

// A MENUEX: items aligned to 4 from the resource's start, popups with a help id.
std::string MenuEx(bool cutShort) {
    std::string menu;
    Add16(menu, 1);  // version
    Add16(menu, 4);  // offset of the items past this word
    Add32(menu, 0);  // help id
    auto item = [&](std::uint32_t type, std::uint16_t flags, const std::string& text) {
        Align4(menu);
        Add32(menu, type);
        Add32(menu, 0);    // state
        Add32(menu, 100);  // id
        Add16(menu, flags);
        AddText(menu, text);
        if (flags & 0x01) {
            Align4(menu);
            Add32(menu, 0);  // help id
        }
    };
    item(0, 0x01, "&File");
    item(0, 0, "&Open");
    item(0x800, 0, "");  // separator
    item(0, 0x01, "&Recent");
    item(0, 0x80, "Clear");
    item(0, 0x80, "E&xit");
    item(0, 0x81, "&Help");
    item(0, 0x80, "&About");
    if (cutShort) {
        menu.resize(menu.size() - 6);
    }
    return menu;
}

TEST(ResourceTexts, MenuEx) {
    EXPECT_EQ(ListedOf(ScanOf(PeImage(ResourceSection({{4, 2, 0x409, MenuEx(false)}})))),
              Sorted({{"menu 2 item 1", "&File"},
                      {"menu 2 item 2", "&Open"},
                      {"menu 2 item 4", "&Recent"},
                      {"menu 2 item 5", "Clear"},
                      {"menu 2 item 6", "E&xit"},
                      {"menu 2 item 7", "&Help"},
                      {"menu 2 item 8", "&About"}}));
    const Scan cut = ScanOf(PeImage(ResourceSection({{4, 2, 0x409, MenuEx(true)}})));
    EXPECT_NE(cut.scan.strProblem, "");
    EXPECT_TRUE(cut.scan.texts.empty());
}

// A DIALOGEX whose controls name their classes as text, in any case.
std::string DialogEx() {
    std::string dialog;
    Add16(dialog, 1);
    Add16(dialog, 0xFFFF);
    Add32(dialog, 0);           // help id
    Add32(dialog, 0);           // extended style
    Add32(dialog, 0x80C00040);  // WS_POPUP | WS_CAPTION | DS_SETFONT
    Add16(dialog, 6);           // controls
    dialog.append(8, '\0');     // x, y, cx, cy
    AddText(dialog, "MAINMENU");
    AddText(dialog, "MyDialogClass");
    AddText(dialog, "Settings");
    Add16(dialog, 9);    // point size
    Add16(dialog, 400);  // weight
    dialog += '\0';      // italic
    dialog += '\1';      // charset
    AddText(dialog, "Segoe UI");
    auto control = [&](const std::string& className, std::uint32_t style, const std::string& title,
                       const std::string& creationData = "") {
        Align4(dialog);
        Add32(dialog, 0);  // help id
        Add32(dialog, 0);  // extended style
        Add32(dialog, 0x50000000 | style);
        dialog.append(8, '\0');
        Add32(dialog, 1000);
        AddText(dialog, className);
        if (title == "#7") {
            Add16(dialog, 0xFFFF);
            Add16(dialog, 7);
        } else {
            AddText(dialog, title);
        }
        Add16(dialog, static_cast<std::uint16_t>(creationData.size()));
        dialog += creationData;
    };
    control("edit", 0, "initial contents");
    control("button", 0, "&Apply", "\x01\x02\x03\x04\x05\x06");
    control("STATIC", 0x3, "APPICON");
    control("Static", 0x2, "&Path:");
    control("SysListView32", 0, "Files");
    control("Button", 0x40, "#7");
    return dialog;
}

TEST(ResourceTexts, DialogExSkipsNamesAndContents) {
    EXPECT_EQ(ListedOf(ScanOf(PeImage(ResourceSection({{5, 200, 0x0009, DialogEx()}})))),
              Sorted({{"dialog 200 caption", "Settings"},
                      {"dialog 200 control 2 (Button)", "&Apply"},
                      {"dialog 200 control 4 (Static)", "&Path:"}}));
    std::string cut = DialogEx();
    cut.resize(cut.size() - 3);
    EXPECT_NE(ScanOf(PeImage(ResourceSection({{5, 200, 0x0009, cut}}))).scan.strProblem, "");
}

std::string StringBlock(const std::vector<std::string>& entries) {
    std::string block;
    for (std::size_t i = 0; i < 16; ++i) {
        const std::string text = i < entries.size() ? entries[i] : "";
        Add16(block, static_cast<std::uint16_t>(text.size()));
        block.resize(block.size() + 2 * text.size());
        for (std::size_t c = 0; c < text.size(); ++c) {
            block[block.size() - 2 * text.size() + 2 * c] = text[c];
        }
    }
    return block;
}

TEST(ResourceTexts, ALanguageLeafSharingDataWithAnotherLanguageKeepsItUnlisted) {
    const Scan scan = ScanOf(PeImage(ResourceSection({
        {6, 1, 0x409, StringBlock({"Shared"})},
        {6, 1, 0x407, "", 0},                       // German, same data entry
        {6, 2, 0x809, StringBlock({"", "Alone"})},  // English (UK)
        {6, 3, 0x000, StringBlock({"Neutral"})},
        {6, 3, 0x409, "", 3},  // English and neutral sharing: listed once
        {6, 4, 0x40C, StringBlock({"Seul"})},
    })));
    EXPECT_EQ(ListedOf(scan), Sorted({{"string 17", "Alone"}, {"string 32", "Neutral"}}));
    EXPECT_TRUE(InRanges(scan.scan, Find(scan.image, "Shared")));
    EXPECT_TRUE(InRanges(scan.scan, Find(scan.image, "Seul")));
}

TEST(ResourceTexts, ResourcesThatDoNotRead) {
    std::string runsPast = StringBlock({"Hello"});
    runsPast.resize(8);
    std::string badVersion(40, '\0');
    Put16(badVersion, 0, 400);  // longer than the resource
    std::string classicMenuWithoutEnd;
    Add16(classicMenuWithoutEnd, 0);
    Add16(classicMenuWithoutEnd, 0);
    Add16(classicMenuWithoutEnd, 0);
    Add16(classicMenuWithoutEnd, 1);
    AddText(classicMenuWithoutEnd, "&Open");
    for (const TestResource& resource :
         {TestResource{6, 1, 0x409, runsPast}, TestResource{16, 1, 0x409, badVersion},
          TestResource{4, 1, 0x409, classicMenuWithoutEnd},
          TestResource{4, 1, 0x409, std::string("\x05\0\0\0", 4)},
          TestResource{5, 1, 0x409, std::string(10, '\0')}}) {
        const Scan scan = ScanOf(PeImage(ResourceSection({resource})));
        EXPECT_NE(scan.scan.strProblem, "") << resource.nType;
        EXPECT_TRUE(scan.scan.texts.empty());
        // The same bytes in French are never read.
        TestResource french = resource;
        french.nLanguage = 0x40C;
        EXPECT_EQ(ScanOf(PeImage(ResourceSection({french}))).scan.strProblem, "");
    }
}

}  // namespace

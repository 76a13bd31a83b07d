#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "FieldText.h"

namespace {

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end());
}

struct SplitCase {
    std::u16string text;
    std::u16string lead;
    std::u16string core;
    char16_t key;
    int keyIndex;
    bool bKeyInParens;
    std::u16string trail;
    std::u16string tab;
};

TEST(FieldText, SplitsLabels) {
    const std::vector<SplitCase> cases = {
        {u"  &Open...\tCtrl+O", u"  ", u"Open", u'O', 0, false, u"...", u"\tCtrl+O"},
        {u"Save &As...", u"", u"Save As", u'A', 5, false, u"...", u""},
        {u"E&xit", u"", u"Exit", u'x', 1, false, u"", u""},
        {u"&&Print", u"", u"&Print", 0, -1, false, u"", u""},
        {u"Drag && &Drop", u"", u"Drag & Drop", u'D', 7, false, u"", u""},
        {u"Tom & Jerry", u"", u"Tom & Jerry", 0, -1, false, u"", u""},
        {u"File (&F)", u"", u"File", u'F', -1, true, u"", u""},
        {u"Open (&O)...\tCtrl+O", u"", u"Open", u'O', -1, true, u"...", u"\tCtrl+O"},
        {u"Header:", u"", u"Header", 0, -1, false, u":", u""},
        {u"(default)", u"(", u"default", 0, -1, false, u")", u""},
        {u"Name:  ", u"", u"Name", 0, -1, false, u":  ", u""},
        {u"File does not exist. Create it?", u"", u"File does not exist. Create it", 0, -1, false,
         u"?", u""},
        {u"Print (color).", u"", u"Print (color)", 0, -1, false, u".", u""},
        {u"'%s' could not be found.", u"", u"'%s' could not be found", 0, -1, false, u".", u""},
        {u"\"Name\"", u"\"", u"Name", 0, -1, false, u"\"", u""},
        {u"< &Back", u"< ", u"Back", u'B', 0, false, u"", u""},
        {u"Cut\tCtrl+X", u"", u"Cut", 0, -1, false, u"", u"\tCtrl+X"},
        {u"...", u"...", u"", 0, -1, false, u"", u""},
        {u"", u"", u"", 0, -1, false, u"", u""},
    };
    for (const SplitCase& c : cases) {
        const FieldParts parts = SplitField(c.text);
        SCOPED_TRACE(Narrow(c.text));
        EXPECT_EQ(parts.lead, c.lead);
        EXPECT_EQ(parts.core, c.core);
        EXPECT_EQ(parts.key, c.key);
        EXPECT_EQ(parts.keyIndex, c.keyIndex);
        EXPECT_EQ(parts.bKeyInParens, c.bKeyInParens);
        EXPECT_EQ(parts.trail, c.trail);
        EXPECT_EQ(parts.tab, c.tab);
    }
}

TEST(FieldText, TextsWithoutAccessKeysKeepTheirAmpersands) {
    const FieldParts retry = SplitField(u"&Retry", false);
    EXPECT_EQ(retry.core, u"&Retry");
    EXPECT_EQ(retry.key, 0);
    const FieldParts costs = SplitField(u"R&&D costs:", false);
    EXPECT_EQ(costs.core, u"R&&D costs");
    EXPECT_EQ(costs.trail, u":");
}

struct ComposeCase {
    std::u16string text;
    std::u16string translation;
    int units;
    std::optional<std::u16string> expected;
    bool bKeyDropped;
    bool bEllipsisShortened;
};

TEST(FieldText, ComposesTheTranslatedFieldInItsLength) {
    const std::vector<ComposeCase> cases = {
        // 開啟(&O)...\tCtrl+O is 16 units: the "..." gives way for the key in parentheses.
        {u"&Open...\tCtrl+O", u"開啟", 15, u"開啟(&O)…\tCtrl+O ", false, true},
        {u"&Open...\tCtrl+O", u"開啟", 16, u"開啟(&O)...\tCtrl+O", false, false},
        {u"&File", u"檔案", 5, u"檔案&F ", false, false},
        {u"&File", u"檔案", 8, u"檔案(&F)  ", false, false},
        {u"E&xit", u"結束", 5, u"結束&X ", false, false},
        {u"E&xit", u"結束程式", 5, u"結束程式 ", true, false},
        {u"&File", u"檔案管理員", 5, u"檔案管理員", true, false},
        {u"&File", u"檔案管理員們", 5, std::nullopt, false, false},
        {u"Save &As...", u"另存新檔", 11, u"另存新檔(&A)...", false, false},
        {u"Save &As...", u"另存新檔", 10, u"另存新檔(&A)… ", false, true},
        {u"File (&F)", u"檔案", 9, u"檔案(&F)   ", false, false},
        {u"  &Open", u"開啟", 7, u"  開啟&O ", false, false},
        // The shortcut text is never given up; the key is.
        {u"&Open\tCtrl+O", u"開啟檔案", 12, u"開啟檔案\tCtrl+O ", true, false},
        {u"&Open\tCtrl+O", u"開啟檔案", 10, std::nullopt, false, false},
        // The fill goes after the punctuation, never between it and the word.
        {u"Header:", u"頁首", 7, u"頁首:    ", false, false},
        {u"Name:  ", u"名稱", 7, u"名稱:    ", false, false},
        {u"Header:", u" 頁首\u3000 ", 7, u"頁首:    ", false, false},
        {u"(default)", u"預設", 9, u"(預設)     ", false, false},
        {u"Print && Preview", u"列印&預覽", 16, u"列印&&預覽          ", false, false},
        // A translation that brings its own key keeps it as it is.
        {u"&File", u"檔案(&F)", 8, u"檔案(&F)  ", false, false},
        {u"&File", u"檔案", -1, std::nullopt, false, false},
    };
    for (const ComposeCase& c : cases) {
        SCOPED_TRACE(Narrow(c.text) + " in " + std::to_string(c.units));
        ComposeNotes notes;
        notes.bKeyDropped = true;  // must be reset
        const std::optional<std::u16string> field =
            ComposeField(SplitField(c.text), c.translation, c.units, &notes);
        EXPECT_EQ(field, c.expected);
        if (field) {
            EXPECT_EQ(field->size(), static_cast<std::size_t>(c.units));
            EXPECT_EQ(notes.bKeyDropped, c.bKeyDropped);
            EXPECT_EQ(notes.bEllipsisShortened, c.bEllipsisShortened);
        }
    }
}

TEST(FieldText, ComposesTextsWithoutAccessKeysAsTheyAre) {
    EXPECT_EQ(ComposeField(SplitField(u"R&D costs:", false), u"研發&成本", 10), u"研發&成本:    ");
    EXPECT_EQ(ComposeField(SplitField(u"'%s' could not be found.", false), u"找不到 '%s'", 25),
              u"找不到 '%s'." + std::u16string(16, u' '));
}

}  // namespace

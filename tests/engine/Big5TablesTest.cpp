#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "Big5.h"
#include "Big5Tables.h"

namespace {

struct Entry {
    int code;
    int value;
};

std::vector<Entry> EntriesOf(const unsigned char* table) {
    std::vector<Entry> entries;
    for (int i = 0; i < kBig5TableEntries; ++i) {
        const unsigned char* e = table + i * 4;
        entries.push_back({e[0] << 8 | e[1], e[2] << 8 | e[3]});
    }
    return entries;
}

std::vector<Entry> AllEntries() {
    std::vector<Entry> all = EntriesOf(Big5ToUnicodeTableLow);
    const std::vector<Entry> high = EntriesOf(Big5ToUnicodeTableHigh);
    all.insert(all.end(), high.begin(), high.end());
    return all;
}

enum class Kind { kStandard, kExtension, kEmpty };

// Position classes as the dictionaries define them, written out independently of the generator.
Kind KindOf(int code) {
    const int lead = code >> 8, trail = code & 0xFF;
    if (trail == 0x7F || code == 0xA0FD || code == 0xA0FE)
        return Kind::kEmpty;
    if (trail >= 0x80 && trail <= 0xA0)
        return Kind::kExtension;
    if ((lead >= 0x81 && lead <= 0x83) || (lead >= 0x8E && lead <= 0xA0) || lead == 0xC8)
        return Kind::kExtension;
    if ((lead >= 0x84 && lead <= 0x8D) || lead >= 0xFA)
        return Kind::kEmpty;
    if ((code >= 0xA3C0 && code <= 0xA3FE && code != 0xA3E1) || code == 0xC7FD || code == 0xC7FE)
        return Kind::kExtension;
    return Kind::kStandard;
}

bool IsIdeograph(int value) {
    return value >= 0x4E00 && value <= 0x9FA5;
}

int Lookup(int code) {
    return Big5ToUnicode(code >> 8, code & 0xFF);
}

const std::map<int, int> kTelling = {{0x8140, 0x8488}, {0x8141, 0x8710}, {0x8142, 0x871F},
                                     {0xC080, 0x7892}, {0xC081, 0x797E}, {0x817F, 0xFFFD},
                                     {0xC07F, 0xFFFD}};

TEST(Big5TablesTest, EachTableIsItsGridInCodeOrderLessTheLastCell) {
    for (const auto& [table, firstLead] :
         {std::pair{Big5ToUnicodeTableLow, 0x81}, std::pair{Big5ToUnicodeTableHigh, 0xC0}}) {
        const std::vector<Entry> entries = EntriesOf(table);
        for (int i = 0; i < kBig5TableEntries; ++i) {
            ASSERT_EQ(entries[i].code, (firstLead + i / 191) << 8 | (0x40 + i % 191)) << i;
        }
        EXPECT_EQ(entries.back().code, (firstLead + 62) << 8 | 0xFD);
    }
}

TEST(Big5TablesTest, PositionClassesHaveTheirCountsAndOnlyEmptyOnesHoldFffd) {
    const std::vector<Entry> all = AllEntries();
    std::map<Kind, int> low, high;
    for (const Entry& e : all) {
        const Kind kind = KindOf(e.code);
        ++(e.code < 0xC000 ? low : high)[kind];
        EXPECT_EQ(e.value == 0xFFFD, kind == Kind::kEmpty) << std::hex << e.code;
    }
    EXPECT_EQ(low, (std::map<Kind, int>{
                       {Kind::kExtension, 5593}, {Kind::kEmpty, 1635}, {Kind::kStandard, 4804}}));
    EXPECT_EQ(high, (std::map<Kind, int>{
                        {Kind::kExtension, 2238}, {Kind::kEmpty, 847}, {Kind::kStandard, 8947}}));
}

TEST(Big5TablesTest, FixedValues) {
    const std::map<int, int> differences = {
        {0xA156, 0x2015}, {0xA1C2, 0x203E}, {0xA2A4, 0x2501}, {0xA2A5, 0x251D}, {0xA2A6, 0x253F},
        {0xA2A7, 0x2525}, {0xA3E1, 0x532C}, {0xC255, 0x5F5E}, {0xC94A, 0x5140}, {0xDDFC, 0x55C0},
        {0xF9FA, 0x2554}, {0xF9FB, 0x2557}, {0xF9FC, 0x255A}, {0xF9FD, 0x255D}, {0xF9FE, 0x2588}};
    for (const auto& fixed : {differences, kTelling}) {
        for (const auto& [code, value] : fixed)
            EXPECT_EQ(Lookup(code), value) << std::hex << code;
    }
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(Lookup(0xA3C0 + i), 0x2400 + i);
    EXPECT_EQ(Lookup(0xA3E0), 0x2421);
}

TEST(Big5TablesTest, BlockC6A1ToC7FCInCodeOrder) {
    std::u16string expected =
        u"①②③④⑤⑥⑦⑧⑨⑩⑴⑵⑶⑷⑸⑹⑺⑻⑼⑽ⅰⅱⅲⅳⅴⅵⅶⅷⅸⅹ"
        u"丶丿亅亠冂冖冫勹匸卩厶夊宀巛幺广廴彐彡攴无疒癶辵隶夂"
        u"＾ヽヾゝゞ＂゛゜・〇ー［］✽";
    for (char16_t c = 0x3041; c <= 0x3093; ++c)
        expected += c;
    for (char16_t c = 0x30A1; c <= 0x30F6; ++c)
        expected += c;
    expected += u"殹渋焅猔猄猅猕猍眮睁";
    std::u16string actual;
    for (int code = 0xC6A1; code <= 0xC7FC; ++code) {
        const int trail = code & 0xFF;
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE))
            actual += static_cast<char16_t>(Lookup(code));
    }
    ASSERT_EQ(expected.size(), 249u);
    EXPECT_EQ(actual, expected);
}

TEST(Big5TablesTest, ExtensionValuesAreDistinctIdeographsFilledInOrder) {
    std::set<int> seen;
    int previous = 0;
    for (const Entry& e : AllEntries()) {
        if (KindOf(e.code) != Kind::kExtension)
            continue;
        EXPECT_TRUE(seen.insert(e.value).second) << std::hex << e.code;
        if (e.code >= 0xA3C0 && e.code <= 0xA3E0)
            continue;  // control pictures
        EXPECT_TRUE(IsIdeograph(e.value)) << std::hex << e.code;
        if (kTelling.count(e.code) == 0) {
            EXPECT_GT(e.value, previous) << std::hex << e.code;
            previous = e.value;
        }
    }
    EXPECT_EQ(seen.size(), 5593u + 2238u);
    // Dictionaries are encoded with these codes: the first and last filled positions pin the
    // order, and U+5F5D (displaced from 0xC255) and U+931A (held by cp950 only at 0xBFFE, the
    // cell the low table leaves out) have places of their own.
    EXPECT_EQ(Lookup(0x8143), 0x4E02);
    EXPECT_EQ(Lookup(0xFEA0), 0x9FA5);
    EXPECT_EQ(Lookup(0x927B), 0x5F5D);
    EXPECT_EQ(Lookup(0xD09A), 0x931A);
}

// The ideographs held outside the positions cp950 fills: the 7834 cp950 lacks plus U+5F5D and
// U+931A, which would otherwise have no code.
TEST(Big5TablesTest, EveryIdeographHasExactlyOneCode) {
    const std::vector<Entry> all = AllEntries();
    std::map<int, int> times;
    for (const Entry& e : all)
        ++times[e.value];
    std::set<int> outside;
    for (const Entry& e : all) {
        const bool block = e.code >= 0xC6A1 && e.code <= 0xC7FC;
        const bool listed = e.code == 0xC255 || e.code == 0xA3E1;
        if (IsIdeograph(e.value) && (KindOf(e.code) == Kind::kExtension || block || listed))
            outside.insert(e.value);
    }
    EXPECT_EQ(outside.size(), 7834u + 2u);
    for (int value : outside) {
        EXPECT_EQ(times[value], 1) << std::hex << value;
    }
    EXPECT_EQ(UnicodeToBig5(0x532C), 0xA3E1);
    EXPECT_EQ(UnicodeToBig5(0x5F5D), 0x927B);
    EXPECT_EQ(UnicodeToBig5(0x931A), 0xD09A);
    for (char32_t ch = 0x4E00; ch <= 0x9FA5; ++ch) {
        EXPECT_NE(UnicodeToBig5(ch), 0) << std::hex << static_cast<std::uint32_t>(ch);
    }
}

TEST(Big5LookupTest, Forward) {
    EXPECT_EQ(Big5ToUnicode(0xA4, 0x40), 0x4E00);
    EXPECT_EQ(Big5ToUnicode(0xA1, 0x56), 0x2015);
    EXPECT_EQ(Big5ToUnicode(0xC6, 0xA1), 0x2460);
    EXPECT_EQ(Big5ToUnicode(0x81, 0x7F), 0xFFFD);
    EXPECT_EQ(Big5ToUnicode(0xBF, 0xFD), 0x9304);
    EXPECT_EQ(Big5ToUnicode(0xC0, 0x40), 0x9310);
    // Outside the grids, the two left-out cells, and lead or trail 0xFF.
    for (int code : {0x4142, 0x8040, 0xA43F, 0x0000, 0xBFFE, 0xFEFE, 0xFF40, 0xA4FF})
        EXPECT_EQ(Lookup(code), -1) << std::hex << code;
}

TEST(Big5LookupTest, EveryValueRoundTripsToItsLowestCode) {
    for (const Entry& e : AllEntries()) {
        if (e.value == 0xFFFD)
            continue;
        const int code = UnicodeToBig5(static_cast<char32_t>(e.value));
        ASSERT_NE(code, 0) << std::hex << e.code;
        EXPECT_LE(code, e.code);
        EXPECT_EQ(Lookup(code), e.value) << std::hex << e.code;
    }
    EXPECT_EQ(UnicodeToBig5(0x5140), 0xA461);  // also at 0xC94A
    EXPECT_EQ(UnicodeToBig5(0x55C0), 0xDCD1);  // also at 0xDDFC
}

TEST(Big5LookupTest, ValuesNotHeldGiveZero) {
    EXPECT_EQ(UnicodeToBig5(0xFFFD), 0);
    for (char32_t ch = 0; ch < 0x80; ++ch)
        EXPECT_EQ(UnicodeToBig5(ch), 0) << static_cast<int>(ch);
    EXPECT_EQ(UnicodeToBig5(0x14E00), 0);  // U+4E00 beyond 16 bits
    EXPECT_EQ(UnicodeToBig5(0x110000), 0);
    EXPECT_EQ(UnicodeToBig5(0xFFFFFFFF), 0);
}

}  // namespace

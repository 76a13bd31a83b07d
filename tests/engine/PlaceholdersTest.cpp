#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Placeholders.h"

namespace {

struct FindCase {
    std::u16string text;
    std::vector<std::u16string> expected;
};

TEST(Placeholders, FindsPrintfAndFormatMessagePlaceholdersInOrder) {
    const std::vector<FindCase> cases = {
        {u"'%s' could not be found.", {u"%s"}},
        {u"%-10ls|%5.2f", {u"%-10ls", u"%5.2f"}},
        {u"%d of %u", {u"%d", u"%u"}},
        {u"%I64d bytes, %I32u, %Id", {u"%I64d", u"%I32u", u"%Id"}},
        {u"%x%X%c%p%lld%S%hs%ws%*d%.*s",
         {u"%x", u"%X", u"%c", u"%p", u"%lld", u"%S", u"%hs", u"%ws", u"%*d", u"%.*s"}},
        {u"%ds left, %dx%d", {u"%d", u"%d", u"%d"}},
        {u"%1 of %2, %12", {u"%1", u"%2", u"%12"}},
        {u"%1!s! at %2!d!, %3!lu!", {u"%1!s!", u"%2!d!", u"%3!lu!"}},
        {u"%1!bogus! stays", {u"%1"}},  // no printf format between the '!'s
        {u"%%", {u"%%"}},
        {u"%d%%", {u"%d", u"%%"}},
        {u"Line one%nLine two%0", {u"%n", u"%0"}},
        {u"Tab%there%.", {u"%t", u"%."}},
        {u"Value: % d", {u"% d"}},
        {u"%", {}},
        {u"", {}},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(FindPlaceholders(c.text), c.expected)
            << std::string(c.text.begin(), c.text.end());
    }
}

TEST(Placeholders, PercentSignsAreNoPlaceholders) {
    for (const std::u16string text : {u"50% done", u"100% of", u"100%", u"Done 100%.", u"50%-off",
                                      u"10% less", u"100% sure", u"5% per day", u"90%!"}) {
        EXPECT_TRUE(FindPlaceholders(text).empty()) << std::string(text.begin(), text.end());
    }
}

struct KeepCase {
    std::u16string english;
    std::u16string translation;
    bool expected;
};

TEST(Placeholders, TranslationKeepsThePlaceholders) {
    const std::vector<KeepCase> cases = {
        {u"'%s' could not be found.", u"找不到 '%s'。", true},
        {u"'%s' could not be found.", u"  s  未找到", false},  // dropped
        {u"%s copied to %s", u"%s 已複製到 %s", true},
        {u"%s of %d", u"%d 之 %s", false},  // unnumbered ones reordered
        {u"%1 of %2", u"%2 之 %1", true},   // numbered ones may move
        {u"%1 of %1", u"%1", false},        // but keep their count
        {u"%1!s! at %2!d!", u"%2!d! 的 %1!s!", true},
        {u"%1!s!", u"%1!d!", false},
        {u"%d%%", u"%d%%", true},
        {u"%d%%", u"%d%", false},
        {u"50% done", u"完成 50%", true},
        {u"%I64d bytes", u"%I64d 位元組", true},
        {u"%I64d bytes", u"%d 位元組", false},
        {u"%-10ls", u"%10ls", false},
        {u"Done", u"完成 %s", false},  // one added
        {u"Line%nNext", u"行%n下一行", true},
    };
    for (const KeepCase& c : cases) {
        EXPECT_EQ(KeepsPlaceholders(c.english, c.translation), c.expected)
            << std::string(c.english.begin(), c.english.end());
    }
}

}  // namespace

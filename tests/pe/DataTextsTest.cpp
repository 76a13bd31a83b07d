// Candidate 16-bit texts in data sections.
#include <gtest/gtest.h>

#include "DataTexts.h"
#include "ResourceTexts.h"
#include "TestPe.h"

namespace {

std::vector<std::string> TextsOf(const std::string& image, int minUnits = 4) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    const auto size = static_cast<std::int64_t>(image.size());
    const PeReadResult read = ReadPeImage(bytes, size);
    EXPECT_EQ(read.kind, EPeKind::Pe) << read.strProblem;
    const ResourceScan scan = ListResourceTexts(bytes, size, read.layout);
    std::vector<std::string> texts;
    for (const DataText& text :
         ListDataTexts(bytes, size, read.layout, scan.resourceRanges, minUnits)) {
        texts.push_back(text.strSection + ":" + UnitsAt(image, text.nOffset, text.nUnits));
    }
    return texts;
}

std::string Wide(const std::string& ascii) {
    std::string units;
    for (char c : ascii) {
        units += c;
        units += '\0';
    }
    return units;
}

TEST(DataTexts, FindsTheTextOfTheMingwProgram) {
    const std::string program = TestProgram();
    if (program.empty()) {
        GTEST_SKIP() << "mingw-w64 is not installed";
    }
    EXPECT_EQ(TextsOf(program), (std::vector<std::string>{".rdata:Save as"}));
}

TEST(DataTexts, OnlyWholeTerminatedPrintableTextsOnEvenOffsets) {
    const std::string data = Wide("First text") + Wide(std::string(1, '\0')) +   // at the start
                             Wide("abc") + std::string(2, '\0') +                // too short
                             Wide("Tab\tand\r\nlines") + std::string(2, '\0') +  //
                             std::string(1, 'x') + Wide("Odd offset") + std::string(3, '\0') +
                             std::string("\x01\x30", 2) + Wide("After a non-zero unit") +
                             std::string(2, '\0') + Wide("Unterminated") + "\x01\x02" +
                             std::string(2, '\0') + Wide("Cut by the end");
    EXPECT_EQ(TextsOf(PeImage("", data)),
              (std::vector<std::string>{".data:First text", ".data:Tab\tand\r\nlines"}));
    EXPECT_EQ(TextsOf(PeImage("", data), 11),
              (std::vector<std::string>{".data:Tab\tand\r\nlines"}));
    // Code and resources are never searched.
    const std::string resources =
        ResourceSection({{10, 1, 0x409, Wide("Raw data text") + std::string(2, '\0')}});
    EXPECT_TRUE(
        TextsOf(PeImage(resources, "", Wide("In the code") + std::string(2, '\0'))).empty());
}

}  // namespace

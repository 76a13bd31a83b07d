// Reading the headers and sections of Windows program files, and their checksum.
#include <gtest/gtest.h>

#include "PeImage.h"
#include "TestPe.h"

namespace {

PeReadResult Read(const std::string& image) {
    return ReadPeImage(reinterpret_cast<const unsigned char*>(image.data()),
                       static_cast<std::int64_t>(image.size()));
}

std::uint32_t Checksum(const std::string& image, std::int64_t checksumOffset) {
    return ComputePeChecksum(reinterpret_cast<const unsigned char*>(image.data()),
                             static_cast<std::int64_t>(image.size()), checksumOffset);
}

TEST(PeImage, ReadsTheMingwProgram) {
    const std::string program = TestProgram();
    if (program.empty()) {
        GTEST_SKIP() << "mingw-w64 is not installed";
    }
    const PeReadResult result = Read(program);
    ASSERT_EQ(result.kind, EPeKind::Pe) << result.strProblem;
    const PeLayout& layout = result.layout;
    EXPECT_TRUE(layout.bPe32Plus);
    EXPECT_EQ(layout.nEndOfSections, static_cast<std::int64_t>(program.size()));
    const PeSection* text = nullptr;
    const PeSection* rsrc = nullptr;
    for (const PeSection& section : layout.sections) {
        text = section.strName == ".text" ? &section : text;
        rsrc = section.strName == ".rsrc" ? &section : rsrc;
    }
    ASSERT_TRUE(text && rsrc);
    EXPECT_TRUE(text->IsCode());
    EXPECT_FALSE(rsrc->IsCode());
    EXPECT_EQ(layout.nResourceRva, rsrc->nVirtualAddress);
    EXPECT_EQ(layout.FileOffset(layout.nResourceRva + 6, 10), rsrc->nRawOffset + 6);
    EXPECT_EQ(layout.FileOffset(rsrc->nVirtualAddress + rsrc->nVirtualSize - 2, 4), std::nullopt);
    EXPECT_EQ(layout.FileOffset(0, 2), std::nullopt);  // the headers belong to no section

    // mingw's linker writes the checksum; ours agrees, with appended data as well.
    ASSERT_NE(layout.nChecksum, 0u);
    EXPECT_EQ(Checksum(program, layout.nChecksumOffset), layout.nChecksum);
    std::string changed = program;
    Put32(changed, layout.nChecksumOffset, 0x12345678);
    EXPECT_EQ(Checksum(changed, layout.nChecksumOffset), layout.nChecksum);
    changed[100] ^= 1;
    EXPECT_NE(Checksum(changed, layout.nChecksumOffset), layout.nChecksum);
}

TEST(PeImage, ChecksumFoldsCarriesPadsTheOddByteAndAddsTheLength) {
    EXPECT_EQ(Checksum(std::string("\x01\x02\x03", 3), 100), 0x0201u + 0x0003u + 3u);
    // 0xFFFF + 0x0002 carries into 0x0002.
    EXPECT_EQ(Checksum(std::string("\xFF\xFF\x02\x00", 4), 100), 0x0002u + 4u);
    // The field's bytes count as zero, even at an odd offset.
    EXPECT_EQ(Checksum(std::string("\x01\x00\xAA\xBB\xCC\xDD\x02\x00", 8), 2), 0x0003u + 8u);
    EXPECT_EQ(Checksum(std::string("\x00\xAA\xBB\xCC\xDD\x01", 6), 1), 0x0100u + 6u);
}

TEST(PeImage, FilesThatDoNotClaimToBePe) {
    EXPECT_EQ(Read("").kind, EPeKind::NotPe);
    EXPECT_EQ(Read(std::string("MZ\x90\0", 4) + std::string(200, 'x')).kind, EPeKind::NotPe);
    std::string dos(0x100, '\0');
    dos[0] = 'M';
    dos[1] = 'Z';
    Put32(dos, 0x3C, 0xFE);  // "PE\0\0" would run past the end
    EXPECT_EQ(Read(dos).kind, EPeKind::NotPe);
    Put32(dos, 0x3C, 0x80);
    dos.replace(0x80, 4, std::string("PX\0\0", 4));
    EXPECT_EQ(Read(dos).kind, EPeKind::NotPe);
    Put32(dos, 0x3C, 0xFFFFFFF0);
    EXPECT_EQ(Read(dos).kind, EPeKind::NotPe);
}

TEST(PeImage, ReadsPe32AndPe32Plus) {
    for (bool pe32Plus : {false, true}) {
        const std::string image =
            PeImage(ResourceSection({{10, 1, 0x409, "raw"}}), "data", "", pe32Plus);
        const PeReadResult result = Read(image);
        ASSERT_EQ(result.kind, EPeKind::Pe) << result.strProblem;
        EXPECT_EQ(result.layout.bPe32Plus, pe32Plus);
        EXPECT_EQ(result.layout.nChecksumOffset, 0x44 + 20 + 64);
        ASSERT_EQ(result.layout.sections.size(), 3u);
        EXPECT_EQ(result.layout.sections[0].strName, ".data");
        EXPECT_EQ(result.layout.nResourceRva, kTestRsrcRva);
        EXPECT_EQ(result.layout.FileOffset(0x1000, 4), 0x200);
    }
    // No resource directory at all is fine.
    EXPECT_EQ(Read(PeImage("", "data")).kind, EPeKind::Pe);
}

TEST(PeImage, BrokenHeaders) {
    const std::string good = PeImage(ResourceSection({{10, 1, 0x409, "raw"}}), "data");
    ASSERT_EQ(Read(good).kind, EPeKind::Pe);
    auto brokenWith = [&](std::size_t at, std::uint32_t value, int width) {
        std::string image = good;
        width == 2 ? Put16(image, at, static_cast<std::uint16_t>(value)) : Put32(image, at, value);
        const PeReadResult result = Read(image);
        EXPECT_FALSE(result.strProblem.empty());
        return result.kind == EPeKind::Broken;
    };
    const std::size_t file = 0x44, optional = file + 20, sections = optional + 0xF0;
    EXPECT_TRUE(brokenWith(optional, 0x107, 2));            // magic
    EXPECT_TRUE(brokenWith(file + 16, 0x40, 2));            // optional header too small
    EXPECT_TRUE(brokenWith(file + 2, 0xFFFF, 2));           // section table past the end
    EXPECT_TRUE(brokenWith(sections + 20, 0x7FFFFF00, 4));  // section data past the end
    EXPECT_TRUE(brokenWith(sections + 16, 0xFFFFFFFF, 4));

    // Every cut of a real program reads as NotPe or Broken.
    std::string program = TestProgram();
    if (program.empty()) {
        program = good;
    }
    for (std::size_t length = 0; length < program.size(); ++length) {
        const PeReadResult result = Read(program.substr(0, length));
        ASSERT_NE(result.kind, EPeKind::Pe) << length;
        EXPECT_EQ(result.kind == EPeKind::Broken, !result.strProblem.empty()) << length;
    }
}

}  // namespace

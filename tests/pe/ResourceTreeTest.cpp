// Walking resource directories that a crafted file bends: loops, offsets outside, giant counts.
#include <gtest/gtest.h>

#include "PeImage.h"
#include "ResourceTree.h"
#include "TestPe.h"

namespace {

struct Walk {
    PeReadResult read;
    ResourceTree tree;
};

Walk WalkOf(const std::string& rsrc) {
    const std::string image = PeImage(rsrc, "data");
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    const auto size = static_cast<std::int64_t>(image.size());
    Walk walk{ReadPeImage(bytes, size), {}};
    walk.tree = ReadResourceTree(bytes, size, walk.read.layout);
    return walk;
}

// Offsets in ResourceSection({{10, 1, 0x409, ...}}): the type table at 0, the name table at
// 24, the language table at 48, the data entry at 72.
const std::string kOneResource = ResourceSection({{10, 1, 0x409, "raw"}});

TEST(ResourceTree, ReadsTheLeavesAndTheDirectoryBytes) {
    const Walk walk = WalkOf(ResourceSection({{10, 1, 0x409, "raw"}, {10, 1, 0x407, "roh"}}));
    ASSERT_EQ(walk.tree.strProblem, "");
    ASSERT_EQ(walk.tree.leaves.size(), 2u);
    EXPECT_EQ(walk.tree.leaves[1].type.nId, 10u);
    EXPECT_EQ(walk.tree.leaves[1].name.nId, 1u);
    EXPECT_EQ(walk.tree.leaves[1].language.nId, 0x407u);
    EXPECT_EQ(walk.tree.leaves[1].nDataSize, 3u);
    const std::int64_t rsrc = *walk.read.layout.FileOffset(kTestRsrcRva, 1);
    // Three tables and two data entries, one range.
    EXPECT_EQ(walk.tree.directoryRanges, (ByteRanges{{rsrc, rsrc + 24 + 24 + 32 + 32}}));
}

TEST(ResourceTree, ReadsNames) {
    std::string rsrc = kOneResource + std::string("\x04\0M\0A\0I\0N\0", 10);
    Put32(rsrc, 24 + 16, 0x80000000 | static_cast<std::uint32_t>(kOneResource.size()));
    const Walk walk = WalkOf(rsrc);
    ASSERT_EQ(walk.read.kind, EPeKind::Pe) << walk.read.strProblem;
    ASSERT_EQ(walk.tree.leaves.size(), 1u);
    EXPECT_EQ(walk.tree.leaves[0].name.strName, "MAIN");
    EXPECT_TRUE(walk.tree.leaves[0].name.IsNamed());
    Put16(rsrc, kOneResource.size(), 0x7FFF);  // a name past the end
    EXPECT_EQ(WalkOf(rsrc).read.kind, EPeKind::Broken);
}

TEST(ResourceTree, CraftedDirectoriesAreProblems) {
    auto problemWith = [](std::size_t at, std::uint32_t value) {
        std::string rsrc = kOneResource;
        Put32(rsrc, at, value);
        const Walk walk = WalkOf(rsrc);
        EXPECT_TRUE(walk.tree.leaves.empty());
        EXPECT_EQ(walk.read.kind, EPeKind::Broken);
        return walk.tree.strProblem;
    };
    EXPECT_NE(problemWith(24 + 16 + 4, 0x80000000), "");          // the name table leads back
    EXPECT_NE(problemWith(48 + 16 + 4, 0x80000000 | 48), "");     // a fourth level, and a loop
    EXPECT_NE(problemWith(16 + 4, 72), "");                       // data instead of a table
    EXPECT_NE(problemWith(16 + 4, 0x80000000 | 0x7FFFFFF0), "");  // a table outside
    EXPECT_NE(problemWith(48 + 16 + 4, 0x10000), "");             // a data entry outside
    EXPECT_NE(problemWith(72, 0x9000), "");                       // data outside the sections
    EXPECT_NE(problemWith(72 + 4, 0x7FFFFFFF), "");               // data past its section
    EXPECT_NE(problemWith(12, 0xFFFFFFFF), "");                   // 131070 entries claimed
}

TEST(ResourceTree, ManyEntriesSharingATableAreALoop) {
    // Entries that all lead to the same tables would multiply into billions of leaves.
    std::string rsrc(16 + 8 * 1000, '\0');
    Put16(rsrc, 14, 1000);
    for (std::uint32_t i = 0; i < 1000; ++i) {
        Put32(rsrc, 16 + 8 * i, i + 1);
        Put32(rsrc, 16 + 8 * i + 4, 0x80000000);
    }
    EXPECT_NE(WalkOf(rsrc).tree.strProblem, "");
}

TEST(ResourceTree, AResourceDirectoryOutsideTheSections) {
    std::string image = PeImage(kOneResource, "data");
    const std::size_t directory2 = 0x44 + 20 + 112 + 16;
    Put32(image, directory2, 0x50000);
    const PeReadResult read = ReadPeImage(reinterpret_cast<const unsigned char*>(image.data()),
                                          static_cast<std::int64_t>(image.size()));
    EXPECT_EQ(read.kind, EPeKind::Broken);
    EXPECT_NE(read.strProblem, "");
}

}  // namespace

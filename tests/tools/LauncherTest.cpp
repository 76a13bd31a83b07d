// vokra-launch: the per-user start-up folder, seeded from the shipped data, never overwritten.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "TestFiles.h"

namespace {

TEST(Launcher, SeedsTheUserFolderWithoutOverwritingAndStartsThere) {
    CTempDir dir;
    std::filesystem::create_directories(dir / "bin");
    std::filesystem::create_directories(dir / "share/vokra");
    std::filesystem::create_directories(dir / "home/vokra");
    std::filesystem::copy_file(VOKRA_LAUNCH, dir / "bin/vokra-launch");
    // In place of the program: note where it was started.
    WriteFileBytes(dir / "bin/vokra", "#!/bin/sh\npwd > \"$XDG_DATA_HOME/started-in\"\n");
    std::filesystem::permissions(dir / "bin/vokra", std::filesystem::perms::owner_all);
    WriteFileBytes(dir / "share/vokra/message.txt", "shipped");
    WriteFileBytes(dir / "share/vokra/user.txt", "shipped");
    WriteFileBytes(dir / "home/vokra/message.txt", "the user's own");

    const std::string command =
        "XDG_DATA_HOME='" + (dir / "home") + "' '" + (dir / "bin/vokra-launch") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadFileBytes(dir / "home/vokra/message.txt"), "the user's own");
    EXPECT_EQ(ReadFileBytes(dir / "home/vokra/user.txt"), "shipped");
    EXPECT_EQ(ReadFileBytes(dir / "home/started-in"), (dir / "home/vokra") + "\n");
}

}  // namespace

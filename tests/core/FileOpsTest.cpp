#include "FileOps.h"

#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "FileError.h"
#include "TestFiles.h"

namespace {

// Runs `operation` and checks that it raised the file error with this cause, this name and this
// text, so that a failure points at the caller's line.
template <typename Operation>
testing::AssertionResult RaisesFileError(Operation operation, EFileErrorCause cause,
                                         const std::string& name, const std::string& text) {
    try {
        operation();
    } catch (const CFileError& error) {
        if (error.Cause() != cause || error.FileName() != name || error.Text() != text) {
            return testing::AssertionFailure()
                   << "raised cause " << static_cast<int>(error.Cause()) << " on \""
                   << error.FileName() << "\": " << error.Text() << "\nexpected cause "
                   << static_cast<int>(cause) << " on \"" << name << "\": " << text;
        }
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "no file error raised; expected: " << text;
}

std::int64_t SizeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_size;
}

mode_t ModeOf(const std::string& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class CScopedUmask {
  public:
    explicit CScopedUmask(mode_t mask) : m_previous(::umask(mask)) {}
    ~CScopedUmask() { ::umask(m_previous); }
    CScopedUmask(const CScopedUmask&) = delete;
    CScopedUmask& operator=(const CScopedUmask&) = delete;

  private:
    mode_t m_previous;
};

// What a pass does with its program file at the end: replaces it as a whole, held and locked.
void ReplaceProgram(const std::string& path, const void* data, std::int64_t size) {
    const FilePlace place(path);
    const CHeldFile program(place.Ref(), ELockWait::No, true);
    ReplaceHeldFile(program, data, size);
}

class FileOpsTest : public testing::Test {
  protected:
    CTempDir m_dir;
};

// ---------------------------------------------------------------------------------------------
// Blocks

TEST_F(FileOpsTest, ReadBlockPastTheEndLeavesTheRestOfTheBufferAlone) {
    WriteFileBytes(m_dir / "a.bin", "abcdef");
    std::string buffer(16, '*');

    EXPECT_EQ(ReadBlock(m_dir / "a.bin", buffer.data(), buffer.size(), 2), 4u);
    EXPECT_EQ(buffer, "cdef" + std::string(12, '*'));

    EXPECT_EQ(ReadBlock(m_dir / "a.bin", buffer.data(), buffer.size(), 100), 0u);
    EXPECT_EQ(buffer, "cdef" + std::string(12, '*'));
}

TEST_F(FileOpsTest, WriteBlockAtRisingOffsetsBuildsTheFile) {
    const std::string path = m_dir / "built.bin";
    WriteBlock(path, "ab", 2, 0);
    WriteBlock(path, "cd", 2, 2);
    WriteBlock(path, "ef", 2, 4);
    WriteBlock(path, "xy", 2, 8);
    EXPECT_EQ(ReadFileBytes(path), std::string("abcdef\0\0xy", 10));
}

TEST_F(FileOpsTest, WriteBlockPastTheEndGrowsTheFileAndKeepsItsStart) {
    const std::string path = m_dir / "ten.bin";
    WriteFileBytes(path, "0123456789");
    const std::string block(128, 'Z');

    WriteBlock(path, block.data(), block.size(), 128);

    const std::string bytes = ReadFileBytes(path);
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(bytes.substr(0, 10), "0123456789");
    EXPECT_EQ(bytes.substr(10, 118), std::string(118, '\0'));
    EXPECT_EQ(bytes.substr(128), block);
}

TEST_F(FileOpsTest, BlocksBeyondFourGibibytesLandAtTheirOffset) {
    // A sparse file: only the last block takes room on the disk.
    const std::string path = m_dir / "large.bin";
    const std::int64_t offset = (std::int64_t{5} << 30) + 7;
    WriteBlock(path, "far", 3, offset);
    ASSERT_EQ(SizeOf(path), offset + 3);

    char buffer[8] = {};
    EXPECT_EQ(ReadBlock(path, buffer, sizeof(buffer), offset), 3u);
    EXPECT_EQ(std::string(buffer, 3), "far");
    EXPECT_EQ(ReadBlock(path, buffer, 2, offset - 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), std::string("\0\0", 2));
}

TEST_F(FileOpsTest, NewFilesGetTheUsualModeLessTheUmask) {
    const CScopedUmask mask(027);
    WriteBlock(m_dir / "block.bin", "x", 1, 0);
    ReplaceWholeFile(m_dir / "whole.bin", "x", 1);
    EXPECT_EQ(ModeOf(m_dir / "block.bin"), 0640u);
    EXPECT_EQ(ModeOf(m_dir / "whole.bin"), 0640u);
}

// ---------------------------------------------------------------------------------------------
// Whole files

TEST_F(FileOpsTest, ReadWholeFileReturnsEveryByte) {
    std::string bytes(200000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 7 % 251);
    }
    WriteFileBytes(m_dir / "app.exe", bytes);

    const FileImage image = ReadWholeFile(m_dir / "app.exe");
    ASSERT_EQ(image.nSize, static_cast<std::int64_t>(bytes.size()));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.pBytes.get()), bytes.size()), bytes);
}

TEST_F(FileOpsTest, EmptyFilesReadCopyAndReplace) {
    WriteFileBytes(m_dir / "empty.bin", "");
    WriteFileBytes(m_dir / "old.bin", "earlier contents");

    EXPECT_EQ(ReadWholeFile(m_dir / "empty.bin").nSize, 0);
    CopyWholeFile(m_dir / "empty.bin", m_dir / "old.bin");
    EXPECT_EQ(ReadFileBytes(m_dir / "old.bin"), "");
    ReplaceWholeFile(m_dir / "new.bin", nullptr, 0);
    EXPECT_EQ(ReadFileBytes(m_dir / "new.bin"), "");
    ReplaceProgram(m_dir / "empty.bin", nullptr, 0);
    EXPECT_EQ(ReadFileBytes(m_dir / "empty.bin"), "");
}

TEST_F(FileOpsTest, CopyOntoALongerFileLeavesAnExactCopy) {
    WriteFileBytes(m_dir / "source.exe", "short");
    WriteFileBytes(m_dir / "dest.exe", std::string(5000, 'L'));
    CopyWholeFile(m_dir / "source.exe", m_dir / "dest.exe");
    EXPECT_EQ(ReadFileBytes(m_dir / "dest.exe"), "short");

    CopyWholeFile(m_dir / "source.exe", m_dir / "fresh.exe");
    EXPECT_EQ(ReadFileBytes(m_dir / "fresh.exe"), "short");
}

TEST_F(FileOpsTest, ReplaceKeepsTheModeAndLeavesNoTemporary) {
    const std::string path = m_dir / "tool.exe";
    WriteFileBytes(path, std::string(300, 'o'));
    ASSERT_EQ(::chmod(path.c_str(), 0751), 0);

    ReplaceWholeFile(path, "new", 3);

    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_EQ(ModeOf(path), 0751u);
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"tool.exe"});
}

TEST_F(FileOpsTest, ReplaceARelativeNameInTheCurrentFolder) {
    const CScopedCurrentDir here(m_dir.Path());
    ReplaceWholeFile("out.dll", "bytes", 5);
    EXPECT_EQ(ReadFileBytes(m_dir / "out.dll"), "bytes");
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"out.dll"});
}

TEST_F(FileOpsTest, ReplaceANameOfTheLongestLength) {
    // No room is left in the name for a suffix; the temporary must still be creatable.
    const std::string name(NAME_MAX, 'n');
    WriteFileBytes(m_dir / name, "old");
    ReplaceWholeFile(m_dir / name, "new", 3);
    EXPECT_EQ(ReadFileBytes(m_dir / name), "new");
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{name});
}

TEST_F(FileOpsTest, AReplacedProgramHoldsTheNewBytesWithItsModeAndNoTemporaryIsLeft) {
    const std::string path = m_dir / "app.exe";
    WriteFileBytes(path, "0123456789");
    ASSERT_EQ(::chmod(path.c_str(), 0751), 0);
    ReplaceProgram(path, "ab23456789", 10);
    EXPECT_EQ(ReadFileBytes(path), "ab23456789");
    EXPECT_EQ(ModeOf(path), 0751u);
    EXPECT_EQ(FolderEntries(m_dir.Path()), std::vector<std::string>{"app.exe"});
}

TEST_F(FileOpsTest, FileExistsForFilesAndFoldersOnly) {
    WriteFileBytes(m_dir / "file.txt", "x");
    EXPECT_TRUE(FileExists(m_dir / "file.txt"));
    EXPECT_TRUE(FileExists(m_dir.Path()));
    EXPECT_FALSE(FileExists(m_dir / "missing.txt"));
    EXPECT_FALSE(FileExists(m_dir / "file.txt/inner"));
    EXPECT_FALSE(FileExists(""));
}

// ---------------------------------------------------------------------------------------------
// Real failures: each makes Linux fail the operation and checks what the user is told.

using FileOpsFailure = FileOpsTest;

TEST_F(FileOpsFailure, MissingFileIsNotFoundUnderTheNameAsGiven) {
    const CScopedCurrentDir here(m_dir.Path());
    char buffer[4];
    const std::string text = "沒有找到 missing.exe .";
    const auto cause = EFileErrorCause::FileNotFound;
    EXPECT_TRUE(RaisesFileError([&] { ReadBlock("missing.exe", buffer, 4, 0); }, cause,
                                "missing.exe", text));
    EXPECT_TRUE(RaisesFileError([&] { ReadWholeFile("missing.exe"); }, cause, "missing.exe", text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceProgram("missing.exe", "x", 1); }, cause,
                                "missing.exe", text));
    EXPECT_TRUE(RaisesFileError([&] { CopyWholeFile("missing.exe", "copy.exe"); }, cause,
                                "missing.exe", text));
    EXPECT_TRUE(FolderEntries(m_dir.Path()).empty());
}

TEST_F(FileOpsFailure, FolderInPlaceOfAFileIsSaidToBeAFolder) {
    const std::string folder = m_dir / "folder";
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    WriteFileBytes(m_dir / "source.exe", "bytes");
    char buffer[4];
    const std::string text = folder + " 是資料夾, 不是檔案.";
    const auto cause = EFileErrorCause::IsFolder;

    EXPECT_TRUE(RaisesFileError([&] { ReadWholeFile(folder); }, cause, folder, text));
    EXPECT_TRUE(RaisesFileError([&] { ReadBlock(folder, buffer, 4, 0); }, cause, folder, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceProgram(folder, "x", 1); }, cause, folder, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceWholeFile(folder, "x", 1); }, cause, folder, text));
    EXPECT_TRUE(
        RaisesFileError([&] { CopyWholeFile(m_dir / "source.exe", folder); }, cause, folder, text));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"folder", "source.exe"}));

    // A kernel folder reports a length of zero, which must not pass for an empty file.
    EXPECT_TRUE(RaisesFileError([&] { ReadWholeFile("/proc/sys"); }, cause, "/proc/sys",
                                "/proc/sys 是資料夾, 不是檔案."));
}

TEST_F(FileOpsFailure, PathThroughAFileIsABadPath) {
    const CScopedCurrentDir here(m_dir.Path());
    WriteFileBytes("plain.txt", "x");
    char buffer[4];
    const std::string name = "plain.txt/inner.exe";
    const std::string text = "plain.txt/inner.exe 包含非合法路徑.";
    const auto cause = EFileErrorCause::BadPath;
    EXPECT_TRUE(RaisesFileError([&] { ReadBlock(name, buffer, 4, 0); }, cause, name, text));
    EXPECT_TRUE(RaisesFileError([&] { WriteBlock(name, "x", 1, 0); }, cause, name, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceWholeFile(name, "x", 1); }, cause, name, text));
}

TEST_F(FileOpsFailure, NameWithANulIsABadPathNotAShorterName) {
    const CScopedCurrentDir here(m_dir.Path());
    WriteFileBytes("app.exe", "earlier image");
    const std::string name("app.exe\0.bak", 12);
    const std::string text = name + " 包含非合法路徑.";
    const auto cause = EFileErrorCause::BadPath;
    EXPECT_TRUE(RaisesFileError([&] { ReplaceProgram(name, "x", 1); }, cause, name, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceWholeFile(name, "x", 1); }, cause, name, text));
    EXPECT_FALSE(FileExists(name));
    EXPECT_EQ(ReadFileBytes("app.exe"), "earlier image");
}

TEST_F(FileOpsFailure, NameLongerThanTheLimitIsABadPath) {
    const std::string name = m_dir / std::string(NAME_MAX + 1, 'n');
    const std::string text = name + " 包含非合法路徑.";
    EXPECT_TRUE(
        RaisesFileError([&] { ReadWholeFile(name); }, EFileErrorCause::BadPath, name, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceWholeFile(name, "x", 1); }, EFileErrorCause::BadPath,
                                name, text));
    EXPECT_TRUE(FolderEntries(m_dir.Path()).empty());
}

// Devices and pipes are no files to translate or to write: refused at once, never waited on,
// never read until memory runs out, never given a backup of their own.
TEST_F(FileOpsFailure, DevicesAndPipesAreRefused) {
    const std::string fifo = m_dir / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    char buffer[4];
    for (const std::string& special :
         {std::string("/dev/full"), std::string("/dev/zero"), std::string("/dev/null"), fifo}) {
        SCOPED_TRACE(special);
        const std::string text = special + " 不是一般檔案 (裝置、管線或其他特殊檔案), 不予處理.";
        const auto cause = EFileErrorCause::NotAFile;
        EXPECT_TRUE(RaisesFileError([&] { ReadWholeFile(special); }, cause, special, text));
        EXPECT_TRUE(
            RaisesFileError([&] { ReadBlock(special, buffer, 4, 0); }, cause, special, text));
        EXPECT_TRUE(
            RaisesFileError([&] { ReplaceProgram(special, "data", 4); }, cause, special, text));
        EXPECT_TRUE(
            RaisesFileError([&] { WriteBlock(special, "data", 4, 0); }, cause, special, text));
    }
    EXPECT_FALSE(FileExists("/dev/null.bak"));
}

// Kills and reaps a child process at the end of the scope.
class CChild {
  public:
    explicit CChild(pid_t pid) : m_pid(pid) {}
    ~CChild() {
        ::kill(m_pid, SIGKILL);
        int status = 0;
        while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    CChild(const CChild&) = delete;
    CChild& operator=(const CChild&) = delete;

  private:
    pid_t m_pid;
};

TEST_F(FileOpsFailure, RunningProgramIsASharingViolation) {
    const std::string program = m_dir / "busy.exe";
    WriteFileBytes(program, ReadFileBytes("/bin/sleep"));
    ASSERT_EQ(::chmod(program.c_str(), 0755), 0);

    // The pipe closes on exec; an exec that fails sends its errno back instead.
    int ready[2];
    ASSERT_EQ(::pipe2(ready, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl(program.c_str(), program.c_str(), "60", static_cast<char*>(nullptr));
        const int error = errno;
        if (::write(ready[1], &error, sizeof(error)) < 0) {
        }
        ::_exit(127);
    }
    const CChild child(pid);
    ::close(ready[1]);
    int execError = 0;
    const ssize_t got = ::read(ready[0], &execError, sizeof(execError));
    ::close(ready[0]);
    if (got > 0) {
        GTEST_SKIP() << "cannot run a program from the temporary folder: "
                     << std::strerror(execError);
    }

    EXPECT_TRUE(RaisesFileError([&] { ReplaceProgram(program, "MZ", 2); },
                                EFileErrorCause::SharingViolation, program,
                                "當存取 " + program + " 時發生分享違反(Sharing Violation)."));
}

TEST_F(FileOpsFailure, NoDescriptorLeftIsTooManyOpenFiles) {
#if defined(VOKRA_SANITIZE)
    // UBSan tests memory through a pipe of its own, which cannot open with no descriptor left.
    GTEST_SKIP() << "the sanitizer runtime needs free descriptors of its own";
#endif
    const std::string path = m_dir / "app.exe";
    WriteFileBytes(path, "bytes");

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &saved), 0);
    std::vector<int> held;
    struct SRestore {
        const rlimit& limit;
        std::vector<int>& fds;
        ~SRestore() {
            for (const int fd : fds) {
                ::close(fd);
            }
            ::setrlimit(RLIMIT_NOFILE, &limit);
        }
    } restore{saved, held};

    rlimit low = saved;
    low.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &low), 0);
    for (int fd; (fd = ::open("/dev/null", O_RDONLY | O_CLOEXEC)) >= 0;) {
        held.push_back(fd);
    }
    ASSERT_EQ(errno, EMFILE);

    char buffer[4];
    EXPECT_TRUE(RaisesFileError([&] { ReadBlock(path, buffer, 4, 0); },
                                EFileErrorCause::TooManyOpenFiles, path,
                                path + " 無法開啟,因為已開啟太多檔案."));
}

TEST_F(FileOpsFailure, SeekBeforeTheStartIsABadSeek) {
    const std::string path = m_dir / "app.exe";
    WriteFileBytes(path, "bytes");
    char buffer[4];
    EXPECT_TRUE(RaisesFileError([&] { ReadBlock(path, buffer, 4, -2); }, EFileErrorCause::BadSeek,
                                path, " " + path + " 搜尋失敗"));
}

TEST_F(FileOpsFailure, UnreadableMemoryIsAHardwareError) {
    // The process's own memory read at address 0, which is never mapped, fails with EIO.
    char buffer[16];
    EXPECT_TRUE(RaisesFileError([&] { ReadBlock("/proc/self/mem", buffer, sizeof(buffer), 0); },
                                EFileErrorCause::HardwareIo, "/proc/self/mem",
                                "當存取 /proc/self/mem 時產生硬體輸出入錯誤."));
}

TEST_F(FileOpsFailure, FileShorterThanItsLengthIsEndOfFile) {
    // Kernel attribute files claim a page's length and hold a few bytes.
    std::string shortFile;
    for (const char* candidate : {"/sys/kernel/uevent_seqnum", "/sys/kernel/profiling",
                                  "/sys/kernel/mm/transparent_hugepage/enabled"}) {
        struct stat info {};
        if (::stat(candidate, &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::size_t>(info.st_size) > ReadFileBytes(candidate).size()) {
            shortFile = candidate;
            break;
        }
    }
    if (shortFile.empty()) {
        GTEST_SKIP() << "no kernel attribute file to read here";
    }
    EXPECT_TRUE(RaisesFileError([&] { ReadWholeFile(shortFile); }, EFileErrorCause::EndOfFile,
                                shortFile, "試圖存取超過 " + shortFile + " 之檔尾."));
}

TEST_F(FileOpsFailure, ReplaceOnAFullFileSystemKeepsTheEarlierFile) {
    const std::string small = m_dir / "small";
    ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
    const CMount mount("tmpfs", small, "tmpfs", 0, "size=64k");
    if (!mount.Mounted()) {
        GTEST_SKIP() << "mounting is not permitted here";
    }
    const CScopedCurrentDir here(small);
    WriteFileBytes("app.exe", "earlier image");
    const std::string image(1 << 20, 'x');

    EXPECT_TRUE(RaisesFileError(
        [&] { ReplaceWholeFile("app.exe", image.data(), static_cast<std::int64_t>(image.size())); },
        EFileErrorCause::DiskFull, "app.exe", "當存取 app.exe 時磁碟空間已滿."));
    EXPECT_EQ(ReadFileBytes("app.exe"), "earlier image");
    EXPECT_EQ(FolderEntries("."), std::vector<std::string>{"app.exe"});
}

TEST_F(FileOpsFailure, ReadOnlyFileSystemIsSaidToBeReadOnly) {
    const std::string locked = m_dir / "locked";
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    CMount mount("tmpfs", locked, "tmpfs", 0, "size=64k");
    if (!mount.Mounted()) {
        GTEST_SKIP() << "mounting is not permitted here";
    }
    const std::string path = locked + "/app.exe";
    WriteFileBytes(path, "earlier image");
    ASSERT_TRUE(mount.RemountReadOnly());

    const std::string text = path + " 所在的磁碟是唯讀的, 無法寫入.";
    const auto cause = EFileErrorCause::ReadOnlyDisk;
    EXPECT_TRUE(RaisesFileError([&] { WriteBlock(path, "x", 1, 0); }, cause, path, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceProgram(path, "x", 1); }, cause, path, text));
    EXPECT_TRUE(RaisesFileError([&] { ReplaceWholeFile(path, "x", 1); }, cause, path, text));
    EXPECT_EQ(ReadFileBytes(path), "earlier image");
}

TEST_F(FileOpsFailure, ReplacingAMountPointFailsAfterWritingAndCleansUp) {
    // A file mounted over the destination makes the final rename fail with EBUSY, after the
    // temporary has been written in full.
    const std::string path = m_dir / "app.exe";
    WriteFileBytes(m_dir / "cover.bin", "cover");
    WriteFileBytes(path, "earlier image");
    const CMount mount(m_dir / "cover.bin", path, nullptr, MS_BIND, nullptr);
    if (!mount.Mounted()) {
        GTEST_SKIP() << "mounting is not permitted here";
    }

    EXPECT_TRUE(RaisesFileError([&] { ReplaceWholeFile(path, "new", 3); },
                                EFileErrorCause::SharingViolation, path,
                                "當存取 " + path + " 時發生分享違反(Sharing Violation)."));
    EXPECT_EQ(ReadFileBytes(path), "cover");
    EXPECT_EQ(FolderEntries(m_dir.Path()), (std::vector<std::string>{"app.exe", "cover.bin"}));
}

}  // namespace

// Every file operation of the batch run, the translate command and the write command made to fail
// in turn, and real failures of real files: the right text, the window in the right state, the
// program files as they were or completely translated, the backups as the files were, and no
// other file touched.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>

#include "BatchPass.h"
#include "FileError.h"
#include "FileOps.h"
#include "ManualCommands.h"
#include "RecordingDisplay.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace fs = std::filesystem;

namespace {

class CFakeManualWindow : public IManualWindow {
  public:
    int BackupExtIndex() const override { return 0; }
    int TranslationExtIndex() const override { return 0; }
    void SetGroupCaptions(const char*, const char*) override {}
    void OpenEditor(const std::string&) override {}
};

// The file operations of a command as they happened, and the one to fail.
struct Operation {
    std::string name;
    std::string path;
    bool bWhileRunning;  // inside a pass: after its buttons switched to the running state
};
std::vector<Operation> g_operations;
int g_nFailAt = -1;
int g_nError = 0;
const CRecordingDisplay* g_pDisplay = nullptr;

int RecordAndFail(const char* operation, const std::string& path) {
    const bool bRunning =
        g_pDisplay != nullptr && !g_pDisplay->running.empty() && g_pDisplay->running.back();
    g_operations.push_back({operation, path, bRunning});
    return static_cast<int>(g_operations.size()) - 1 == g_nFailAt ? g_nError : 0;
}

using Snapshot = std::map<std::string, std::string>;  // relative path -> bytes

Snapshot TakeSnapshot(const std::string& root) {
    Snapshot files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file()) {
            files[fs::relative(entry.path(), root).string()] = ReadFileBytes(entry.path());
        }
    }
    return files;
}

enum class ECommand { Batch, Translate, Write };

const std::string kEnd(2, '\0');

// Two program files in files/, the start-up folder start/ with the companion patcher, and for the
// write command the two translation text files.
class Commands : public ::testing::TestWithParam<ECommand> {
  protected:
    Commands() : display(state) {
        SetUpFiles();
        ApplyStartupDefaults(state);
        state.m_bToTraditional = 1;
        state.m_bOpenInNotepad = 0;
        state.m_bMakePatch = 1;
        CopyText(state.m_szProgramDir, dir / "start");
        engine.m_strMainDict = PreparedDictionary({"[OPEN=" + kOpenZh, "[FILE=" + kFileZh});
        for (std::size_t i = 0; i < 2; ++i) {
            state.m_astrFiles[i] = dir / kPrograms[i];
            state.m_astrManualFiles[i] = dir / kPrograms[i];
        }
        state.m_nFileCount = 2;
        state.m_nManualFileCount = 2;
    }
    ~Commands() override {
        SetFileFaultHook(nullptr);
        SetMessagePump(nullptr);
        g_pDisplay = nullptr;
    }

    void SetUpFiles() {
        // The folders' contents go, not the folders: files/ may be a mount point.
        for (const char* folder : {"files", "start"}) {
            fs::create_directories(dir / folder);
            for (const auto& entry : fs::directory_iterator(dir / folder)) {
                fs::remove_all(entry.path());
            }
        }
        WriteFileBytes(dir / "start/Mender.exe", "MZ the patcher");
        WriteFileBytes(dir / kPrograms[0], Units("Open File") + kEnd + Units("Open") + kEnd);
        WriteFileBytes(dir / kPrograms[1], Units("File") + kEnd);
        WriteFileBytes(dir / "files/a.TXT",
                       "[Open File=" + kFileZh + "\r\n[Open=" + kOpenZh + "\r\n");
        WriteFileBytes(dir / "files/b.TXT", "[File=" + kOpenZh + "\r\n");
    }

    // Runs the command; returns the text of the file error that ended it, or "".
    std::string Run(ECommand command) {
        CScopedCurrentDir here(dir / "files");
        state.m_bStopped = 1;
        state.m_bBusy = 0;
        display.running.clear();
        g_pDisplay = &display;
        try {
            switch (command) {
                case ECommand::Batch:
                    RunBatch(state, engine, display);
                    break;
                case ECommand::Translate:
                    RunTranslateCommand(state, engine, display, window);
                    break;
                case ECommand::Write:
                    RunWriteCommand(state, engine, display, window, buffers);
                    break;
            }
        } catch (const CFileError& error) {
            return error.Text();
        }
        return "";
    }

    bool Idle() const {
        return state.m_bStopped == 1 && state.m_bBusy == 0 &&
               (display.running.empty() || !display.running.back());
    }
    bool Running() const {
        return state.m_bStopped == 0 && state.m_bBusy == 1 && !display.running.empty() &&
               display.running.back();
    }

    // What may be found after a failure, given the files before the command and after a
    // complete run of it.
    void ExpectNothingLost(ECommand command, const Snapshot& before, const Snapshot& done,
                           const std::string& where) {
        const Snapshot now = TakeSnapshot(dir.Path());
        for (const auto& [name, bytes] : now) {
            SCOPED_TRACE(where + ", " + name);
            const bool bProgram = name == kPrograms[0] || name == kPrograms[1];
            const auto original = before.find(name);
            const auto completed = done.find(name);
            if (bProgram) {
                EXPECT_TRUE(bytes == original->second || bytes == completed->second);
            } else if (completed == done.end()) {
                ADD_FAILURE() << "a file no complete run leaves";
            } else if (command == ECommand::Translate && name.ends_with(".TXT") &&
                       name.starts_with("files/")) {
                // The listing is as it was, or keeps what was written before the failure.
                EXPECT_TRUE((original != before.end() && bytes == original->second) ||
                            completed->second.substr(0, bytes.size()) == bytes);
            } else if (original != before.end() && original->second != completed->second) {
                EXPECT_TRUE(bytes == original->second || bytes == completed->second);
            } else {
                EXPECT_EQ(bytes, completed->second);  // backups, copies: whole or not there
            }
        }
    }

    static constexpr const char* kPrograms[] = {"files/a.exe", "files/b.exe"};

    CTempDir dir;
    AppState state;
    CTranslationEngine engine;
    CRecordingDisplay display;
    CFakeManualWindow window;
    CWriteBuffers buffers;
};

TEST_P(Commands, FailureAtEveryFileOperationLosesNothing) {
    const ECommand command = GetParam();
    const Snapshot before = TakeSnapshot(dir.Path());
    g_operations.clear();
    g_nFailAt = -1;
    SetFileFaultHook(RecordAndFail);
    ASSERT_EQ(Run(command), "");
    const Snapshot done = TakeSnapshot(dir.Path());
    const std::vector<Operation> operations = g_operations;
    ASSERT_GT(operations.size(), 10u);
    RecordProperty("operations", static_cast<int>(operations.size()));

    for (int error : {ENOSPC, EIO, EACCES}) {
        for (std::size_t i = 0; i < operations.size(); ++i) {
            const Operation& failing = operations[i];
            // Reading the process's file-creation mask has a fallback of its own.
            if (failing.path == "/proc/self/status") {
                continue;
            }
            const std::string where = "operation " + std::to_string(i) + " (" + failing.name + " " +
                                      failing.path + "), errno " + std::to_string(error);
            SCOPED_TRACE(where);
            SetFileFaultHook(nullptr);
            SetUpFiles();
            SetFileFaultHook(RecordAndFail);
            g_operations.clear();
            g_nFailAt = static_cast<int>(i);
            g_nError = error;

            EXPECT_EQ(Run(command), CFileError(CauseFromErrno(error), failing.path).Text());
            // Inside a pass the window keeps its running state until Stop; before it, idle.
            EXPECT_TRUE(failing.bWhileRunning ? Running() : Idle());
            ExpectNothingLost(command, before, done, where);
        }
    }
}

// The program file is replaced by another one while its pass runs.
std::function<void()> g_duringPass;
int PumpDuringPass() {
    if (g_duringPass) {
        g_duringPass();
        g_duringPass = nullptr;
    }
    return 1;
}

// Only the commands that write the program file.
class WritingCommands : public Commands {};

TEST_P(WritingCommands, ProgramFileReplacedDuringThePassIsLeftAlone) {
    const ECommand command = GetParam();
    const std::string original = ReadFileBytes(dir / kPrograms[0]);
    const std::string replacement(original.size(), 'R');
    g_duringPass = [&] {
        WriteFileBytes(dir / "files/other", replacement);
        fs::rename(dir / "files/other", dir / kPrograms[0]);
    };
    SetMessagePump(PumpDuringPass, 1, 0);
    EXPECT_EQ(Run(command),
              "當存取 " + (dir / kPrograms[0]) + " 時發生分享違反(Sharing Violation).");
    EXPECT_EQ(ReadFileBytes(dir / kPrograms[0]), replacement);
    EXPECT_EQ(ReadFileBytes(dir / (command == ECommand::Batch ? "files/a.bak" : "files/a.BAK")),
              original);
    EXPECT_TRUE(Running());
}

std::string CommandName(const ::testing::TestParamInfo<ECommand>& info) {
    return info.param == ECommand::Batch       ? "Batch"
           : info.param == ECommand::Translate ? "Translate"
                                               : "Write";
}

INSTANTIATE_TEST_SUITE_P(FaultInjection, Commands,
                         ::testing::Values(ECommand::Batch, ECommand::Translate, ECommand::Write),
                         CommandName);
INSTANTIATE_TEST_SUITE_P(FaultInjection, WritingCommands,
                         ::testing::Values(ECommand::Batch, ECommand::Write), CommandName);

// --- Real failures of real files ---------------------------------------------------------------

class RealFailures : public Commands {};

// A running copy of a program: writing to it fails with ETXTBSY.
class CRunningProgram {
  public:
    explicit CRunningProgram(const std::string& path) {
        fs::copy_file("/bin/sleep", path, fs::copy_options::overwrite_existing);
        m_pid = fork();
        if (m_pid == 0) {
            execl(path.c_str(), path.c_str(), "30", static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(200000);
    }
    ~CRunningProgram() {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }

  private:
    pid_t m_pid;
};

TEST_F(RealFailures, BatchRunOverFilesThatCannotBeTranslated) {
    const std::string a = dir / kPrograms[0];
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string expected;
    };
    const std::string longName = std::string(250, 'n');
    const Case cases[] = {
        {"missing", [&] { fs::remove(a); }, "沒有找到 " + a + " ."},
        {"folder",
         [&] {
             fs::remove(a);
             fs::create_directory(a);
         },
         a + " 是資料夾, 不是檔案."},
        {"path through a file", [&] { state.m_astrFiles[0] = a + "/x.exe"; },
         (a + "/x.exe") + " 包含非合法路徑."},
        {"backup name too long",
         [&] {
             CopyText(state.m_szBackupExt, "." + std::string(20, 'b'));
             WriteFileBytes(dir / ("files/" + longName + ".exe"), Units("Open") + kEnd);
             state.m_astrFiles[0] = dir / ("files/" + longName + ".exe");
         },
         dir / ("files/" + longName + "." + std::string(20, 'b')) + " 包含非合法路徑."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUpFiles();
        ApplyStartupDefaults(state);
        state.m_astrFiles[0] = a;
        c.arrange();
        const Snapshot before = TakeSnapshot(dir.Path());
        EXPECT_EQ(Run(ECommand::Batch), c.expected);
        EXPECT_TRUE(Idle());
        EXPECT_EQ(TakeSnapshot(dir.Path()), before);  // nothing written, b.exe not reached
    }
}

// A program that is running cannot be changed: refused before anything is written.
TEST_F(RealFailures, ProgramFileInUseIsASharingViolationBeforeAnythingIsWritten) {
    for (ECommand command : {ECommand::Batch, ECommand::Write}) {
        SetUpFiles();
        const std::string a = dir / kPrograms[0];
        const CRunningProgram running(a);
        const Snapshot before = TakeSnapshot(dir.Path());
        EXPECT_EQ(Run(command), "當存取 " + a + " 時發生分享違反(Sharing Violation).");
        EXPECT_TRUE(Idle());
        EXPECT_EQ(TakeSnapshot(dir.Path()), before);
    }
}

// A small file system of our own: full, or read-only. Skipped where mounting is not allowed.
class CScratchMount {
  public:
    CScratchMount(const std::string& where, const char* options) : m_strWhere(where) {
        fs::create_directories(where);
        m_bMounted = mount("tmpfs", where.c_str(), "tmpfs", 0, options) == 0;
    }
    ~CScratchMount() {
        if (m_bMounted) {
            umount2(m_strWhere.c_str(), MNT_DETACH);
        }
    }
    bool Mounted() const { return m_bMounted; }
    void MakeReadOnly() {
        m_bMounted =
            mount(nullptr, m_strWhere.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    std::string m_strWhere;
    bool m_bMounted = false;
};

TEST_F(RealFailures, FullAndReadOnlyFileSystems) {
    for (ECommand command : {ECommand::Batch, ECommand::Translate, ECommand::Write}) {
        SCOPED_TRACE(static_cast<int>(command));
        // What a complete run leaves, on an ordinary folder.
        SetUpFiles();
        if (command == ECommand::Translate) {
            fs::remove(dir / "files/a.TXT");
            fs::remove(dir / "files/b.TXT");
        }
        const Snapshot before = TakeSnapshot(dir.Path());
        ASSERT_EQ(Run(command), "");
        const Snapshot done = TakeSnapshot(dir.Path());
        for (const auto& entry : fs::directory_iterator(dir / "files")) {
            fs::remove_all(entry.path());
        }

        // Full: the files fill the file system, so no backup or listing can be written.
        {
            CScratchMount full(dir / "files", "size=64k");
            if (!full.Mounted()) {
                GTEST_SKIP() << "mounting is not permitted here";
            }
            SetUpFiles();
            if (command == ECommand::Translate) {
                fs::remove(dir / "files/a.TXT");
                fs::remove(dir / "files/b.TXT");
            }
            {
                std::ofstream filler(dir / "files/filler", std::ios::binary);
                const std::string block(4096, 'f');
                while (filler.write(block.data(), static_cast<std::streamsize>(block.size()))) {
                }
            }
            const std::string text = Run(command);
            EXPECT_NE(text.find("磁碟空間已滿"), std::string::npos) << text;
            fs::remove(dir / "files/filler");
            ExpectNothingLost(command, before, done, "full");
        }
        // Read-only: nothing can be created beside the program files.
        {
            CScratchMount readOnly(dir / "files", "size=1m");
            SetUpFiles();
            readOnly.MakeReadOnly();
            const Snapshot unchanged = TakeSnapshot(dir.Path());
            const std::string text = Run(command);
            EXPECT_NE(text.find("所在的磁碟是唯讀的"), std::string::npos) << text;
            EXPECT_TRUE(command == ECommand::Translate ? Running() : Idle());
            EXPECT_EQ(TakeSnapshot(dir.Path()), unchanged);
        }
    }
}

// --- Large and odd files -----------------------------------------------------------------------

class OddFiles : public Commands {};

TEST_F(OddFiles, ZeroOneBlanksAndOneLongRun) {
    const std::string blanks = Units(std::string(500, ' '));
    const std::string longRun = Units("A" + std::string(1999999, 'b'));
    for (const std::string& content : {std::string(), std::string("x"), blanks, longRun}) {
        for (ECommand command : {ECommand::Batch, ECommand::Translate, ECommand::Write}) {
            SCOPED_TRACE(std::to_string(content.size()) + " bytes");
            SetUpFiles();
            WriteFileBytes(dir / kPrograms[0], content);
            EXPECT_EQ(Run(command), "");
            EXPECT_TRUE(Idle());
            EXPECT_EQ(ReadFileBytes(dir / kPrograms[0]), content);
        }
    }
}

TEST_F(OddFiles, ImageTooLargeForTheMemoryIsRefusedAndNothingChanges) {
#if defined(VOKRA_SANITIZE)
    GTEST_SKIP() << "the sanitizers' own memory does not live under a capped address space";
#endif
    // A child with its address space capped at 512 MiB meets a 1 GiB sparse program file.
    SetUpFiles();
    const std::string a = dir / kPrograms[0];
    {
        std::ofstream big(a, std::ios::binary | std::ios::trunc);
        big.seekp((std::int64_t{1} << 30) - 1);
        big.put('\0');
    }
    const Snapshot before = TakeSnapshot(dir / "start");
    const pid_t child = fork();
    if (child == 0) {
        rlimit limit{std::size_t{512} << 20, std::size_t{512} << 20};
        setrlimit(RLIMIT_AS, &limit);
        CScopedCurrentDir here(dir / "files");
        try {
            RunBatch(state, engine, display);
        } catch (const std::exception& failure) {
            _exit(FailureText(failure) == "記憶體不足." && Idle() ? 0 : 1);
        }
        _exit(2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_FALSE(fs::exists(dir / "files/a.bak"));
    EXPECT_EQ(fs::file_size(a), std::uintmax_t{1} << 30);
    EXPECT_EQ(TakeSnapshot(dir / "start"), before);
}

// How much memory and disk the machine has to spare, in bytes.
std::int64_t AvailableMemory() {
    std::ifstream info("/proc/meminfo");
    std::string key;
    std::int64_t kib = 0;
    while (info >> key >> kib) {
        if (key == "MemAvailable:") {
            return kib * 1024;
        }
        info.ignore(256, '\n');
    }
    return 0;
}

TEST_F(OddFiles, ThreeGibibyteFileWithTextBeyondTwoGibibytes) {
#if defined(VOKRA_SANITIZE)
    GTEST_SKIP() << "3 GiB under the sanitizers would take many minutes; the normal build runs it";
#endif
    // In memory, where writing 3 GiB twice takes seconds rather than minutes: the image, the
    // backup and the file itself.
    constexpr std::int64_t kSize = std::int64_t{3} << 30;
    const fs::path shm = "/dev/shm";
    if (AvailableMemory() < 4 * kSize || !fs::is_directory(shm) ||
        static_cast<std::int64_t>(fs::space(shm).available) < 3 * kSize) {
        GTEST_SKIP() << "not enough memory for a 3 GiB file";
    }
    const fs::path folder = shm / ("vokra-large-" + std::to_string(getpid()));
    fs::create_directories(folder);
    struct Cleanup {
        fs::path folder;
        ~Cleanup() { fs::remove_all(folder); }
    } cleanup{folder};
    const std::string big = folder / "big.exe";
    const std::int64_t offsets[] = {0, (std::int64_t{1} << 31) + 2, kSize - 20};
    {
        std::ofstream out(big, std::ios::binary | std::ios::trunc);
        for (std::int64_t offset : offsets) {
            out.seekp(offset);
            const std::string text = Units("Open") + kEnd;
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
        }
        out.seekp(kSize - 1);
        out.put('\0');
    }
    state.m_astrFiles[0] = big;
    state.m_nFileCount = 1;
    {
        CScopedCurrentDir here(folder);
        RunBatch(state, engine, display);
    }
    EXPECT_EQ(state.m_nTranslatedCount, 3);
    std::ifstream result(big, std::ios::binary);
    for (std::int64_t offset : offsets) {
        result.seekg(offset);
        char unit[8];
        result.read(unit, 8);
        EXPECT_EQ(std::string(unit, 8), std::string("\x8B\x95\x5F\x55\x20\x00\x20\x00", 8))
            << offset;
    }
    EXPECT_EQ(fs::file_size(big), static_cast<std::uintmax_t>(kSize));
    EXPECT_EQ(fs::file_size(folder / "big.bak"), static_cast<std::uintmax_t>(kSize));
}

}  // namespace

// Every command that writes a user's file, killed in the middle: at each file operation it makes
// (through the file layer's fault hook, in a child process that kills itself there), and at random
// moments (the real programs, killed from outside). After every kill the program file, dictionary
// or listing is either entirely as before or entirely the result, the original is kept in a
// backup whenever the program file changed, and nothing else is left but recognisable temporaries;
// the next run then completes, removes them and keeps the original.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "BatchPass.h"
#include "DictTool.h"
#include "FileOps.h"
#include "ManualCommands.h"
#include "Mender.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

using Snapshot = std::map<std::string, std::string>;  // name -> bytes

Snapshot TakeSnapshot(const std::string& folder) {
    Snapshot files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            files[entry.path().filename().string()] = ReadFileBytes(entry.path());
        }
    }
    return files;
}

bool IsTemporary(const std::string& name) {
    static const std::regex kTemporary(R"(.*\.vokra-[A-Za-z0-9]{6})");
    return std::regex_match(name, kTemporary);
}

const std::string kEnd(2, '\0');

// A program file with texts the dictionaries and listings below translate.
std::string Program(std::size_t padding = 64) {
    return std::string("MZ\x90\0", 4) + Units("Open") + kEnd + std::string(padding, '\x90') +
           Units("Open File") + kEnd + Units("Cancel") + kEnd;
}

class CNoWindow : public IManualWindow {
  public:
    int BackupExtIndex() const override { return 0; }
    int TranslationExtIndex() const override { return 0; }
    void SetGroupCaptions(const char*, const char*) override {}
    void OpenEditor(const std::string&) override {}
};

// A file a command changes, and where its original goes ("" when there is no backup).
struct Target {
    std::string strName;
    std::string strBackup;
};

// One command that writes: the files it starts from, how it runs in this process, and the files
// of the user's it changes.
struct Command {
    std::string strName;
    std::function<void(const std::string& folder)> arrange;
    std::function<void(const std::string& folder)> run;
    std::vector<Target> targets;
};

std::vector<Command> Commands() {
    const std::string listing = "[Open=" + kOpenZh + "\r\n[Cancel=" + kFileZh + "\r\n";
    const auto dictionary = [] {
        return PreparedDictionary({"[OPEN=" + kOpenZh, "[FILE=" + kFileZh, "[CANCEL=" + kSaveZh});
    };
    return {
        {"batch",
         [](const std::string& folder) { WriteFileBytes(folder + "/app.exe", Program()); },
         [dictionary](const std::string& folder) {
             auto state = std::make_unique<AppState>();
             auto engine = std::make_unique<CTranslationEngine>();
             ApplyStartupDefaults(*state);
             engine->m_strMainDict = dictionary();
             state->m_astrFiles[0] = folder + "/app.exe";
             state->m_nFileCount = 1;
             CSilentDisplay display;
             RunBatch(*state, *engine, display);
         },
         {{"app.exe", "app.bak"}}},
        {"batch of two, put in place together",
         [](const std::string& folder) {
             WriteFileBytes(folder + "/app.exe", Program());
             WriteFileBytes(folder + "/two.exe", Program(8));
         },
         [dictionary](const std::string& folder) {
             auto state = std::make_unique<AppState>();
             auto engine = std::make_unique<CTranslationEngine>();
             ApplyStartupDefaults(*state);
             engine->m_strMainDict = dictionary();
             CSilentDisplay display;
             CCommitGroup group;
             FileDriverOptions options;
             options.pGroup = &group;
             state->m_nFileCount = 1;
             state->m_astrFiles[0] = folder + "/app.exe";
             RunBatch(*state, *engine, display, options);
             // The first put in place beside the second's pass, as vokra-batch does.
             group.CommitBeside();
             state->m_astrFiles[0] = folder + "/two.exe";
             RunBatch(*state, *engine, display, options);
             group.Commit();
         },
         {{"app.exe", "app.bak"}, {"two.exe", "two.bak"}}},
        {"batch of a large file, written beside the walk",
         [](const std::string& folder) {
             // Texts every MiB, so that the replacement is written in pieces as the walk goes.
             std::string program = Program();
             for (int mib = 0; mib < 12; ++mib) {
                 program += std::string(std::size_t{1} << 20, '\x90') + Units("Open") + kEnd;
             }
             WriteFileBytes(folder + "/big.exe", program);
         },
         [dictionary](const std::string& folder) {
             auto state = std::make_unique<AppState>();
             auto engine = std::make_unique<CTranslationEngine>();
             ApplyStartupDefaults(*state);
             engine->m_strMainDict = dictionary();
             state->m_astrFiles[0] = folder + "/big.exe";
             state->m_nFileCount = 1;
             CSilentDisplay display;
             RunBatch(*state, *engine, display);
         },
         {{"big.exe", "big.bak"}}},
        {"write",
         [listing](const std::string& folder) {
             WriteFileBytes(folder + "/app.exe", Program());
             WriteFileBytes(folder + "/app.TXT", listing);
         },
         [](const std::string& folder) {
             auto state = std::make_unique<AppState>();
             auto engine = std::make_unique<CTranslationEngine>();
             ApplyStartupDefaults(*state);
             state->m_astrManualFiles[0] = folder + "/app.exe";
             state->m_nManualFileCount = 1;
             CSilentDisplay display;
             CNoWindow window;
             CWriteBuffers buffers;
             RunWriteCommand(*state, *engine, display, window, buffers);
         },
         {{"app.exe", "app.BAK"}}},
        {"Mender",
         [listing](const std::string& folder) {
             WriteFileBytes(folder + "/app.exe", Program());
             WriteFileBytes(folder + "/app.txt", listing);
         },
         [](const std::string& folder) {
             std::FILE* none = std::fopen("/dev/null", "w");
             mender::RunMender({folder + "/app.txt", folder + "/app.exe"}, none, none);
             std::fclose(none);
         },
         {{"app.exe", "app.BAK"}}},
        {"vokra-dict -o",
         [](const std::string& folder) {
             WriteFileBytes(folder + "/words.txt", "OPEN=開啟\nFILE=檔案\nSAVE=儲存\n");
             WriteFileBytes(folder + "/message.txt", "[OLD=" + kSaveZh + "\r\n");
         },
         [](const std::string& folder) {
             std::string output = folder + "/message.txt";
             std::string input = folder + "/words.txt";
             char name[] = "vokra-dict";
             char option[] = "-o";
             char* argv[] = {name, option, output.data(), input.data(), nullptr};
             RunDictTool(4, argv);
         },
         {{"message.txt", ""}}},
    };
}

// The operations of the run being killed: the child counts them (from the walk's thread and from
// the one writing beside it) and dies at one of them.
std::atomic<int> g_nOperation = 0;
int g_nKillAt = -1;
int KillAtOperation(const char*, const std::string&) {
    if (g_nOperation++ == g_nKillAt) {
        ::kill(::getpid(), SIGKILL);
    }
    return 0;
}
int CountOperation(const char*, const std::string&) {
    ++g_nOperation;
    return 0;
}

// Runs `body` in a child process; returns how it ended (its wait status).
int InChild(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        body();
        ::_exit(0);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

class CrashConsistency : public ::testing::TestWithParam<int> {
  protected:
    const Command& TheCommand() {
        static const std::vector<Command> commands = Commands();
        return commands[static_cast<std::size_t>(GetParam())];
    }

    void Arrange() {
        fs::remove_all(folder);
        fs::create_directories(folder);
        TheCommand().arrange(folder);
    }

    // The invariant after a kill: the target whole-old or whole-new, the original in the backup
    // whenever the target changed, every other file as before or as a complete run leaves it, and
    // nothing else but temporaries.
    void ExpectConsistent(const Snapshot& before, const Snapshot& done, const std::string& where) {
        SCOPED_TRACE(where);
        const Command& command = TheCommand();
        const Snapshot now = TakeSnapshot(folder);
        const auto isTarget = [&command](const std::string& name) {
            return std::any_of(command.targets.begin(), command.targets.end(),
                               [&name](const Target& target) { return target.strName == name; });
        };
        for (const auto& [name, bytes] : now) {
            SCOPED_TRACE(name);
            if (IsTemporary(name)) {
                continue;
            }
            const auto earlier = before.find(name);
            const auto complete = done.find(name);
            if (complete == done.end() && earlier == before.end()) {
                ADD_FAILURE() << "a file no run leaves";
            } else if (isTarget(name)) {
                EXPECT_TRUE(bytes == earlier->second || bytes == complete->second);
            } else if (earlier != before.end()) {
                EXPECT_EQ(bytes, earlier->second);
            } else {
                EXPECT_EQ(bytes, complete->second);  // a backup is whole or not there
            }
        }
        for (const Target& target : command.targets) {
            if (!target.strBackup.empty() && now.at(target.strName) != before.at(target.strName)) {
                ASSERT_TRUE(now.count(target.strBackup) == 1) << "changed without a backup";
                EXPECT_EQ(now.at(target.strBackup), before.at(target.strName));
            }
        }
    }

    // A run after the kill completes: the result as a complete first run leaves it, the original
    // kept, the temporaries gone.
    void ExpectTheNextRunCompletes(const Snapshot& before, const Snapshot& done) {
        const Command& command = TheCommand();
        const int status = InChild([&] { command.run(folder); });
        ASSERT_TRUE(WIFEXITED(status));
        const Snapshot now = TakeSnapshot(folder);
        for (const auto& [name, bytes] : now) {
            EXPECT_FALSE(IsTemporary(name)) << name;
        }
        for (const Target& target : command.targets) {
            EXPECT_EQ(now.at(target.strName), done.at(target.strName));
            if (!target.strBackup.empty()) {
                EXPECT_EQ(now.at(target.strBackup), before.at(target.strName));
            }
        }
    }

    CTempDir dir;
    std::string folder = dir / "work";
};

TEST_P(CrashConsistency, KilledAtEveryFileOperation) {
    const Command& command = TheCommand();
    Arrange();
    const Snapshot before = TakeSnapshot(folder);
    g_nOperation = 0;
    SetFileFaultHook(CountOperation);
    command.run(folder);
    SetFileFaultHook(nullptr);
    const int operations = g_nOperation;
    const Snapshot done = TakeSnapshot(folder);
    for (const Target& target : command.targets) {
        ASSERT_NE(done.at(target.strName), before.at(target.strName));
    }
    ASSERT_GT(operations, 5);

    for (int kill = 0; kill < operations; ++kill) {
        Arrange();
        const int status = InChild([&] {
            g_nOperation = 0;
            g_nKillAt = kill;
            SetFileFaultHook(KillAtOperation);
            command.run(folder);
        });
        const std::string where =
            "killed at operation " + std::to_string(kill) + " of " + std::to_string(operations);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << where;
        ExpectConsistent(before, done, where);
        ExpectTheNextRunCompletes(before, done);
    }
    RecordProperty("kills", operations);
}

std::string CommandName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"Batch", "BatchInOneCommit", "BatchOfALargeFile",
                                         "Write", "Mender",           "DictOutput"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Commands, CrashConsistency, ::testing::Range(0, 6), CommandName);

// --- The real programs, killed from outside at random moments --------------------------------

struct RealProgram {
    const char* szName;
    std::function<void(const std::string& folder)> arrange;
    std::string strCommandLine;  // run in the folder
    std::string strTarget;
    std::string strBackup;
};

TEST(CrashConsistencyOfThePrograms, KilledAtRandomMoments) {
    // Large enough for a run to take a while, so that kills land inside it.
    const std::string large = Program(std::size_t{24} << 20);
    std::string words;
    for (int i = 0; i < 60000; ++i) {
        words += "WORD" + std::to_string(i) + "=開啟\n";
    }
    const std::vector<RealProgram> programs = {
        {"vokra-batch",
         [&](const std::string& folder) {
             WriteFileBytes(folder + "/app.exe", large);
             WriteFileBytes(folder + "/message.txt", "[OPEN=" + kOpenZh + "\r\n");
         },
         "'" VOKRA_BATCH "' -q -d . app.exe", "app.exe", "app.bak"},
        {"vokra-mender",
         [&](const std::string& folder) {
             WriteFileBytes(folder + "/app.exe", large);
             WriteFileBytes(folder + "/app.txt", "[Open=" + kOpenZh + "\r\n");
         },
         "'" VOKRA_MENDER "' app.txt app.exe", "app.exe", "app.BAK"},
        {"vokra-dict",
         [&](const std::string& folder) {
             WriteFileBytes(folder + "/words.txt", words);
             WriteFileBytes(folder + "/message.txt", "[OLD=" + kSaveZh + "\r\n");
         },
         "'" VOKRA_DICT "' -o message.txt words.txt", "message.txt", ""},
    };
    CTempDir dir;
    const std::string folder = dir / "work";
    std::mt19937 rng(14);
    for (const RealProgram& program : programs) {
        SCOPED_TRACE(program.szName);
        // How long a whole run takes here, and what it leaves.
        fs::remove_all(folder);
        fs::create_directories(folder);
        program.arrange(folder);
        const Snapshot before = TakeSnapshot(folder);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_EQ(RunCommand(folder, program.strCommandLine, dir).status, 0);
        const auto length = std::chrono::steady_clock::now() - start;
        const Snapshot done = TakeSnapshot(folder);

        int changed = 0;
        for (int round = 0; round < 25; ++round) {
            fs::remove_all(folder);
            fs::create_directories(folder);
            program.arrange(folder);
            const pid_t pid = ::fork();
            if (pid == 0) {
                ::execl(
                    "/bin/sh", "sh", "-c",
                    ("cd '" + folder + "' && exec " + program.strCommandLine + " >/dev/null 2>&1")
                        .c_str(),
                    static_cast<char*>(nullptr));
                ::_exit(127);
            }
            // Anywhere in the run, its last moments included.
            std::this_thread::sleep_for(length * (rng() % 1300) / 1000);
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);

            const Snapshot now = TakeSnapshot(folder);
            SCOPED_TRACE("round " + std::to_string(round));
            for (const auto& [name, bytes] : now) {
                if (IsTemporary(name)) {
                    continue;
                }
                const auto earlier = before.find(name);
                const auto complete = done.find(name);
                ASSERT_TRUE(earlier != before.end() || complete != done.end()) << name;
                EXPECT_TRUE((earlier != before.end() && bytes == earlier->second) ||
                            (complete != done.end() && bytes == complete->second))
                    << name;
            }
            if (now.at(program.strTarget) != before.at(program.strTarget)) {
                ++changed;
                if (!program.strBackup.empty()) {
                    EXPECT_EQ(now.at(program.strBackup), before.at(program.strTarget));
                }
            }
        }
        RecordProperty(std::string(program.szName) + " kills that left the result",
                       std::to_string(changed));
    }
}

// Interrupted (Ctrl+C) or asked to end (SIGTERM) in the middle: the temporaries being written go
// with the program, and the file is as it was or translated.
TEST(CrashConsistencyOfThePrograms, InterruptedRunsLeaveNoTemporaries) {
    CTempDir dir;
    const std::string folder = dir / "work";
    const std::string large = Program(std::size_t{24} << 20);
    std::mt19937 rng(2);
    for (const int signal : {SIGINT, SIGTERM}) {
        for (int round = 0; round < 6; ++round) {
            SCOPED_TRACE("signal " + std::to_string(signal) + ", round " + std::to_string(round));
            fs::remove_all(folder);
            fs::create_directories(folder);
            WriteFileBytes(folder + "/app.exe", large);
            WriteFileBytes(folder + "/message.txt", "[OPEN=" + kOpenZh + "\r\n");
            const pid_t pid = ::fork();
            if (pid == 0) {
                if (::chdir(folder.c_str()) != 0) {
                    ::_exit(127);
                }
                ::execl(VOKRA_BATCH, VOKRA_BATCH, "-q", "-d", ".", "app.exe",
                        static_cast<char*>(nullptr));
                ::_exit(127);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50 + rng() % 400));
            ::kill(pid, signal);
            int status = 0;
            ::waitpid(pid, &status, 0);
            for (const auto& [name, bytes] : TakeSnapshot(folder)) {
                EXPECT_FALSE(IsTemporary(name)) << name;
            }
            const std::string now = ReadFileBytes(folder + "/app.exe");
            EXPECT_EQ(now.size(), large.size());
            if (now != large) {
                EXPECT_EQ(ReadFileBytes(folder + "/app.bak"), large);
            }
        }
    }
}

}  // namespace

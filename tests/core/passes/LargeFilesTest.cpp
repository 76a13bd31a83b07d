// Large program files: the image is mapped from the system's cache instead of read, the
// replacement is written behind the walk from a second thread and synced as it goes. The result
// must be, byte for byte, what the same pass lays into an image held in memory, wherever the runs
// fall; a failure or a Stop midway must leave the file as it was and nothing beside it.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <thread>

#include "BatchPass.h"
#include "FileError.h"
#include "FileOps.h"
#include "RecordingDisplay.h"
#include "ReplacementStream.h"
#include "Startup.h"
#include "TestBytes.h"
#include "TestFiles.h"
#include "Timing.h"

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMiB = std::size_t{1} << 20;
const std::string kEnd(2, '\0');

// `size` bytes in which no run starts, with "Open" and "File" runs (each ended by a 0 unit)
// at the even offsets `places`.
std::string LargeImage(std::size_t size, const std::vector<std::size_t>& places) {
    std::string bytes(size, '\xCC');
    for (std::size_t i = 0; i < places.size(); ++i) {
        const std::string run = Units(i % 2 == 0 ? "Open" : "File") + kEnd;
        bytes.replace(places[i], run.size(), run);
    }
    return bytes;
}

// Runs close together (joined into one write), far apart, across every 4 MiB step of the
// written stretches and at the very end.
std::vector<std::size_t> RunPlaces(std::size_t size) {
    std::vector<std::size_t> places;
    for (std::size_t at = 1000; at + 64 < size; at += 9000) {
        places.push_back(at);
        places.push_back(at + 40);
    }
    for (std::size_t step = 4 * kMiB; step < size; step += 4 * kMiB) {
        places.push_back(step - 6);
    }
    places.push_back(size - 12);
    std::sort(places.begin(), places.end());
    places.erase(std::unique(places.begin(), places.end(),
                             [](std::size_t a, std::size_t b) { return b - a < 12; }),
                 places.end());
    return places;
}

std::thread::id g_testThread;
const char* g_szFailing = "";
std::atomic<int> g_nError{0};
std::atomic<bool> g_bFailed{false};

// Fails the first operation named g_szFailing made beside the walk, by another thread.
int FailOperationBesideTheWalk(const char* operation, const std::string&) {
    if (std::strcmp(operation, g_szFailing) != 0 || std::this_thread::get_id() == g_testThread ||
        g_bFailed.exchange(true)) {
        return 0;
    }
    return g_nError;
}

class LargeFiles : public ::testing::Test {
  protected:
    LargeFiles() : display(state) {
        ApplyStartupDefaults(state);
        engine.m_strMainDict = PreparedDictionary({"[OPEN=" + kOpenZh, "[FILE=" + kFileZh});
    }
    ~LargeFiles() override {
        SetFileFaultHook(nullptr);
        SetMessagePump(nullptr);
    }

    // The batch run over app.exe; the text of the file error that ended it, or "".
    std::string Batch() {
        state.m_nFileCount = 1;
        state.m_astrFiles[0] = dir / "app.exe";
        try {
            RunBatch(state, engine, display);
        } catch (const CFileError& error) {
            return error.Text();
        }
        return "";
    }

    // What the batch pass makes of `bytes` held in memory.
    std::string TranslatedInMemory(std::string bytes) {
        AppState other;
        ApplyStartupDefaults(other);
        other.m_bStopped = 0;
        CRecordingDisplay otherDisplay(other);
        EXPECT_TRUE(TranslateImage(other, engine, otherDisplay,
                                   reinterpret_cast<unsigned char*>(bytes.data()),
                                   static_cast<std::int64_t>(bytes.size())));
        return bytes;
    }

    // Only the program file and its backup lie in the folder.
    void ExpectOnlyFileAndBackup() {
        for (const auto& entry : fs::directory_iterator(dir.Path())) {
            const std::string name = entry.path().filename();
            EXPECT_TRUE(name == "app.exe" || name == "app.bak") << name;
        }
    }

    CTempDir dir;
    AppState state;
    CTranslationEngine engine;
    CRecordingDisplay display;
};

TEST_F(LargeFiles, TheFileBecomesWhatThePassMakesOfItsImageInMemory) {
    for (std::size_t size : {3 * kMiB + 6, 13 * kMiB}) {
        SCOPED_TRACE(size);
        const std::string original = LargeImage(size, RunPlaces(size));
        const std::string expected = TranslatedInMemory(original);
        ASSERT_FALSE(expected == original);
        fs::remove(dir / "app.bak");
        WriteFileBytes(dir / "app.exe", original);

        EXPECT_EQ(Batch(), "");
        EXPECT_TRUE(ReadFileBytes(dir / "app.exe") == expected);
        EXPECT_TRUE(ReadFileBytes(dir / "app.bak") == original);
        ExpectOnlyFileAndBackup();
    }
}

// Stop pressed halfway: the writes already made go with the temporary.
AppState* g_pStopState = nullptr;
int StopHalfway() {
    static int calls = 0;
    if (++calls == 2000) {
        g_pStopState->m_bStopped = 1;
    }
    return 1;
}

TEST_F(LargeFiles, StopHalfwayLeavesTheFileAsItWas) {
    const std::string original = LargeImage(13 * kMiB, RunPlaces(13 * kMiB));
    WriteFileBytes(dir / "app.exe", original);
    g_pStopState = &state;
    SetMessagePump(StopHalfway, 1, 0);
    EXPECT_EQ(Batch(), "");
    EXPECT_TRUE(ReadFileBytes(dir / "app.exe") == original);
    ExpectOnlyFileAndBackup();
}

// A write made beside the walk finds the disk full; a sync made beside it fails: either failure
// is the run's, and nothing changes.
TEST_F(LargeFiles, AFailureOfAWriteOrSyncBesideTheWalkLosesNothing) {
    const std::size_t size = 40 * kMiB;
    const std::string original = LargeImage(size, RunPlaces(size));
    g_testThread = std::this_thread::get_id();
    SetFileFaultHook(FailOperationBesideTheWalk);
    for (const auto& [operation, error] : {std::pair{"write", ENOSPC}, std::pair{"sync", EIO}}) {
        SCOPED_TRACE(operation);
        fs::remove(dir / "app.bak");
        WriteFileBytes(dir / "app.exe", original);
        g_szFailing = operation;
        g_nError = error;
        g_bFailed = false;
        EXPECT_EQ(Batch(), CFileError(CauseFromErrno(error), dir / "app.exe").Text());
        EXPECT_TRUE(g_bFailed);
        // The failed pass holds the file (its image, its lock) until Stop.
        StopBatch(state, display);
        EXPECT_TRUE(ReadFileBytes(dir / "app.exe") == original);
        ExpectOnlyFileAndBackup();
    }
}

// Patches behind the stretch already written (a walk that goes back) and across its end still
// land, the later over the earlier.
TEST(ReplacementStream, PatchesBehindAndAcrossTheWrittenStretchLand) {
    CTempDir dir;
    const std::size_t size = 12 * kMiB;
    std::string bytes(size, 'x');
    WriteFileBytes(dir / "f.bin", bytes);
    const FilePlace place(dir / "f.bin");
    const CHeldFile held(place.Ref(), ELockWait::No, true);
    const auto* image = reinterpret_cast<const unsigned char*>(bytes.data());
    std::string expected = bytes;
    {
        CReplacement replacement(held);
        CReplacementStream stream(replacement, image, static_cast<std::int64_t>(size));
        const auto lay = [&](std::size_t pos, const std::string& text) {
            std::memcpy(stream.Run(static_cast<std::int64_t>(pos), static_cast<int>(text.size())),
                        text.data(), text.size());
            expected.replace(pos, text.size(), text);
        };
        lay(6 * kMiB, "AAAA");
        stream.Reach(6 * kMiB + 4);  // written up to here
        lay(100, "BBBB");            // behind
        lay(8 * kMiB - 2, "CCCCCCCC");
        lay(6 * kMiB + 2, "DDDD");  // across the end of what is written
        stream.Reach(11 * kMiB);
        lay(101, "E");  // behind, over an earlier patch
        lay(size - 3, "FFF");
        stream.Finish();
        replacement.Commit();
    }
    EXPECT_TRUE(ReadFileBytes(dir / "f.bin") == expected);
}

// Another program shortens a mapped file: what it no longer has reads as zeros instead of
// stopping the process, and the pass learns that the file changed.
TEST(MappedImage, AShortenedFileReadsAsZerosAndIsSeenAsChanged) {
    CTempDir dir;
    WriteFileBytes(dir / "f.bin", std::string(4 * kMiB, 'x'));
    const FilePlace place(dir / "f.bin");
    const CHeldFile held(place.Ref(), ELockWait::No, false);
    const FileImage image = held.Read();
    ASSERT_NE(image.pBytes.get_deleter().nMapped, 0u);
    ASSERT_EQ(::truncate((dir / "f.bin").c_str(), 4096), 0);
    EXPECT_EQ(image.pBytes[0], 'x');
    EXPECT_EQ(image.pBytes[3 * kMiB], 0);
    EXPECT_THROW(held.CheckUnchanged(), CFileError);
}

}  // namespace

#include "ImageWalk.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RecordingDisplay.h"
#include "Startup.h"
#include "TestBytes.h"
#include "Timing.h"

namespace {

class CCollectRuns : public IRunHandler {
  public:
    explicit CCollectRuns(const AppState& state) : m_state(state) {}
    RunOutcome OnRun(std::int64_t pos) override {
        runs.emplace_back(pos, m_state.m_szCandidate);
        return {};
    }
    std::vector<std::pair<std::int64_t, std::string>> runs;

  private:
    const AppState& m_state;
};

int g_nPumps = 0;
int CountPump() {
    ++g_nPumps;
    return 1;
}

class ImageWalk : public ::testing::Test {
  protected:
    ImageWalk() : display(state), handler(state) {
        ApplyStartupDefaults(state);
        state.m_bStopped = 0;
        g_nPumps = 0;
    }
    ~ImageWalk() override { SetMessagePump(nullptr); }

    bool Walk(const std::string& image, EMainScanner scanner = EMainScanner::FollowMode) {
        return WalkImage(state, reinterpret_cast<const unsigned char*>(image.data()),
                         static_cast<std::int64_t>(image.size()), scanner, display, handler);
    }

    AppState state;
    CRecordingDisplay display;
    CCollectRuns handler;
};

// Binary noise in which no run can start, with 16-bit texts at chosen offsets.
std::string NoiseWithTexts(std::size_t size,
                           const std::vector<std::pair<std::size_t, std::string>>& texts) {
    std::string image(size, '\0');
    for (std::size_t i = 0; i < size; ++i) {
        image[i] = static_cast<char>(i % 2 == 0 ? 0x90 + i % 7 : (i % 3 == 0 ? 0 : 0xC3));
    }
    for (const auto& [at, text] : texts) {
        const std::string units = Units(text) + std::string(2, '\0');
        image.replace(at, units.size(), units);
    }
    return image;
}

TEST_F(ImageWalk, FindsEveryRunWhereverTheFastPathSkips) {
    const std::string image = NoiseWithTexts(
        5000, {{0, "Open"}, {30, "x"}, {1000, "Save As"}, {2046, "Ab"}, {4980, "End"}});
    ASSERT_TRUE(Walk(image));
    EXPECT_EQ(handler.runs,
              (std::vector<std::pair<std::int64_t, std::string>>{
                  {0, "Open"}, {30, "x"}, {1000, "Save As"}, {2046, "Ab"}, {4980, "End"}}));
    // The candidate holds only the current run: a shorter run after a longer one is terminated.
    EXPECT_EQ(handler.runs[1].second.size(), 1u);
}

TEST_F(ImageWalk, EveryExaminedOffsetPumpsOnceAndTheProgressBarShowsEveryPercent) {
    const std::string image = NoiseWithTexts(1000, {{600, "Hello"}});
    SetMessagePump(CountPump, 1, 0);
    ASSERT_TRUE(Walk(image));
    // 500 even offsets, less the four units of "Hello" after its first, which the run covers.
    EXPECT_EQ(g_nPumps, 500 - 4);
    std::vector<int> percents;
    for (int p = 0; p < 100; ++p) {
        percents.push_back(p);
    }
    EXPECT_EQ(display.progress, percents);

    // Asking the window only every fifth call: the first call asks, then every fifth.
    g_nPumps = 0;
    SetMessagePump(CountPump, 5, 0);
    ASSERT_TRUE(Walk(image));
    EXPECT_EQ(g_nPumps, (496 + 4) / 5);
}

TEST_F(ImageWalk, LengthsOfAStringTableStayOutOfTheRuns) {
    // Two strings of a string table, 65 and 66 characters long: their lengths read "A" and "B".
    const std::string first = "Open the file" + std::string(52, 'x');
    const std::string second = "Save the file" + std::string(53, 'y');
    std::string table;
    table += std::string("A\0", 2) + Units(first);
    table += std::string("B\0", 2) + Units(second);
    ASSERT_TRUE(Walk(table + std::string(2, '\0')));
    EXPECT_EQ(handler.runs, (std::vector<std::pair<std::int64_t, std::string>>{
                                {2, first}, {2 + 130 + 2, second}}));

    // Text that merely begins with a letter is one run as before.
    handler.runs.clear();
    ASSERT_TRUE(Walk(Units("A" + first + "z") + std::string(2, '\0')));
    EXPECT_EQ(handler.runs.size(), 1u);
    EXPECT_EQ(handler.runs[0].second, "A" + first + "z");
}

TEST_F(ImageWalk, ScannerFollowsTheOptions) {
    const std::string image = Units("Save As") + std::string(2, '\0');
    state.m_bWholeSentence = 0;
    ASSERT_TRUE(Walk(image));
    ASSERT_TRUE(Walk(image, EMainScanner::AlwaysSentence));
    EXPECT_EQ(handler.runs, (std::vector<std::pair<std::int64_t, std::string>>{
                                {0, "Save"}, {10, "As"}, {0, "Save As"}}));

    // The plug-in scanner first; where it refuses a unit the main scanner may take it.
    handler.runs.clear();
    state.m_bPlugInDict = 1;
    state.m_abCharFilter[3] = 0;  // no blanks in plug-in runs
    ASSERT_TRUE(Walk(Units("a b") + std::string(2, '\0'), EMainScanner::AlwaysSentence));
    EXPECT_EQ(handler.runs,
              (std::vector<std::pair<std::int64_t, std::string>>{{0, "a"}, {2, " b"}}));
}

AppState* g_pState = nullptr;
int StopAtOnce() {
    g_pState->m_bStopped = 1;
    return 1;
}

TEST_F(ImageWalk, StopEndsTheWalkRightAfterThePump) {
    g_pState = &state;
    SetMessagePump(StopAtOnce, 1, 0);
    EXPECT_FALSE(Walk(Units("Open")));
    EXPECT_TRUE(handler.runs.empty());
}

}  // namespace

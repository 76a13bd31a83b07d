// The write-back of a translation text file into an image, as Mender and the manual window's
// Write run it.
#include "WriteBack.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Big5.h"
#include "RecordingDisplay.h"
#include "TestBytes.h"
#include "Texts.h"

namespace {

// The 16-bit unit a double-byte character is laid in as.
std::string Unit(const std::string& big5) {
    const int value =
        Big5ToUnicode(static_cast<unsigned char>(big5[0]), static_cast<unsigned char>(big5[1]));
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

const std::string kBlank = std::string("\x20\x00", 2);
const std::string kEnd = std::string(2, '\0');

std::string Blanks(int count) {
    std::string blanks;
    for (int i = 0; i < count; ++i) {
        blanks += kBlank;
    }
    return blanks;
}
const std::string kCancelZh = "\xA8\xFA\xAE\xF8";   // 取消
const std::string kPackageZh = "\xA5\x5D\xB8\xCB";  // 包裝: "]" is the second byte of 包
const std::string kLongZh = "\xA4\x5B";             // 久: "[" is the second byte

class WriteBack : public ::testing::Test {
  protected:
    // Runs the write-back of `translationFile` over `image`; returns whether it reached the end.
    bool Run(std::string& image, const std::string& translationFile) {
        LoadEditedDictionary(*engine, translationFile);
        state->m_bStopped = 0;
        return WriteBackImage(*state, *engine, display,
                              reinterpret_cast<unsigned char*>(image.data()),
                              static_cast<std::int64_t>(image.size()));
    }

    std::unique_ptr<AppState> state = std::make_unique<AppState>();
    std::unique_ptr<CTranslationEngine> engine = std::make_unique<CTranslationEngine>();
    CRecordingDisplay display{*state};
};

TEST_F(WriteBack, LaysInWhatFitsAndCountsAsTheManualWindowShowsIt) {
    std::string image = String16("OK") + String16("Open") + String16("X") + String16("Cancel");
    const std::string file = "// header\r\n[Open=" + kOpenZh + "\r\n[Cancel=" + kCancelZh + "\r\n";
    ASSERT_TRUE(Run(image, file));

    EXPECT_EQ(image, String16("OK") + Unit(kOpenZh) + Unit(kOpenZh.substr(2)) + Blanks(2) + kEnd +
                         String16("X") + Unit(kCancelZh) + Unit(kCancelZh.substr(2)) + Blanks(4) +
                         kEnd);
    // "X" is a run of one character: neither counted nor shown.
    EXPECT_EQ(state->m_nFoundCount, 3u);
    EXPECT_EQ(state->m_nTranslatedCount, 2);
    EXPECT_EQ(display.found, (std::vector<unsigned>{1, 2, 3}));
    EXPECT_EQ(display.translated, (std::vector<int>{1, 2}));
    // The ratio counts the run's own translation: 1 of 2, then 2 of 3.
    EXPECT_EQ(display.ratios, (std::vector<unsigned>{50, 66}));
    // Every run found is shown in the one line of the source pane; translations only when written.
    EXPECT_EQ(display.sourceLines,
              (std::vector<std::pair<int, std::string>>{{0, "OK"}, {0, "Open"}, {0, "Cancel"}}));
    EXPECT_EQ(display.translationLines,
              (std::vector<std::pair<int, std::string>>{{0, kOpenZh}, {0, kCancelZh}}));
    EXPECT_EQ(display.status.front(), (std::pair<int, std::string>{4, texts::kPaneStateWrite}));
    EXPECT_EQ(display.status.back(), (std::pair<int, std::string>{4, texts::kPaneStateWriteDone}));
    // The marker runs while the write-back walks, and stops with it.
    EXPECT_EQ(display.markers, (std::vector<EMarker>{EMarker::Write, EMarker::None}));
}

TEST_F(WriteBack, TranslationsWithDelimiterBytesInsideCharactersAreLaidInWhole) {
    std::string image = String16("Package") + String16("Long");
    const std::string file = "[Package=" + kPackageZh + "\r\n[Long=" + kLongZh + "]\r\n";
    ASSERT_TRUE(Run(image, file));
    EXPECT_EQ(image, Unit(kPackageZh) + Unit(kPackageZh.substr(2)) + Blanks(5) + kEnd +
                         Unit(kLongZh) + Blanks(3) + kEnd);
    EXPECT_EQ(state->m_nTranslatedCount, 2);
}

TEST_F(WriteBack, RefusesWhatTheManualWindowRefuses) {
    struct Case {
        const char* what;
        std::string program;  // the English text in the program file
        std::string file;     // the translation text file
    };
    const Case cases[] = {
        // Every character needs a unit: OK鍵 is three characters for a run of two.
        {"single-byte characters", "OK", "[OK=OK\xC1\xE4\r\n"},
        // A-A has one letter change, 1.0 none: never looked up, even though listed.
        {"letter test", "A-A", "[A-A=" + kOpenZh + "\r\n"},
        {"no letters", "1.0", "[1.0=" + kOpenZh + "\r\n"},
        // The edited file is searched as written.
        {"letter case", "Open", "[OPEN=" + kOpenZh + "\r\n"},
        // Only CR LF (or a "]" written by hand) closes an entry.
        {"line feed alone", "Open", "[Open=" + kOpenZh + "\n[Cancel=" + kCancelZh + "\n"},
        {"last line without its end", "Open", "[Open=" + kOpenZh},
        {"empty translation", "Open", "[Open=\r\n"},
        {"too long", "Open", "[Open=" + kOpenZh + kCancelZh + kOpenZh.substr(0, 2) + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        engine = std::make_unique<CTranslationEngine>();
        std::string image = String16(c.program);
        const std::string before = image;
        ASSERT_TRUE(Run(image, c.file));
        EXPECT_EQ(image, before);
        EXPECT_EQ(state->m_nTranslatedCount, 0);
    }
}

TEST_F(WriteBack, ATranslationOfTheRunsFullLengthLeavesNoBlankAndTheTerminatorStays) {
    std::string image = String16("Open") + "\x41\x42";
    ASSERT_TRUE(Run(image, "[Open=" + kOpenZh + kCancelZh + "\r\n"));
    EXPECT_EQ(image, Unit(kOpenZh) + Unit(kOpenZh.substr(2)) + Unit(kCancelZh) +
                         Unit(kCancelZh.substr(2)) + kEnd + "\x41\x42");
}

TEST_F(WriteBack, StopLeavesTheImageUntouched) {
    std::string image = String16("Open");
    const std::string before = image;
    LoadEditedDictionary(*engine, "[Open=" + kOpenZh + "\r\n");
    state->m_bStopped = 1;
    EXPECT_FALSE(WriteBackImage(*state, *engine, display,
                                reinterpret_cast<unsigned char*>(image.data()),
                                static_cast<std::int64_t>(image.size())));
    EXPECT_EQ(image, before);
    EXPECT_EQ(state->m_nFoundCount, 0u);
}

}  // namespace

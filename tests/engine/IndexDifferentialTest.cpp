// The dictionary index must answer exactly as the plain linear search does, for any text and key.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TranslationEngine.h"

namespace {

class RandomDictionaries {
  public:
    explicit RandomDictionaries(unsigned seed) : m_rng(seed) {}

    // A text of entries and noise: keys from a small alphabet (so that they repeat), lead bytes
    // whose trail bytes are "[", "]", "}" or "=", keys inside translations, lines without ends.
    std::string Text() {
        std::string text;
        const int lines = Pick(0, 40);
        for (int i = 0; i < lines; ++i) {
            switch (Pick(0, 5)) {
                case 0:
                    text += Noise(Pick(0, 12));
                    break;
                case 1:  // a key inside a translation
                    text += "[" + Word() + "=" + Noise(2) + "[" + Word() + "=" + Noise(3);
                    break;
                default:
                    text += "[" + Word() + "=" + Noise(Pick(0, 6));
                    break;
            }
            if (Pick(0, 6) != 0) {
                text += "]}";
            }
        }
        return text;
    }

    // Keys that hit and keys that miss, some of them malformed.
    std::string Key(const std::string& text) {
        switch (Pick(0, 6)) {
            case 0:
                return "[" + Word() + "=";
            case 1:
                return "[" + Noise(Pick(0, 4)) + "=";
            case 2:
                return Noise(Pick(0, 4));
            default: {
                // A stretch of the text that starts at one of its "[" bytes.
                std::size_t at = text.find(
                    '[', static_cast<std::size_t>(Pick(0, static_cast<int>(text.size()))));
                if (at == std::string::npos) {
                    return "[" + Word() + "=";
                }
                std::size_t end = text.find('=', at);
                if (end == std::string::npos || Pick(0, 4) == 0) {
                    return text.substr(at, static_cast<std::size_t>(Pick(1, 6)));
                }
                return text.substr(at, end - at + 1);
            }
        }
    }

  private:
    int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }

    std::string Word() {
        static const char* const kWords[] = {"A", "AB",  "OPEN",     "OPEN FILE", "B",
                                             "",  "A B", "\xA4\x5B", "\xA5\x5D"};
        return kWords[Pick(0, 8)];
    }

    std::string Noise(int length) {
        static const char kBytes[] = {'[',    ']',    '}',    '=',    'A',    'B',  ' ',  '\xA4',
                                      '\xA5', '\x81', '\xFE', '\xFF', '\x80', '\r', '\n', 'x'};
        std::string s;
        for (int i = 0; i < length; ++i) {
            s += kBytes[Pick(0, static_cast<int>(sizeof kBytes) - 1)];
        }
        return s;
    }

    std::mt19937 m_rng;
};

TEST(DictionaryIndex, FindsWhatTheLinearSearchFinds) {
    RandomDictionaries random(20261207);
    int hits = 0;
    for (int round = 0; round < 3000; ++round) {
        const std::string text = random.Text();
        const CDictionaryText dict(text);
        for (int k = 0; k < 40; ++k) {
            const std::string key = random.Key(text);
            const std::int64_t expected = CTranslationEngine::FindKey(text, key.c_str());
            ASSERT_EQ(dict.Find(key.c_str()), expected)
                << "text: " << ::testing::PrintToString(text)
                << "\nkey: " << ::testing::PrintToString(key);
            hits += expected >= 0 ? 1 : 0;
        }
    }
    // The generator must produce plenty of hits for the comparison to mean anything.
    EXPECT_GT(hits, 30000);
}

// The definition of ExtractBetween: two searches from the start, then the part between them.
std::string ExtractBetweenByDefinition(const std::string& text, char open, char close) {
    const std::int64_t a = CTranslationEngine::FindKey(text, std::string(1, open).c_str());
    const std::int64_t b = CTranslationEngine::FindKey(text, std::string(1, close).c_str());
    const std::int64_t length = b - a - 1;
    if (length < 0) {
        return "";
    }
    return text.substr(static_cast<std::size_t>(std::max<std::int64_t>(a + 1, 0)),
                       static_cast<std::size_t>(length));
}

TEST(ExtractBetween, AgreesWithItsDefinition) {
    std::mt19937 rng(11);
    const char bytes[] = {'=', ']', 'a', '\xA4', '\x81', '\xFE', '\xFF', '['};
    for (int round = 0; round < 200000; ++round) {
        std::string text(rng() % 12, ' ');
        for (char& c : text) {
            c = bytes[rng() % sizeof bytes];
        }
        ASSERT_EQ(CTranslationEngine::ExtractBetween(text, '=', ']'),
                  ExtractBetweenByDefinition(text, '=', ']'))
            << ::testing::PrintToString(text);
    }
}

}  // namespace

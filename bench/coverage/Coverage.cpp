// vokra_coverage: how much of a program file's interface text the shipped dictionaries translate.
// Runs the batch run's pass over each file in memory (same walk, same scanners, same translators,
// nothing written back) and sorts every run it finds: found (two characters or more), translated
// (the translation fits the run, as the batch run counts it), interface text (the run passes the
// translators' guards), and complete (no English word left in the translation).
#include <getopt.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "AppState.h"
#include "BatchPass.h"
#include "DictionaryFiles.h"
#include "FileError.h"
#include "FileOps.h"
#include "ImageWalk.h"
#include "Startup.h"

namespace {

constexpr char kUsage[] =
    "Usage: vokra_coverage [OPTION]... FILE...\n"
    "Reports, per file and in total, the runs a batch run finds and translates, and the share\n"
    "of interface text (runs that pass the translators' guards) that gets a translation.\n"
    "\n"
    "  -d DIR  start-up folder holding the dictionaries (default: the current folder)\n"
    "  -S      English to Simplified Chinese (message1.txt)\n"
    "  -s      single words instead of whole sentences\n"
    "  -u      the plug-in dictionary user.txt first\n"
    "  -n N    list the N most frequent untranslated runs and words (default 25)\n";

struct Counts {
    unsigned nFound = 0;
    unsigned nTranslated = 0;
    unsigned nInterface = 0;
    unsigned nInterfaceTranslated = 0;
    unsigned nComplete = 0;

    Counts& operator+=(const Counts& other) {
        nFound += other.nFound;
        nTranslated += other.nTranslated;
        nInterface += other.nInterface;
        nInterfaceTranslated += other.nInterfaceTranslated;
        nComplete += other.nComplete;
        return *this;
    }
};

// Whether a translation, as the batch run lays it in, still holds a word of English: word-by-word
// output keeps an untranslated word as upper-case letters, one 16-bit unit each.
bool HoldsEnglishWord(const char* result, int length) {
    for (int i = 0; i + 1 < length; i += 2) {
        const char c = result[i];
        if (result[i + 1] == 0 && c >= 'A' && c <= 'Z') {
            return true;
        }
    }
    return false;
}

// The English words left in a word-by-word translation.
std::vector<std::string> EnglishWords(const char* result, int length) {
    std::vector<std::string> words;
    std::string word;
    for (int i = 0; i + 1 < length; i += 2) {
        const char c = result[i];
        if (result[i + 1] == 0 && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) {
            word += c;
        } else {
            if (word.find_first_not_of("0123456789") != std::string::npos) {
                words.push_back(word);
            }
            word.clear();
        }
    }
    return words;
}

// The batch run's record of every run, counted instead of shown.
class CCoverageSink : public IRunSink {
  public:
    void Record(const RunRecord& run) override {
        m_counts.nFound += 1;
        const bool bTranslated = run.status == ERunStatus::Translated;
        m_counts.nTranslated += bTranslated ? 1 : 0;
        const std::string text(run.english);
        if (!CTranslationEngine::PassesMainGuards(text.c_str(),
                                                  static_cast<int>(2 * text.size()))) {
            return;
        }
        m_counts.nInterface += 1;
        if (!bTranslated) {
            m_mapUntranslated[text] += 1;
            return;
        }
        m_counts.nInterfaceTranslated += 1;
        const int length = static_cast<int>(run.translation.size());
        if (!HoldsEnglishWord(run.translation.data(), length)) {
            m_counts.nComplete += 1;
            return;
        }
        m_mapPartial[text] += 1;
        for (const std::string& word : EnglishWords(run.translation.data(), length)) {
            m_mapWords[word] += 1;
        }
    }

    Counts m_counts;
    std::map<std::string, unsigned> m_mapUntranslated;
    std::map<std::string, unsigned> m_mapPartial;
    std::map<std::string, unsigned> m_mapWords;
};

double Percent(unsigned part, unsigned whole) {
    return whole == 0 ? 100.0 : 100.0 * part / whole;
}

void PrintCounts(const std::string& name, const Counts& c) {
    std::printf(
        "%-18s found %5u  translated %5u  interface %5u  translated %5u = %5.1f%%"
        "  complete %5u = %5.1f%%\n",
        name.c_str(), c.nFound, c.nTranslated, c.nInterface, c.nInterfaceTranslated,
        Percent(c.nInterfaceTranslated, c.nInterface), c.nComplete,
        Percent(c.nComplete, c.nInterface));
}

void PrintTop(const char* title, const std::map<std::string, unsigned>& counts, int top) {
    std::vector<std::pair<std::string, unsigned>> sorted(counts.begin(), counts.end());
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    std::printf("\n%s (%zu different):\n", title, sorted.size());
    for (int i = 0; i < top && i < static_cast<int>(sorted.size()); ++i) {
        std::printf("  %4u  \"%s\"\n", sorted[static_cast<std::size_t>(i)].second,
                    sorted[static_cast<std::size_t>(i)].first.c_str());
    }
}

void Merge(std::map<std::string, unsigned>& into, const std::map<std::string, unsigned>& from) {
    for (const auto& [text, count] : from) {
        into[text] += count;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = ".";
    bool bSimplified = false;
    bool bSinglePhrase = false;
    bool bPlugIn = false;
    int top = 25;
    int c = 0;
    while ((c = getopt(argc, argv, "d:Ssun:")) != -1) {
        switch (c) {
            case 'd':
                dir = optarg;
                break;
            case 'S':
                bSimplified = true;
                break;
            case 's':
                bSinglePhrase = true;
                break;
            case 'u':
                bPlugIn = true;
                break;
            case 'n':
                top = std::atoi(optarg);
                break;
            default:
                std::fputs(kUsage, stderr);
                return 2;
        }
    }
    if (optind >= argc) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    auto state = std::make_unique<AppState>();
    auto engine = std::make_unique<CTranslationEngine>();
    try {
        // Paths of the files stay as given: read them all before leaving for the start-up folder.
        std::vector<std::pair<std::string, FileImage>> files;
        for (int i = optind; i < argc; ++i) {
            files.emplace_back(argv[i], ReadWholeFile(argv[i]));
        }
        if (chdir(dir.c_str()) != 0) {
            ThrowFileError(errno, dir);
        }
        ApplyStartupDefaults(*state);
        LoadStartupDictionary(*state, *engine);
        if (bSimplified) {
            LoadMainDictionary(*state, *engine, kSimplifiedDictFile);
        }
        state->m_bWholeSentence = bSinglePhrase ? 0 : 1;
        if (bPlugIn) {
            LoadPlugInDictionary(*state, *engine);
            state->m_bPlugInDict = 1;
            state->m_bAlsoDefaultDict = 1;
        }

        Counts total;
        std::map<std::string, unsigned> untranslated;
        std::map<std::string, unsigned> partial;
        std::map<std::string, unsigned> words;
        CSilentDisplay display;
        for (auto& [name, file] : files) {
            CCoverageSink sink;
            FileDriverOptions options;
            options.pSink = &sink;
            state->m_bStopped = 0;
            TranslateImage(*state, *engine, display, file.pBytes.get(), file.nSize, options);
            PrintCounts(name.substr(name.rfind('/') + 1), sink.m_counts);
            total += sink.m_counts;
            Merge(untranslated, sink.m_mapUntranslated);
            Merge(partial, sink.m_mapPartial);
            Merge(words, sink.m_mapWords);
        }
        PrintCounts("total", total);
        PrintTop("Most frequent untranslated interface runs", untranslated, top);
        PrintTop("Most frequent runs translated in part", partial, top);
        PrintTop("Most frequent English words left in translated runs", words, top);
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "vokra_coverage: %s\n", FailureText(failure).c_str());
        return 1;
    }
    return 0;
}

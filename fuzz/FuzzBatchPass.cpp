// The batch pass in every mode over any image, with any dictionaries and filters, in the
// whole-file walk or by the structure of a Windows program.
#include "FuzzInput.h"
#include "Startup.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    static AppState state;
    static CTranslationEngine engine;
    ApplyStartupDefaults(state);
    const std::uint8_t flags = input.Byte();
    state.m_bWholeSentence = flags & 1;
    state.m_bPlugInDict = (flags >> 1) & 1;
    state.m_bAlsoDefaultDict = (flags >> 2) & 1;
    state.m_bIgnoreCase = (flags >> 3) & 1;
    state.m_bWholeFileWalk = (flags >> 4) & 1;
    for (int i = 0; i < kCharFilterCount; i += 8) {
        const std::uint8_t bits = input.Byte();
        for (int b = 0; b < 8 && i + b < kCharFilterCount; ++b) {
            // Anything but 1 refuses; a 2 must refuse as well.
            state.m_abCharFilter[i + b] = static_cast<unsigned char>((bits >> b) & 1 ? 1 : b % 3);
        }
    }
    engine.m_strMainDict = Prepared(input.Piece());
    std::string plugIn = Prepared(input.Piece());
    if (state.m_bIgnoreCase == 1) {
        std::string folded(plugIn.size(), '\0');
        CTranslationEngine::FoldDictionaryKeys(
            reinterpret_cast<const unsigned char*>(plugIn.data()),
            reinterpret_cast<unsigned char*>(folded.data()), plugIn.size());
        plugIn = folded;
    }
    engine.m_strPlugInDict = plugIn;

    TranslateWithinRuns(state, engine, input.Rest());
    return 0;
}

// The structure-aware batch pass over any bytes that read as a Windows program, with a small
// fixed dictionary: bytes change only inside the fields it reported (and the header checksum,
// which then matches the new contents); every text of a string table stays where it was.
#include <cstdlib>

#include "FuzzInput.h"
#include "PeImage.h"
#include "ResourceTexts.h"
#include "Startup.h"

namespace {

// English entries with their Big5 translations, as the main dictionary holds them.
const std::string kDictionary =
    "[OPEN=\xB6\x7D\xB1\xD2]}[FILE=\xC0\xC9\xAE\xD7]}[SAVE=\xC0\x78\xA6\x73]}"
    "[CANCEL=\xA8\xFA\xAE\xF8]}[OPEN FILE=\xB6\x7D\xB1\xD2\xC0\xC9\xAE\xD7]}";

std::vector<std::pair<std::int64_t, int>> StringEntries(const std::string& image) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
    const auto size = static_cast<std::int64_t>(image.size());
    std::vector<std::pair<std::int64_t, int>> entries;
    const PeReadResult read = ReadPeImage(bytes, size);
    if (read.kind == EPeKind::Pe) {
        for (const ResourceText& text : ListResourceTexts(bytes, size, read.layout).texts) {
            if (text.field == ETextField::StringTableEntry) {
                entries.emplace_back(text.nOffset, text.nUnits);
            }
        }
    }
    return entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static AppState state;
    static CTranslationEngine engine;
    ApplyStartupDefaults(state);
    CFuzzInput input(data, size);
    const std::uint8_t flags = input.Byte();
    state.m_bWholeSentence = flags & 1;
    static const bool bDictionaryLoaded = [] {
        engine.m_strMainDict = kDictionary;
        return true;
    }();
    (void)bDictionaryLoaded;

    const std::string before = input.Rest();
    const std::string image = TranslateWithinRuns(state, engine, before);
    if (StringEntries(before) != StringEntries(image)) {
        std::abort();
    }
    const ProgramFacts facts = LookAtProgram(reinterpret_cast<const unsigned char*>(image.data()),
                                             static_cast<std::int64_t>(image.size()));
    if (facts.nChecksumOffset >= 0) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(image.data());
        std::uint32_t stored = 0;
        for (int i = 3; i >= 0; --i) {
            stored = stored << 8 | bytes[facts.nChecksumOffset + i];
        }
        if (stored != ComputePeChecksum(bytes, static_cast<std::int64_t>(image.size()),
                                        facts.nChecksumOffset)) {
            std::abort();
        }
    }
    return 0;
}

#include "DictionaryFiles.h"

#include "FileOps.h"

namespace {

std::string_view AsText(const std::vector<unsigned char>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

}  // namespace

std::vector<unsigned char> ReadDictionaryFile(const FileRef& file) {
    FileImage image = ReadWholeFile(file);
    std::vector<unsigned char> bytes(image.pBytes.get(), image.pBytes.get() + image.nSize);
    CTranslationEngine::PrepareDictionaryText(bytes.data(), bytes.size());
    return bytes;
}

void LoadMainDictionary(AppState& state, CTranslationEngine& engine, const std::string& fileName) {
    LoadMainDictionary(state, engine, fileName, CFolder::Current());
}

void LoadMainDictionary(AppState& state, CTranslationEngine& engine, const std::string& fileName,
                        const CFolder& programFolder) {
    std::vector<unsigned char> bytes = ReadDictionaryFile({programFolder, fileName, fileName});
    engine.m_strMainDict = AsText(bytes);
    state.m_pMainDictBuf = std::move(bytes);
}

void LoadPlugInDictionary(AppState& state, CTranslationEngine& engine) {
    LoadPlugInDictionary(state, engine, CFolder::Current());
}

void LoadPlugInDictionary(AppState& state, CTranslationEngine& engine,
                          const CFolder& programFolder) {
    std::vector<unsigned char> bytes =
        ReadDictionaryFile({programFolder, kPlugInDictFile, kPlugInDictFile});
    std::vector<unsigned char> upper(bytes.size());
    CTranslationEngine::FoldDictionaryKeys(bytes.data(), upper.data(), bytes.size());
    state.m_pPlugInDictBuf = std::move(bytes);
    state.m_pPlugInDictUpperBuf = std::move(upper);
    SelectPlugInText(state, engine);
}

void SelectPlugInText(const AppState& state, CTranslationEngine& engine) {
    engine.m_strPlugInDict =
        AsText(state.m_bIgnoreCase == 1 ? state.m_pPlugInDictUpperBuf : state.m_pPlugInDictBuf);
}

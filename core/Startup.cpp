#include "Startup.h"

#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "DictionaryFiles.h"
#include "FileOps.h"
#include "TranslatorRecord.h"

void ApplyStartupDefaults(AppState& state) {
    std::fill(std::begin(state.m_szBlanks), std::end(state.m_szBlanks), ' ');
    CopyText(state.m_szBackupExt, ".bak");
    std::copy(std::begin(DefaultCharFilter), std::end(DefaultCharFilter), state.m_abCharFilter);
    state.m_nTranslatedCount = 0;
    state.m_bOpenInNotepad = 1;
    state.m_bPlugInDict = 0;
    state.m_bAlsoDefaultDict = 1;
    state.m_bIgnoreCase = 1;

    state.m_bBusy = 0;
    state.m_bStopped = 1;
    state.m_bWholeSentence = 1;
}

void LoadStartupDictionary(AppState& state, CTranslationEngine& engine) {
    LoadStartupDictionary(state, engine, ".");
}

void LoadStartupDictionary(AppState& state, CTranslationEngine& engine,
                           const std::string& programDir) {
    LoadMainDictionary(state, engine, kTraditionalDictFile, CFolder::Open(programDir));

    state.m_bToTraditional = 1;
    state.m_bToSimplified = 0;
    state.m_bTraditionalToSimplified = 0;
    state.m_bSimplifiedToTraditional = 0;
    char absolute[PATH_MAX];
    CopyText(state.m_szProgramDir,
             ::realpath(programDir.c_str(), absolute) != nullptr ? absolute : "");
    state.m_nActiveDialog = 0;
}

StartupResult StartUp(AppState& state, CTranslationEngine& engine) {
    StartupResult result;
    try {
        result.bAskTranslator = !ReadTranslatorRecord(state);
    } catch (...) {
        result.failures.push_back(std::current_exception());
    }
    ApplyStartupDefaults(state);
    try {
        LoadStartupDictionary(state, engine);
    } catch (...) {
        result.failures.push_back(std::current_exception());
    }
    return result;
}

// The start-up steps that need no window: the translator record, the defaults, the main
// dictionary, the direction and the start-up folder.
#pragma once

#include <exception>
#include <vector>

#include "AppState.h"
#include "TranslationEngine.h"

// The option and run-control defaults every start begins with.
void ApplyStartupDefaults(AppState& state);

// Loads "message.txt" from the current directory as the main dictionary, sets the direction to
// English to Traditional and notes the current directory as the start-up folder. When the
// dictionary cannot be read, raises its file error with the directions all 0 and the start-up
// folder empty; the program then runs with an empty main dictionary.
void LoadStartupDictionary(AppState& state, CTranslationEngine& engine);
// The same from the start-up folder `programDir`, wherever the current directory is.
void LoadStartupDictionary(AppState& state, CTranslationEngine& engine,
                           const std::string& programDir);

// Every step above, in order, each failure noted instead of ending the start-up: the window
// runs this first, asks for the translator identity when bAskTranslator is set, builds itself,
// and then shows each failure in its message box.
struct StartupResult {
    bool bAskTranslator = false;               // "VOKRA.DAT" does not exist
    std::vector<std::exception_ptr> failures;  // file errors, in the order they struck
};
StartupResult StartUp(AppState& state, CTranslationEngine& engine);

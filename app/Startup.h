// The start-up steps that need no window. The window runs them in this order, around its own
// initialisation: ReadTranslatorRecord (asking for the identity when it returns false), then its
// window set-up, ApplyStartupDefaults, LoadStartupDictionary.
#pragma once

#include "AppState.h"
#include "TranslationEngine.h"

inline constexpr char kTranslatorRecordFile[] = "VOKRA.DAT";

// Reads the three 128-byte slots of "VOKRA.DAT" (current directory) into the translator fields.
// Returns false, reading nothing, when the file does not exist.
bool ReadTranslatorRecord(AppState& state);

// The option and run-control defaults every start begins with.
void ApplyStartupDefaults(AppState& state);

// Loads "message.txt" from the current directory as the main dictionary, sets the direction to
// English to Traditional and notes the current directory as the start-up folder. When the
// dictionary cannot be read, raises its file error with the directions all 0 and the start-up
// folder empty; the program then runs with an empty main dictionary.
void LoadStartupDictionary(AppState& state, CTranslationEngine& engine);

// Loading dictionary files into the engine: the whole file read, every CR LF turned into "]}",
// the prepared bytes kept in AppState and handed to the engine.
#pragma once

#include <string>
#include <vector>

#include "AppState.h"
#include "TranslationEngine.h"

inline constexpr char kTraditionalDictFile[] = "message.txt";
inline constexpr char kSimplifiedDictFile[] = "message1.txt";
inline constexpr char kPlugInDictFile[] = "user.txt";

// The whole file, prepared. Raises CFileError naming `path` as given.
std::vector<unsigned char> ReadDictionaryFile(const std::string& path);

// The main dictionary from `fileName` (relative names are resolved in the current directory):
// m_pMainDictBuf and m_strMainDict. On failure both stay as they were.
void LoadMainDictionary(AppState& state, CTranslationEngine& engine, const std::string& fileName);

// The plug-in dictionary "user.txt" (current directory): the prepared text, its key-folded copy,
// and m_strPlugInDict set to the folded copy when case is ignored, to the text as written
// otherwise.
void LoadPlugInDictionary(AppState& state, CTranslationEngine& engine);

// Chooses which plug-in text the engine searches, after the case option changed.
void SelectPlugInText(const AppState& state, CTranslationEngine& engine);

// Loading dictionary files into the engine: the whole file read, every CR LF turned into "]}",
// the prepared bytes kept in AppState and handed to the engine.
#pragma once

#include <string>
#include <vector>

#include "AppState.h"
#include "FileOps.h"
#include "TranslationEngine.h"

inline constexpr char kTraditionalDictFile[] = "message.txt";
inline constexpr char kSimplifiedDictFile[] = "message1.txt";
inline constexpr char kPlugInDictFile[] = "user.txt";

// The whole file, prepared. Raises CFileError naming the file as given.
std::vector<unsigned char> ReadDictionaryFile(const FileRef& file);

// The main dictionary `fileName` of the start-up folder `programFolder` (the current directory
// without one): m_pMainDictBuf and m_strMainDict. On failure both stay as they were. Messages
// name the file by its bare name.
void LoadMainDictionary(AppState& state, CTranslationEngine& engine, const std::string& fileName);
void LoadMainDictionary(AppState& state, CTranslationEngine& engine, const std::string& fileName,
                        const CFolder& programFolder);

// The plug-in dictionary "user.txt" of the start-up folder (the current directory without one):
// the prepared text, its key-folded copy, and m_strPlugInDict set to the folded copy when case
// is ignored, to the text as written otherwise.
void LoadPlugInDictionary(AppState& state, CTranslationEngine& engine);
void LoadPlugInDictionary(AppState& state, CTranslationEngine& engine,
                          const CFolder& programFolder);

// Chooses which plug-in text the engine searches, after the case option changed.
void SelectPlugInText(const AppState& state, CTranslationEngine& engine);

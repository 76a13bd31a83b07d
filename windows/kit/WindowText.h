// Texts between the engine's bytes and the window's strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

// Bytes in the dictionary code (translations, translator identity) for display.
QString FromDictionaryCode(std::string_view bytes);

// A typed text in the dictionary code. Returns false when a character has no code, with its
// position (0-based, in characters) in *pBadIndex.
bool ToDictionaryCode(const QString& text, std::string& out, int* pBadIndex);

// A file name as the system hands it over (UTF-8 on Linux).
inline QString FromFileName(const std::string& name) {
    return QString::fromUtf8(name);
}

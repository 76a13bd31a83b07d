// The translation text file: what the manual window's Translate writes and what Write and Mender
// read back. It is a dictionary in the dictionary code (CR LF line ends) that begins with twelve
// "//" header lines naming the program file, its backup and the file itself, the translation
// type, the translator and the date, followed by one entry "[" ENGLISH "=" TRANSLATION per
// translated run, in file order.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "AppState.h"
#include "TranslationEngine.h"

// The extensions the manual window offers for the backup and for the translation text file.
inline constexpr int kExtensionChoices = 10;
inline constexpr const char* BackupExtensions[kExtensionChoices] = {
    ".BAK", ".B01", ".B02", ".B03", ".B04", ".B05", ".B06", ".B07", ".B08", ".B09"};
inline constexpr const char* TranslationExtensions[kExtensionChoices] = {
    ".TXT", ".T01", ".T02", ".T03", ".T04", ".T05", ".T06", ".T07", ".T08", ".T09"};

// What the header says. Texts are bytes in the dictionary code, names as the system has them.
struct TranslationFileFacts {
    std::string strDrive;  // the program file's path, split
    std::string strDir;
    std::string strFname;
    std::string strExt;
    int nBackupExt = 0;       // index into BackupExtensions
    int nTranslationExt = 0;  // index into TranslationExtensions
    enum class EType { Big5, Gb, None } type = EType::None;
    std::string strTranslatorName;
    std::string strTranslatorUrl;
    std::string strTranslatorEmail;
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
};

// The twelve header lines, each ended by CR LF.
std::string TranslationFileHeader(const TranslationFileFacts& facts);

// Appends the entry of one translated run: "[" ENGLISH "=" TRANSLATION CR LF.
void AppendTranslationEntry(std::string& out, std::string_view english,
                            std::string_view translation);

// Whether the bytes are a translation text file's: its header holds the program file's line in
// its place.
bool HasProgramLine(std::string_view bytes);

// The program file's name from that header line, without the line end (the name as the header
// holds it); empty when there is no such line or it names nothing.
std::string HeaderProgramName(std::string_view bytes);

// The options a listing was made with, which decide the runs found in the program file. Translate
// records them in a comment line after the header, so that Write and Mender find exactly the runs
// it listed:
//   "// options: plug-in 1 also-main 0 ignore-case 0 filter 1111...1 walk structure"
struct ListingOptions {
    int bPlugInDict = 0;
    int bAlsoDefaultDict = 0;
    int bIgnoreCase = 0;
    std::array<unsigned char, kCharFilterCount> abCharFilter{};
    int bWholeFileWalk = 0;
};
ListingOptions ListingOptionsOf(const PassState& state);
void UseListingOptions(const ListingOptions& options, PassState& state);
std::string ListingOptionsLine(const ListingOptions& options);
// The options of a listing's line; a listing without one (made before listings recorded them) is
// read with the plug-in dictionary off and the walk chosen by the file's kind.
ListingOptions ReadListingOptions(std::string_view bytes);

// Makes the bytes of a translation text file the edited dictionary of the engine, which Write and
// Mender look each run up in: every CR LF becomes "]}" (the entry's close), then the text is held
// up to its first NUL byte.
void LoadEditedDictionary(CTranslationEngine& engine, std::string fileBytes);

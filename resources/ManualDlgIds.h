// The manual window's template and its controls, by name: the template table and the window
// both use these.
#pragma once

namespace ids::manual {

inline constexpr int kTemplate = 134;

inline constexpr int kLoad = 1092;
inline constexpr int kTranslate = 1093;
inline constexpr int kWrite = 1094;
inline constexpr int kStop = 1005;
inline constexpr int kEnd = 1004;
// The lists of the backup and the translation text file extensions, and their boxes.
inline constexpr int kBackupExtList = 1096;
inline constexpr int kTranslationExtList = 1097;
inline constexpr int kBackupExtBox = 1072;
inline constexpr int kTranslationExtBox = 1073;
inline constexpr int kProgress = 1095;
// The boxes the file name, the counters and the last texts of a pass are drawn in; the
// progress and count boxes change their captions with the command that runs.
inline constexpr int kFileNameBox = 1090;
inline constexpr int kProgressBox = 1100;
inline constexpr int kFoundCountBox = 1091;
inline constexpr int kCountBox = 1077;
inline constexpr int kSourceBox = 1098;
inline constexpr int kTranslationBox = 1099;

}  // namespace ids::manual

// The main window's template and its controls, by name: the template table and the window
// both use these.
#pragma once

namespace ids::main {

inline constexpr int kTemplate = 102;

inline constexpr int kLoad = 1001;
inline constexpr int kStart = 1002;
inline constexpr int kExit = 1003;
inline constexpr int kSettings = 1005;
inline constexpr int kStop = 1006;
inline constexpr int kManual = 1007;
inline constexpr int kProgress = 1039;
// The boxes the file name, the two counters and the last texts of a pass are drawn in.
inline constexpr int kFileNameBox = 1071;
inline constexpr int kFoundCountBox = 1072;
inline constexpr int kTranslatedCountBox = 1073;
inline constexpr int kSourceBox = 1074;
inline constexpr int kTranslationBox = 1075;

}  // namespace ids::main

// The settings window's template and its controls, by name: the template table, the window and
// its 3D view use these.
#pragma once

namespace ids::settings {

inline constexpr int kTemplate = 129;

// The translation options, on the right.
inline constexpr int kTranslationOptionsBox = 1087;
inline constexpr int kWholeSentence = 1045;
inline constexpr int kSingleSentence = 1044;
inline constexpr int kNotepad = 1061;
inline constexpr int kPatch = 1063;
inline constexpr int kPlugInDict = 1057;
inline constexpr int kDelayBox = 1088;
inline constexpr int kDelay = 1062;
inline constexpr int kBackupExtBox = 1089;
inline constexpr int kBackupExt = 1070;
inline constexpr int kAdvanced = 1049;
inline constexpr int kLanguage = 1050;
inline constexpr int kAbout = 1046;
inline constexpr int kConfirm = 1043;

// The options of the 3D test view, in the middle.
inline constexpr int kViewOptionsBox = 1078;
inline constexpr int kTextureFilterBox = 1077;
inline constexpr int kTextureFilter = 1060;
inline constexpr int kShadingBox = 1080;
inline constexpr int kShading = 1059;
inline constexpr int kDither = 1051;
inline constexpr int kPerspective = 1058;
inline constexpr int kLightsBox = 1079;
inline constexpr int kAmbientLight = 1053;
inline constexpr int kDirectionalLight = 1052;
inline constexpr int kPointLight = 1054;
inline constexpr int kParallelPointLight = 1055;
inline constexpr int kSpotLight = 1056;
inline constexpr int kSpecial = 1048;
inline constexpr int kTest = 1047;

// The hidden frame of the area the 3D view draws in, on the left.
inline constexpr int kViewArea = 1076;

}  // namespace ids::settings

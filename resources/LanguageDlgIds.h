// The language window's template and its controls, by name: the template table and the window
// both use these.
#pragma once

namespace ids::language {

inline constexpr int kTemplate = 146;

// The four translation directions; the two Chinese-to-Chinese ones are shown disabled.
inline constexpr int kToTraditional = 1126;
inline constexpr int kToSimplified = 1127;
inline constexpr int kTraditionalToSimplified = 1046;
inline constexpr int kSimplifiedToTraditional = 1047;
inline constexpr int kConfirm = 1128;
inline constexpr int kCancel = 1129;

}  // namespace ids::language

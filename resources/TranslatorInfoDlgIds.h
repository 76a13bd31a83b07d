// The translator identity window's template and its controls, by name: the template table and
// the window both use these.
#pragma once

namespace ids::translator {

inline constexpr int kTemplate = 147;

inline constexpr int kName = 1131;
inline constexpr int kUrl = 1132;
inline constexpr int kEmail = 1133;
inline constexpr int kConfirm = 1134;
// The id Windows gives every Cancel button.
inline constexpr int kCancel = 2;

}  // namespace ids::translator

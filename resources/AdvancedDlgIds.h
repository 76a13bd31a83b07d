// The advanced window's template and its controls, by name: the template table and the window
// both use these.
#pragma once

namespace ids::advanced {

inline constexpr int kTemplate = 136;

// The character boxes of the plug-in dictionary's scanner.
inline constexpr int kDigits = 1111;
inline constexpr int kLowercase = 1112;
inline constexpr int kUppercase = 1113;
inline constexpr int kSpaceChar = 1114;
inline constexpr int kExclamationChar = 1115;
inline constexpr int kQuoteChar = 1116;
inline constexpr int kDollarChar = 1117;
inline constexpr int kPercentChar = 1118;
inline constexpr int kApostropheChar = 1059;
inline constexpr int kOpenParenChar = 1060;
inline constexpr int kCloseParenChar = 1061;
inline constexpr int kAsteriskChar = 1062;
inline constexpr int kPlusChar = 1063;
inline constexpr int kCommaChar = 1064;
inline constexpr int kMinusChar = 1065;
inline constexpr int kPeriodChar = 1066;
inline constexpr int kSlashChar = 1067;
inline constexpr int kColonChar = 1068;
inline constexpr int kSemicolonChar = 1069;
inline constexpr int kLessChar = 1070;
inline constexpr int kEqualsChar = 1071;
inline constexpr int kGreaterChar = 1072;
inline constexpr int kQuestionChar = 1073;
inline constexpr int kAtChar = 1074;
inline constexpr int kOpenBracketChar = 1075;
inline constexpr int kCloseBracketChar = 1076;
inline constexpr int kCaretChar = 1077;
inline constexpr int kUnderscoreChar = 1078;
inline constexpr int kBacktickChar = 1079;
inline constexpr int kOpenBraceChar = 1080;
inline constexpr int kBarChar = 1081;
inline constexpr int kCloseBraceChar = 1082;
inline constexpr int kTildeChar = 1083;

// The character boxes in the order of the scanner's character filters.
inline constexpr int kCharFilters[] = {
    kDigits,           kLowercase,      kUppercase,      kSpaceChar,      kExclamationChar,
    kQuoteChar,        kDollarChar,     kPercentChar,    kApostropheChar, kOpenParenChar,
    kCloseParenChar,   kAsteriskChar,   kPlusChar,       kCommaChar,      kMinusChar,
    kPeriodChar,       kSlashChar,      kColonChar,      kSemicolonChar,  kLessChar,
    kEqualsChar,       kGreaterChar,    kQuestionChar,   kAtChar,         kOpenBracketChar,
    kCloseBracketChar, kCaretChar,      kUnderscoreChar, kBacktickChar,   kOpenBraceChar,
    kBarChar,          kCloseBraceChar, kTildeChar};

inline constexpr int kAlsoDefaultDict = 1084;
inline constexpr int kIgnoreCase = 1085;
inline constexpr int kConfirm = 1107;
inline constexpr int kCancel = 1108;
inline constexpr int kDefaults = 1119;
inline constexpr int kClearAll = 1120;

}  // namespace ids::advanced

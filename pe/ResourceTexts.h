// The interface texts inside the resources of a Windows program file: string tables, menus,
// dialogs and version information, in English or language-neutral resources only.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "PeImage.h"

enum class ETextField { StringTableEntry, MenuItem, DialogCaption, DialogControl, VersionValue };

struct ResourceText {
    std::int64_t nOffset = 0;  // file offset of the text's first 16-bit unit
    // Units of the text itself: for a string-table entry its length unit's value; for a
    // zero-terminated text the units before the terminator.
    int nUnits = 0;
    ETextField field = ETextField::StringTableEntry;
    std::uint16_t nType = 0;      // RT_STRING 6, RT_MENU 4, RT_DIALOG 5, RT_VERSION 16
    std::uint32_t nId = 0;        // resource id (0 when the resource has a name)
    std::string strName;          // resource name when it has one instead of an id
    std::uint16_t nLanguage = 0;  // LANGID
    // Short English description for reports: "string 103", "menu 1 item 7",
    // "dialog 100 control 3 (Button)", "version FileDescription".
    std::string strWhere;
};

struct ResourceScan {
    std::vector<ResourceText> texts;  // in file order
    // Every byte range [begin, end) of resource data and of the resource directory itself,
    // whatever its language: no other walk may touch these.
    std::vector<std::pair<std::int64_t, std::int64_t>> resourceRanges;
    std::string strProblem;  // non-empty: the directory or a resource did not read
};

ResourceScan ListResourceTexts(const unsigned char* image, std::int64_t size,
                               const PeLayout& layout);

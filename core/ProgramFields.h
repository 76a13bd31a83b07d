// The texts of a Windows program that VOKRA may translate: the fields of its English and neutral
// resources (string-table entries, menu items, dialog captions and control texts, a few version
// values) and the 16-bit texts of its data sections that read as interface sentences. The
// structure-aware walk translates them and the check of a translation holds every change against
// them, so both take them from here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "PeImage.h"
#include "ResourceTexts.h"

struct ProgramField {
    std::int64_t nOffset = 0;  // file offset of the field's first unit
    int nUnits = 0;            // the units of its text; a translation keeps that length
    bool bAccessKeys = false;  // an "&" marks an access key (menus and dialogs)
    bool bData = false;        // a text of a data section, not of the resources
    std::string strWhere;      // "string 103, English", "menu 1 item 7, neutral", "section .rdata"
};

// Every field, in file order; data texts only where they read as interface text.
std::vector<ProgramField> ProgramFieldsOf(const unsigned char* image, std::int64_t size,
                                          const PeLayout& layout, const ResourceScan& resources);

// The `units` 16-bit units at `offset`.
std::u16string UnitsAt(const unsigned char* image, std::int64_t offset, int units);

// Whether a field's text is one VOKRA translates: plain English (printable ASCII, tabs and line
// ends) with a letter, nothing that must stay as it is (paths, registry keys, file and font
// names...), and for a data text one that reads as interface text.
bool MayTranslate(std::u16string_view text, const ProgramField& field);

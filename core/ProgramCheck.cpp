#include "ProgramCheck.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "ByteReader.h"
#include "FieldText.h"
#include "PeImage.h"
#include "Placeholders.h"
#include "ProgramFields.h"
#include "ResourceTexts.h"
#include "ResourceTree.h"
#include "TerminalText.h"

namespace {

using Range = std::pair<std::int64_t, std::int64_t>;

// The byte ranges where the two images differ, two ranges a single unchanged byte apart joined.
std::vector<Range> ChangedRanges(const unsigned char* before, const unsigned char* after,
                                 std::int64_t size) {
    std::vector<Range> ranges;
    for (std::int64_t i = 0; i < size; ++i) {
        if (before[i] == after[i]) {
            continue;
        }
        if (!ranges.empty() && i - ranges.back().second <= 1) {
            ranges.back().second = i + 1;
        } else {
            ranges.emplace_back(i, i + 1);
        }
    }
    return ranges;
}

std::string Hex(const unsigned char* bytes, std::int64_t begin, std::int64_t end) {
    std::string text;
    constexpr std::int64_t kShown = 32;
    for (std::int64_t i = begin; i < end && i < begin + kShown; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        text += hex;
    }
    if (end - begin > kShown) {
        text += "...";
    }
    return text;
}

std::string TypeName(const ResourceKey& type) {
    if (type.IsNamed()) {
        return type.strName;
    }
    switch (type.nId) {
        case 1:
            return "cursor";
        case 2:
            return "bitmap";
        case 3:
            return "icon";
        case 4:
            return "menu";
        case 5:
            return "dialog";
        case 6:
            return "string table";
        case 9:
            return "accelerators";
        case 10:
            return "data";
        case 14:
            return "icon group";
        case 16:
            return "version";
        case 24:
            return "manifest";
        default:
            return "type " + std::to_string(type.nId);
    }
}

std::string KeyName(const ResourceKey& key) {
    return key.IsNamed() ? key.strName : std::to_string(key.nId);
}

// Where bytes outside every translatable field lie.
std::string WhereOutside(const PeLayout& layout, const ResourceTree& tree, std::int64_t pos) {
    for (const ResourceLeaf& leaf : tree.leaves) {
        if (pos >= leaf.nDataOffset && pos < leaf.nDataOffset + leaf.nDataSize) {
            char language[16];
            std::snprintf(language, sizeof language, "%04X", leaf.language.nId);
            return "resource " + TypeName(leaf.type) + " " + KeyName(leaf.name) + ", language " +
                   language;
        }
    }
    for (const Range& range : tree.directoryRanges) {
        if (pos >= range.first && pos < range.second) {
            return "resource directory";
        }
    }
    if (pos >= layout.nChecksumOffset && pos < layout.nChecksumOffset + 4) {
        return "header checksum";
    }
    if (pos < layout.nHeadersEnd) {
        return "headers";
    }
    for (const PeSection& section : layout.sections) {
        if (pos >= section.nRawOffset &&
            pos < std::int64_t{section.nRawOffset} + section.nRawSize) {
            return "section " + section.strName;
        }
    }
    return pos >= layout.nEndOfSections ? "appended data" : "between sections";
}

// The field holding `pos`, or null.
const ProgramField* FieldAt(const std::vector<ProgramField>& fields, std::int64_t pos) {
    auto it = std::upper_bound(fields.begin(), fields.end(), pos,
                               [](std::int64_t p, const ProgramField& f) { return p < f.nOffset; });
    if (it == fields.begin()) {
        return nullptr;
    }
    --it;
    return pos < it->nOffset + 2 * std::int64_t{it->nUnits} ? &*it : nullptr;
}

std::uint32_t StoredChecksum(const unsigned char* image, std::int64_t offset) {
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = value << 8 | image[offset + i];
    }
    return value;
}

// The string-table entries of the translation must lie where the original's do.
void CheckStringTables(const ResourceScan& original, const unsigned char* after, std::int64_t size,
                       const PeLayout& layout, ProgramCheckResult& result) {
    const ResourceScan translated = ListResourceTexts(after, size, layout);
    if (!translated.strProblem.empty()) {
        result.fileProblems.push_back("the translation's resources do not read: " +
                                      translated.strProblem);
        return;
    }
    const auto entries = [](const ResourceScan& scan) {
        std::vector<Range> list;
        for (const ResourceText& text : scan.texts) {
            if (text.field == ETextField::StringTableEntry) {
                list.emplace_back(text.nOffset, text.nUnits);
            }
        }
        return list;
    };
    const std::vector<Range> was = entries(original);
    const std::vector<Range> now = entries(translated);
    for (std::size_t i = 0; i < was.size(); ++i) {
        if (i >= now.size() || now[i] != was[i]) {
            for (const ResourceText& text : original.texts) {
                if (text.nOffset == was[i].first) {
                    result.fileProblems.push_back("string table broken from " + text.strWhere);
                    break;
                }
            }
            return;
        }
    }
}

}  // namespace

ProgramCheckResult CheckTranslation(const unsigned char* before, std::int64_t beforeSize,
                                    const unsigned char* after, std::int64_t afterSize) {
    ProgramCheckResult result;
    if (beforeSize != afterSize) {
        result.fileProblems.push_back("the files differ in length: " + std::to_string(beforeSize) +
                                      " and " + std::to_string(afterSize) + " bytes");
    }
    const std::int64_t size = std::min(beforeSize, afterSize);
    const PeReadResult read = ReadPeImage(before, beforeSize);
    std::vector<ProgramField> fields;
    ResourceScan resources;
    ResourceTree tree;
    const bool bProgram = read.kind == EPeKind::Pe;
    if (read.kind == EPeKind::Broken) {
        result.fileProblems.push_back("the original does not read as a Windows program: " +
                                      read.strProblem);
    }
    if (bProgram) {
        resources = ListResourceTexts(before, beforeSize, read.layout);
        fields = ProgramFieldsOf(before, beforeSize, read.layout, resources);
        for (const ProgramField& field : fields) {
            result.nFields +=
                MayTranslate(UnitsAt(before, field.nOffset, field.nUnits), field) ? 1 : 0;
        }
        tree = ReadResourceTree(before, beforeSize, read.layout);
    }

    const ProgramField* last = nullptr;
    for (const Range& range : ChangedRanges(before, after, size)) {
        const ProgramField* field = bProgram ? FieldAt(fields, range.first) : nullptr;
        const bool bInside =
            field != nullptr && range.second <= field->nOffset + 2 * std::int64_t{field->nUnits};
        if (bInside && field == last) {
            continue;  // the field is listed already
        }
        CheckedChange change;
        if (bInside) {
            last = field;
            const std::u16string was = UnitsAt(before, field->nOffset, field->nUnits);
            const std::u16string now = UnitsAt(after, field->nOffset, field->nUnits);
            result.nFieldsChanged += MayTranslate(was, *field) ? 1 : 0;
            change.nOffset = field->nOffset;
            change.strWhere = field->strWhere;
            change.strBefore = Utf8OfUnits({before, beforeSize}, field->nOffset, field->nUnits);
            change.strAfter = Utf8OfUnits({after, afterSize}, field->nOffset, field->nUnits);
            if (!MayTranslate(was, *field)) {
                change.problems.push_back("a text kept as it is was changed");
            }
            if (!KeepsPlaceholders(was, now)) {
                change.problems.push_back("placeholder lost");
            }
            if (field->bAccessKeys && SplitField(was, true).key != 0 &&
                SplitField(now, true).key == 0) {
                change.problems.push_back("access key lost");
            }
        } else {
            change.nOffset = range.first;
            change.strWhere = bProgram ? WhereOutside(read.layout, tree, range.first) : "file";
            change.strBefore = Hex(before, range.first, range.second);
            change.strAfter = Hex(after, range.first, range.second);
            if (bProgram && change.strWhere != "header checksum") {
                change.problems.push_back("changed outside a translatable field");
            }
        }
        result.changes.push_back(std::move(change));
    }

    if (bProgram && size == beforeSize) {
        CheckStringTables(resources, after, size, read.layout, result);
        if (read.layout.nChecksum != 0 &&
            StoredChecksum(after, read.layout.nChecksumOffset) !=
                ComputePeChecksum(after, size, read.layout.nChecksumOffset)) {
            result.fileProblems.push_back("the header checksum does not match the translation");
        }
    }
    for (const CheckedChange& change : result.changes) {
        result.nProblems += change.problems.empty() ? 0 : 1;
    }
    result.nProblems += static_cast<int>(result.fileProblems.size());
    return result;
}

std::string FormatCheck(const ProgramCheckResult& result) {
    std::string text;
    char offset[32];
    for (const CheckedChange& change : result.changes) {
        std::snprintf(offset, sizeof offset, "0x%08llX",
                      static_cast<unsigned long long>(change.nOffset));
        text += std::string(offset) + "  " + TerminalText(change.strWhere) + "  \"" +
                TerminalText(change.strBefore) + "\" -> \"" + TerminalText(change.strAfter) + "\"";
        for (const std::string& problem : change.problems) {
            text += "  [" + problem + "]";
        }
        text += "\n";
    }
    for (const std::string& problem : result.fileProblems) {
        text += "[" + TerminalText(problem) + "]\n";
    }
    text += std::to_string(result.changes.size()) + " changes, " +
            std::to_string(result.nProblems) + " problems";
    if (result.nFields > 0) {
        text += "; " + std::to_string(result.nFieldsChanged) + " of " +
                std::to_string(result.nFields) + " translatable texts changed";
    }
    text += "\n";
    return text;
}

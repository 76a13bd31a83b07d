#include "ResourceTexts.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "ByteReader.h"
#include "ResourceTree.h"

namespace {

constexpr std::uint32_t kMenu = 4;
constexpr std::uint32_t kDialog = 5;
constexpr std::uint32_t kString = 6;
constexpr std::uint32_t kVersion = 16;

bool IsEnglishOrNeutral(const ResourceKey& language) {
    const std::uint32_t primary = language.nId & 0x3FF;
    return !language.IsNamed() && language.nId <= 0xFFFF && (primary == 0x09 || primary == 0x00);
}

// A field that holds either nothing, an ordinal after 0xFFFF, or a zero-terminated text.
struct SzOrOrdinal {
    bool bOrdinal = false;
    std::uint16_t nOrdinal = 0;
    std::int64_t nTextOffset = 0;
    int nUnits = 0;  // 0: empty, or an ordinal
};

// The texts of one resource's data, [nStart, nEnd) of the file.
class ResourceParse {
  public:
    ResourceParse(const ByteReader& bytes, const ResourceLeaf& leaf,
                  std::vector<ResourceText>& texts)
        : m_bytes(bytes),
          m_leaf(leaf),
          m_texts(texts),
          m_nStart(leaf.nDataOffset),
          m_nEnd(leaf.nDataOffset + leaf.nDataSize) {}

    // Empty when the resource read, else what did not.
    std::string Read() {
        switch (m_leaf.type.nId) {
            case kString:
                ReadStringTable();
                break;
            case kMenu:
                ReadMenu();
                break;
            case kDialog:
                ReadDialog();
                break;
            case kVersion:
                ReadVersion();
                break;
        }
        return m_strProblem;
    }

  private:
    const ByteReader& m_bytes;
    const ResourceLeaf& m_leaf;
    std::vector<ResourceText>& m_texts;
    std::int64_t m_nStart, m_nEnd;
    std::string m_strProblem;

    std::string Name() const {
        return m_leaf.name.IsNamed() ? m_leaf.name.strName : std::to_string(m_leaf.name.nId);
    }
    bool Fail(const std::string& what) {
        if (m_strProblem.empty()) {
            m_strProblem = what + " does not read";
        }
        return false;
    }
    bool Has(std::int64_t offset, std::int64_t length) const {
        return offset >= m_nStart && length >= 0 && offset <= m_nEnd && length <= m_nEnd - offset;
    }
    std::int64_t Align4(std::int64_t offset) const {
        return m_nStart + ((offset - m_nStart + 3) & ~std::int64_t{3});
    }
    void Add(std::int64_t offset, int units, ETextField field, const std::string& where) {
        if (units <= 0) {
            return;
        }
        ResourceText text;
        text.nOffset = offset;
        text.nUnits = units;
        text.field = field;
        text.nType = static_cast<std::uint16_t>(m_leaf.type.nId);
        text.nId = m_leaf.name.IsNamed() ? 0 : m_leaf.name.nId;
        text.strName = m_leaf.name.strName;
        text.nLanguage = static_cast<std::uint16_t>(m_leaf.language.nId);
        text.strWhere = where;
        m_texts.push_back(std::move(text));
    }

    // The units before the zero terminator of the text at `offset`; -1 when none ends it.
    int TextUnits(std::int64_t offset) const {
        for (std::int64_t at = offset; Has(at, 2); at += 2) {
            if (m_bytes.U16(at) == 0) {
                return static_cast<int>((at - offset) / 2);
            }
        }
        return -1;
    }
    // Reads a zero-terminated text at `offset` and moves `offset` past its terminator.
    bool ReadText(std::int64_t& offset, int& units) {
        units = TextUnits(offset);
        if (units < 0) {
            return false;
        }
        offset += 2 * (units + 1);
        return true;
    }
    bool ReadSzOrOrdinal(std::int64_t& offset, SzOrOrdinal& field) {
        if (!Has(offset, 2)) {
            return false;
        }
        field = {};
        if (m_bytes.U16(offset) == 0xFFFF) {
            if (!Has(offset, 4)) {
                return false;
            }
            field.bOrdinal = true;
            field.nOrdinal = m_bytes.U16(offset + 2);
            offset += 4;
            return true;
        }
        field.nTextOffset = offset;
        return ReadText(offset, field.nUnits);
    }

    // 16 entries, each a length unit and that many units; block n holds strings (n-1)*16 + i.
    void ReadStringTable() {
        if (m_leaf.name.IsNamed() || m_leaf.name.nId == 0) {
            return;  // no string ids lead to such a block
        }
        std::int64_t offset = m_nStart;
        for (std::uint32_t i = 0; i < 16 && Has(offset, 2); ++i) {
            const int units = m_bytes.U16(offset);
            offset += 2;
            if (!Has(offset, 2 * units)) {
                Fail("string table " + Name());
                return;
            }
            const std::uint32_t id = (m_leaf.name.nId - 1) * 16 + i;
            Add(offset, units, ETextField::StringTableEntry, "string " + std::to_string(id));
            offset += 2 * units;
        }
    }

    // MENU (version 0): flags, an id unless a popup, the text; MENUEX (version 1): type, state,
    // id, flags, the text aligned to 4, a help id for popups. A popup's items follow it; the
    // item marked last ends its level.
    void ReadMenu() {
        const std::string what = "menu " + Name();
        if (!Has(m_nStart, 4)) {
            Fail(what);
            return;
        }
        const int version = m_bytes.U16(m_nStart);
        if (version != 0 && version != 1) {
            Fail(what);
            return;
        }
        const bool extended = version == 1;
        std::int64_t offset = m_nStart + 4 + m_bytes.U16(m_nStart + 2);
        std::vector<bool> popupWasLast;  // one per open submenu
        for (int item = 1;; ++item) {
            bool popup = false, last = false;
            if (extended) {
                offset = Align4(offset);
                if (!Has(offset, 14)) {
                    Fail(what);
                    return;
                }
                const std::uint16_t flags = m_bytes.U16(offset + 12);
                popup = (flags & 0x01) != 0;
                last = (flags & 0x80) != 0;
                offset += 14;
            } else {
                if (!Has(offset, 2)) {
                    Fail(what);
                    return;
                }
                const std::uint16_t flags = m_bytes.U16(offset);
                popup = (flags & 0x10) != 0;
                last = (flags & 0x80) != 0;
                offset += popup ? 2 : 4;
            }
            const std::int64_t textOffset = offset;
            int units = 0;
            if (!ReadText(offset, units)) {
                Fail(what);
                return;
            }
            Add(textOffset, units, ETextField::MenuItem, what + " item " + std::to_string(item));
            if (popup) {
                if (extended) {
                    offset = Align4(offset) + 4;  // the help id
                }
                popupWasLast.push_back(last);
                continue;
            }
            // A last item closes its level, and each enclosing level whose popup was last.
            while (last) {
                if (popupWasLast.empty()) {
                    return;
                }
                last = popupWasLast.back();
                popupWasLast.pop_back();
            }
        }
    }

    // Whether a control's title is a label to list: Button and Static texts only, not the
    // resource names of image controls, not the contents of edits, lists and combo boxes.
    static bool TitleIsLabel(const std::string& className, std::uint32_t style) {
        if (className == "Button") {
            return (style & (0x80 | 0x40)) == 0;  // BS_BITMAP, BS_ICON
        }
        if (className == "Static") {
            const std::uint32_t type = style & 0x1F;
            return type != 0x3 && type != 0xE && type != 0xF;  // SS_ICON, SS_BITMAP, SS_ENHMETAFILE
        }
        return false;
    }
    std::string ClassName(const SzOrOrdinal& field) const {
        static const char* const kOrdinals[] = {"Button",  "Edit",      "Static",
                                                "ListBox", "ScrollBar", "ComboBox"};
        if (field.bOrdinal) {
            if (field.nOrdinal >= 0x80 && field.nOrdinal <= 0x85) {
                return kOrdinals[field.nOrdinal - 0x80];
            }
            return "class " + std::to_string(field.nOrdinal);
        }
        std::string name = Utf8OfUnits(m_bytes, field.nTextOffset, field.nUnits);
        for (const char* known : kOrdinals) {
            std::string_view k(known);
            if (name.size() == k.size() &&
                std::equal(name.begin(), name.end(), k.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) ==
                           std::tolower(static_cast<unsigned char>(b));
                })) {
                return known;
            }
        }
        return name;
    }

    // DIALOG and DIALOGEX: the header, menu, class, caption, the font when DS_SETFONT, then the
    // controls, each aligned to 4 from the start of the resource.
    void ReadDialog() {
        const std::string what = "dialog " + Name();
        const bool extended =
            Has(m_nStart, 4) && m_bytes.U16(m_nStart) == 1 && m_bytes.U16(m_nStart + 2) == 0xFFFF;
        const std::int64_t headerSize = extended ? 26 : 18;
        if (!Has(m_nStart, headerSize)) {
            Fail(what);
            return;
        }
        const std::uint32_t style = m_bytes.U32(m_nStart + (extended ? 12 : 0));
        const int controls = m_bytes.U16(m_nStart + (extended ? 16 : 8));
        std::int64_t offset = m_nStart + headerSize;
        SzOrOrdinal menu, windowClass, caption, typeface;
        if (!ReadSzOrOrdinal(offset, menu) || !ReadSzOrOrdinal(offset, windowClass) ||
            !ReadSzOrOrdinal(offset, caption)) {
            Fail(what);
            return;
        }
        Add(caption.nTextOffset, caption.nUnits, ETextField::DialogCaption, what + " caption");
        if (style & 0x40) {  // DS_SETFONT: point size (DIALOGEX: weight, italic, charset), face
            offset += extended ? 6 : 2;
            if (!ReadSzOrOrdinal(offset, typeface)) {
                Fail(what);
                return;
            }
        }
        for (int control = 1; control <= controls; ++control) {
            offset = Align4(offset);
            const std::int64_t itemSize = extended ? 24 : 18;
            if (!Has(offset, itemSize)) {
                Fail(what);
                return;
            }
            const std::uint32_t itemStyle = m_bytes.U32(offset + (extended ? 8 : 0));
            offset += itemSize;
            SzOrOrdinal itemClass, title;
            if (!ReadSzOrOrdinal(offset, itemClass) || !ReadSzOrOrdinal(offset, title) ||
                !Has(offset, 2)) {
                Fail(what);
                return;
            }
            offset += 2 + m_bytes.U16(offset);  // creation data
            const std::string className = ClassName(itemClass);
            if (!title.bOrdinal && TitleIsLabel(className, itemStyle)) {
                Add(title.nTextOffset, title.nUnits, ETextField::DialogControl,
                    what + " control " + std::to_string(control) + " (" + className + ")");
            }
        }
    }

    // One block of version information: wLength, wValueLength, wType, the key, then (aligned to
    // 4) the value and the children.
    struct VersionBlock {
        std::int64_t nEnd = 0, nKey = 0, nValue = 0;
        int nKeyUnits = 0;
        std::uint16_t nValueLength = 0;
    };
    bool ReadVersionBlock(std::int64_t offset, std::int64_t limit, VersionBlock& block) {
        const std::int64_t length = m_bytes.U16(offset);
        if (!Has(offset, 6) || length < 6 || offset + length > limit) {
            return false;
        }
        block.nEnd = offset + length;
        block.nValueLength = m_bytes.U16(offset + 2);
        block.nKey = offset + 6;
        block.nKeyUnits = -1;
        for (std::int64_t at = block.nKey; at + 2 <= block.nEnd; at += 2) {
            if (m_bytes.U16(at) == 0) {
                block.nKeyUnits = static_cast<int>((at - block.nKey) / 2);
                break;
            }
        }
        if (block.nKeyUnits < 0) {
            return false;
        }
        block.nValue = std::min(Align4(block.nKey + 2 * block.nKeyUnits + 2), block.nEnd);
        return true;
    }
    bool KeyIs(const VersionBlock& block, std::string_view key) const {
        return Utf8OfUnits(m_bytes, block.nKey, block.nKeyUnits) == key;
    }

    // VS_VERSIONINFO, its StringFileInfo, its string tables and their strings: the values of
    // FileDescription, ProductName and Comments.
    void ReadVersion() {
        const std::string what = "version " + Name();
        VersionBlock root;
        if (!ReadVersionBlock(m_nStart, m_nEnd, root)) {
            Fail(what);
            return;
        }
        // The fixed file information: wValueLength bytes.
        std::int64_t child = Align4(root.nValue + root.nValueLength);
        for (VersionBlock info; child + 6 <= root.nEnd; child = Align4(info.nEnd)) {
            if (!ReadVersionBlock(child, root.nEnd, info)) {
                Fail(what);
                return;
            }
            if (!KeyIs(info, "StringFileInfo")) {
                continue;
            }
            VersionBlock table, entry;
            for (std::int64_t at = info.nValue; at + 6 <= info.nEnd; at = Align4(table.nEnd)) {
                if (!ReadVersionBlock(at, info.nEnd, table)) {
                    Fail(what);
                    return;
                }
                for (std::int64_t in = table.nValue; in + 6 <= table.nEnd;
                     in = Align4(entry.nEnd)) {
                    if (!ReadVersionBlock(in, table.nEnd, entry)) {
                        Fail(what);
                        return;
                    }
                    ReadVersionString(entry);
                }
            }
        }
    }
    void ReadVersionString(const VersionBlock& entry) {
        for (std::string_view key : {"FileDescription", "ProductName", "Comments"}) {
            if (!KeyIs(entry, key)) {
                continue;
            }
            // The value ends at its terminator or, when a writer left that out, at the block's end.
            int units = 0;
            while (entry.nValue + 2 * units + 2 <= entry.nEnd &&
                   m_bytes.U16(entry.nValue + 2 * units) != 0) {
                ++units;
            }
            Add(entry.nValue, units, ETextField::VersionValue, "version " + std::string(key));
        }
    }
};

// Sorted, merged ranges contain [begin, end) partly.
bool Overlaps(const ByteRanges& ranges, std::int64_t begin, std::int64_t end) {
    auto after = std::upper_bound(ranges.begin(), ranges.end(), std::make_pair(begin, INT64_MAX));
    if (after != ranges.begin() && std::prev(after)->second > begin) {
        return true;
    }
    return after != ranges.end() && after->first < end;
}

}  // namespace

ResourceScan ListResourceTexts(const unsigned char* image, std::int64_t size,
                               const PeLayout& layout) {
    ResourceScan scan;
    const ResourceTree tree = ReadResourceTree(image, size, layout);
    if (!tree.strProblem.empty()) {
        scan.strProblem = tree.strProblem;
        return scan;
    }
    scan.resourceRanges = tree.directoryRanges;
    ByteRanges otherLanguages;  // data of resources whose texts are never listed
    for (const ResourceLeaf& leaf : tree.leaves) {
        const std::pair<std::int64_t, std::int64_t> data{leaf.nDataOffset,
                                                         leaf.nDataOffset + leaf.nDataSize};
        scan.resourceRanges.push_back(data);
        if (!IsEnglishOrNeutral(leaf.language)) {
            otherLanguages.push_back(data);
        }
    }
    MergeRanges(scan.resourceRanges);
    MergeRanges(otherLanguages);

    const ByteReader bytes{image, size};
    for (const ResourceLeaf& leaf : tree.leaves) {
        if (leaf.type.IsNamed() || !IsEnglishOrNeutral(leaf.language) || leaf.nDataSize == 0 ||
            Overlaps(otherLanguages, leaf.nDataOffset, leaf.nDataOffset + leaf.nDataSize)) {
            continue;
        }
        ResourceParse parse(bytes, leaf, scan.texts);
        const std::string problem = parse.Read();
        if (!problem.empty()) {
            scan.strProblem = problem;
            scan.texts.clear();
            return scan;
        }
    }
    // File order; a data entry several English leaves share gives its texts once.
    std::sort(scan.texts.begin(), scan.texts.end(),
              [](const ResourceText& a, const ResourceText& b) { return a.nOffset < b.nOffset; });
    scan.texts.erase(std::unique(scan.texts.begin(), scan.texts.end(),
                                 [](const ResourceText& a, const ResourceText& b) {
                                     return a.nOffset == b.nOffset;
                                 }),
                     scan.texts.end());
    return scan;
}

#include "ProgramFields.h"

#include <algorithm>

#include "DataTexts.h"
#include "TextGuards.h"

namespace {

const char* LanguageOf(std::uint16_t language) {
    return (language & 0x3FF) == 0x09 ? "English" : "neutral";
}

bool IsPlainText(std::u16string_view text) {
    return std::all_of(text.begin(), text.end(), [](char16_t c) {
        return (c >= 0x20 && c <= 0x7E) || c == u'\t' || c == u'\r' || c == u'\n';
    });
}

bool HasLetter(std::u16string_view text) {
    return std::any_of(text.begin(), text.end(), [](char16_t c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    });
}

}  // namespace

std::vector<ProgramField> ProgramFieldsOf(const unsigned char* image, std::int64_t size,
                                          const PeLayout& layout, const ResourceScan& resources) {
    std::vector<ProgramField> fields;
    for (const ResourceText& text : resources.texts) {
        const bool bLabel = text.field == ETextField::MenuItem ||
                            text.field == ETextField::DialogCaption ||
                            text.field == ETextField::DialogControl;
        fields.push_back({text.nOffset, text.nUnits, bLabel, false,
                          text.strWhere + ", " + LanguageOf(text.nLanguage)});
    }
    for (const DataText& text : ListDataTexts(image, size, layout, resources.resourceRanges)) {
        ProgramField field{text.nOffset, text.nUnits, false, true, "section " + text.strSection};
        if (MayTranslate(UnitsAt(image, text.nOffset, text.nUnits), field)) {
            fields.push_back(std::move(field));
        }
    }
    std::sort(fields.begin(), fields.end(),
              [](const ProgramField& a, const ProgramField& b) { return a.nOffset < b.nOffset; });
    return fields;
}

std::u16string UnitsAt(const unsigned char* image, std::int64_t offset, int units) {
    std::u16string text(static_cast<std::size_t>(std::max(units, 0)), u'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char* unit = image + offset + 2 * static_cast<std::int64_t>(i);
        text[i] = static_cast<char16_t>(unit[0] | unit[1] << 8);
    }
    return text;
}

bool MayTranslate(std::u16string_view text, const ProgramField& field) {
    return IsPlainText(text) && HasLetter(text) && !MustStayUntranslated(text) &&
           (!field.bData || ReadsAsInterfaceText(text));
}

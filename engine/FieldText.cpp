// Splitting a field's text into lead, core, access key, trail and tab, and composing the
// translated field in the same number of units.
#include "FieldText.h"

#include <cstddef>
#include <vector>

namespace {

constexpr std::size_t npos = std::u16string_view::npos;
constexpr char16_t kEllipsis = u'\u2026';

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\u00A0';
}

// Blanks a translation may bring along, the ideographic space among them.
bool IsTranslationBlank(char16_t c) {
    return IsBlank(c) || c == u'\u3000';
}

// The blanks and punctuation that may stand before or after the words of a field.
bool IsEdgeChar(char16_t c) {
    return IsBlank(c) || c == kEllipsis ||
           (c != 0 && std::u16string_view(u".,:;!?()[]<>\"'-").find(c) != npos);
}

// Brackets and quotes, which belong to the lead and trail only as a pair.
bool IsPairChar(char16_t c) {
    return c == u'(' || c == u')' || c == u'[' || c == u']' || c == u'"' || c == u'\'';
}

bool Pairs(char16_t open, char16_t close) {
    return (open == u'(' && close == u')') || (open == u'[' && close == u']') ||
           (open == u'"' && close == u'"') || (open == u'\'' && close == u'\'');
}

// Where the "(&F)" form starts in `text`, when only blanks and edge punctuation follow it; npos
// when the text has none.
std::size_t FindParenKey(std::u16string_view text) {
    std::size_t edgeStart = text.size();  // where the blanks and punctuation at the end begin
    while (edgeStart > 0 && IsEdgeChar(text[edgeStart - 1])) {
        --edgeStart;
    }
    for (std::size_t i = text.find(u"(&"); i != npos; i = text.find(u"(&", i + 1)) {
        if (i + 3 < text.size() && text[i + 3] == u')' && text[i + 2] != u'&' &&
            text[i + 2] != u')' && !IsBlank(text[i + 2]) && i + 4 >= edgeStart) {
            return i;
        }
    }
    return npos;
}

// Appends `text` to `out` with the ampersands read as Windows draws a label: "&&" is a literal
// '&', the first '&' before another character marks the key (its index in `out` goes to
// *keyPos), any other single '&' is not drawn. A '&' before a blank or at the end was meant as a
// literal one and stays.
void AppendLabelText(std::u16string_view text, std::u16string& out, std::size_t* keyPos) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') {
            out += text[i];
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == u'&') {
            out += u'&';
            ++i;
        } else if (i + 1 == text.size() || IsBlank(text[i + 1])) {
            out += u'&';  // "Tom & Jerry": meant as a literal '&'
        } else if (*keyPos == npos) {
            *keyPos = out.size();
        }
    }
}

// Moves the lead's end back and the trail's start forward until the brackets and quotes left in
// them pair up, outermost first: "(default)" keeps both, "Print (color)." gives its ')' back to
// the core, "'%s' not found." its leading quote.
void BalanceEdges(std::u16string_view text, std::size_t& leadEnd, std::size_t& trailStart) {
    std::vector<std::size_t> opens;   // pair characters of the lead, outermost first
    std::vector<std::size_t> closes;  // pair characters of the trail, outermost first
    for (std::size_t i = 0; i < leadEnd; ++i) {
        if (IsPairChar(text[i])) {
            opens.push_back(i);
        }
    }
    for (std::size_t i = text.size(); i > trailStart; --i) {
        if (IsPairChar(text[i - 1])) {
            closes.push_back(i - 1);
        }
    }
    std::size_t matched = 0;
    while (matched < opens.size() && matched < closes.size() &&
           Pairs(text[opens[matched]], text[closes[matched]])) {
        ++matched;
    }
    if (matched < opens.size()) {
        leadEnd = opens[matched];
    }
    if (matched < closes.size()) {
        trailStart = closes[matched] + 1;
    }
}

char16_t KeyLetter(char16_t key) {
    return key >= u'a' && key <= u'z' ? static_cast<char16_t>(key - u'a' + u'A') : key;
}

// Whether a translation already carries the "(&X)" form of a key.
bool HasParenKey(std::u16string_view text) {
    for (std::size_t i = text.find(u"(&"); i != npos; i = text.find(u"(&", i + 1)) {
        if (i + 3 < text.size() && text[i + 3] == u')' && text[i + 2] != u'&') {
            return true;
        }
    }
    return false;
}

}  // namespace

FieldParts SplitField(std::u16string_view text, bool bAccessKeys) {
    FieldParts parts;
    parts.bAccessKeys = bAccessKeys;
    const std::size_t tabPos = text.find_first_of(u"\t\b");
    if (tabPos != npos) {
        parts.tab = text.substr(tabPos);
        text = text.substr(0, tabPos);
    }

    std::u16string plain;
    std::size_t keyPos = npos;
    if (!bAccessKeys) {
        plain = text;
    } else if (const std::size_t paren = FindParenKey(text); paren != npos) {
        std::size_t before = paren;
        while (before > 0 && IsBlank(text[before - 1])) {
            --before;
        }
        std::size_t ignored = npos;
        AppendLabelText(text.substr(0, before), plain, &ignored);
        ignored = npos;
        AppendLabelText(text.substr(paren + 4), plain, &ignored);
        parts.key = text[paren + 2];
        parts.bKeyInParens = true;
    } else {
        AppendLabelText(text, plain, &keyPos);
        if (keyPos != npos) {
            parts.key = plain[keyPos];
        }
    }

    std::size_t leadEnd = 0;
    while (leadEnd < plain.size() && IsEdgeChar(plain[leadEnd])) {
        ++leadEnd;
    }
    if (leadEnd == plain.size()) {  // nothing but blanks and punctuation
        parts.lead = plain;
        return parts;
    }
    std::size_t trailStart = plain.size();
    while (trailStart > leadEnd && IsEdgeChar(plain[trailStart - 1])) {
        --trailStart;
    }
    BalanceEdges(plain, leadEnd, trailStart);

    parts.lead = plain.substr(0, leadEnd);
    parts.core = plain.substr(leadEnd, trailStart - leadEnd);
    parts.trail = plain.substr(trailStart);
    if (keyPos != npos && keyPos >= leadEnd && keyPos < trailStart) {
        parts.keyIndex = static_cast<int>(keyPos - leadEnd);
    }
    return parts;
}

std::optional<std::u16string> ComposeField(const FieldParts& parts,
                                           std::u16string_view translatedCore, int units,
                                           ComposeNotes* notes) {
    if (notes != nullptr) {
        *notes = ComposeNotes{};
    }
    if (units < 0) {
        return std::nullopt;
    }

    // Blanks around a translation would sit between the words and their punctuation.
    while (!translatedCore.empty() && IsTranslationBlank(translatedCore.front())) {
        translatedCore.remove_prefix(1);
    }
    while (!translatedCore.empty() && IsTranslationBlank(translatedCore.back())) {
        translatedCore.remove_suffix(1);
    }
    const bool bOwnKey = parts.bAccessKeys && HasParenKey(translatedCore);
    std::u16string core;
    for (const char16_t c : translatedCore) {
        core += c;
        if (c == u'&' && parts.bAccessKeys && !bOwnKey) {
            core += u'&';
        }
    }

    // The trail's trailing blanks are fill, and the fill goes at the very end anyway.
    std::u16string trail = parts.trail;
    while (!trail.empty() && IsBlank(trail.back())) {
        trail.pop_back();
    }
    std::u16string shortTrail;
    if (const std::size_t dots = trail.find(u"..."); dots != npos) {
        shortTrail = trail;
        shortTrail.replace(dots, 3, 1, kEllipsis);
    }

    std::vector<std::u16string> keyForms;
    if (parts.bAccessKeys && parts.key != 0 && !bOwnKey) {
        const char16_t letter = KeyLetter(parts.key);
        keyForms.push_back(std::u16string(u"(&") + letter + u')');
        keyForms.push_back(std::u16string(u"&") + letter);
    }
    keyForms.emplace_back();  // the key left out

    const auto limit = static_cast<std::size_t>(units);
    for (const std::u16string& keyForm : keyForms) {
        for (const bool bShort : {false, true}) {
            if (bShort && shortTrail.empty()) {
                continue;
            }
            std::u16string field =
                parts.lead + core + keyForm + (bShort ? shortTrail : trail) + parts.tab;
            if (field.size() > limit) {
                continue;
            }
            field.append(limit - field.size(), u' ');
            if (notes != nullptr) {
                notes->bKeyDropped =
                    parts.bAccessKeys && parts.key != 0 && !bOwnKey && keyForm.empty();
                notes->bEllipsisShortened = bShort;
            }
            return field;
        }
    }
    return std::nullopt;
}

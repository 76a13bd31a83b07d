#include "RunTranslation.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "Placeholders.h"
#include "StructureWalk.h"

void TranslateCandidate(const PassState& state, CTranslationEngine& engine, const char* candidate,
                        int runBytes, EMainScanner mode) {
    if (state.m_bPlugInDict == 1) {
        engine.TranslatePlugIn(candidate, runBytes, state.m_bIgnoreCase == 1);
    }
    if (engine.m_nResultLen != 0 || (state.m_bPlugInDict == 1 && state.m_bAlsoDefaultDict == 0)) {
        return;
    }
    if (mode == EMainScanner::AlwaysSentence) {
        engine.TranslateSentence(candidate, runBytes, false);
    } else if (state.m_bWholeSentence == 1) {
        engine.TranslateSentence(candidate, runBytes, true);
    } else {
        engine.TranslateWord(candidate, runBytes);
    }
}

namespace {

// The result as units, as the lay-in of `how` makes them: a byte pair or a character each.
std::u16string ResultUnits(const CTranslationEngine& engine, ELayIn how) {
    const auto* result = reinterpret_cast<const unsigned char*>(engine.m_szResult);
    const int length = engine.m_nResultLen;
    std::u16string units;
    for (int k = 0; k < length;) {
        unsigned char b1 = result[k];
        unsigned char b2 = 0;
        if (how == ELayIn::ByUnits) {
            b2 = result[k + 1];
            if (b2 != 0) {
                CTranslationEngine::ConvertBig5Char(b1, b2);
            }
            k += 2;
        } else if (b1 >= 0x80) {
            b2 = result[k + 1];
            CTranslationEngine::ConvertBig5Char(b1, b2);
            k += 2;
        } else {
            k += 1;
        }
        units.push_back(static_cast<char16_t>(b1 | b2 << 8));
    }
    return units;
}

std::u16string Widened(std::string_view text) {
    return {text.begin(), text.end()};
}

std::u16string_view WithoutTrailingBlanks(std::u16string_view text) {
    while (!text.empty() && text.back() == u' ') {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

PreparedTranslation PrepareTranslation(const PassState& state, const CTranslationEngine& engine,
                                       std::int64_t pos, ELayIn how) {
    PreparedTranslation prepared;
    const int length = engine.m_nResultLen;
    if (length <= 0) {
        prepared.outcome = {ERunStatus::NoEntry, {}};
        return prepared;
    }
    const std::string_view translation(engine.m_szResult, static_cast<std::size_t>(length));
    prepared.outcome = {ERunStatus::DoesNotFit, translation};
    std::u16string units = ResultUnits(engine, how);
    const int runBytes = state.m_nRunBytes;
    const std::u16string english =
        Widened(std::string_view(state.m_szCandidate, static_cast<std::size_t>(runBytes / 2)));
    if (!KeepsPlaceholders(english, WithoutTrailingBlanks(units))) {
        prepared.outcome.status = ERunStatus::Kept;
        return prepared;
    }
    if (const FieldRun* field = state.m_pField) {
        std::optional<std::u16string> composed = ComposeField(
            field->parts, WithoutTrailingBlanks(units), field->nUnits, &prepared.notes);
        if (!composed) {
            return prepared;
        }
        prepared.nPos = field->nOffset;
        prepared.nBytes = 2 * field->nUnits;
        prepared.units = std::move(*composed);
    } else {
        // The run is blanked and the translation laid in from its start; it must fit as the
        // lay-in counts it (bytes by units, characters by characters).
        const bool bFits = how == ELayIn::ByUnits ? length <= runBytes
                                                  : 2 * static_cast<int>(units.size()) <= runBytes;
        if (!bFits) {
            return prepared;
        }
        units.resize(static_cast<std::size_t>(runBytes / 2), u' ');
        prepared.nPos = pos;
        prepared.nBytes = runBytes;
        prepared.units = std::move(units);
    }
    prepared.outcome.status = ERunStatus::Translated;
    return prepared;
}

void LayIn(const PreparedTranslation& prepared, ILayInTarget& target) {
    unsigned char* bytes = target.Run(prepared.nPos, prepared.nBytes);
    for (std::size_t i = 0; i < prepared.units.size(); ++i) {
        bytes[2 * i] = static_cast<unsigned char>(prepared.units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<unsigned char>(prepared.units[i] >> 8);
    }
}

unsigned TranslationRatio(std::int64_t translated, std::uint64_t found) {
    auto part = static_cast<std::uint64_t>(std::max<std::int64_t>(translated, 1));
    // Both halved until a hundred times the part fits: the percentage stays as exact as it shows.
    while (part > UINT64_MAX / 100) {
        part /= 2;
        found /= 2;
    }
    return static_cast<unsigned>(part * 100 / std::max<std::uint64_t>(found, 1));
}

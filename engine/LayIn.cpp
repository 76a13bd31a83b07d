// Laying a translation into the bytes of the English run it replaces, as 16-bit units.
#include "Big5.h"
#include "TranslationEngine.h"

namespace {

// Every unit of the run becomes a 16-bit blank, so the string keeps its length and place.
void BlankRun(unsigned char* image, std::int64_t pos, int runBytes) {
    for (int i = 0; i + 1 < runBytes; i += 2) {
        image[pos + i] = 0x20;
        image[pos + i + 1] = 0x00;
    }
}

}  // namespace

void CTranslationEngine::ConvertBig5Char(unsigned char& b1, unsigned char& b2) {
    const int value = Big5ToUnicode(b1, b2);
    if (value >= 0) {
        b1 = static_cast<unsigned char>(value & 0xFF);
        b2 = static_cast<unsigned char>(value >> 8);
    }
}

void CTranslationEngine::LayInByUnits(unsigned char* image, std::int64_t pos, int runBytes) const {
    if (m_nResultLen <= 0 || m_nResultLen > runBytes) {
        return;
    }
    BlankRun(image, pos, runBytes);
    // Each 2-byte unit of the result becomes one 16-bit unit: a double-byte character its code,
    // a single-byte character with its 0 pad byte that character.
    for (int i = 0; i < m_nResultLen; i += 2) {
        auto b1 = static_cast<unsigned char>(m_szResult[i]);
        auto b2 = static_cast<unsigned char>(m_szResult[i + 1]);
        if (b2 != 0) {
            ConvertBig5Char(b1, b2);
        }
        image[pos + i] = b1;
        image[pos + i + 1] = b2;
    }
}

bool CTranslationEngine::LayInByChars(unsigned char* image, std::int64_t pos, int runBytes) const {
    const auto* result = reinterpret_cast<const unsigned char*>(m_szResult);
    int chars = 0;
    for (int k = 0; k < m_nResultLen; k += result[k] >= 0x80 ? 2 : 1) {
        ++chars;
    }
    if (m_nResultLen <= 0 || 2 * chars > runBytes) {
        return false;
    }
    BlankRun(image, pos, runBytes);
    int o = 0;
    for (int k = 0; k < m_nResultLen; o += 2) {
        unsigned char b1 = result[k];
        unsigned char b2 = 0;
        if (b1 >= 0x80) {
            b2 = result[k + 1];
            ConvertBig5Char(b1, b2);
            k += 2;
        } else {
            k += 1;
        }
        image[pos + o] = b1;
        image[pos + o + 1] = b2;
    }
    return true;
}

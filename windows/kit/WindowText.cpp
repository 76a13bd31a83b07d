#include "WindowText.h"

#include "DictionaryCode.h"

QString FromDictionaryCode(std::string_view bytes) {
    return QString::fromStdU32String(DecodeDictionaryCode(bytes));
}

bool ToDictionaryCode(const QString& text, std::string& out, int* pBadIndex) {
    std::size_t bad = 0;
    if (EncodeDictionaryCode(text.toStdU32String(), out, &bad)) {
        return true;
    }
    if (pBadIndex != nullptr) {
        *pBadIndex = static_cast<int>(bad);
    }
    return false;
}

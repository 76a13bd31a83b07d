#include "TranslatorRecord.h"

#include <cstring>

#include "FileOps.h"

bool ReadTranslatorRecord(AppState& state) {
    if (!FileExists(kTranslatorRecordFile)) {
        return false;
    }
    char* slots[] = {state.m_szTranslatorName, state.m_szTranslatorUrl, state.m_szTranslatorEmail};
    for (int i = 0; i < 3; ++i) {
        // A short file fills what it holds; the rest of the slot reads as zero bytes.
        std::memset(slots[i], 0, kTranslatorSlotSize + 1);
        ReadBlock(kTranslatorRecordFile, slots[i], kTranslatorSlotSize,
                  static_cast<std::int64_t>(i) * kTranslatorSlotSize);
    }
    return true;
}

void WriteTranslatorRecord(const AppState& state) {
    const char* slots[] = {state.m_szTranslatorName, state.m_szTranslatorUrl,
                           state.m_szTranslatorEmail};
    for (int i = 0; i < 3; ++i) {
        WriteBlock(kTranslatorRecordFile, slots[i], kTranslatorSlotSize,
                   static_cast<std::int64_t>(i) * kTranslatorSlotSize);
    }
}

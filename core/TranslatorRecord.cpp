#include "TranslatorRecord.h"

#include "FileOps.h"
#include "Startup.h"

void WriteTranslatorRecord(const AppState& state) {
    const char* slots[] = {state.m_szTranslatorName, state.m_szTranslatorUrl,
                           state.m_szTranslatorEmail};
    for (int i = 0; i < 3; ++i) {
        WriteBlock(kTranslatorRecordFile, slots[i], kTranslatorSlotSize,
                   static_cast<std::int64_t>(i) * kTranslatorSlotSize);
    }
}

#include "TranslatorRecord.h"

#include <algorithm>
#include <cstring>
#include <string>

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

// The record is replaced as a whole, so that a kill or a full disk never leaves half of it; a
// longer file keeps what lies after the three slots.
void WriteTranslatorRecord(const AppState& state) {
    std::string record(3 * kTranslatorSlotSize, '\0');
    if (FileExists(kTranslatorRecordFile)) {
        const FileImage earlier = ReadWholeFile(kTranslatorRecordFile);
        record.assign(reinterpret_cast<const char*>(earlier.pBytes.get()),
                      static_cast<std::size_t>(earlier.nSize));
        record.resize(std::max(record.size(), std::size_t{3} * kTranslatorSlotSize), '\0');
    }
    const char* slots[] = {state.m_szTranslatorName, state.m_szTranslatorUrl,
                           state.m_szTranslatorEmail};
    for (int i = 0; i < 3; ++i) {
        std::memcpy(record.data() + static_cast<std::size_t>(i) * kTranslatorSlotSize, slots[i],
                    kTranslatorSlotSize);
    }
    ReplaceWholeFile(kTranslatorRecordFile, record.data(),
                     static_cast<std::int64_t>(record.size()));
}

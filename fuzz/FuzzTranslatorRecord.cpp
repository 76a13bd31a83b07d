// Any bytes as "VOKRA.DAT": the three slots come out as terminated texts of at most 128 bytes,
// which decode for the window and encode back without trouble.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "DictionaryCode.h"
#include "FuzzInput.h"
#include "Startup.h"
#include "TranslatorRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The record is read from the current directory: for the moment a folder of the fuzzer's
    // own in memory, and back to where the fuzzer keeps its corpus afterwards.
    static char folder[] = "/dev/shm/vokra-fuzz-XXXXXX";
    static char home[4096];
    static const bool bReady = mkdtemp(folder) != nullptr && getcwd(home, sizeof home) != nullptr;
    if (!bReady || chdir(folder) != 0) {
        std::abort();
    }
    FILE* record = std::fopen("VOKRA.DAT", "wb");
    std::fwrite(data, 1, size, record);
    std::fclose(record);
    AppState state;
    const bool bRead = ReadTranslatorRecord(state);
    if (chdir(home) != 0 || !bRead) {
        std::abort();
    }
    for (const char* slot :
         {state.m_szTranslatorName, state.m_szTranslatorUrl, state.m_szTranslatorEmail}) {
        const std::size_t length = strnlen(slot, kTranslatorSlotSize + 1);
        if (length > static_cast<std::size_t>(kTranslatorSlotSize)) {
            std::abort();
        }
        const std::u32string text = DecodeDictionaryCode(std::string_view(slot, length));
        std::string encoded;
        EncodeDictionaryCode(text, encoded, nullptr);
    }
    return 0;
}

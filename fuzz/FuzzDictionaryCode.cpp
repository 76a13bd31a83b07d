// The editor's reading and writing of a file in the dictionary code: any bytes come back exactly
// as they were when nothing was changed.
#include <cstdlib>

#include "DictionaryCode.h"
#include "FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const DictionaryFileText text = DecodeDictionaryFile(bytes);
    std::string written;
    std::size_t bad = 0;
    if (!EncodeDictionaryFile(text.strText, text, written, &bad) || written != bytes) {
        std::abort();
    }
    return 0;
}

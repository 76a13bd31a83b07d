// vokra-dict's conversions of any source or dictionary file: no crash, and a source that converts
// and reads back without problems converts to the same file again.
#include <cstdlib>

#include "DictSource.h"
#include "FuzzInput.h"

using namespace dictsource;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const EDictionaryKind kind = data[0] & 1 ? EDictionaryKind::PlugIn : EDictionaryKind::Main;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const DictConversion encoded = EncodeDictionarySource(bytes, kind);
    const DictConversion decoded = DecodeDictionaryFile(bytes, kind);
    if (encoded.problems.empty()) {
        const DictConversion back = DecodeDictionaryFile(encoded.strOutput, kind);
        if (!back.problems.empty()) {
            return 0;  // reported, which is all a broken line asks for
        }
        const DictConversion again = EncodeDictionarySource(back.strOutput, kind);
        if (again.strOutput != encoded.strOutput) {
            std::abort();
        }
    }
    static_cast<void>(decoded);
    return 0;
}

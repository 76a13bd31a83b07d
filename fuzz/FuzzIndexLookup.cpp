// The dictionary index must find every key exactly where the linear search finds it.
#include <cstdlib>

#include "FuzzInput.h"
#include "TranslationEngine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    CFuzzInput input(data, size);
    const CDictionaryText dict(input.Piece());
    // The rest holds the keys, separated by NUL bytes; keys also come from the text's own "[".
    const std::string keys = input.Rest();
    auto check = [&dict](const std::string& key) {
        if (dict.Find(key.c_str()) != CTranslationEngine::FindKey(dict.Text(), key.c_str())) {
            std::abort();
        }
    };
    for (std::size_t start = 0; start <= keys.size();) {
        const std::size_t end = std::min(keys.find('\0', start), keys.size());
        check(keys.substr(start, end - start));
        start = end + 1;
    }
    // And the keys of the text's first entries: each check is a linear search of the whole text.
    const std::string& text = dict.Text();
    int checked = 0;
    for (std::size_t at = text.find('['); at != std::string::npos && checked++ < 32;
         at = text.find('[', at + 1)) {
        const std::size_t eq = text.find('=', at);
        if (eq != std::string::npos) {
            check(text.substr(at, eq - at + 1));
        }
    }
    return 0;
}

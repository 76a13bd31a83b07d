#include "DictionaryText.h"

#include <cstring>

#include "TranslationEngine.h"

CDictionaryText::CDictionaryText(const CDictionaryText& other) {
    Assign(other.m_strText);
}

CDictionaryText& CDictionaryText::operator=(const CDictionaryText& other) {
    if (this != &other) {
        Assign(std::string(other.m_strText));
    }
    return *this;
}

void CDictionaryText::Assign(std::string_view text) {
    std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos) {
        text = text.substr(0, nul);
    }
    m_strText.assign(text.data(), text.size());
    BuildIndex();
}

void CDictionaryText::BuildIndex() {
    m_mapEntries.clear();
    const std::string_view text(m_strText);
    const std::size_t n = text.size();
    // Walk the characters exactly as the linear search does, so that only a "[" that begins a
    // character starts an entry. An entry's key runs to the next "=" and must not hold a "[";
    // each stretch between two "[" bytes is read once, so the whole build is linear.
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '[') {
            std::size_t stop = text.find_first_of("[=", i + 1);
            if (stop != std::string_view::npos && text[stop] == '=') {
                m_mapEntries.try_emplace(text.substr(i + 1, stop - i - 1),
                                         static_cast<std::int64_t>(i));
            }
        }
        i += IsLeadByte(c) ? 2 : 1;
    }
}

std::int64_t CDictionaryText::Find(const char* key) const {
    // A key "[" TEXT "=" whose TEXT holds neither "[" nor "=" matches exactly at the entries
    // whose key is TEXT; any other key takes the linear search.
    bool bIndexable = key[0] == '[';
    std::size_t k = bIndexable ? 1 : 0;
    for (; key[k] != 0; ++k) {
        bIndexable = bIndexable && key[k] != '[' && (key[k] != '=' || key[k + 1] == 0);
    }
    if (bIndexable && k >= 2 && key[k - 1] == '=') {
        auto it = m_mapEntries.find(std::string_view(key + 1, k - 2));
        return it == m_mapEntries.end() ? -1 : it->second;
    }
    return CTranslationEngine::FindKey(m_strText, key);
}

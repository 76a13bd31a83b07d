// Realistic inputs for benchmarks: a program-file image with the mix of code, data tables and
// 16-bit UI strings of a Windows program, and a dictionary of a given number of word entries.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace bench {

// Words of menus and dialogs. The first ones are in every benchmark dictionary; the image also
// uses words the dictionary lacks.
inline const std::vector<std::string>& UiWords() {
    static const std::vector<std::string> words = {
        "File",
        "Edit",
        "View",
        "Help",
        "Open",
        "Save",
        "As",
        "Exit",
        "New",
        "Close",
        "Print",
        "Preview",
        "Copy",
        "Cut",
        "Paste",
        "Undo",
        "Redo",
        "Delete",
        "Find",
        "Replace",
        "Options",
        "Settings",
        "About",
        "Window",
        "Tools",
        "Format",
        "Insert",
        "Cancel",
        "Apply",
        "Browse",
        "Name",
        "Size",
        "Type",
        "Date",
        "Time",
        "Font",
        "Color",
        "Select",
        "All",
        "Next",
        "Back",
        "Finish",
        "Status",
        "Search",
        "Error",
        "Warning",
        "Message",
        "Version",
        "Contents",
        "Index",
        "Recent",
        "Rename",
        "Move",
        "Page",
        "Export",
        "Import",
        "Document",
        "Picture",
        "Text",
        "Table",
        "Sort",
        "Filter",
        "Toolbar",
        "Zoom",
        // not in the dictionaries
        "Frobnicate",
        "Quux",
        "Widgetize",
        "Blorp",
        "Snorkel",
        "Zyxel",
        "Wombat",
        "Gizmo",
    };
    return words;
}
inline constexpr std::size_t kDictionaryWords = 64;  // the first 64 of UiWords()

// A dictionary file's bytes with `entries` lines: the UI words first, then made-up words, each
// with a two-character BIG5 translation, CR LF line ends, upper-case keys.
inline std::string MakeDictionary(int entries) {
    std::string text = "// benchmark dictionary\r\n";
    std::mt19937 rng(1);
    auto word = [&](int i) -> std::string {
        if (static_cast<std::size_t>(i) < kDictionaryWords) {
            std::string w = UiWords()[static_cast<std::size_t>(i)];
            for (char& c : w) {
                c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
            }
            return w;
        }
        std::string w;
        const int length = 4 + static_cast<int>(rng() % 8);
        for (int k = 0; k < length; ++k) {
            w += static_cast<char>('A' + rng() % 26);
        }
        return w;
    };
    for (int i = 0; i < entries; ++i) {
        text += "[" + word(i) + "=\xC0\xC9\xAE\xD7\r\n";  // 檔案
    }
    return text;
}

// An image of `size` bytes laid out like a typical Windows program: of every 100 stretches, 50 of
// machine code (random bytes, one in seven a zero), 15 of data tables (32-bit little-endian small
// numbers, full of 0 high bytes), 15 of binary resources such as icons (random bytes), 8 of
// 8-bit ASCII strings, 7 of zero padding and 5 of resources with 16-bit UI strings (menus,
// dialogs, string tables). UI strings so make up about 5 % of the file, as in real programs,
// where they seldom reach a tenth of it.
inline std::vector<unsigned char> MakeImage(std::size_t size, unsigned seed = 42) {
    std::vector<unsigned char> image;
    image.reserve(size + 8192);
    std::mt19937 rng(seed);
    const auto& words = UiWords();
    auto phrase = [&]() {
        std::string text;
        const int count = 1 + static_cast<int>(rng() % 3);
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                text += ' ';
            }
            if (rng() % 4 == 0) {
                text += '&';
            }
            text += words[rng() % words.size()];
        }
        if (rng() % 5 == 0) {
            text += "...";
        }
        return text;
    };
    while (image.size() < size) {
        const unsigned kind = rng() % 100;
        const std::size_t length = 256 + rng() % 4096;
        if (kind < 50) {  // machine code
            for (std::size_t i = 0; i < length; ++i) {
                image.push_back(rng() % 7 == 0 ? 0 : static_cast<unsigned char>(rng()));
            }
        } else if (kind < 65) {  // data tables
            for (std::size_t i = 0; i < length / 4; ++i) {
                image.push_back(static_cast<unsigned char>(rng() % 200));
                image.insert(image.end(), {0, 0, 0});
            }
        } else if (kind < 80) {  // binary resources
            for (std::size_t i = 0; i < length; ++i) {
                image.push_back(static_cast<unsigned char>(rng()));
            }
        } else if (kind < 88) {  // 8-bit strings
            for (std::size_t i = 0; i < length / 8; ++i) {
                for (char c : phrase()) {
                    image.push_back(static_cast<unsigned char>(c));
                }
                image.push_back(0);
            }
        } else if (kind < 95) {  // zero padding
            image.insert(image.end(), length, 0);
        } else {  // resources: 16-bit strings, even-aligned
            if (image.size() % 2 != 0) {
                image.push_back(0);
            }
            for (std::size_t i = 0; i < length / 24; ++i) {
                const std::string text = phrase();
                if (rng() % 2 == 0) {  // string-table style: a length unit first
                    image.insert(image.end(), {static_cast<unsigned char>(text.size()), 0});
                }
                for (char c : text) {
                    image.insert(image.end(), {static_cast<unsigned char>(c), 0});
                }
                image.insert(image.end(), {0, 0});
            }
        }
    }
    image.resize(size);
    return image;
}

}  // namespace bench

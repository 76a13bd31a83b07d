// Builders of small Windows program files for the reader's tests: a resource section from
// resources given as bytes, a PE image around it, and the mingw-built test program.
#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "ByteReader.h"

inline void Put16(std::string& bytes, std::size_t at, std::uint16_t value) {
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8);
}
inline void Put32(std::string& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, static_cast<std::uint16_t>(value & 0xFFFF));
    Put16(bytes, at + 2, static_cast<std::uint16_t>(value >> 16));
}
inline void Add16(std::string& bytes, std::uint16_t value) {
    bytes.append(2, '\0');
    Put16(bytes, bytes.size() - 2, value);
}
inline void Add32(std::string& bytes, std::uint32_t value) {
    bytes.append(4, '\0');
    Put32(bytes, bytes.size() - 4, value);
}
// An ASCII text as 16-bit units, with its zero terminator.
inline void AddText(std::string& bytes, const std::string& text) {
    for (char c : text) {
        Add16(bytes, static_cast<unsigned char>(c));
    }
    Add16(bytes, 0);
}
inline void Align4(std::string& bytes) {
    bytes.resize((bytes.size() + 3) & ~std::size_t{3}, '\0');
}

// The units at `offset` of `image`, as ASCII (other units as '?').
inline std::string UnitsAt(const std::string& image, std::int64_t offset, int units) {
    const ByteReader bytes{reinterpret_cast<const unsigned char*>(image.data()),
                           static_cast<std::int64_t>(image.size())};
    return Utf8OfUnits(bytes, offset, units);
}

struct TestResource {
    std::uint16_t nType, nName, nLanguage;
    std::string data;
    int nSharesDataOf = -1;  // index of an earlier resource whose data entry this leaf uses
};

constexpr std::uint32_t kTestRsrcRva = 0x2000;

// A resource section at kTestRsrcRva: the type, name and language tables (resources of one type
// and of one name come together in `resources`), the data entries, then the data.
inline std::string ResourceSection(const std::vector<TestResource>& resources) {
    struct Table {
        bool bLanguages = false;  // entries lead to data entries, not to tables
        std::vector<std::pair<std::uint32_t, int>> entries;  // id, child table or resource
    };
    std::vector<Table> tables(1);  // 0: types
    int type = -1, name = -1;
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const TestResource& r = resources[i];
        if (type < 0 || tables[0].entries.back().first != r.nType) {
            tables.push_back({});
            type = static_cast<int>(tables.size()) - 1;
            tables[0].entries.push_back({r.nType, type});
            name = -1;
        }
        if (name < 0 || tables[type].entries.back().first != r.nName) {
            tables.push_back({true, {}});
            name = static_cast<int>(tables.size()) - 1;
            tables[type].entries.push_back({r.nName, name});
        }
        tables[name].entries.push_back({r.nLanguage, static_cast<int>(i)});
    }
    std::vector<std::uint32_t> tableAt;
    std::uint32_t at = 0;
    for (const Table& table : tables) {
        tableAt.push_back(at);
        at += 16 + 8 * static_cast<std::uint32_t>(table.entries.size());
    }
    const std::uint32_t dataEntries = at;
    std::string bytes(dataEntries + 16 * resources.size(), '\0');
    for (std::size_t t = 0; t < tables.size(); ++t) {
        Put16(bytes, tableAt[t] + 14, static_cast<std::uint16_t>(tables[t].entries.size()));
        for (std::size_t e = 0; e < tables[t].entries.size(); ++e) {
            const std::uint32_t entry = tableAt[t] + 16 + 8 * static_cast<std::uint32_t>(e);
            const auto [id, child] = tables[t].entries[e];
            Put32(bytes, entry, id);
            Put32(bytes, entry + 4,
                  tables[t].bLanguages ? dataEntries + 16 * static_cast<std::uint32_t>(child)
                                       : 0x80000000 | tableAt[child]);
        }
    }
    std::vector<std::uint32_t> dataRva(resources.size());
    for (std::size_t i = 0; i < resources.size(); ++i) {
        const TestResource& r = resources[i];
        const std::uint32_t entry = dataEntries + 16 * static_cast<std::uint32_t>(i);
        if (r.nSharesDataOf >= 0) {
            dataRva[i] = dataRva[r.nSharesDataOf];
            Put32(bytes, entry, dataRva[i]);
            Put32(bytes, entry + 4,
                  static_cast<std::uint32_t>(resources[r.nSharesDataOf].data.size()));
            continue;
        }
        dataRva[i] = kTestRsrcRva + static_cast<std::uint32_t>(bytes.size());
        Put32(bytes, entry, dataRva[i]);
        Put32(bytes, entry + 4, static_cast<std::uint32_t>(r.data.size()));
        bytes += r.data;
        Align4(bytes);
    }
    return bytes;
}

// A PE32+ (or PE32) image: headers, a data section ".data" at RVA 0x1000 holding `data`, a code
// section ".text" at RVA 0x3000 holding `code`, and ".rsrc" at kTestRsrcRva holding `rsrc` (data
// directory 2 points at it when it is not empty).
inline std::string PeImage(const std::string& rsrc, const std::string& data = "",
                           const std::string& code = "", bool pe32Plus = true) {
    auto rounded = [](std::size_t n) {
        return std::max<std::size_t>(0x200, (n + 0x1FF) & ~0x1FFu);
    };
    std::string image(0x200, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    Put32(image, 0x3C, 0x40);
    image.replace(0x40, 4, std::string("PE\0\0", 4));
    const std::size_t file = 0x44, optional = file + 20;
    const std::uint16_t optionalSize = pe32Plus ? 0xF0 : 0xE0;
    Put16(image, file, pe32Plus ? 0x8664 : 0x14C);
    Put16(image, file + 2, 3);
    Put16(image, file + 16, optionalSize);
    Put16(image, optional, pe32Plus ? 0x20B : 0x10B);
    Put32(image, optional + 60, 0x200);  // SizeOfHeaders
    const std::size_t directories = optional + (pe32Plus ? 112 : 96);
    Put32(image, directories - 4, 16);
    if (!rsrc.empty()) {
        Put32(image, directories + 16, kTestRsrcRva);
        Put32(image, directories + 20, static_cast<std::uint32_t>(rsrc.size()));
    }
    struct Section {
        const char* name;
        std::uint32_t rva, flags;
        const std::string& bytes;
    };
    const Section sections[] = {{".data", 0x1000, 0xC0000040, data},
                                {".rsrc", kTestRsrcRva, 0x40000040, rsrc},
                                {".text", 0x3000, 0x60000020, code}};
    std::size_t header = optional + optionalSize;
    std::uint32_t raw = 0x200;
    for (const Section& section : sections) {
        image.replace(header, std::string(section.name).size(), section.name);
        Put32(image, header + 8, static_cast<std::uint32_t>(section.bytes.size()));
        Put32(image, header + 12, section.rva);
        Put32(image, header + 16, static_cast<std::uint32_t>(rounded(section.bytes.size())));
        Put32(image, header + 20, raw);
        Put32(image, header + 36, section.flags);
        image.resize(raw);
        image += section.bytes;
        image.resize(raw + rounded(section.bytes.size()), '\0');
        raw = static_cast<std::uint32_t>(image.size());
        header += 40;
    }
    return image;
}

// The bytes of the mingw-built test program; empty when it was not built.
inline std::string TestProgram() {
#ifdef VOKRA_PE_TEST_PROGRAM
    std::ifstream in(VOKRA_PE_TEST_PROGRAM, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
#else
    return {};
#endif
}

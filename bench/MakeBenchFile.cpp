// make_bench_file MIB IMAGE [DICTIONARY ENTRIES]: writes a realistic program-file image of MIB
// mebibytes and, optionally, a dictionary file of ENTRIES entries.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchData.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::fputs("usage: make_bench_file MIB IMAGE [DICTIONARY ENTRIES]\n", stderr);
        return 2;
    }
    const auto image = bench::MakeImage(std::strtoull(argv[1], nullptr, 10) << 20);
    std::FILE* out = std::fopen(argv[2], "wb");
    if (out == nullptr || std::fwrite(image.data(), 1, image.size(), out) != image.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    if (argc == 5) {
        const std::string dict = bench::MakeDictionary(std::atoi(argv[4]));
        std::FILE* d = std::fopen(argv[3], "wb");
        if (d == nullptr || std::fwrite(dict.data(), 1, dict.size(), d) != dict.size() ||
            std::fclose(d) != 0) {
            std::perror(argv[3]);
            return 1;
        }
    }
    return 0;
}

#include "ImageBuffer.h"

#include <sys/mman.h>

#include <new>

namespace {
constexpr std::size_t kHugePage = std::size_t{2} << 20;
}  // namespace

ImageBuffer AllocateImage(std::size_t size) {
    void* bytes = nullptr;
    if (size >= kHugePage) {
        if (size > SIZE_MAX - kHugePage) {
            throw std::bad_alloc();
        }
        const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
        bytes = std::aligned_alloc(kHugePage, rounded);
        if (bytes != nullptr) {
            // Only advice: without huge pages the buffer works all the same.
            ::madvise(bytes, rounded, MADV_HUGEPAGE);
        }
    } else {
        bytes = std::malloc(size == 0 ? 1 : size);
    }
    if (bytes == nullptr) {
        throw std::bad_alloc();
    }
    return ImageBuffer(static_cast<unsigned char*>(bytes));
}

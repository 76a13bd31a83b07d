#include "ImageBuffer.h"

#include <new>

#ifndef _WIN32
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;

// A large buffer, aligned to 2 MiB and offered for huge pages where the system has them. Windows'
// C library has no aligned_alloc() whose memory free() takes back: plain memory there.
void* AllocateLarge(std::size_t size) {
#ifdef _WIN32
    return std::malloc(size);
#else
    if (size > SIZE_MAX - kHugePage) {
        return nullptr;
    }
    const std::size_t rounded = (size + kHugePage - 1) / kHugePage * kHugePage;
    void* bytes = std::aligned_alloc(kHugePage, rounded);
    if (bytes != nullptr) {
        // Only advice: without huge pages the buffer works all the same.
        ::madvise(bytes, rounded, MADV_HUGEPAGE);
    }
    return bytes;
#endif
}

}  // namespace

ImageBuffer AllocateImage(std::size_t size) {
    void* bytes = size >= kHugePage ? AllocateLarge(size) : std::malloc(size == 0 ? 1 : size);
    if (bytes == nullptr) {
        throw std::bad_alloc();
    }
    return ImageBuffer(static_cast<unsigned char*>(bytes));
}

// The memory that holds a whole file image during a pass.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>

struct CImageFree {
    void operator()(unsigned char* bytes) const noexcept { std::free(bytes); }
};
using ImageBuffer = std::unique_ptr<unsigned char[], CImageFree>;

// A buffer of `size` bytes, left uninitialised. A large one is aligned to 2 MiB and offered to
// the system for huge pages: on virtual machines that makes reading a big file into it, and the
// first walk over it, several times faster. Throws std::bad_alloc when the memory is not there.
ImageBuffer AllocateImage(std::size_t size);

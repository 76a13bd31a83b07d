// The memory that holds a whole file image during a pass.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <thread>

// Frees an image: memory of its own, or a private mapping of its file of `nMapped` bytes.
struct CImageFree {
    std::size_t nMapped = 0;
    void operator()(unsigned char* bytes) const noexcept;
};
using ImageBuffer = std::unique_ptr<unsigned char[], CImageFree>;

// A buffer of `size` bytes, left uninitialised. A large one is aligned to 2 MiB and offered to
// the system for huge pages: on virtual machines that makes reading a big file into it, and the
// first walk over it, several times faster. Throws std::bad_alloc when the memory is not there.
ImageBuffer AllocateImage(std::size_t size);

// The first `size` bytes of the open file `fd` as a private, writable mapping: the pages of the
// file the system already holds, shared until the pass changes one (only that page is copied).
// Fresh memory for a large image costs more than the read itself; a mapping costs neither. Null
// where the file is small (a read is as quick) or the system cannot map it; the caller reads then.
// While the mapping lives, a part of it that the file no longer has (another program shortened
// the file) reads as zeros instead of stopping the process; the caller's check that the file is
// unchanged refuses the result.
ImageBuffer MapImage(int fd, std::size_t size);

// While it lives, a second thread touches each page of a mapped image once, ahead of the walk: on
// a virtual machine the first touch of a mapped page costs the walk more than reading the page,
// and the walk then finds the pages ready. Nothing for an image in memory of its own. It must go
// before the image does.
class CImageWarmUp {
  public:
    CImageWarmUp(const ImageBuffer& image, std::size_t size);
    ~CImageWarmUp();
    CImageWarmUp(const CImageWarmUp&) = delete;
    CImageWarmUp& operator=(const CImageWarmUp&) = delete;

  private:
    std::atomic<bool> m_bStop{false};
    unsigned m_nTouched = 0;  // what was read, kept so that the reads are made
    std::thread m_thread;
};

#include "ImageBuffer.h"

#include <new>

#ifndef _WIN32
#include <sys/mman.h>

#include <atomic>
#include <csignal>
#include <cstdint>
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

#ifndef _WIN32

// The live mappings, for the bus error handler: a few slots, taken and given back atomically.
struct MappedSlot {
    std::atomic<std::uintptr_t> start{0};
    std::atomic<std::size_t> length{0};
};
constexpr int kMappedSlots = 8;
MappedSlot g_mapped[kMappedSlots];
struct sigaction g_previousBusHandler {};

// A touch of a mapped image past the end of its shortened file: the page becomes a page of
// zeros and the touch is repeated. Any other bus error goes to the handler there was before.
void OnBusError(int signal, siginfo_t* info, void* context) {
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    for (const MappedSlot& slot : g_mapped) {
        const std::uintptr_t start = slot.start.load();
        if (start != 0 && address >= start && address - start < slot.length.load()) {
            const std::uintptr_t page = address & ~std::uintptr_t{4095};
            if (::mmap(reinterpret_cast<void*>(page), 4096, PROT_READ | PROT_WRITE,
                       MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED) {
                return;
            }
        }
    }
    if ((g_previousBusHandler.sa_flags & SA_SIGINFO) != 0 &&
        g_previousBusHandler.sa_sigaction != nullptr) {
        g_previousBusHandler.sa_sigaction(signal, info, context);
        return;
    }
    if (g_previousBusHandler.sa_handler != SIG_DFL && g_previousBusHandler.sa_handler != SIG_IGN) {
        g_previousBusHandler.sa_handler(signal);
        return;
    }
    ::signal(SIGBUS, SIG_DFL);
    ::raise(SIGBUS);
}

void InstallBusHandlerOnce() {
    static const bool bInstalled = [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        return ::sigaction(SIGBUS, &action, &g_previousBusHandler) == 0;
    }();
    (void)bInstalled;
}

// A private mapping of the file at an address a multiple of 2 MiB: where the system keeps the
// file's pages in large blocks, it then maps whole blocks at once, and the walk over them runs
// faster. Null when the system cannot map the file.
void* MapAligned(int fd, std::size_t size) {
    if (size > SIZE_MAX - kHugePage) {
        return nullptr;
    }
    void* space = ::mmap(nullptr, size + kHugePage, PROT_NONE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (space == MAP_FAILED) {
        return nullptr;
    }
    const auto start = reinterpret_cast<std::uintptr_t>(space);
    const std::uintptr_t aligned = (start + kHugePage - 1) & ~std::uintptr_t{kHugePage - 1};
    void* bytes = ::mmap(reinterpret_cast<void*>(aligned), size, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_FIXED, fd, 0);
    if (bytes == MAP_FAILED) {
        ::munmap(space, size + kHugePage);
        return nullptr;
    }
    // The space around it goes back.
    if (aligned > start) {
        ::munmap(space, aligned - start);
    }
    const std::uintptr_t end = aligned + size;
    const std::uintptr_t spaceEnd = start + size + kHugePage;
    const std::uintptr_t pageEnd = (end + 4095) & ~std::uintptr_t{4095};
    if (spaceEnd > pageEnd) {
        ::munmap(reinterpret_cast<void*>(pageEnd), spaceEnd - pageEnd);
    }
    return bytes;
}

MappedSlot* TakeSlot(void* bytes, std::size_t size) {
    for (MappedSlot& slot : g_mapped) {
        std::uintptr_t expected = 0;
        if (slot.start.compare_exchange_strong(expected, reinterpret_cast<std::uintptr_t>(bytes))) {
            slot.length.store(size);
            return &slot;
        }
    }
    return nullptr;
}

void GiveBackSlot(const void* bytes) {
    for (MappedSlot& slot : g_mapped) {
        if (slot.start.load() == reinterpret_cast<std::uintptr_t>(bytes)) {
            slot.length.store(0);
            slot.start.store(0);
            return;
        }
    }
}

#endif

}  // namespace

void CImageFree::operator()(unsigned char* bytes) const noexcept {
#ifndef _WIN32
    if (nMapped != 0) {
        GiveBackSlot(bytes);
        ::munmap(bytes, nMapped);
        return;
    }
#endif
    std::free(bytes);
}

ImageBuffer AllocateImage(std::size_t size) {
    void* bytes = size >= kHugePage ? AllocateLarge(size) : std::malloc(size == 0 ? 1 : size);
    if (bytes == nullptr) {
        throw std::bad_alloc();
    }
    return ImageBuffer(static_cast<unsigned char*>(bytes));
}

ImageBuffer MapImage([[maybe_unused]] int fd, [[maybe_unused]] std::size_t size) {
#ifdef _WIN32
    return nullptr;
#else
    if (size < kHugePage) {
        return nullptr;
    }
    InstallBusHandlerOnce();
    void* bytes = MapAligned(fd, size);
    if (bytes == nullptr) {
        return nullptr;
    }
    if (TakeSlot(bytes, size) == nullptr) {
        ::munmap(bytes, size);
        return nullptr;
    }
    // The file's pages in the page tables now, read-only until written: the walk then takes no
    // page faults but for the pages it changes. Only advice: an older system faults them in.
#ifdef MADV_POPULATE_READ
    ::madvise(bytes, size, MADV_POPULATE_READ);
#endif
    return ImageBuffer(static_cast<unsigned char*>(bytes), CImageFree{size});
#endif
}

CImageWarmUp::CImageWarmUp(const ImageBuffer& image, std::size_t size) {
    if (image == nullptr || image.get_deleter().nMapped == 0) {
        return;
    }
    const unsigned char* bytes = image.get();
    m_thread = std::thread([this, bytes, size] {
        unsigned sum = 0;
        for (std::size_t at = 0; at < size && !m_bStop.load(std::memory_order_relaxed);
             at += 4096) {
            sum += *static_cast<const volatile unsigned char*>(bytes + at);
        }
        m_nTouched = sum;
    });
}

CImageWarmUp::~CImageWarmUp() {
    if (m_thread.joinable()) {
        m_bStop = true;
        m_thread.join();
    }
}

// The new contents of a program file, written while its pass walks it: the image as read, with
// the translations the pass lays in, go to the replacement a few megabytes behind the walk, from
// a second thread, and on to the disk while the walk goes on. The image itself never changes: a
// large file can then stay mapped from the system's cache instead of being copied into fresh
// memory.
#pragma once

#include <cstdint>
#include <future>
#include <vector>

#include "FileDriver.h"
#include "FileOps.h"
#include "PeChecksum.h"

class CReplacementStream final : public ILayInTarget {
  public:
    CReplacementStream(CReplacement& replacement, const unsigned char* image, std::int64_t size)
        : m_replacement(replacement), m_pImage(image), m_nSize(size) {}
    // Waits for a write still under way (a stopped pass leaves its replacement unfinished).
    ~CReplacementStream();
    CReplacementStream(const CReplacementStream&) = delete;
    CReplacementStream& operator=(const CReplacementStream&) = delete;

    // A copy of the run's bytes, which the pass may change; it lands in the replacement over the
    // run. A run the walk has already passed in the replacement is written over it there.
    unsigned char* Run(std::int64_t pos, int bytes) override;
    // Every run before `pos` is done: writes the contents up to there once enough has gathered.
    // A failure of an earlier write is raised here.
    void Reach(std::int64_t pos);
    // The walk reached the end: the rest of the contents, and every write done.
    void Finish();
    // From now on every patch written also moves `change` (the runs never overlap, so what a patch
    // replaces is the image's bytes).
    void TrackChecksum(CChecksumChange& change) { m_pChecksum = &change; }

  private:
    struct Patch {
        std::int64_t nPos;
        std::size_t nOffset;  // in m_patchBytes
        std::size_t nLength;
    };
    // Writes made in one go: each its place and its pieces, which lie in the image or in `joined`.
    struct Batch {
        struct Write {
            std::int64_t nPos;
            std::size_t nFirst;
            std::size_t nCount;
        };
        std::vector<Write> writes;
        std::vector<ByteSpan> pieces;
        std::vector<unsigned char> joined;
    };
    void Build(std::int64_t end, Batch& batch);
    void Put(const Batch& batch);
    void WaitForWrite();

    CReplacement& m_replacement;
    const unsigned char* m_pImage;
    std::int64_t m_nSize;
    std::int64_t m_nWritten = 0;  // the contents before it are written or under way
    std::vector<unsigned char> m_patchBytes;
    std::vector<Patch> m_patches;  // not yet written, in the order the pass made them
    Batch m_batches[2];            // one under way while the other fills
    int m_nFilling = 0;
    std::future<void> m_writing;
    CChecksumChange* m_pChecksum = nullptr;
};

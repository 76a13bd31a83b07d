#include "ReplacementStream.h"

#include <algorithm>
#include <cstring>

namespace {

// How far the walk gets ahead of the replacement: large enough that a write is worth its thread,
// small enough that the disk has work all along.
constexpr std::int64_t kStretch = std::int64_t{4} << 20;
// Patches at most this far apart are written as one piece: a translated string table is a patch
// every few dozen bytes.
constexpr std::size_t kJoinGap = 512;

}  // namespace

CReplacementStream::~CReplacementStream() {
    if (m_writing.valid()) {
        m_writing.wait();
    }
}

unsigned char* CReplacementStream::Run(std::int64_t pos, int bytes) {
    const auto length = static_cast<std::size_t>(std::clamp<std::int64_t>(bytes, 0, m_nSize - pos));
    const std::size_t offset = m_patchBytes.size();
    m_patchBytes.insert(m_patchBytes.end(), m_pImage + pos, m_pImage + pos + length);
    m_patches.push_back({pos, offset, length});
    return m_patchBytes.data() + offset;
}

void CReplacementStream::Reach(std::int64_t pos) {
    if (pos - m_nWritten < kStretch) {
        return;
    }
    Batch& batch = m_batches[m_nFilling];
    Build(pos, batch);
    WaitForWrite();
    m_writing = std::async(std::launch::async, [this, &batch] { Put(batch); });
    m_nFilling ^= 1;
}

void CReplacementStream::Finish() {
    Batch& batch = m_batches[m_nFilling];
    Build(m_nSize, batch);
    WaitForWrite();
    Put(batch);
}

void CReplacementStream::WaitForWrite() {
    if (m_writing.valid()) {
        m_writing.get();
    }
}

void CReplacementStream::Put(const Batch& batch) {
    for (const Batch::Write& write : batch.writes) {
        m_replacement.WriteAt(write.nPos,
                              std::span(batch.pieces).subspan(write.nFirst, write.nCount));
    }
}

void CReplacementStream::Build(std::int64_t end, Batch& batch) {
    // The image from where the last write stopped up to `end`, each patch in place of the bytes
    // under it; patches close together joined, with the image's bytes between them. A patch behind
    // that point (a walk that went back) follows as a write of its own, in its order, so that the
    // last one laid over a place wins. A patch reaching past `end` waits for a later write.
    struct Piece {
        bool bJoined;  // in batch.joined, else in the image
        std::size_t nOffset;
        std::size_t nLength;
    };
    std::vector<Piece> pieces;
    std::vector<Patch> behind;
    std::vector<Patch> ahead;
    batch.writes.clear();
    batch.joined.clear();
    std::int64_t at = m_nWritten;
    for (const Patch& patch : m_patches) {
        const std::int64_t patchEnd = patch.nPos + static_cast<std::int64_t>(patch.nLength);
        const unsigned char* bytes = m_patchBytes.data() + patch.nOffset;
        if (patchEnd > end) {
            ahead.push_back(patch);
            continue;
        }
        if (m_pChecksum != nullptr) {
            m_pChecksum->Replace(patch.nPos, m_pImage + patch.nPos, bytes, patch.nLength);
        }
        if (patch.nPos < at) {
            behind.push_back(patch);
            continue;
        }
        const auto gap = static_cast<std::size_t>(patch.nPos - at);
        if (pieces.empty() || !pieces.back().bJoined || gap > kJoinGap) {
            pieces.push_back({false, static_cast<std::size_t>(at), gap});
            pieces.push_back({true, batch.joined.size(), 0});
        } else {
            batch.joined.insert(batch.joined.end(), m_pImage + at, m_pImage + patch.nPos);
        }
        batch.joined.insert(batch.joined.end(), bytes, bytes + patch.nLength);
        pieces.back().nLength = batch.joined.size() - pieces.back().nOffset;
        at = patchEnd;
    }
    pieces.push_back({false, static_cast<std::size_t>(at), static_cast<std::size_t>(end - at)});
    batch.writes.push_back({m_nWritten, 0, pieces.size()});
    for (const Patch& patch : behind) {
        const unsigned char* bytes = m_patchBytes.data() + patch.nOffset;
        batch.writes.push_back({patch.nPos, pieces.size(), 1});
        pieces.push_back({true, batch.joined.size(), patch.nLength});
        batch.joined.insert(batch.joined.end(), bytes, bytes + patch.nLength);
    }
    // Only now do the joined bytes stay where they are.
    batch.pieces.clear();
    for (const Piece& piece : pieces) {
        batch.pieces.push_back(
            {(piece.bJoined ? batch.joined.data() : m_pImage) + piece.nOffset, piece.nLength});
    }
    m_nWritten = end;

    // Only the waiting patches stay, their bytes moved to the front.
    std::size_t kept = 0;
    for (Patch& patch : ahead) {
        std::memmove(m_patchBytes.data() + kept, m_patchBytes.data() + patch.nOffset,
                     patch.nLength);
        patch.nOffset = kept;
        kept += patch.nLength;
    }
    m_patchBytes.resize(kept);
    m_patches = std::move(ahead);
}

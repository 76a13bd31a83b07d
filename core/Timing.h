// Timing and the message pump that keeps a long pass responsive.
#pragma once

#include <cstdint>

// Milliseconds since an arbitrary start, as an unsigned 32-bit value that wraps.
std::uint32_t GetTickCount();

// Waits the given milliseconds without handling any window message. 0 returns at once.
void DelayMs(unsigned milliseconds);

// The window installs the function that handles one pending window message and returns 0 when
// that message was the quit message, 1 otherwise. Without one, nothing is ever pending.
//
// A pass calls PumpOneMessage at every examined 2-byte position, millions of times a second, so
// the window is asked only every `stride` calls and only when `intervalMs` have passed since it
// was last asked. Tests install their pump with stride 1 and interval 0 to be asked every time.
using MessagePumpFn = int (*)();
inline constexpr unsigned kPumpStride = 1024;
inline constexpr unsigned kPumpIntervalMs = 10;
void SetMessagePump(MessagePumpFn pump, unsigned stride = kPumpStride,
                    unsigned intervalMs = kPumpIntervalMs);

namespace detail {
extern unsigned g_nPumpCountdown;
int PumpNow();
}  // namespace detail

// How many further calls of PumpOneMessage would return 1 without asking the window. A walk
// that passes over that many offsets at once, where nothing else happens, accounts for their
// calls with SkipPumpCalls.
inline unsigned PumpCallsBeforeNextPump() {
    return detail::g_nPumpCountdown - 1;
}
inline void SkipPumpCalls(unsigned calls) {
    detail::g_nPumpCountdown -= calls;
}

// Handles at most one pending window message; returns 0 when it was the quit message, 1
// otherwise (also when nothing was pending).
inline int PumpOneMessage() {
    if (--detail::g_nPumpCountdown != 0) {
        return 1;
    }
    return detail::PumpNow();
}

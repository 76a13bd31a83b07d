#include "Timing.h"

#include <chrono>
#include <thread>

namespace detail {
unsigned g_nPumpCountdown = 1;
}  // namespace detail

namespace {
MessagePumpFn g_pfnPump = nullptr;
unsigned g_nStride = kPumpStride;
unsigned g_nIntervalMs = kPumpIntervalMs;
std::uint32_t g_nLastPumpTick = 0;
}  // namespace

std::uint32_t GetTickCount() {
    using namespace std::chrono;
    auto ms = duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    return static_cast<std::uint32_t>(ms);
}

void DelayMs(unsigned milliseconds) {
    if (milliseconds == 0) {
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    // Time went by: let the next position ask the window, so Stop is not held up by the stride.
    detail::g_nPumpCountdown = 1;
}

void SetMessagePump(MessagePumpFn pump, unsigned stride, unsigned intervalMs) {
    g_pfnPump = pump;
    g_nStride = stride == 0 ? 1 : stride;
    g_nIntervalMs = intervalMs;
    g_nLastPumpTick = GetTickCount();
    detail::g_nPumpCountdown = 1;
}

int detail::PumpNow() {
    g_nPumpCountdown = g_nStride;
    if (g_pfnPump == nullptr) {
        return 1;
    }
    if (g_nIntervalMs != 0) {
        std::uint32_t now = GetTickCount();
        if (now - g_nLastPumpTick < g_nIntervalMs) {
            return 1;
        }
        g_nLastPumpTick = now;
    }
    return g_pfnPump();
}

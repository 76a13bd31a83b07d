#include "MenderConsole.h"

#include "TerminalText.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#endif

namespace mender {

std::string DisplayName(const std::string& name) {
    return TerminalText(name);
}

void WriteText(std::FILE* stream, const std::string& text) {
#ifdef _WIN32
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode)) {
        const int wide =
            MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        std::wstring unicode(static_cast<std::size_t>(wide), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), unicode.data(),
                            wide);
        std::fflush(stream);
        DWORD written = 0;
        WriteConsoleW(handle, unicode.data(), static_cast<DWORD>(wide), &written, nullptr);
        return;
    }
#endif
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace mender

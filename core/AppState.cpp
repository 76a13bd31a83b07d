#include "AppState.h"

void SplitPath(const std::string& path, PassState& state) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string_view name = std::string_view(path).substr(nameStart);
    const std::size_t dot = name.rfind('.');

    state.m_szDrive[0] = 0;
    CopyText(state.m_szDir, std::string_view(path).substr(0, nameStart));
    CopyText(state.m_szFname, name.substr(0, dot));
    CopyText(state.m_szExt, dot == std::string_view::npos ? std::string_view() : name.substr(dot));
}

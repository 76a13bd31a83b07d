#include "ProgressMarker.h"

std::string CProgressMarker::Step() {
    if (m_nPos > 31 || m_nPos < 1) {
        m_nDir = -m_nDir;
    }
    m_nPos += m_nDir;
    std::string field(kFieldWidth, ' ');
    auto put = [&field](int at, char c) {
        if (at >= 0 && at < kFieldWidth) {
            field[static_cast<std::size_t>(at)] = c;
        }
    };
    const int p = m_nPos;
    if (m_kind == EMarker::Translate) {
        const char head = m_nDir > 0 ? '>' : '<';
        put(p, head);
        if (m_nDir > 0) {
            if (p > 2) {
                put(p - 1, head);
            }
            if (p > 3) {
                put(p - 2, head);
            }
        } else {
            if (p < 30) {
                put(p + 1, head);
            }
            if (p < 29) {
                put(p + 2, head);
            }
        }
    } else if (m_kind == EMarker::Write) {
        if (m_nDir > 0) {
            put(p, '>');
            for (int k = 1; k <= 3; ++k) {
                if (p > k + 1) {
                    put(p - k, '+');
                }
            }
            if (p > 5) {
                put(p - 4, ')');
            }
        } else {
            put(p, '<');
            for (int k = 1; k <= 3; ++k) {
                if (p < 31 - k) {
                    put(p + k, '+');
                }
            }
            if (p < 27) {
                put(p + 4, '(');
            }
        }
    }
    return field;
}

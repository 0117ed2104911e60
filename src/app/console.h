#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif

#include <cstdio>

// A windowed Windows program has no console of its own: what it has to say on the command line
// (--help, --version, a wrong option) goes to the console it was started from, when there is one.
inline void useParentConsole() {
#ifdef _WIN32
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!std::freopen("CONOUT$", "w", stdout) || !std::freopen("CONOUT$", "w", stderr))
            return; // nowhere to write: the text is lost, as before
    }
#endif
}

// The command line writes UTF-8. A Windows console shows its own OEM code page (852 in Hungary)
// unless told otherwise: while this lives, it reads UTF-8, and gets its own back afterwards.
class Utf8Console {
public:
#ifdef _WIN32
    Utf8Console() : m_old(GetConsoleOutputCP()) {
        if (m_old != 0 && m_old != CP_UTF8)
            SetConsoleOutputCP(CP_UTF8);
    }
    ~Utf8Console() {
        if (m_old != 0 && m_old != CP_UTF8)
            SetConsoleOutputCP(m_old);
    }

private:
    UINT m_old;
#else
    Utf8Console() {}
    ~Utf8Console() {} // user-provided, so that a lone instance is no unused variable
#endif
    Utf8Console(const Utf8Console&) = delete;
    Utf8Console& operator=(const Utf8Console&) = delete;
};

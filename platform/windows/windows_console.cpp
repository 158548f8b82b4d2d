// Where the Windows program's text goes. It is a windowed one (no console of its own opens on
// a double-click); started from a console (cmd, PowerShell) without standard streams, it
// writes to that console, so --help, --stats and its messages show there. Started with
// neither (from Explorer or a shortcut), why it ends is also shown in a message box.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/windows/windows_state.h"

namespace {

constexpr wchar_t kBoxTitle[] = L"orangefunk";

bool nowhereToWrite = false;  // no standard error and no parent console
std::string endingText;       // what SayEnding said with nowhere to write it

// Runs before main.
struct ParentConsole {
    ParentConsole() {
        const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
        if (error != nullptr && error != INVALID_HANDLE_VALUE) return;
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
            nowhereToWrite = true;
            return;
        }
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
};
const ParentConsole parentConsole;

// At exit: the ending text, UTF-8 without its surrounding blank lines, in a box.
void ShowEndingText() {
    const size_t first = endingText.find_first_not_of("\r\n");
    if (first == std::string::npos) return;
    const std::string text = endingText.substr(first, endingText.find_last_not_of("\r\n") + 1 - first);
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length == 0) return;
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, wide.data(), length);
    MessageBoxW(nullptr, wide.c_str(), kBoxTitle, MB_OK | MB_ICONERROR | MB_SETFOREGROUND | MB_TOPMOST);
}

}  // namespace

namespace host {

void SayEnding(const char* format, ...) {
    va_list arguments, measuring;
    va_start(arguments, format);
    va_copy(measuring, arguments);
    std::string text(size_t(std::max(std::vsnprintf(nullptr, 0, format, measuring), 0)), '\0');
    va_end(measuring);
    std::vsnprintf(text.data(), text.size() + 1, format, arguments);
    va_end(arguments);
    std::fputs(text.c_str(), stderr);
    if (!nowhereToWrite) return;
    static const int shownAtExit = std::atexit(ShowEndingText);
    (void)shownAtExit;
    endingText += text;
}

}  // namespace host

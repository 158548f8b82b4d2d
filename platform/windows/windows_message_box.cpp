// Message boxes on Windows: MessageBoxA itself, or the host's taker for runs with nobody
// to close a box.
#include "platform/windows/windows_state.h"

int HostMessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type) {
    const host::Desc& host = HostDesc();
    if (host.messageBox) {
        host.messageBox(caption ? caption : "", text ? text : "");
        return IDOK;
    }
    return ::MessageBoxA(window, text, caption, type);
}

// Message boxes on Windows: MessageBoxA itself, over the show's topmost window, or the
// host's taker for runs with nobody to close a box.
#include "platform/windows/windows_state.h"

int HostMessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT type) {
    const host::Desc& host = HostDesc();
    if (host.messageBox) {
        host.messageBox(caption ? caption : "", text ? text : "");
        return IDOK;
    }
    // Above the show's topmost window, and taking the keyboard from it.
    return ::MessageBoxA(window, text, caption, type | MB_TOPMOST | MB_SETFOREGROUND);
}

// Win32 stand-in over SDL2, message boxes: a modal SDL box, or standard error without a
// screen; recorded for tests or handed to the host instead.
#include "platform/win32_state.h"

#include <cstdio>
#include <cstring>

namespace {
Win32State& state = Win32();
}  // namespace

int MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT) {
    LogCall("MessageBoxA");
    const char* shownText = text ? text : "";
    const char* shownCaption = caption ? caption : "Error";
    if (state.recordBoxes) {
        state.boxes.push_back({shownText, shownCaption});
        return IDOK;
    }
    if (HostDesc().messageBox) {
        HostDesc().messageBox(shownCaption, shownText);
        return IDOK;
    }
    if (state.videoHasScreen) {
        SDL_MessageBoxButtonData ok{};
        ok.flags = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
        ok.buttonid = IDOK;
        ok.text = "OK";
        SDL_MessageBoxData box{};
        box.flags = SDL_MESSAGEBOX_INFORMATION;
        box.window = LiveWindow(window) ? window->sdlWindow : nullptr;
        box.title = shownCaption;
        box.message = shownText;
        box.numbuttons = 1;
        box.buttons = &ok;
        int pressed = 0;
        if (SDL_ShowMessageBox(&box, &pressed) == 0) return IDOK;
    }
    size_t length = std::strlen(shownText);
    bool endsInNewline = length > 0 && shownText[length - 1] == '\n';
    std::fprintf(stderr, "%s: %s%s", shownCaption, shownText, endsInNewline ? "" : "\n");
    return IDOK;
}

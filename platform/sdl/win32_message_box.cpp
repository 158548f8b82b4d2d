// Win32 stand-in over SDL2, message boxes: a modal SDL box, else one the stand-in draws
// itself, or standard error without a screen; recorded for tests or handed to the host.
#include "platform/sdl/win32_state.h"

#include <cstdio>
#include <cstring>

#include "platform/sdl/message_box/message_box_window.h"

namespace {
Win32State& state = Win32();
}  // namespace

int MessageBoxA(HWND window, LPCSTR text, LPCSTR caption, UINT) {
    LogCall("MessageBoxA");
    const char* shownText = text ? text : "";
    const char* shownCaption = caption ? caption : "Error";
    ApplyPointer(false);  // the box is clicked; the show hides it again as the pointer moves
    if (state.recordBoxes) {
        state.boxes.push_back({shownText, shownCaption});
        return IDOK;
    }
    if (HostDesc().messageBox) {
        HostDesc().messageBox(shownCaption, shownText);
        return IDOK;
    }
    // The system's box first; where it cannot be shown (no core fonts on the X server, no
    // zenity), a box of the stand-in's own; only without a screen, a line on stderr.
    std::string why = "no screen";
    if (state.videoHasScreen && std::strcmp(SDL_GetCurrentVideoDriver(), "offscreen") != 0) {
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
        why = std::string("SDL_ShowMessageBox: ") + SDL_GetError();
        std::string windowError;
        if (ShowMessageBoxWindow(shownCaption, shownText, &windowError)) return IDOK;
        why += "; message window: " + windowError;
    }
    size_t length = std::strlen(shownText);
    if (length > 0 && shownText[length - 1] == '\n') --length;
    std::fprintf(stderr, "%s: %.*s   [no message box: %s]\n", shownCaption, int(length), shownText, why.c_str());
    return IDOK;
}

// The stand-in's own message box: a small SDL window, drawn with SDL's software renderer
// in a built-in 5x7 pixel font, so it needs nothing from the X server but a window.
#include "platform/sdl/message_box/message_box_window.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Printable ASCII, 32 to 126: seven rows per glyph, bit 4 the leftmost of five columns.
constexpr unsigned char kGlyphs[95][7] = {
#include "platform/sdl/message_box/message_box_font.inc"
};
constexpr int kGlyphColumns = 5, kGlyphRows = 7;
constexpr int kScale = 2;                            // screen pixels per font pixel
constexpr int kAdvance = (kGlyphColumns + 1) * kScale;  // pixels per character
constexpr int kLineHeight = (kGlyphRows + 4) * kScale;  // pixels per text line
constexpr int kMaxLineChars = 60;                    // longer lines wrap at a space
constexpr int kMargin = 20;
constexpr int kButtonWidth = 88, kButtonHeight = 30;
constexpr int kMinWidth = 240;
constexpr Uint32 kWaitMs = 100;  // redraw at least this often while waiting

// Splits text at newlines, then wraps lines longer than kMaxLineChars at their last space
// (or hard, for a space-free run).
std::vector<std::string> WrapLines(const char* text) {
    std::vector<std::string> lines;
    const char* start = text;
    for (;;) {
        const char* end = std::strchr(start, '\n');
        std::string line(start, end ? end : start + std::strlen(start));
        while (int(line.size()) > kMaxLineChars) {
            size_t cut = line.rfind(' ', kMaxLineChars);
            if (cut == std::string::npos || cut == 0) cut = kMaxLineChars;
            lines.push_back(line.substr(0, cut));
            line.erase(0, line[cut] == ' ' ? cut + 1 : cut);
        }
        lines.push_back(line);
        if (!end) break;
        start = end + 1;
    }
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();  // a closing newline
    return lines;
}

void DrawText(SDL_Renderer* renderer, const std::string& line, int x, int y) {
    for (char c : line) {
        const unsigned char code = static_cast<unsigned char>(c);
        if (code >= 32 && code <= 126) {
            const unsigned char* glyph = kGlyphs[code - 32];
            for (int row = 0; row < kGlyphRows; ++row)
                for (int column = 0; column < kGlyphColumns; ++column) {
                    if (!(glyph[row] & (0x10 >> column))) continue;
                    SDL_Rect pixel{x + column * kScale, y + row * kScale, kScale, kScale};
                    SDL_RenderFillRect(renderer, &pixel);
                }
        }
        x += kAdvance;
    }
}

struct Layout {
    int width, height;
    SDL_Rect button;
};

Layout LayOut(const std::vector<std::string>& lines) {
    size_t longest = 0;
    for (const std::string& line : lines) longest = std::max(longest, line.size());
    Layout layout{};
    layout.width = std::max(kMinWidth, int(longest) * kAdvance + 2 * kMargin);
    const int textHeight = int(lines.size()) * kLineHeight;
    layout.height = kMargin + textHeight + kMargin + kButtonHeight + kMargin;
    layout.button = SDL_Rect{(layout.width - kButtonWidth) / 2, layout.height - kMargin - kButtonHeight, kButtonWidth,
                             kButtonHeight};
    return layout;
}

void Draw(SDL_Renderer* renderer, const std::vector<std::string>& lines, const Layout& layout) {
    SDL_SetRenderDrawColor(renderer, 224, 224, 224, 255);
    SDL_RenderClear(renderer);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    for (size_t i = 0; i < lines.size(); ++i) DrawText(renderer, lines[i], kMargin, kMargin + int(i) * kLineHeight);
    SDL_SetRenderDrawColor(renderer, 248, 248, 248, 255);
    SDL_RenderFillRect(renderer, &layout.button);
    SDL_SetRenderDrawColor(renderer, 64, 64, 64, 255);
    SDL_RenderDrawRect(renderer, &layout.button);
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
    const int labelWidth = 2 * kAdvance - kScale;
    DrawText(renderer, "OK", layout.button.x + (layout.button.w - labelWidth) / 2,
             layout.button.y + (layout.button.h - kGlyphRows * kScale) / 2);
    SDL_RenderPresent(renderer);
}

// True for a key that answers the box.
bool AnswerKey(SDL_Keycode key) {
    return key == SDLK_RETURN || key == SDLK_KP_ENTER || key == SDLK_SPACE || key == SDLK_ESCAPE;
}

// True for an event that dismisses the box whose window has the id `window`: the release
// of an answering key pressed while the box was up (so the release does not go to a window
// already gone), a click on OK, or a close request. Keys count whichever window SDL
// reports them for: the box is modal and may not hold the focus.
bool Dismisses(const SDL_Event& event, Uint32 window, const SDL_Rect& button, SDL_Keycode* pressed) {
    switch (event.type) {
    case SDL_KEYDOWN:
        if (AnswerKey(event.key.keysym.sym)) *pressed = event.key.keysym.sym;
        return false;
    case SDL_KEYUP:
        return event.key.keysym.sym == *pressed;
    case SDL_MOUSEBUTTONUP: {
        const SDL_Point at{event.button.x, event.button.y};
        return event.button.windowID == window && SDL_PointInRect(&at, &button);
    }
    case SDL_WINDOWEVENT:
        return event.window.windowID == window && event.window.event == SDL_WINDOWEVENT_CLOSE;
    default:
        return false;
    }
}

}  // namespace

bool ShowMessageBoxWindow(const char* caption, const char* text, std::string* error) {
    const std::vector<std::string> lines = WrapLines(text);
    const Layout layout = LayOut(lines);
    SDL_Window* window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, layout.width,
                                          layout.height, SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_SKIP_TASKBAR);
    if (!window) {
        *error = std::string("SDL_CreateWindow: ") + SDL_GetError();
        return false;
    }
    SDL_Renderer* renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
    if (!renderer) {
        *error = std::string("SDL_CreateRenderer: ") + SDL_GetError();
        SDL_DestroyWindow(window);
        return false;
    }
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);  // fails harmlessly where a window manager decides focus
    const Uint32 id = SDL_GetWindowID(window);
    // Input made before the box appeared (keys held down, clicks) does not answer it.
    SDL_FlushEvents(SDL_KEYDOWN, SDL_MOUSEWHEEL);
    SDL_Keycode pressed = SDLK_UNKNOWN;
    bool dismissed = false;
    while (!dismissed) {
        Draw(renderer, lines, layout);
        SDL_Event event;
        if (SDL_WaitEventTimeout(&event, kWaitMs)) dismissed = Dismisses(event, id, layout.button, &pressed);
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    return true;
}

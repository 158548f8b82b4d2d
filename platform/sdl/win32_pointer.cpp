// Win32 stand-in over SDL2, the pointer: SDL shows or hides it over every window of the
// program at once, so a hidden pointer comes back over message boxes and, in a window,
// outside the picture.
#include "platform/sdl/win32_state.h"

namespace {
Win32State& state = Win32();
}  // namespace

bool PointerOverPicture() {
    if (host::Fullscreen()) return true;  // the whole monitor is the show's
    SDL_Window* focus = SDL_GetMouseFocus();
    int x = 0, y = 0, width = 0, height = 0, drawableWidth = 0, drawableHeight = 0;
    if (!focus || !state.current || state.current->window->sdlWindow != focus) return true;
    SDL_GetMouseState(&x, &y);
    SDL_GetWindowSize(focus, &width, &height);
    SDL_GL_GetDrawableSize(focus, &drawableWidth, &drawableHeight);
    int left = 0, bottom = 0, pictureWidth = 0, pictureHeight = 0;
    if (width <= 0 || height <= 0 || !host::PictureRect(&left, &bottom, &pictureWidth, &pictureHeight)) return true;
    if (ScaledFrameSize(&pictureWidth, &pictureHeight)) return true;  // drawn into a framebuffer: full screen
    // PictureRect counts from the bottom left in drawable pixels; the pointer from the top left.
    const int drawableX = x * drawableWidth / width;
    const int drawableY = drawableHeight - 1 - y * drawableHeight / height;
    return drawableX >= left && drawableX < left + pictureWidth && drawableY >= bottom &&
           drawableY < bottom + pictureHeight;
}

void ApplyPointer(bool hidden) {
    if (state.videoReady) SDL_ShowCursor(hidden ? SDL_DISABLE : SDL_ENABLE);
}

// The picture a pause holds, copied and put back through the drawing library's framebuffers.
#include "player/viewer/held_picture.h"

#include "platform/interface/wgl_drawing.h"

bool HeldPicture::Hold(const host::Hold& window) {
    Release(window);
    const WglDrawing* drawing = window.drawing;
    if (!window.context() || !drawing || !drawing->makeFrame || !drawing->copyFrame) return false;
    int pictureWidth = 0, pictureHeight = 0;
    const unsigned picture = window.picture(&pictureWidth, &pictureHeight);
    if (pictureWidth <= 0 || pictureHeight <= 0) return false;
    const unsigned copy = drawing->makeFrame(pictureWidth, pictureHeight);
    if (copy == 0) {
        drawing->bindFrame(picture);
        return false;
    }
    drawing->copyFrame(picture, copy, pictureWidth, pictureHeight);
    drawing->bindFrame(picture);
    context = window.context();
    framebuffer = copy;
    drawnInto = picture;
    width = pictureWidth;
    height = pictureHeight;
    return true;
}

bool HeldPicture::Restore(const host::Hold& window, bool copy) {
    if (framebuffer == 0 || context != window.context()) return false;
    int pictureWidth = 0, pictureHeight = 0;
    const unsigned picture = window.picture(&pictureWidth, &pictureHeight);
    if (picture != drawnInto || pictureWidth != width || pictureHeight != height) return false;
    if (copy) window.drawing->copyFrame(framebuffer, picture, width, height);
    return true;
}

void HeldPicture::Release(const host::Hold& window) {
    if (framebuffer != 0 && context == window.context()) {
        window.drawing->deleteFrame(framebuffer);
        int pictureWidth = 0, pictureHeight = 0;
        window.drawing->bindFrame(window.picture(&pictureWidth, &pictureHeight));
    }
    *this = HeldPicture{};
}

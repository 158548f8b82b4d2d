// Frame read-back in the page: copies the drawing buffer, before the browser shows and
// drops it, into caller memory.
#include <GLES2/gl2.h>

#include "gfx/gfx.h"

void ReadBackFrame(int width, int height, uint8_t* rgba) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of exactly width * 4 bytes
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

// Frame read-back for capture: copies the finished back buffer into caller memory before
// the buffers are swapped.
#include <GL/gl.h>

#include "gfx/gfx.h"

void ReadBackFrame(int width, int height, uint8_t* rgba) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of exactly width * 4 bytes
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
}

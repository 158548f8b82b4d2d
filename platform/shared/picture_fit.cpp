// Where the show's 4:3 picture goes in a drawable of any shape.
#include "platform/shared/picture_fit.h"

void FitPicture(int drawableWidth, int drawableHeight, int* x, int* y, int* width, int* height) {
    // Full height on wide screens, full width on tall ones.
    *width = drawableWidth;
    *height = drawableHeight;
    if (drawableWidth * 3 > drawableHeight * 4) *width = drawableHeight * 4 / 3;
    else *height = drawableWidth * 3 / 4;
    *x = (drawableWidth - *width) / 2;
    *y = (drawableHeight - *height) / 2;
}

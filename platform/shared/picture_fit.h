// Where the show's 4:3 picture goes in a drawable of any shape, for every build's window.
#pragma once

// The largest 4:3 rectangle centred in a drawable (x, y from the bottom left, pixels).
void FitPicture(int drawableWidth, int drawableHeight, int* x, int* y, int* width, int* height);

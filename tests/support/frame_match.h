// Whether two frames of the show match: compared as 80x60 thumbnails of 8x8-pixel means,
// so rounding at edges barely moves them, while a wrong blend mode, texture or camera or a
// missing object changes many thumbnail pixels.
#pragma once

#include <string>

#include "tests/support/picture.h"

// The mean of each 8x8 block of the frame.
Picture Thumbnail(const Picture& frame);
// True when the two thumbnails match within the tolerances; figures gets how far apart
// they are (pixels beyond the tolerance, mean and largest channel difference).
bool ThumbnailsMatch(const Picture& actual, const Picture& reference, std::string* figures);

// The identifiers of the Windows program's resources (windows/orangefunk.rc), shared by the
// resource script and the code that loads them. Plain defines: the resource compiler reads it.
#ifndef ORANGEFUNK_WINDOWS_RESOURCES_H
#define ORANGEFUNK_WINDOWS_RESOURCES_H

// The program's icon group: 16, 32, 48 and 256 pixel images (assets/icon/make_icon.cpp).
#define ORANGEFUNK_ICON 1

#endif

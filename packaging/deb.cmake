# The Debian package of what packaging/install.cmake installs, placed under /usr:
# `cpack` in the build folder (after building) writes orangefunk_<version>_amd64.deb there.
# The libraries the program links (SDL, libopenmpt, libpng, FFmpeg's libraries for the
# capture) give their packages through dpkg-shlibdeps; Depends adds what is loaded at run
# time without being linked.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orangefunk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "orangefunk developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
Seven timed parts and a final scene of swaying tentacles, drawn with
OpenGL in step with a funk soundtrack written as a tracker module. It
plays full-screen or in a window, and can render itself off screen into
a video file or PNG frames.]])
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# SDL opens GLX through libGL.so.1 at run time, off screen EGL through libEGL.so.1 (Mesa's
# EGL), and Mesa loads its DRI drivers (on a machine without a GPU, llvmpipe).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libegl1, libegl-mesa0, libgl1-mesa-dri")
include(CPack)

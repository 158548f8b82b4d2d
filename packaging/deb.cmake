# The Debian package of what packaging/install.cmake installs, placed under /usr:
# `cpack` in the build folder (after building) writes orangefunk_<version>_amd64.deb there.
# The libraries the program links give their packages through dpkg-shlibdeps; Depends adds
# what is loaded at run time without being linked, Suggests what only --capture and
# off-screen runs need.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orangefunk)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "orangefunk developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time 3D demo with a funk soundtrack")
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
# SDL opens GLX through libGL.so.1 at run time, and Mesa's GLX loads its DRI drivers (on a
# machine without a GPU, llvmpipe).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1, libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ffmpeg, xvfb")
include(CPack)

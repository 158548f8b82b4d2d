# What the cross-compiled builds (web/, windows/) share, included after their project():
# C++20, a Release build unless told otherwise, the prefix of their cross-built libraries
# (DEPS_VARIABLE, made by scripts/DEPS_SCRIPT) and the native build's data folder checked,
# `root` the repository and `sources` what every program folder gives BUILD (WEB or WINDOWS;
# cmake/folders.cmake).
macro(orangefunk_cross_build build deps_variable deps_script)
  set(CMAKE_CXX_STANDARD 20)
  set(CMAKE_CXX_STANDARD_REQUIRED ON)
  set(CMAKE_CXX_EXTENSIONS OFF)
  if(NOT CMAKE_BUILD_TYPE)
    set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type" FORCE)
  endif()

  set(${deps_variable} "" CACHE PATH "Prefix of the cross-built libraries (include/, lib/)")
  set(ORANGEFUNK_DATA_DIR "" CACHE PATH "The native build's data folder")
  if(NOT EXISTS "${${deps_variable}}/lib/libopenmpt.a")
    message(FATAL_ERROR "${deps_variable} (${${deps_variable}}) lacks the libraries: run scripts/helpers/${deps_script}")
  endif()
  if(NOT EXISTS "${ORANGEFUNK_DATA_DIR}/funk.it")
    message(FATAL_ERROR "ORANGEFUNK_DATA_DIR (${ORANGEFUNK_DATA_DIR}) lacks the show's data: build the native data target")
  endif()

  get_filename_component(root "${PROJECT_SOURCE_DIR}/.." ABSOLUTE)
  set(ORANGEFUNK_BUILD ${build})
  include(${root}/cmake/folders.cmake)
  foreach(dir ${ORANGEFUNK_PROGRAM_FOLDERS})
    add_subdirectory(${root}/${dir} ${PROJECT_BINARY_DIR}/folders/${dir})
  endforeach()
  get_property(sources GLOBAL PROPERTY ORANGEFUNK_SOURCES)
endmacro()

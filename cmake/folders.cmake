# How every build takes the program's sources from the folders that own them. Each folder's
# CMakeLists.txt says what it gives each build (orangefunk_sources) and makes its library
# (orangefunk_library): a static library in the Linux build; in the page's and Windows'
# builds (ORANGEFUNK_BUILD WEB or WINDOWS) its sources join the one program of that build
# (the global property ORANGEFUNK_SOURCES; cmake/cross-build.cmake).

# The program's folders, bottom to top as docs/design.md stacks them.
set(ORANGEFUNK_PROGRAM_FOLDERS math platform gfx import scene fx app show parts shell player)

# orangefunk_sources(VAR BUILDS... PATTERNS... [BUILDS... PATTERNS...]...): VAR, the files
# this build takes. BUILDS are ALL, LINUX, WEB or WINDOWS, side by side for the files more
# than one build takes; PATTERNS are file names or globs relative to the folder. A pattern
# that names nothing, or a .cpp file below the folder that no build takes, stops the configure.
function(orangefunk_sources var)
  set(builds "")
  set(after_build FALSE)
  set(taken "")
  set(named "")
  foreach(word ${ARGN})
    if(word MATCHES "^(ALL|LINUX|WEB|WINDOWS)$")
      if(NOT after_build)
        set(builds "")
      endif()
      list(APPEND builds ${word})
      set(after_build TRUE)
      continue()
    endif()
    set(after_build FALSE)
    if(NOT builds)
      message(FATAL_ERROR "orangefunk_sources: ${word} comes before any build")
    endif()
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${word})
    if(NOT files)
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}/CMakeLists.txt names ${word}, which is missing")
    endif()
    list(APPEND named ${files})
    if("ALL" IN_LIST builds OR ORANGEFUNK_BUILD IN_LIST builds)
      list(APPEND taken ${files})
    endif()
  endforeach()
  file(GLOB_RECURSE present CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  foreach(file ${present})
    if(NOT file IN_LIST named)
      message(FATAL_ERROR "${file} is in no build: name it in ${CMAKE_CURRENT_SOURCE_DIR}/CMakeLists.txt")
    endif()
  endforeach()
  list(REMOVE_DUPLICATES taken)
  set(${var} ${taken} PARENT_SCOPE)
endfunction()

# One static library per source folder, made from every .cpp in it (or the SOURCES given).
# PUBLIC dependencies are the folders below it (docs/design.md's drawing). In the page's and
# Windows' builds the sources join the build's program instead.
function(orangefunk_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
  if(NOT ARG_SOURCES)
    file(GLOB ARG_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  set(present "")
  foreach(src ${ARG_SOURCES})
    if(EXISTS ${src})
      list(APPEND present ${src})
    endif()
  endforeach()
  set(ARG_SOURCES ${present})
  if(NOT ORANGEFUNK_BUILD STREQUAL "LINUX")
    set_property(GLOBAL APPEND PROPERTY ORANGEFUNK_SOURCES ${ARG_SOURCES})
    return()
  endif()
  if(ARG_SOURCES)
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

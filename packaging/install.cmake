# What `cmake --install` installs: the program, the show's generated data, the manual page,
# the desktop entry and the icon. Tests, benchmarks, tools and generators stay in the build.
include(GNUInstallDirs)
if(NOT TARGET orangefunk)
  return()
endif()

install(TARGETS orangefunk RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The data files the generators write, by name (nothing else that lands in the folder).
get_target_property(show_files data SHOW_FILES)
list(TRANSFORM show_files PREPEND ${ORANGEFUNK_DATA_DIR}/)
install(FILES ${show_files} DESTINATION ${CMAKE_INSTALL_DATADIR}/orangefunk)

# The manual page carries the project's version and the options' table (printed by the
# option_roff tool); installed compressed, as Debian wants it.
set(man_page ${PROJECT_BINARY_DIR}/man/orangefunk.6)
add_custom_command(
  OUTPUT ${man_page}
  COMMAND ${CMAKE_COMMAND} -DTOOL=$<TARGET_FILE:option_roff> -DIN=${CMAKE_CURRENT_LIST_DIR}/orangefunk.6.in
          -DOUT=${man_page} -DPROJECT_VERSION=${PROJECT_VERSION} -P ${CMAKE_CURRENT_LIST_DIR}/man_page.cmake
  DEPENDS option_roff ${CMAKE_CURRENT_LIST_DIR}/orangefunk.6.in ${CMAKE_CURRENT_LIST_DIR}/man_page.cmake
  COMMENT "Writing the manual page")
add_custom_command(
  OUTPUT ${man_page}.gz
  COMMAND gzip -9 -n -c ${man_page} > ${man_page}.gz
  DEPENDS ${man_page}
  COMMENT "Compressing the manual page")
add_custom_target(man_page ALL DEPENDS ${man_page}.gz)
install(FILES ${man_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

install(FILES ${CMAKE_CURRENT_LIST_DIR}/orangefunk.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${ORANGEFUNK_ICON_DIR}/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

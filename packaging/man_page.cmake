# Writes the manual page from its template: the project's version, and the options'
# synopsis and list and the keys' list, as option_roff prints them from the player's tables.
# cmake -DTOOL=option_roff -DIN=orangefunk.6.in -DOUT=orangefunk.6 -DPROJECT_VERSION=V -P man_page.cmake
execute_process(COMMAND ${TOOL} synopsis OUTPUT_VARIABLE OPTION_SYNOPSIS COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${TOOL} options OUTPUT_VARIABLE OPTION_LIST COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${TOOL} keys OUTPUT_VARIABLE KEY_LIST COMMAND_ERROR_IS_FATAL ANY)
string(STRIP "${OPTION_SYNOPSIS}" OPTION_SYNOPSIS)
string(STRIP "${OPTION_LIST}" OPTION_LIST)
string(STRIP "${KEY_LIST}" KEY_LIST)
configure_file(${IN} ${OUT} @ONLY)

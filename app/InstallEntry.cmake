# Run by `cmake --install`: the link that starts the installed program, and its desktop entry. The entry's
# Exec names the link by its full path, so that the menu starts it whether or not the prefix's bin/ is on
# the PATH. QV_DESKTOP_ENTRY names the entry's template.
set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

set(link "${root}/bin/quorvane")
message(STATUS "Installing: ${link}")
file(MAKE_DIRECTORY "${root}/bin")
file(CREATE_LINK ../lib/quorvane/Quorvane "${link}" SYMBOLIC)

# A path with anything but plain characters is quoted, as the desktop entry's rules say: inside the quotes
# " ` $ and \ take a backslash, and the entry's own string rule doubles every backslash again.
set(QV_EXEC "${CMAKE_INSTALL_PREFIX}/bin/quorvane")
if(NOT QV_EXEC MATCHES "^[A-Za-z0-9/._+-]+$")
  string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" QV_EXEC "${QV_EXEC}")
  string(REPLACE "\\" "\\\\" QV_EXEC "${QV_EXEC}")
  string(REPLACE "%" "%%" QV_EXEC "${QV_EXEC}")
  set(QV_EXEC "\"${QV_EXEC}\"")
endif()
set(entry "${root}/share/applications/quorvane.desktop")
message(STATUS "Installing: ${entry}")
configure_file("${QV_DESKTOP_ENTRY}" "${entry}" @ONLY)

list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}" "${entry}")

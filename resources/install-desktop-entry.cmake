# Installs the desktop entry naming the installed program by its full path, so that it starts
# from any prefix, on PATH or not. The prefix is known only now (cmake --install --prefix).
# Set before: PARCELO_DESKTOP_ENTRY (the entry to install), PARCELO_BIN_DIR (relative to the
# prefix) and PARCELO_STAGING (a folder of the build tree).
set(program "${CMAKE_INSTALL_PREFIX}/${PARCELO_BIN_DIR}/parcelo")

# Quoted only where the desktop entry rules ask for it: xdg-open reads an Exec line without
# knowing quotes.
set(exec "${program}")
if(exec MATCHES "[ \t\n\"'\\\\><~|&;$*?#()`]")
  string(REPLACE [[\]] [[\\]] exec "${exec}")
  string(REPLACE [["]] [[\"]] exec "${exec}")
  string(REPLACE [[`]] [[\`]] exec "${exec}")
  string(REPLACE [[$]] [[\$]] exec "${exec}")
  set(exec "\"${exec}\"")
endif()
string(REPLACE [[%]] [[%%]] exec "${exec}")
# Both are string values, whose backslashes are escaped once more.
string(REPLACE [[\]] [[\\]] exec "${exec}")
string(REPLACE [[\]] [[\\]] tryExec "${program}")

file(READ "${PARCELO_DESKTOP_ENTRY}" entry)
string(REPLACE "\nExec=parcelo " "\nExec=${exec} " entry "${entry}")
string(REPLACE "\nTryExec=parcelo\n" "\nTryExec=${tryExec}\n" entry "${entry}")
file(WRITE "${PARCELO_STAGING}/parcelo.desktop" "${entry}")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE
     FILES "${PARCELO_STAGING}/parcelo.desktop")

# GIO finds the programs for a type through the folder's mimeinfo.cache alone. A package's
# staging folder (DESTDIR) is left to the package manager, which refreshes the cache itself.
if("$ENV{DESTDIR}" STREQUAL "")
  find_program(PARCELO_UPDATE_DESKTOP_DATABASE update-desktop-database)
  if(PARCELO_UPDATE_DESKTOP_DATABASE)
    execute_process(COMMAND "${PARCELO_UPDATE_DESKTOP_DATABASE}" -q
                            "${CMAKE_INSTALL_PREFIX}/share/applications")
  else()
    message(STATUS "update-desktop-database not found: run it on ${CMAKE_INSTALL_PREFIX}/share/applications")
  endif()
  # The .msg type's package (installed beside) counts once the folder's database is rebuilt.
  find_program(PARCELO_UPDATE_MIME_DATABASE update-mime-database)
  if(PARCELO_UPDATE_MIME_DATABASE)
    # Its note that a prefix is not in XDG_DATA_DIRS is the README's to give.
    execute_process(COMMAND "${PARCELO_UPDATE_MIME_DATABASE}" "${CMAKE_INSTALL_PREFIX}/share/mime"
                    RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
    if(NOT result EQUAL 0)
      message(WARNING "update-mime-database failed: ${errors}")
    endif()
  else()
    message(STATUS "update-mime-database not found: run it on ${CMAKE_INSTALL_PREFIX}/share/mime")
  endif()
endif()

# Installs the build into a staging prefix, as a packager would, and checks that a desktop finds
# the program there: the binary, a desktop entry desktop-file-validate accepts, and the icon the
# entry names, 128 pixels square.
# Run as: cmake -DBUILD_DIR=... -DPREFIX=... -P CheckInstall.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
    RESULT_VARIABLE status OUTPUT_QUIET)
if(status)
    message(FATAL_ERROR "cmake --install failed: ${status}")
endif()

set(program ${PREFIX}/bin/tolq)
set(entry ${PREFIX}/share/applications/tolq.desktop)
set(icon ${PREFIX}/share/icons/hicolor/128x128/apps/tolq.png)
foreach(installed ${program} ${entry} ${icon})
    if(NOT EXISTS ${installed})
        message(FATAL_ERROR "not installed: ${installed}")
    endif()
endforeach()
execute_process(COMMAND test -x ${program} RESULT_VARIABLE status)
if(status)
    message(FATAL_ERROR "not executable: ${program}")
endif()

# Anything the validator says fails, hints included (two main categories would show the program
# twice in the menus).
find_program(VALIDATE desktop-file-validate REQUIRED)
execute_process(COMMAND ${VALIDATE} ${entry} RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(status OR NOT said STREQUAL "")
    message(FATAL_ERROR "desktop-file-validate: ${said}")
endif()

# The entry starts the installed program by name and shows the installed icon.
file(STRINGS ${entry} lines)
foreach(wanted "Exec=tolq" "Icon=tolq")
    if(NOT wanted IN_LIST lines)
        message(FATAL_ERROR "${entry} lacks ${wanted}")
    endif()
endforeach()

# PNG: the signature, then the IHDR chunk with the width and the height as 32-bit big-endian.
file(READ ${icon} header LIMIT 24 HEX)
if(NOT header STREQUAL "89504e470d0a1a0a0000000d494844520000008000000080")
    message(FATAL_ERROR "${icon} is not a 128 x 128 PNG: ${header}")
endif()

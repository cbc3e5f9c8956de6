# `tolq --help` prints the usage and ends with status 0 before it opens a display or touches its
# program directory: run here with no display at all and a program directory that must stay absent.
# Run as: cmake -DPROGRAM=... -DHOME_DIR=... -P CheckHelp.cmake
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${HOME_DIR})
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
            TOLQ_HOME=${HOME_DIR} ${PROGRAM} --help
    RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE errors TIMEOUT 30)
if(NOT status STREQUAL "0")
    message(FATAL_ERROR "tolq --help ended with ${status}: ${errors}")
endif()
foreach(wanted "Usage: tolq [LIST]" "tolq \"LIST /GATHER\"" "--help")
    string(FIND "${said}" "${wanted}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the usage lacks ${wanted}: ${said}")
    endif()
endforeach()
if(EXISTS ${HOME_DIR})
    message(FATAL_ERROR "tolq --help made its program directory ${HOME_DIR}")
endif()

# `tolq --help` and `tolq -h` print the usage and end with status 0 before they open a display or
# touch the program directory: run here with no display at all and a program directory that must
# stay absent.
# Run as: cmake -DPROGRAM=... -DHOME_DIR=... -P CheckHelp.cmake
cmake_minimum_required(VERSION 3.25)

foreach(option --help -h)
    file(REMOVE_RECURSE ${HOME_DIR})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
                TOLQ_HOME=${HOME_DIR} ${PROGRAM} ${option}
        RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE errors TIMEOUT 30)
    if(NOT status STREQUAL "0")
        message(FATAL_ERROR "tolq ${option} ended with ${status}: ${errors}")
    endif()
    foreach(wanted "Usage: tolq [LIST]" "tolq \"LIST /GATHER\"" "--help")
        string(FIND "${said}" "${wanted}" at)
        if(at EQUAL -1)
            message(FATAL_ERROR "the usage of tolq ${option} lacks ${wanted}: ${said}")
        endif()
    endforeach()
    if(EXISTS ${HOME_DIR})
        message(FATAL_ERROR "tolq ${option} made its program directory ${HOME_DIR}")
    endif()
endforeach()

# Without a display that can be opened, `tolq LIST` and a gather run say so on standard error, in
# the program's own words alone, and end with the status of a refusal (2) before they touch the
# program directory.
# Run as: cmake -DPROGRAM=... -DHOME_DIR=... -P CheckNoDisplay.cmake
cmake_minimum_required(VERSION 3.25)

set(cases
    "--unset=DISPLAY|--unset=QT_QPA_PLATFORM|LIST"
    "--unset=DISPLAY|QT_QPA_PLATFORM=xcb|LIST /GATHER"
    "DISPLAY=:4093|QT_QPA_PLATFORM=xcb|LIST")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" parts "${case}")
    list(GET parts 0 display)
    list(GET parts 1 platform)
    list(GET parts 2 argument)
    file(REMOVE_RECURSE ${HOME_DIR})
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env ${display} --unset=WAYLAND_DISPLAY ${platform} TOLQ_HOME=${HOME_DIR}
                ${PROGRAM} ${argument}
        RESULT_VARIABLE status OUTPUT_VARIABLE said ERROR_VARIABLE errors TIMEOUT 30)
    if(NOT status STREQUAL "2")
        message(FATAL_ERROR "tolq \"${argument}\" with ${display} ${platform} ended with ${status}: ${errors}")
    endif()
    # The program's own line alone: the platform's complaints before it read as a crash.
    if(NOT errors STREQUAL "t'olq! needs a display to show its windows, and none could be opened.\n")
        message(FATAL_ERROR "tolq \"${argument}\" with ${display} ${platform} did not say why alone: ${errors}")
    endif()
    if(EXISTS ${HOME_DIR})
        message(FATAL_ERROR "tolq \"${argument}\" with ${display} ${platform} made its program directory")
    endif()
endforeach()

# Without a display that can be opened, `tolq LIST` and a gather run say so on standard error and
# end with the status of a refusal (2) before they touch the program directory.
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
    string(FIND "${errors}" "t'olq! needs a display" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "tolq \"${argument}\" with ${display} ${platform} did not say why: ${errors}")
    endif()
    if(EXISTS ${HOME_DIR})
        message(FATAL_ERROR "tolq \"${argument}\" with ${display} ${platform} made its program directory")
    endif()
endforeach()

# Fails when PROGRAM loads a library of the browser engine: Qt WebEngine, or
# the Qt Quick and QML it draws through. With EXPECT=engine it fails instead
# when PROGRAM loads none, which shows that the check sees the engine where
# it is linked.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND ldd ${PROGRAM}
    OUTPUT_VARIABLE libraries ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "ldd ${PROGRAM} failed: ${errors}")
endif()
string(REGEX MATCHALL "libQt6(WebEngine|Quick|Qml)[A-Za-z]*\\.so" found "${libraries}")
list(REMOVE_DUPLICATES found)
if(EXPECT STREQUAL "engine")
    if(NOT found)
        message(FATAL_ERROR "${PROGRAM} loads no library of the browser engine")
    endif()
    message(STATUS "${PROGRAM} loads ${found}")
elseif(found)
    message(FATAL_ERROR "${PROGRAM} loads ${found}")
else()
    message(STATUS "${PROGRAM} loads nothing of the browser engine")
endif()

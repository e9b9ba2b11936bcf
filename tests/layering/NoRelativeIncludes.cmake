# Fails when a file under SOURCE_DIR includes a header by a path that climbs
# out of its folder: every header is named from src/ ("editor/ScriptEditor.h").
file(GLOB_RECURSE sources ${SOURCE_DIR}/*.h ${SOURCE_DIR}/*.cpp)
set(found FALSE)
foreach(source IN LISTS sources)
    file(STRINGS ${source} includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"[^\"]*\\.\\./")
    foreach(line IN LISTS includes)
        message(SEND_ERROR "${source}: ${line}")
        set(found TRUE)
    endforeach()
endforeach()
if(NOT found)
    message(STATUS "No relative includes under ${SOURCE_DIR}")
endif()

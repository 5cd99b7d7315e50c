# The build machine's header-only JSON package, for the cross build. Its own configuration
# would add the build machine's whole /usr/include, whose C library headers must not reach a
# Windows compile; so the package's headers are copied into the build tree and only that copy
# is put on the include path.
include(${CMAKE_CURRENT_LIST_DIR}/nlohmann_jsonHeaders.cmake)

if(NOT TARGET nlohmann_json::nlohmann_json)
    set(copy_root ${CMAKE_BINARY_DIR}/win32-packages/include)
    file(COPY ${NLOHMANN_JSON_HEADER_ROOT}/nlohmann DESTINATION ${copy_root})
    add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
    set_target_properties(nlohmann_json::nlohmann_json PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${copy_root})
endif()
set(nlohmann_json_FOUND TRUE)

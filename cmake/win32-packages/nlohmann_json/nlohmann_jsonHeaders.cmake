# Finds the build machine's copy of the JSON package's headers and reads its version.
if(NOT NLOHMANN_JSON_HEADER_ROOT)
    find_path(NLOHMANN_JSON_HEADER_ROOT nlohmann/json.hpp
              PATHS /usr/include /usr/local/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH
              DOC "The folder that holds the build machine's nlohmann/json.hpp")
endif()
if(NOT NLOHMANN_JSON_HEADER_ROOT)
    set(NLOHMANN_JSON_HEADER_VERSION 0)
    return()
endif()
# Recent releases keep the version in a header of their own, older ones in json.hpp.
set(version_header ${NLOHMANN_JSON_HEADER_ROOT}/nlohmann/detail/abi_macros.hpp)
if(NOT EXISTS ${version_header})
    set(version_header ${NLOHMANN_JSON_HEADER_ROOT}/nlohmann/json.hpp)
endif()
file(STRINGS ${version_header} version_lines
     REGEX "^#define NLOHMANN_JSON_VERSION_(MAJOR|MINOR|PATCH) [0-9]+")
foreach(part MAJOR MINOR PATCH)
    string(REGEX MATCH "NLOHMANN_JSON_VERSION_${part} ([0-9]+)" unused "${version_lines}")
    set(version_${part} ${CMAKE_MATCH_1})
endforeach()
set(NLOHMANN_JSON_HEADER_VERSION ${version_MAJOR}.${version_MINOR}.${version_PATCH})

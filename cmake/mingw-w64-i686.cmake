# Cross-building for 32-bit Windows with the mingw-w64 i686 tool chain (Debian packages
# g++-mingw-w64-i686-win32 and binutils-mingw-w64-i686). Used by the win32 presets.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QUILLMARK_MINGW_TRIPLE i686-w64-mingw32)
# The win32 thread model: its runtime calls only what Windows XP SP2 offers (the posix model's
# thread library imports GetTickCount64, which arrived with Vista). Its C++ runtime has no
# std::thread or std::mutex, which nothing built for Windows uses. Named in full: the plain
# name is whichever model the machine's alternatives point at.
find_program(CMAKE_CXX_COMPILER NAMES ${QUILLMARK_MINGW_TRIPLE}-g++-win32 REQUIRED
             DOC "The mingw-w64 C++ compiler of the win32 thread model (Debian g++-mingw-w64-i686-win32)")
find_program(CMAKE_C_COMPILER NAMES ${QUILLMARK_MINGW_TRIPLE}-gcc-win32 REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${QUILLMARK_MINGW_TRIPLE}-windres REQUIRED)
find_program(QUILLMARK_OBJDUMP NAMES ${QUILLMARK_MINGW_TRIPLE}-objdump REQUIRED
             DOC "Reads the export and import tables of the built module")

# Headers and libraries come from the mingw sysroot only, never from the build machine's
# /usr/include or /usr/lib; programs (the resource compiler, Python) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLMARK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The header-only JSON package of the build machine, through a configuration file of our own
# that puts a copy of just that package's headers on the include path.
if(NOT EXISTS "${nlohmann_json_DIR}/nlohmann_jsonConfig.cmake")
    set(nlohmann_json_DIR ${CMAKE_CURRENT_LIST_DIR}/win32-packages/nlohmann_json CACHE PATH
        "The header-only JSON package, for the cross build" FORCE)
endif()

# Every program and module carries its own C and C++ runtimes, so
# nothing but system DLLs has to be shipped beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The module a user installs carries no symbol table in release builds.
set(CMAKE_MODULE_LINKER_FLAGS_RELEASE_INIT "-s")

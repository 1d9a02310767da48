# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (the win32 thread model).
# Pass with -DCMAKE_TOOLCHAIN_FILE; programs built for tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRAND_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRAND_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KESTRAND_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${KESTRAND_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESTRAND_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Windows ships no libstdc++ or libgcc DLLs: every program carries its own
# copy, so it starts on a bare system and under Wine alike.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# No link time in the PE header: the same source gives the same bytes.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--no-insert-timestamp")


# Cross-build for 64-bit Windows with Debian's mingw-w64, in its POSIX thread model (the default
# win32 model lacks std::mutex and std::thread):
#   cmake -S . -B build-mingw -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SPRELIO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SPRELIO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SPRELIO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${SPRELIO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SPRELIO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Programs that run without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

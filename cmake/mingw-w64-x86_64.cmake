# Cross build for 64-bit Windows with Debian's mingw-w64 (posix threads, so that
# std::thread and std::mutex work). Only the cross toolchain's own folders are
# searched for headers, libraries and packages; the few header-only libraries
# taken from the host are linked into the build folder (see
# scripts/build-windows.sh and cmake/cross/).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(PAMIRO_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PAMIRO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PAMIRO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PAMIRO_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${PAMIRO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# 64-bit file offsets for fseeko/ftello (mingw-w64's off_t is 32 bits otherwise).
set(CMAKE_CXX_FLAGS_INIT "-D_FILE_OFFSET_BITS=64")
# Runs on a clean Windows: the C++ runtime, libgcc and winpthread go into the
# executable.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libstdc++ -static-libgcc")

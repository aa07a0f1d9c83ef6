# Cross-building for 64-bit Windows with Debian's MinGW-w64 (GCC, posix thread
# model: the win32 model has no std::thread). Use with
#   cmake -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DVELARIN_GUI=OFF ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VELARIN_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VELARIN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VELARIN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${VELARIN_MINGW_TRIPLE}-windres)

# Libraries and headers of the target only; programs (cmake, wine) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${VELARIN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained .exe each: no libstdc++, libgcc or winpthread DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs (and gtest_discover_tests) run under wine.
find_program(VELARIN_WINE NAMES wine64 wine)
if(VELARIN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELARIN_WINE})
endif()

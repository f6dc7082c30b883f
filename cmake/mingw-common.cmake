# Shared part of the mingw-w64 toolchains; set OXTARN_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 6.1)

# The posix thread model: std::thread and std::mutex need it with GCC 12.
set(CMAKE_C_COMPILER ${OXTARN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${OXTARN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${OXTARN_MINGW_TRIPLE}-windres)

# Libraries and packages come from the cross sysroot and from prefixes given
# in OXTARN_WINDOWS_PREFIX (a cross-built GoogleTest, header-only packages);
# programs (python3 for the generated tables) from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${OXTARN_MINGW_TRIPLE} ${OXTARN_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES OXTARN_MINGW_TRIPLE OXTARN_WINDOWS_PREFIX)

# The runtime libraries (libgcc, libstdc++, winpthread) linked in, so that the
# DLL and the programs need nothing beside the system's own DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Programs and DLLs side by side, as Windows finds a program's DLLs.
if(NOT DEFINED CMAKE_RUNTIME_OUTPUT_DIRECTORY)
  set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endif()

# Built programs run under wine where the build needs to run them.
find_program(OXTARN_WINE wine)
if(OXTARN_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${OXTARN_WINE})
endif()

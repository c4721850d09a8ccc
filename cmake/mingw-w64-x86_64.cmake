# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (the POSIX thread model,
# which std::thread needs). The third-party libraries built for Windows (SQLite, GoogleTest)
# are found below QPANE_WINDOWS_PREFIX; the programs are linked statically, so that they run
# without the compiler's DLLs beside them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(QPANE_WINDOWS_PREFIX "" CACHE PATH "Where the Windows builds of SQLite and GoogleTest are")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES QPANE_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${QPANE_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config answers for the target only.
set(ENV{PKG_CONFIG_LIBDIR} "${QPANE_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test discovery and the scenario runs start the programs under Wine.
find_program(QPANE_WINE NAMES wine wine64)
if(QPANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QPANE_WINE})
endif()

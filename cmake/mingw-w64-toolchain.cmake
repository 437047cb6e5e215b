# Cross compiles for 64-bit Windows with Debian's MinGW-w64 (POSIX threads) against
# the libraries scripts/build-windows-sdk built (PLUMBROOK_WIN64_SDK).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLUMBROOK_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLUMBROOK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLUMBROOK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLUMBROOK_MINGW_TRIPLE}-windres)

# Passed on to try_compile projects, which read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES PLUMBROOK_WIN64_SDK)
if(NOT PLUMBROOK_WIN64_SDK AND DEFINED ENV{PLUMBROOK_WIN64_SDK})
    set(PLUMBROOK_WIN64_SDK $ENV{PLUMBROOK_WIN64_SDK})
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${PLUMBROOK_MINGW_TRIPLE})
if(PLUMBROOK_WIN64_SDK)
    list(PREPEND CMAKE_FIND_ROOT_PATH ${PLUMBROOK_WIN64_SDK} ${PLUMBROOK_WIN64_SDK}/qt)
    # pkg-config looks only at the SDK's own files, never the host's.
    set(ENV{PKG_CONFIG_LIBDIR} ${PLUMBROOK_WIN64_SDK}/lib/pkgconfig)
    set(ENV{PKG_CONFIG_PATH} "")
    set(ENV{PKG_CONFIG_SYSROOT_DIR} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Qt's tools (moc, uic, rcc) are the host's, of the same version.
if(NOT QT_HOST_PATH)
    set(QT_HOST_PATH /usr CACHE PATH "Prefix of the host's Qt tools")
    set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "CMake files of the host's Qt")
endif()

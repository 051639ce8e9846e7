# CMake toolchain for Windows x64 programs built on Debian with MinGW-w64
# (g++-mingw-w64-x86-64-posix: the posix thread model, which has std::mutex
# and std::thread). scripts/build-windows uses it; by hand:
#
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=scripts/mingw-w64-x86_64.cmake \
#         -DSKERRY_WINDOWS_DEPS=/var/cache/skerry-lint-windows/<key>
#
# SKERRY_WINDOWS_DEPS (also taken from the environment) is the prefix that
# holds PCRE2 and Boost.Filesystem built for this target by
# scripts/build-windows. Programs are linked statically: they need no DLL
# beyond those of Windows itself. Tests and try-runs run under wine
# (scripts/wine-run).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(SKERRY_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SKERRY_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKERRY_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${SKERRY_MINGW_TRIPLET}-windres)

if(NOT SKERRY_WINDOWS_DEPS AND DEFINED ENV{SKERRY_WINDOWS_DEPS})
  set(SKERRY_WINDOWS_DEPS "$ENV{SKERRY_WINDOWS_DEPS}")
endif()
# try_compile projects read this file again; they get the prefix passed on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES SKERRY_WINDOWS_DEPS)

set(CMAKE_FIND_ROOT_PATH /usr/${SKERRY_MINGW_TRIPLET} ${SKERRY_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config finds only the target's .pc files (PCRE2's), never the host's.
if(SKERRY_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} "${SKERRY_WINDOWS_DEPS}/lib/pkgconfig")
  set(ENV{PKG_CONFIG_PATH} "")
  file(GLOB SKERRY_WINDOWS_BOOST_DIR "${SKERRY_WINDOWS_DEPS}/lib/cmake/Boost-*")
  if(SKERRY_WINDOWS_BOOST_DIR)
    set(Boost_DIR "${SKERRY_WINDOWS_BOOST_DIR}" CACHE PATH "Boost built for Windows x64")
  endif()
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run)

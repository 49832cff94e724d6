# Cross build for 32-bit Windows (x86): the DLLs that 32-bit clients (32-bit Office, SysWOW64's
# script hosts) load. Same sources as the x64 build.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)

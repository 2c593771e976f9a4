# 32-bit Windows build: the shipped program. Its tests run under a 32-bit Wine (emulated by
# qemu where the kernel runs no 32-bit programs; scripts/setup-wine32.sh sets it up).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
# The compilers of MinGW's Win32 thread model: their standard library keeps its few locks on
# Windows' own primitives, where the POSIX model's links winpthread into every program (about
# 30 KB of each shipped program). The programs start their threads through Win32 themselves;
# the standard library's std::thread, std::mutex and the like are not there to call.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
set(CORVANE_WIN32_THREAD_MODEL ON)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh --win32)

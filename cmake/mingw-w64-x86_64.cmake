# Cross build for 64-bit Windows with Debian's mingw-w64, the POSIX-threads
# variant (std::thread and std::mutex need it). Programs are linked statically,
# so that kelvor.exe needs no DLL beyond the system's own. Test programs run
# under Wine through scripts/wine-run.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KELVOR_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KELVOR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVOR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVOR_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KELVOR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)

# What both MinGW-w64 cross builds share; the toolchain file that includes this
# sets MERRAVINE_MINGW_TRIPLE and CMAKE_SYSTEM_PROCESSOR first. The -posix
# flavour of the compilers gives std::thread and std::mutex.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${MERRAVINE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MERRAVINE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${MERRAVINE_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MERRAVINE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# A static runtime, so that the executables need no DLL that Windows lacks.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# Tests run under Wine; wine-run.sh picks the loader for the program's width.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)

# Cross build for 64-bit Windows with MinGW-w64: the same sources as the 32-bit
# program, for machines whose kernel cannot run 32-bit programs and therefore
# not 32-bit Wine either; the tests then run under 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MERRAVINE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)

# The libFuzzer build (MERRAVINE_FUZZ, clang only). Every library of the
# project is built with the coverage hooks of libFuzzer and with AddressSanitizer
# and UBSan, so that the fuzz targets see into the code they drive; only the
# fuzz executables themselves link libFuzzer's main (fuzz/CMakeLists.txt).
#
# Include this before src/ is added. Until the top-level file does so, the
# scripts pass -DCMAKE_PROJECT_Merravine_INCLUDE=<this file>, which runs it at
# the end of project(), before any target exists.
if(NOT MERRAVINE_FUZZ OR MERRAVINE_FUZZING_FLAGS_SET)
  return()
endif()
set(MERRAVINE_FUZZING_FLAGS_SET ON)

if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "MERRAVINE_FUZZ needs clang: configure with CC=clang CXX=clang++")
endif()
if(MERRAVINE_SANITIZE OR MERRAVINE_TSAN)
  message(FATAL_ERROR "MERRAVINE_FUZZ brings its own sanitizers: leave MERRAVINE_SANITIZE and MERRAVINE_TSAN off")
endif()

add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=address,undefined)

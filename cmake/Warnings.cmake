# Warnings for our own targets only; third-party headers come in as SYSTEM.
function(merravine_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wdouble-promotion -Wformat=2
    -Wimplicit-fallthrough -Wmissing-declarations)
  # GCC 12 reports -Wrestrict inside libstdc++'s own string code at -O2 and above
  # (a known false positive of that release); it says nothing about our code.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
  if(MERRAVINE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

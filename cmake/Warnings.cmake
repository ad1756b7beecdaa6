# Warnings for our own targets only; third-party headers come in as SYSTEM.
function(merravine_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Woverloaded-virtual
    -Wcast-align -Wnull-dereference -Wdouble-promotion -Wformat=2
    -Wimplicit-fallthrough -Wmissing-declarations)
  if(MERRAVINE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

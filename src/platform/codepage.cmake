# Code page conversion: kernel32 on Windows, our layer over ICU elsewhere.
add_library(merravine_platform_codepage INTERFACE)

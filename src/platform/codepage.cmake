# Code page conversion: kernel32 on Windows, our layer over ICU elsewhere.
if(WIN32)
  add_library(merravine_platform_codepage STATIC ${CMAKE_CURRENT_SOURCE_DIR}/win32/codepage_win.cpp)
else()
  find_package(ICU REQUIRED COMPONENTS uc)
  add_library(merravine_platform_codepage STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/posix/codepage_icu.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/posix/codepage_icu_gbk.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/posix/codepage_icu_utf8.cpp)
  target_link_libraries(merravine_platform_codepage PRIVATE ICU::uc)
endif()
target_include_directories(merravine_platform_codepage PUBLIC ${PROJECT_SOURCE_DIR}/src)
merravine_warnings(merravine_platform_codepage)

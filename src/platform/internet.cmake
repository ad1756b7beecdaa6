# HTTP client calls: wininet.dll on Windows (bound by name at first use), our
# layer over libcurl elsewhere.
if(WIN32)
  add_library(merravine_platform_internet STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/win32/internet_binding_win.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/win32/internet_redirect_win.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/win32/internet_win.cpp)
else()
  find_package(CURL REQUIRED)
  add_library(merravine_platform_internet STATIC
    ${CMAKE_CURRENT_SOURCE_DIR}/posix/internet_curl.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/posix/internet_curl_exchange.cpp
    ${CMAKE_CURRENT_SOURCE_DIR}/posix/internet_curl_global.cpp)
  target_link_libraries(merravine_platform_internet PRIVATE CURL::libcurl)
endif()
# The handle table and path encoding that both layers share.
target_sources(merravine_platform_internet PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/internet_layer.cpp)
target_include_directories(merravine_platform_internet PUBLIC ${PROJECT_SOURCE_DIR}/src)
merravine_warnings(merravine_platform_internet)

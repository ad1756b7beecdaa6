# The window facility: user32/comctl32 on Windows, Qt Widgets elsewhere. Each
# backend may span several files named window_*.cpp in its folder.
if(WIN32)
  file(GLOB window_backend CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/win32/window_*.cpp)
else()
  file(GLOB window_backend CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/posix/window_*.cpp)
endif()
if(window_backend)
  # Starting a thread is the same on both backends.
  add_library(merravine_platform_window STATIC ${window_backend}
                                               ${CMAKE_CURRENT_SOURCE_DIR}/window_thread.cpp)
  target_include_directories(merravine_platform_window PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(merravine_platform_window PUBLIC merravine_text)
  merravine_warnings(merravine_platform_window)
  include(${CMAKE_CURRENT_SOURCE_DIR}/window-${MERRAVINE_PLATFORM}.cmake OPTIONAL)
else()
  add_library(merravine_platform_window INTERFACE)
endif()

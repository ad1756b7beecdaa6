# The window facility's Qt 6 Widgets backend (posix/window_*.cpp). No class of
# ours carries Q_OBJECT (lambdas and plain connections only), so no moc runs.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
target_link_libraries(merravine_platform_window PRIVATE Qt6::Widgets merravine_platform_codepage)

# The program does not link Qt: it loads the backend as a module at its first
# window operation (posix/window_module/). The tests and benchmarks of the
# backend link merravine_platform_window directly.
add_library(merravine_window_qt MODULE
            ${CMAKE_CURRENT_SOURCE_DIR}/posix/window_module/module_entry.cpp)
target_link_libraries(merravine_window_qt PRIVATE merravine_platform_window)
# Only the entry is exported: the module's copies of our libraries stay its own.
target_link_options(merravine_window_qt PRIVATE -Wl,--exclude-libs,ALL)
set_target_properties(merravine_window_qt PROPERTIES PREFIX "" OUTPUT_NAME merravine-window-qt
                                                     CXX_VISIBILITY_PRESET hidden
                                                     VISIBILITY_INLINES_HIDDEN ON)
merravine_warnings(merravine_window_qt)

# What the program links in place of the backend: the loader of the module, and
# the parts of the facility that need no Qt.
add_library(merravine_platform_window_loader STATIC
            ${CMAKE_CURRENT_SOURCE_DIR}/posix/window_module/module_loader.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/posix/window_console.cpp
            ${CMAKE_CURRENT_SOURCE_DIR}/window_thread.cpp)
target_include_directories(merravine_platform_window_loader PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(merravine_platform_window_loader PUBLIC merravine_text ${CMAKE_DL_LIBS})
merravine_warnings(merravine_platform_window_loader)

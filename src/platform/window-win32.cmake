# The Windows window backend: user32 and comctl32 for the window and its
# controls, gdi32 for the counter's font, shell32 for the wide command line.
target_link_libraries(merravine_platform_window PUBLIC comctl32 gdi32 user32 shell32)
target_compile_definitions(merravine_platform_window PRIVATE WIN32_LEAN_AND_MEAN UNICODE _UNICODE
                           _WIN32_WINNT=0x0601)

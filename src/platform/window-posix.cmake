# The window facility's Qt 6 Widgets backend (posix/window_*.cpp). No class of
# ours carries Q_OBJECT (lambdas and plain connections only), so no moc runs.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
target_link_libraries(merravine_platform_window PRIVATE Qt6::Widgets merravine_platform_codepage)

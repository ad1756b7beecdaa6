# COM automation: the real one on Windows, our built-in engine elsewhere.
add_library(merravine_platform_automation INTERFACE)

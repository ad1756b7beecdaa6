# HTTP client calls: wininet.dll on Windows, our layer over libcurl elsewhere.
add_library(merravine_platform_internet INTERFACE)

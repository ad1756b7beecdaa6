# The release package of the Windows program: a zip (CPack) holding
# merravine.exe, README.md and LICENSE, made by
#   cmake --build --preset windows --target package
# The Linux build makes no package: its program needs the Qt libraries of the
# system it was built on.
if(NOT WIN32)
  return()
endif()

# src/app defines the program; this file is included after src/, so the target
# exists when the platform has a window backend.
if(TARGET merravine)
  install(TARGETS merravine RUNTIME DESTINATION . COMPONENT program)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
        DESTINATION . COMPONENT program)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Merravine)
set(CPACK_PACKAGE_VENDOR "The Merravine developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME merravine-${PROJECT_VERSION}-win32)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
# One folder in the zip, named like the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Only our own files: install rules that third-party code may bring stay out.
set(CPACK_COMPONENTS_ALL program)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
# The debugging symbols stay in the build folder, out of the shipped exe.
set(CPACK_STRIP_FILES ON)
include(CPack)

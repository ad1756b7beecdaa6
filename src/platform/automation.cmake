# COM automation: late binding on Windows (with the built-in regular-expression
# engine over the system's icu.dll where the script engine is missing); the
# built-in engine over libicu elsewhere.
set(automation_sources
  automation/automation_client.cpp
  automation/com_text.cpp
  builtin_regexp/pattern_translation.cpp
  builtin_regexp/regexp_engine.cpp
  builtin_regexp/regexp_object.cpp)
if(WIN32)
  list(APPEND automation_sources
    win32/automation_win.cpp
    win32/automation_dispatch_win.cpp
    builtin_regexp/icu_binding_dll.cpp)
else()
  list(APPEND automation_sources
    posix/automation_posix.cpp
    builtin_regexp/icu_binding_linked.cpp)
endif()
list(TRANSFORM automation_sources PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
add_library(merravine_platform_automation STATIC ${automation_sources})
target_include_directories(merravine_platform_automation PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(merravine_platform_automation
  PUBLIC merravine_text
  PRIVATE merravine_platform_codepage)
if(WIN32)
  target_link_libraries(merravine_platform_automation PRIVATE ole32 oleaut32 uuid)
else()
  find_package(ICU REQUIRED COMPONENTS uc i18n)
  target_link_libraries(merravine_platform_automation PRIVATE ICU::i18n ICU::uc)
endif()
merravine_warnings(merravine_platform_automation)

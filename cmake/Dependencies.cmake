# Third-party code comes from Debian's packages only: header-only libraries from
# their -dev packages, and tinyxml2 compiled here from Debian's source package
# (fetched by scripts/setup.sh into .deps) so the add-in carries it statically.

find_package(nlohmann_json 3.11 REQUIRED)
find_package(Threads REQUIRED)

file(GLOB KORVANT_TINYXML2_SOURCE ${CMAKE_SOURCE_DIR}/.deps/tinyxml2-*/tinyxml2.cpp)
if(NOT KORVANT_TINYXML2_SOURCE)
  message(FATAL_ERROR "tinyxml2 source not found under .deps: run scripts/setup.sh first")
endif()
list(GET KORVANT_TINYXML2_SOURCE 0 KORVANT_TINYXML2_SOURCE)
get_filename_component(KORVANT_TINYXML2_DIR ${KORVANT_TINYXML2_SOURCE} DIRECTORY)
add_library(tinyxml2_static STATIC ${KORVANT_TINYXML2_SOURCE})
target_include_directories(tinyxml2_static SYSTEM PUBLIC ${KORVANT_TINYXML2_DIR})
target_compile_options(tinyxml2_static PRIVATE -w -fvisibility=hidden)

# spdlog and fmt header-only; Debian's spdlog is configured for an external fmt.
add_library(korvant_logdeps INTERFACE)
target_compile_definitions(korvant_logdeps INTERFACE FMT_HEADER_ONLY SPDLOG_FMT_EXTERNAL
  $<$<BOOL:${WIN32}>:SPDLOG_WCHAR_FILENAMES>)

# SimpleIni: Debian wraps the template bodies in SI_IMPLEMENTATION and removed
# ConvertUTF, so POSIX builds supply their own converter.
add_library(korvant_inideps INTERFACE)
target_compile_definitions(korvant_inideps INTERFACE SI_IMPLEMENTATION $<$<NOT:$<BOOL:${WIN32}>>:SI_NO_CONVERSION>)

# Third-party code comes from Debian's packages only: header-only libraries from
# their -dev packages, and tinyxml2 compiled here from Debian's source package
# (fetched by scripts/setup.sh into .deps) so the add-in carries it statically.

find_package(Threads REQUIRED)

if(CMAKE_CROSSCOMPILING AND WIN32)
  # /usr/include also holds glibc's headers, which must never reach a MinGW
  # compile. The header-only libraries are staged in the build tree as links to
  # their own folders, and that folder is the only third-party include path.
  set(KORVANT_STAGED_INCLUDE ${CMAKE_BINARY_DIR}/third-party-include)
  file(MAKE_DIRECTORY ${KORVANT_STAGED_INCLUDE})
  foreach(item nlohmann SimpleIni.h spdlog fmt)
    if(NOT EXISTS /usr/include/${item})
      message(FATAL_ERROR "/usr/include/${item} is missing: run scripts/setup.sh")
    endif()
    file(CREATE_LINK /usr/include/${item} ${KORVANT_STAGED_INCLUDE}/${item} SYMBOLIC)
  endforeach()
  # Imported targets make their include folders system folders for every user.
  add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
  set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${KORVANT_STAGED_INCLUDE})
  add_library(korvant_staged_headers INTERFACE IMPORTED)
  set_target_properties(korvant_staged_headers PROPERTIES
    INTERFACE_INCLUDE_DIRECTORIES ${KORVANT_STAGED_INCLUDE})
else()
  find_package(nlohmann_json 3.11 REQUIRED)
  add_library(korvant_staged_headers INTERFACE)
endif()

# In a cross build (Windows, 32-bit Linux) GoogleTest is compiled for the
# target from the sources Debian ships with libgtest-dev; a small package file
# lets find_package(GTest) take these targets as they are.
if(CMAKE_CROSSCOMPILING AND KORVANT_TESTS)
  set(KORVANT_GTEST_SOURCE /usr/src/googletest)
  if(NOT EXISTS ${KORVANT_GTEST_SOURCE}/CMakeLists.txt)
    message(FATAL_ERROR "${KORVANT_GTEST_SOURCE} is missing: install libgtest-dev")
  endif()
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(${KORVANT_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Unoptimised like the tests' own code: optimising GoogleTest costs more compile time than it
  # ever saves a test run.
  foreach(lib gtest gtest_main gmock gmock_main)
    target_compile_options(${lib} PRIVATE -w -O0)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
  set(KORVANT_GTEST_CONFIG ${CMAKE_BINARY_DIR}/gtest-package)
  file(WRITE ${KORVANT_GTEST_CONFIG}/GTestConfig.cmake
    "# GoogleTest is part of this build (cmake/Dependencies.cmake).\n")
  set(GTest_DIR ${KORVANT_GTEST_CONFIG} CACHE PATH "" FORCE)
endif()

# The folder of a Debian source package that scripts/setup.sh unpacked into .deps, known by a
# file it holds.
function(korvant_unpacked_source out package marker)
  file(GLOB found ${CMAKE_SOURCE_DIR}/.deps/${package}-*/${marker})
  if(NOT found)
    message(FATAL_ERROR "${package} source not found under .deps: run scripts/setup.sh first")
  endif()
  list(GET found 0 found)
  get_filename_component(folder ${found} DIRECTORY)
  set(${out} ${folder} PARENT_SCOPE)
endfunction()

korvant_unpacked_source(KORVANT_TINYXML2_DIR tinyxml2 tinyxml2.cpp)
add_library(tinyxml2_static STATIC ${KORVANT_TINYXML2_DIR}/tinyxml2.cpp)
target_include_directories(tinyxml2_static SYSTEM PUBLIC ${KORVANT_TINYXML2_DIR})
target_compile_options(tinyxml2_static PRIVATE -w -fvisibility=hidden)

# libqrencode draws the emulator's QR codes. Debian ships it neither as a static library nor
# for MinGW, so it is compiled here from Debian's source package (fetched by scripts/setup.sh
# into .deps) for every target. Its LGPL-2.1 allows this: the emulator is shipped with its
# sources, so anyone can rebuild it with another libqrencode. No thread support is compiled in:
# the emulator calls it only under its own lock.
korvant_unpacked_source(KORVANT_QRENCODE_DIR qrencode qrencode.c)
string(REGEX MATCH "([0-9]+)\\.([0-9]+)\\.([0-9]+)$" KORVANT_QRENCODE_VERSION ${KORVANT_QRENCODE_DIR})
add_library(qrencode_static STATIC)
foreach(source qrencode qrinput bitstream qrspec rsecc split mask mqrspec mmask)
  target_sources(qrencode_static PRIVATE ${KORVANT_QRENCODE_DIR}/${source}.c)
endforeach()
target_include_directories(qrencode_static SYSTEM PUBLIC ${KORVANT_QRENCODE_DIR})
target_compile_definitions(qrencode_static PRIVATE STATIC_IN_RELEASE=static HAVE_STRDUP=1
  MAJOR_VERSION=${CMAKE_MATCH_1} MINOR_VERSION=${CMAKE_MATCH_2} MICRO_VERSION=${CMAKE_MATCH_3}
  VERSION="${KORVANT_QRENCODE_VERSION}")
target_compile_options(qrencode_static PRIVATE -w -fvisibility=hidden)

# spdlog and fmt header-only; Debian's spdlog is configured for an external fmt.
# Windows log file names are wide, so non-ANSI folders work.
add_library(korvant_logdeps INTERFACE)
target_link_libraries(korvant_logdeps INTERFACE korvant_staged_headers)
target_compile_definitions(korvant_logdeps INTERFACE FMT_HEADER_ONLY SPDLOG_FMT_EXTERNAL
  $<$<BOOL:${WIN32}>:SPDLOG_WCHAR_FILENAMES>)

# SimpleIni: Debian wraps the template bodies in SI_IMPLEMENTATION and removed
# ConvertUTF, so POSIX builds supply their own converter; Windows uses the
# system's code page conversion.
add_library(korvant_inideps INTERFACE)
target_link_libraries(korvant_inideps INTERFACE korvant_staged_headers)
target_compile_definitions(korvant_inideps INTERFACE SI_IMPLEMENTATION $<$<NOT:$<BOOL:${WIN32}>>:SI_NO_CONVERSION>)

# Windows programs of this build run under wine when it is installed: wine64 for
# 64-bit ones, the 32-bit part of wine (wine32) for 32-bit ones, which needs a
# kernel that runs 32-bit Linux programs (scripts/build-windows.sh checks).
if(CMAKE_CROSSCOMPILING AND WIN32 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    find_program(KORVANT_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
    set(KORVANT_WINE_ARCH win64)
  else()
    find_program(KORVANT_WINE wine PATHS /usr/lib/wine NO_DEFAULT_PATH)
    set(KORVANT_WINE_ARCH win32)
  endif()
  if(KORVANT_WINE)
    set(KORVANT_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)
  endif()
endif()

# 32-bit Linux programs run as they are where the kernel runs 32-bit code; where
# it refuses them (some virtual machines do), QEMU's user-mode emulator runs
# them, and the tests start every program of this build through it.
if(CMAKE_CROSSCOMPILING AND NOT WIN32 AND KORVANT_TESTS AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(probe_dir ${CMAKE_BINARY_DIR}/run-probe)
  file(WRITE ${probe_dir}/probe.c "int main(void) { return 0; }\n")
  try_compile(probe_built ${probe_dir}/build SOURCES ${probe_dir}/probe.c
    COPY_FILE ${probe_dir}/probe)
  set(probe_ran 1)
  if(probe_built)
    execute_process(COMMAND ${probe_dir}/probe RESULT_VARIABLE probe_ran OUTPUT_QUIET ERROR_QUIET)
  endif()
  if(NOT probe_ran STREQUAL "0")
    find_program(KORVANT_QEMU_I386 qemu-i386)
    if(KORVANT_QEMU_I386)
      message(STATUS "32-bit programs do not run on this machine: tests run under ${KORVANT_QEMU_I386}")
      set(CMAKE_CROSSCOMPILING_EMULATOR ${KORVANT_QEMU_I386})
    else()
      message(WARNING "32-bit programs do not run on this machine and qemu-i386 is missing: "
        "install qemu-user (scripts/setup.sh does) to run the tests")
    endif()
  endif()
endif()

# The JSON library is the most parsed of all headers: the libraries built on it (the device
# binding, the register emulator, korvant-host's values) take it precompiled with the standard
# headers beside it, rather than parsing it again in every file. They share one precompiled set,
# korvant_json_headers, compiled with their flags (hidden symbols, position-independent code).
# What is compiled is the same, only parsed once.
add_library(korvant_json_headers OBJECT ${CMAKE_SOURCE_DIR}/cmake/json_headers.cpp)
target_link_libraries(korvant_json_headers PRIVATE nlohmann_json::nlohmann_json)
target_compile_options(korvant_json_headers PRIVATE -fvisibility=hidden -fvisibility-inlines-hidden)
target_precompile_headers(korvant_json_headers PRIVATE <algorithm> <cstdint> <functional> <map>
  <memory> <mutex> <optional> <sstream> <string> <string_view> <utility> <vector>
  <nlohmann/json.hpp>)

# The hardening tree's settings (cmake -C): one clang build with the address and undefined-behaviour
# sanitizers (no recovery) in which the whole test suite and the fuzz targets of fuzz/ share the
# same objects. scripts/test-hardening.sh and scripts/fuzz.sh configure it alike with this file.
# What runs under test or fuzzing is optimised a little, as the sanitizers and libFuzzer advise,
# with line tables for the reports; the tests' own code stays unoptimised (tests/CMakeLists.txt).
set(CMAKE_C_COMPILER clang-14 CACHE STRING "" FORCE)
set(CMAKE_CXX_COMPILER clang++-14 CACHE STRING "" FORCE)
set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "" FORCE)
set(CMAKE_C_FLAGS_RELWITHDEBINFO "-O1 -gline-tables-only" CACHE STRING "" FORCE)
set(CMAKE_CXX_FLAGS_RELWITHDEBINFO "-O1 -gline-tables-only" CACHE STRING "" FORCE)
set(KORVANT_FUZZ ON CACHE BOOL "" FORCE)
set(KORVANT_BENCH OFF CACHE BOOL "" FORCE)

// The target that precompiles the headers every test program reuses (tests/CMakeLists.txt); it
// compiles nothing of its own.

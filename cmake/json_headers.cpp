// The target that precompiles the JSON library's headers for the libraries that reuse them
// (cmake/Dependencies.cmake); it compiles nothing of its own.

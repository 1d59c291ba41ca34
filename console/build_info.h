#pragma once
// What built this program, as --version and a result in JSON report it.

#include <string>

// The compiler and its version, from the compiler's own predefined macros,
// e.g. "g++ 12.2.0" or "clang 14.0.6".
std::string compiler_description();

// The processor architecture and system built for, e.g. "x86_64 Linux".
const char* target_description();

// CMake's configuration, e.g. "Release"; "none" where none was chosen.
const char* build_type();

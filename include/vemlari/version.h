#pragma once
namespace vemlari {
// Version of the library and of the program, "major.minor.patch", as the build states it.
extern const char* const version;
}  // namespace vemlari
